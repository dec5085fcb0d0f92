#include "data/text_encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(TextEncoding, ValidUtf8IsKeptOtherBytesAreReadAsWindows1252) {
    EXPECT_EQ(DecodeForDisplay("Gennaker \xC3\xB8"), "Gennaker \xC3\xB8");
    // 0xE6 alone is not UTF-8: Windows-1252 'æ'; 0x80 is the euro sign.
    EXPECT_EQ(DecodeForDisplay("Fl\xE6k \x80"), "Fl\xC3\xA6k \xE2\x82\xAC");
    EXPECT_EQ(DecodeForDisplay("\x81"), "\xC2\x81");
}

TEST(TextEncoding, RejectsOverlongSurrogateAndTruncatedSequences) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8C\x8A"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
}

TEST(TextEncoding, CutLengthNeverSplitsAUtf8Character) {
    EXPECT_EQ(CutLength("abc", 99), 3u);
    EXPECT_EQ(CutLength("a\xC3\xB8"
                        "b",
                        2),
              1u);
    EXPECT_EQ(CutLength("a\xF8\xF8", 2), 2u);  // not UTF-8: bytes are bytes
}

}  // namespace
