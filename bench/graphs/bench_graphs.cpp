#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/base/result_table.h"
#include "graphs/emf_writer.h"
#include "graphs/graph_renderer.h"
#include "graphs/qt_canvas.h"
#include "graphs/result_table.h"
#include "graphs/view_zoom.h"

using namespace graphs;

namespace {

// A sweep of `points` values of a for each of 10 values of v, written as the solver writes it.
std::string SweepFile(int points) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("valdrix-bench-" + std::to_string(points) + ".PRN"))
                                 .string();
    std::ofstream out(path);
    out << ResultParameterLine("v", 2) << "\n";
    for (const char* name : {"g", "r", "v", "a"}) out << ResultNameCell(name);
    out << "\n";
    for (int k = 0; k < 10; ++k) {
        const double v = 10 + k;
        for (int i = 0; i < points; ++i) {
            const double a = 0.1 + 1.4 * i / (points - 1);
            for (const double cell : {9.81, v * v * std::sin(2 * a) / 9.81, v, a})
                out << FormatResultValue(cell);
            out << "\n";
        }
    }
    return path;
}

struct Sweep {
    GraphCurve curve;
    ResultTable table;
    explicit Sweep(int points) {
        curve.xName = curve.xTitle = "a";
        curve.yName = curve.yTitle = "r";
        std::vector<GraphCurve> curves{curve};
        table.Read(SweepFile(points), curves);
        curve = curves[0];
    }
    PictureContent Content() const {
        GraphLayout layout;
        layout.type = GraphType::Normal;
        return {{{&curve, *table.Column(curve.xIndex), *table.Column(curve.yIndex)}},
                layout,
                {table.parameterName, table.parameterValues, table.parameterRows}};
    }
};

void BM_ReadResultFile(benchmark::State& state) {
    const std::string path = SweepFile(static_cast<int>(state.range(0)));
    GraphCurve c;
    c.xName = "a";
    c.yName = "r";
    for (auto _ : state) {
        std::vector<GraphCurve> curves{c};
        ResultTable table;
        benchmark::DoNotOptimize(table.Read(path, curves));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
}

void BM_RenderPicture(benchmark::State& state) {
    const Sweep sweep(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Picture picture(FontTextWidth);
        RenderPicture(picture, sweep.Content());
        benchmark::DoNotOptimize(picture.Ops().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
}

// A sweep of many short branches: the cost of drawing should grow with the branch count, not
// its square.
void BM_RenderBranches(benchmark::State& state) {
    const auto branches = static_cast<std::size_t>(state.range(0));
    constexpr std::size_t kPoints = 4;
    GraphCurve curve;
    curve.xTitle = "x";
    curve.yTitle = "y";
    std::vector<float> x, y;
    SweepInfo sweep{"p", {}, {}};
    for (std::size_t b = 0; b < branches; ++b) {
        sweep.values.push_back(static_cast<float>(b));
        sweep.firstRows.push_back(b * kPoints);
        for (std::size_t i = 0; i < kPoints; ++i) {
            x.push_back(static_cast<float>(i));
            y.push_back(static_cast<float>(i * (b + 1)));
        }
    }
    GraphLayout layout;
    layout.type = GraphType::Normal;
    const PictureContent content{{{&curve, x, y}}, layout, sweep};
    for (auto _ : state) {
        Picture picture(FontTextWidth);
        RenderPicture(picture, content);
        benchmark::DoNotOptimize(picture.Ops().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PlayIntoPng(benchmark::State& state) {
    const Sweep sweep(static_cast<int>(state.range(0)));
    Picture picture(FontTextWidth);
    RenderPicture(picture, sweep.Content());
    QImage image(960, 560, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterCanvas canvas(painter, QRectF(0, 0, 960, 560));
        picture.Play(canvas);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
}

// One curve of `rows` points of a noisy wave, drawn as the window draws it at zoom 1: a
// million rows must repaint without freezing the window. state.range(2): 0 plays every point,
// as the window did before it thinned pictures (and as PNG files are still drawn); 1 thins
// the picture first, as after a zoom or a new rendering; 2 reuses the thinned copy, as a
// repaint, a scroll or a resize does.
void BM_RepaintWindow(benchmark::State& state) {
    const auto rows = static_cast<std::size_t>(state.range(0));
    GraphCurve curve;
    curve.xTitle = "t";
    curve.yTitle = "x";
    std::vector<float> x(rows), y(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const double t = 10.0 * static_cast<double>(i) / static_cast<double>(rows);
        x[i] = static_cast<float>(t);
        y[i] = static_cast<float>(std::sin(50 * t) + 0.3 * std::sin(3777 * t));
    }
    GraphLayout layout;
    layout.type = static_cast<GraphType>(state.range(1));
    auto picture = std::make_shared<Picture>(FontTextWidth);
    RenderPicture(*picture, {{{&curve, x, y}}, layout, {}});
    const std::shared_ptr<const Picture> shown = picture;
    const PixelSize size = PictureScreenSize(96 / 25.4, 96 / 25.4);
    const QRectF target(0, 0, size.width, size.height);
    QImage image(size.width, size.height, QImage::Format_ARGB32_Premultiplied);
    ScreenCopy kept;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        if (state.range(2) == 0) {
            painter.setRenderHint(QPainter::Antialiasing);
            QPainterCanvas canvas(painter, target);
            shown->Play(canvas);
        } else {
            ScreenCopy fresh;
            PaintOnScreen(painter, shown, target, state.range(2) == 2 ? kept : fresh);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WriteEmf(benchmark::State& state) {
    const Sweep sweep(static_cast<int>(state.range(0)));
    Picture picture(FontTextWidth);
    RenderPicture(picture, sweep.Content());
    const std::string path =
        (std::filesystem::temp_directory_path() / "valdrix-bench.emf").string();
    for (auto _ : state) benchmark::DoNotOptimize(WriteEmf(picture, path));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 10);
}

BENCHMARK(BM_ReadResultFile)->Arg(100)->Arg(10000);
BENCHMARK(BM_RenderPicture)->Arg(100)->Arg(10000);
BENCHMARK(BM_RenderBranches)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayIntoPng)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWindow)
    ->ArgNames({"rows", "type", "drawing"})
    ->ArgsProduct({{1000000},
                   {static_cast<int>(GraphType::Normal), static_cast<int>(GraphType::None),
                    static_cast<int>(GraphType::Bar), static_cast<int>(GraphType::NormalPoints),
                    static_cast<int>(GraphType::LinePoints)},
                   {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteEmf)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the QPainter canvas
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
