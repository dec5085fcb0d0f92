// What polar-editor does on its own: its command line, the seeding of its data folder, and
// the diagram colours it hands the editor.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <filesystem>

#include "apps/polar-editor/data_folder.h"
#include "apps/polar-editor/options.h"
#include "diagram/palette.h"
#include "tests/support/temp_dir.h"

namespace {

CommandLine Parse(const std::vector<const char*>& args) {
    QStringList list;
    for (const char* psz : args) {
        list.push_back(QString::fromUtf8(psz));
    }
    return ParseCommandLine(list);
}

TEST(EditorCommandLine, EveryOptionIsTaken) {
    const CommandLine none = Parse({});
    ASSERT_FALSE(none.nExitNow);
    EXPECT_TRUE(none.options.strDataFile.isEmpty());
    EXPECT_TRUE(none.options.strDataDir.isEmpty());
    EXPECT_FALSE(none.options.nLanguage);
    EXPECT_EQ(none.options.colors, DefaultPalette());
    EXPECT_FALSE(none.options.bVerbose);
    EXPECT_FALSE(none.options.bCheck);

    const CommandLine all =
        Parse({"--lang", "49", "--colors", "000000,FFFFFF,#FF0000,00ff00,0000FF", "--data-dir",
               "/tmp/sail", "--verbose", "--check", "boat.ppd"});
    ASSERT_FALSE(all.nExitNow) << all.strText.toStdString();
    EXPECT_EQ(all.options.nLanguage, 49);
    EXPECT_EQ(all.options.colors[2], 0x0000FFu);  // 0x00BBGGRR
    EXPECT_EQ(all.options.colors[3], 0x00FF00u);
    EXPECT_EQ(all.options.strDataDir, "/tmp/sail");
    EXPECT_EQ(all.options.strDataFile, "boat.ppd");
    EXPECT_TRUE(all.options.bVerbose);
    EXPECT_TRUE(all.options.bCheck);
    EXPECT_EQ(Parse({"--lang=33"}).options.nLanguage, 33);
}

TEST(EditorCommandLine, HelpAndVersionEndAtOnce) {
    const CommandLine help = Parse({"--help"});
    ASSERT_EQ(help.nExitNow, kEditorExitOk);
    for (const char* psz : {"Usage: polar-editor", "--lang", "--colors", "--data-dir", "--verbose",
                            "--check", "DATAFILE"}) {
        EXPECT_TRUE(help.strText.contains(psz)) << psz;
    }
    EXPECT_EQ(Parse({"-v"}).strText, "polar-editor " POLAR_EDITOR_VERSION "\n");
}

TEST(EditorCommandLine, BadUsageNamesWhatIsWrongAndExitsTwo) {
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
        {{"--lang", "x"}, "--lang needs a language number such as 49, not 'x'"},
        {{"--lang", "-3"}, "not '-3'"},
        {{"--lang"}, "Missing value after '--lang'"},
        {{"--colors", "red"}, "--colors needs five colours RRGGBB"},
        {{"--colors", "000000,FFFFFF,FF0000,00FF00"}, "--colors needs five colours"},
        {{"--data-dir", ""}, "--data-dir needs a folder"},
        {{"a.ppd", "b.ppd"}, "give at most one data file, not 2"},
        {{"--frobnicate"}, "Unknown option 'frobnicate'"},
    };
    for (const auto& [args, pszMessage] : cases) {
        const CommandLine result = Parse(args);
        EXPECT_EQ(result.nExitNow, kEditorExitUsage) << pszMessage;
        EXPECT_TRUE(result.strText.startsWith("polar-editor: "));
        EXPECT_TRUE(result.strText.contains(pszMessage)) << result.strText.toStdString();
    }
}

TEST(EditorCommandLine, TheToolkitsOwnOptionsAreLeftToIt) {
    EXPECT_EQ(WithoutToolkitOptions({"-platform", "offscreen", "--lang", "49", "-style=Fusion",
                                     "-reverse", "boat.ppd"}),
              (QStringList{"--lang", "49", "boat.ppd"}));
    EXPECT_EQ(LanguageForLocale("de_DE"), 49);
    EXPECT_EQ(LanguageForLocale("nb_NO"), 47);
    EXPECT_EQ(LanguageForLocale("es-ES"), 34);
    EXPECT_EQ(LanguageForLocale("sv_SE"), 46);
    EXPECT_EQ(LanguageForLocale("C"), 44);
}

