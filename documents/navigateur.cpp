#include "documents/navigateur.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPrinter>
#include <QRandomGenerator>
#include <QWebChannel>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

#include "documents/pont_images.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initialiseRessourcesDocuments() { Q_INIT_RESOURCE(documents); }

namespace tarvenko {

namespace {

const QString kScriptImages = QStringLiteral("tarvenko-images");
const QString kScriptCadres = QStringLiteral("tarvenko-cadres");

QString lisRessource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QWebEngineScript script(const QString &name, const QString &source)
{
    QWebEngineScript s;
    s.setName(name);
    s.setSourceCode(source);
    s.setInjectionPoint(QWebEngineScript::DocumentReady);
    s.setWorldId(QWebEngineScript::ApplicationWorld);
    s.setRunsOnSubFrames(true);
    return s;
}

QString nouvelleMarque()
{
    QString marque = QStringLiteral("tarvenko-");
    for (int i = 0; i < 4; ++i)
        marque += QString::number(QRandomGenerator::system()->generate(), 16);
    return marque;
}

} // namespace

// Sees every request of the pages, local files included, before anything is read.
class GardeFichiers final : public QWebEngineUrlRequestInterceptor {
public:
    explicit GardeFichiers(Navigateur *vue) : QWebEngineUrlRequestInterceptor(vue), m_vue(vue) {}

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!m_vue->requetePermise(info.requestUrl(), info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame))
            info.block(true);
    }

private:
    Navigateur *m_vue;
};

// The page of the browser: passes its navigation requests and console lines to the view.
class PageDocuments final : public QWebEnginePage {
public:
    explicit PageDocuments(Navigateur *vue) : QWebEnginePage(vue), m_vue(vue) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        return m_vue->avantNavigation(url, isMainFrame, type == NavigationTypeBackForward);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int, const QString &) override
    {
        m_vue->messageConsole(message);
    }

private:
    Navigateur *m_vue;
};

Navigateur::Navigateur(QWidget *parent) : QWebEngineView(parent), m_marque(nouvelleMarque())
{
    initialiseRessourcesDocuments();
    // The end of a printout is told the same way whether it went to a printer or to a PDF.
    connect(this, &QWebEngineView::pdfPrintingFinished, this, [this](const QString &, bool ok) {
        if (!m_pdfEnCours)
            return;
        m_pdfEnCours = false;
        Q_EMIT printFinished(ok);
    });
}

// The page starts the browser's own processes, which cost more than the rest of the program's
// start: it is made when a document is first asked for, not with the window.
PageDocuments *Navigateur::pageDocuments() const
{
    if (!m_page)
        const_cast<Navigateur *>(this)->creePage();
    return m_page;
}

void Navigateur::creePage()
{
    m_page = new PageDocuments(this);
    setPage(m_page);
    // Addresses of schemes the browser does not know are never handed to the desktop's programs.
    m_page->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // Local pages may read one another (pictures, frames, the drawing's script), so the browser's
    // own rule lets them read every file of the disk and send it away; the guard keeps them to
    // the documents.
    m_page->setUrlRequestInterceptor(new GardeFichiers(this));

    m_canal = new QWebChannel(this);
    m_pont = new PontImages([this](const RapportImage &r) { recoit(r); }, m_canal);
    m_canal->registerObject(QStringLiteral("cImgs"), m_pont);

    const QString marque = QStringLiteral("@MARQUE@");
    m_scriptImages = script(kScriptImages, lisRessource(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
                                               QLatin1Char('\n') +
                                               lisRessource(QStringLiteral(":/documents/images.js")).replace(marque, m_marque));
    m_page->scripts().insert(script(kScriptCadres, lisRessource(QStringLiteral(":/documents/cadres.js")).replace(marque, m_marque)));

    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_readyState = READYSTATE_LOADING;
        m_sansHistorique = m_sansHistoriqueDemande;
        m_sansHistoriqueDemande = false;
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, &Navigateur::chargementFini);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &Navigateur::etatChargement);
}

QWebEnginePage *Navigateur::page() const { return pageDocuments(); }
QWebEngineHistory *Navigateur::history() const { return pageDocuments()->history(); }
// No page yet: nothing was ever opened.
QUrl Navigateur::url() const { return m_page ? m_page->url() : QUrl(); }

Navigateur::~Navigateur() = default;

bool Navigateur::Navigate2(const QUrl &url, int flags)
{
    // An address from the settings or the knowledge base is no more trusted than a page's.
    if (!url.isValid() || !schemePermis(url) || (!url.isLocalFile() && url.host().isEmpty()))
        return false;
    m_sansHistoriqueDemande = (flags & navNoHistory) != 0;
    if (url.isLocalFile())
        m_fichiersOuverts.insert(QDir::cleanPath(url.toLocalFile()));
    pageDocuments();
    installePont(pageDessin(url));
    load(url);
    return true;
}

void Navigateur::GoBack()
{
    if (!m_page)
        return;
    if (history()->canGoBack())
        installePont(pageDessin(history()->backItem().url()));
    back();
}

void Navigateur::GoForward()
{
    if (!m_page)
        return;
    if (history()->canGoForward())
        installePont(pageDessin(history()->forwardItem().url()));
    forward();
}
void Navigateur::Stop()
{
    if (m_page)
        stop();
}

