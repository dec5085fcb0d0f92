#include "translation/language_file.h"

#include <gtest/gtest.h>

#include "translation/string_translator.h"

namespace {

TEST(LanguageFile, EncodesPairsThatTheTranslatorReadsBack) {
    const LanguagePairs pairs = {{"Kts", "kn"},
                                 {"POLAR DIAGRAM  angle", "POLARDIAGRAMM  Winkel"},
                                 {"Help\\English\\polar.hlp", "Help\\Deutsch\\polar.hlp"},
                                 {"speed", "Fahrt \xC3\xBC"}};
    std::string bytes;
    std::string error;
    ASSERT_TRUE(EncodeLanguageFile(pairs, bytes, error)) << error;
    EXPECT_EQ(bytes.substr(0, 7), std::string("\xB4\x8B\x8C\xFF\x94\x91\xFF", 7));
    std::size_t nUsed = 0;
    EXPECT_EQ(DecodeLanguageFile(bytes, &nUsed), pairs);
    EXPECT_EQ(nUsed, bytes.size());
    STRING_TRANSLATOR translator(300);
    translator.LoadLanguageBytes(bytes);
    EXPECT_STREQ(translator.Translate("speed"), "Fahrt \xC3\xBC");
}

TEST(LanguageFile, RefusesWhatCouldNotBeReadBack) {
    std::string bytes;
    std::string error;
    EXPECT_FALSE(EncodeLanguageFile({{"", "x"}}, bytes, error));
    EXPECT_NE(error.find("pair 1"), std::string::npos);
    EXPECT_FALSE(EncodeLanguageFile({{"a", "b"}, {"k", std::string("a\0b", 3)}}, bytes, error));
    EXPECT_NE(error.find("pair 2"), std::string::npos);
    EXPECT_FALSE(EncodeLanguageFile({{"k", std::string(1024, 'x')}}, bytes, error));
    EXPECT_TRUE(EncodeLanguageFile({{"k", std::string(1023, 'x')}}, bytes, error));
}

TEST(LanguageFile, ReportsHowManyBytesTheCompletePairsTook) {
    std::string bytes;
    std::string error;
    ASSERT_TRUE(EncodeLanguageFile({{"a", "b"}}, bytes, error));
    const std::size_t nPair = bytes.size();
    bytes += "\x9E";  // the start of another key
    std::size_t nUsed = 0;
    EXPECT_EQ(DecodeLanguageFile(bytes, &nUsed).size(), 1u);
    EXPECT_EQ(nUsed, nPair);
}

}  // namespace
