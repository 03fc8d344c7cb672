#include "commands/rapport.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>

#include <algorithm>
#include <limits>

#include "engine/dichotomous_key.h"
#include "engine/report.h"
#include "knowledge/key_model.h"
#include "platform/metafile/metafile_picture.h"
#include "platform/qt_text.h"
#include "resources/string_table.h"

namespace tarvenko {

namespace {

constexpr int kObjetDessin = QTextFormat::UserObject + 1;
// Width of the drawing in the document's units (points when printed).
constexpr qreal kLargeurDessin = 360;

// Draws the layers of the drawing, one over the other, where the document places it.
class ObjetDessin final : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    ObjetDessin(std::vector<Metafile> calques, QObject *parent) : QObject(parent), m_calques(std::move(calques)) {}

    QSizeF intrinsicSize(QTextDocument *document, int, const QTextFormat &) override
    {
        // The frame of the first layer gives the drawing its proportions, as on screen; it takes
        // the page's width, or most of its height when it is tall.
        const QRectF cadre = m_calques.empty() ? QRectF() : m_calques.front().frame();
        const qreal rapport = cadre.width() > 0 && cadre.height() > 0 ? cadre.height() / cadre.width() : 1.0;
        const QSizeF page = document->pageSize();
        if (!page.isValid() || page.height() >= std::numeric_limits<int>::max())
            return {kLargeurDessin, kLargeurDessin * rapport};
        // Printing adds its own margins of 2 cm around the page it gives the document: three
        // quarters of it stay clear of them.
        const qreal largeur = std::min(page.width(), page.height() / rapport) * 0.75;
        return {largeur, largeur * rapport};
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int, const QTextFormat &) override
    {
        painter->save();
        painter->setClipRect(rect);
        painter->fillRect(rect, Qt::white);
        for (const Metafile &calque : m_calques)
            calque.play(*painter, rect, Metafile::Edges::Smooth);
        painter->restore();
    }

private:
    std::vector<Metafile> m_calques;
};

QString texte(const KeyModel &m, int n) { return qs(Texte_Ou_Anglais(m.Num_Langue, n)).toHtmlEscaped(); }

QString html(const std::string &s) { return qs(s).toHtmlEscaped(); }

QLocale locale(const KeyModel &m)
{
    switch (m.Num_Langue) {
    case 1: return QLocale(QLocale::Spanish, QLocale::Spain);
    case 2: return QLocale(QLocale::French, QLocale::France);
    default: return QLocale(QLocale::English, QLocale::UnitedKingdom);
    }
}

// The layers of the drawing as the answers chose them, without the contradiction overlays.
std::vector<Metafile> calques(const KeyModel &m)
{
    std::vector<Metafile> out;
    const auto n = std::min<std::size_t>(m.Robots.size(), static_cast<std::size_t>(std::max<int>(m.Nb_Robot, 0)));
    for (std::size_t k = 0; k < n; ++k) {
        if (const auto *picture = dynamic_cast<const MetafilePicture *>(m.Robots[k].Image.get()))
            out.push_back(picture->metafile());
    }
    return out;
}

} // namespace

std::unique_ptr<QTextDocument> Document_Rapport(const KeyModel &m, const QDateTime &quand)
{
    const RapportIdentification rapport = Rapport_Identification(m);
    QString corps;
    corps += QStringLiteral("<h1>%1</h1>").arg(texte(m, 1902));
    corps += QStringLiteral("<p><b>%1</b> %2").arg(texte(m, 1903), html(QFileInfo(qs(m.Chemin_Base)).fileName().toStdString()));
    if (!m.Fichier_Courant.empty())
        corps += QStringLiteral("<br><b>%1</b> %2").arg(texte(m, 1910), html(m.Fichier_Courant));
    corps += QStringLiteral("<br><b>%1</b> %2</p>")
                 .arg(texte(m, 1904), locale(m).toString(quand, QLocale::LongFormat).toHtmlEscaped());

    corps += QStringLiteral("<h2>%1</h2>").arg(texte(m, 1905));
    if (rapport.reponses.empty()) {
        corps += QStringLiteral("<p>%1</p>").arg(texte(m, 1906));
    } else {
        corps += QStringLiteral("<table cellpadding='2'>");
        for (const ReponseRapport &r : rapport.reponses) {
            QStringList etats;
            for (const std::string &e : r.etats)
                etats << html(e);
            corps += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(html(r.question), etats.join(QStringLiteral(", ")));
        }
        corps += QStringLiteral("</table>");
    }

    corps += QStringLiteral("<h2>%1</h2><table cellpadding='2'>").arg(texte(m, 1907));
    int rang = 0;
    for (const EspeceRapport &e : rapport.especes) {
        corps += QStringLiteral("<tr><td align='right'>%1.</td><td align='right'>%2%</td><td>%3</td></tr>")
                     .arg(++rang)
                     .arg(e.pourcent)
                     .arg(html(e.nom));
    }
    corps += QStringLiteral("</table>");

    auto document = std::make_unique<QTextDocument>();
    document->setHtml(corps);

    std::vector<Metafile> dessin = calques(m);
    if (!dessin.empty()) {
        document->documentLayout()->registerHandler(kObjetDessin, new ObjetDessin(std::move(dessin), document.get()));
        QTextCursor curseur(document.get());
        curseur.movePosition(QTextCursor::End);
        QTextBlockFormat titre;
        titre.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        curseur.insertBlock(titre);
        QTextCharFormat gras;
        gras.setFontWeight(QFont::Bold);
        curseur.insertText(qs(Texte_Ou_Anglais(m.Num_Langue, 1908)), gras);
        curseur.insertBlock(QTextBlockFormat());
        QTextCharFormat objet;
        objet.setObjectType(kObjetDessin);
        curseur.insertText(QString(QChar::ObjectReplacementCharacter), objet);
    }
    return document;
}

bool Imprime_Rapport(QPrinter &printer, const KeyModel &m, const QDateTime &quand)
{
    const auto document = Document_Rapport(m, quand);
    document->print(&printer);
    return printer.printerState() != QPrinter::Error && printer.printerState() != QPrinter::Aborted;
}

std::unique_ptr<QTextDocument> Document_Cle_Dichotomique(const KeyModel &m)
{
    auto document = std::make_unique<QTextDocument>();
    document->setHtml(qs(Html_Cle_Dichotomique(m, Construit_Cle_Dichotomique(m))));
    return document;
}

bool Imprime_Cle_Dichotomique(QPrinter &printer, const KeyModel &m)
{
    const auto document = Document_Cle_Dichotomique(m);
    document->print(&printer);
    return printer.printerState() != QPrinter::Error && printer.printerState() != QPrinter::Aborted;
}

} // namespace tarvenko

#include "rapport.moc"
