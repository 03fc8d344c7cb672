#include "tools/sample/grilles.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tarvenko::sample {

namespace {

const ThemeNaturel kNaturel;

Couleur couleurNommee(const std::string &c)
{
    if (c == "green")
        return rgb(170, 200, 60);
    if (c == "red")
        return nat::rouge;
    if (c == "black")
        return nat::noir;
    if (c == "blue")
        return nat::bleu;
    return nat::brun;
}

Couleur couleurEcorceNommee(const std::string &c)
{
    if (c == "grey")
        return rgb(150, 150, 146);
    if (c == "white")
        return rgb(236, 234, 226);
    if (c == "red")
        return rgb(176, 90, 58);
    if (c == "black")
        return rgb(60, 54, 52);
    if (c == "orange")
        return rgb(214, 112, 48);
    if (c == "cream")
        return rgb(232, 226, 196);
    if (c == "greenish")
        return rgb(150, 172, 116);
    return rgb(120, 84, 52);
}

void sousBoite(Toile &t, double x, double y, double w, double h)
{
    t.empile();
    t.boite(x, y, w, h);
}

void personne(Toile &t, double x, double sol, double h)
{
    t.styleSeul(rgb(60, 60, 80));
    t.ellipse({x, sol - h * 0.9}, h * 0.1, h * 0.1);
    t.rectangle(x - h * 0.08, sol - h * 0.78, x + h * 0.08, sol - h * 0.35);
    t.rectangle(x - h * 0.07, sol - h * 0.35, x - h * 0.01, sol);
    t.rectangle(x + h * 0.01, sol - h * 0.35, x + h * 0.07, sol);
}

void arbreNu(Toile &t)
{
    t.styleSeul(nat::bois);
    t.trait({{500, 1000}, {500, 300}}, 60);
    for (auto [a, b] : {std::pair{Pt{500, 650}, Pt{250, 350}}, std::pair{Pt{500, 550}, Pt{760, 260}}, std::pair{Pt{500, 420}, Pt{380, 150}},
                        std::pair{Pt{500, 420}, Pt{620, 120}}, std::pair{Pt{330, 450}, Pt{170, 380}}, std::pair{Pt{680, 350}, Pt{850, 330}}})
        t.trait({a, b}, 24);
}

} // namespace