void Navigateur::Vide()
{
    pageDocuments();
    m_videDemande = true;
    m_sansHistoriqueDemande = true;
    installePont(false);
    load(QUrl(QStringLiteral("about:blank")));
}
QString Navigateur::LocationURL() const { return url().toString(); }
void Navigateur::Imprime(QPrinter *printer)
{
    pageDocuments();
    // A PDF is the browser's own, whose text stays text: printing it through the printer would
    // paint every page as one picture at the printer's resolution.
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        m_pdfEnCours = true;
        printToPdf(printer->outputFileName(), printer->pageLayout(), printer->pageRanges());
        return;
    }
    print(printer);
}

bool Navigateur::pageDessin(const QUrl &url) const { return url.isLocalFile() && m_testPageDessin && m_testPageDessin(url); }

bool Navigateur::requetePermise(const QUrl &url, bool principal) const
{
    if (!url.isLocalFile())
        return true;
    const QString fichier = url.toLocalFile();
    if (principal && m_fichiersOuverts.contains(QDir::cleanPath(fichier)))
        return true;
    return m_testFichierLisible && m_testFichierLisible(fichier);
}

bool Navigateur::rapportsPermis() const { return m_page && m_pontInstalle && !m_pageErreur && url().isLocalFile(); }

bool Navigateur::schemePermis(const QUrl &url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("file") || scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

bool Navigateur::avantNavigation(const QUrl &url, bool principal, bool historique)
{
    // Another scheme would run a script in the page, show data a page made up, or hand the
    // address to another program of the desktop; none of it is a document of the key.
    if (principal && m_videDemande && url == QUrl(QStringLiteral("about:blank"))) {
        m_videDemande = false;
        Q_EMIT BeforeNavigate2(url, principal);
        return true;
    }
    if (!schemePermis(url))
        return false;
    if (principal) {
        const bool dessin = pageDessin(url);
        if (m_pontInstalle && !dessin && !url.isLocalFile() && !historique) {
            // A link from a drawing page to the outside: its document is made in another process,
            // which may have been set up with the bridge before this request came. The navigation
            // starts again once the bridge is gone.
            QMetaObject::invokeMethod(
                this,
                [this, url] {
                    installePont(false);
                    load(url);
                },
                Qt::QueuedConnection);
            return false;
        }
        // Links within the disk: the bridge goes with the top-level document it was made for.
        installePont(dessin);
    }
    Q_EMIT BeforeNavigate2(url, principal);
    return true;
}

void Navigateur::installePont(bool oui)
{
    if (oui == m_pontInstalle)
        return;
    m_pontInstalle = oui;
    QWebEngineScriptCollection &scripts = pageDocuments()->scripts();
    if (oui) {
        scripts.insert(m_scriptImages);
        m_page->setWebChannel(m_canal, QWebEngineScript::ApplicationWorld);
    } else {
        for (const QWebEngineScript &s : scripts.find(kScriptImages))
            scripts.remove(s);
        m_page->setWebChannel(nullptr, QWebEngineScript::ApplicationWorld);
    }
}

void Navigateur::etatChargement(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_pageErreur = false;
        return;
    }
    // The browser's own page telling that a document could not be loaded: it gets nothing, even
    // where the document would have been a drawing page. (A navigation given up without one
    // leaves the page that was shown, and its bridge.)
    if (info.isErrorPage()) {
        m_pageErreur = true;
        installePont(false);
    }
}

void Navigateur::recoit(const RapportImage &rapport)
{
    if (!rapportsPermis())
        return;
    if (rapport.genre == GenreImage::MouseMove && !m_rapports.empty() &&
        m_rapports.back().genre == GenreImage::MouseMove)
        m_rapports.back() = rapport;
    else if (m_rapports.size() < kRapportsMax)
        m_rapports.push_back(rapport);
    if (!m_livraisonPrevue) {
        m_livraisonPrevue = true;
        QTimer::singleShot(0, this, &Navigateur::livreRapports);
    }
}

void Navigateur::livreRapports()
{
    m_livraisonPrevue = false;
    std::deque<RapportImage> rapports;
    rapports.swap(m_rapports);
    for (const RapportImage &r : rapports) {
        // The page may have gone meanwhile.
        if (!rapportsPermis())
            return;
        Q_EMIT rapportImage(r.genre, r.href, r.x, r.y, r.scrollLeft, r.scrollTop);
    }
}

void Navigateur::chargementFini()
{
    m_readyState = READYSTATE_COMPLETE;
    if (m_sansHistorique) {
        m_sansHistorique = false;
        history()->clear();
    }
    Q_EMIT DocumentComplete(url(), true);
}

void Navigateur::messageConsole(const QString &message)
{
    const QString prefixe = m_marque + QLatin1Char(' ');
    if (!message.startsWith(prefixe))
        return;
    const QJsonArray a = QJsonDocument::fromJson(message.mid(prefixe.size()).toUtf8()).array();
    const QString genre = a.at(0).toString();
    if (genre == QLatin1String("complet") && a.size() == 2) {
        Q_EMIT DocumentComplete(QUrl(a.at(1).toString()), false);
    } else if (genre == QLatin1String("pret") && a.size() == 1) {
        if (rapportsPermis())
            Q_EMIT imagesPretes();
    } else if (genre == QLatin1String("image") && a.size() == 7) {
        const QString quoi = a.at(1).toString();
        GenreImage g = GenreImage::MouseMove;
        if (quoi == QLatin1String("ImgClicked"))
            g = GenreImage::Clicked;
        else if (quoi == QLatin1String("ImgMouseDown"))
            g = GenreImage::MouseDown;
        else if (quoi != QLatin1String("ImgMouseMove"))
            return;
        if (const std::optional<RapportImage> r = PontImages::verifie(g, a.at(2), a.at(3), a.at(4), a.at(5), a.at(6)))
            recoit(*r);
    }
}

} // namespace tarvenko
