#include "apps/polar-editor/settings_dialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "apps/polar-editor/accelerators.h"
#include "apps/polar-editor/polar_chart.h"
#include "apps/polar-editor/window_texts.h"

const std::array<std::pair<int, const char*>, 6>& SettingsDialog::Languages() {
    static const std::array<std::pair<int, const char*>, 6> kLanguages = {{{44, "English"},
                                                                           {49, "Deutsch"},
                                                                           {33, "Français"},
                                                                           {34, "Español"},
                                                                           {47, "Norsk"},
                                                                           {46, "Svenska"}}};
    return kLanguages;
}

SettingsDialog::SettingsDialog(QWidget* pParent, int nLanguage, const DiagramPalette& colors)
    : QDialog(pParent), m_colors(colors) {
    setObjectName("settings-dialog");
    setWindowTitle(Ui("Settings"));
    auto* pLayout = new QFormLayout(this);
    m_pLanguage = new QComboBox;
    for (const auto& [nNumber, pszName] : Languages()) {
        m_pLanguage->addItem(QString::fromUtf8(pszName), nNumber);
        if (nNumber == nLanguage) {
            m_pLanguage->setCurrentIndex(m_pLanguage->count() - 1);
        }
    }
    pLayout->addRow(Ui("Editor language:"), m_pLanguage);
    static const char* const kColorNames[] = {UI_TEXT("Grid:"), UI_TEXT("Background:"),
                                              UI_TEXT("Current polar:"), UI_TEXT("Tacking sector:"),
                                              UI_TEXT("Other polars:")};
    for (std::size_t i = 0; i < m_colorButtons.size(); ++i) {
        m_colorButtons[i] = new QPushButton;
        m_colorButtons[i]->setObjectName(QString("color-%1").arg(i));
        connect(m_colorButtons[i], &QPushButton::clicked, this, [this, i] {
            const QColor chosen = QColorDialog::getColor(ColorOf(m_colors[i]), this);
            if (chosen.isValid()) {
                SetColor(i, static_cast<COLORREF>(chosen.red()) |
                                static_cast<COLORREF>(chosen.green()) << 8 |
                                static_cast<COLORREF>(chosen.blue()) << 16);
            }
        });
        ShowColor(i);
        pLayout->addRow(Ui(kColorNames[i]), m_colorButtons[i]);
    }
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pLayout->addRow(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    GiveAccelerators(this);
}

int SettingsDialog::Language() const {
    return m_pLanguage->currentData().toInt();
}

void SettingsDialog::SetColor(std::size_t nIndex, COLORREF cr) {
    m_colors[nIndex] = cr;
    ShowColor(nIndex);
}

void SettingsDialog::ShowColor(std::size_t nIndex) {
    const QColor color = ColorOf(m_colors[nIndex]);
    m_colorButtons[nIndex]->setText(color.name().toUpper());
    m_colorButtons[nIndex]->setStyleSheet(
        QString("background-color: %1; color: %2")
            .arg(color.name(), color.lightness() > 128 ? "black" : "white"));
}
