#include "tools/sample/dessin.h"

#include "tools/sample/grilles.h"

#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace tarvenko::sample {

namespace {

int rouge(Couleur c) { return static_cast<int>(c & 0xFF); }
int vert(Couleur c) { return static_cast<int>((c >> 8) & 0xFF); }
int bleu(Couleur c) { return static_cast<int>((c >> 16) & 0xFF); }

std::vector<std::string> mots(const std::string &texte)
{
    std::istringstream in(texte);
    std::vector<std::string> out;
    std::string m;
    while (in >> m)
        out.push_back(m);
    return out;
}

// Places of the parts in the drawing's space.
struct Cadre {
    double x1, y1, x2, y2;
};
constexpr Cadre kPaysage{0, 0, 1380, 1800};
constexpr Cadre kArbre{190, 140, 1190, 1560};
constexpr Cadre kCarteFeuille{1400, 20, 2380, 880};
constexpr Cadre kCarteFruit{1400, 900, 1880, 1780};
constexpr Cadre kCarteRameau{1900, 900, 2380, 1780};
constexpr Cadre kFeuille{1440, 130, 2100, 870};
constexpr Cadre kEcorce{70, 1300, 400, 1720};
constexpr Cadre kRegle{1250, 200, 1330, 1560};
constexpr Cadre kFruit{1470, 980, 1830, 1400};
constexpr Cadre kFleur{1450, 1420, 1640, 1610};
constexpr Cadre kPastilles{1660, 1450, 1840, 1590};
constexpr Cadre kTailleFruit{1450, 1645, 1840, 1745};
constexpr Cadre kRameau{1960, 980, 2320, 1740};
constexpr double kMedX = 2250, kMedR = 100;
constexpr double kMedY[] = {135, 345, 555, 765};

void dans(Toile &t, const Cadre &c) { t.boite(c.x1, c.y1, c.x2 - c.x1, c.y2 - c.y1); }

const BandeTitre &bande(const std::string &carte)
{
    for (const BandeTitre &b : bandesTitres())
        if (b.carte == carte)
            return b;
    throw std::runtime_error("no card " + carte);
}

void carte(Toile &t, const Theme &th, Role r, const Cadre &c, const std::map<std::string, std::string> &titres,
           const std::string &cle, Role encre)
{
    const Couleur fond = th.fond(r, 0xFFFFFF);
    t.style(fond, th.contour(r, fond), 6);
    t.polygone({{c.x1 + 24, c.y1}, {c.x2 - 24, c.y1}, {c.x2, c.y1 + 24}, {c.x2, c.y2 - 24}, {c.x2 - 24, c.y2},
                {c.x1 + 24, c.y2}, {c.x1, c.y2 - 24}, {c.x1, c.y1 + 24}});
    const auto titre = titres.find(cle);
    if (titre == titres.end() || titre->second.empty())
        return;
    const BandeTitre &b = bande(cle);
    t.texte({(b.x1 + b.x2) / 2, b.ligne}, titre->second, hauteurTitre(b, titre->second), th.contour(encre, 0), true, true);
}

// A round detail beside the leaf: its background and ring, the picture drawn in the square inside.
template <typename F>
void medaillon(Toile &t, const Theme &th, int rang, F dessin)
{
    const double y = kMedY[rang];
    const Couleur fond = th.fond(Role::CarteFeuille, 0xFFFFFF);
    t.style(fond, th.contour(Role::CarteFeuille, fond), 8);
    t.ellipse({kMedX, y}, kMedR, kMedR);
    t.empile();
    t.boite(kMedX - kMedR * 0.72, y - kMedR * 0.72, kMedR * 1.44, kMedR * 1.44);
    dessin();
    t.depile();
}

Couleur couleurTronc(const std::string &c)
{
    if (c == "grey")
        return rgb(150, 150, 142);
    if (c == "white")
        return rgb(238, 238, 230);
    if (c == "red")
        return rgb(178, 92, 58);
    if (c == "black")
        return rgb(66, 58, 56);
    return rgb(122, 84, 52);
}

void flocon(Toile &t, const Theme &th)
{
    // The evergreen / deciduous part: a small tree half in leaf, half bare, under a snowflake.
    const Couleur fond = th.fond(Role::CarteFeuille, 0xFFFFFF);
    t.style(th.fond(Role::CarteFeuille, fond), th.contour(Role::CarteFeuille, fond), 5);
    t.rectangle(1410, 30, 1500, 120);
    // Inside its zone: the rectangle decides, not the colour.
    t.styleSeul(rgb(70, 110, 190));
    for (double a : {0.0, 60.0, 120.0}) {
        t.empile();
        t.translate(1455, 75);
        t.tourne(a);
        t.rectangle(-34, -4, 34, 4);
        t.depile();
    }
}

void texture(Toile &t, const Theme &th)
{
    const Couleur fond = th.fond(Role::CarteFeuille, 0xFFFFFF);
    t.style(fond, th.contour(Role::CarteFeuille, fond), 5);
    t.rectangle(1505, 30, 1595, 120);
    t.styleSeul(th.fond(Role::Limbe, nat::feuille));
    t.polygone({{1515, 90}, {1550, 70}, {1585, 90}, {1550, 100}});
    t.styleSeul(rgb(40, 90, 40));
    t.rectangle(1515, 104, 1585, 112);
}

void regleDessin(Toile &t, const Theme &th)
{
    t.empile();
    dans(t, kRegle);
    regle(t, th, 10);
    t.depile();
}

void fond(Toile &t, const Theme &th, const std::string &habitat, const std::map<std::string, std::string> &titres)
{
    t.empile();
    t.boite(0, 0, kLargeur, kHauteur);
    paysage(t, th, habitat == "meadow" ? "" : habitat);
    t.depile();
    regleDessin(t, th);
    // Titles in a shade of a colour that opens the card's own object.
    carte(t, th, Role::CarteFeuille, kCarteFeuille, titres, "leaf", Role::TypeFeuille);
    carte(t, th, Role::CarteFruit, kCarteFruit, titres, "fruit", Role::Fruit);
    carte(t, th, Role::CarteRameau, kCarteRameau, titres, "twig", Role::Rameau);
    flocon(t, th);
}

void dessineFeuilleCarte(Toile &t, const Theme &th, const std::vector<std::string> &m)
{
    t.empile();
    if (m[0] == "types") {
        t.boite(1430, 200, 660, 620);
        t.empile();
        t.boite(0, 50, 330, 900);
        SpecFeuille f;
        f.limbe = rgb(130, 180, 110);
        // Drawn with the leaf-type role so that a click on any of the three asks the leaf type.
        class ThemeType final : public Theme {
        public:
            explicit ThemeType(const Theme &b) : m_b(b) {}
            Couleur fond(Role, Couleur) const override { return m_b.fond(Role::TypeFeuille, rgb(130, 180, 110)); }
            Couleur contour(Role, Couleur) const override { return m_b.contour(Role::TypeFeuille, rgb(130, 180, 110)); }
            bool palette() const override { return false; }

        private:
            const Theme &m_b;
        } type(th);
        feuille(t, type, f);
        t.depile();
        t.empile();
        t.boite(330, 150, 340, 700);
        brinAiguilles(t, type, "single");
        t.depile();
        t.empile();
        t.boite(670, 100, 330, 800);
        rameauEcailles(t, type, "flat");
        t.depile();
    } else {
        dans(t, kFeuille);
        if (m[0] == "aiguilles") {
            // The twig carrying the needles is part of the spray: a click on it asks how the
            // needles are grouped, not the twig card's question. A darker shade of the needles'
            // colour still tells it from them.
            class ThemeBrin final : public Theme {
            public:
                explicit ThemeBrin(const Theme &b) : m_b(b) {}
                Couleur fond(Role r, Couleur c) const override
                {
                    return r == Role::Rameau ? m_b.contour(Role::Aiguille, nat::aiguille) : m_b.fond(r, c);
                }
                Couleur contour(Role r, Couleur c) const override
                {
                    return r == Role::Rameau ? m_b.contour(Role::Aiguille, nat::aiguille) : m_b.contour(r, c);
                }
                bool palette() const override { return m_b.palette(); }

            private:
                const Theme &m_b;
            } brin(th);
            brinAiguilles(t, brin, m[1]);
        } else if (m[0] == "ecailles") {
            rameauEcailles(t, th, m[1]);
        } else {
            SpecFeuille f;
            f.axe = true;
            f.dessous = true;
            if (m[0] == "composee")
                f.composition = m[1];
            else if (m[0] == "lobee") {
                f.lobes = m[1];
                f.forme = m[1] == "pinnate" ? "obovate" : "round";
                f.nervation = m[1] == "pinnate" ? "parallel" : "palmate";
            } else
                f.forme = m[1];
            if (f.forme == "fan")
                f.nervation = "palmate";
            if (f.forme == "heart")
                f.base = "heart";
            feuille(t, th, f);
        }
    }
    t.depile();
    if (m[0] == "composee" || m[0] == "lobee" || m[0] == "simple")
        texture(t, th);
}

} // namespace

