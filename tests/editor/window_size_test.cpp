// The editor's window grows: the list and the diagram take the room, the rest keeps its place
// relative to its edge, and the diagram stays a diagram of its new size.
#include <gtest/gtest.h>

#include <QTest>
#include <fstream>
#include <iterator>

#include "diagram/graph.h"
#include "tests/support/editor_fixture.h"

namespace {

class WindowSize : public EditorFixture {
  protected:
    void OpenSample() {
        std::ifstream in(POLAR_SAMPLE_FILE, std::ios::binary);
        Open(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    QRect At(int nId) { return Driver().Control(nId)->geometry(); }
    // Pixels of the curve's colour in a row through a point's square: the square's width, as
    // the curve crosses that row in a pixel or two where the curve runs up and down (at 90°).
    int SquareWidthAt(float fAngle, float fSpeed) {
        const QImage& image = *m_pEditor->Graph()->GetBackingImage();
        const QPoint centre = DiagramPoint(fAngle, fSpeed);
        int nLeft = centre.x();
        int nRight = centre.x();
        while (nLeft > 0 && image.pixel(nLeft - 1, centre.y()) == qRgb(0, 0, 255)) {
            --nLeft;
        }
        while (nRight + 1 < image.width() &&
               image.pixel(nRight + 1, centre.y()) == qRgb(0, 0, 255)) {
            ++nRight;
        }
        return nRight - nLeft + 1;
    }
    void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

TEST_F(WindowSize, TheListAndTheDiagramTakeTheRoomTheRestKeepsItsPlace) {
    OpenSample();
    const QSize start = m_hDialog->size();
    const QRect list = At(IDC_VECTOR_LIST);
    const QRect frame = At(IDC_DIAGRAM_FRAME);
    const QSize diagram = Diagram()->size();
    const int anchored[] = {IDC_SAIL_PLAN_COMBO, IDC_WIND_SPEED_COMBO, IDC_TACKING_ANGLE};
    std::vector<QRect> before;
    for (int nId : anchored) {
        before.push_back(At(nId));
    }
    const QRect save = At(IDC_SAVE);
    const QRect smooth = At(IDC_SMOOTH);
    const QRect showAll = At(IDC_SHOW_ALL);

    m_hDialog->resize(start + QSize(400, 300));
    Settle();
    EXPECT_EQ(At(IDC_VECTOR_LIST), list.adjusted(0, 0, 0, 300));
    EXPECT_EQ(At(IDC_DIAGRAM_FRAME), frame.adjusted(0, 0, 400, 300));
    EXPECT_EQ(Diagram()->size(), diagram + QSize(400, 300));
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(At(anchored[i]), before[i]) << "control " << anchored[i];
    }
    EXPECT_EQ(At(IDC_SAVE), save.translated(0, 300));
    EXPECT_EQ(At(IDC_SMOOTH), smooth.translated(0, 300));
    EXPECT_EQ(At(IDC_SHOW_ALL), showAll.translated(200, 300));  // centred under the diagram

    // The diagram is laid out for its new size: the pole at a fifth of the width and half
    // the height, the image as large as the window, a point's square where the point is.
    const QSize now = Diagram()->size();
    EXPECT_EQ(DiagramPoint(0.0f, 0.0f), QPoint(now.width() / 5, now.height() / 2));
    EXPECT_EQ(m_pEditor->Graph()->GetBackingImage()->size(), now);
    const QPoint square = DiagramPoint(90.0f, 6.0f);
    EXPECT_EQ(m_pEditor->Graph()->GetBackingImage()->pixel(square), qRgb(0, 0, 255));
    // And a drag there moves that point.
    DragPoint(90.0f, 6.0f, QPoint(30, 0));
    EXPECT_EQ(List()->item(5, 0)->text().toStdString(), "90.00");
    EXPECT_GT(std::stof(List()->item(5, 1)->text().toStdString()), 6.0f);

    // Back to the template's size, everything is where it started; smaller it does not get.
    m_hDialog->resize(start);
    Settle();
    EXPECT_EQ(At(IDC_VECTOR_LIST), list);
    EXPECT_EQ(At(IDC_SAVE), save);
    EXPECT_EQ(Diagram()->size(), diagram);
    m_hDialog->resize(start - QSize(100, 100));
    Settle();
    EXPECT_EQ(m_hDialog->size(), start);
}

TEST_F(WindowSize, TheWindowCanBeMaximised) {
    OpenSample();
    EXPECT_TRUE(m_hDialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QSize start = m_hDialog->size();
    const QRect list = At(IDC_VECTOR_LIST);
    const QSize diagram = Diagram()->size();
    m_hDialog->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_hDialog->isMaximized(); }, 2000));
    Settle();
    const QSize growth = m_hDialog->size() - start;
    ASSERT_GT(growth.width() + growth.height(), 0) << "the screen is no larger than the window";
    EXPECT_EQ(At(IDC_VECTOR_LIST).height(), list.height() + growth.height());
    EXPECT_EQ(Diagram()->size(), diagram + growth);
}

TEST_F(WindowSize, PointSquaresKeepTheirSizeOnScreen) {
    OpenSample();
    const int nStartWidth = SquareWidthAt(90.0f, 6.0f);
    EXPECT_GE(nStartWidth, 8);
    EXPECT_LE(nStartWidth, 13);
    m_hDialog->resize(m_hDialog->size() + QSize(900, 700));
    Settle();
    // The diagram more than three times as large, its squares within a pixel of their size.
    EXPECT_NEAR(SquareWidthAt(90.0f, 6.0f), nStartWidth, 1);
    // And a point is still pressed where its square is.
    DragPoint(90.0f, 6.0f, QPoint(30, 0));
    EXPECT_GT(std::stof(List()->item(5, 1)->text().toStdString()), 6.0f);
}

}  // namespace
