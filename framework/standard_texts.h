#pragma once

#include <QTranslator>
#include <memory>

// Qt's own texts (the labels of file dialogs, of standard buttons) in a language while an
// object of this class lives: the catalogue Qt ships for that language, when one is installed.
class StandardTexts {
  public:
    // pszLocale as "de"; nullptr or a language without a catalogue leaves Qt's texts alone.
    explicit StandardTexts(const char* pszLocale);
    ~StandardTexts();
    StandardTexts(const StandardTexts&) = delete;
    StandardTexts& operator=(const StandardTexts&) = delete;

    bool Installed() const { return m_pTranslator != nullptr; }

  private:
    std::unique_ptr<QTranslator> m_pTranslator;
};
