// What live tells the displays: NMEA 0183 sentences with their checksums, fields in their
// documented ranges and units, and Signal K deltas in SI units with its sign of wind angles.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "live/fixed_text.h"
#include "live/live_encodings.h"
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
    p.heading = {300.0, 302.0};
    p.polarSpeed = 6.25;
    p.polarRatio = 0.88;
    p.targets = VmgTargets{40, 6.0, 150, 6.5};
    p.targetAngle = 40;
    p.targetSpeed = 6.0;
    p.targetVmgRatio = 0.87;
    p.otherTack = {338.0, 340.0};
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

std::vector<std::string> Bodies(const Performance& p) {
    const std::optional<std::string> text = PerformanceSentences(p);
    EXPECT_TRUE(text);
    std::vector<std::string> bodies;
    for (const std::string& line : Lines(text.value_or(""))) {
        NmeaFields fields;
        EXPECT_TRUE(SplitNmeaSentence(line, fields)) << line;
        EXPECT_TRUE(fields.HasChecksum()) << line;
        EXPECT_LE(line.size() + 2, 82u) << "NMEA 0183's longest sentence";
        bodies.push_back(line.substr(0, line.find('*')));
    }
    return bodies;
}

TEST(LiveSentences, EachSentenceFollowsItsDocumentedLayout) {
    const std::vector<std::string> expected = {
        "$IIVPW,4.00,N,2.06,M",
        "$PNKEP,01,6.00,N,11.11,K",
        "$PNKEP,02,340.0",        // the magnetic heading, as the layout's readers take it
        "$PNKEP,03,320.0,87.0,",  // 40 off the wind to port; upwind performance
        "$IIXDR,G,6.25,,PolarSpeed,G,88.0,,PolarRatio",      // generic: no unit
        "$IIXDR,A,-40.0,D,TargetAngle,G,6.00,,TargetSpeed",  // signed, port negative
    };
    EXPECT_EQ(Bodies(PortBeat()), expected);
}

TEST(LiveSentences, FieldsStayInTheirRanges) {
    // A heading that rounds to 360.0 is 0.0; a run's performance goes in the downwind field,
    // bounded to 0 to 99; no magnetic heading, no PNKEP,02.
    Performance run = PortBeat();
    run.dWindAngle = 150;
    run.bUpwind = false;
    run.targetAngle = 150;
    run.targetVmgRatio = 1.25;
    run.otherTack = {359.96, 359.96};
    std::vector<std::string> bodies = Bodies(run);
    EXPECT_EQ(bodies[2], "$PNKEP,02,0.0");
    EXPECT_EQ(bodies[3], "$PNKEP,03,150.0,,99.0");
    run.otherTack.magnetic.reset();
    bodies = Bodies(run);
    EXPECT_EQ(bodies[2].rfind("$PNKEP,03", 0), 0u);

    Performance bare;
    bare.dVmg = -3.5;
    EXPECT_EQ(PerformanceSentences(bare), NmeaSentence("IIVPW,-3.50,N,-1.80,M") + "\r\n");
}

TEST(LiveSentences, NumbersAreRoundedToTheirDecimalsWithoutANegativeZero) {
    const auto fixed = [](double d, int nDecimals) {
        std::string str;
        AppendFixed(str, d, nDecimals);
        return str;
    };
    EXPECT_EQ(fixed(-0.004, 2), "0.00");
    EXPECT_EQ(fixed(-0.006, 2), "-0.01");
    EXPECT_EQ(fixed(2.0578125, 4), "2.0578");
    EXPECT_EQ(fixed(359.96, 1), "360.0");  // a plain number; a bearing wraps (below)
    EXPECT_EQ(fixed(1e13, 2), "10000000000000.00");
    EXPECT_EQ(fixed(std::nan(""), 2), "");
    std::string bearing;
    AppendBearing(bearing, -0.04);
    EXPECT_EQ(bearing, "0.0");
}

TEST(LiveSentences, AnUpdateThatCannotBeToldWholeIsNotToldAtAll) {
    Performance garbled = PortBeat();  // a polar file's value far beyond any boat's
    garbled.polarSpeed = 1e36;
    EXPECT_FALSE(PerformanceSentences(garbled));
    const LiveEncoding* pNmea = EncodingByName("nmea");
    ASSERT_NE(pNmea, nullptr);
    EXPECT_FALSE(pNmea->encode(garbled, {}));
    EXPECT_EQ(pNmea->encode(PortBeat(), {}), PerformanceSentences(PortBeat()));
}

TEST(LiveSignalK, TheDeltaHoldsThePerformanceGroupInSiUnitsWithPortNegative) {
    EXPECT_EQ(SignalKDelta(PortBeat(), "2026-06-01T12:00:00.000Z"),
              "{\"context\":\"vessels.self\",\"updates\":[{\"source\":{\"label\":\"polarctl\"},"
              "\"timestamp\":\"2026-06-01T12:00:00.000Z\",\"values\":["
              "{\"path\":\"performance.velocityMadeGood\",\"value\":2.0578},"
              "{\"path\":\"performance.polarSpeed\",\"value\":3.2153},"
              "{\"path\":\"performance.polarSpeedRatio\",\"value\":0.8800},"
              "{\"path\":\"performance.targetAngle\",\"value\":-0.6981},"
              "{\"path\":\"performance.targetSpeed\",\"value\":3.0867},"
              "{\"path\":\"performance.targetVelocityMadeGoodRatio\",\"value\":0.8700},"
              "{\"path\":\"performance.beatAngle\",\"value\":-0.6981},"
              "{\"path\":\"performance.beatAngleTargetSpeed\",\"value\":3.0867},"
              "{\"path\":\"performance.beatAngleVelocityMadeGood\",\"value\":2.3645},"
              "{\"path\":\"performance.gybeAngle\",\"value\":-2.6180},"
              "{\"path\":\"performance.gybeAngleTargetSpeed\",\"value\":3.3439},"
              "{\"path\":\"performance.gybeAngleVelocityMadeGood\",\"value\":-2.8959},"
              "{\"path\":\"performance.tackTrue\",\"value\":5.8992},"
              "{\"path\":\"performance.tackMagnetic\",\"value\":5.9341}]}]}");
    Performance unknown;
    unknown.dVmg = 1;
    EXPECT_EQ(SignalKDelta(unknown, ""),
              "{\"context\":\"vessels.self\",\"updates\":[{\"source\":{\"label\":\"polarctl\"},"
              "\"values\":[{\"path\":\"performance.velocityMadeGood\",\"value\":0.5144}]}]}");
    // Starboard: the same angles positive.
    Performance starboard = PortBeat();
    starboard.dWindAngle = 42;
    EXPECT_NE(SignalKDelta(starboard, "").find("\"performance.targetAngle\",\"value\":0.6981}"),
              std::string::npos);
}

}  // namespace
