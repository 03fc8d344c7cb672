#include "tools/sample/pictos.h"

#include <algorithm>
#include <cmath>

#include "tools/sample/pictos_outils.h"

namespace tarvenko::sample {

using namespace outils;

Couleur couleurFruit(const std::string &g)
{
    if (g == "acorn" || g == "nut" || g == "husk" || g == "pod" || g == "ball" || g == "cone")
        return nat::brun;
    if (g == "winged" || g == "catkin" || g == "capsule")
        return rgb(190, 170, 90);
    if (g == "berry" || g == "stone")
        return nat::rouge;
    if (g == "apple")
        return rgb(200, 180, 50);
    return nat::brun;
}

void fruit(Toile &t, const Theme &th, const std::string &g, Couleur c)
{
    const Couleur tige = nat::bois;
    const auto queue = [&](Pt a, Pt b) {
        plein(t, th, Role::Fruit, tige);
        t.trait({a, b}, 16);
    };
    if (g == "acorn") {
        queue({500, 60}, {500, 330});
        rempli(t, th, Role::Fruit, c);
        t.ellipse({500, 600}, 170, 260);
        rempli(t, th, Role::Fruit, assombrit(c, 0.7));
        std::vector<Pt> cupule = pointsEllipse({500, 420}, 200, 150, 40);
        t.polygone(sousLigne(cupule, 360));
        t.polygone(sousLigne(pointsEllipse({500, 380}, 200, 120, 40), 380));
        ombre(t, th, Role::Fruit, assombrit(c, 0.7));
        for (double x = 340; x <= 660; x += 40)
            t.trait({{x, 390}, {x + 20, 530}}, 6);
    } else if (g == "nut") {
        queue({500, 80}, {500, 260});
        rempli(t, th, Role::Fruit, c);
        t.ellipse({500, 560}, 230, 250);
        rempli(t, th, Role::Fruit, nat::vert);
        t.polygone({{250, 420}, {330, 250}, {400, 330}, {500, 230}, {600, 330}, {670, 250}, {750, 420}, {620, 380}, {500, 420}, {380, 380}});
    } else if (g == "husk") {
        rempli(t, th, Role::Fruit, rgb(170, 180, 70));
        std::vector<Pt> etoile;
        for (int i = 0; i < 80; ++i) {
            const double r = i % 2 ? 330 : 270;
            etoile.push_back({500 + r * std::cos(2 * kPi * i / 80), 520 + r * std::sin(2 * kPi * i / 80)});
        }
        t.polygone(etoile);
        rempli(t, th, Role::Fruit, c);
        t.ellipse({430, 470}, 110, 140);
        t.ellipse({580, 500}, 110, 140);
    } else if (g == "winged") {
        rempli(t, th, Role::Fruit, c);
        for (double sg : {-1.0, 1.0}) {
            t.polygone({{500, 560}, {500 + sg * 110, 520}, {500 + sg * 380, 260}, {500 + sg * 430, 180}, {500 + sg * 330, 200}, {500 + sg * 60, 460}});
            t.ellipse({500 + sg * 95, 560}, 85, 70);
        }
        queue({500, 560}, {500, 900});
    } else if (g == "cone") {
        cone(t, th, "egg", "hanging");
    } else if (g == "catkin") {
        queue({500, 60}, {500, 200});
        rempli(t, th, Role::Fruit, c);
        t.ellipse({500, 540}, 110, 360);
        ombre(t, th, Role::Fruit, c);
        for (double y = 250; y < 850; y += 60)
            for (double x : {440.0, 500.0, 560.0})
                t.ellipse({x + (static_cast<int>(y / 60) % 2 ? 15 : -15), y}, 18, 12);
    } else if (g == "berry") {
        queue({500, 60}, {500, 330});
        for (Pt p : {Pt{500, 330}, Pt{380, 420}, Pt{620, 420}}) {
            queue({500, 300}, p);
        }
        rempli(t, th, Role::Fruit, c);
        for (Pt p : {Pt{380, 480}, Pt{620, 480}, Pt{500, 420}, Pt{440, 640}, Pt{580, 640}, Pt{500, 800}})
            rond(t, p, 110);
    } else if (g == "stone") {
        queue({500, 60}, {330, 560});
        queue({500, 60}, {680, 520});
        rempli(t, th, Role::Fruit, c);
        rond(t, {330, 660}, 150);
        rond(t, {680, 620}, 150);
        plein(t, th, Role::Fruit, melange(c, nat::blanc, 0.5));
        rond(t, {290, 610}, 30);
        rond(t, {640, 570}, 30);
    } else if (g == "apple") {
        queue({500, 80}, {500, 320});
        rempli(t, th, Role::Fruit, c);
        std::vector<Pt> pomme;
        for (int i = 0; i < 60; ++i) {
            const double a = 2 * kPi * i / 60;
            const double r = 300 * (1 - 0.12 * std::pow(std::max(0.0, -std::sin(a)), 8));
            pomme.push_back({500 + r * std::cos(a), 580 + r * 0.9 * std::sin(a) - (std::abs(std::cos(a)) < 0.2 && std::sin(a) < 0 ? 40 : 0)});
        }
        t.polygone(pomme);
        plein(t, th, Role::Fruit, nat::feuille);
        t.polygone({{510, 280}, {640, 180}, {720, 220}, {620, 300}});
        ombre(t, th, Role::Fruit, c);
        rond(t, {500, 840}, 22);
    } else if (g == "pod") {
        queue({120, 200}, {200, 260});
        rempli(t, th, Role::Fruit, c);
        std::vector<Pt> haut = courbe({180, 250}, {520, 700}, {900, 700}, 20);
        std::vector<Pt> bas = courbe({900, 800}, {500, 820}, {160, 330}, 20);
        haut.insert(haut.end(), bas.begin(), bas.end());
        t.polygone(haut);
        ombre(t, th, Role::Fruit, c);
        for (double u : {0.3, 0.45, 0.6, 0.75, 0.9}) {
            const Pt p{180 + 720 * u, 300 + 460 * std::sqrt(u)};
            t.ellipse(p, 35, 25);
        }
    } else if (g == "capsule") {
        queue({500, 60}, {500, 300});
        rempli(t, th, Role::Fruit, c);
        for (double a : {-40.0, 0.0, 40.0}) {
            t.empile();
            t.translate(500, 320);
            t.tourne(a);
            t.polygone({{0, 0}, {-110, 180}, {-80, 420}, {0, 480}, {80, 420}, {110, 180}});
            t.depile();
        }
        plein(t, th, Role::Fruit, nat::blanc);
        for (Pt p : {Pt{300, 780}, Pt{700, 780}, Pt{500, 860}})
            t.ellipse(p, 90, 50);
    } else if (g == "ball") {
        queue({500, 40}, {500, 300});
        queue({500, 300}, {330, 520});
        queue({500, 300}, {680, 640});
        rempli(t, th, Role::Fruit, c);
        rond(t, {330, 580}, 150);
        rond(t, {680, 720}, 150);
        ombre(t, th, Role::Fruit, c);
        for (int i = 0; i < 16; ++i) {
            const double a = 2 * kPi * i / 16;
            t.ellipse({330 + 110 * std::cos(a), 580 + 110 * std::sin(a)}, 14, 14);
            t.ellipse({680 + 110 * std::cos(a), 720 + 110 * std::sin(a)}, 14, 14);
        }
    }
}

void fleur(Toile &t, const Theme &th, const std::string &g)
{
    plein(t, th, Role::Fleur, nat::bois);
    if (g == "catkin") {
        t.trait({{100, 200}, {900, 160}}, 20);
        for (double x : {280.0, 520.0, 760.0}) {
            rempli(t, th, Role::Fleur, nat::jaune);
            t.ellipse({x, 460}, 55, 260);
            plein(t, th, Role::Fleur, nat::bois);
            t.trait({{x, 180}, {x, 220}}, 14);
        }
    } else if (g == "small") {
        t.trait({{500, 950}, {500, 300}}, 18);
        rempli(t, th, Role::Fleur, rgb(170, 200, 90));
        for (int i = 0; i < 9; ++i) {
            const double a = 2 * kPi * i / 9;
            rond(t, {500 + 150 * std::cos(a), 300 + 120 * std::sin(a)}, 50);
        }
        rond(t, {500, 300}, 60);
    } else if (g == "rose") {
        rempli(t, th, Role::Fleur, nat::blanc);
        for (int i = 0; i < 5; ++i) {
            const Pt d = tourne({0, -220}, 72.0 * i);
            t.ellipse({500 + d.x, 500 + d.y}, 150, 150);
        }
        rempli(t, th, Role::Fleur, nat::jaune);
        rond(t, {500, 500}, 90);
        plein(t, th, Role::Fleur, rgb(180, 60, 90));
        for (int i = 0; i < 10; ++i) {
            const Pt d = tourne({0, -120}, 36.0 * i);
            rond(t, {500 + d.x, 500 + d.y}, 16);
        }
    } else if (g == "showy") {
        t.trait({{500, 950}, {500, 820}}, 24);
        rempli(t, th, Role::Fleur, nat::rose);
        for (int r = 0; r < 6; ++r) {
            const double y = 790 - 115 * r;
            const double w = 260 - 40 * r;
            for (double x = -w; x <= w + 1; x += 90)
                rond(t, {500 + x, y}, 60);
        }
        plein(t, th, Role::Fleur, nat::blanc);
        for (int r = 0; r < 6; ++r) {
            const double y = 790 - 115 * r;
            const double w = 260 - 40 * r;
            for (double x = -w; x <= w + 1; x += 90)
                rond(t, {500 + x, y}, 30);
        }
    } else if (g == "pea") {
        t.trait({{500, 60}, {500, 900}}, 16);
        for (int i = 0; i < 6; ++i) {
            const double y = 180 + 130 * i;
            const double sg = i % 2 ? 1 : -1;
            rempli(t, th, Role::Fleur, nat::jaune);
            t.ellipse({500 + sg * 110, y}, 100, 70);
            t.ellipse({500 + sg * 160, y + 40}, 60, 50);
        }
    } else if (g == "cone") {
        t.trait({{100, 800}, {900, 300}}, 24);
        rempli(t, th, Role::Fleur, nat::jaune);
        for (double u : {0.3, 0.5, 0.7}) {
            const Pt p{100 + 800 * u, 800 - 500 * u};
            t.ellipse({p.x - 60, p.y - 110}, 45, 80);
            t.ellipse({p.x + 70, p.y + 40}, 45, 80);
        }
    } else {
        // No kind chosen: a spray with a blossom and a catkin.
        t.trait({{120, 900}, {700, 300}}, 18);
        rempli(t, th, Role::Fleur, nat::rose);
        for (int i = 0; i < 5; ++i) {
            const Pt d = tourne({0, -130}, 72.0 * i);
            t.ellipse({700 + d.x, 300 + d.y}, 90, 90);
        }
        rempli(t, th, Role::Fleur, nat::jaune);
        rond(t, {700, 300}, 60);
        t.ellipse({330, 620}, 40, 170);
    }
}

} // namespace tarvenko::sample
