#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

#include "documents/zoom.h"

class QUrl;

namespace tarvenko {

struct KeyModel;
struct FloreRow;
class Navigateur;
class cImgs;
class frmLegende;
class frmZoom;
enum class GenreImage;

// The browser's side of the main window: the species pages opened in WebTexte, Back, Forward and
// Stop with their buttons, the legend window of drawing pages, the drawing's images and the
// four-times zoom. The main window creates one and runs the commands through it.
class Documents final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Documents)

public:
    struct Liens {
        KeyModel &modele;
        Navigateur *WebTexte = nullptr;
        QWidget *Barre_Verticale = nullptr; // the legend window goes beside it
        std::function<void(const QString &)> Active_Bouton;
        std::function<void(const QString &)> Desactive_Bouton;
    };
    // `fenetre` owns the zoom and legend windows.
    Documents(const Liens &liens, QWidget *fenetre);
    ~Documents() override;

    // Commands Arriere, Avant and Stop.
    void Arriere();
    void Avant();
    void Stop();

    // A species is being chosen: the zoom and legend windows go, with the drawing and its legend.
    void Oublie_Dessin();
    // Back to the drawing of the key: the zoom window goes and lets its picture go.
    void Libere_Zoom();
    // Opens the page of Code_Page in Suffixe_Langue: a local file when the documents are on the
    // disk (the error page when it is missing), else a web address. `separateur` is the one the
    // caller builds local paths with.
    void Ouvre_Page_Espece(QChar separateur);
    // A page the program wrote itself (the differences between species), a local file outside
    // the documents folder.
    void Ouvre_Page_Programme(const QString &fichier);
    // No species to show (none reaches the threshold): no page, not the error page.
    void Sans_Page();
    // The interface language has changed: the legend of the drawing page on show in the new
    // language, in its window if it is open (which stays where it is).
    void Change_Langue();
    // Every 100 ms: Back off on the species' own page, Forward while there are Back steps to undo;
    // both off while no species is current.
    void Timer1_Timer();

    // For closing: hides both windows and says which were shown; gives them back.
    struct Visibles {
        bool zoom = false;
        bool legende = false;
    };
    Visibles Cache_Fenetres();
    void Rend_Fenetres(Visibles v);

    frmZoom *zoom() const;
    frmLegende *legende() const;
    cImgs *clsImgs() const { return m_clsImgs; }
    const QString &Texte_Legende() const { return m_Texte_Legende; }
    const QImage &Image_Dessin() const { return m_Image_Dessin; }
    const EtatZoom &etatZoom() const { return m_zoom; }
    QTimer &Timer1() { return m_Timer1; }

private:
    void WebTexte_BeforeNavigate2(const QUrl &url, bool principal);
    void WebTexte_DocumentComplete(const QUrl &url, bool principal);
    void rapportImage(GenreImage genre, const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void m_clsImgs_MouseDown(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void m_clsImgs_MouseMove(const QString &href, qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void souris(qint32 x, qint32 y, qint32 scrollLeft, qint32 scrollTop);
    void placeZoom();
    // The legend display; `aCote` also places the window beside the splitter.
    void Affiche_Legende(bool aCote);
    bool surDisque() const;
    // The species of the key whose drawing page `adresse` is (the current species first), or null.
    const FloreRow *especeDessin(const QString &adresse) const;

    KeyModel &m;
    // The window's panes may go before this object when the window is destroyed.
    QPointer<Navigateur> m_WebTexte;
    QPointer<QWidget> m_Barre_Verticale;
    std::function<void(const QString &)> m_Active_Bouton, m_Desactive_Bouton;

    QString m_Texte_Legende;
    QImage m_Image_Dessin;
    EtatZoom m_zoom;
    QString m_Titre_Zoom; // the species and family of the drawing shown
    QPointer<frmZoom> m_frmZoom;
    bool m_zoomPlace = false; // the zoom window has had its first place
    QPointer<frmLegende> m_frmLegende;
    cImgs *m_clsImgs = nullptr;
    QTimer m_Timer1;
};

} // namespace tarvenko