double distance(Couleur a, Couleur b)
{
    const double dr = rouge(a) - rouge(b), dg = vert(a) - vert(b), db = bleu(a) - bleu(b);
    return std::sqrt(dr * dr + dg * dg + db * db);
}

Couleur couleurDe(const EntreePalette &e) { return rgb(e.r, e.g, e.b); }

ThemePalette::ThemePalette(const std::vector<EntreePalette> &entrees) : m_entrees(entrees)
{
    if (m_entrees.empty())
        throw std::runtime_error("the palette is empty");
    if (ecartMinimal() < kEcartMinimal)
        throw std::runtime_error("two palette colours are closer than " + std::to_string(kEcartMinimal));
}

double ThemePalette::ecartMinimal() const
{
    double d = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < m_entrees.size(); ++i)
        for (std::size_t j = i + 1; j < m_entrees.size(); ++j)
            d = std::min(d, distance(couleurDe(m_entrees[i]), couleurDe(m_entrees[j])));
    return d;
}

std::vector<Couleur> ThemePalette::couleurs() const
{
    std::vector<Couleur> c;
    for (const EntreePalette &e : m_entrees)
        c.push_back(couleurDe(e));
    return c;
}

const std::string &ThemePalette::objetDe(Couleur c) const
{
    const EntreePalette *meilleure = &m_entrees.front();
    double d = std::numeric_limits<double>::max();
    for (const EntreePalette &e : m_entrees) {
        const double x = distance(c, couleurDe(e));
        if (x < d) {
            d = x;
            meilleure = &e;
        }
    }
    return meilleure->objet;
}