void dessineEtat(Toile &t, const Theme &th, const std::string &ligne, const std::string &cle)
{
    SpecFeuille f;
    if (ligne == "FEUILLE") {
        if (cle == "needle")
            brinAiguilles(t, th, "single");
        else if (cle == "scale")
            rameauEcailles(t, th, "flat");
        else
            feuille(t, th, f);
    } else if (ligne == "PERSISTANCE") {
        if (cle == "evergreen") {
            t.styleSeul(rgb(230, 240, 250));
            t.rectangle(0, 880, 1000, 1000);
            arbre(t, th, "conical", true, rgb(40, 110, 70), nat::bois);
        } else {
            t.styleSeul(rgb(230, 240, 250));
            t.rectangle(0, 880, 1000, 1000);
            arbreNu(t);
        }
        t.styleSeul(rgb(120, 160, 220));
        for (Pt p : {Pt{120, 150}, Pt{860, 220}, Pt{200, 520}, Pt{820, 600}})
            t.ellipse(p, 22, 22);
    } else if (ligne == "DISPOSITION") {
        t.styleSeul(nat::rameau);
        t.trait({{500, 1000}, {500, 0}}, 40);
        for (int i = 0; i < 3; ++i) {
            const double y = 820 - 300 * i;
            for (double sg : {-1.0, 1.0}) {
                if (cle == "alternate" && (i % 2 ? sg > 0 : sg < 0))
                    continue;
                t.empile();
                t.translate(500, y);
                t.tourne(sg * 58);
                t.echelle(0.34, 0.34);
                t.translate(-500, -905);
                feuille(t, th, f);
                t.depile();
            }
        }
    } else if (ligne == "COMPOSITION") {
        f.composition = cle;
        feuille(t, th, f);
    } else if (ligne == "LOBES") {
        f.lobes = cle;
        f.forme = cle == "pinnate" ? "obovate" : cle == "palmate" ? "round" : "ovate";
        f.nervation = cle == "palmate" ? "palmate" : "parallel";
        feuille(t, th, f);
    } else if (ligne == "MARGE") {
        f.forme = "elliptic";
        f.marge = cle;
        t.empile();
        t.translate(-250, 0);
        t.echelle(1.5, 1.0);
        feuille(t, th, f);
        t.depile();
    } else if (ligne == "FORME") {
        f.forme = cle;
        if (cle == "heart")
            f.base = "heart";
        if (cle == "fan")
            f.nervation = "palmate";
        feuille(t, th, f);
    } else if (ligne == "BASE") {
        f.forme = cle == "straight" ? "triangular" : "ovate";
        f.base = cle;
        feuille(t, th, f);
    } else if (ligne == "NERVATION") {
        f.nervation = cle;
        f.forme = cle == "palmate" ? "heart" : "elliptic";
        if (cle == "palmate")
            f.base = "heart";
        feuille(t, th, f);
    } else if (ligne == "FACE_INF") {
        f.limbe = cle == "green" ? nat::feuille : cle == "pale" ? rgb(160, 196, 184) : rgb(236, 240, 236);
        feuille(t, th, f);
    } else if (ligne == "TEXTURE") {
        sousBoite(t, 0, 0, 1000, 800);
        f.limbe = cle == "thin" ? rgb(140, 200, 90) : rgb(40, 100, 50);
        f.forme = "elliptic";
        feuille(t, th, f);
        t.depile();
        t.styleSeul(cle == "thin" ? rgb(140, 200, 90) : rgb(40, 100, 50));
        t.rectangle(150, 880, 850, cle == "thin" ? 900 : 950);
    } else if (ligne == "PETIOLE") {
        f.petiole = cle;
        f.forme = cle == "flat" ? "round" : "elliptic";
        feuille(t, th, f);
    } else if (ligne == "TAILLE_FEU" || ligne == "FRUIT_TAILLE") {
        const int n = cle == "lt5" || cle == "lt1" ? 0 : cle == "5-10" || cle == "1-3" ? 1 : cle == "10-20" || cle == "3-8" ? 2 : 3;
        const double k = 0.25 + 0.25 * n;
        // The thing measured stands on the bottom of a 760-unit square, k of its size.
        const auto mesure = [&] {
            sousBoite(t, 100, 120, 760, 760);
            t.translate(500 * (1 - k), 1000 * (1 - k));
            t.echelle(k, k);
        };
        if (ligne == "TAILLE_FEU") {
            mesure();
            feuille(t, th, f);
            t.depile();
        } else {
            // The size is asked of cones, nuts and berries alike: a plain silhouette of no kind,
            // with guides from its two ends to the ruler.
            t.styleSeul(rgb(150, 150, 150));
            for (double y : {300.0, 900.0}) {
                const double yc = 120 + 0.76 * (1000 * (1 - k) + y * k);
                t.rectangle(480, yc - 3, 915, yc + 3);
            }
            mesure();
            const Couleur gris = rgb(214, 210, 200);
            t.style(th.fond(Role::TailleFruit, gris), th.contour(Role::TailleFruit, gris), 10);
            t.ellipse({500, 600}, 230, 300);
            t.depile();
        }
        sousBoite(t, 880, 0, 120, 1000);
        regle(t, th, 8);
        t.depile();
    } else if (ligne == "TAILLE_AIG") {
        aiguilleMesuree(t, th, cle);
    } else if (ligne == "AIGUILLES") {
        brinAiguilles(t, th, cle);
    } else if (ligne == "AIG_FORME") {
        coupeAiguille(t, th, cle);
    } else if (ligne == "AIG_ATTACHE") {
        attacheAiguille(t, th, cle);
    } else if (ligne == "ECAILLES") {
        rameauEcailles(t, th, cle);
    } else if (ligne == "FRUIT") {
        fruit(t, th, cle, couleurFruit(cle));
    } else if (ligne == "FRUIT_COULEUR") {
        fruit(t, th, cle == "brown" ? "nut" : "berry", couleurNommee(cle));
    } else if (ligne == "CONE_PORT") {
        cone(t, th, "egg", cle);
    } else if (ligne == "CONE_FORME") {
        cone(t, th, cle, "");
    } else if (ligne == "FLEUR") {
        fleur(t, th, cle);
    } else if (ligne == "ECORCE") {
        ecorce(t, th, cle, couleurEcorce(cle));
    } else if (ligne == "ECORCE_COULEUR") {
        ecorce(t, th, cle == "white" || cle == "orange" ? "peeling" : cle == "cream" || cle == "greenish" ? "patches" : "furrowed", couleurEcorceNommee(cle));
    } else if (ligne == "BOURGEON") {
        bourgeon(t, th, cle);
    } else if (ligne == "EPINES") {
        jeuneRameau(t, th, "brown");
        epines(t, th, cle);
    } else if (ligne == "RAMEAU") {
        jeuneRameau(t, th, cle);
    } else if (ligne == "PORT") {
        arbre(t, th, cle, cle == "conical" || cle == "columnar", cle == "conical" || cle == "columnar" ? rgb(40, 110, 70) : nat::feuille,
              nat::bois);
    } else if (ligne == "HAUTEUR") {
        const int n = cle == "lt10" ? 0 : cle == "10-20" ? 1 : cle == "20-30" ? 2 : 3;
        const double k = 0.3 + 0.23 * n;
        sousBoite(t, 500 * (1 - k) - 100, 1000 * (1 - k), 1000 * k, 1000 * k);
        arbre(t, th, "oval", false, nat::feuille, nat::bois);
        t.depile();
        personne(t, 860, 1000, 180);
    } else if (ligne == "HABITAT") {
        paysage(t, th, cle);
        sousBoite(t, 250, 300, 500, 600);
        arbre(t, th, "rounded", false, nat::feuille, nat::bois);
        t.depile();
    } else {
        throw std::runtime_error("no picture for " + ligne);
    }
}

