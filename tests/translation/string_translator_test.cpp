#include "translation/string_translator.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "translation/language_file.h"

namespace {

std::string Stored(const std::string& text) {
    std::string s;
    for (char c : text) {
        s.push_back(static_cast<char>(~static_cast<unsigned char>(c)));
    }
    return s + '\xFF';
}

TEST(StringTranslator, TranslatesKnownTextsAndEchoesOthers) {
    STRING_TRANSLATOR translator(300);
    translator.AddTranslation("Kts", "kn");
    EXPECT_STREQ(translator.Translate("Kts"), "kn");
    EXPECT_STREQ(translator.Translate("kts"), "kts");  // keys are case-sensitive
    EXPECT_STREQ(translator.Translate(nullptr), "");
    EXPECT_STREQ(translator.Translate(""), "");
}

TEST(StringTranslator, UntranslatedTextsShareARingOfThirtySlots) {
    STRING_TRANSLATOR translator(300);
    const char* pFirst = translator.Translate("text 0");
    for (int i = 1; i < 30; ++i) {
        translator.Translate(("text " + std::to_string(i)).c_str());
    }
    EXPECT_STREQ(pFirst, "text 0");  // still valid after 29 further lookups
    const char* pThirtyFirst = translator.Translate("text 30");
    EXPECT_EQ(pThirtyFirst, pFirst);
    EXPECT_STREQ(pFirst, "text 30");
}

TEST(StringTranslator, LaterPairsReplaceEmptyValuesEchoEmptyKeysAreIgnored) {
    STRING_TRANSLATOR translator(10);
    translator.AddTranslation("speed", "Fahrt");
    translator.AddTranslation("speed", "Geschwindigkeit");
    translator.AddTranslation("Kts", "");
    translator.AddTranslation("", "nothing");
    EXPECT_STREQ(translator.Translate("speed"), "Geschwindigkeit");
    EXPECT_STREQ(translator.Translate("Kts"), "Kts");
    EXPECT_EQ(translator.GetCount(), 2u);
}

TEST(StringTranslator, LoadsTheDocumentedBytes) {
    STRING_TRANSLATOR translator(300);
    translator.LoadLanguageBytes(std::string("\xB4\x8B\x8C\xFF\x94\x91\xFF", 7));
    EXPECT_STREQ(translator.Translate("Kts"), "kn");
}

TEST(StringTranslator, DamagedFilesKeepThePairsBeforeTheDamage) {
    {
        STRING_TRANSLATOR translator(10);
        std::string unterminated = Stored("a") + Stored("1") + Stored("b") + Stored("2");
        unterminated.pop_back();
        translator.LoadLanguageBytes(unterminated);
        EXPECT_STREQ(translator.Translate("a"), "1");
        EXPECT_STREQ(translator.Translate("b"), "b");
    }
    {
        STRING_TRANSLATOR translator(10);
        translator.LoadLanguageBytes(Stored("a") + Stored("1") + Stored("lonely key"));
        EXPECT_EQ(translator.GetCount(), 1u);
    }
}

TEST(StringTranslator, AStringOf1024StoredBytesIsUsedAndEndsTheLoading) {
    const std::string strLongValue(1023, 'v');
    STRING_TRANSLATOR accepted(10);
    accepted.LoadLanguageBytes(Stored("k") + Stored(strLongValue) + Stored("x") + Stored("y"));
    EXPECT_EQ(accepted.Translate("k"), strLongValue);
    EXPECT_STREQ(accepted.Translate("x"), "x");

    STRING_TRANSLATOR refused(10);
    refused.LoadLanguageBytes(Stored("a") + Stored("1") + Stored("k") + Stored(strLongValue + "v") +
                              Stored("x") + Stored("y"));
    EXPECT_STREQ(refused.Translate("a"), "1");
    EXPECT_STREQ(refused.Translate("k"), "k");
    EXPECT_STREQ(refused.Translate("x"), "x");
}

TEST(StringTranslator, LoadsAFileByItsNameWithoutExtensionAndBackslashes) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Translations");
    TempDir::Write(dir.File("Translations/Lang_049.lgx"), Stored("speed") + Stored("Fahrt"));
    STRING_TRANSLATOR translator(300);
    translator.LoadLanguageFile(dir.Path().string() + "\\Translations\\Lang_049");
    EXPECT_STREQ(translator.Translate("speed"), "Fahrt");

    STRING_TRANSLATOR missing(300);
    missing.LoadLanguageFile(dir.Path().string() + "/Translations/Lang_033");
    EXPECT_EQ(missing.GetCount(), 0u);
}

}  // namespace
