#include "tools/sample/pictos.h"

#include <algorithm>
#include <cmath>

#include "tools/sample/pictos_outils.h"

namespace tarvenko::sample {

using namespace outils;

Couleur couleurEcorce(const std::string &m)
{
    if (m == "peeling")
        return rgb(236, 232, 222);
    if (m == "furrowed")
        return rgb(110, 88, 66);
    if (m == "scaly")
        return rgb(170, 96, 60);
    if (m == "patches")
        return rgb(170, 168, 120);
    if (m == "fibrous")
        return rgb(160, 84, 56);
    if (m == "bands")
        return rgb(150, 90, 70);
    return rgb(150, 150, 142);
}

void ecorce(Toile &t, const Theme &th, const std::string &m, Couleur c)
{
    rempli(t, th, Role::Ecorce, c, 10);
    t.rectangle(0, 0, 1000, 1000);
    const Couleur fonce = assombrit(c, 0.55);
    const auto trace = [&](Couleur k) { t.styleSeul(th.palette() ? th.contour(Role::Ecorce, c) : k); };
    if (m == "smooth") {
        trace(fonce);
        for (int i = 0; i < 6; ++i)
            t.ellipse({200.0 + 130 * (i % 3) + 80 * (i / 3), 250.0 + 280 * (i / 2)}, 40, 8);
    } else if (m == "bands") {
        trace(fonce);
        for (int r = 0; r < 8; ++r)
            for (int k = 0; k < 4; ++k)
                t.rectangle(60 + 240 * k + (r % 2) * 100, 80 + 115 * r, 200 + 240 * k + (r % 2) * 100, 100 + 115 * r);
    } else if (m == "peeling") {
        t.styleSeul(th.fond(Role::Ecorce, rgb(60, 56, 54)));
        for (Pt p : {Pt{250, 300}, Pt{700, 520}, Pt{350, 780}})
            t.polygone({{p.x - 90, p.y}, {p.x, p.y - 40}, {p.x + 90, p.y}, {p.x, p.y + 40}});
        trace(rgb(200, 180, 160));
        for (double y : {150.0, 450.0, 650.0})
            t.polygone({{520, y}, {860, y - 20}, {880, y + 30}, {780, y + 70}, {640, y + 40}});
    } else if (m == "furrowed") {
        trace(fonce);
        for (int k = 0; k < 6; ++k) {
            std::vector<Pt> f;
            for (int i = 0; i <= 20; ++i)
                f.push_back({90 + 165 * k + 40 * std::sin(i * 0.9 + k), 50.0 * i});
            t.trait(f, 34);
        }
    } else if (m == "scaly" || m == "patches") {
        t.styleSeul(m == "scaly" ? th.contour(Role::Ecorce, c) : th.fond(Role::Ecorce, rgb(200, 196, 150)));
        if (m == "scaly")
            t.rectangle(0, 0, 1000, 1000);
        const Couleur tons[] = {c, m == "scaly" ? melange(c, nat::blanc, 0.15) : rgb(236, 232, 222), m == "scaly" ? c : rgb(140, 150, 130)};
        for (int r = 0; r < 5; ++r)
            for (int k = 0; k < (r % 2 ? 3 : 4); ++k) {
                const double x = 30 + 240 * k + (r % 2) * 120, y = 20 + 200 * r;
                t.styleSeul(th.fond(Role::Ecorce, tons[(r + k) % 3]));
                t.polygone({{x + 20, y + 10}, {x + 180, y}, {x + 205, y + 90}, {x + 170, y + 175}, {x + 10, y + 170}, {x - 5, y + 80}});
            }
    } else if (m == "fibrous") {
        for (int k = 0; k < 14; ++k) {
            t.styleSeul(k % 2 ? th.contour(Role::Ecorce, c) : th.fond(Role::Ecorce, melange(c, nat::blanc, 0.2)));
            std::vector<Pt> f;
            for (int i = 0; i <= 10; ++i)
                f.push_back({40 + 70 * k + 20 * std::sin(i * 0.7 + k * 1.3), 100.0 * i});
            t.trait(f, 26);
        }
    } else if (m == "fluted") {
        for (int k = 0; k < 5; ++k) {
            t.styleSeul(th.fond(Role::Ecorce, melange(c, nat::blanc, 0.25)));
            std::vector<Pt> f;
            for (int i = 0; i <= 10; ++i)
                f.push_back({100 + 200 * k + 30 * std::sin(i * 0.5 + k), 100.0 * i});
            t.trait(f, 70);
        }
    }
}

void bourgeon(Toile &t, const Theme &th, const std::string &g)
{
    plein(t, th, Role::Rameau, nat::rameau);
    t.trait({{500, 980}, {500, 360}}, 60);
    const auto bouton = [&](Pt base, double angle, double l, double w, Couleur c) {
        t.empile();
        t.translate(base.x, base.y);
        t.tourne(angle);
        rempli(t, th, Role::Bourgeon, c, 5);
        t.polygone({{-w, 0}, {-w * 1.05, -l * 0.45}, {-w * 0.5, -l * 0.85}, {0, -l}, {w * 0.5, -l * 0.85}, {w * 1.05, -l * 0.45}, {w, 0}});
        t.depile();
    };
    const Couleur brun = rgb(150, 90, 50);
    if (g == "pointed") {
        bouton({500, 370}, 0, 330, 38, brun);
        bouton({525, 700}, 35, 250, 30, brun);
    } else if (g == "clustered") {
        for (double a : {-40.0, -15.0, 15.0, 40.0})
            bouton({500, 380}, a, 150, 45, brun);
        bouton({500, 370}, 0, 180, 50, brun);
    } else if (g == "sticky") {
        bouton({500, 370}, 0, 300, 90, rgb(110, 40, 30));
        plein(t, th, Role::Bourgeon, rgb(230, 200, 190));
        t.ellipse({470, 200}, 18, 60);
    } else if (g == "black") {
        bouton({500, 370}, 0, 140, 70, rgb(30, 30, 30));
        bouton({470, 620}, -70, 100, 50, rgb(30, 30, 30));
        bouton({530, 620}, 70, 100, 50, rgb(30, 30, 30));
    } else if (g == "cap") {
        bouton({525, 560}, 12, 230, 45, rgb(190, 110, 60));
        bouton({500, 370}, 0, 200, 45, rgb(190, 110, 60));
    } else if (g == "plump") {
        for (auto [p, r] : {std::pair{Pt{500, 300}, 90.0}, std::pair{Pt{580, 620}, 70.0}}) {
            rempli(t, th, Role::Bourgeon, rgb(180, 60, 50), 5);
            t.ellipse(p, r, r * 1.2);
        }
    } else if (g == "green") {
        bouton({500, 370}, 0, 200, 75, rgb(90, 160, 60));
        bouton({470, 660}, -60, 120, 50, rgb(90, 160, 60));
        bouton({530, 660}, 60, 120, 50, rgb(90, 160, 60));
    } else if (g == "stalked") {
        plein(t, th, Role::Rameau, nat::rameau);
        t.trait({{500, 370}, {500, 280}}, 26);
        t.trait({{520, 650}, {640, 560}}, 22);
        rempli(t, th, Role::Bourgeon, rgb(120, 70, 120), 5);
        t.ellipse({500, 180}, 60, 110);
        t.ellipse({680, 500}, 50, 90);
    } else {
        rempli(t, th, Role::Bourgeon, rgb(140, 120, 80), 4);
        t.ellipse({545, 600}, 22, 22);
        plein(t, th, Role::Bourgeon, rgb(90, 70, 50));
        t.polygone({{530, 640}, {600, 620}, {590, 660}});
    }
}

void epines(Toile &t, const Theme &th, const std::string &g)
{
    if (g == "twigs") {
        for (auto [o, a] : {std::pair{Pt{470, 700}, -135.0}, std::pair{Pt{530, 500}, -40.0}, std::pair{Pt{470, 850}, -150.0}}) {
            const Pt d = tourne({260, 0}, a);
            plein(t, th, Role::Epine, rgb(90, 60, 40));
            t.polygone({{o.x, o.y - 22}, {o.x + d.x, o.y + d.y}, {o.x, o.y + 22}});
        }
    } else if (g == "paired") {
        for (double y : {520.0, 760.0})
            for (double sg : {-1.0, 1.0}) {
                plein(t, th, Role::Epine, rgb(110, 50, 40));
                t.polygone({{500 + sg * 25, y - 18}, {500 + sg * 150, y - 80}, {500 + sg * 25, y + 18}});
            }
    }
}

void jeuneRameau(Toile &t, const Theme &th, const std::string &g)
{
    const Couleur c = g == "green" ? nat::vert : g == "red" ? rgb(170, 60, 50) : g == "yellow" ? rgb(222, 190, 60) : g == "felted" ? rgb(232, 230, 222) : nat::rameau;
    if (g == "felted") {
        // A grey rim keeps the white felt visible on a white card.
        plein(t, th, Role::Rameau, rgb(170, 166, 156));
        t.trait({{150, 900}, {850, 100}}, 104);
    }
    plein(t, th, Role::Rameau, c);
    t.trait({{150, 900}, {850, 100}}, g == "felted" ? 92 : 80);
    if (g == "corky") {
        plein(t, th, Role::Rameau, rgb(180, 150, 110));
        t.trait({{180, 820}, {790, 120}}, 26);
        t.trait({{230, 900}, {840, 200}}, 26);
    } else if (g == "warty") {
        plein(t, th, Role::Rameau, nat::blanc);
        for (double u = 0.1; u < 0.95; u += 0.09)
            rond(t, {150 + 700 * u + (static_cast<int>(u * 100) % 2 ? 20 : -20), 900 - 800 * u}, 14);
    } else if (g == "hairy") {
        plein(t, th, Role::Rameau, rgb(210, 200, 180));
        for (double u = 0.05; u < 0.97; u += 0.03)
            for (double sg : {-1.0, 1.0}) {
                const Pt p{150 + 700 * u, 900 - 800 * u};
                t.trait({{p.x + sg * 30, p.y + sg * 30}, {p.x + sg * 70, p.y + sg * 50}}, 6);
            }
    }
}

std::vector<Pt> contourCouronne(const std::string &port, bool conifere)
{
    // Crowns in a 1000 x 1000 box whose bottom is the ground; the trunk is drawn separately.
    std::vector<Pt> p;
    const auto bosselle = [&](Pt c, double rx, double ry, double debut, double fin, int bosses, double ampl) {
        for (int i = 0; i <= 90; ++i) {
            const double a = debut + (fin - debut) * i / 90;
            const double r = 1 + ampl * std::abs(std::sin(a * bosses / 2));
            p.push_back({c.x + rx * r * std::cos(a), c.y + ry * r * std::sin(a)});
        }
    };
    if (port == "conical" || (conifere && port.empty())) {
        const double h0 = 60, h1 = 820;
        for (int i = 0; i <= 8; ++i) {
            const double y = h0 + (h1 - h0) * i / 8, w = 40 + 330 * i / 8.0;
            p.push_back({500 + w, y + 40});
            p.push_back({500 + w * 0.7, y + 45});
        }
        for (int i = 8; i >= 0; --i) {
            const double y = h0 + (h1 - h0) * i / 8, w = 40 + 330 * i / 8.0;
            p.push_back({500 - w * 0.7, y + 45});
            p.push_back({500 - w, y + 40});
        }
        p.insert(p.begin(), Pt{500, 20});
        return p;
    }
    if (port == "columnar") {
        bosselle({500, 440}, 150, 420, -kPi, kPi, conifere ? 30 : 18, 0.08);
        return p;
    }
    if (port == "oval") {
        bosselle({500, 430}, 300, 390, -kPi, kPi, 14, 0.06);
        return p;
    }
    if (port == "spreading") {
        bosselle({500, 380}, 470, 220, -kPi, 0, 14, 0.07);
        p.push_back({700, 470});
        p.push_back({300, 470});
        return p;
    }
    if (port == "weeping") {
        bosselle({500, 430}, 380, 300, -kPi, 0, 12, 0.06);
        for (int i = 0; i <= 12; ++i)
            p.push_back({880 - 63.0 * i, i % 2 ? 620.0 : 860.0});
        return p;
    }
    if (port == "irregular") {
        for (auto [c, r] : {std::pair{Pt{330, 420}, 200.0}, std::pair{Pt{620, 300}, 230.0}, std::pair{Pt{700, 560}, 170.0},
                            std::pair{Pt{430, 620}, 180.0}})
            bosselle(c, r, r * 0.9, -kPi, kPi, 10, 0.07);
        return {};
    }
    if (port == "shrubby") {
        bosselle({500, 620}, 430, 300, -kPi, 0.05, 14, 0.08);
        p.push_back({70, 700});
        return p;
    }
    bosselle({500, 420}, 400, 360, -kPi, kPi, 14, 0.06); // rounded
    return p;
}

void arbre(Toile &t, const Theme &th, const std::string &port, bool conifere, Couleur couronne, Couleur tronc, bool visible)
{
    const Role rc = conifere ? Role::Conifere : Role::Couronne;
    if (visible) {
        rempli(t, th, Role::Ecorce, tronc, 5);
        if (port == "shrubby") {
            for (double d : {-120.0, 0.0, 120.0})
                t.polygone({{500 + d - 25, 1000}, {500 + d * 1.6 - 14, 640}, {500 + d * 1.6 + 14, 640}, {500 + d + 25, 1000}});
        } else {
            const double w = port == "columnar" ? 28 : 45;
            t.polygone({{500 - w * 1.5, 1000}, {500 - w, 900}, {500 - w * 0.6, 400}, {500 + w * 0.6, 400}, {500 + w, 900}, {500 + w * 1.5, 1000}});
        }
    }
    rempli(t, th, rc, couronne, 6);
    if (port == "irregular") {
        for (auto [c, r] : {std::pair{Pt{330, 420}, 200.0}, std::pair{Pt{620, 300}, 230.0}, std::pair{Pt{700, 560}, 170.0},
                            std::pair{Pt{430, 620}, 180.0}, std::pair{Pt{520, 480}, 200.0}})
            t.ellipse(c, r, r * 0.9);
    } else {
        t.polygone(contourCouronne(port, conifere));
    }
}

void paysage(Toile &t, const Theme &th, const std::string &h)
{
    const Couleur ciel = h == "dry" ? rgb(200, 226, 246) : nat::ciel;
    plein(t, th, Role::Ciel, ciel);
    t.rectangle(0, 0, 1000, 700);
    if (h == "mountains") {
        plein(t, th, Role::Ciel, rgb(150, 160, 190));
        t.polygone({{0, 700}, {180, 330}, {330, 520}, {520, 220}, {720, 560}, {860, 380}, {1000, 520}, {1000, 700}});
        plein(t, th, Role::Ciel, nat::blanc);
        t.polygone({{520, 220}, {567, 294}, {540, 285}, {518, 305}, {495, 286}, {474, 296}});
    }
    if (h == "dry") {
        plein(t, th, Role::Regle, nat::jaune);
        rond(t, {830, 170}, 90);
    }
    const Couleur sol = h == "dry" || h == "coast" ? rgb(222, 206, 150) : nat::herbe;
    plein(t, th, Role::Sol, sol);
    t.rectangle(0, 700, 1000, 1000);
    if (h == "coast") {
        plein(t, th, Role::Ciel, rgb(90, 150, 220));
        t.rectangle(0, 640, 1000, 760);
    }
    if (h == "wet") {
        plein(t, th, Role::Ciel, rgb(90, 150, 220));
        t.polygone({{0, 880}, {300, 820}, {650, 860}, {1000, 800}, {1000, 900}, {650, 950}, {300, 920}, {0, 970}});
    }
    if (h == "woods") {
        plein(t, th, Role::Couronne, rgb(70, 130, 60));
        for (double x : {100.0, 220.0, 780.0, 900.0})
            t.ellipse({x, 640}, 80, 100);
    }
    if (h == "parks") {
        plein(t, th, Role::Sol, rgb(222, 206, 150));
        t.polygone({{380, 1000}, {470, 700}, {530, 700}, {700, 1000}});
    }
}

void regle(Toile &t, const Theme &th, int graduations)
{
    rempli(t, th, Role::Regle, rgb(240, 200, 70), 4);
    t.rectangle(300, 0, 700, 1000);
    ombre(t, th, Role::Regle, rgb(240, 200, 70));
    for (int i = 0; i <= graduations; ++i) {
        const double y = 1000.0 * i / graduations;
        t.rectangle(300, y - 8, i % 2 ? 500 : 620, y + 8);
    }
}

} // namespace tarvenko::sample
