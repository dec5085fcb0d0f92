#include "framework/standard_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

StandardTexts::StandardTexts(const char* pszLocale) {
    if (pszLocale == nullptr || QCoreApplication::instance() == nullptr) {
        return;
    }
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto pTranslator = std::make_unique<QTranslator>();
    // The catalogue of Qt's widgets; some languages have only the older one of all of Qt.
    const QLocale locale(QString::fromLatin1(pszLocale));
    if (pTranslator->load(locale, "qtbase", "_", folder) ||
        pTranslator->load(locale, "qt", "_", folder)) {
        QCoreApplication::installTranslator(pTranslator.get());
        m_pTranslator = std::move(pTranslator);
    }
}

StandardTexts::~StandardTexts() {
    if (m_pTranslator != nullptr && QCoreApplication::instance() != nullptr) {
        QCoreApplication::removeTranslator(m_pTranslator.get());
    }
}