Couleur ThemePalette::fond(Role r, Couleur naturelle) const
{
    const EntreePalette *meilleure = nullptr;
    double d = std::numeric_limits<double>::max();
    for (const EntreePalette &e : m_entrees) {
        if (e.role != nomRole(r))
            continue;
        const double x = distance(naturelle, couleurDe(e));
        if (x < d) {
            d = x;
            meilleure = &e;
        }
    }
    if (!meilleure)
        throw std::runtime_error(std::string("no palette colour for the part ") + nomRole(r));
    return couleurDe(*meilleure);
}

Couleur ThemePalette::contour(Role r, Couleur naturelle) const
{
    const Couleur f = fond(r, naturelle);
    const std::string &objet = objetDe(f);
    for (double k : {0.72, 0.8, 0.86, 0.92}) {
        const Couleur c = assombrit(f, k);
        if (objetDe(c) == objet)
            return c;
    }
    for (double k : {0.25, 0.15}) {
        const Couleur c = melange(f, rgb(255, 255, 255), k);
        if (objetDe(c) == objet)
            return c;
    }
    return f;
}

const std::vector<BandeTitre> &bandesTitres()
{
    // Over the top of each card, below its cut corners, within its outline; the leaf card's title
    // between the two small pictures at its left and the round details at its right.
    static const std::vector<BandeTitre> bandes = [] {
        const auto dessus = [](const char *carte, double x1, double x2, const Cadre &c) {
            const double ligne = c.y1 + 66;
            return BandeTitre{carte, x1, ligne - kTitre, x2, ligne + 0.25 * kTitre, ligne};
        };
        return std::vector<BandeTitre>{dessus("leaf", 1750, 2150, kCarteFeuille),
                                       dessus("fruit", kCarteFruit.x1 + 10, kCarteFruit.x2 - 10, kCarteFruit),
                                       dessus("twig", kCarteRameau.x1 + 10, kCarteRameau.x2 - 10, kCarteRameau)};
    }();
    return bandes;
}

double hauteurTitre(const BandeTitre &b, const std::string &titre)
{
    // A little room to spare: drawn small on the screen, hinted type may come out wider.
    const double largeur = largeurTexte(titre, kTitre, true);
    const double place = 0.94 * (b.x2 - b.x1);
    return largeur > place ? kTitre * place / largeur : kTitre;
}

