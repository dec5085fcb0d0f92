// The diagram at 1920 x 1080 (more than a maximised editor gives it on a 1920 x 1080 screen)
// with a sail plan of 8 polars of 15 points: a full repaint and a drag step, beside the
// physical floor of a drag step in the same run (a plain copy of one frame's pixels); at one
// and at two device pixels per unit (a screen at scale 2, four times the pixels).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/ratio_reporter.h"
#include "diagram/diagram_host.h"
#include "diagram/geometry.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Scene {
    explicit Scene(int nScale)
        : host(kWidth, kHeight, RGB(168, 180, 192), RGB(255, 255, 255), RGB(16, 60, 180),
               RGB(212, 240, 212), RGB(240, 154, 60)) {
        host.SetDeviceScale(nScale);
        for (int p = 0; p < 8; ++p) {
            plan.InsertPolar(p, 4.0f + 3.0f * static_cast<float>(p), 42.0f);
            for (int i = 0; i < 15; ++i) {
                const float a = 35.0f + 10.0f * static_cast<float>(i);
                plan.m_aPolars.back()->InsertVector(
                    i, a, 4.0f + 0.4f * static_cast<float>(p) + std::sin(a / 60.0f));
            }
        }
        host.Show(&plan, 3, true, false);
        // Arm a drag on point 5, as a press on its square does.
        const CPoint p = PolarToPoint(plan.m_aPolars[3]->m_aVectors[5]->m_fAngle,
                                      plan.m_aPolars[3]->m_aVectors[5]->m_fSpeed);
        pressAt = Device(p);
        host.Graph().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pressAt.x, pressAt.y));
    }
    CPoint Device(CPoint logical) {
        CClientDC dc(&host.Graph());
        host.Graph().PrepareDC(&dc);
        dc.LPtoDP(&logical);
        return logical;
    }
    SAILPLAN plan{"Bench"};
    DiagramHost host;
    CPoint pressAt;
};

Scene& TheScene(int nScale) {
    static Scene single(1);
    static Scene dense(2);
    return nScale == 2 ? dense : single;
}

void BM_FrameCopy(benchmark::State& state) {
    const auto nScale = static_cast<std::size_t>(state.range(0));
    std::vector<unsigned char> src(kWidth * nScale * kHeight * nScale * 4, 0x5A);
    std::vector<unsigned char> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

void BM_DragStep(benchmark::State& state) {
    Scene& scene = TheScene(static_cast<int>(state.range(0)));
    int n = 0;
    for (auto _ : state) {
        // Alternate between two nearby positions, as a moving mouse does.
        const int dx = (n++ % 2 == 0) ? 6 : -6;
        scene.host.Graph().SendMessage(WM_MOUSEMOVE, MK_LBUTTON,
                                       MAKELPARAM(scene.pressAt.x + dx, scene.pressAt.y - dx));
    }
}

void BM_FullRepaint(benchmark::State& state) {
    Scene& scene = TheScene(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        scene.host.Graph().Invalidate(TRUE);
        scene.host.Graph().UpdateWindow();
    }
}

BENCHMARK(BM_FrameCopy)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TheScene(1);
    TheScene(2);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    for (const char* pszScale : {"1", "2"}) {
        const std::string strScale = pszScale;
        const std::string strWhat = "drag step at scale " + strScale;
        reporter.PrintCost(strWhat.c_str(), "BM_FrameCopy/" + strScale, "BM_DragStep/" + strScale,
                           1.5);
        const double dDrag = reporter.Milliseconds("BM_DragStep/" + strScale);
        const double dRepaint = reporter.Milliseconds("BM_FullRepaint/" + strScale);
        std::printf("scale %s: drag step under 4 ms: %s; full repaint %.2f ms, under 16 ms: %s\n",
                    pszScale, dDrag < 4.0 ? "met" : "NOT met", dRepaint,
                    dRepaint < 16.0 ? "met" : "NOT met");
    }
    benchmark::Shutdown();
    return 0;
}
