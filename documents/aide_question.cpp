#include "documents/aide_question.h"

#include <QFileInfo>

#include <cstdio>

#include "documents/chemins_documents.h"
#include "knowledge/file_lookup.h"
#include "platform/qt_text.h"

namespace tarvenko {

std::string Code_Aide_Question(const std::string &Objet)
{
    if (Objet.size() < 2 || Objet.size() > 6 || (Objet[0] != 'C' && Objet[0] != 'c'))
        return {};
    int numero = 0;
    for (std::size_t i = 1; i < Objet.size(); ++i) {
        if (Objet[i] < '0' || Objet[i] > '9')
            return {};
        numero = numero * 10 + (Objet[i] - '0');
    }
    if (numero == 0)
        return {};
    char code[16];
    std::snprintf(code, sizeof code, "c%04d", numero);
    return code;
}

QString Page_Aide_Question(const QString &Distribution, const QString &Adresse_Documents, const std::string &Objet,
                           std::int16_t Num_Langue)
{
    const std::string code = Code_Aide_Question(Objet);
    if (code.empty() || Distribution != QLatin1String("hd") || Adresse_Documents.isEmpty())
        return {};
    static const char *const suffixes[] = {"_en", "_es", "_fr"};
    const QString langue = QLatin1String(Num_Langue >= 0 && Num_Langue <= 2 ? suffixes[Num_Langue] : "_en");
    for (const QString &suffixe : {langue, QStringLiteral("_en")}) {
        const PageEspece page = Page_Espece(Distribution, Adresse_Documents, qs(code), suffixe, QLatin1Char('\\'));
        const std::string fichier = resoutChemin(us(page.chemin));
        if (QFileInfo(qs(fichier)).isFile())
            return qs(fichier);
    }
    return {};
}

} // namespace tarvenko
