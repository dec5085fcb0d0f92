#include "apps/polar-editor/target_card.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "apps/polar-editor/window_texts.h"

namespace {

QString Fixed(float f, int nDecimals) {
    return UiNumber(static_cast<double>(f), 'f', nDecimals);
}

QString SailPlanHeading(const TargetCard& card) {
    return Ui("Targets: %1").arg(card.strSailPlan);
}

QFont SizedFont(const QFont& base, int nPoints, bool bBold) {
    QFont font = base;
    font.setPointSize(nPoints);
    font.setBold(bBold);
    return font;
}

}  // namespace

QStringList TargetHeadings() {
    return {Ui("Wind kn"), Ui("Beat °"), Ui("Beat kn"), Ui("VMG kn"),
            Ui("Run °"),   Ui("Run kn"), Ui("VMG kn")};
}

QStringList TargetCells(const TargetRow& row) {
    // A polar whose points do not reach beyond the beam has no run to steer (its VMG away
    // from the wind is not positive), and one that starts beyond it no beat.
    const QString none = "–";
    const bool bBeat = row.fBeatVmg > 0;
    const bool bRun = row.fRunVmg > 0;
    return {Fixed(row.fWindSpeed, 1),
            bBeat ? Fixed(row.fBeatAngle, 1) : none,
            bBeat ? Fixed(row.fBeatSpeed, 2) : none,
            bBeat ? Fixed(row.fBeatVmg, 2) : none,
            bRun ? Fixed(row.fRunAngle, 1) : none,
            bRun ? Fixed(row.fRunSpeed, 2) : none,
            bRun ? Fixed(row.fRunVmg, 2) : none};
}

QPageSize::PageSizeId PaperOfLocale(const QLocale& locale) {
    const QLocale::Territory territory = locale.territory();
    return territory == QLocale::UnitedStates || territory == QLocale::Canada ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

CardLayout LayOutTargetCard(const TargetCard& card, const QRect& page, QPaintDevice* pDevice) {
    CardLayout layout;
    const QFont base;
    const QFont title = SizedFont(base, 20, true);
    const QFont body = SizedFont(base, 13, false);
    const int nTitleHeight = QFontMetrics(title, pDevice).height();
    const int nBodyHeight = QFontMetrics(body, pDevice).height();
    // The boat heads the card with the sail plan under it; without a boat, the sail plan.
    // The date stands at the right of the first line, or under it where a long name leaves
    // no room (a name too long for the page wraps).
    const QString strTitle = card.strBoat.isEmpty() ? SailPlanHeading(card) : card.strBoat;
    const QString strDate = QLocale().toString(card.date, QLocale::LongFormat);
    const QFontMetrics titleMetrics(title, pDevice);
    const QFontMetrics bodyMetrics(body, pDevice);
    const int nTitleFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    const int nWrappedHeight =
        titleMetrics
            .boundingRect(QRect(page.left(), page.top(), page.width(), 0), nTitleFlags, strTitle)
            .height();
    const QRect titleBox(page.left(), page.top(), page.width(),
                         std::max(nTitleHeight, nWrappedHeight));
    layout.texts.push_back({titleBox, strTitle, title, nTitleFlags});
    int y = titleBox.bottom() + 1 + nBodyHeight / 8;
    const int nGap = bodyMetrics.horizontalAdvance("MM");
    if (titleBox.height() == nTitleHeight &&
        titleMetrics.horizontalAdvance(strTitle) + nGap + bodyMetrics.horizontalAdvance(strDate) <=
            page.width()) {
        layout.texts.push_back({titleBox, strDate, body, Qt::AlignRight | Qt::AlignVCenter});
    } else {
        y += nBodyHeight / 4;
        layout.texts.push_back({QRect(page.left(), y, page.width(), nBodyHeight), strDate, body,
                                Qt::AlignRight | Qt::AlignVCenter});
        y += nBodyHeight;
    }
    if (!card.strBoat.isEmpty()) {
        layout.texts.push_back({QRect(page.left(), y, page.width(), nBodyHeight),
                                SailPlanHeading(card), body, Qt::AlignLeft | Qt::AlignVCenter});
        y += nBodyHeight;
    }
    y += nTitleHeight;
    const int nRowHeight = nBodyHeight * 3 / 2;
    const QStringList headings = TargetHeadings();
    const int nColumnWidth = page.width() / static_cast<int>(headings.size());
    const int nPadding = bodyMetrics.horizontalAdvance("M");
    // Headings longer than their column (German "Vorwind kn") wrap onto a second line rather
    // than run into the next; the row is as high as its highest heading.
    const QFont headingFont = SizedFont(body, body.pointSize(), true);
    const int nHeadingFlags = Qt::AlignRight | Qt::AlignVCenter | Qt::TextWordWrap;
    int nHeadingHeight = nRowHeight;
    for (const QString& heading : headings) {
        const QRect wrapped =
            QFontMetrics(headingFont, pDevice)
                .boundingRect(QRect(0, 0, nColumnWidth - nPadding, 0), nHeadingFlags, heading);
        nHeadingHeight = std::max(nHeadingHeight, wrapped.height() + nRowHeight - nBodyHeight);
    }
    const auto addRow = [&](const QStringList& cells, const QFont& font, int nHeight, int nFlags) {
        for (int c = 0; c < cells.size(); ++c) {
            layout.texts.push_back({QRect(page.left() + c * nColumnWidth + nPadding, y,
                                          nColumnWidth - nPadding, nHeight),
                                    cells[c], font, nFlags});
        }
        y += nHeight;
        layout.rules.emplace_back(page.left(), y, page.right(), y);
    };
    addRow(headings, headingFont, nHeadingHeight, nHeadingFlags);
    for (const TargetRow& row : card.rows) {
        addRow(TargetCells(row), body, nRowHeight, Qt::AlignRight | Qt::AlignVCenter);
    }
    return layout;
}

QByteArray TargetCardPdf(const TargetCard& card) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(card.paper));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(card.strBoat.isEmpty() ? SailPlanHeading(card)
                                               : card.strBoat + " – " + SailPlanHeading(card));
        writer.setCreator("polar-editor");
        QPainter painter(&writer);
        const CardLayout layout = LayOutTargetCard(card, painter.viewport(), &writer);
        for (const CardText& text : layout.texts) {
            painter.setFont(text.font);
            painter.drawText(text.box, text.nFlags, text.text);
        }
        for (const QLine& rule : layout.rules) {
            painter.drawLine(rule);
        }
    }
    return pdf;
}