void dessineCalque(Toile &t, const Theme &th, const std::string &dessin, const std::map<std::string, std::string> &titres)
{
    const std::vector<std::string> m = mots(dessin);
    if (m.empty())
        throw std::runtime_error("empty drawing description");
    const std::string &genre = m[0];
    const std::string arg = m.size() > 1 ? m[1] : "";
    if (genre == "vide")
        return;
    if (genre == "fond")
        return fond(t, th, arg, titres);
    if (genre == "tronc") {
        t.empile();
        dans(t, kArbre);
        const std::string port = m.size() > 2 ? m[2] : "rounded";
        const Couleur c = couleurTronc(arg);
        t.style(th.fond(Role::Ecorce, c), th.contour(Role::Ecorce, c), 6);
        if (port == "shrubby") {
            for (double d : {-130.0, 0.0, 130.0})
                t.polygone({{500 + d - 30, 1000}, {500 + d * 1.8 - 16, 560}, {500 + d * 1.8 + 16, 560}, {500 + d + 30, 1000}});
        } else {
            t.polygone({{420, 1000}, {450, 930}, {470, 380}, {530, 380}, {550, 930}, {580, 1000}});
        }
        if (arg == "white") {
            t.styleSeul(th.contour(Role::Ecorce, rgb(66, 58, 56)));
            for (double y : {700.0, 800.0, 880.0, 960.0})
                t.polygone({{470, y}, {500, y - 12}, {530, y}, {500, y + 10}});
        }
        t.depile();
        return;
    }
    if (genre == "couronne") {
        t.empile();
        dans(t, kArbre);
        const bool conifere = m.size() > 2 && m[2] == "conifer";
        arbre(t, th, arg, conifere, conifere ? rgb(38, 100, 84) : rgb(86, 156, 64), 0, false);
        t.depile();
        return;
    }
    if (genre == "ecorce") {
        // The bark seen through a lens, joined to the trunk by a line.
        t.styleSeul(th.contour(Role::Ecorce, rgb(66, 58, 56)));
        t.trait({{kEcorce.x2, kEcorce.y1 + 120}, {660, 1380}}, 10);
        const std::string motif = arg == "default" ? "furrowed" : arg;
        t.empile();
        dans(t, kEcorce);
        ecorce(t, th, motif, couleurEcorce(motif));
        t.depile();
        const Couleur c = th.contour(Role::Ecorce, rgb(66, 58, 56));
        t.crayon(c, 14);
        t.rectangle(kEcorce.x1, kEcorce.y1, kEcorce.x2, kEcorce.y2);
        return;
    }
    if (genre == "types" || genre == "aiguilles" || genre == "ecailles" || genre == "composee" || genre == "lobee" ||
        genre == "simple")
        return dessineFeuilleCarte(t, th, m);
    if (genre == "marge") {
        medaillon(t, th, 0, [&] {
            SpecFeuille f;
            f.forme = "elliptic";
            f.marge = arg == "default" ? "entire" : arg;
            feuille(t, th, f);
        });
        return;
    }
    if (genre == "coupe") {
        medaillon(t, th, 0, [&] { coupeAiguille(t, th, arg == "default" ? "flatgreen" : arg); });
        return;
    }
    if (genre == "base") {
        medaillon(t, th, 1, [&] {
            SpecFeuille f;
            f.forme = "ovate";
            f.base = arg == "default" ? "rounded" : arg;
            feuille(t, th, f);
        });
        return;
    }
    if (genre == "attache") {
        medaillon(t, th, 1, [&] { attacheAiguille(t, th, arg == "default" ? "decurrent" : arg); });
        return;
    }
    if (genre == "disposition") {
        medaillon(t, th, 2, [&] {
            t.styleSeul(th.fond(Role::Disposition, rgb(140, 100, 150)));
            t.trait({{500, 980}, {500, 40}}, 60);
            for (int i = 0; i < 3; ++i) {
                const double y = 800 - 280 * i;
                for (double sg : {-1.0, 1.0}) {
                    if (arg == "alternate" && (i % 2 ? sg > 0 : sg < 0))
                        continue;
                    if (arg == "default" && sg < 0)
                        continue;
                    t.empile();
                    t.translate(500, y);
                    t.tourne(sg * 60);
                    t.polygone({{0, 0}, {-60, -130}, {0, -260}, {60, -130}});
                    t.depile();
                }
            }
        });
        return;
    }
    if (genre == "taille") {
        medaillon(t, th, 2, [&] { aiguilleMesuree(t, th, arg == "default" ? "1.5-3" : arg); });
        return;
    }
    if (genre == "lobes") {
        medaillon(t, th, 3, [&] {
            SpecFeuille f;
            f.lobes = arg == "default" ? "none" : arg;
            f.forme = f.lobes == "pinnate" ? "obovate" : "ovate";
            f.limbe = rgb(60, 110, 30);
            class ThemeLobe final : public Theme {
            public:
                explicit ThemeLobe(const Theme &b) : m_b(b) {}
                Couleur fond(Role r, Couleur c) const override
                {
                    return r == Role::Limbe || r == Role::Marge || r == Role::Nervure || r == Role::Base ? m_b.fond(Role::Lobe, c)
                                                                                                           : m_b.fond(r, c);
                }
                Couleur contour(Role r, Couleur c) const override
                {
                    return r == Role::Limbe || r == Role::Marge || r == Role::Base ? m_b.contour(Role::Lobe, c)
                                                                                   : m_b.contour(r, c);
                }
                bool palette() const override { return m_b.palette(); }

            private:
                const Theme &m_b;
            } lobe(th);
            t.empile();
            t.translate(60, 0);
            t.echelle(0.88, 0.88);
            feuille(t, lobe, f);
            t.depile();
        });
        return;
    }
    if (genre == "fruit" || genre == "cone") {
        t.empile();
        dans(t, kFruit);
        if (genre == "cone")
            cone(t, th, "egg", arg);
        else if (arg == "default") {
            t.empile();
            t.boite(0, 0, 520, 520);
            fruit(t, th, "acorn", nat::brun);
            t.depile();
            t.empile();
            t.boite(480, 60, 520, 520);
            fruit(t, th, "winged", couleurFruit("winged"));
            t.depile();
            t.empile();
            t.boite(200, 480, 520, 520);
            fruit(t, th, "berry", nat::rouge);
            t.depile();
        } else
            fruit(t, th, arg, couleurFruit(arg));
        t.depile();
        // The colour chips and the size scale of the fruit card.
        t.style(th.fond(Role::CouleurFruit, nat::rouge), th.contour(Role::CouleurFruit, nat::rouge), 5);
        for (int i = 0; i < 3; ++i)
            t.ellipse({kPastilles.x1 + 30 + 60 * i, (kPastilles.y1 + kPastilles.y2) / 2 + (i == 1 ? -20 : 15)}, 30, 30);
        t.style(th.fond(Role::TailleFruit, rgb(245, 170, 120)), th.contour(Role::TailleFruit, rgb(245, 170, 120)), 5);
        t.rectangle(kTailleFruit.x1, kTailleFruit.y1 + 30, kTailleFruit.x2, kTailleFruit.y2 - 20);
        t.styleSeul(th.contour(Role::TailleFruit, rgb(245, 170, 120)));
        for (int i = 0; i <= 10; ++i) {
            const double x = kTailleFruit.x1 + (kTailleFruit.x2 - kTailleFruit.x1) * i / 10;
            t.rectangle(x - 3, kTailleFruit.y1 + 30, x + 3, kTailleFruit.y1 + (i % 5 ? 55 : 70));
        }
        return;
    }
    if (genre == "fleur") {
        t.empile();
        dans(t, kFleur);
        fleur(t, th, arg);
        t.depile();
        return;
    }
    if (genre == "bourgeon") {
        t.empile();
        dans(t, kRameau);
        bourgeon(t, th, arg == "default" ? "plump" : arg);
        t.depile();
        return;
    }
    if (genre == "epines") {
        t.empile();
        dans(t, kRameau);
        epines(t, th, arg);
        t.depile();
        return;
    }
    throw std::runtime_error("unknown drawing: " + dessin);
}

void dessineSurcouche(Toile &t, int x1, int x2, int y1, int y2)
{
    const Couleur rouge = rgb(230, 30, 30);
    t.crayon(rouge, 16);
    t.rectangle(x1, y1, x2, y2);
    t.styleSeul(rouge);
    const double r = 34;
    t.ellipse({static_cast<double>(x2), static_cast<double>(y1)}, r, r);
    t.styleSeul(rgb(255, 255, 255));
    for (double a : {45.0, -45.0}) {
        t.empile();
        t.translate(x2, y1);
        t.tourne(a);
        t.rectangle(-22, -6, 22, 6);
        t.depile();
    }
}

void dessineNuancier(Toile &t, const std::vector<Couleur> &couleurs)
{
    const double w = static_cast<double>(t.largeur()) / static_cast<double>(couleurs.size());
    for (std::size_t i = 0; i < couleurs.size(); ++i) {
        t.styleSeul(couleurs[i]);
        t.rectangle(w * static_cast<double>(i), 0, w * static_cast<double>(i + 1), t.hauteur());
    }
}

} // namespace tarvenko::sample
