#include "views/pic_choix.h"

#include "views/liste_etats.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/numeric_characters.h"
#include "knowledge/image_langue.h"
#include "knowledge/file_lookup.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"
#include "knowledge/numeric.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

std::int32_t entier(double value) { return static_cast<std::int32_t>(arrondiPair(value)); }

double twipsPerPixel(const QWidget *w, bool horizontal)
{
    const int dpi = horizontal ? w->logicalDpiX() : w->logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

constexpr int kCoteImageMax = 1024;

// Cell k of a grid over `zone`.
QRectF cellule(const QRectF &zone, DispositionGrille g, int k)
{
    const double w = zone.width() / g.colonnes;
    const double h = zone.height() / g.lignes;
    return {zone.left() + (k % g.colonnes) * w, zone.top() + (k / g.colonnes) * h, w, h};
}

// The margin around a drawn cell's content, in the painter's units.
double marge(const QRectF &r) { return std::clamp(std::min(r.width(), r.height()) * 0.05, 3.0, 12.0); }

// The lines of `texte` wrapped to `largeur`: at most `maxLignes`, the last one elided when the
// text does not fit.
QStringList lignesTexte(const QString &texte, const QFont &police, double largeur, int maxLignes)
{
    QStringList lignes;
    QTextLayout layout(texte, police);
    QTextOption option;
    // A word wider than the cell is broken rather than drawn over its neighbour.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(largeur);
        if (lignes.size() + 1 == maxLignes) {
            const QString reste = texte.mid(line.textStart());
            lignes << QFontMetricsF(police).elidedText(reste.simplified(), Qt::ElideRight, largeur);
            break;
        }
        lignes << texte.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lignes;
}

void dessineLignes(QPainter &painter, const QRectF &zone, const QStringList &lignes, const QFont &police)
{
    const QFontMetricsF fm(police);
    double y = zone.top() + (zone.height() - static_cast<double>(lignes.size()) * fm.lineSpacing()) / 2;
    painter.setFont(police);
    for (const QString &ligne : lignes) {
        painter.drawText(QRectF(zone.left(), y, zone.width(), fm.lineSpacing()), Qt::AlignHCenter | Qt::AlignVCenter, ligne);
        y += fm.lineSpacing();
    }
}

// The largest rectangle of the shape of `taille` inside `zone`, centred.
QRectF ajuste(const QSizeF &taille, const QRectF &zone)
{
    if (taille.isEmpty())
        return zone;
    const QSizeF s = taille.scaled(zone.size(), Qt::KeepAspectRatio);
    return {zone.center().x() - s.width() / 2, zone.center().y() - s.height() / 2, s.width(), s.height()};
}

} // namespace