CaseGrille caseGrille(const LigneObjet &o, std::size_t k)
{
    // The grid is shown stretched over a 4:3 box, cell by cell: drawn on a 4:3 frame, each cell
    // has the shape it will be shown in, so pictures and names keep their proportions.
    const double cellW = static_cast<double>(kGrilleL) / o.colonnes;
    const double cellH = static_cast<double>(kGrilleH) / o.lignes;
    const double marge = std::min(cellW, cellH) * 0.03;
    const double x = cellW * static_cast<double>(k % static_cast<std::size_t>(o.colonnes));
    const double y = cellH * static_cast<double>(k / static_cast<std::size_t>(o.colonnes));
    CaseGrille c;
    c.x1 = x + marge;
    c.y1 = y + marge;
    c.x2 = x + cellW - marge;
    c.y2 = y + cellH - marge;
    c.texte = std::min(cellH * 0.09, 64.0);
    // The picture in the largest square above the name, in the middle of that space.
    const double hauteurImage = cellH - 3 * marge - 2.2 * c.texte;
    c.cote = std::min(cellW - 4 * marge, hauteurImage);
    c.imageX = x + (cellW - c.cote) / 2;
    c.imageY = y + 2 * marge + (hauteurImage - c.cote) / 2;
    c.nom = {x + cellW / 2.0, y + cellH - 2 * marge - 0.35 * c.texte};
    c.largeurNom = cellW - 4 * marge;
    return c;
}

double largeurTexte(const std::string &utf8, double hauteur, bool gras)
{
    // Measured once at a large size, where hinting does not round the advances, and scaled.
    QFont police(QStringLiteral("DejaVu Sans"));
    police.setPixelSize(1000);
    police.setBold(gras);
    return QFontMetricsF(police).horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))) *
           hauteur / 1000.0;
}

NomCase placeNom(const CaseGrille &c, const std::string &nom)
{
    // A little room to spare: drawn small on the screen, hinted type may come out wider.
    const double largeur = 0.94 * c.largeurNom;
    const auto ajuste = [&](double w) { return w > largeur ? c.texte * largeur / w : c.texte; };
    NomCase n{{nom}, {c.nom}, ajuste(largeurTexte(nom, c.texte))};
    if (n.taille >= 0.8 * c.texte)
        return n;
    // Two lines: split at the space that makes the longer line shortest.
    double meilleure = 0;
    std::size_t coupe = std::string::npos;
    for (std::size_t i = nom.find(' '); i != std::string::npos; i = nom.find(' ', i + 1)) {
        const double w = std::max(largeurTexte(nom.substr(0, i), c.texte), largeurTexte(nom.substr(i + 1), c.texte));
        if (coupe == std::string::npos || w < meilleure) {
            meilleure = w;
            coupe = i;
        }
    }
    if (coupe == std::string::npos)
        return n;
    // Both lines between the picture's bottom and the name's baseline: an interline of 1.1 and
    // accented capitals reaching 0.95 of the type height above the first baseline.
    const double bas = c.imageY + c.cote + 0.1 * c.texte;
    const double hauteurMax = (c.nom.y - bas) / (1.1 + 0.95);
    const double taille = std::min({ajuste(meilleure), hauteurMax, c.texte});
    if (taille <= n.taille)
        return n;
    n.lignes = {nom.substr(0, coupe), nom.substr(coupe + 1)};
    n.ancres = {Pt{c.nom.x, c.nom.y - 1.1 * taille}, c.nom};
    n.taille = taille;
    return n;
}

