#include "tests/support/text_fit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <algorithm>

namespace {

std::string Describe(const QWidget* pWidget, const QString& text, int nNeeded, int nAvailable) {
    return "control " + pWidget->objectName().toStdString() + " '" + text.toStdString() +
           "' needs " + std::to_string(nNeeded) + " px, has " + std::to_string(nAvailable);
}

QString WithoutMnemonic(QString text) {
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove('&')
        .replace(QChar(1), QChar('&'));
}

}  // namespace

std::vector<std::string> ClippedTexts(QWidget* pWindow) {
    std::vector<std::string> found;
    for (QWidget* pWidget : pWindow->findChildren<QWidget*>()) {
        if (!pWidget->isVisibleTo(pWindow)) {
            continue;
        }
        const QFontMetrics metrics(pWidget->font());
        if (auto* pLabel = qobject_cast<QLabel*>(pWidget)) {
            if (pLabel->text().isEmpty()) {
                continue;
            }
            if (pLabel->wordWrap()) {
                // Lines, not pixels: a line a pixel taller than the label still shows whole.
                const QRect wrapped = metrics.boundingRect(QRect(0, 0, pLabel->width(), 100000),
                                                           Qt::TextWordWrap, pLabel->text());
                const int nLines =
                    (wrapped.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing();
                const int nRoom = std::max(1, pLabel->height() / metrics.height());
                if (nLines > nRoom) {
                    found.push_back(Describe(pLabel, pLabel->text(), nLines, nRoom) +
                                    " (lines, wrapped)");
                }
                // A single word longer than the line is cut all the same.
                for (const QString& word : pLabel->text().split(' ', Qt::SkipEmptyParts)) {
                    if (metrics.horizontalAdvance(word) > pLabel->width()) {
                        found.push_back(Describe(pLabel, word, metrics.horizontalAdvance(word),
                                                 pLabel->width()));
                    }
                }
            } else if (metrics.horizontalAdvance(pLabel->text()) > pLabel->width()) {
                found.push_back(Describe(pLabel, pLabel->text(),
                                         metrics.horizontalAdvance(pLabel->text()),
                                         pLabel->width()));
            }
        } else if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
            // Push buttons and check boxes: the text in the style's content rectangle.
            QStyleOptionButton option;
            option.initFrom(pButton);
            option.text = pButton->text();
            const QStyle::SubElement contentsOf = qobject_cast<QCheckBox*>(pButton) != nullptr
                                                      ? QStyle::SE_CheckBoxContents
                                                      : QStyle::SE_PushButtonContents;
            const QRect contents = pButton->style()->subElementRect(contentsOf, &option, pButton);
            const int nNeeded = metrics.horizontalAdvance(WithoutMnemonic(pButton->text()));
            if (nNeeded > contents.width()) {
                found.push_back(Describe(pButton, pButton->text(), nNeeded, contents.width()));
            }
        } else if (auto* pGroup = qobject_cast<QGroupBox*>(pWidget)) {
            // The title stands on the frame from 6 px in, with 2 px of padding on each side.
            const int nNeeded = metrics.horizontalAdvance(pGroup->title()) + 6 + 4;
            if (nNeeded > pGroup->width()) {
                found.push_back(Describe(pGroup, pGroup->title(), nNeeded, pGroup->width()));
            }
        } else if (auto* pTable = qobject_cast<QTableWidget*>(pWidget)) {
            QHeaderView* pHeader = pTable->horizontalHeader();
            const QFontMetrics headerMetrics(pHeader->font());
            const int nMargin =
                2 * pHeader->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, pHeader);
            for (int c = 0; c < pTable->columnCount(); ++c) {
                const QTableWidgetItem* pItem = pTable->horizontalHeaderItem(c);
                if (pItem == nullptr) {
                    continue;
                }
                const int nNeeded = headerMetrics.horizontalAdvance(pItem->text()) + nMargin;
                if (nNeeded > pHeader->sectionSize(c)) {
                    found.push_back(
                        Describe(pTable, pItem->text(), nNeeded, pHeader->sectionSize(c)) +
                        " (column header)");
                }
            }
        }
    }
    return found;
}

std::vector<std::string> WidgetsNotInFont(QWidget* pWindow, const QFont& font) {
    std::vector<std::string> found;
    QList<QWidget*> widgets = pWindow->findChildren<QWidget*>();
    for (auto* pCombo : pWindow->findChildren<QComboBox*>()) {
        widgets.append(pCombo->view());
    }
    widgets.prepend(pWindow);
    for (QWidget* pWidget : widgets) {
        const QFont f = pWidget->font();
        if (f.family() != font.family() || f.pointSizeF() != font.pointSizeF()) {
            found.push_back(std::string(pWidget->metaObject()->className()) + " " +
                            pWidget->objectName().toStdString() + ": " + f.family().toStdString() +
                            " " + std::to_string(f.pointSizeF()));
        }
    }
    return found;
}
