#include <QApplication>
#include <QTest>

#include "tests/support/diagram_fixture.h"

namespace {

class Interaction : public DiagramFixture {
  protected:
    void Press(QPoint p) { GuiDriver::Press(GraphWidget(), p); }
    void Release(QPoint p) { GuiDriver::Release(GraphWidget(), p); }
    void Drag(QPoint p) { GuiDriver::Move(GraphWidget(), p, true); }
    std::string Caption() { return Host().GetWindowText(); }
};

// With R = 200 in a 600 x 400 window one logical unit is one pixel, so edges can be hit exactly.
TEST_F(Interaction, PressesHitLowerEdgesAndMissUpperOnes) {
    AddPolar(m_plan, 10, 0, {{40, 1.5f}, {90, 1.0f}});
    Host().Show(&m_plan, 0, true, false);
    ASSERT_EQ(Device({100, 0}), QPoint(220, 200));
    const CRect square = Host().Graph().PointRects()[1];  // (95, -5, 105, 5)
    ASSERT_EQ(square, (CRect{95, -5, 105, 5}));
    Press(QPoint(120 + 104, 200 - 4));  // inside, near the upper corner
    Release(QPoint(120 + 104, 200 - 4));
    EXPECT_EQ(Host().Graph().GetSelected(), 1);
    EXPECT_EQ(Host().List().GetNextItem(-1, LVNI_SELECTED), 1);

    Host().List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    Press(QPoint(120 + 105, 200));  // right edge: no hit
    EXPECT_EQ(Host().Graph().GetSelected(), 0);
    Press(QPoint(120 + 100, 200 - 5));  // top edge (y = 5 logical): no hit
    EXPECT_EQ(Host().Graph().GetSelected(), 0);
    Press(QPoint(120 + 95, 200 + 5));  // left and bottom edges: a hit
    EXPECT_EQ(Host().Graph().GetSelected(), 1);
}

TEST_F(Interaction, OverlappingSquaresSelectTheLowerIndex) {
    AddPolar(m_plan, 10, 0, {{88, 1.0f}, {92, 1.0f}});
    Host().Show(&m_plan, 0, true, false);
    Host().List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    Press(Device(PolarToPoint(90, 1.0f)));
    EXPECT_EQ(Host().Graph().GetSelected(), 0);
}

TEST_F(Interaction, DraggingMovesThePointWithoutResorting) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 0, {{0, 6}, {40, 7}, {60, 7.5f}, {90, 8}});
    Host().Show(&m_plan, 0, true, false);
    const QPoint start = Device(PolarToPoint(40, 7));
    const QPoint target = Device(PolarToPoint(70, 7));
    Press(start);
    Drag(QPoint((start.x() + target.x()) / 2, (start.y() + target.y()) / 2));
    Drag(target);
    EXPECT_NEAR(polar.m_aVectors[1]->m_fAngle, 70, 1.5);
    EXPECT_EQ(polar.m_aVectors[0]->m_fAngle, 0);
    EXPECT_EQ(polar.m_aVectors[2]->m_fAngle, 60);
    EXPECT_EQ(polar.m_aVectors[3]->m_fAngle, 90);
    EXPECT_EQ(Host().List().GetItemText(1, 0), FormatFixed2(polar.m_aVectors[1]->m_fAngle));
    EXPECT_EQ(Caption().rfind("POLAR DIAGRAM  angle ", 0), 0u);
    Release(target);
    // From point 1 (about 70 degrees) back to point 2 (60): one straight line, no inner vertex.
    std::vector<std::size_t> starts;
    std::vector<CPoint> vertices;
    AppendCurveVertices(polar, vertices, &starts);
    EXPECT_EQ(starts[2] - starts[1], 2u);
    EXPECT_EQ(Host().Graph().CurvePoints(), vertices);
}

TEST_F(Interaction, DragsLeftOfTheAxisOrBeyond9999AreIgnored) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 0, {{40, 90}, {90, 100}});  // R = 10000
    Host().Show(&m_plan, 0, true, false);
    Press(Device(PolarToPoint(90, 100)));
    ASSERT_EQ(Host().Graph().GetSelected(), 1);
    Drag(Device(CPoint{-500, 2000}));
    EXPECT_EQ(polar.m_aVectors[1]->m_fAngle, 90);
    Drag(Device(CPoint{10500, 0}));
    EXPECT_EQ(polar.m_aVectors[1]->m_fAngle, 90);
    EXPECT_EQ(polar.m_aVectors[1]->m_fSpeed, 100);
    Drag(Device(CPoint{9000, 0}));
    EXPECT_NEAR(polar.m_aVectors[1]->m_fSpeed, 90, 0.5);
}

