// polarctl render at any size: the scale it draws at, where the diagram goes, what is drawn
// around it and the formats it writes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QXmlStreamReader>
#include <cmath>
#include <cstdlib>
#include <map>

#include "apps/polarctl/render_layout.h"
#include "apps/polarctl/render_picture.h"
#include "data/polar_file.h"
#include "diagram/diagram_host.h"
#include "tests/support/polar_builders.h"
#include "tests/support/polarctl_runner.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr QRgb kBackground = qRgb(0xFF, 0xFF, 0xFF);
constexpr QRgb kCurve = qRgb(0xFF, 0, 0);
constexpr QRgb kOthers = qRgb(0, 0, 0xFF);
const char* const kColours = "000000,FFFFFF,FF0000,00FF00,0000FF";

class RenderTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char szName[] = "render_test";
        static char* argv[] = {szName, nullptr};
        static QApplication app(argc, argv);
    }
    void SetUp() override {
        TempDir::Write(m_strFile, kExampleFileText);
        m_contents = ParsePolarFile(kExampleFileText);
    }

    PictureOptions Options(int nWidth, int nHeight) const {
        PictureOptions options;
        options.nWidth = nWidth;
        options.nHeight = nHeight;
        options.palette = *ParsePalette(kColours);
        return options;
    }
    SAILPLAN& Main() { return *m_contents.aSailPlans[0]; }

    CliRun Render(const std::string& strOut, std::vector<std::string> extra = {}) const {
        std::vector<std::string> args = {"render", m_strFile, "--sail-plan", "0",        "--polar",
                                         "1",      "-o",      strOut,        "--colors", kColours};
        args.insert(args.end(), extra.begin(), extra.end());
        return Polarctl(args);
    }

    TempDir m_dir;
    std::string m_strFile = m_dir.File("POLAR.PPD");
    PolarFileContents m_contents;
};

// How many pixels of a colour a rectangle of the image holds.
int CountColour(const QImage& image, QRect rect, QRgb rgb) {
    rect = rect.intersected(image.rect());
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            n += image.pixel(x, y) == rgb ? 1 : 0;
        }
    }
    return n;
}

// The columns and rows that hold anything but the background.
QRect DrawnBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != kBackground) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// The length of the run of black pixels that starts at or after x on row y.
int BlackRun(const QImage& image, int x, int y) {
    while (x < image.width() && image.pixel(x, y) != qRgb(0, 0, 0)) {
        ++x;
    }
    int n = 0;
    while (x + n < image.width() && image.pixel(x + n, y) == qRgb(0, 0, 0)) {
        ++n;
    }
    return n;
}

TEST(RenderLayoutTest, TheScaleGrowsFromTheDefaultSizeOnAndTheHalfDiscFitsCentred) {
    EXPECT_EQ(RenderScale(kRenderBaseWidth, kRenderBaseHeight), 1.0);
    EXPECT_EQ(RenderScale(400, 400), 1.0);
    EXPECT_EQ(RenderScale(1600, 1600), 2.0);
    EXPECT_EQ(RenderScale(4000, 3000), 5.0);
    EXPECT_EQ(RenderScale(8000, 600), 1.0);  // the tighter side decides

    RenderParts parts;
    parts.dRingLabelWidth = 40.0;
    parts.dAngleLabelWidth = 25.0;
    parts.dAngleLabelHeight = 13.0;
    parts.dLegendWidth = 70.0;
    parts.dLegendHeight = 170.0;  // more than the half-disc in the lowest picture
    for (const auto& [w, h] : std::map<double, double>{{800, 600}, {300, 900}, {2000, 200}}) {
        parts.dPictureWidth = w;
        parts.dPictureHeight = h;
        for (const double dTitle : {0.0, 20.0}) {
            parts.dTitleHeight = dTitle;
            const RenderLayout layout = LayOutRender(parts);
            const double r = layout.nRadius;
            const double dLeft = layout.dPoleX - parts.dRingLabelWidth - 0.02 * r;
            const double dRight = layout.dLegendLeft + parts.dLegendWidth;
            EXPECT_GT(dLeft, 0.0) << w << "x" << h;
            EXPECT_LT(dRight, w) << w << "x" << h;
            EXPECT_NEAR(dLeft, w - dRight, 1.0) << w << "x" << h;
            EXPECT_GE(layout.dTitleTop, 0.0);
            EXPECT_GE(layout.dPoleY - r - parts.dAngleLabelHeight, layout.dTitleTop + dTitle);
            EXPECT_LT(layout.dPoleY + r + parts.dAngleLabelHeight, h);
            EXPECT_GE(layout.dLegendTop, 0.0);
            EXPECT_LE(layout.dLegendTop + parts.dLegendHeight, h);
            // The tighter direction is filled but for the margins.
            EXPECT_TRUE(dLeft < 15.0 || layout.dTitleTop < 15.0) << w << "x" << h;
        }
    }
}