std::vector<CaseDessinee> Cases_Dessinees(const KeyModel &m)
{
    std::vector<CaseDessinee> cases;
    const Descripteur &d = m.Descripteur_Courant;
    for (int k = 0; k < d.Nb_Car; ++k) {
        CaseDessinee c;
        const int etat = d.Index_Car + k;
        c.nom = qs(Nom_Etat_Langue(m.Base_Donnees, etat, m.Num_Langue));
        if (const std::string image = Image_Etat(m, etat); !image.empty()) {
            const QString chemin = qs(Chemin_Image_Descripteur(m, image));
            QImageReader reader(chemin);
            reader.setAutoTransform(true);
            // A photograph is read no larger than a cell can show, so a grid of them stays light.
            if (const QSize taille = reader.size(); taille.width() > kCoteImageMax || taille.height() > kCoteImageMax)
                reader.setScaledSize(taille.scaled(kCoteImageMax, kCoteImageMax, Qt::KeepAspectRatio));
            if (!reader.format().isEmpty())
                c.image = reader.read();
            else
                c.metafile = Metafile::load(chemin);
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

bool Grille_Lisible(int cases, int lignes, int colonnes, double largeur, double hauteur)
{
    if (cases <= 0)
        return true;
    if (lignes <= 0 || colonnes <= 0)
        return false;
    return largeur / colonnes >= 64 && hauteur / lignes >= 32;
}

void Dessine_Grille(QPainter &painter, const QRectF &zone, DispositionGrille grille, const std::vector<CaseDessinee> &cases,
                    const QFont &police)
{
    if (grille.lignes <= 0 || grille.colonnes <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int n = std::min<int>(static_cast<int>(cases.size()), grille.lignes * grille.colonnes);
    for (int k = 0; k < n; ++k) {
        const CaseDessinee &c = cases[static_cast<std::size_t>(k)];
        const QRectF r = cellule(zone, grille, k);
        const double m = marge(r);
        const QRectF cadre = r.adjusted(m, m, -m, -m);
        if (cadre.width() < 2 || cadre.height() < 2)
            continue;
        painter.setPen(QPen(QColor(190, 190, 190), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(cadre, 4, 4);
        const QRectF contenu = cadre.adjusted(m, m, -m, -m);
        // Names readable at a glance, in proportion to the cell within sensible bounds.
        QFont f = police;
        f.setPixelSize(std::clamp(static_cast<int>(std::min(r.height() / 10, r.width() / 11)), 10, 20));
        const bool image = !c.image.isNull() || (c.metafile && !c.metafile->isEmpty());
        painter.setPen(QColor(32, 32, 32));
        if (!image) {
            f.setPixelSize(f.pixelSize() * 5 / 4);
            const int maxLignes = std::max(1, static_cast<int>(contenu.height() / QFontMetricsF(f).lineSpacing()));
            dessineLignes(painter, contenu, lignesTexte(c.nom, f, contenu.width(), maxLignes), f);
            continue;
        }
        const double interligne = QFontMetricsF(f).lineSpacing();
        const QStringList lignes = c.nom.isEmpty() ? QStringList() : lignesTexte(c.nom, f, contenu.width(), 2);
        const double hauteurTexte = static_cast<double>(lignes.size()) * interligne;
        const QRectF zoneTexte(contenu.left(), contenu.bottom() - hauteurTexte, contenu.width(), hauteurTexte);
        const QRectF zoneImage = contenu.adjusted(0, 0, 0, -hauteurTexte - (lignes.isEmpty() ? 0 : m / 2));
        if (zoneImage.height() >= 4) {
            if (!c.image.isNull())
                painter.drawImage(ajuste(c.image.size(), zoneImage), c.image);
            else
                c.metafile->play(painter, ajuste(c.metafile->frame().size(), zoneImage), Metafile::Edges::Smooth);
        }
        dessineLignes(painter, zoneTexte, lignes, f);
    }
    painter.restore();
}

int Case_Sous(double x, double y, double largeur, double hauteur, int colonnes, int lignes)
{
    if (colonnes <= 0 || lignes <= 0 || largeur <= 0 || hauteur <= 0)
        return -1;
    const int column = static_cast<int>(std::floor(x / (largeur / colonnes)));
    const int row = static_cast<int>(std::floor(y / (hauteur / lignes)));
    if (column < 0 || row < 0 || column >= colonnes || row >= lignes)
        return -1;
    return row * colonnes + column;
}

RectTwips Rectangle_Case(int k, double W, double H, int colonnes, int lignes, int epaisseur, double tppX, double tppY)
{
    const int row = k / colonnes;
    const int column = k % colonnes;
    const double x1 = column * W / colonnes;
    const double y1 = row * H / lignes;
    const double x2 = column == colonnes - 1 ? W - (epaisseur - 1) * tppX : (column + 1) * W / colonnes;
    const double y2 = row == lignes - 1 ? H - (epaisseur - 1) * tppY : (row + 1) * H / lignes;
    return {entier(x1), entier(y1), entier(x2) - entier(x1), entier(y2) - entier(y1)};
}

std::int16_t Choisit_Case(std::int16_t selection, int k, int nbCar)
{
    if (k < 0 || k >= nbCar)
        return selection;
    if (selection == k)
        return -1;
    return static_cast<std::int16_t>(k);
}

int Case_Voisine(int k, int dx, int dy, int colonnes, int nbCar)
{
    if (colonnes <= 0 || k < 0 || k >= nbCar)
        return k;
    const int column = k % colonnes + dx;
    const int voisine = k + dy * colonnes + dx;
    if (column < 0 || column >= colonnes || voisine < 0 || voisine >= nbCar)
        return k;
    return voisine;
}

PicChoixView::PicChoixView(QWidget *parent) : QWidget(parent), m_listeEtats(new ListeEtatsView(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_listeEtats->hide();
    // The list's choice is the grid's: the same selection, the same signals.
    connect(m_listeEtats, &ListeEtatsView::choix, this, [this](int etat) {
        if (!m_modele)
            return;
        Descripteur &d = m_modele->Descripteur_Courant;
        d.Selection = static_cast<std::int16_t>(etat >= 0 && etat < d.Nb_Car ? etat : -1);
        if (d.Selection >= 0)
            m_case = d.Selection;
        Q_EMIT selectionChanged(d.Selection);
    });
    connect(m_listeEtats, &ListeEtatsView::courantChange, this, [this](int etat, const QString &nom) {
        m_case = etat;
        Q_EMIT caseClavierChanged(etat, nom);
    });
    connect(m_listeEtats, &ListeEtatsView::valide, this, &PicChoixView::valide);
    connect(m_listeEtats, &ListeEtatsView::quitte, this, &PicChoixView::quitte);
}

void PicChoixView::setModele(KeyModel *m) { m_modele = m; }

void PicChoixView::setImage(Metafile picture)
{
    // The question opened again reads its picture again: the image already played is kept.
    const bool garde = m_imageValide && !m_dessinee && picture.memeDessin(m_picture);
    m_picture = std::move(picture);
    m_dessinee = false;
    m_cases.clear();
    nouvelleQuestion();
    m_imageValide = garde;
    placeListe(true);
}

void PicChoixView::setGrilleDessinee(std::vector<CaseDessinee> cases)
{
    m_picture = Metafile();
    m_dessinee = true;
    m_cases = std::move(cases);
    nouvelleQuestion();
    placeListe(true);
}

void PicChoixView::placeListe(bool nouvelle)
{
    const DispositionGrille g = m_dessinee ? grille() : DispositionGrille{};
    const bool liste = m_dessinee && m_modele &&
                       !Grille_Lisible(static_cast<int>(m_cases.size()), g.lignes, g.colonnes, width(), height());
    if (liste && (nouvelle || !m_enListe)) {
        std::vector<QString> noms;
        noms.reserve(m_cases.size());
        for (const CaseDessinee &c : m_cases)
            noms.push_back(c.nom);
        m_listeEtats->montre(std::move(noms), m_modele->Descripteur_Courant.Selection, m_modele->Num_Langue);
    }
    if (liste == m_enListe)
        return;
    const bool focus = hasFocus() || m_listeEtats->isAncestorOf(QApplication::focusWidget());
    m_enListe = liste;
    m_listeEtats->setGeometry(rect());
    m_listeEtats->setVisible(liste);
    // The keys go to the list's search box, or to the grid itself.
    setFocusProxy(liste ? m_listeEtats : nullptr);
    if (focus)
        setFocus();
    update();
}

void PicChoixView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_listeEtats->setGeometry(rect());
    placeListe(false);
}

void PicChoixView::nouvelleQuestion()
{
    m_imageValide = false;
    // A new question: the keyboard starts on the chosen state, or on the first.
    m_case = -1;
    if (m_modele && m_modele->Descripteur_Courant.Nb_Car > 0)
        m_case = std::max<int>(m_modele->Descripteur_Courant.Selection, 0);
    nommeCase();
    update();
}

DispositionGrille PicChoixView::grille() const
{
    if (!m_modele)
        return {};
    const Descripteur &d = m_modele->Descripteur_Courant;
    if (!m_dessinee)
        return {d.Lignes, d.Colonnes};
    return Disposition_Grille(static_cast<int>(m_cases.size()), d.Lignes, d.Colonnes, width(), height());
}

void PicChoixView::dessineGrille(QPainter &painter, const QRectF &zone) const
{
    if (!m_modele)
        return;
    const Descripteur &d = m_modele->Descripteur_Courant;
    const DispositionGrille g =
        Disposition_Grille(static_cast<int>(m_cases.size()), d.Lignes, d.Colonnes, zone.width(), zone.height());
    if (g.lignes <= 0 || g.colonnes <= 0)
        return;
    if (d.Selection >= 0 && d.Selection < g.lignes * g.colonnes) {
        const QRectF r = cellule(zone, g, d.Selection);
        const double m = marge(r);
        painter.fillRect(r.adjusted(m, m, -m, -m), QColor(0, 0, 255, 40));
    }
    Dessine_Grille(painter, zone, g, m_cases, font());
}

const QImage &PicChoixView::imageLisse()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (!m_imageValide || m_image.size() != pixels || m_image.devicePixelRatio() != ratio) {
        if (m_dessinee) {
            // Cells, pictures and names over a transparent ground: the chosen cell's ground is
            // painted under them, so a new choice does not redraw the grid.
            m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            m_image.setDevicePixelRatio(ratio);
            m_image.fill(Qt::transparent);
            QPainter painter(&m_image);
            Dessine_Grille(painter, QRectF(QPointF(), QSizeF(size())), grille(), m_cases, font());
            m_imageValide = true;
            return m_image;
        }
        // Played in device pixels, so pens and text keep their share of the box at any ratio.
        if (m_image.size() != pixels || m_image.format() != QImage::Format_RGB32)
            m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(1);
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        m_picture.play(painter, QRectF(QPointF(), QSizeF(pixels)), Metafile::Edges::Smooth);
        painter.end();
        m_image.setDevicePixelRatio(ratio);
        m_imageValide = true;
    }
    return m_image;
}

QString PicChoixView::Bulle(int k) const
{
    if (!m_modele)
        return {};
    const Descripteur &d = m_modele->Descripteur_Courant;
    if (k < 0 || k >= d.Nb_Car)
        return {};
    // A drawn cell is named as it is drawn, by its state's ID_CARAC where the key gives no name.
    if (m_dessinee)
        return static_cast<std::size_t>(k) < m_cases.size() ? m_cases[static_cast<std::size_t>(k)].nom : QString();
    const CaractereRow *row = m_modele->Base_Donnees.caractere(d.Index_Car + k);
    const Champ<std::string> nom = row ? Nom_Etat_Langue(m_modele->Base_Donnees, *row, m_modele->Num_Langue) : std::nullopt;
    return nom ? qs(*nom) : QString();
}

QString PicChoixView::Bulle_Case(double x, double y) const
{
    if (!m_modele)
        return {};
    const DispositionGrille g = grille();
    return Bulle(Case_Sous(x, y, width(), height(), g.colonnes, g.lignes));
}

void PicChoixView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_enListe) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    const DispositionGrille g = grille();
    const Descripteur *d = m_modele ? &m_modele->Descripteur_Courant : nullptr;
    if (m_dessinee) {
        painter.fillRect(rect(), Qt::white);
        // The chosen cell's ground, pale blue within its frame, under its picture and name.
        if (d && d->Selection >= 0 && d->Selection < g.lignes * g.colonnes) {
            const QRectF r = cellule(QRectF(rect()), g, d->Selection);
            const double m = marge(r);
            painter.fillRect(r.adjusted(m, m, -m, -m), QColor(225, 233, 255));
        }
    }
    painter.drawImage(0, 0, imageLisse());
    if (!d || g.colonnes <= 0 || g.lignes <= 0)
        return;
    const double tppX = twipsPerPixel(this, true);
    const double tppY = twipsPerPixel(this, false);
    const auto contour = [&](int k) {
        const RectTwips cell = Rectangle_Case(k, width() * tppX, height() * tppY, g.colonnes, g.lignes, kEpaisseur, tppX, tppY);
        // The pen is centred on the outline's path: inset by half its width keeps it in the cell.
        const double half = kEpaisseur / 2.0;
        return QRectF(cell.left / tppX + half, cell.top / tppY + half, cell.width / tppX - kEpaisseur + 1,
                      cell.height / tppY - kEpaisseur + 1);
    };
    painter.setBrush(Qt::NoBrush);
    if (d->Selection >= 0) {
        painter.setPen(QPen(QColor(0, 0, 255), kEpaisseur));
        painter.drawRect(contour(d->Selection));
    }
    // The keyboard's outline, dashed and inside the chosen one, only while the keys act here.
    if (hasFocus() && m_case >= 0 && m_case < g.lignes * g.colonnes) {
        QPen pen(QColor(0, 0, 255), 2, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRect(contour(m_case).adjusted(kEpaisseur + 1, kEpaisseur + 1, -kEpaisseur - 1, -kEpaisseur - 1));
    }
}

void PicChoixView::mousePressEvent(QMouseEvent *event)
{
    m_Choix_X = qRound(event->position().x());
    m_Choix_Y = qRound(event->position().y());
    if (event->button() == Qt::LeftButton)
        m_appui = true;
}

void PicChoixView::mouseReleaseEvent(QMouseEvent *event)
{
    // Only a left-button click picks a cell; every press still records its position.
    if (event->button() != Qt::LeftButton)
        return;
    const bool appui = std::exchange(m_appui, false);
    if (!appui || !rect().contains(event->position().toPoint()) || !m_modele)
        return;
    QCoreApplication::processEvents();
    Descripteur &d = m_modele->Descripteur_Courant;
    const DispositionGrille g = grille();
    const int k = Case_Sous(m_Choix_X, m_Choix_Y, width(), height(), g.colonnes, g.lignes);
    if (k >= 0 && k < d.Nb_Car)
        m_case = k;
    choisit(k);
}

void PicChoixView::choisit(int k)
{
    Descripteur &d = m_modele->Descripteur_Courant;
    d.Selection = Choisit_Case(d.Selection, k, d.Nb_Car);
    nommeCase();
    update();
    Q_EMIT selectionChanged(d.Selection);
}

void PicChoixView::placeCase(int k)
{
    if (k == m_case)
        return;
    m_case = k;
    nommeCase();
    update();
    Q_EMIT caseClavierChanged(k, Bulle(k));
}

void PicChoixView::nommeCase()
{
    // A screen reader follows the keyboard's outline: the state, then whether it is chosen.
    if (!m_modele || m_case < 0)
        return; // the grid keeps its own name
    const bool choisie = m_modele->Descripteur_Courant.Selection == m_case;
    setAccessibleName(QStringLiteral("%1, %2").arg(Bulle(m_case),
                                                   qs(Texte_Ou_Anglais(m_modele->Num_Langue, choisie ? 1600 : 1601))));
    setAccessibleDescription(qs(m_modele->Descripteur_Courant.TipText));
}

void PicChoixView::keyPressEvent(QKeyEvent *event)
{
    if (!m_modele || m_case < 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const Descripteur &d = m_modele->Descripteur_Courant;
    const int colonnes = grille().colonnes;
    const auto deplace = [&](int dx, int dy) { placeCase(Case_Voisine(m_case, dx, dy, colonnes, d.Nb_Car)); };
    switch (event->key()) {
    case Qt::Key_Left: deplace(-1, 0); break;
    case Qt::Key_Right: deplace(1, 0); break;
    case Qt::Key_Up: deplace(0, -1); break;
    case Qt::Key_Down: deplace(0, 1); break;
    case Qt::Key_Space: choisit(m_case); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The first Enter chooses the cell; Enter on the chosen cell validates.
        if (d.Selection == m_case)
            Q_EMIT valide();
        else
            choisit(m_case);
        break;
    case Qt::Key_Escape: Q_EMIT quitte(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PicChoixView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PicChoixView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void PicChoixView::mouseMoveEvent(QMouseEvent *event)
{
    const QString tip = Bulle_Case(event->position().x(), event->position().y());
    setToolTip(tip);
    if (tip.isEmpty())
        QToolTip::hideText();
}

} // namespace tarvenko
