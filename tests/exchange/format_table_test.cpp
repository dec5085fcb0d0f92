// The table of formats: names, extensions without regard to case, guesses that never overlap,
// and each format's own output recognised as that format and read back.
#include "exchange/format_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange.h"
#include "tests/support/exchange_samples.h"
#include "tests/support/polar_builders.h"

namespace {

// Three wind speeds and angles enough between the best upwind and downwind angles, as the chart
// plotter's table and the race targets need.
SAILPLAN ThreePolars() {
    SAILPLAN plan("Main");
    AddPolar(plan, 6, 45,
             {{40, 4.1f}, {52, 5.12f}, {90, 6}, {120, 5.6f}, {150, 4.4f}, {180, 3.4f}});
    AddPolar(plan, 12, 40,
             {{40, 6.2f}, {52, 6.93f}, {90, 7.5f}, {120, 7.4f}, {150, 6.6f}, {180, 6.1f}});
    AddPolar(plan, 20, 40,
             {{40, 6.9f}, {52, 7.4f}, {90, 8.1f}, {120, 8.6f}, {150, 8.5f}, {180, 8.2f}});
    return plan;
}

bool HasPoint(const SAILPLAN& plan, float fWindSpeed, float fAngle, float fSpeed) {
    for (const auto& pPolar : plan.m_aPolars) {
        for (const auto& pVector : pPolar->m_aVectors) {
            if (pPolar->m_fWindSpeed == fWindSpeed && pVector->m_fAngle == fAngle &&
                pVector->m_fSpeed == fSpeed) {
                return true;
            }
        }
    }
    return false;
}

// How many formats claim the text by its content.
int Claims(std::string_view text) {
    int n = 0;
    for (const ExchangeFormat& format : ExchangeFormats()) {
        n += format.looksLike(text) ? 1 : 0;
    }
    return n;
}

TEST(FormatTable, NamesAndExtensionsFindTheirFormat) {
    for (const ExchangeFormat& format : ExchangeFormats()) {
        EXPECT_EQ(FormatByName(format.name), &format);
        for (const std::string_view extension : format.extensions) {
            EXPECT_EQ(FormatByExtension("boat" + std::string(extension)), &format) << extension;
        }
    }
    EXPECT_EQ(FormatByName("JSON"), nullptr);
    EXPECT_EQ(FormatByName("csv"), nullptr);
    // Extensions in any case; a dot in a folder's name is no extension.
    EXPECT_EQ(FormatByExtension("x.JSON")->name, "json");
    EXPECT_EQ(FormatByExtension("folder/Boat.Json")->name, "json");
    EXPECT_EQ(FormatByExtension("BOAT.CSV")->name, "grid");
    EXPECT_EQ(FormatByExtension("boat.Pol")->name, "grid");
    EXPECT_EQ(FormatByExtension("boat.TXT")->name, "grid");
    EXPECT_EQ(FormatByExtension("boat.json.gz"), nullptr);
    EXPECT_EQ(FormatByExtension("my.json/boat"), nullptr);
    EXPECT_EQ(FormatByExtension("-"), nullptr);
    EXPECT_EQ(FormatNames("|", "|"),
              "grid|lines|json|rating-csv|signalk|plotter-csv|targets|hrosailing");
    EXPECT_EQ(FormatNames(", ", " or "),
              "grid, lines, json, rating-csv, signalk, plotter-csv, targets or hrosailing");
    EXPECT_EQ(FormatExtensions(", ", " or "), ".pol, .csv, .txt, .plr, .json or .nxp");
    // Garmin's plotters take the line layout as ".plr"; the race instruments' targets ".nxp".
    EXPECT_EQ(FormatByExtension("boat.PLR")->name, "lines");
    EXPECT_EQ(FormatByExtension("boat.nxp")->name, "targets");
}

TEST(FormatTable, EveryFormatKnowsItsOwnOutputAndReadsItBack) {
    const SAILPLAN plan = ThreePolars();
    for (const ExchangeFormat& format : ExchangeFormats()) {
        for (const char* pszPath : {"out.csv", "out.pol", "-"}) {
            const std::string text = format.write(plan, pszPath);
            EXPECT_EQ(Claims(text), 1) << format.name << " to " << pszPath;
            EXPECT_EQ(GuessedName(text, "no extension"), format.name) << pszPath;
            const ImportResult again = format.read(text, "x");
            ASSERT_FALSE(again.error) << format.name << ": " << again.error->strMessage;
            // Every point comes back (rating data adds its beat and run between them); the race
            // targets hold only angles between the beat and the run, and say what they leave out.
            if (format.name == "targets") {
                EXPECT_FALSE(ExportNotes(format, {&plan}, text).empty());
                continue;
            }
            for (const auto& pPolar : plan.m_aPolars) {
                for (const auto& pVector : pPolar->m_aVectors) {
                    EXPECT_TRUE(HasPoint(*again.pSailPlan, pPolar->m_fWindSpeed, pVector->m_fAngle,
                                         pVector->m_fSpeed))
                        << format.name << ": " << pPolar->m_fWindSpeed << " kn, "
                        << pVector->m_fAngle;
                }
            }
        }
    }
    // A grid is separated by ';' for a ".csv" file, in any case, and by tabs otherwise.
    const ExchangeFormat& grid = *FormatByName("grid");
    EXPECT_EQ(grid.write(plan, "OUT.CSV").substr(0, 16), "TWA\\TWS;6;12;20\n");
    EXPECT_EQ(grid.write(plan, "-").substr(0, 16), "TWA\\TWS\t6\t12\t20\n");
}

TEST(FormatTable, ContentFirstThenExtensionAndNoTextOfTwoFormats) {
    const std::vector<std::string> texts = {
        kSailGrid,
        "My boat\nTWA\\TWS\t6\n52\t5\n",  // a title before the header
        "2024 polars\nTWA;6\n52;5\n",     // a title that starts with a digit
        "; comment\n6\t40\t4.5\n",
        "POL file\n6 40 4.5\n",
        "{\"vpp\": {}}",
        "\xEF\xBB\xBF{\"vpp\": {}}",  // a byte order mark hides the brace
        "",
        "angle speed\n",
    };
    for (const std::string& text : texts) {
        EXPECT_LE(Claims(text), 1) << text;
    }
    EXPECT_EQ(GuessedName(texts[1], "x"), "grid");
    EXPECT_EQ(GuessedName(texts[2], "x"), "grid");
    EXPECT_EQ(GuessedName(texts[3], "x"), "lines");
    EXPECT_EQ(GuessedName(texts[4], "x"), "lines");
    // The content wins over the extension; the extension decides where the content does not.
    EXPECT_EQ(GuessedName(texts[1], "boat.json"), "grid");
    EXPECT_EQ(GuessedName(texts[6], "BOAT.JSON"), "json");
    EXPECT_EQ(GuessedName(texts[6], "boat"), "none");
    EXPECT_EQ(GuessedName(texts[8], "boat.csv"), "grid");
}

}  // namespace
