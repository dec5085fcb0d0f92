#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "data/number_text.h"
#include "data/polar_file.h"
#include "tests/support/polar_builders.h"

namespace {

// Sail plans as "name: ws/ta[a:s a:s] ws/ta[...]" for compact comparisons.
std::string Describe(const SailPlanArray& plans) {
    std::string s;
    for (const auto& plan : plans) {
        s += plan->m_strName + ":";
        for (const auto& polar : plan->m_aPolars) {
            // Appended piece by piece: `" " + string` trips GCC 12's -Wrestrict at -O3.
            s += ' ';
            s += FormatFixed2(polar->m_fWindSpeed) + "/" + FormatFixed2(polar->m_fTackingAngle) +
                 "[";
            for (const auto& v : polar->m_aVectors) {
                s += FormatFixed2(v->m_fAngle) + ":" + FormatFixed2(v->m_fSpeed) + " ";
            }
            s += "]";
        }
        s += "\n";
    }
    return s;
}

std::string Lf(std::string text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out.push_back(c);
        }
    }
    return out;
}

TEST(PolarFileReader, ReadsTheDocumentedExampleWithCrLfOrLf) {
    const std::string expected = Describe(ExampleSailPlans());
    for (const std::string& text : {std::string(kExampleFileText), Lf(kExampleFileText)}) {
        const PolarFileContents contents = ParsePolarFile(text);
        EXPECT_EQ(Describe(contents.aSailPlans), expected);
        EXPECT_FALSE(contents.stop);
        EXPECT_TRUE(contents.aWarnings.empty());
    }
}

TEST(PolarFileReader, WhiteSpaceBetweenFieldsDoesNotMatter) {
    const std::string text =
        "Main,\n 6.00,\t45.00,\n40.00,\n4.10,\n  60.00,\r\n5.00,\n-2\n\n \t\r\n";
    const PolarFileContents contents = ParsePolarFile(text);
    EXPECT_EQ(Describe(contents.aSailPlans), "Main: 6.00/45.00[40.00:4.10 60.00:5.00 ]\n");
    EXPECT_FALSE(contents.stop) << contents.stop->strMessage;
}

TEST(PolarFileReader, EmptyAndBlankTextsHoldNoSailPlans) {
    for (const char* text : {"", "\r\n", "  \n\t "}) {
        const PolarFileContents contents = ParsePolarFile(text);
        EXPECT_TRUE(contents.aSailPlans.empty());
        EXPECT_FALSE(contents.stop);
    }
}

TEST(PolarFileReader, NameCharactersFollowTheStreamRules) {
    // Leading spaces stay, tabs and line feeds go, a lone CR stays, a CR LF pair goes.
    const PolarFileContents contents = ParsePolarFile("  Big\tJib\r\n\rX,\r\n6,45,\r\n-2");
    ASSERT_EQ(contents.aSailPlans.size(), 1u);
    EXPECT_EQ(contents.aSailPlans[0]->m_strName, "  BigJib\rX");
}

TEST(PolarFileReader, TerminatorsAreDecidedByValue) {
    // -0.4 is still an angle; -0.5 ends a polar; -1.6 ends the sail plan.
    const PolarFileContents contents = ParsePolarFile("A,\n1,2,-0.4,3,-0.5\n4,5,-1.6\nB,\n7,8,-2");
    EXPECT_EQ(Describe(contents.aSailPlans),
              "A: 1.00/2.00[-0.40:3.00 ] 4.00/5.00[]\nB: 7.00/8.00[]\n");
    EXPECT_FALSE(contents.stop);
}

TEST(PolarFileReader, ANameFollowedByANameOrTheEndIsASailPlanWithoutPolars) {
    const PolarFileContents contents =
        ParsePolarFile("Empty,\r\nNancy,\r\n6.00,45.00,\r\n-2\r\nLast,\r\n");
    EXPECT_EQ(Describe(contents.aSailPlans), "Empty:\nNancy: 6.00/45.00[]\nLast:\n");
    EXPECT_FALSE(contents.stop);
}