TEST_F(RenderTest, AtTheDefaultSizeTheDiagramIsTheEditorsOwnDrawing) {
    PolarPicture picture(Main(), 1, Options(kRenderBaseWidth, kRenderBaseHeight));
    ASSERT_EQ(picture.Scale(), 1.0);
    const QImage image = picture.ToImage();
    ASSERT_EQ(image.size(), QSize(kRenderBaseWidth, kRenderBaseHeight));
    // The editor's window of the picture's width and the half-disc's height, at scale 1.
    const RenderLayout& layout = picture.Layout();
    const DiagramPalette palette = *ParsePalette(kColours);
    DiagramHost host(kRenderBaseWidth, 2 * layout.nRadius, palette[0], palette[1], palette[2],
                     palette[3], palette[4]);
    host.Show(&Main(), 1, true, false);
    const QImage& editor = host.Image();
    const QPoint shift = QPoint(static_cast<int>(std::lround(layout.dPoleX)),
                                static_cast<int>(std::lround(layout.dPoleY))) -
                         QPoint(kRenderBaseWidth / 5, layout.nRadius);
    // Inside the half-disc every pixel is the editor's: nothing resampled, nothing moved.
    int nCompared = 0;
    for (int y = -layout.nRadius + 2; y < layout.nRadius - 2; y += 3) {
        for (int x = 1; x * x + y * y < (layout.nRadius - 2) * (layout.nRadius - 2); x += 3) {
            const QPoint at(kRenderBaseWidth / 5 + x, layout.nRadius + y);
            ASSERT_EQ(image.pixel(at + shift), editor.pixel(at)) << at.x() << "," << at.y();
            ++nCompared;
        }
    }
    EXPECT_GT(nCompared, 5000);
    // One-pixel lines stay one pixel.
    EXPECT_EQ(BlackRun(image, 0, static_cast<int>(layout.dPoleY) - layout.nRadius / 3), 1);
}

TEST_F(RenderTest, ALargePictureIsTheSameDiagramAtAFinerScaleCentred) {
    PolarPicture small(Main(), 1, Options(kRenderBaseWidth, kRenderBaseHeight));
    PolarPicture large(Main(), 1, Options(1600, 1200));
    ASSERT_EQ(large.Scale(), 2.0);
    const QImage smallImage = small.ToImage();
    const QImage image = large.ToImage();
    ASSERT_EQ(image.size(), QSize(1600, 1200));
    // The same layout in client units, twice as many pixels each way.
    EXPECT_EQ(large.Layout().nRadius, small.Layout().nRadius);
    const int nPoleY = static_cast<int>(large.Layout().dPoleY * 2.0);
    // The axis two pixels wide, the curve's pixels about four times as many.
    EXPECT_EQ(BlackRun(image, 0, nPoleY - 2 * large.Layout().nRadius / 3), 2);
    const int nSmallCurve = CountColour(smallImage, smallImage.rect(), kCurve);
    const int nLargeCurve = CountColour(image, image.rect(), kCurve);
    EXPECT_GT(nLargeCurve, 3 * nSmallCurve);
    EXPECT_LT(nLargeCurve, 5 * nSmallCurve);
    // The ring labels left of the axis are twice as tall.
    const auto labelHeight = [](const QImage& picture, double dPoleX) {
        const QRect bounds =
            DrawnBounds(picture.copy(0, 0, static_cast<int>(dPoleX) - 4, picture.height() / 2));
        int nTallest = 0;
        for (int y = bounds.top(), nRun = 0; y <= bounds.bottom(); ++y) {
            const bool bInk = CountColour(picture, QRect(0, y, bounds.right() + 1, 1),
                                          kBackground) <= bounds.right();
            nRun = bInk ? nRun + 1 : 0;
            nTallest = std::max(nTallest, nRun);
        }
        return nTallest;
    };
    const int nSmallLabel = labelHeight(smallImage, small.Layout().dPoleX);
    EXPECT_GE(nSmallLabel, 6);
    EXPECT_NEAR(labelHeight(image, large.Layout().dPoleX * 2.0), 2 * nSmallLabel, 2);
    // Centred: as much background left of it as right, above as below.
    const QRect drawn = DrawnBounds(image);
    EXPECT_NEAR(drawn.left(), image.width() - 1 - drawn.right(), 0.03 * image.width());
    EXPECT_NEAR(drawn.top(), image.height() - 1 - drawn.bottom(), 0.03 * image.height());
    EXPECT_LT(drawn.left(), image.width() / 3);
}

