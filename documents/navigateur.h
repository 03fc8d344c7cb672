#pragma once

#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <deque>
#include <functional>

class QPrinter;
class QWebEngineHistory;
class QWebEnginePage;
class QWebChannel;
class QWebEngineLoadingInfo;

namespace tarvenko {

class GardeFichiers;
class PageDocuments;
class PontImages;

// What a wrapped image of a drawing page reports.
enum class GenreImage { Clicked, MouseDown, MouseMove };

// One report of an image, checked: the image's address, the event's position and the document's
// scroll offsets.
struct RapportImage {
    GenreImage genre;
    QString href;
    qint32 x, y, scrollLeft, scrollTop;
};

// The document browser WebTexte: a Qt WebEngine view with the operations and events the program
// uses (navigation with flags, Back, Forward, Stop, location, ready state, printing; before
// navigation and document complete, for frames too). Local drawing pages get the image script and
// its channel; every other page, every page from a web server and every error page gets neither.
// Only file, http and https addresses are ever opened: any other scheme (javascript:, data:, a
// scheme some other program handles) is refused before anything happens.
class Navigateur final : public QWebEngineView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Navigateur)

public:
    // Navigation flags: no history entry, do not read from the cache, do not write to it.
    static constexpr int navNoHistory = 2;
    static constexpr int navNoReadFromCache = 4;
    static constexpr int navNoWriteToCache = 8;
    // Ready states: nothing loaded yet, loading, complete.
    static constexpr int READYSTATE_UNINITIALIZED = 0;
    static constexpr int READYSTATE_LOADING = 1;
    static constexpr int READYSTATE_COMPLETE = 4;

    explicit Navigateur(QWidget *parent = nullptr);
    ~Navigateur() override;

    // With navNoHistory the page opened replaces the browser's whole history: once it has loaded
    // there is nothing to go back or forward to. The cache flags do not apply to local files,
    // which is all the program opens with them. False, with nothing started, for an address the
    // browser does not open: another scheme, no scheme, or a web address without a host.
    bool Navigate2(const QUrl &url, int flags = 0);
    void GoBack();
    void GoForward();
    void Stop();
    // Shows no document (an empty page of the program's own, with no history behind it).
    void Vide();
    QString LocationURL() const;
    int ReadyState() const { return m_readyState; }
    // Prints the document; printFinished tells the outcome. A printer set to write a PDF file
    // gets the browser's PDF, with its text as text.
    void Imprime(QPrinter *printer);

    // Decides, before each top-level navigation, whether its target is a local drawing page.
    void setTestPageDessin(std::function<bool(const QUrl &)> test) { m_testPageDessin = std::move(test); }
    // Decides which local files the pages may read (pictures, frames, scripts, fetch and requests
    // alike, and the pages links lead to): by default none. The page the program itself opens is
    // read wherever it is, and so is any page it opened before, which Back may return to.
    void setTestFichierLisible(std::function<bool(const QString &)> test) { m_testFichierLisible = std::move(test); }
    // The image script and its channel are installed: the current navigation is a drawing page's.
    bool pontInstalle() const { return m_pontInstalle; }
    // The schemes the browser opens.
    static bool schemePermis(const QUrl &url);
    // Reports waiting to be handed on, at most this many: a page that floods the bridge costs one
    // report per kind and turn of the event loop, not one per message.
    static constexpr std::size_t kRapportsMax = 64;

    // The view's page, history and address: the page is made on first use (see pageDocuments).
    QWebEnginePage *page() const;
    QWebEngineHistory *history() const;
    QUrl url() const;

Q_SIGNALS:
    // Before every navigation of the top-level document or of a frame.
    void BeforeNavigate2(const QUrl &url, bool principal);
    // A document has finished loading (or stopped, or failed): the top-level one or a frame's.
    void DocumentComplete(const QUrl &url, bool principal);
    // The image script of the top-level drawing page is ready to report.
    void imagesPretes();
    void rapportImage(tarvenko::GenreImage genre, const QString &href, qint32 x, qint32 y, qint32 scrollLeft,
                      qint32 scrollTop);

private:
    friend class PageDocuments;
    friend class GardeFichiers;
    PageDocuments *pageDocuments() const;
    void creePage();
    bool pageDessin(const QUrl &url) const;
    // A request of a page for `url`; `principal`: the top-level document.
    bool requetePermise(const QUrl &url, bool principal) const;
    bool rapportsPermis() const;
    bool avantNavigation(const QUrl &url, bool principal, bool historique);
    void messageConsole(const QString &message);
    void etatChargement(const QWebEngineLoadingInfo &info);
    // Queues a checked report; consecutive moves make one, the latest.
    void recoit(const RapportImage &rapport);
    void livreRapports();
    // Scripts and channel are set before a navigation the program starts: a document made in a
    // new process gets what was there when the navigation began. Links are handled when they
    // ask to navigate, before their new document exists.
    void installePont(bool oui);
    void chargementFini();

    PageDocuments *m_page = nullptr;
    QWebChannel *m_canal = nullptr;
    PontImages *m_pont = nullptr;
    QWebEngineScript m_scriptImages;
    QString m_marque; // known only to the program's scripts: console lines of pages cannot pass for theirs
    std::function<bool(const QUrl &)> m_testPageDessin;
    std::function<bool(const QString &)> m_testFichierLisible;
    // The local pages the program opened itself: read wherever they are, the first time and when
    // Back or Forward returns to them.
    QSet<QString> m_fichiersOuverts;
    bool m_pontInstalle = false;
    bool m_pdfEnCours = false; // a printout to a PDF file runs
    bool m_pageErreur = false; // the document shown is the browser's error page
    std::deque<RapportImage> m_rapports;
    bool m_livraisonPrevue = false;
    bool m_sansHistoriqueDemande = false; // Navigate2 with navNoHistory, not yet started
    bool m_videDemande = false;           // Vide's empty page, the only about: address let through
    bool m_sansHistorique = false;        // the load under way clears the history when it ends
    int m_readyState = READYSTATE_UNINITIALIZED;
};

} // namespace tarvenko
