#include "documents/chemins_documents.h"

#include <QFileInfo>

namespace tarvenko {

namespace {

const QString kHtml = QStringLiteral(".html");

} // namespace

QString Suffixe_Page(const QString &adresse)
{
    if (adresse.endsWith(kHtml) && adresse.size() >= kHtml.size() + 3)
        return adresse.mid(adresse.size() - kHtml.size() - 3, 3);
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
    return {false, Adresse_Documents + initiale + slash + code + slash + code + Suffixe_Langue + kHtml};
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
