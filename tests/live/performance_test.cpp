// Live performance: the same percentage as compare for every sample it keeps, the targets
// between wind speeds, the other tack, and input that is not what it should be.
#include "live/performance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "exchange/exchange.h"
#include "live/live_reader.h"
#include "live/vmg_targets.h"
#include "logs/logs.h"
#include "logs/sample_stages.h"
#include "tests/support/polar_builders.h"
#include "tests/support/sailed_log.h"

namespace {

std::vector<Performance> ReadLive(const PerformanceCalculator& calculator, std::string_view text,
                                  std::size_t nChunk, LogCounts* pCounts = nullptr) {
    std::vector<Performance> result;
    LiveReader reader([&](const Performance& p) { result.push_back(p); });
    reader.SetCalculator(&calculator);
    for (std::size_t n = 0; n < text.size(); n += nChunk) {
        reader.Bytes(text.substr(n, nChunk));
    }
    reader.EndOfChunk();
    if (pCounts != nullptr) {
        *pCounts = reader.Counts();
    }
    return result;
}

TEST(LivePerformance, EverySampleCompareKeepsHasComparesPercentage) {
    SAILPLAN plan = KnownPolar();
    SortSailPlan(plan);
    LogShape shape;
    shape.nLegs = 60;
    shape.bGround = true;
    shape.bBothTacks = true;
    const std::string log = GeneratedLog(plan, shape);

    // What compare computes for each sample its stages keep, by the sample's time.
    std::map<double, double> comparePercent;
    const LearnOptions options;  // the stages keep a reference
    SampleStages stages(options, [&](const LogSample& s, int) {
        const auto speed = SpeedBetweenWindSpeeds(plan, s.fWindSpeed, s.fWindAngle);
        if (speed && *speed > 0) {
            comparePercent[s.dTime] = 100.0 * s.fBoatSpeed / *speed;
        }
    });
    LogCounts counts;
    ReadLogText(log, counts, [&](const LogSample& s) { stages.Add(s); });
    stages.Finish();
    ASSERT_GT(comparePercent.size(), 1000u);

    const PerformanceCalculator calculator(plan);
    // Odd chunks: lines arrive cut anywhere, as from a socket.
    std::map<double, double> livePercent;
    for (const Performance& p : ReadLive(calculator, log, 37)) {
        if (p.polarRatio) {
            livePercent[p.dTime] = 100.0 * *p.polarRatio;
        }
    }
    std::size_t nMatched = 0;
    for (const auto& [dTime, dPercent] : comparePercent) {
        const auto it = livePercent.find(dTime);
        ASSERT_NE(it, livePercent.end()) << "no live value at " << dTime;
        EXPECT_NEAR(it->second, dPercent, 0.1) << "at " << dTime;
        ++nMatched;
    }
    EXPECT_EQ(nMatched, comparePercent.size());
}

TEST(LivePerformance, TargetsAreEachPolarsBestVmgAndLinearBetweenWindSpeeds) {
    SAILPLAN plan = KnownPolar();
    const VmgTargetTable table(plan);
    const BestVmg at6 = *FindBestVmg(*plan.m_aPolars[0]);
    const BestVmg at10 = *FindBestVmg(*plan.m_aPolars[1]);
    const auto targets6 = table.At(6);
    ASSERT_TRUE(targets6);
    EXPECT_NEAR(targets6->dBeatAngle, at6.fUpwindAngle, 1e-4);
    EXPECT_NEAR(targets6->BeatVmg(), at6.fUpwindVmg, 1e-4);
    EXPECT_NEAR(targets6->dRunAngle, at6.fDownwindAngle, 1e-4);
    EXPECT_NEAR(targets6->RunVmg(), at6.fDownwindVmg, 1e-4);
    // The beat's speed is the curve's at the beat angle.
    EXPECT_NEAR(targets6->dBeatSpeed,
                *SpeedOnCurve(*plan.m_aPolars[0], static_cast<float>(targets6->dBeatAngle)), 1e-3);

    const auto targets7 = table.At(7);  // a quarter of the way from 6 to 10
    ASSERT_TRUE(targets7);
    EXPECT_NEAR(targets7->dBeatAngle, 0.75 * at6.fUpwindAngle + 0.25 * at10.fUpwindAngle, 1e-4);
    EXPECT_NEAR(targets7->dRunAngle, 0.75 * at6.fDownwindAngle + 0.25 * at10.fDownwindAngle, 1e-4);

    // Held at the table's edges, as the polar speed is.
    EXPECT_NEAR(table.At(3)->dBeatAngle, targets6->dBeatAngle, 1e-9);
    EXPECT_NEAR(table.At(25)->dRunSpeed, table.At(14)->dRunSpeed, 1e-9);
    EXPECT_FALSE(table.At(std::nan("")));
    EXPECT_FALSE(VmgTargetTable(SAILPLAN("empty")).At(10));
}

TEST(LivePerformance, OutsideThePolarOneRuleAndEveryUpdateHasPolarSpeedRatioAndTargets) {
    SAILPLAN plan = KnownPolar();
    const PerformanceCalculator calculator(plan);
    struct Case {
        float fWind, fAngle, fPolarSpeed;
        const char* pszWhere;
    };
    const Case cases[] = {
        {3, 90, 5.8f, "below the lowest wind speed: the 6 kn polar"},
        {20, 120, 7.8f, "above the highest: the 14 kn polar"},
        {10, 20, 2.8f, "below the lowest angle: half of 40 degrees' 5.6 kn"},
        {10, 0, 0.0f, "head to wind: nothing"},
        {4, 30, 3.0f, "both at once: three quarters of 4.0 kn"},
        {8, 60, 5.85f, "inside: between the polars"},
    };
    for (const Case& c : cases) {
        const Performance p = calculator.Compute({0, c.fWind, c.fAngle, 2.0f}, {});
        ASSERT_TRUE(p.polarSpeed) << c.pszWhere;
        EXPECT_NEAR(*p.polarSpeed, c.fPolarSpeed, 1e-5) << c.pszWhere;
        ASSERT_TRUE(p.targets) << c.pszWhere;
        ASSERT_TRUE(p.targetVmgRatio) << c.pszWhere;
        EXPECT_EQ(p.polarRatio.has_value(), c.fPolarSpeed > 0) << c.pszWhere;
    }
    // Inside the table the rule is compare's lookup itself.
    for (float fAngle = 40; fAngle <= 180; fAngle += 7) {
        EXPECT_EQ(SpeedWithEdges(plan, 11.3f, fAngle), SpeedBetweenWindSpeeds(plan, 11.3f, fAngle));
    }
}

TEST(LivePerformance, AtTheTargetsTheVmgIsAllOfTheTargetAndTheOtherTackMirrorsTheWind) {
    SAILPLAN plan = KnownPolar();
    const PerformanceCalculator calculator(plan);
    const VmgTargets targets = *VmgTargetTable(plan).At(10);

    // Beating on starboard (wind from the right) at the target, heading 100: the wind from
    // 100 + beat angle; the other tack heads the beat angle beyond it.
    LogSample beat{0, 10.0f, static_cast<float>(targets.dBeatAngle),
                   static_cast<float>(targets.dBeatSpeed)};
    Performance p = calculator.Compute(beat, {100.0, std::nullopt});
    EXPECT_TRUE(p.bUpwind);
    EXPECT_NEAR(*p.targetAngle, targets.dBeatAngle, 1e-4);
    EXPECT_NEAR(*p.targetVmgRatio, 1.0, 1e-5);
    EXPECT_NEAR(p.dVmg, targets.BeatVmg(), 1e-4);
    EXPECT_NEAR(*p.otherTack.trueHeading, 100.0 + 2 * targets.dBeatAngle, 1e-3);
    EXPECT_FALSE(p.otherTack.magnetic);

    // Running on port (wind from the left), heading 10: the wind from 10 - run angle.
    LogSample run{0, 10.0f, static_cast<float>(targets.dRunAngle),
                  static_cast<float>(targets.dRunSpeed / 2), true};
    p = calculator.Compute(run, {std::nullopt, 10.0});
    EXPECT_FALSE(p.bUpwind);
    EXPECT_LT(p.dWindAngle, 0);
    EXPECT_LT(p.dVmg, 0);
    EXPECT_NEAR(*p.targetVmgRatio, 0.5, 1e-5);
    EXPECT_NEAR(*p.otherTack.magnetic, std::fmod(10.0 - 2 * targets.dRunAngle + 720.0, 360.0),
                1e-3);

    // Without a heading there is no other tack.
    p = calculator.Compute({0, 12.0f, 50.0f, 6.0f}, {});
    EXPECT_FALSE(p.otherTack.trueHeading);
    EXPECT_FALSE(p.otherTack.magnetic);
}

TEST(LiveReader, TheWindReadingDrivesTheUpdatesOtherReadingsOnlyTheState) {
    SAILPLAN plan = KnownPolar();
    const PerformanceCalculator calculator(plan);
    // A 1 Hz bus: time, ground speed, water speed, true wind as MWV and as MWD, each second.
    std::string text;
    for (const char* pszSecond : {"00", "01", "02"}) {
        text += NmeaSentence(std::string("GPZDA,1200") + pszSecond + ".00,01,06,2026,00,00") + "\n";
        text += NmeaSentence("GPRMC,120000.00,A,5000.00,N,00100.00,W,3.70,0.0,010626,,") + "\n";
        text += NmeaSentence("IIVHW,,T,,M,3.60,N,,K") + "\n";
        text += NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\n";
        text += NmeaSentence("IIMWD,,T,,M,10.00,N,,M") + "\n";
    }
    text += NmeaSentence("IIVHW,,T,,M,7.20,N,,K") + "\n";  // the state only: no update of its own
    std::vector<Performance> all = ReadLive(calculator, text, text.size());
    ASSERT_EQ(all.size(), 3u);  // one per second, made by the first wind sentence seen
    EXPECT_NEAR(*all[0].polarRatio, 0.5, 1e-6);

    text += NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\n";  // the next cycle takes the new speed
    all = ReadLive(calculator, text, text.size());
    ASSERT_EQ(all.size(), 4u);
    EXPECT_NEAR(*all.back().polarRatio, 1.0, 1e-6);
}

TEST(LiveReader, ReadingsNoSailingBoatGivesAreBadLinesAndReachNoUpdate) {
    SAILPLAN plan = KnownPolar();
    const PerformanceCalculator calculator(plan);
    const std::string text = NmeaSentence("IIVHW,,T,,M,3.60,N,,K") + "\n" +
                             NmeaSentence("IIVHW,,T,,M,99999,N,,K") + "\n" +  // above 60 kn
                             NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\n" +
                             NmeaSentence("IIMWV,90.0,T,95.00,N,A") + "\n" +  // above 80 kn
                             NmeaSentence("IIVHW,,T,,M,40.00,N,,K") + "\n" +
                             NmeaSentence("IIMWV,90.0,T,10.00,N,A") + "\n";  // 40 > 3 x 10 + 5
    LogCounts counts;
    const std::vector<Performance> all = ReadLive(calculator, text, 7, &counts);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_NEAR(all[0].dBoatSpeed, 3.6, 1e-6) << "the garbled speed never became the boat's";
    EXPECT_EQ(counts.nBadLines, 3u);
}

TEST(LiveReader, TheRateCapsTheUpdatesAndTheDampingAveragesTheReadings) {
    SAILPLAN plan = KnownPolar();
    const PerformanceCalculator calculator(plan);
    double dClock = 0;
    std::vector<Performance> all;
    const auto reader = [&](LiveOptions options) {
        all.clear();
        dClock = 0;
        auto pReader =
            std::make_unique<LiveReader>([&](const Performance& p) { all.push_back(p); }, options);
        pReader->SetCalculator(&calculator);
        pReader->SetClock([&] { return dClock; });
        return pReader;
    };
    const auto cycle = [](LiveReader& r, const char* pszSpeed, const char* pszAngle) {
        r.Bytes(NmeaSentence(std::string("IIVHW,,T,,M,") + pszSpeed + ",N,,K") + "\n" +
                NmeaSentence(std::string("IIMWV,") + pszAngle + ",T,10.00,N,A") + "\n");
    };

    // Eight wind readings a second for two seconds, at most two updates a second.
    auto pCapped = reader({2.0, 0.0});
    for (int i = 0; i < 16; ++i) {
        dClock = i * 0.125;
        cycle(*pCapped, "3.60", "90.0");
    }
    ASSERT_EQ(all.size(), 4u);

    // A step from 4 to 6 kn, a reading a second, 2 s damping: 1 - exp(-1/2) of the way.
    auto pDamped = reader({0.0, 2.0});
    cycle(*pDamped, "4.00", "90.0");
    dClock = 1;
    cycle(*pDamped, "6.00", "90.0");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_NEAR(all[1].dBoatSpeed, 4.0 + 2.0 * (1.0 - std::exp(-0.5)), 1e-5);
    // The wind angle is damped as a direction: from 170 to starboard to 170 to port it passes
    // dead downwind, not head to wind.
    dClock = 2;
    cycle(*pDamped, "6.00", "170.0");
    dClock = 3;
    cycle(*pDamped, "6.00", "190.0");
    EXPECT_GT(std::fabs(all.back().dWindAngle), 150.0);
}

TEST(LiveReader, BytesOfAnyKindAreCountedAndSkippedAndLaterSentencesStillRead) {
    SAILPLAN plan = KnownPolar();
    const PerformanceCalculator calculator(plan);
    std::string text;
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        text += static_cast<char>(random() % 256);
    }
    text += "\n" + std::string(5 * LiveReader::kMaxLine, '$') + "\n";     // one overlong line
    text += NmeaSentence("IIMWV,45.0,T,10.00,N,A").substr(0, 12) + "\n";  // cut
    text += "$IIMWV,45.0,T,10.00,N,A*00\n";                               // wrong checksum
    text += NmeaSentence("IIVHW,,T,,M,5.60,N,,K") + "\n";
    text += NmeaSentence("IIMWV,40.0,T,10.00,N,A") + "\n";
    LogCounts counts;
    const std::vector<Performance> all = ReadLive(calculator, text, 4096, &counts);
    ASSERT_FALSE(all.empty());
    EXPECT_NEAR(*all.back().polarRatio, 1.0, 1e-6);  // 5.6 kn at 40 degrees in 10 kn
    EXPECT_GE(counts.nBadLines, 3u);
    EXPECT_EQ(counts.nLines, counts.nBadLines + counts.nOtherSentences + counts.nEmptySentences +
                                 2u);  // every line counted once; two read
}

}  // namespace
