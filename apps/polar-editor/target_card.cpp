#include "apps/polar-editor/target_card.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include "apps/polar-editor/window_texts.h"

namespace {

QString Fixed(float f, int nDecimals) {
    return UiNumber(static_cast<double>(f), 'f', nDecimals);
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

QByteArray TargetCardPdf(const QString& strSailPlan, const std::vector<TargetRow>& rows) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(Ui("Targets: %1").arg(strSailPlan));
        writer.setCreator("polar-editor");
        QPainter painter(&writer);
        const QRect page = painter.viewport();
        QFont title = painter.font();
        title.setPointSize(20);
        title.setBold(true);
        painter.setFont(title);
        const int nTitleHeight = painter.fontMetrics().height();
        painter.drawText(QRect(0, 0, page.width(), nTitleHeight), Qt::AlignLeft,
                         Ui("Targets: %1").arg(strSailPlan));
        QFont body = painter.font();
        body.setPointSize(13);
        body.setBold(false);
        painter.setFont(body);
        const int nRowHeight = painter.fontMetrics().height() * 3 / 2;
        const QStringList headings = TargetHeadings();
        const int nColumnWidth = page.width() / static_cast<int>(headings.size());
        int y = nTitleHeight * 2;
        const auto drawRow = [&](const QStringList& cells, bool bBold) {
            QFont font = body;
            font.setBold(bBold);
            painter.setFont(font);
            for (int c = 0; c < cells.size(); ++c) {
                painter.drawText(QRect(c * nColumnWidth, y, nColumnWidth - 8, nRowHeight),
                                 Qt::AlignRight | Qt::AlignVCenter, cells[c]);
            }
            y += nRowHeight;
            painter.drawLine(0, y, page.width(), y);
        };
        drawRow(headings, true);
        for (const TargetRow& row : rows) {
            drawRow(TargetCells(row), false);
        }
    }
    return pdf;
}
