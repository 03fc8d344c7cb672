// A full redraw of a drawing of five layers (about 3000 records in all) into a 1920 x 1080
// image, as the drawing box repaints, and the same for the drawing of a real key; a plain fill of
// the image is the baseline to compare with.
// Run a Release build: tarvenko_metafile_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <random>
#include <vector>

#include "platform/metafile/metafile.h"
#include "tools/wmf/wmf_writer.h"

namespace {

using namespace tarvenko;
using tools::WmfPoint;
using tools::WmfRect;
using tools::WmfWriter;

std::int16_t i16(double v) { return static_cast<std::int16_t>(std::lround(v)); }

WmfWriter layer()
{
    WmfWriter w;
    w.placeable({0, 0, 2400, 1800}).setWindowOrg(0, 0).setWindowExt(2400, 1800);
    return w;
}

using File = std::vector<std::uint8_t>;

std::vector<Metafile> parse(const std::vector<File> &files, int &records)
{
    std::vector<Metafile> parsed;
    records = 0;
    for (const File &bytes : files) {
        parsed.push_back(*Metafile::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))));
        records += parsed.back().recordCount();
    }
    return parsed;
}

// The layers of a tree drawn in detail: sky and ground, trunk and branches, a crown of leaves,
// fruits, and outlines with a few labels.
std::vector<File> drawing()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<WmfWriter> layers(5, layer());

    WmfWriter &ground = layers[0];
    ground.selectObject(ground.createPen(wmf::PS_NULL, 0, 0));
    ground.selectObject(ground.createBrush(wmf::BS_SOLID, wmf::rgb(200, 225, 255))).rectangle({0, 0, 2400, 1400});
    ground.selectObject(ground.createBrush(wmf::BS_SOLID, wmf::rgb(110, 160, 70)));
    ground.polygon({{0, 1400}, {800, 1350}, {1600, 1420}, {2400, 1380}, {2400, 1800}, {0, 1800}});

    WmfWriter &trunk = layers[1];
    trunk.selectObject(trunk.createPen(wmf::PS_SOLID, 6, wmf::rgb(70, 40, 20)));
    trunk.selectObject(trunk.createBrush(wmf::BS_SOLID, wmf::rgb(120, 72, 36)));
    trunk.polygon({{1100, 1700}, {1300, 1700}, {1240, 700}, {1160, 700}});
    for (int i = 0; i < 300; ++i) {
        const double a = unit(random) * M_PI, x = 1200, y = 700 + unit(random) * 600, len = 100 + unit(random) * 500;
        trunk.polygon({{i16(x - 8), i16(y)}, {i16(x + 8), i16(y)}, {i16(x + std::cos(a) * len), i16(y - std::sin(a) * len)}});
    }

    WmfWriter &crown = layers[2];
    crown.selectObject(crown.createPen(wmf::PS_SOLID, 0, wmf::rgb(20, 90, 20)));
    std::vector<int> greens;
    for (int g = 0; g < 4; ++g)
        greens.push_back(crown.createBrush(wmf::BS_SOLID, wmf::rgb(20, static_cast<std::uint8_t>(110 + 15 * g), 30)));
    for (int i = 0; i < 1500; ++i) {
        if (i % 20 == 0)
            crown.selectObject(greens[static_cast<std::size_t>(i / 20 % 4)]);
        const double cx = 400 + unit(random) * 1600, cy = 150 + unit(random) * 1000, r = 30 + unit(random) * 40;
        std::vector<WmfPoint> leaf;
        for (int k = 0; k < 6; ++k)
            leaf.push_back({i16(cx + r * std::cos(k * M_PI / 3)), i16(cy + 0.6 * r * std::sin(k * M_PI / 3))});
        crown.polygon(leaf);
    }

    WmfWriter &fruit = layers[3];
    fruit.selectObject(fruit.createPen(wmf::PS_SOLID, 0, wmf::rgb(200, 30, 30)));
    fruit.selectObject(fruit.createBrush(wmf::BS_SOLID, wmf::rgb(200, 30, 30)));
    for (int i = 0; i < 400; ++i) {
        const auto x = i16(500 + unit(random) * 1400), y = i16(300 + unit(random) * 900);
        fruit.ellipse({x, y, i16(x + 40), i16(y + 40)});
    }
    for (int i = 0; i < 20; ++i) {
        const auto x = i16(500 + unit(random) * 1400), y = i16(300 + unit(random) * 900);
        fruit.pie({x, y, i16(x + 80), i16(y + 80)}, {i16(x + 80), i16(y + 40)}, {i16(x + 40), y});
    }

    WmfWriter &details = layers[4];
    details.selectObject(details.createPen(wmf::PS_SOLID, 2, wmf::rgb(40, 40, 40)));
    for (int i = 0; i < 300; ++i) {
        std::vector<WmfPoint> line;
        double x = unit(random) * 2400, y = unit(random) * 1800;
        for (int k = 0; k < 5; ++k, x += unit(random) * 60 - 30, y += unit(random) * 60 - 30)
            line.push_back({i16(x), i16(y)});
        details.polyline(line);
    }
    tools::WmfFont font;
    font.height = -40;
    details.selectObject(details.createFont(font)).setBkMode(wmf::TRANSPARENT);
    for (int i = 0; i < 20; ++i)
        details.textOut(100 + 100 * i, 1700, "Quercus");

    std::vector<File> files;
    for (const WmfWriter &w : layers)
        files.push_back(w.bytes());
    return files;
}

