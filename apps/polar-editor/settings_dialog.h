#pragma once

#include <QDialog>
#include <array>

#include "diagram/palette.h"

class QComboBox;
class QPushButton;

// Edit > Settings: the editor's language and the diagram's five colours, kept in the settings
// and used from the next opening of the editor.
class SettingsDialog : public QDialog {
  public:
    SettingsDialog(QWidget* pParent, int nLanguage, const DiagramPalette& colors);

    int Language() const;
    DiagramPalette Colors() const { return m_colors; }
    void SetColor(std::size_t nIndex, COLORREF cr);

    // The languages offered, with their numbers.
    static const std::array<std::pair<int, const char*>, 6>& Languages();

  private:
    void ShowColor(std::size_t nIndex);
    QComboBox* m_pLanguage = nullptr;
    std::array<QPushButton*, 5> m_colorButtons{};
    DiagramPalette m_colors;
};
