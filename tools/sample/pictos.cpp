#include "tools/sample/pictos.h"

#include <algorithm>
#include <cmath>

#include "tools/sample/pictos_outils.h"

namespace tarvenko::sample {

using namespace outils;

namespace {

double frac(double v) { return v - std::floor(v); }

// t^a (1 - t)^b scaled so that its maximum is 1.
double bosse(double t, double a, double b)
{
    if (t <= 0 || t >= 1)
        return 0;
    const double p = a / (a + b);
    return std::pow(t, a) * std::pow(1 - t, b) / (std::pow(p, a) * std::pow(1 - p, b));
}

double profil(const std::string &forme, double t)
{
    if (forme == "narrow")
        return 0.15 * bosse(t, 0.75, 1.0);
    if (forme == "elliptic")
        return 0.29 * bosse(t, 0.5, 0.5);
    if (forme == "obovate")
        return 0.33 * bosse(t, 0.9, 0.45);
    if (forme == "round")
        return 0.45 * bosse(t, 0.5, 0.5);
    if (forme == "triangular")
        return 0.46 * std::pow(1 - t, 1.05) * std::min(1.0, std::sqrt(t / 0.05));
    if (forme == "heart")
        return 0.43 * bosse(t, 0.4, 0.85);
    return 0.36 * bosse(t, 0.5, 0.9); // ovate
}

double dent(const std::string &marge, double s)
{
    if (marge == "toothed")
        return 0.022 * frac(s / 0.05);
    if (marge == "double")
        return 0.03 * frac(s / 0.1) + 0.011 * frac(s / 0.033);
    if (marge == "wavy")
        return 0.022 * std::sin(2 * kPi * s / 0.17);
    if (marge == "spiny")
        return 0.08 * std::pow(std::abs(std::cos(kPi * s / 0.17)), 8) - 0.02;
    return 0;
}

// Adds teeth along one side, from base to tip, pushing points along the outward normal.
std::vector<Pt> dentele(const std::vector<Pt> &cote, const std::string &marge, double signe)
{
    if (marge == "entire" || cote.size() < 3)
        return cote;
    std::vector<Pt> out;
    double s = 0;
    const double total = [&] {
        double l = 0;
        for (std::size_t i = 1; i < cote.size(); ++i)
            l += std::hypot(cote[i].x - cote[i - 1].x, cote[i].y - cote[i - 1].y);
        return l;
    }();
    for (std::size_t i = 0; i < cote.size(); ++i) {
        if (i > 0)
            s += std::hypot(cote[i].x - cote[i - 1].x, cote[i].y - cote[i - 1].y);
        const Pt a = cote[i == 0 ? 0 : i - 1], b = cote[i + 1 < cote.size() ? i + 1 : i];
        double nx = (b.y - a.y) * signe, ny = -(b.x - a.x) * signe;
        const double n = std::hypot(nx, ny);
        if (n > 0) {
            nx /= n;
            ny /= n;
        }
        const double fondu = std::min(1.0, s / (0.12 * total)) * std::min(1.0, (total - s) / (0.08 * total));
        const double d = dent(marge, s) * fondu;
        out.push_back({cote[i].x + nx * d, cote[i].y + ny * d});
    }
    return out;
}

std::vector<Pt> ferme(std::vector<Pt> p)
{
    if (!p.empty())
        p.push_back(p.front());
    return p;
}

// Straight line from a to b with n intermediate points (for strokes).
std::vector<Pt> segment(Pt a, Pt b) { return {a, b}; }

} // namespace

const char *nomRole(Role r)
{
    switch (r) {
    case Role::Ciel: return "ciel";
    case Role::Sol: return "sol";
    case Role::Regle: return "regle";
    case Role::Couronne: return "couronne";
    case Role::Conifere: return "conifere";
    case Role::Ecorce: return "ecorce";
    case Role::CarteFeuille: return "carte_feuille";
    case Role::CarteFruit: return "carte_fruit";
    case Role::CarteRameau: return "carte_rameau";
    case Role::TypeFeuille: return "type_feuille";
    case Role::Limbe: return "limbe";
    case Role::Marge: return "marge";
    case Role::Nervure: return "nervure";
    case Role::Petiole: return "petiole";
    case Role::Base: return "base";
    case Role::Dessous: return "dessous";
    case Role::Axe: return "axe";
    case Role::Disposition: return "disposition";
    case Role::Lobe: return "lobe";
    case Role::Aiguille: return "aiguille";
    case Role::TailleAiguille: return "taille_aiguille";
    case Role::CoupeAiguille: return "coupe_aiguille";
    case Role::Attache: return "attache";
    case Role::Ecaille: return "ecaille";
    case Role::Fruit: return "fruit";
    case Role::CouleurFruit: return "couleur_fruit";
    case Role::TailleFruit: return "taille_fruit";
    case Role::Fleur: return "fleur";
    case Role::Cone: return "cone";
    case Role::ConeBranche: return "cone_branche";
    case Role::Bourgeon: return "bourgeon";
    case Role::Epine: return "epine";
    case Role::Rameau: return "rameau";
    case Role::Decor: return "decor";
    }
    return "";
}

std::vector<Pt> contourLimbe(const SpecFeuille &s)
{
    std::vector<Pt> droite, gauche;
    if (s.forme == "fan") {
        std::vector<Pt> arc;
        for (int i = 0; i <= 60; ++i) {
            const double a = -52 + 104.0 * i / 60;
            double r = 0.92 - 0.04 * std::cos(a * kPi / 180 * 6);
            if (s.lobes == "palmate" && std::abs(a) < 6)
                r -= 0.32 * (1 - std::abs(a) / 6);
            arc.push_back({r * std::sin(a * kPi / 180), -r * std::cos(a * kPi / 180)});
        }
        arc = dentele(arc, s.marge == "entire" ? "entire" : "wavy", 1);
        std::vector<Pt> p{{0, 0}};
        p.insert(p.end(), arc.begin(), arc.end());
        return p;
    }
    if (s.lobes == "palmate") {
        const Pt centre{0, -0.46};
        std::vector<Pt> p;
        for (int i = 0; i <= 240; ++i) {
            const double phi = -kPi + 2 * kPi * i / 240; // 0 points to the tip
            const double r = 0.5 * (0.38 + 0.62 * std::pow(std::abs(std::cos(2.5 * phi)), 1.3));
            p.push_back({centre.x + r * std::sin(phi), centre.y - r * std::cos(phi)});
        }
        p = dentele(p, s.marge, -1);
        p.insert(p.begin(), Pt{0, 0});
        return p;
    }
    const int n = 120;
    for (int i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        double w = profil(s.forme, t);
        if (s.base == "tapering")
            w *= std::pow(std::min(1.0, t / 0.3), 0.9);
        else if (s.base == "straight")
            w = std::max(w, t < 0.15 ? profil(s.forme, 0.15) * std::min(1.0, t / 0.012) : 0.0);
        if (s.lobes == "pinnate" && t > 0.06)
            w *= 0.4 + 0.6 * std::pow(0.5 + 0.5 * std::sin(2 * kPi * 4.3 * (t - 0.06) - kPi / 2 + 2 * kPi * 0.25), 0.55);
        droite.push_back({w, -t});
        double wg = w;
        if (s.base == "unequal")
            wg = t < 0.12 ? w * std::max(0.0, (t - 0.06) / 0.06) : w;
        gauche.push_back({-wg, -t});
    }
    if (s.base == "heart") {
        const double wb = std::max(0.1, profil(s.forme, 0.12) * 0.55);
        std::vector<Pt> lobe;
        for (int i = 0; i <= 12; ++i) {
            const double a = kPi - kPi * i / 12; // from the sinus round the bottom
            lobe.push_back({wb + wb * std::cos(a), -0.02 + 0.09 * std::sin(a)});
        }
        std::vector<Pt> d2 = lobe, g2;
        for (const Pt &p : lobe)
            g2.push_back({-p.x, p.y});
        for (const Pt &p : droite)
            if (p.x > 2 * wb || -p.y > 0.2)
                d2.push_back(p);
        for (const Pt &p : gauche)
            if (-p.x > 2 * wb || -p.y > 0.2)
                g2.push_back(p);
        droite = d2;
        gauche = g2;
    }
    droite = dentele(droite, s.marge, 1);
    gauche = dentele(gauche, s.marge, -1);
    std::vector<Pt> p = droite;
    for (auto it = gauche.rbegin(); it != gauche.rend(); ++it)
        p.push_back(*it);
    return p;
}

namespace {

// One blade with its veins, in leaf units placed by the current transform.
void limbe(Toile &t, const Theme &th, const SpecFeuille &s, bool details)
{
    const std::vector<Pt> contour = contourLimbe(s);
    plein(t, th, Role::Limbe, s.limbe);
    t.polygone(contour);
    if (details && th.palette()) {
        plein(t, th, Role::Base, s.limbe);
        t.polygone(sousLigne(contour, -0.13));
    }
    // Veins.
    const double lv = 0.014;
    plein(t, th, Role::Nervure, nat::nervure);
    const bool palmeLobe = s.lobes == "palmate" || s.forme == "fan";
    if (s.nervation == "palmate" || palmeLobe) {
        const double top = s.forme == "fan" ? -0.8 : -0.9;
        for (double a : {-60.0, -30.0, 0.0, 30.0, 60.0}) {
            const Pt bout = tourne({0, top * (s.forme == "fan" ? 1.0 : (1 - std::abs(a) / 200))}, a);
            Pt b = bout;
            if (s.lobes == "palmate") {
                // To the tips of the five lobes.
                const double phi = (a / 30) * 72 * kPi / 180;
                b = {0.46 * std::sin(phi), -0.46 - 0.46 * std::cos(phi)};
            }
            t.trait(segment({0, 0}, b), a == 0 ? lv * 1.5 : lv);
        }
    } else {
        t.trait(segment({0, 0}, {0, -0.96}), lv * 1.6);
        for (int i = 1; i <= 7; ++i) {
            const double t0 = 0.1 + 0.105 * (i - 1);
            const double w = profil(s.forme, std::min(0.95, t0 + 0.1)) * (s.lobes == "pinnate" ? 0.95 : 0.82);
            for (double sg : {-1.0, 1.0}) {
                if (s.nervation == "parallel")
                    t.trait(segment({0, -t0}, {sg * w, -t0 - 0.11}), lv);
                else
                    t.trait(courbe({0, -t0}, {sg * w * 0.8, -t0 - 0.02}, {sg * w * 0.75, -t0 - 0.16}, 8), lv);
            }
        }
    }
    if (details && s.dessous) {
        // The right edge curled over between a third and two thirds of the blade.
        std::vector<Pt> pli;
        for (const Pt &p : contour)
            if (p.x > 0 && -p.y > 0.42 && -p.y < 0.7)
                pli.push_back(p);
        if (pli.size() > 2) {
            pli.push_back({pli.back().x * 0.45, -0.62});
            pli.push_back({pli.front().x * 0.45, -0.5});
            t.style(th.fond(Role::Dessous, s.couleurDessous), th.contour(Role::Dessous, s.couleurDessous), 3);
            t.polygone(pli);
        }
    }
    // The margin as a rim.
    plein(t, th, Role::Marge, th.palette() ? nat::feuilleFoncee : assombrit(s.limbe, 0.6));
    t.trait(ferme(contour), th.palette() ? 0.022 : 0.009);
}

void petiole(Toile &t, const Theme &th, const SpecFeuille &s, double longueur)
{
    plein(t, th, Role::Petiole, nat::bois);
    const double l = s.petiole == "short" ? longueur * 0.25 : longueur;
    if (s.petiole == "flat")
        t.polygone({{-0.035, 0}, {0.035, 0}, {0.012, l}, {-0.012, l}});
    else
        t.trait(segment({0, -0.01}, {0, l}), 0.026);
    if (s.petiole == "glands") {
        plein(t, th, Role::Petiole, nat::rouge);
        rond(t, {-0.025, 0.04}, 0.02);
        rond(t, {0.025, 0.04}, 0.02);
    }
}

} // namespace

void feuille(Toile &t, const Theme &th, const SpecFeuille &s)
{
    t.empile();
    const double L = s.composition == "simple" ? 660 : 720;
    t.translate(500, s.composition == "simple" ? 760 : 800);
    t.echelle(L, L);
    const double lp = s.composition == "simple" ? 0.22 : 0.16;
    if (s.axe) {
        plein(t, th, Role::Axe, nat::rameau);
        t.trait(segment({-0.6, lp + 0.06}, {0.6, lp - 0.02}), 0.05);
    }
    if (s.composition == "simple") {
        petiole(t, th, s, lp);
        limbe(t, th, s, true);
    } else {
        SpecFeuille f = s;
        f.composition = "simple";
        f.lobes = "none";
        f.dessous = false;
        petiole(t, th, s, lp);
        if (s.composition == "pinnate") {
            plein(t, th, Role::Axe, nat::bois);
            t.trait(segment({0, 0}, {0, -0.78}), 0.02);
            const double tf = 0.34;
            for (double pos : {0.08, 0.3, 0.52}) {
                for (double sg : {-1.0, 1.0}) {
                    t.empile();
                    t.translate(0, -pos);
                    t.tourne(sg * 62);
                    t.echelle(tf, tf);
                    limbe(t, th, f, false);
                    t.depile();
                }
            }
            t.empile();
            t.translate(0, -0.72);
            t.echelle(tf, tf);
            f.dessous = s.dessous;
            limbe(t, th, f, true);
            t.depile();
        } else {
            plein(t, th, Role::Axe, nat::bois);
            rond(t, {0, 0}, 0.03);
            for (double a : {-64.0, -32.0, 0.0, 32.0, 64.0}) {
                t.empile();
                t.tourne(a);
                const double l = a == 0 ? 0.62 : std::abs(a) < 40 ? 0.55 : 0.44;
                t.echelle(l, l);
                f.dessous = s.dessous && a == 0;
                limbe(t, th, f, a == 0);
                t.depile();
            }
        }
    }
    t.depile();
}

} // namespace tarvenko::sample