TEST(PolarFileReader, ALongNameIsCutTo99WithoutLosingTheRest) {
    const std::string strLong(150, 'n');
    const PolarFileContents contents =
        ParsePolarFile(strLong + ",\r\n6,45,-2\r\nNext,\r\n8,40,90,5,-2");
    ASSERT_EQ(contents.aSailPlans.size(), 2u);
    EXPECT_EQ(contents.aSailPlans[0]->m_strName, std::string(99, 'n'));
    EXPECT_EQ(contents.aSailPlans[1]->m_strName, "Next");
    ASSERT_EQ(contents.aWarnings.size(), 1u);
    EXPECT_EQ(contents.aWarnings[0].nLine, 1);
    EXPECT_EQ(contents.aWarnings[0].nColumn, 1);
    EXPECT_FALSE(contents.stop);

    // A UTF-8 name is cut between characters, not inside one.
    std::string strUtf8;
    for (int i = 0; i < 60; ++i) {
        strUtf8 += "\xC3\xA6";  // æ
    }
    const PolarFileContents utf8 = ParsePolarFile(strUtf8 + ",\n6,45,-2");
    EXPECT_EQ(utf8.aSailPlans[0]->m_strName.size(), 98u);
}

struct Malformed {
    const char* pszText;
    int nLine;
    int nColumn;
    const char* pszMessagePart;
    const char* pszKept;
};

void PrintTo(const Malformed& m, std::ostream* os) {
    *os << testing::PrintToString(std::string(m.pszText));
}

class PolarFileReaderStops : public testing::TestWithParam<Malformed> {};

TEST_P(PolarFileReaderStops, AtTheFirstUnreadableThingKeepingCompleteRecords) {
    const Malformed& m = GetParam();
    const PolarFileContents contents = ParsePolarFile(m.pszText);
    ASSERT_TRUE(contents.stop);
    EXPECT_EQ(contents.stop->nLine, m.nLine);
    EXPECT_EQ(contents.stop->nColumn, m.nColumn);
    EXPECT_NE(contents.stop->strMessage.find(m.pszMessagePart), std::string::npos)
        << contents.stop->strMessage;
    EXPECT_EQ(Describe(contents.aSailPlans), m.pszKept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolarFileReaderStops,
    testing::Values(
        Malformed{"Main", 1, 1, "ends inside a sail plan name", ""},
        Malformed{"A,\r\n1,2,-2\r\nMai", 3, 1, "ends inside a sail plan name", "A: 1.00/2.00[]\n"},
        Malformed{"A,\r\n6,45,\r\n40,4,60", 3, 8, "ends where a number (boat speed)", "A:\n"},
        Malformed{"A,\r\n6,45,\r\n40,4,-1\r\n", 4, 1, "ends where a number (wind speed)",
                  "A: 6.00/45.00[40.00:4.00 ]\n"},
        Malformed{"A,\r\n6.00,45.00,\r\n40.00,x,-2", 3, 7, "found 'x'", "A:\n"},
        Malformed{"A,\r\n6.00 ,45.00,\r\n-2", 2, 6, "found ','", "A:\n"},
        Malformed{"A,\r\n6,45,-1\r\nB,\r\n-2", 3, 1, "(wind speed), found 'B'",
                  "A: 6.00/45.00[]\n"},
        Malformed{"A,\n6,45,90,\x01", 2, 9, "byte 0x01", "A:\n"}));

TEST(NumberText, ParsesWhatTheStreamFunctionsRead) {
    auto parse = [](const char* text, float& f) {
        return ParseFloatPrefix(text, text + std::strlen(text), f);
    };
    float f = 0.0f;
    EXPECT_EQ(parse("+5.5,", f), 4u);
    EXPECT_EQ(f, 5.5f);
    EXPECT_EQ(parse("-.25", f), 4u);
    EXPECT_EQ(f, -0.25f);
    EXPECT_EQ(parse("7e", f), 1u);  // an incomplete exponent is not part of the number
    EXPECT_EQ(f, 7.0f);
    EXPECT_EQ(parse("1e50", f), 4u);
    EXPECT_TRUE(std::isinf(f) && f > 0);
    EXPECT_EQ(parse("-1e999999", f), 9u);
    EXPECT_TRUE(std::isinf(f) && f < 0);
    EXPECT_EQ(parse("1e-50", f), 5u);
    EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(parse("nan,", f), 3u);
    EXPECT_TRUE(std::isnan(f));
    EXPECT_EQ(parse("+-1", f), 0u);
    EXPECT_EQ(parse(".", f), 0u);
    EXPECT_EQ(parse("x", f), 0u);
}

}  // namespace
