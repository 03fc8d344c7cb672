#include "tools/sample/pictos.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvenko::sample {

namespace {

constexpr double kPi = std::numbers::pi;

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

// The part of a polygon below the line y = coupe (y grows downwards).
std::vector<Pt> sousLigne(const std::vector<Pt> &poly, double coupe)
{
    std::vector<Pt> out;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Pt a = poly[i], b = poly[(i + 1) % poly.size()];
        const bool ina = a.y >= coupe, inb = b.y >= coupe;
        if (ina)
            out.push_back(a);
        if (ina != inb) {
            const double t = (coupe - a.y) / (b.y - a.y);
            out.push_back({a.x + (b.x - a.x) * t, coupe});
        }
    }
    return out;
}

std::vector<Pt> ferme(std::vector<Pt> p)
{
    if (!p.empty())
        p.push_back(p.front());
    return p;
}

Pt tourne(Pt p, double degres)
{
    const double r = degres * kPi / 180;
    return {p.x * std::cos(r) - p.y * std::sin(r), p.x * std::sin(r) + p.y * std::cos(r)};
}

void rempli(Toile &t, const Theme &th, Role r, Couleur c, double contour = 6)
{
    t.style(th.fond(r, c), th.contour(r, c), contour);
}

void plein(Toile &t, const Theme &th, Role r, Couleur c) { t.styleSeul(th.fond(r, c)); }

void ombre(Toile &t, const Theme &th, Role r, Couleur c) { t.styleSeul(th.contour(r, c)); }

void rond(Toile &t, Pt c, double r) { t.ellipse(c, r, r); }

// Straight line from a to b with n intermediate points (for strokes).
std::vector<Pt> segment(Pt a, Pt b) { return {a, b}; }

std::vector<Pt> courbe(Pt a, Pt c, Pt b, int n = 16)
{
    std::vector<Pt> p;
    for (int i = 0; i <= n; ++i) {
        const double u = static_cast<double>(i) / n;
        p.push_back({(1 - u) * (1 - u) * a.x + 2 * u * (1 - u) * c.x + u * u * b.x,
                     (1 - u) * (1 - u) * a.y + 2 * u * (1 - u) * c.y + u * u * b.y});
    }
    return p;
}

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

void brinAiguilles(Toile &t, const Theme &th, const std::string &g, Couleur c)
{
    const Pt a{90, 640}, b{910, 420};
    const auto surRameau = [&](double u) { return Pt{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u}; };
    const double angleRameau = std::atan2(b.y - a.y, b.x - a.x) * 180 / kPi;
    const auto aiguille = [&](Pt o, double angle, double l, double w) {
        const Pt d = tourne({l, 0}, angle);
        t.trait({o, {o.x + d.x, o.y + d.y}}, w);
    };
    plein(t, th, Role::Rameau, nat::rameau);
    t.trait({a, b}, 26);
    plein(t, th, Role::Aiguille, c);
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
            plein(t, th, Role::Attache, nat::brun);
            rond(t, o, 14);
            plein(t, th, Role::Aiguille, c);
            for (int i = 0; i < n; ++i)
                aiguille(o, base - 14 * (n - 1) / 2.0 + 14 * i, l, g == "fives" ? 9 : 13);
        }
    } else if (g == "tufts") {
        for (double u = 0.12; u < 0.95; u += 0.2) {
            const Pt o = surRameau(u);
            plein(t, th, Role::Attache, nat::brun);
            rond(t, o, 22);
            plein(t, th, Role::Aiguille, c);
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
    const Couleur c = g == "green" ? nat::vert : g == "red" ? rgb(170, 60, 50) : nat::rameau;
    plein(t, th, Role::Rameau, c);
    t.trait({{150, 900}, {850, 100}}, 80);
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
