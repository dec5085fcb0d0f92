#include "apps/polar-editor/window_texts.h"

#include <QFile>
#include <QLocale>

#include "translation/language_file.h"

bool WindowTranslator::Load(const QString& strFile) {
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    for (const auto& [strKey, strValue] : DecodeLanguageFile(
             std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        m_texts.insert(QString::fromStdString(strKey), QString::fromStdString(strValue));
    }
    return !m_texts.isEmpty();
}

QString WindowTranslator::translate(const char* pszContext, const char* pszSource, const char*,
                                    int) const {
    if (qstrcmp(pszContext, "polar-editor") != 0) {
        return {};
    }
    return m_texts.value(QString::fromUtf8(pszSource));
}

QString LocaleOfLanguage(int nLanguage) {
    switch (nLanguage) {
        case 49:
            return "de";
        case 33:
            return "fr";
        case 34:
            return "es";
        case 47:
            return "nb";
        case 46:
            return "sv";
        default:
            return "en";
    }
}

QString WindowTextsFile(const QString& strDataDir, int nLanguage) {
    return QString("%1/Translations/Window_%2.lgx")
        .arg(strDataDir)
        .arg(nLanguage, 3, 10, QChar('0'));
}

QString InKnots(const QString& strNumber) {
    return Ui("%1 kn").arg(strNumber);
}

void UseLanguageForNumbers(int nLanguage) {
    QLocale locale(LocaleOfLanguage(nLanguage));
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}

QString UiNumber(double f, char cFormat, int nPrecision) {
    return QLocale().toString(f, cFormat, nPrecision);
}

QString UiFileNumber(float f) {
    QString text = QString::number(static_cast<double>(f), 'f', 2);
    while (text.endsWith('0')) {
        text.chop(1);
    }
    if (text.endsWith('.')) {
        text.chop(1);
    }
    // The decimal mark of the language, in a number that only ever has a point.
    return text.replace('.', QLocale().decimalPoint());
}
