#include "engine/question_list.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <map>

#include "engine/numeric_characters.h"
#include "knowledge/key_texts.h"
#include "knowledge/text.h"

namespace tarvenko {

namespace {

bool choisi(const KeyModel &m, int k)
{
    return k >= 0 && static_cast<std::size_t>(k) < m.Etat_Choisi.size() && m.Etat_Choisi[static_cast<std::size_t>(k)] != 0;
}

// The name of a numeric character as its question shows it (Decrit_Question_Num), without the
// range among the leading species, which costs a pass over them.
std::string nomNumerique(const KeyModel &m, const Caractere_Num &c)
{
    std::string nom;
    if (m.Num_Langue >= 0 && m.Num_Langue < 3)
        nom = c.Nom[static_cast<std::size_t>(m.Num_Langue)];
    if (nom.empty())
        nom = c.Nom[0];
    return nom.empty() ? c.Objet : nom;
}

std::string nomEtat(const KeyModel &m, int k)
{
    const CaractereRow *row = m.Base_Donnees.caractere(k);
    if (!row)
        return std::to_string(k);
    const Champ<std::string> nom = Nom_Etat_Langue(m.Base_Donnees, *row, m.Num_Langue);
    if (nom && !nom->empty())
        return *nom;
    return row->ID_CARAC.value_or(std::to_string(k));
}

// Answered first, each part in key order.
void ordonne(GroupeQuestions &g)
{
    std::stable_sort(g.questions.begin(), g.questions.end(), [](const EntreeQuestion &a, const EntreeQuestion &b) {
        return a.repondue != b.repondue ? a.repondue : a.rang < b.rang;
    });
}

void actualise(EntreeQuestion &q, const KeyModel &m)
{
    if (q.numerique) {
        q.valeur = q.caractere >= 0 && static_cast<std::size_t>(q.caractere) < m.Valeur_Num.size()
                       ? m.Valeur_Num[static_cast<std::size_t>(q.caractere)]
                       : std::nullopt;
        q.repondue = q.valeur.has_value();
        return;
    }
    q.reponse.clear();
    q.repondue = false;
    for (const PlageEtats &p : q.etats) {
        for (int k = p.premier; k < p.premier + p.nombre; ++k) {
            if (!choisi(m, k))
                continue;
            q.reponse += (q.repondue ? ", " : "") + nomEtat(m, k);
            q.repondue = true;
        }
    }
}

std::vector<std::string> mots(std::string_view texte)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < texte.size()) {
        const std::size_t debut = texte.find_first_not_of(" \t\n\r", i);
        if (debut == std::string_view::npos)
            break;
        const std::size_t fin = std::min(texte.find_first_of(" \t\n\r", debut), texte.size());
        out.emplace_back(texte.substr(debut, fin - debut));
        i = fin;
    }
    return out;
}

} // namespace