// Plays `layers` over a white 1920 x 1080 image. `qtOnly`: a clip from the caller, which leaves
// every shape to Qt's raster engine (the reference for the smooth drawing's own filler).
void redraw(benchmark::State &state, const std::vector<Metafile> &layers, Metafile::Edges edges, bool qtOnly)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        if (qtOnly)
            painter.setClipRect(image.rect());
        for (const Metafile &m : layers)
            m.play(painter, QRectF(0, 0, 1920, 1080), edges);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RedrawLayers(benchmark::State &state)
{
    int records = 0;
    const std::vector<Metafile> layers = parse(drawing(), records);
    redraw(state, layers, state.range(0) ? Metafile::Edges::Smooth : Metafile::Edges::Exact, false);
    state.counters["records"] = records;
}
BENCHMARK(BM_RedrawLayers)->ArgName("smooth")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same drawing antialiased by Qt's raster engine alone.
void BM_RedrawLayersQt(benchmark::State &state)
{
    int records = 0;
    const std::vector<Metafile> layers = parse(drawing(), records);
    redraw(state, layers, Metafile::Edges::Smooth, true);
}
BENCHMARK(BM_RedrawLayersQt)->Unit(benchmark::kMillisecond);

// One layer at a time, to see where a redraw goes: aliased, smooth, smooth by Qt alone.
void BM_RedrawOneLayer(benchmark::State &state)
{
    int records = 0;
    const std::vector<Metafile> layers = parse(drawing(), records);
    const std::vector<Metafile> one{layers[static_cast<std::size_t>(state.range(0))]};
    redraw(state, one, state.range(1) ? Metafile::Edges::Smooth : Metafile::Edges::Exact, state.range(1) == 2);
    state.counters["records"] = one.front().recordCount();
}
BENCHMARK(BM_RedrawOneLayer)->ArgNames({"layer", "smooth"})->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// The bundled key's drawing (or that of the key in TARVENKO_CLE): the largest file of every layer
// folder robot/00, robot/01 ..., all drawn as the drawing box repaints them.
std::vector<File> drawingOfKey()
{
    QString root = qEnvironmentVariable("TARVENKO_CLE");
    if (root.isEmpty())
        root = QString::fromUtf8(TARVENKO_SAMPLE_DIR);
    std::vector<File> files;
    for (int layer = 0;; ++layer) {
        const QDir folder(root + QStringLiteral("/robot/%1").arg(layer, 2, 10, QLatin1Char('0')));
        if (!folder.exists())
            break;
        const QFileInfoList wmf = folder.entryInfoList({QStringLiteral("*.wmf")}, QDir::Files, QDir::Size);
        if (wmf.isEmpty())
            continue;
        QFile f(wmf.first().filePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.readAll();
        files.emplace_back(bytes.begin(), bytes.end());
    }
    return files;
}

// smooth:1 is how the drawing box shows it (antialiased), smooth:0 how its hit test reads it.
void BM_RedrawKeyDrawing(benchmark::State &state)
{
    int records = 0;
    const std::vector<Metafile> layers = parse(drawingOfKey(), records);
    if (layers.empty()) {
        state.SkipWithError("no drawing");
        return;
    }
    // smooth:2 is smooth by Qt's raster engine alone.
    redraw(state, layers, state.range(0) ? Metafile::Edges::Smooth : Metafile::Edges::Exact, state.range(0) == 2);
    state.counters["layers"] = static_cast<double>(layers.size());
    state.counters["records"] = records;
}
BENCHMARK(BM_RedrawKeyDrawing)->ArgName("smooth")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The floor: clearing the image alone.
void BM_ClearOnly(benchmark::State &state)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMillisecond);

// Parsing happens once per file; shown for scale.
void BM_ParseLayers(benchmark::State &state)
{
    const std::vector<File> files = drawing();
    int records = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(files, records));
    state.counters["records"] = records;
}
BENCHMARK(BM_ParseLayers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
