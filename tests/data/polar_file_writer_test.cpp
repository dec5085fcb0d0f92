#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale>
#include <random>

#include "data/number_text.h"
#include "data/polar_file.h"
#include "tests/support/polar_builders.h"

namespace {

TEST(PolarFileWriter, WritesTheDocumentedExampleByteForByte) {
    EXPECT_EQ(FormatPolarFile(ExampleSailPlans()), kExampleFileText);
}

TEST(PolarFileWriter, SmallestFileAndPolarWithoutPoints) {
    SailPlanArray plans;
    SAILPLAN& plan = AddSailPlan(plans, "  Genoa");  // leading spaces are part of the name
    AddPolar(plan, 8.0f, 42.0f, {});
    EXPECT_EQ(FormatPolarFile(plans), "  Genoa,\r\n8.00,42.00,\r\n-2");

    AddPolar(plan, 5.456f, 40.0f, {{90.0f, 5.456f}});
    EXPECT_EQ(FormatPolarFile(plans),
              "  Genoa,\r\n8.00,42.00,\r\n-1\r\n5.46,40.00,\r\n90.00,5.46,-2");
}

TEST(PolarFileWriter, SailPlansWithoutPolarsAreLeftOut) {
    SailPlanArray plans = ExampleSailPlans();
    plans.insert(plans.begin(), std::make_unique<SAILPLAN>("Empty first"));
    AddSailPlan(plans, "Empty last");
    // "Light" is then the last one written and ends the file without a line end.
    EXPECT_EQ(FormatPolarFile(plans), kExampleFileText);

    SailPlanArray onlyEmpty;
    AddSailPlan(onlyEmpty, "Nothing");
    EXPECT_EQ(FormatPolarFile(onlyEmpty), "");
}

TEST(PolarFileWriter, NameIsWrittenUpToItsFirstComma) {
    SailPlanArray plans;
    AddPolar(AddSailPlan(plans, "Main, reefed"), 6.0f, 45.0f, {});
    EXPECT_EQ(FormatPolarFile(plans), "Main,\r\n6.00,45.00,\r\n-2");
}

// The two-decimal text must be what printf "%0.2f" gives for the float widened to double,
// ties, huge values, infinities and NaN included.
TEST(PolarFileWriter, FixedTwoDecimalsMatchPrintfForManyValues) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 0.005f,
                                 0.015f,
                                 0.125f,
                                 2.675f,
                                 1e-30f,
                                 -1e-3f,
                                 5.456f,
                                 179.99f,
                                 1e10f,
                                 3.4e38f,
                                 -3.4e38f,
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::numeric_limits<float>::quiet_NaN(),
                                 -std::numeric_limits<float>::quiet_NaN()};
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t u = bits(rng);
        float f;
        std::memcpy(&f, &u, sizeof f);
        values.push_back(f);
        values.push_back(static_cast<float>(i) / 8.0f);  // exact binary ties at the third decimal
    }
    for (float f : values) {
        char expected[128];
        std::snprintf(expected, sizeof expected, "%0.2f", static_cast<double>(f));
        ASSERT_EQ(FormatFixed2(f), expected) << "bits of the value differ";
    }
}

TEST(PolarFileWriter, TextDoesNotDependOnTheLocale) {
    const std::string strBefore = FormatPolarFile(ExampleSailPlans());
    const char* pszGerman = std::setlocale(LC_ALL, "de_DE.UTF-8");
    ASSERT_NE(pszGerman, nullptr)
        << "the de_DE.UTF-8 locale is missing: run scripts/install-deps.sh";
    std::locale::global(std::locale("de_DE.UTF-8"));
    char probe[32];
    std::snprintf(probe, sizeof probe, "%0.2f", 1.5);
    EXPECT_STREQ(probe, "1,50");  // the locale really is in force
    EXPECT_EQ(FormatPolarFile(ExampleSailPlans()), strBefore);
    const PolarFileContents contents = ParsePolarFile(kExampleFileText);
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ASSERT_EQ(contents.aSailPlans.size(), 2u);
    EXPECT_EQ(contents.aSailPlans[0]->m_aPolars[0]->m_aVectors[2]->m_fSpeed, 5.4f);
    EXPECT_FALSE(contents.stop);
}

}  // namespace