void dessineNom(Toile &t, const CaseGrille &c, const std::string &nom)
{
    const NomCase n = placeNom(c, nom);
    for (std::size_t i = 0; i < n.lignes.size(); ++i)
        t.texte(n.ancres[i], n.lignes[i], n.taille, nat::texte);
}

std::string nomLangue(const std::string &fichier, const std::string &langue)
{
    if (langue == "en")
        return fichier;
    const std::size_t point = fichier.rfind('.');
    return point == std::string::npos ? fichier + "_" + langue : fichier.substr(0, point) + "_" + langue + fichier.substr(point);
}

Toile grille(const LigneObjet &o, const std::string &langue)
{
    Toile t(kGrilleL, kGrilleH);
    t.styleSeul(rgb(255, 255, 255));
    t.rectangle(0, 0, t.largeur(), t.hauteur());
    for (std::size_t k = 0; k < o.etats.size(); ++k) {
        const CaseGrille c = caseGrille(o, k);
        t.style(rgb(250, 250, 244), rgb(200, 200, 190), 4);
        t.rectangle(c.x1, c.y1, c.x2, c.y2);
        t.empile();
        t.boite(c.imageX, c.imageY, c.cote, c.cote);
        dessineEtat(t, kNaturel, o.ligne, o.etats[k].cle);
        t.depile();
        // A state without a name in the language keeps its English one.
        const auto nom = o.etats[k].nom.find(langue);
        dessineNom(t, c, nom != o.etats[k].nom.end() && !nom->second.empty() ? nom->second : o.etats[k].nom.at("en"));
    }
    return t;
}

std::string legende(const Espece &e)
{
    return e.nom + ": 1 habit, 2 leaf, 3 fruit, 4 bark, 5 twig and winter bud, 6 flowers.";
}

Toile planche(const Sources &, const Espece &e)
{
    const auto premier = [&](const std::string &ligne) -> std::string {
        const auto it = e.etats.find(ligne);
        return it == e.etats.end() || it->second.empty() ? std::string() : it->second.front();
    };
    Toile t(kPlancheL, kPlancheH);
    t.styleSeul(rgb(252, 250, 242));
    t.rectangle(0, 0, kPlancheL, kPlancheH);
    t.texte({kPlancheL / 2.0, 130}, e.nom, 96, nat::texte, true, true);
    std::string communs = e.communs.at("en").empty() ? "" : e.communs.at("en").front();
    t.texte({kPlancheL / 2.0, 230}, communs + "  -  " + e.famille.substr(0, 1) + [&] {
        std::string f = e.famille.substr(1);
        for (char &c : f)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return f;
    }(), 62, rgb(90, 90, 90));

    const std::string type = premier("FEUILLE");
    const bool conifere = type == "needle" || type == "scale";
    struct Panneau {
        double x, y, w, h;
    };
    const Panneau p[] = {{80, 300, 1000, 1150}, {1120, 300, 1000, 1150}, {80, 1500, 1000, 1000},
                         {1120, 1500, 1000, 1000}, {80, 2550, 1000, 680}, {1120, 2550, 1000, 680}};
    for (const Panneau &q : p) {
        t.style(rgb(255, 255, 255), rgb(200, 196, 180), 6);
        t.rectangle(q.x, q.y, q.x + q.w, q.y + q.h);
    }
    const auto place = [&](int i, double marge) {
        const double cote = std::min(p[i].w, p[i].h) - 2 * marge;
        t.empile();
        t.boite(p[i].x + (p[i].w - cote) / 2, p[i].y + (p[i].h - cote) / 2 + 20, cote, cote);
    };
    // 1 habit.
    t.empile();
    t.boite(p[0].x + 10, p[0].y + 10, p[0].w - 20, p[0].h - 20);
    paysage(t, kNaturel, premier("HABITAT"));
    t.depile();
    place(0, 110);
    const std::string bark = premier("ECORCE_COULEUR");
    arbre(t, kNaturel, premier("PORT"), conifere, conifere ? rgb(40, 110, 70) : nat::feuille, couleurEcorceNommee(bark));
    t.depile();
    // 2 leaf.
    place(1, 60);
    if (type == "needle")
        brinAiguilles(t, kNaturel, premier("AIGUILLES").empty() ? "single" : premier("AIGUILLES"));
    else if (type == "scale")
        rameauEcailles(t, kNaturel, premier("ECAILLES").empty() ? "flat" : premier("ECAILLES"));
    else {
        SpecFeuille f;
        f.composition = premier("COMPOSITION");
        if (f.composition.empty())
            f.composition = "simple";
        f.lobes = premier("LOBES").empty() ? "none" : premier("LOBES");
        f.forme = premier("FORME");
        f.base = premier("BASE");
        f.marge = premier("MARGE");
        f.nervation = premier("NERVATION");
        f.petiole = premier("PETIOLE");
        if (f.lobes == "palmate" && f.forme != "fan")
            f.forme = "round";
        f.dessous = true;
        const std::string dessous = premier("FACE_INF");
        f.couleurDessous = dessous == "white" ? nat::dessousBlanc : dessous == "pale" ? rgb(170, 200, 190) : nat::feuille;
        if (premier("TEXTURE") == "leathery")
            f.limbe = rgb(50, 120, 60);
        feuille(t, kNaturel, f);
    }
    t.depile();
    // 3 fruit.
    place(2, 90);
    const std::string genre = premier("FRUIT");
    if (genre == "cone")
        cone(t, kNaturel, premier("CONE_FORME").empty() ? "egg" : premier("CONE_FORME"), premier("CONE_PORT"));
    else
        fruit(t, kNaturel, genre, premier("FRUIT_COULEUR") == "brown" ? couleurFruit(genre) : couleurNommee(premier("FRUIT_COULEUR")));
    t.depile();
    // 4 bark.
    place(3, 120);
    ecorce(t, kNaturel, premier("ECORCE"), premier("ECORCE") == "peeling" || premier("ECORCE") == "patches"
                                                ? couleurEcorce(premier("ECORCE"))
                                                : couleurEcorceNommee(bark));
    t.depile();
    // 5 twig and bud.
    place(4, 60);
    bourgeon(t, kNaturel, premier("BOURGEON"));
    epines(t, kNaturel, premier("EPINES"));
    t.depile();
    // 6 flowers.
    place(5, 80);
    fleur(t, kNaturel, premier("FLEUR"));
    t.depile();
    // The numbers the legend refers to.
    for (int i = 0; i < 6; ++i) {
        t.style(rgb(70, 110, 60), rgb(255, 255, 255), 6);
        t.ellipse({p[i].x + 60, p[i].y + 60}, 40, 40);
        t.texte({p[i].x + 60, p[i].y + 80}, std::to_string(i + 1), 56, rgb(255, 255, 255), true, true);
    }
    return t;
}