TEST(EditorDisplay, MissingOnlyWhereThePlatformQtTakesNeedsOne) {
    const auto missing = [](std::vector<const char*> args, DisplayEnvironment environment) {
        QStringList list;
        for (const char* psz : args) {
            list.push_back(QString::fromUtf8(psz));
        }
        return !MissingDisplayMessage(list, environment).isEmpty();
    };
    // Qt's default: an X server, or a Wayland compositor.
    EXPECT_TRUE(missing({}, {}));
    EXPECT_FALSE(missing({}, {"", ":0", ""}));
    EXPECT_FALSE(missing({}, {"", "", "wayland-0"}));
    // Platforms that need no display, from the environment or the command line.
    for (const char* psz :
         {"offscreen", "minimal", "vnc:size=800x600", "linuxfb", "xcb;offscreen"}) {
        EXPECT_FALSE(missing({}, {psz, "", ""})) << psz;
    }
    EXPECT_FALSE(missing({"-platform", "offscreen"}, {}));
    EXPECT_FALSE(missing({"--check", "--platform", "minimal"}, {"xcb", "", ""}));
    // The command line stands over the environment, and its last -platform counts.
    EXPECT_TRUE(missing({"-platform", "xcb"}, {"offscreen", "", ""}));
    EXPECT_TRUE(missing({"-platform", "offscreen", "-platform", "xcb"}, {}));
    // xcb needs an X server, from DISPLAY or -display; a compositor is not one.
    EXPECT_TRUE(missing({}, {"xcb", "", "wayland-0"}));
    EXPECT_FALSE(missing({"-display", ":1"}, {"xcb", "", ""}));
    // wayland: a compositor, or an X server to fall back on.
    EXPECT_TRUE(missing({}, {"wayland", "", ""}));
    EXPECT_TRUE(missing({}, {"wayland-egl;xcb", "", ""}));
    EXPECT_FALSE(missing({}, {"wayland", "", "wayland-1"}));
    EXPECT_FALSE(missing({}, {"wayland", ":0", ""}));
    EXPECT_TRUE(missing({"-platform"}, {}));  // no name after it: the default

    // The message says what is missing and how to run the program, with its arguments.
    const QString message = MissingDisplayMessage({"--check", "my boat.ppd"}, {});
    EXPECT_TRUE(
        message.startsWith("polar-editor: no display found: neither DISPLAY nor "
                           "WAYLAND_DISPLAY is set.\n"))
        << message.toStdString();
    EXPECT_TRUE(message.contains("graphical desktop"));
    EXPECT_TRUE(message.endsWith("xvfb-run polar-editor --check 'my boat.ppd'\n"))
        << message.toStdString();
    EXPECT_TRUE(MissingDisplayMessage({}, {"xcb", "", "wayland-0"})
                    .startsWith("polar-editor: no display found: DISPLAY is not set (platform "
                                "'xcb')."));
}

TEST(EditorPalette, FiveHexColoursOrNone) {
    const auto palette = ParsePalette(" #A8B4C0 , FFFFFF,103CB4,D4F0D4,F09A3C ");
    ASSERT_TRUE(palette);
    EXPECT_EQ(*palette, DefaultPalette());
    for (const char* psz : {"", "FFFFFF", "FFFFFF,FFFFFF,FFFFFF,FFFFFF,FFFFFF,FFFFFF",
                            "GGGGGG,FFFFFF,FFFFFF,FFFFFF,FFFFFF", "FFF,FFFFFF,FFFFFF,FFFFFF,FFFFFF",
                            "FFFFFF,,FFFFFF,FFFFFF,FFFFFF"}) {
        EXPECT_FALSE(ParsePalette(psz)) << psz;
    }
}

class DataFolder : public testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(m_share.Path() / "Translations");
        std::filesystem::create_directories(m_share.Path() / "Help/English");
        TempDir::Write(m_share.File("POLAR.PPD"), "sample");
        TempDir::Write(m_share.File("Translations/Lang_049.lgx"), "german");
        TempDir::Write(m_share.File("Help/English/polar.html"), "help");
    }
    QString Share() const { return QString::fromStdString(m_share.Path().string()); }
    QString Data() const { return QString::fromStdString(m_data.File("data")); }
    TempDir m_share;
    TempDir m_data;
};

TEST_F(DataFolder, IsSeededOnceAndTheUsersFilesAreNeverOverwritten) {
    QString error;
    ASSERT_TRUE(PrepareDataFolder(Data(), Share(), &error)) << error.toStdString();
    const std::string strData = Data().toStdString();
    EXPECT_EQ(TempDir::Read(strData + "/Sail/POLAR.PPD"), "sample");
    EXPECT_EQ(TempDir::Read(strData + "/Translations/Lang_049.lgx"), "german");
    EXPECT_EQ(TempDir::Read(strData + "/Help/English/polar.html"), "help");

    TempDir::Write(strData + "/Sail/POLAR.PPD", "the user's polars");
    std::filesystem::remove(strData + "/Translations/Lang_049.lgx");
    ASSERT_TRUE(PrepareDataFolder(Data(), Share(), &error));
    EXPECT_EQ(TempDir::Read(strData + "/Sail/POLAR.PPD"), "the user's polars");
    EXPECT_EQ(TempDir::Read(strData + "/Translations/Lang_049.lgx"), "german");  // back again
}

TEST_F(DataFolder, AFolderThatCannotBeMadeIsNamed) {
    TempDir::Write(m_data.File("file"), "in the way");
    const QString blocked = QString::fromStdString(m_data.File("file")) + "/data";
    QString error;
    EXPECT_FALSE(PrepareDataFolder(blocked, Share(), &error));
    EXPECT_TRUE(error.contains(blocked)) << error.toStdString();

    // Without shared files the folders are made and the editor starts with an empty file.
    ASSERT_TRUE(PrepareDataFolder(Data(), QString(), &error));
    EXPECT_TRUE(QDir(Data() + "/Sail").exists());
    EXPECT_FALSE(QFile::exists(Data() + "/Sail/POLAR.PPD"));
}

}  // namespace
