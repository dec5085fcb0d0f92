// What live tells the displays: NMEA 0183 sentences with their checksums and fields, and
// Signal K deltas in SI units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live/nmea_output.h"
#include "live/signalk_delta.h"
#include "logs/nmea_sentence.h"

namespace {

// A beat on port tack in 10 kn of wind: every value known.
Performance PortBeat() {
    Performance p;
    p.dWindSpeed = 10;
    p.dWindAngle = -42;
    p.dBoatSpeed = 5.5;
    p.dVmg = 4.0;
    p.bUpwind = true;
    p.heading = 300;
    p.polarSpeed = 6.25;
    p.polarRatio = 0.88;
    p.targets = VmgTargets{40, 6.0, 150, 6.5};
    p.targetAngle = 40;
    p.targetSpeed = 6.0;
    p.targetVmgRatio = 0.87;
    p.otherTackHeading = 338;
    return p;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t nStart = 0;
    for (std::size_t n = text.find("\r\n"); n != std::string::npos; n = text.find("\r\n", nStart)) {
        lines.push_back(text.substr(nStart, n - nStart));
        nStart = n + 2;
    }
    EXPECT_EQ(nStart, text.size()) << "every sentence ends in CR LF";
    return lines;
}

TEST(LiveSentences, EachSentenceHasItsChecksumAndFields) {
    const std::vector<std::string> lines = Lines(PerformanceSentences(PortBeat()));
    const std::vector<std::string> expected = {
        "$IIVPW,4.00,N,2.06,M",
        "$PNKEP,01,6.00,N,11.11,K",
        "$PNKEP,02,338.0",
        "$PNKEP,03,320.0,87.0,88.0",
        "$IIXDR,G,6.25,N,PolarSpeed,G,88.0,P,PolarRatio",
        "$IIXDR,A,40.0,D,TargetAngle,G,6.00,N,TargetSpeed",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, lines[i].find('*')), expected[i]);
        NmeaFields fields;
        EXPECT_TRUE(SplitNmeaSentence(lines[i], fields)) << lines[i];
        EXPECT_TRUE(fields.HasChecksum()) << lines[i];
        EXPECT_LE(lines[i].size() + 2, 82u) << "NMEA 0183's longest sentence";
    }
}

TEST(LiveSentences, WhatIsNotKnownOrTooLongIsLeftOutAndDownwindVmgIsNegative) {
    Performance p;
    p.dVmg = -3.5;
    std::vector<std::string> lines = Lines(PerformanceSentences(p));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], NmeaSentence("IIVPW,-3.50,N,-1.80,M"));

    // A garbled boat speed within a float's range: no sentence longer than 82 characters.
    Performance garbled = PortBeat();
    garbled.dVmg = 7e37;
    garbled.polarRatio = 1e36;
    lines = Lines(PerformanceSentences(garbled));
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) {
        EXPECT_LE(line.size() + 2, 82u) << line;
        EXPECT_EQ(line.find("VPW"), std::string::npos) << line;
        EXPECT_EQ(line.find("PolarRatio"), std::string::npos) << line;
    }
}

TEST(LiveSignalK, TheDeltaHoldsThePerformancePathsInSiUnits) {
    EXPECT_EQ(SignalKDelta(PortBeat(), "2026-06-01T12:00:00.000Z"),
              "{\"context\":\"vessels.self\",\"updates\":[{\"source\":{\"label\":\"polarctl\"},"
              "\"timestamp\":\"2026-06-01T12:00:00.000Z\",\"values\":["
              "{\"path\":\"performance.velocityMadeGood\",\"value\":2.0578},"
              "{\"path\":\"performance.polarSpeed\",\"value\":3.2153},"
              "{\"path\":\"performance.polarSpeedRatio\",\"value\":0.8800},"
              "{\"path\":\"performance.targetAngle\",\"value\":0.6981},"
              "{\"path\":\"performance.targetSpeed\",\"value\":3.0867},"
              "{\"path\":\"performance.beatAngle\",\"value\":0.6981},"
              "{\"path\":\"performance.gybeAngle\",\"value\":2.6180}]}]}");
    Performance unknown;
    unknown.dVmg = 1;
    EXPECT_EQ(SignalKDelta(unknown, ""),
              "{\"context\":\"vessels.self\",\"updates\":[{\"source\":{\"label\":\"polarctl\"},"
              "\"values\":[{\"path\":\"performance.velocityMadeGood\",\"value\":0.5144}]}]}");
}

}  // namespace