TEST_F(RenderTest, TheLegendTheAngleLabelsAndTheTitleAreDrawn) {
    const std::string strPng = m_dir.File("titled.png");
    ASSERT_EQ(Render(strPng, {"--size", "1600x1200", "--title", "Main + Genoa"}).nExit, 0);
    const QImage titled(QString::fromStdString(strPng));
    ASSERT_EQ(Render(strPng, {"--size", "1600x1200", "--show-all", "off"}).nExit, 0);
    const QImage plain(QString::fromStdString(strPng));
    ASSERT_EQ(titled.size(), QSize(1600, 1200));

    const PolarPicture picture(Main(), 1, Options(1600, 1200));
    const RenderLayout& layout = picture.Layout();
    const double s = picture.Scale();
    // Right of the angle labels: the legend, the current polar in the curve's colour and, with
    // "Show All", the other one in theirs.
    const QRect legend(static_cast<int>(layout.dLegendLeft * s), 0,
                       titled.width() - static_cast<int>(layout.dLegendLeft * s), titled.height());
    EXPECT_GT(CountColour(titled, legend, kCurve), 40);
    EXPECT_GT(CountColour(titled, legend, kOthers), 40);
    EXPECT_GT(CountColour(plain, legend, kCurve), 40);
    EXPECT_EQ(CountColour(plain, legend, kOthers), 0);
    // The 90° label just outside the ring, right of the half-disc, where the titled picture
    // has its ring.
    PictureOptions options = Options(1600, 1200);
    options.strTitle = "Main + Genoa";
    const PolarPicture titledPicture(Main(), 1, options);
    const RenderLayout& titledLayout = titledPicture.Layout();
    const double dRing = (titledLayout.dPoleX + titledLayout.nRadius) * s;
    const QRect ninety(static_cast<int>(dRing) + 4, static_cast<int>(titledLayout.dPoleY * s) - 15,
                       60, 30);
    EXPECT_GT(ninety.width() * ninety.height() - CountColour(titled, ninety, kBackground), 20);
    // The title above the 0° label; without one nothing is drawn there.
    const auto above = [&](const RenderLayout& at) {
        return QRect(0, 0, titled.width(), static_cast<int>((at.dPoleY - at.nRadius) * s) - 40);
    };
    const QRect title = above(titledLayout);
    ASSERT_GT(title.height(), 20);
    EXPECT_GT(title.width() * title.height() - CountColour(titled, title, kBackground), 200);
    const QRect none = above(layout);
    ASSERT_GT(none.height(), 0);
    EXPECT_EQ(CountColour(plain, none, kBackground), none.width() * none.height());
}

TEST_F(RenderTest, TheOutputsExtensionChoosesTheFormat) {
    const std::string strSvg = m_dir.File("polar.svg");
    ASSERT_EQ(Render(strSvg, {"--title", "Main"}).nExit, 0);
    QFile svgFile(QString::fromStdString(strSvg));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svgFile);
    std::map<QString, int> elements;
    QString title;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            ++elements[xml.name().toString()];
            if (xml.name() == QLatin1String("title")) {
                title = xml.readElementText();
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(elements["svg"], 1);
    EXPECT_EQ(title, "Main");
    EXPECT_GE(elements["text"], 7 + 3 + 1);  // the angles, the legend and the title
    // The diagram as shapes, not as an embedded image.
    EXPECT_EQ(elements["image"], 0);
    // 17 rays, 14 rings, 2 axes, 2 curves, the sector: lines that continue one another, as a
    // curve's, are one element.
    EXPECT_GE(elements["polyline"] + elements["path"], 17 + 14 + 2 + 2 + 1);
    EXPECT_LT(elements["polyline"] + elements["path"], 100);

    const std::string strPdf = m_dir.File("polar.PDF");
    ASSERT_EQ(Render(strPdf).nExit, 0);
    const std::string strPdfText = TempDir::Read(strPdf);
    EXPECT_EQ(strPdfText.substr(0, 5), "%PDF-");
    EXPECT_EQ(strPdfText.find("/Subtype /Image"), std::string::npos);
    const std::string strPng = m_dir.File("polar.Png");
    ASSERT_EQ(Render(strPng).nExit, 0);
    EXPECT_EQ(TempDir::Read(strPng).substr(1, 3), "PNG");

    // Any other name is bad usage that says what is written, and leaves the file alone.
    for (const char* pszName : {"polar.jpg", "polar", "polar.svg.txt"}) {
        const std::string strOther = m_dir.File(pszName);
        TempDir::Write(strOther, "kept");
        const CliRun run = Render(strOther);
        EXPECT_EQ(run.nExit, 2) << pszName;
        EXPECT_NE(run.err.find(".png, .svg or .pdf"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(pszName), std::string::npos) << run.err;
        EXPECT_EQ(TempDir::Read(strOther), "kept");
    }
}

}  // namespace
