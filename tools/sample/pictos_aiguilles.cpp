#include "tools/sample/pictos.h"

#include <algorithm>
#include <cmath>

#include "tools/sample/pictos_outils.h"

namespace tarvenko::sample {

using namespace outils;

void brinAiguilles(Toile &t, const Theme &th, const std::string &g, Couleur c)
{
    const Pt a{90, 640}, b{910, 420};
    const auto surRameau = [&](double u) { return Pt{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u}; };
    const double angleRameau = std::atan2(b.y - a.y, b.x - a.x) * 180 / kPi;
    // The spray as pieces, bottom first: strokes (the twig, the needles) and round sheaths.
    struct Piece {
        Role role;
        Couleur couleur;
        Pt o, f;
        double largeur; // of a stroke from o to f; for a sheath, its radius round o
        bool gaine;
    };
    std::vector<Piece> pieces{{Role::Rameau, nat::rameau, a, b, 26, false}};
    const auto aiguille = [&](Pt o, double angle, double l, double w) {
        const Pt d = tourne({l, 0}, angle);
        pieces.push_back({Role::Aiguille, c, o, {o.x + d.x, o.y + d.y}, w, false});
    };
    const auto gaine = [&](Pt o, double r) { pieces.push_back({Role::Attache, nat::brun, o, o, r, true}); };
    if (g == "single") {
        for (double u = 0.04; u < 0.98; u += 0.035)
            for (double sg : {-1.0, 1.0})
                aiguille(surRameau(u), angleRameau + sg * 62, 150, 16);
    } else if (g == "pairs" || g == "threes" || g == "fives") {
        const int n = g == "pairs" ? 2 : g == "threes" ? 3 : 5;
        const double l = g == "fives" ? 250 : 300;
        int k = 0;
        for (double u = 0.08; u < 0.95; u += 0.16, ++k) {
            const Pt o = surRameau(u);
            const double base = angleRameau + (k % 2 ? 55 : -55);
            gaine(o, 14);
            for (int i = 0; i < n; ++i)
                aiguille(o, base - 14 * (n - 1) / 2.0 + 14 * i, l, g == "fives" ? 9 : 13);
        }
    } else if (g == "tufts") {
        for (double u = 0.12; u < 0.95; u += 0.2) {
            const Pt o = surRameau(u);
            gaine(o, 22);
            for (int i = 0; i < 13; ++i)
                aiguille(o, angleRameau - 170 + 12.5 * i, 120, 9);
        }
    } else { // whorls
        for (double u = 0.1; u < 0.95; u += 0.14) {
            const Pt o = surRameau(u);
            for (double d : {-70.0, 70.0, -20.0})
                aiguille(o, angleRameau + d, 150, 18);
        }
    }
    // Long needles near the tip reach past the box: then the whole spray is shrunk into it,
    // centred, so that it never spills out of its card.
    double x1 = 1e9, y1 = 1e9, x2 = -1e9, y2 = -1e9;
    for (const Piece &p : pieces) {
        const double r = p.gaine ? p.largeur : p.largeur / 2;
        x1 = std::min({x1, p.o.x - r, p.f.x - r});
        y1 = std::min({y1, p.o.y - r, p.f.y - r});
        x2 = std::max({x2, p.o.x + r, p.f.x + r});
        y2 = std::max({y2, p.o.y + r, p.f.y + r});
    }
    constexpr double bord = 20;
    t.empile();
    if (x1 < bord || y1 < bord || x2 > 1000 - bord || y2 > 1000 - bord) {
        const double k = std::min({1.0, (1000 - 2 * bord) / (x2 - x1), (1000 - 2 * bord) / (y2 - y1)});
        t.translate(500, 500);
        t.echelle(k, k);
        t.translate(-(x1 + x2) / 2, -(y1 + y2) / 2);
    }
    for (const Piece &p : pieces) {
        plein(t, th, p.role, p.couleur);
        if (p.gaine)
            rond(t, p.o, p.largeur);
        else
            t.trait({p.o, p.f}, p.largeur);
    }
    t.depile();
}

void rameauEcailles(Toile &t, const Theme &th, const std::string &forme, Couleur c)
{
    plein(t, th, Role::Ecaille, c);
    if (forme == "feathery") {
        for (int k = 0; k < 5; ++k) {
            const double x0 = 300 + 100 * k;
            const std::vector<Pt> brin = courbe({x0, 120}, {x0 + 160, 380}, {x0 - 40, 900}, 20);
            t.trait(brin, 10);
            for (std::size_t i = 2; i < brin.size(); i += 2)
                for (double sg : {-1.0, 1.0})
                    t.trait({brin[i], {brin[i].x + sg * 50, brin[i].y + 40}}, 5);
        }
        return;
    }
    const bool plat = forme == "flat";
    const double w = plat ? 34 : 30;
    const auto branche = [&](Pt o, Pt f) {
        // A chain of scale leaves: small rhombi along the branch.
        const double l = std::hypot(f.x - o.x, f.y - o.y);
        const int n = std::max(2, static_cast<int>(l / (w * 1.1)));
        for (int i = 0; i < n; ++i) {
            const double u0 = static_cast<double>(i) / n, u1 = (i + 1.0) / n;
            const Pt p0{o.x + (f.x - o.x) * u0, o.y + (f.y - o.y) * u0}, p1{o.x + (f.x - o.x) * u1, o.y + (f.y - o.y) * u1};
            const double nx = -(f.y - o.y) / l * w / 2, ny = (f.x - o.x) / l * w / 2;
            const Pt m{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
            t.style(th.fond(Role::Ecaille, c), th.contour(Role::Ecaille, c), 3);
            t.polygone({p0, {m.x + nx, m.y + ny}, {p1.x + (p1.x - p0.x) * 0.2, p1.y + (p1.y - p0.y) * 0.2}, {m.x - nx, m.y - ny}});
        }
    };
    if (plat) {
        const Pt o{180, 880}, f{820, 140};
        branche(o, f);
        for (int i = 1; i <= 5; ++i) {
            const double u = i / 6.5;
            const Pt p{o.x + (f.x - o.x) * u, o.y + (f.y - o.y) * u};
            const double sg = i % 2 ? 1 : -1;
            const Pt q = {p.x + sg * 230 * (1 - u * 0.5) + 120, p.y + sg * 60 + 70};
            branche(p, q);
            const Pt m{(p.x + q.x) / 2, (p.y + q.y) / 2};
            branche(m, {m.x + 60, m.y - sg * 110});
        }
    } else {
        const Pt o{500, 900};
        for (double a : {-150.0, -115.0, -85.0, -60.0, -30.0}) {
            const Pt d = tourne({380, 0}, a);
            const Pt f{o.x + d.x, o.y + d.y};
            branche(o, f);
            const Pt m{(o.x + f.x) / 2, (o.y + f.y) / 2};
            const Pt e = tourne({160, 0}, a + 35);
            branche(m, {m.x + e.x, m.y + e.y});
        }
    }
}

void coupeAiguille(Toile &t, const Theme &th, const std::string &f)
{
    const Couleur c = nat::aiguille;
    t.style(th.fond(Role::CoupeAiguille, c), th.contour(Role::CoupeAiguille, c), 8);
    if (f == "flatbands" || f == "flatgreen") {
        t.polygone({{150, 440}, {500, 380}, {850, 440}, {880, 500}, {850, 560}, {500, 620}, {150, 560}, {120, 500}});
        if (f == "flatbands") {
            plein(t, th, Role::CoupeAiguille, nat::blanc);
            t.rectangle(260, 545, 450, 580);
            t.rectangle(550, 545, 740, 580);
        }
    } else if (f == "square") {
        t.polygone({{500, 230}, {770, 500}, {500, 770}, {230, 500}});
    } else if (f == "halfround") {
        std::vector<Pt> p;
        for (int i = 0; i <= 24; ++i)
            p.push_back({500 + 330 * std::cos(kPi + kPi * i / 24), 600 + 330 * std::sin(kPi + kPi * i / 24)});
        t.polygone(p);
    } else if (f == "triangle") {
        // Three-sided: two flat faces meeting at an edge, the third face bulging, as a needle of a
        // bundle of three or five looks when cut.
        std::vector<Pt> p{{500, 220}};
        for (int i = 0; i <= 16; ++i) {
            const double a = kPi / 3 + kPi / 3 * i / 16;
            p.push_back({500 + 560 * std::cos(a), 220 + 560 * std::sin(a)});
        }
        t.polygone(p);
    } else {
        t.polygone({{500, 250}, {800, 700}, {200, 700}});
        plein(t, th, Role::CoupeAiguille, nat::blanc);
        t.polygone({{500, 330}, {560, 430}, {440, 430}});
    }
}

void attacheAiguille(Toile &t, const Theme &th, const std::string &a)
{
    plein(t, th, Role::Rameau, nat::rameau);
    t.trait({{500, 950}, {500, 50}}, 90);
    const Couleur c = nat::aiguille;
    if (a == "peg") {
        for (double y : {250.0, 450.0, 650.0, 850.0}) {
            plein(t, th, Role::Attache, nat::brun);
            t.polygone({{545, y}, {610, y - 40}, {615, y - 10}, {545, y + 25}});
        }
        plein(t, th, Role::Aiguille, c);
        t.trait({{610, 430}, {930, 220}}, 30);
    } else if (a == "disc") {
        for (double y : {250.0, 650.0, 850.0}) {
            plein(t, th, Role::Attache, nat::brun);
            t.ellipse({570, y}, 30, 40);
        }
        plein(t, th, Role::Aiguille, c);
        t.trait({{600, 430}, {930, 260}}, 30);
        plein(t, th, Role::Attache, nat::vert);
        t.ellipse({590, 440}, 42, 52);
    } else if (a == "sheath") {
        plein(t, th, Role::Aiguille, c);
        t.trait({{570, 480}, {900, 120}}, 22);
        t.trait({{570, 480}, {940, 200}}, 22);
        plein(t, th, Role::Attache, nat::brun);
        t.polygone({{540, 500}, {600, 440}, {680, 400}, {700, 430}, {620, 500}, {560, 530}});
    } else if (a == "decurrent") {
        plein(t, th, Role::Attache, nat::vert);
        for (double y : {300.0, 600.0}) {
            t.polygone({{545, y}, {600, y - 50}, {590, y + 160}, {545, y + 220}});
            plein(t, th, Role::Aiguille, c);
            t.trait({{595, y - 40}, {900, y - 220}}, 32);
            plein(t, th, Role::Attache, nat::vert);
        }
    } else if (a == "jointed") {
        // Needles in whorls, each standing out from a small swollen joint that stays on the twig.
        for (double y : {300.0, 620.0})
            for (double sg : {-1.0, 1.0}) {
                plein(t, th, Role::Attache, nat::brun);
                t.ellipse({500 + sg * 62, y}, 30, 30);
                plein(t, th, Role::Aiguille, c);
                t.trait({{500 + sg * 85, y - 10}, {500 + sg * 420, y - 190}}, 28);
            }
    } else {
        plein(t, th, Role::Attache, nat::brun);
        t.rectangle(540, 420, 660, 520);
        plein(t, th, Role::Aiguille, c);
        for (int i = 0; i < 9; ++i) {
            const Pt d = tourne({300, 0}, -80 + 15 * i);
            t.trait({{660, 440}, {660 + d.x, 440 + d.y}}, 14);
        }
    }
}

void aiguilleMesuree(Toile &t, const Theme &th, const std::string &l)
{
    const double lg = l == "lt1.5" ? 160 : l == "1.5-3" ? 330 : l == "3-6" ? 560 : 820;
    plein(t, th, Role::Aiguille, nat::aiguille);
    t.trait({{90, 380}, {90 + lg, 380}}, 26);
    plein(t, th, Role::TailleAiguille, rgb(230, 160, 60));
    t.rectangle(90, 470, 910, 560);
    plein(t, th, Role::TailleAiguille, nat::texte);
    for (int i = 0; i <= 10; ++i)
        t.rectangle(90 + 82 * i - 4, 470, 90 + 82 * i + 4, i % 5 == 0 ? 540 : 510);
    t.trait({{90, 430}, {90 + lg, 430}}, 8);
}

void cone(Toile &t, const Theme &th, const std::string &forme, const std::string &port)
{
    const double rx = forme == "cylinder" ? 110 : forme == "round" ? 210 : forme == "barrel" ? 170 : 150;
    const double ry = forme == "cylinder" ? 330 : forme == "round" ? 210 : forme == "barrel" ? 240 : 240;
    Pt c{500, 520};
    double angle = 0;
    Pt b0{80, 520}, b1{920, 520};
    if (port == "upright") {
        c = {500, 760 - ry};
        b0 = {60, 820};
        b1 = {940, 760};
    } else if (port == "hanging") {
        c = {500, 260 + ry};
        b0 = {60, 200};
        b1 = {940, 260};
    } else if (port == "spreading") {
        c = {520, 520};
        angle = -70;
        b0 = {60, 740};
        b1 = {560, 620};
    }
    if (!port.empty()) {
        plein(t, th, Role::ConeBranche, nat::rameau);
        t.trait({b0, b1}, 40);
        if (port == "upright" || port == "hanging")
            t.trait({{500, port == "upright" ? 790.0 : 230.0}, {500, port == "upright" ? c.y + ry : c.y - ry}}, 30);
    }
    t.empile();
    t.translate(c.x, c.y);
    t.tourne(angle);
    const Couleur col = nat::cone;
    rempli(t, th, Role::Cone, col);
    if (forme == "barrel")
        t.polygone({{-rx, -ry * 0.8}, {-rx * 0.8, -ry}, {rx * 0.8, -ry}, {rx, -ry * 0.8}, {rx, ry * 0.8}, {rx * 0.8, ry}, {-rx * 0.8, ry}, {-rx, ry * 0.8}});
    else
        t.ellipse({0, 0}, rx, ry);
    ombre(t, th, Role::Cone, col);
    const int rangs = static_cast<int>(ry / 45);
    for (int i = -rangs + 1; i < rangs; ++i) {
        const double y = i * 45.0;
        const double w = forme == "barrel" ? rx * 0.85 : rx * std::sqrt(std::max(0.0, 1 - (y / ry) * (y / ry))) * 0.9;
        for (double x = -w + 30; x <= w - 20; x += 60)
            t.polygone({{x - 26 + (i % 2 ? 30 : 0), y + 14}, {x + (i % 2 ? 30 : 0), y - 12}, {x + 26 + (i % 2 ? 30 : 0), y + 14}});
    }
    t.depile();
}

} // namespace tarvenko::sample
