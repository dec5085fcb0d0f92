#include "apps/polar-editor/accelerators.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QSet>
#include <vector>

namespace {

// A text that shows with a key: a label for a field, or a button.
struct KeyedText {
    QLabel* pLabel = nullptr;
    QAbstractButton* pButton = nullptr;

    QString Text() const { return pLabel != nullptr ? pLabel->text() : pButton->text(); }
    void SetText(const QString& text) const {
        if (pLabel != nullptr) {
            pLabel->setText(text);
        } else {
            pButton->setText(text);
        }
    }
};

QString KeyOf(const QString& text) {
    return QKeySequence::mnemonic(text).toString().toLower();
}

// The positions of the text's letters that could take its key, word starts first.
std::vector<qsizetype> FreeLetters(const QString& text, const QSet<QChar>& taken) {
    std::vector<qsizetype> positions;
    for (const bool bWordStarts : {true, false}) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool bWordStart = i == 0 || !text[i - 1].isLetterOrNumber();
            if (text[i].isLetter() && bWordStart == bWordStarts &&
                !taken.contains(text[i].toLower())) {
                positions.push_back(i);
            }
        }
    }
    return positions;
}

}  // namespace

void GiveAccelerators(QWidget* pDialog) {
    std::vector<KeyedText> texts;
    QSet<const QWidget*> buddies;
    for (QLabel* pLabel : pDialog->findChildren<QLabel*>()) {
        if (pLabel->buddy() != nullptr && !pLabel->text().isEmpty()) {
            texts.push_back({pLabel, nullptr});
            buddies.insert(pLabel->buddy());
        }
    }
    // A button its label names (a colour's) is reached by the label's key.
    for (QAbstractButton* pButton : pDialog->findChildren<QAbstractButton*>()) {
        if (!pButton->text().isEmpty() && !buddies.contains(pButton)) {
            texts.push_back({nullptr, pButton});
        }
    }
    QSet<QChar> taken;
    for (const KeyedText& keyed : texts) {
        const QString key = KeyOf(keyed.Text());
        if (!key.isEmpty()) {
            taken.insert(key.front());
        }
    }
    // The text with the fewest free letters chooses first, so that a short word ("Close") is
    // not left without a key by longer ones that had others to choose from.
    std::vector<const KeyedText*> open;
    for (const KeyedText& keyed : texts) {
        if (KeyOf(keyed.Text()).isEmpty()) {
            open.push_back(&keyed);
        }
    }
    while (!open.empty()) {
        auto fewest = open.begin();
        std::size_t nFewest = FreeLetters((*fewest)->Text(), taken).size();
        for (auto it = open.begin(); it != open.end(); ++it) {
            const std::size_t nFree = FreeLetters((*it)->Text(), taken).size();
            if (nFree < nFewest) {
                fewest = it;
                nFewest = nFree;
            }
        }
        const QString text = (*fewest)->Text();
        const std::vector<qsizetype> free = FreeLetters(text, taken);
        if (!free.empty()) {
            taken.insert(text[free.front()].toLower());
            (*fewest)->SetText(text.left(free.front()) + '&' + text.mid(free.front()));
        }
        open.erase(fewest);
    }
}
