#include "documents/chemins_documents.h"

#include <QFileInfo>

#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"

namespace tarvenko {

namespace {

const QString kHtml = QStringLiteral(".html");

} // namespace

QString Suffixe_Page(const QString &adresse)
{
    // Only "_" and two letters name a language: the "ark" of "bark.html" would make every later
    // page name, and the error page's, a file that does not exist.
    if (adresse.endsWith(kHtml) && adresse.size() >= kHtml.size() + 3) {
        const QString suffixe = adresse.mid(adresse.size() - kHtml.size() - 3, 3);
        const auto lettre = [](QChar c) { return c.isLetter() && c.unicode() < 128; };
        if (suffixe.at(0) == QLatin1Char('_') && lettre(suffixe.at(1)) && lettre(suffixe.at(2)))
            return suffixe;
    }
    return QStringLiteral("_en");
}

PageEspece Page_Espece(const QString &Distribution, const QString &Adresse_Documents, const QString &Code_Page,
                       const QString &Suffixe_Langue, QChar separateur)
{
    const QString code = Code_Page.toLower();
    const QString initiale = code.left(1);
    if (Distribution == QLatin1String("hd"))
        return {true, Adresse_Documents + initiale + separateur + code + separateur + code + Suffixe_Langue + kHtml};
    const QChar slash(QLatin1Char('/'));
    return {false, Adresse_Web(Adresse_Documents) + initiale + slash + code + slash + code + Suffixe_Langue + kHtml};
}

QString Suffixe_Existant(const QString &Distribution, const QString &Adresse_Documents, const QString &Code_Page,
                         const QString &suffixeInterface, QChar separateur)
{
    const QString anglais = QStringLiteral("_en");
    if (suffixeInterface == anglais)
        return anglais;
    const PageEspece page = Page_Espece(Distribution, Adresse_Documents, Code_Page, suffixeInterface, separateur);
    if (!page.locale || cheminExiste(resoutChemin(us(page.chemin))))
        return suffixeInterface;
    return anglais;
}

QString Page_Erreur_Existante(const QString &Chemin_Data, const QString &Suffixe_Langue)
{
    const QString page = Page_Erreur(Chemin_Data, Suffixe_Langue);
    return cheminExiste(resoutChemin(us(page))) ? page : Page_Erreur(Chemin_Data, QStringLiteral("_en"));
}

QString Adresse_Web(const QString &adresse)
{
    // A scheme is letters, digits, "+", "-" and "." after a first letter, followed by "://"; a
    // host with a port ("127.0.0.1:8080/") has none.
    const qsizetype fin = adresse.indexOf(QStringLiteral("://"));
    bool schema = fin > 0 && adresse.at(0).isLetter() && adresse.at(0).unicode() < 128;
    for (qsizetype i = 1; schema && i < fin; ++i) {
        const QChar c = adresse.at(i);
        schema = c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
                                       c == QLatin1Char('.'));
    }
    return schema ? adresse : QStringLiteral("http://") + adresse;
}

QString Page_Erreur(const QString &Chemin_Data, const QString &Suffixe_Langue)
{
    return Chemin_Data + QStringLiteral("error") + Suffixe_Langue + kHtml;
}

QString Fichier_Dessin(const QString &Adresse_Documents, const QString &Code_Page)
{
    const QString code = Code_Page.toLower();
    const QChar sep(QLatin1Char('\\'));
    return Adresse_Documents + code.left(1) + sep + code + sep + code + QStringLiteral(".gif");
}

bool Est_Page_Dessin(const QString &adresse, const QString &Code_Page, const QString &Distribution)
{
    if (Distribution != QLatin1String("hd"))
        return false;
    return adresse.right(20).left(12).toLower() == QStringLiteral("dessin_") + Code_Page.toLower();
}

QString Code_Page_Dessin(const QString &adresse, const QString &Distribution)
{
    if (Distribution != QLatin1String("hd") || adresse.size() < 20)
        return {};
    const QString nom = adresse.right(20).left(12).toLower();
    return nom.size() == 12 && nom.startsWith(QStringLiteral("dessin_")) ? nom.mid(7) : QString();
}

bool Annonce_Dessin(const QString &adresse)
{
    return adresse.size() > 16 && adresse.right(17).left(6) == QLatin1String("dessin");
}

bool Est_Page_Propre(const QString &adresse, const QString &Code_Page, const QString &Suffixe_Langue)
{
    // The whole file name: the drawing page "dessin_abcde_en.html" also ends with "abcde_en.html".
    const QString nom = Code_Page.toLower() + Suffixe_Langue + kHtml;
    const QString a = adresse.toLower();
    return a.endsWith(QLatin1Char('/') + nom) || a.endsWith(QLatin1Char('\\') + nom) || a == nom;
}

bool Dans_Dossier(const QString &fichier, const QString &dossier)
{
    const QString f = QFileInfo(fichier).canonicalFilePath();
    const QString d = QFileInfo(dossier).canonicalFilePath();
    if (f.isEmpty() || d.isEmpty())
        return false;
    return f.startsWith(d.endsWith(QLatin1Char('/')) ? d : d + QLatin1Char('/'));
}

} // namespace tarvenko