TEST_F(Interaction, AReleaseOutsideTheWindowDoesNotRescale) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 0, {{40, 5}, {90, 6}});
    Host().Show(&m_plan, 0, true, false);
    const int nRadius = Host().Graph().GetRadius();
    Press(Device(PolarToPoint(90, 6)));
    Drag(Device(PolarToPoint(90, 8)));
    EXPECT_NEAR(polar.m_aVectors[1]->m_fSpeed, 8, 0.1);
    Release(QPoint(GraphWidget()->width() + 40, 10));
    EXPECT_EQ(Host().Graph().GetRadius(), nRadius);
    // The next press inside clears the drag: its release does not rescale either.
    Press(QPoint(5, 5));
    Release(QPoint(5, 5));
    EXPECT_EQ(Host().Graph().GetRadius(), nRadius);
}

TEST_F(Interaction, ShiftOrControlHeldReadsOutInsteadOfDragging) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 0, {{40, 5}, {90, 6}});
    Host().Show(&m_plan, 0, true, false);
    Press(Device(PolarToPoint(90, 6)));
    const QPoint to = Device(PolarToPoint(100, 5));
    QMouseEvent move(QEvent::MouseMove, to, GraphWidget()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(GraphWidget(), &move);
    EXPECT_EQ(polar.m_aVectors[1]->m_fAngle, 90);
    EXPECT_EQ(Caption().rfind("POLAR DIAGRAM  angle 10", 0), 0u) << Caption();
}

TEST_F(Interaction, TheReadOutNamesAngleAndSpeedUnderTheMouse) {
    AddPolar(m_plan, 10, 0, {{40, 3}, {90, 4}});  // R = 400 in 800 x 400: two units a pixel
    Host(800, 400).Show(&m_plan, 0, true, false);
    ASSERT_EQ(Host().Graph().GetRadius(), 400);
    GuiDriver::Move(GraphWidget(), Device(CPoint{650, 0}), false);
    EXPECT_EQ(Caption(), "POLAR DIAGRAM  angle 90.00  speed 6.50");
}

TEST_F(Interaction, TheWheelStepsAlongTheCurveAndStopsAtItsEnds) {
    AddPolar(m_plan, 10, 0, {{40, 5}, {43, 5}});  // vertices 40, 41, 42, 43
    Host().Show(&m_plan, 0, true, true);
    ASSERT_EQ(Host().Graph().CurvePoints().size(), 4u);
    const QPoint inside(300, 200);
    GuiDriver::Wheel(GraphWidget(), inside, -120);  // at the first vertex already
    EXPECT_EQ(Host().Graph().GetTrackIndex(), 0);
    for (int i = 0; i < 5; ++i) {
        GuiDriver::Wheel(GraphWidget(), inside, 120);
    }
    EXPECT_EQ(Host().Graph().GetTrackIndex(), 3);
    EXPECT_EQ(Host().Graph().GetCross(), Host().Graph().CurvePoints()[3]);
    float fAngle = 0;
    float fSpeed = 0;
    PointToPolar(Host().Graph().GetCross().x, Host().Graph().GetCross().y, &fAngle, &fSpeed);
    EXPECT_EQ(Caption(),
              "POLAR DIAGRAM  angle " + FormatFixed2(fAngle) + "  speed " + FormatFixed2(fSpeed));
    EXPECT_NEAR(fAngle, 43, 0.1);
    // Back and forth leaves the picture as it was (cross and bearing line are inverted).
    const QImage before = Host().Image().copy();
    GuiDriver::Wheel(GraphWidget(), inside, -120);
    GuiDriver::Wheel(GraphWidget(), inside, 120);
    EXPECT_EQ(Host().Image(), before);
}

TEST_F(Interaction, FewerThanTwoPointsGiveNothingToTrack) {
    AddPolar(m_plan, 10, 0, {{40, 5}});
    Host().Show(&m_plan, 0, true, true);
    EXPECT_TRUE(Host().Graph().CurvePoints().empty());
    const QImage before = Host().Image().copy();
    GuiDriver::Wheel(GraphWidget(), QPoint(300, 200), 120);
    GuiDriver::Move(GraphWidget(), QPoint(310, 210), false);
    EXPECT_EQ(Host().Image(), before);
}

TEST_F(Interaction, DoubleClicksAddPointsOnlyRightOfTheAxis) {
    PERF_POLAR& polar = AddPolar(m_plan, 10, 0, {{40, 5}, {120, 6}});
    Host().Show(&m_plan, 0, true, false);
    GuiDriver::DoubleClick(GraphWidget(), Device(CPoint{-300, 200}));
    EXPECT_EQ(polar.GetVectorCount(), 2);
    GuiDriver::DoubleClick(GraphWidget(), Device(PolarToPoint(80, 5.5f)));
    ASSERT_EQ(polar.GetVectorCount(), 3);
    EXPECT_NEAR(polar.m_aVectors[1]->m_fAngle, 80, 1);
    EXPECT_EQ(Host().List().GetItemCount(), 3);
}

}  // namespace