std::string Texte_Recherche(std::string_view texte)
{
    if (std::all_of(texte.begin(), texte.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return minusculesAscii(texte);
    UErrorCode status = U_ZERO_ERROR;
    std::u16string utf16(texte.size(), u'\0');
    int32_t length = 0;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &length, texte.data(),
                         static_cast<int32_t>(texte.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        return minusculesAscii(texte);
    utf16.resize(static_cast<std::size_t>(length));
    // Decomposed, the accents are marks of their own, which are left out; then case-folded.
    const UNormalizer2 *nfd = unorm2_getNFDInstance(&status);
    std::u16string decompose(utf16.size() * 4 + 4, u'\0');
    length = unorm2_normalize(nfd, utf16.data(), static_cast<int32_t>(utf16.size()), decompose.data(),
                              static_cast<int32_t>(decompose.size()), &status);
    if (U_FAILURE(status))
        return minusculesAscii(texte);
    decompose.resize(static_cast<std::size_t>(length));
    std::u16string sansMarques;
    sansMarques.reserve(decompose.size());
    for (std::size_t i = 0; i < decompose.size();) {
        UChar32 c = 0;
        U16_NEXT(decompose.data(), i, decompose.size(), c);
        if (u_charType(c) == U_NON_SPACING_MARK)
            continue;
        c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (c > 0xFFFF) {
            sansMarques.push_back(static_cast<char16_t>(U16_LEAD(c)));
            sansMarques.push_back(static_cast<char16_t>(U16_TRAIL(c)));
        } else {
            sansMarques.push_back(static_cast<char16_t>(c));
        }
    }
    std::string out(sansMarques.size() * 3, '\0');
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, sansMarques.data(),
                static_cast<int32_t>(sansMarques.size()), &status);
    if (U_FAILURE(status))
        return minusculesAscii(texte);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::vector<GroupeQuestions> Liste_Questions(const KeyModel &m)
{
    // -1 sorts first in the map; it is moved to the end below.
    std::map<int, GroupeQuestions> groupes;
    const auto groupe = [&](int cadre) -> GroupeQuestions & {
        auto [it, nouveau] = groupes.try_emplace(cadre);
        if (nouveau) {
            it->second.cadre = cadre;
            it->second.nom = cadre >= 0 ? Nom_Cadre(m, cadre) : std::string();
            it->second.recherche = Texte_Recherche(it->second.nom);
        }
        return it->second;
    };
    const Tables &t = m.Base_Donnees;
    const std::string *precedent = nullptr;
    std::size_t rang = 0;
    for (std::size_t i = 0; i < t.Objets_Fic_Objet.order.size(); ++i) {
        const ObjetRow &row = t.Objets_Fic.rows[t.Objets_Fic_Objet.order[i]];
        const std::string &cle = t.Objets_Fic_Objet.keys[i];
        if (cle.empty() || (precedent && clesEgales(*precedent, cle)))
            continue;
        precedent = &cle;
        EntreeQuestion q;
        q.objet = cle;
        q.nom = Texte_Question(t, row, m.Num_Langue).value_or(cle);
        q.rang = rang++;
        std::string recherche = q.nom;
        for (const ObjetRow *variante : t.objets(cle)) {
            const PlageEtats etats = Etats_De(*variante);
            // A variant without states of its own repeats those of the first row.
            if (std::any_of(q.etats.begin(), q.etats.end(),
                            [&](const PlageEtats &p) { return p.premier == etats.premier && p.nombre == etats.nombre; }))
                continue;
            q.etats.push_back(etats);
            for (int k = etats.premier; k < etats.premier + etats.nombre; ++k)
                recherche += '\n' + nomEtat(m, k);
        }
        q.recherche = Texte_Recherche(recherche);
        groupe(std::max<int>(row.Cadre.value_or(-1), -1)).questions.push_back(std::move(q));
    }
    for (std::size_t c = 0; c < m.Caracteres_Num.size(); ++c) {
        const Caractere_Num &car = m.Caracteres_Num[c];
        EntreeQuestion q;
        q.objet = car.Objet;
        q.nom = nomNumerique(m, car);
        q.numerique = true;
        q.unite = car.Unite;
        q.caractere = static_cast<int>(c);
        q.rang = rang++;
        q.recherche = Texte_Recherche(q.nom);
        groupe(std::max<int>(car.Cadre, -1)).questions.push_back(std::move(q));
    }
    std::vector<GroupeQuestions> out;
    for (auto &[cadre, g] : groupes) {
        if (cadre >= 0)
            out.push_back(std::move(g));
    }
    if (const auto sans = groupes.find(-1); sans != groupes.end())
        out.push_back(std::move(sans->second));
    Actualise_Reponses(out, m);
    return out;
}

void Actualise_Reponses(std::vector<GroupeQuestions> &liste, const KeyModel &m)
{
    for (GroupeQuestions &g : liste) {
        for (EntreeQuestion &q : g.questions)
            actualise(q, m);
        ordonne(g);
    }
}

std::vector<GroupeTrouve> Filtre_Questions(const std::vector<GroupeQuestions> &liste, std::string_view filtre)
{
    const std::vector<std::string> cherches = mots(Texte_Recherche(filtre));
    std::vector<GroupeTrouve> out;
    for (std::size_t g = 0; g < liste.size(); ++g) {
        GroupeTrouve trouve{g, {}};
        const GroupeQuestions &groupe = liste[g];
        for (std::size_t i = 0; i < groupe.questions.size(); ++i) {
            const std::string &texte = groupe.questions[i].recherche;
            const bool tous = std::all_of(cherches.begin(), cherches.end(), [&](const std::string &mot) {
                return texte.find(mot) != std::string::npos || groupe.recherche.find(mot) != std::string::npos;
            });
            if (tous)
                trouve.questions.push_back(i);
        }
        if (!trouve.questions.empty())
            out.push_back(std::move(trouve));
    }
    return out;
}

std::vector<std::size_t> Filtre_Noms(const std::vector<std::string> &plies, std::string_view filtre)
{
    const std::vector<std::string> cherches = mots(Texte_Recherche(filtre));
    std::vector<std::size_t> out;
    out.reserve(plies.size());
    for (std::size_t i = 0; i < plies.size(); ++i) {
        const std::string &texte = plies[i];
        if (std::all_of(cherches.begin(), cherches.end(), [&](const std::string &mot) { return texte.find(mot) != std::string::npos; }))
            out.push_back(i);
    }
    return out;
}

ClicBarreQuestion Retire_Reponse(KeyModel &m, const std::string &objet, bool numerique, const Charge_Image &charge)
{
    if (numerique) {
        const int c = Caractere_Num_De(m, objet);
        if (c < 0 || static_cast<std::size_t>(c) >= m.Valeur_Num.size() || !m.Valeur_Num[static_cast<std::size_t>(c)])
            return {};
        Retire_Num(m, c);
        m.Descripteur_Courant = Aucun_Descripteur();
        m.Descripteur_Courant.Objet = m.Caracteres_Num[static_cast<std::size_t>(c)].Objet;
        return Clic_Barre_Question(m, Position_Valider, charge);
    }
    // The answer may lie in any variant of the object: the row that holds it is the one withdrawn.
    for (const ObjetRow *row : m.Base_Donnees.objets(objet)) {
        const PlageEtats etats = Etats_De(*row);
        for (int k = etats.premier; k < etats.premier + etats.nombre; ++k) {
            if (!choisi(m, k))
                continue;
            Ouvre_Descripteur(m, *row, objet);
            m.Descripteur_Courant.Selection = -1;
            return Clic_Barre_Question(m, Position_Valider, charge);
        }
    }
    return {};
}

} // namespace tarvenko
