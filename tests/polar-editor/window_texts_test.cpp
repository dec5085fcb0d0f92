// The window's texts in German: every text the sources give Ui() or UI_TEXT has its
// translation, and the language file built from them answers through Qt's translation.
#include "apps/polar-editor/window_texts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {

QString ReadText(const QString& strPath) {
    QFile file(strPath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << strPath.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The texts of Ui("...") and UI_TEXT("..."), adjacent literals joined, escapes read as C++
// reads the few the sources use.
QStringList TextsOfSources() {
    static const QRegularExpression kCall(
        R"re(\b(?:Ui|UI_TEXT)\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\))re");
    static const QRegularExpression kLiteral(R"re("((?:[^"\\]|\\.)*)")re");
    QStringList texts;
    const QDir folder(POLAR_APP_SOURCE_DIR);
    for (const QString& strName : folder.entryList({"*.cpp"}, QDir::Files)) {
        const QString source = ReadText(folder.filePath(strName));
        for (auto call = kCall.globalMatch(source); call.hasNext();) {
            QString text;
            for (auto part = kLiteral.globalMatch(call.next().captured(1)); part.hasNext();) {
                text += part.next().captured(1);
            }
            texts.push_back(text.replace("\\\"", "\"").replace("\\\\", "\\"));
        }
    }
    return texts;
}

TEST(WindowTexts, EveryTextOfTheWindowHasItsGermanTranslation) {
    QSet<QString> translated;
    for (const QString& line : ReadText(POLAR_WINDOW_TSV_049).split('\n', Qt::SkipEmptyParts)) {
        translated.insert(line.section('\t', 0, 0));
    }
    const QStringList texts = TextsOfSources();
    ASSERT_GT(texts.size(), 100);
    for (const QString& text : texts) {
        EXPECT_TRUE(translated.contains(text)) << "no German for: " << text.toStdString();
    }
}

TEST(WindowTexts, TheBuiltLanguageFileTranslatesThroughQt) {
    WindowTranslator translator;
    ASSERT_TRUE(translator.Load(POLAR_WINDOW_LGX_049));
    EXPECT_FALSE(WindowTranslator().Load("no-such-file.lgx"));
    EXPECT_EQ(Ui("&File"), "&File");  // English until installed
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(Ui("&File"), "&Datei");
    EXPECT_EQ(Ui("%1 sail plans").arg(2), "2 Segelpläne");
    EXPECT_EQ(Ui("not a text of the window"), "not a text of the window");
    // Another context is not the window's.
    EXPECT_EQ(QCoreApplication::translate("QDialogButtonBox", "&File"), "&File");
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(LocaleOfLanguage(49), "de");
    EXPECT_EQ(LocaleOfLanguage(7), "en");
}

}  // namespace
