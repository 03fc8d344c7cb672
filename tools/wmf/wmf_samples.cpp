// Writes small metafiles that together use every kind of record the player knows, each in a
// few variants: the seed corpus of the player's fuzzer and of its regression test.
#include <filesystem>
#include <functional>
#include <iostream>
#include <vector>

#include "tools/wmf/wmf_writer.h"

using namespace tarvenko;
using namespace tarvenko::tools;

namespace {

WmfBitmap checker(int bitCount)
{
    WmfBitmap b;
    b.width = 5;
    b.height = 3;
    b.bitCount = bitCount;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            b.pixels.push_back((x + y) % 2 ? wmf::rgb(255, 0, 0) : wmf::rgb(0, 0, 255));
    return b;
}

void shapes(WmfWriter &w)
{
    w.placeable({0, 0, 400, 300}).setWindowOrg(0, 0).setWindowExt(400, 300);
    const int pen = w.createPen(wmf::PS_SOLID, 3, wmf::rgb(0, 0, 0));
    const int brush = w.createBrush(wmf::BS_SOLID, wmf::rgb(0, 128, 0));
    const int hatch = w.createBrush(wmf::BS_HATCHED, wmf::rgb(200, 0, 0), wmf::HS_DIAGCROSS);
    w.selectObject(pen).selectObject(brush);
    w.rectangle({10, 10, 100, 80}).ellipse({110, 10, 200, 80}).roundRect({210, 10, 300, 80}, 20, 20);
    w.selectObject(hatch).setBkMode(wmf::OPAQUE).setBkColor(wmf::rgb(255, 255, 0));
    w.polygon({{10, 100}, {100, 100}, {55, 180}});
    w.setPolyFillMode(wmf::WINDING).polyPolygon({{{110, 100}, {200, 100}, {200, 190}, {110, 190}}, {{130, 120}, {180, 120}, {180, 170}, {130, 170}}});
    w.polyline({{210, 100}, {300, 190}, {390, 100}});
    w.arc({10, 200, 100, 290}, {100, 245}, {55, 200}).pie({110, 200, 200, 290}, {200, 245}, {155, 200});
    w.chord({210, 200, 300, 290}, {300, 245}, {255, 290});
    w.moveTo(310, 200).lineTo(390, 290).setPixel(5, 5, wmf::rgb(1, 2, 3));
    w.deleteObject(hatch).deleteObject(brush).deleteObject(pen);
}

void text(WmfWriter &w)
{
    w.setWindowExt(400, 200);
    WmfFont font;
    font.height = -30;
    font.weight = 700;
    const int f = w.createFont(font);
    font.escapement = 450;
    font.italic = true;
    font.height = 25;
    const int rotated = w.createFont(font);
    w.selectObject(f).setTextColor(wmf::rgb(0, 0, 255)).setBkMode(wmf::TRANSPARENT);
    w.textOut(10, 10, "Tarvenko \x80");
    w.setTextAlign(wmf::TA_CENTER | wmf::TA_BASELINE).setBkMode(wmf::OPAQUE).extTextOut(200, 100, wmf::ETO_OPAQUE, WmfRect{150, 70, 250, 110}, "abc", {20, 20, 20});
    w.selectObject(rotated).setTextAlign(wmf::TA_UPDATECP).moveTo(10, 190).textOut(0, 0, "x").textOut(0, 0, "y");
    w.setTextCharExtra(3).extTextOut(300, 150, wmf::ETO_CLIPPED, WmfRect{300, 150, 330, 170}, "clipped");
}

void bitmaps(WmfWriter &w)
{
    w.setWindowExt(200, 100);
    w.dibStretchBlt({0, 0, 50, 30}, {0, 0, 5, 3}, checker(1));
    w.dibStretchBlt({50, 0, 100, 30}, {0, 0, 5, 3}, checker(4), wmf::SRCINVERT);
    w.stretchDib({100, 0, 150, 30}, {0, 0, 5, 3}, checker(8));
    WmfBitmap top = checker(24);
    top.topDown = true;
    w.stretchDib({150, 0, 200, 30}, {1, 1, 4, 3}, top, wmf::SRCAND);
    w.dibBitBlt(0, 40, 5, 3, 0, 0, checker(32));
    w.setDibToDev(10, 40, checker(24));
    const int pattern = w.createDibPatternBrush(checker(8));
    w.selectObject(pattern).patBlt(20, 50, 100, 40, wmf::PATCOPY).patBlt(20, 50, 50, 20, wmf::DSTINVERT);
}

void mapping(WmfWriter &w)
{
    w.placeable({-100, -50, 900, 450}, 254).setMapMode(wmf::MM_ANISOTROPIC).setWindowOrg(0, 500).setWindowExt(1000, -500);
    w.saveDC().setViewportExt(500, 250).setViewportOrg(10, 10).rectangle({0, 0, 500, 250}).restoreDC();
    w.saveDC().setMapMode(wmf::MM_ISOTROPIC).setWindowExt(100, 100).setViewportExt(1000, 500).ellipse({0, 0, 100, 100}).restoreDC(-1);
    w.saveDC().setMapMode(wmf::MM_LOMETRIC).rectangle({0, 0, 100, -100}).setMapMode(wmf::MM_HIMETRIC).rectangle({0, 0, 1000, -1000});
    w.setMapMode(wmf::MM_TWIPS).ellipse({0, 0, 100, -100}).setMapMode(wmf::MM_TEXT).rectangle({1, 1, 5, 5}).restoreDC(1);
    w.intersectClipRect({100, 100, 600, 400}).excludeClipRect({200, 200, 300, 300}).rectangle({0, 0, 1000, 500});
    w.offsetWindowOrg(10, 10).scaleWindowExt(2, 1, 2, 1).rectangle({0, 0, 100, 100});
    w.record(static_cast<std::uint16_t>(wmf::Fn::OffsetClipRgn), {5, 5});
    w.record(static_cast<std::uint16_t>(wmf::Fn::ScaleViewportExt), {1, 2, 1, 2});
}

void objects(WmfWriter &w)
{
    w.setWindowExt(100, 100);
    const int palette = w.createPalette({wmf::rgb(10, 20, 30), wmf::rgb(200, 100, 50)});
    w.selectPalette(palette).record(static_cast<std::uint16_t>(wmf::Fn::RealizePalette), {});
    const int indexed = w.createBrush(wmf::BS_SOLID, 0x01000001);
    const int region = w.createRegion({10, 10, 60, 60});
    const int unknown = w.createPatternBrush();
    w.selectObject(indexed).fillRegion(region, indexed).paintRegion(region);
    w.record(static_cast<std::uint16_t>(wmf::Fn::InvertRegion), {static_cast<std::uint16_t>(region)});
    w.selectClipRegion(region).ellipse({0, 0, 100, 100}).selectClipRegion(-1);
    w.deleteObject(unknown).deleteObject(region);
    const int reused = w.createPen(wmf::PS_DASHDOT, 0, wmf::rgb(0, 0, 255));
    w.selectObject(reused).selectObject(40).deleteObject(41).rectangle({5, 5, 95, 95});
}

void rops(WmfWriter &w)
{
    w.setWindowExt(100, 100);
    const int brush = w.createBrush(wmf::BS_SOLID, wmf::rgb(255, 0, 0));
    w.selectObject(brush);
    for (wmf::Rop2 rop : {wmf::R2_XORPEN, wmf::R2_NOT, wmf::R2_NOP, wmf::R2_BLACK, wmf::R2_MASKPEN, wmf::R2_COPYPEN})
        w.setRop2(rop).rectangle({10, 10, 60, 60});
    for (std::uint32_t rop : {wmf::PATCOPY, wmf::PATINVERT, wmf::DSTINVERT, wmf::BLACKNESS, wmf::WHITENESS})
        w.patBlt(40, 40, 50, 50, rop);
    w.escape(15, {1, 2, 3});
}

void plain(WmfWriter &w)
{
    const int pen = w.createPen(wmf::PS_NULL, 0, 0);
    const int brush = w.createBrush(wmf::BS_SOLID, wmf::rgb(0, 0, 200));
    w.selectObject(pen).selectObject(brush).rectangle({-20, -10, 30, 40}).polygon({{0, 0}, {60, 10}, {10, 60}});
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: tarvenko-wmf-samples FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::vector<std::pair<const char *, std::function<void(WmfWriter &)>>> samples = {
        {"shapes", shapes}, {"text", text}, {"bitmaps", bitmaps}, {"mapping", mapping},
        {"objects", objects}, {"rops", rops}, {"plain", plain},
    };
    try {
        std::filesystem::create_directories(folder);
        for (const auto &[name, write] : samples) {
            WmfWriter w;
            write(w);
            w.save((folder / (std::string(name) + ".wmf")).string());
        }
    } catch (const std::exception &e) {
        std::cerr << "tarvenko-wmf-samples: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
