#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QTranslator>

// The application's own texts in the user's language. Every text of its windows goes through
// Ui(), in English; WindowTranslator answers from Translations/Window_NNN.lgx of the data
// folder (made from translations/window_NNN.tsv, as the editor's language files are), and a
// text without a translation stays English.
inline QString Ui(const char* pszEnglish) {
    return QCoreApplication::translate("polar-editor", pszEnglish);
}

// Marks an English text that is translated later, where it is kept in a table.
#define UI_TEXT(text) text

class WindowTranslator : public QTranslator {
  public:
    // Reads the language file; false when there is none (English needs none) or it holds
    // nothing.
    bool Load(const QString& strFile);
    QString translate(const char* pszContext, const char* pszSource, const char* pszDisambiguation,
                      int n) const override;
    bool isEmpty() const override { return m_texts.isEmpty(); }

  private:
    QHash<QString, QString> m_texts;
};

// The locale name of a language number (49 "de", ...); "en" for any other.
QString LocaleOfLanguage(int nLanguage);

// The window's language file of a language number in the data folder:
// Translations/Window_NNN.lgx, numbered as the editor's Lang_NNN.lgx.
QString WindowTextsFile(const QString& strDataDir, int nLanguage);

// Numbers in the window are written as the window's language writes them (a decimal comma in
// German, French, Spanish, Norwegian and Swedish), without group separators; files and
// polarctl keep their points. Called once, with the window's language, before any window.
void UseLanguageForNumbers(int nLanguage);
// A number in the window's language: f as QString::number(f, cFormat, nPrecision) gives it,
// with the language's decimal mark.
QString UiNumber(double f, char cFormat = 'g', int nPrecision = 6);
// A number read from a data file as the file holds it (two decimals at most), without the
// zeros it was padded with: 6, 12.5, 2.04.
QString UiFileNumber(float f);

// A speed with its unit as the window's language writes knots ("6 kn", "6 nd").
QString InKnots(const QString& strNumber);
