#include "documents/documents.h"

#include <QFileInfo>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <limits>

#include "documents/chemins_documents.h"
#include "documents/cimgs.h"
#include "documents/frm_legende.h"
#include "documents/frm_zoom.h"
#include "documents/navigateur.h"
#include "documents/premier_plan.h"
#include "knowledge/key_model.h"
#include "knowledge/key_texts.h"
#include "knowledge/numeric.h"
#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

const QString kStop = QStringLiteral("Stop");

// A page position plus a scroll offset, kept within 32 bits.
qint32 somme(qint32 a, qint32 b)
{
    const qint64 s = qint64(a) + qint64(b);
    return qint32(std::clamp<qint64>(s, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

double tpp(int dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }

QUrl urlLocale(const std::string &chemin)
{
    // A relative folder in the settings would give a relative URL, which the browser cannot open.
    return QUrl::fromLocalFile(QFileInfo(qs(chemin)).absoluteFilePath());
}

} // namespace

Documents::Documents(const Liens &liens, QWidget *fenetre)
    : QObject(fenetre), m(liens.modele), m_WebTexte(liens.WebTexte), m_Barre_Verticale(liens.Barre_Verticale),
      m_Active_Bouton(liens.Active_Bouton), m_Desactive_Bouton(liens.Desactive_Bouton)
{
    m_frmZoom = new frmZoom(m_zoom, m_Image_Dessin, fenetre);
    m_frmLegende = new frmLegende(fenetre);
    m_clsImgs = new cImgs(this);

    // Only the key's own drawing pages: a file of the same name elsewhere on the disk (a link
    // from a page could lead there) gets no bridge.
    m_WebTexte->setTestPageDessin([this](const QUrl &url) {
        return especeDessin(url.toString()) && Dans_Dossier(url.toLocalFile(), qs(resoutChemin(m.Adresse_Documents)));
    });
    // Local pages read the documents folder and nothing else (the error page beside it is opened
    // by the program itself).
    m_WebTexte->setTestFichierLisible([this](const QString &fichier) {
        return surDisque() && Dans_Dossier(fichier, qs(resoutChemin(m.Adresse_Documents)));
    });
    connect(m_WebTexte, &Navigateur::BeforeNavigate2, this, &Documents::WebTexte_BeforeNavigate2);
    connect(m_WebTexte, &Navigateur::DocumentComplete, this, &Documents::WebTexte_DocumentComplete);
    connect(m_WebTexte, &Navigateur::rapportImage, this, &Documents::rapportImage);

    m_Timer1.setInterval(100);
    connect(&m_Timer1, &QTimer::timeout, this, &Documents::Timer1_Timer);
    m_Timer1.start();
}

Documents::~Documents()
{
    // The zoom window paints from this object's state.
    delete m_frmZoom.data();
    delete m_frmLegende.data();
}

frmZoom *Documents::zoom() const { return m_frmZoom.data(); }
frmLegende *Documents::legende() const { return m_frmLegende.data(); }

bool Documents::surDisque() const { return m.Distribution == "hd"; }

const FloreRow *Documents::especeDessin(const QString &adresse) const
{
    const QString code = Code_Page_Dessin(adresse, qs(m.Distribution));
    if (code.isEmpty())
        return nullptr;
    if (Est_Page_Dessin(adresse, qs(m.Code_Page), qs(m.Distribution)))
        if (const FloreRow *courante = m.Base_Donnees.espece(m.Espece_Courante))
            return courante;
    for (const FloreRow &f : m.Base_Donnees.Flore.rows)
        if (f.Code && qs(*f.Code).toLower() == code)
            return &f;
    return nullptr;
}

// ---- Commands ----

void Documents::Arriere()
{
    m_frmZoom->hide();
    m_frmLegende->hide();
    m_WebTexte->GoBack();
    if (m.Index_Document < std::numeric_limits<std::int16_t>::max())
        ++m.Index_Document;
}

void Documents::Avant()
{
    if (m.Index_Document == 0)
        return;
    m_WebTexte->GoForward();
    --m.Index_Document;
}

void Documents::Stop() { m_WebTexte->Stop(); }

void Documents::Timer1_Timer()
{
    if (!m_WebTexte || !m_WebTexte->isVisible())
        return;
    // No species current, or no page opened yet since the start: nothing to go back or forward to.
    const int etat = m_WebTexte->ReadyState();
    if (m.Code_Page.empty() && etat != Navigateur::READYSTATE_LOADING) {
        m_Desactive_Bouton(QStringLiteral("Arriere"));
        m_Desactive_Bouton(QStringLiteral("Avant"));
        return;
    }
    if (etat != Navigateur::READYSTATE_COMPLETE)
        return;
    if (Est_Page_Propre(m_WebTexte->LocationURL(), qs(m.Code_Page), qs(m.Suffixe_Langue)))
        m_Desactive_Bouton(QStringLiteral("Arriere"));
    else
        m_Active_Bouton(QStringLiteral("Arriere"));
    if (m.Index_Document > 0)
        m_Active_Bouton(QStringLiteral("Avant"));
    else
        m_Desactive_Bouton(QStringLiteral("Avant"));
}

// ---- Species pages ----

void Documents::Oublie_Dessin()
{
    m_frmZoom->hide();
    m_Image_Dessin = QImage();
    m_Texte_Legende.clear();
    m_frmLegende->hide();
}

void Documents::Libere_Zoom()
{
    m_frmZoom->hide();
    m_Image_Dessin = QImage();
    m_frmZoom->update();
}

void Documents::Ouvre_Page_Espece(QChar separateur)
{
    // The page opens in the interface language where the key has it, whatever language the page
    // read before was in; its links lead to the other languages.
    const QString suffixeInterface = qs(Suffixe_Langue_Interface(m.Num_Langue));
    m.Suffixe_Langue = us(Suffixe_Existant(qs(m.Distribution), qs(m.Adresse_Documents), qs(m.Code_Page),
                                           suffixeInterface, separateur));
    const PageEspece page = Page_Espece(qs(m.Distribution), qs(m.Adresse_Documents), qs(m.Code_Page),
                                        qs(m.Suffixe_Langue), separateur);
    constexpr int sansHistoriqueNiCache =
        Navigateur::navNoHistory | Navigateur::navNoReadFromCache | Navigateur::navNoWriteToCache;
    if (page.locale) {
        const std::string fichier = resoutChemin(us(page.chemin));
        if (!cheminExiste(fichier)) {
            const std::string erreur = resoutChemin(us(Page_Erreur_Existante(qs(m.Chemin_Data), suffixeInterface)));
            m_WebTexte->Navigate2(urlLocale(erreur), sansHistoriqueNiCache);
            return;
        }
        m_WebTexte->Stop();
        m_WebTexte->Navigate2(urlLocale(fichier), sansHistoriqueNiCache);
        return;
    }
    m_WebTexte->Stop();
    // An address no browser can open (the lone "/" an empty box used to be saved as) loads
    // nothing: Stop would stay on for a load that never comes.
    if (!m_WebTexte->Navigate2(QUrl(page.chemin, QUrl::TolerantMode), Navigateur::navNoHistory))
        m_Desactive_Bouton(kStop);
}

void Documents::Ouvre_Page_Programme(const QString &fichier)
{
    Oublie_Dessin();
    m_WebTexte->Stop();
    // Kept in the history after the page it was asked from: Back returns there, Forward comes
    // back to the differences.
    m_WebTexte->Navigate2(QUrl::fromLocalFile(fichier), Navigateur::navNoReadFromCache | Navigateur::navNoWriteToCache);
}

void Documents::Change_Langue()
{
    const FloreRow *espece = m_WebTexte ? especeDessin(m_WebTexte->LocationURL()) : nullptr;
    if (!espece)
        return;
    m_Texte_Legende = qs(Legende_Langue(m.Base_Donnees, *espece, m.Num_Langue).value_or(""));
    if (!m_frmLegende->isVisible())
        return;
    if (m_Texte_Legende.isEmpty())
        m_frmLegende->hide();
    else
        m_frmLegende->Affiche(qs(Texte_Ou_Anglais(m.Num_Langue, 1400)), m_Texte_Legende);
}

void Documents::Sans_Page()
{
    m_WebTexte->Stop();
    m_WebTexte->Vide();
}

// ---- Browser events ----

void Documents::Affiche_Legende(bool aCote)
{
    m_frmLegende->Affiche(qs(Texte_Ou_Anglais(m.Num_Langue, 1400)), m_Texte_Legende);
    // Shown first: the frame's width counts, and it is known once the window is.
    m_frmLegende->show();
    if (aCote && m_Barre_Verticale) {
        // The window goes beside the splitter, on the screen where the splitter is.
        const double tx = tpp(m_Barre_Verticale->logicalDpiX()), ty = tpp(m_Barre_Verticale->logicalDpiY());
        const QPoint barre = m_Barre_Verticale->mapToGlobal(QPoint(0, 0));
        const PositionTwips p = Place_Legende(static_cast<std::int32_t>(arrondiPair(barre.x() * tx)),
                                              static_cast<std::int32_t>(arrondiPair(barre.y() * ty)),
                                              m_Barre_Verticale->height() * ty,
                                              m_frmLegende->frameGeometry().width() * tx);
        // Kept on the screen: beside a narrow column a wide legend would start left of it.
        const QRect ecran = m_Barre_Verticale->screen()->availableGeometry();
        const QSize cadre = m_frmLegende->frameGeometry().size();
        const int x = static_cast<int>(arrondiPair(p.left / tx)), y = static_cast<int>(arrondiPair(p.top / ty));
        m_frmLegende->move(std::clamp(x, ecran.left(), std::max(ecran.left(), ecran.right() + 1 - cadre.width())),
                           std::clamp(y, ecran.top(), std::max(ecran.top(), ecran.bottom() + 1 - cadre.height())));
    }
    Premier_Plan(m_frmLegende, true);
}

void Documents::WebTexte_BeforeNavigate2(const QUrl &url, bool)
{
    if (Annonce_Dessin(url.toString()) && !m_Texte_Legende.isEmpty())
        Affiche_Legende(false);
    if (!surDisque())
        m_Active_Bouton(kStop);
}

void Documents::WebTexte_DocumentComplete(const QUrl &, bool principal)
{
    // The previous page's images go; only a drawing page's report.
    m_clsImgs->deleteLater();
    m_clsImgs = new cImgs(this);
    connect(m_clsImgs, &cImgs::MouseDown, this, &Documents::m_clsImgs_MouseDown);
    connect(m_clsImgs, &cImgs::MouseMove, this, &Documents::m_clsImgs_MouseMove);

    const QString adresse = m_WebTexte->LocationURL();
    // The current species' drawing page, or another species' reached through a page's links:
    // its own legend, drawing and zoom caption.
    const FloreRow *espece = especeDessin(adresse);
    const bool courante = Est_Page_Dessin(adresse, qs(m.Code_Page), qs(m.Distribution));
    if (espece && !courante)
        m_frmLegende->hide(); // shown again with this species' legend
    if (espece) {
        m_clsImgs->ImgParse(m_WebTexte);
        m_zoom.Decalage_X = kDecalageDessinX;
        m_zoom.Decalage_Y = kDecalageDessinY;
        if (courante) {
            m_Titre_Zoom = qs(m.Espece_Courante) + QStringLiteral(" - ") + qs(m.Famille_Courante);
        } else {
            QString famille = qs(espece->Famille.value_or("")).toLower();
            if (!famille.isEmpty())
                famille[0] = famille.at(0).toUpper();
            m_Titre_Zoom = qs(espece->Espece) + QStringLiteral(" - ") + famille;
        }
        if (!m_frmLegende->isVisible()) {
            const Champ<std::string> legende = Legende_Langue(m.Base_Donnees, *espece, m.Num_Langue);
            m_Texte_Legende = qs(legende.value_or(""));
            if (legende)
                Affiche_Legende(true);
        }
        const std::string gif = resoutChemin(us(Fichier_Dessin(qs(m.Adresse_Documents), Code_Page_Dessin(adresse, qs(m.Distribution)))));
        if (!cheminExiste(gif)) {
            m_Image_Dessin = QImage();
            return;
        }
        // A picture that cannot be read leaves the drawing as it was.
        if (QImage dessin(qs(gif)); !dessin.isNull())
            m_Image_Dessin = dessin;
    } else {
        m_frmZoom->hide();
        m_frmLegende->hide();
    }
    if (!surDisque() && principal)
        m_Desactive_Bouton(kStop);
}

// ---- Images and zoom ----

void Documents::rapportImage(GenreImage genre, const QString &href, qint32 x, qint32 y, qint32 scrollLeft,
                             qint32 scrollTop)
{
    switch (genre) {
    case GenreImage::Clicked: m_clsImgs->ImgClicked(href, x, y, scrollLeft, scrollTop); break;
    case GenreImage::MouseDown: m_clsImgs->ImgMouseDown(href, x, y, scrollLeft, scrollTop); break;
    case GenreImage::MouseMove: m_clsImgs->ImgMouseMove(href, x, y, scrollLeft, scrollTop); break;
    }
}

void Documents::souris(qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop)
{
    m_zoom.Souris_X = somme(x, scrollLeft);
    m_zoom.Souris_Y = somme(y, scrollTop);
}

void Documents::placeZoom()
{
    Place_Zoom(m_zoom, m_frmZoom->mesure());
    m_frmZoom->Dessine_Zoom();
}

void Documents::m_clsImgs_MouseDown(const QString &, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop)
{
    souris(x, y, scrollLeft, scrollTop);
    if (!m_Texte_Legende.isEmpty() && !m_frmLegende->isVisible())
        Affiche_Legende(true);
    if (m_zoom.Souris_Y >= m_zoom.Decalage_Y && m_zoom.Souris_X >= m_zoom.Decalage_X && !m_Image_Dessin.isNull() &&
        surDisque() && !m_frmZoom->isVisible()) {
        m_frmZoom->setWindowTitle(QStringLiteral("Zoom 4x : ") + m_Titre_Zoom);
        m_frmZoom->show();
        if (!m_zoomPlace && m_WebTexte) {
            // The first time, over the browser's top right corner, clear of the reduced drawing
            // at the page's left; afterwards wherever the user put it.
            const QPoint coin = m_WebTexte->mapToGlobal(QPoint(m_WebTexte->width(), 0));
            m_frmZoom->move(coin.x() - m_frmZoom->frameGeometry().width(), coin.y());
            m_zoomPlace = true;
        }
        Premier_Plan(m_frmZoom, true);
    }
    placeZoom();
}

void Documents::m_clsImgs_MouseMove(const QString &, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop)
{
    souris(x, y, scrollLeft, scrollTop);
    placeZoom();
}

// ---- Closing ----

Documents::Visibles Documents::Cache_Fenetres()
{
    const Visibles v{m_frmZoom->isVisible(), m_frmLegende->isVisible()};
    m_frmZoom->hide();
    m_frmLegende->hide();
    return v;
}

void Documents::Rend_Fenetres(Visibles v)
{
    if (v.zoom) {
        m_frmZoom->show();
        Premier_Plan(m_frmZoom, true);
    }
    if (v.legende) {
        m_frmLegende->show();
        Premier_Plan(m_frmLegende, true);
    }
}

} // namespace tarvenko