Toile icone(const std::string &d, bool contradiction)
{
    Toile t(1000, 1000);
    t.style(rgb(246, 246, 236), rgb(150, 150, 140), 30);
    t.rectangle(20, 20, 980, 980);
    t.empile();
    t.boite(80, 80, 840, 840);
    if (d == "leaf") {
        feuille(t, kNaturel, SpecFeuille{});
    } else if (d == "needles") {
        brinAiguilles(t, kNaturel, "pairs");
    } else if (d == "fruit") {
        fruit(t, kNaturel, "acorn", nat::brun);
    } else if (d == "bark") {
        ecorce(t, kNaturel, "furrowed", couleurEcorce("furrowed"));
    } else if (d == "twig") {
        bourgeon(t, kNaturel, "pointed");
    } else if (d == "crown") {
        arbre(t, kNaturel, "rounded", false, nat::feuille, nat::bois);
    } else if (d == "search") {
        t.style(rgb(210, 230, 250), rgb(40, 60, 120), 60);
        t.ellipse({420, 420}, 280, 280);
        t.styleSeul(rgb(40, 60, 120));
        t.trait({{620, 620}, {900, 900}}, 110);
    } else if (d == "results") {
        t.styleSeul(rgb(40, 110, 70));
        for (int i = 0; i < 4; ++i)
            t.rectangle(100, 120 + 210 * i, 900 - 150 * i, 260 + 210 * i);
    } else if (d == "validate") {
        t.styleSeul(rgb(30, 150, 60));
        t.trait({{120, 520}, {400, 800}, {880, 180}}, 150);
    } else if (d == "leave") {
        t.styleSeul(rgb(60, 90, 160));
        t.polygone({{80, 500}, {480, 150}, {480, 360}, {900, 360}, {900, 640}, {480, 640}, {480, 850}});
    } else if (d == "pass") {
        t.styleSeul(rgb(200, 120, 30));
        t.polygone({{100, 150}, {500, 500}, {100, 850}});
        t.polygone({{500, 150}, {900, 500}, {500, 850}});
    } else {
        throw std::runtime_error("no icon picture " + d);
    }
    t.depile();
    if (contradiction) {
        t.styleSeul(rgb(220, 20, 20));
        t.trait({{80, 80}, {920, 920}}, 120);
        t.trait({{920, 80}, {80, 920}}, 120);
    }
    return t;
}

} // namespace tarvenko::sample
