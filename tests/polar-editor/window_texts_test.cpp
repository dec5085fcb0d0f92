// The window's texts in every language the settings offer: every text the sources give Ui() or
// UI_TEXT has its translation, which keeps the source's placeholders, accelerator and form, and
// the language file built from them answers through Qt's translation.
#include "apps/polar-editor/window_texts.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <memory>
#include <utility>
#include <vector>

#include "apps/polar-editor/about_box.h"
#include "apps/polar-editor/editor_plugin.h"
#include "apps/polar-editor/log_tool_dialog.h"
#include "apps/polar-editor/main_window.h"
#include "apps/polar-editor/questions.h"
#include "apps/polar-editor/settings_dialog.h"
#include "apps/polar-editor/targets_dialog.h"
#include "tests/polar-editor/scripted_questions.h"
#include "tests/support/own_settings.h"
#include "tests/support/temp_dir.h"

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

// The English and translated texts of a language's source file, in file order.
std::vector<std::pair<QString, QString>> PairsOf(int nLanguage) {
    std::vector<std::pair<QString, QString>> pairs;
    const QString path =
        QString("%1/window_%2.tsv").arg(POLAR_TRANSLATIONS_DIR).arg(nLanguage, 3, 10, QChar('0'));
    for (const QString& line : ReadText(path).split('\n', Qt::SkipEmptyParts)) {
        pairs.emplace_back(line.section('\t', 0, 0), line.section('\t', 1));
    }
    return pairs;
}

// The placeholders of a text, sorted, as one string.
std::string Placeholders(const QString& text) {
    static const QRegularExpression kPlaceholder(R"(%L?\d+)");
    QStringList found;
    for (auto match = kPlaceholder.globalMatch(text); match.hasNext();) {
        found.push_back(match.next().captured());
    }
    found.sort();
    return found.join(' ').toStdString();
}

// The accelerators of a text: each & before a character other than another &.
int Accelerators(const QString& text) {
    int n = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            n += text[i + 1] != '&' ? 1 : 0;
            ++i;
        }
    }
    return n;
}

// The languages the settings offer that have the window's texts (all but English).
std::vector<int> TranslatedLanguages() {
    std::vector<int> languages;
    for (const auto& [nLanguage, pszName] : SettingsDialog::Languages()) {
        if (nLanguage != 44) {
            languages.push_back(nLanguage);
        }
    }
    return languages;
}

class WindowLanguage : public testing::TestWithParam<int> {
  protected:
    static void SetUpTestSuite() { UseOwnSettingsFolder(); }
    void SetUp() override {
        m_pairs = PairsOf(GetParam());
        ASSERT_TRUE(m_translator.Load(WindowTextsFile(POLAR_SHARE_DIR, GetParam())));
    }
    // The window made with the language's texts, as the application makes it.
    MainWindow& Window() {
        if (!m_pWindow) {
            QCoreApplication::installTranslator(&m_translator);
            m_pWindow = std::make_unique<MainWindow>(m_editor, m_questions, DefaultPalette());
            QCoreApplication::removeTranslator(&m_translator);
        }
        return *m_pWindow;
    }

    std::vector<std::pair<QString, QString>> m_pairs;
    WindowTranslator m_translator;
    EditorPlugin m_editor{DefaultPalette(), GetParam(), false};
    ScriptedQuestions m_questions;
    std::unique_ptr<MainWindow> m_pWindow;
};

TEST_P(WindowLanguage, EveryTextOfTheWindowHasOneTranslation) {
    QSet<QString> translated;
    for (const auto& [english, text] : m_pairs) {
        EXPECT_FALSE(text.trimmed().isEmpty()) << "empty for: " << english.toStdString();
        EXPECT_FALSE(translated.contains(english)) << "twice: " << english.toStdString();
        translated.insert(english);
    }
    const QStringList texts = TextsOfSources();
    ASSERT_GT(texts.size(), 100);
    for (const QString& text : texts) {
        EXPECT_TRUE(translated.contains(text))
            << "no translation into " << GetParam() << " for: " << text.toStdString();
    }  // Nor does it translate a text the window no longer has.
    const QSet<QString> used(texts.begin(), texts.end());
    for (const QString& english : translated) {
        EXPECT_TRUE(used.contains(english))
            << "not a text of the window: " << english.toStdString();
    }
}

