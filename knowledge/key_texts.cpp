#include "knowledge/key_texts.h"

namespace tarvenko {

namespace {

Champ<std::string> ouSinon(const std::string *traduit, const Champ<std::string> &propre)
{
    return traduit ? Champ<std::string>(*traduit) : propre;
}

} // namespace

std::string_view Code_Langue(int Num_Langue)
{
    switch (Num_Langue) {
    case 0: return "en";
    case 1: return "es";
    case 2: return "fr";
    default: return {};
    }
}

std::string Suffixe_Langue_Interface(int Num_Langue)
{
    const std::string_view code = Code_Langue(Num_Langue);
    return "_" + std::string(code.empty() ? "en" : code);
}

const std::string *Texte_Langue(const Tables &t, int Num_Langue, std::string_view genre, std::string_view cle,
                                std::string_view champ)
{
    const std::string_view code = Code_Langue(Num_Langue);
    return code.empty() ? nullptr : t.texteLangue(code, genre, cle, champ);
}

Champ<std::string> Texte_Question(const Tables &t, const ObjetRow &row, int Num_Langue)
{
    return ouSinon(Texte_Langue(t, Num_Langue, "Objets_Fic", std::to_string(row.Numero), "TipText"), row.TipText);
}

Champ<std::string> Texte_Question(const Tables &t, std::int32_t numero, int Num_Langue)
{
    for (const ObjetRow &row : t.Objets_Fic.rows) {
        if (row.Numero == numero)
            return Texte_Question(t, row, Num_Langue);
    }
    return std::nullopt;
}

Champ<std::string> Nom_Etat_Langue(const Tables &t, const CaractereRow &row, int Num_Langue)
{
    return ouSinon(Texte_Langue(t, Num_Langue, "Caracteres", std::to_string(row.NUM), "TipText"), row.TipText);
}

std::string Nom_Etat_Langue(const Tables &t, int etat, int Num_Langue)
{
    const CaractereRow *row = t.caractere(etat);
    if (!row)
        return {};
    const Champ<std::string> nom = Nom_Etat_Langue(t, *row, Num_Langue);
    return nom && !nom->empty() ? *nom : row->ID_CARAC.value_or("");
}

Champ<std::string> Texte_Bouton_Deter(const Tables &t, const ButDeterRow &row, std::string_view champ, int Num_Langue)
{
    const Champ<std::string> &propre = champ == "Caption" ? row.Caption : row.TipText;
    return ouSinon(Texte_Langue(t, Num_Langue, "But_Deter", std::to_string(row.Numero), champ), propre);
}

Champ<std::string> Texte_Bouton_Quest(const Tables &t, const ButQuestRow &row, std::string_view champ, int Num_Langue)
{
    const Champ<std::string> &propre = champ == "Caption" ? row.Caption : row.TipText;
    return ouSinon(Texte_Langue(t, Num_Langue, "But_Quest", std::to_string(row.Numero), champ), propre);
}

Champ<std::string> Legende_Langue(const Tables &t, const FloreRow &row, int Num_Langue)
{
    return ouSinon(Texte_Langue(t, Num_Langue, "Flore", row.Espece, "Legende"), row.Legende);
}

std::string Nom_Cadre_Langue(const Tables &t, int cadre, int Num_Langue)
{
    if (const std::string *traduit = Texte_Langue(t, Num_Langue, "Cadres", std::to_string(cadre), "Nom"))
        return *traduit;
    const CadreRow *row = t.cadre(cadre);
    if (!row)
        return {};
    if (Num_Langue >= 0 && Num_Langue < 3) {
        const Champ<std::string> &nom = row->Nom[static_cast<std::size_t>(Num_Langue)];
        if (nom && !nom->empty())
            return *nom;
    }
    return row->Nom[0].value_or("");
}

} // namespace tarvenko