// What the code fills in or Qt reads from a text stays as the English has it: the
// placeholders, one accelerator where the English has one, the "…" of a text that opens a
// dialog, the closing colon of a label, and the patterns of a file filter.
TEST_P(WindowLanguage, ATranslationKeepsWhatTheCodeAndQtReadOfTheText) {
    static const QRegularExpression kPattern(R"(\([^()]*\*[^()]*\))");
    for (const auto& [english, text] : m_pairs) {
        const std::string context = english.toStdString() + " -> " + text.toStdString();
        EXPECT_EQ(Placeholders(text), Placeholders(english)) << context;
        EXPECT_EQ(Accelerators(text), Accelerators(english) > 0 ? 1 : 0) << context;
        EXPECT_EQ(text.endsWith(u'…'), english.endsWith(u'…')) << context;
        EXPECT_EQ(text.endsWith(':'), english.endsWith(':')) << context;
        for (auto pattern = kPattern.globalMatch(english); pattern.hasNext();) {
            EXPECT_TRUE(text.contains(pattern.next().captured())) << context;
        }
    }
}

// The file built from the source answers every text through Qt, from where the application
// looks for it by the language number.
TEST_P(WindowLanguage, TheBuiltLanguageFileAnswersEveryText) {
    QCoreApplication::installTranslator(&m_translator);
    for (const auto& [english, text] : m_pairs) {
        EXPECT_EQ(Ui(english.toUtf8().constData()).toStdString(), text.toStdString());
    }
    EXPECT_NE(Ui("&File"), "&File");
    QCoreApplication::removeTranslator(&m_translator);
    EXPECT_EQ(Ui("&File"), "&File");
    EXPECT_NE(LocaleOfLanguage(GetParam()), "en");
}

// In the window's menus, translated, no two entries of a menu (nor two menus of the bar) share
// an accelerator.
TEST_P(WindowLanguage, TheMenusAcceleratorsAreDistinct) {
    const auto checkDistinct = [](const QList<QAction*>& actions) {
        QSet<QString> keys;
        for (const QAction* pAction : actions) {
            if (pAction->isSeparator() || pAction->text().isEmpty()) {
                continue;
            }
            const QString key = QKeySequence::mnemonic(pAction->text()).toString().toLower();
            EXPECT_FALSE(keys.contains(key)) << pAction->text().toStdString();
            keys.insert(key);
        }
    };
    const QList<QAction*> menus = Window().menuBar()->actions();
    ASSERT_GE(menus.size(), 4);
    checkDistinct(menus);
    for (const QAction* pMenu : menus) {
        ASSERT_NE(pMenu->menu(), nullptr);
        checkDistinct(pMenu->menu()->actions());
    }
}

// On the sample, in a window of the usual size, the tree shows its columns whole: their
// headers are longer in some languages than in English.
TEST_P(WindowLanguage, TheTreeShowsItsColumnsWhole) {
    MainWindow& window = Window();
    window.resize(1000, 700);
    // The sample, and a file whose last column holds less than its header's default width.
    TempDir dir;
    const std::string strNarrow = dir.File("NARROW.PPD");
    TempDir::Write(strNarrow, "Main,\r\n6.00,45.00,\r\n40.00,4.10,90.00,5.40,-2");
    for (const QString& strFile : {QString(POLAR_SAMPLE_FILE), QString::fromStdString(strNarrow)}) {
        window.ShowFile(strFile);
        window.show();
        QApplication::processEvents();
        const auto* pTree = window.findChild<QTreeWidget*>("sail-plan-tree");
        ASSERT_NE(pTree, nullptr);
        ASSERT_NE(pTree->headerItem()->text(3).toStdString(), "Best beat");
        EXPECT_LE(pTree->header()->length(), pTree->viewport()->width()) << strFile.toStdString();
    }
    window.close();
}

// Every field's label and every other button of a dialog has an Alt key, and no two share one.
void ExpectDistinctKeys(QWidget* pDialog) {
    SCOPED_TRACE(pDialog->objectName().toStdString() + " " + pDialog->windowTitle().toStdString());
    QStringList texts;
    QSet<const QWidget*> buddies;
    for (const QLabel* pLabel : pDialog->findChildren<QLabel*>()) {
        if (pLabel->buddy() != nullptr) {
            texts << pLabel->text();
            buddies.insert(pLabel->buddy());
        }
    }
    // A button named by a label (a colour's) is reached by the label's key.
    for (const QAbstractButton* pButton : pDialog->findChildren<QAbstractButton*>()) {
        if (!pButton->text().isEmpty() && !buddies.contains(pButton)) {
            texts << pButton->text();
        }
    }
    EXPECT_GE(texts.size(), 2);
    QSet<QString> keys;
    for (const QString& text : texts) {
        const QString key = QKeySequence::mnemonic(text).toString().toLower();
        EXPECT_FALSE(key.isEmpty()) << text.toStdString();
        EXPECT_FALSE(keys.contains(key)) << text.toStdString();
        keys.insert(key);
    }
}

// The Learn, Compare, Export, Targets and Settings dialogs in the language (and in English).
void ExpectKeysInTheDialogs() {
    ScriptedQuestions questions;
    SailPlanArray plans;
    plans.push_back(std::make_unique<SAILPLAN>("Main"));
    plans.back()->InsertPolar(0, 6.0f, 45.0f);
    plans.back()->InsertVector(0, 0, 40.0f, 4.1f);
    for (const auto mode : {LogToolDialog::Mode::Learn, LogToolDialog::Mode::Compare}) {
        LogToolDialog dialog(nullptr, mode, questions, plans, QString());
        ExpectDistinctKeys(&dialog);
    }
    SettingsDialog settings(nullptr, 49, DefaultPalette());
    ExpectDistinctKeys(&settings);
    TargetsDialog targets(nullptr, questions, plans, 0, QString());
    ExpectDistinctKeys(&targets);
    // The export dialog is shown by the real questions; it is looked at while it runs.
    bool bSeen = false;
    QTimer::singleShot(0, [&bSeen] {
        QWidget* pDialog = QApplication::activeModalWidget();
        ASSERT_NE(pDialog, nullptr);
        ExpectDistinctKeys(pDialog);
        bSeen = true;
        qobject_cast<QDialog*>(pDialog)->reject();
    });
    DialogQuestions real;
    EXPECT_FALSE(real.ChooseExport(nullptr, {"Main"}, {"grid", "lines"}, {}).has_value());
    EXPECT_TRUE(bSeen);
}

TEST_P(WindowLanguage, TheDialogsKeysAreDistinct) {
    QCoreApplication::installTranslator(&m_translator);
    ExpectKeysInTheDialogs();
    QCoreApplication::removeTranslator(&m_translator);
}

TEST(WindowTexts, TheDialogsKeysAreDistinctInEnglish) {
    UseOwnSettingsFolder();
    ExpectKeysInTheDialogs();
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowLanguage, testing::ValuesIn(TranslatedLanguages()),
                         [](const testing::TestParamInfo<int>& language) {
                             return "Language" + std::to_string(language.param);
                         });

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
    EXPECT_EQ(WindowTextsFile("data", 33), "data/Translations/Window_033.lgx");
}

// Numbers in the window take the language's decimal mark; a wind speed reads as the file holds
// it, neither rounded to a tenth nor padded.
TEST(WindowTexts, NumbersAreWrittenAsTheLanguageWritesThem) {
    const QLocale before;
    UseLanguageForNumbers(49);
    EXPECT_EQ(UiNumber(3.14159, 'f', 2), "3,14");
    EXPECT_EQ(UiNumber(1234.5), "1234,5");  // no group separator
    EXPECT_EQ(UiFileNumber(2.04f), "2,04");
    EXPECT_EQ(UiFileNumber(1.96f), "1,96");
    EXPECT_EQ(UiFileNumber(12.5f), "12,5");
    EXPECT_EQ(UiFileNumber(6.0f), "6");
    EXPECT_EQ(UiFileNumber(10.0f), "10");  // a whole number keeps its zero
    // The tree of a window in German: wind speeds as held, angles with a comma.
    {
        UseOwnSettingsFolder();
        ScriptedQuestions questions;
        EditorPlugin editor(DefaultPalette(), 49, false);
        MainWindow window(editor, questions, DefaultPalette());
        TempDir dir;
        const std::string strFile = dir.File("CLOSE.PPD");
        TempDir::Write(strFile, "Main,\r\n2.04,45.50,\r\n40.00,4.10,90.00,5.40,-2");
        window.ShowFile(QString::fromStdString(strFile));
        const auto* pTree = window.findChild<QTreeWidget*>("sail-plan-tree");
        ASSERT_NE(pTree, nullptr);
        ASSERT_EQ(pTree->topLevelItem(0)->childCount(), 1);
        EXPECT_EQ(pTree->topLevelItem(0)->child(0)->text(0), "2,04 kn");
        EXPECT_EQ(pTree->topLevelItem(0)->child(0)->text(2), "45,5°");
    }
    UseLanguageForNumbers(7);
    EXPECT_EQ(UiFileNumber(2.04f), "2.04");
    QLocale::setDefault(before);
}

// About names the version, the licence and both Qts, and shows the program's icon, which the
// program carries in itself for a start where no icon theme has it.
TEST(WindowTexts, AboutSaysVersionLicenceAndQtBesideTheIcon) {
    QCoreApplication::setApplicationVersion("9.8.7");
    const QString text = AboutText();
    EXPECT_TRUE(text.contains("9.8.7"));
    EXPECT_TRUE(text.contains("MIT"));
    EXPECT_TRUE(text.contains(QT_VERSION_STR));
    EXPECT_TRUE(text.contains(qVersion()));
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(64, 64).toImage();
    ASSERT_FALSE(image.isNull());
    // Drawn, not blank: the icon's frame and curve differ from its corner.
    int nColours = 0;
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            if (!seen.contains(image.pixel(x, y))) {
                seen.insert(image.pixel(x, y));
                ++nColours;
            }
        }
    }
    EXPECT_GT(nColours, 3);
}

}  // namespace
