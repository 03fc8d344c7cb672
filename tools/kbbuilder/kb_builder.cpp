#include "tools/kbbuilder/kb_builder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "knowledge/data_files.h"
#include "knowledge/sqlite.h"
#include "knowledge/text.h"

namespace tarvenko::tools {

namespace {

using sqlite::quoteIdentifier;

std::string quoteText(const std::string &text) { return sqlite::quoteLiteral(text); }

std::string textOrNull(const std::optional<std::string> &text) { return text ? quoteText(*text) : "NULL"; }
std::string nameOrNull(const std::string &text) { return text.empty() ? "NULL" : quoteText(text); }

// A real number as SQL reads it back exactly.
std::string real(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}
std::string realOrNull(const std::optional<double> &value) { return value ? real(*value) : "NULL"; }

// A table of the knowledge base as the builder writes it: its fields with SQL types, the first
// being the primary key.
struct TableSpec {
    std::string name;
    std::vector<std::pair<std::string, std::string>> fields;
};

} // namespace

KbBuilder::KbBuilder(std::string folder) : m_folder(std::move(folder))
{
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
}

KbBuilder &KbBuilder::espece(const std::string &nom, const std::string &famille, const std::string &code,
                             std::optional<std::string> legende)
{
    m_especes.push_back({nom, famille, code, std::move(legende)});
    return *this;
}

int KbBuilder::objet(const Objet &o)
{
    LigneObjet row{o, 0, static_cast<int>(m_objets.size())};
    if (o.ligneSupplementaire && o.etats.empty()) {
        const auto first = std::find_if(m_objets.begin(), m_objets.end(),
                                        [&](const LigneObjet &l) { return l.o.objet == o.objet; });
        if (first == m_objets.end())
            throw std::runtime_error("no first row for object " + o.objet);
        row.indexCar = first->indexCar;
        row.o.etats = first->o.etats;
    } else {
        row.indexCar = static_cast<int>(m_etats.size());
        for (std::size_t i = 0; i < o.etats.size(); ++i) {
            m_etats.push_back(o.etats[i]);
            m_tipsEtats.push_back(i < o.tips.size() ? o.tips[i] : o.etats[i]);
        }
    }
    if (row.o.colonnes == 0)
        row.o.colonnes = static_cast<std::int16_t>(std::max<std::size_t>(1, row.o.etats.size()));
    m_objets.push_back(row);
    return row.indexCar;
}

int KbBuilder::etat(const std::string &idCarac) const
{
    const auto it = std::find(m_etats.begin(), m_etats.end(), idCarac);
    if (it == m_etats.end())
        throw std::runtime_error("unknown state " + idCarac);
    return static_cast<int>(it - m_etats.begin());
}

KbBuilder &KbBuilder::poids(const std::string &idCarac, std::int16_t value)
{
    m_poids[idCarac] = value;
    return *this;
}

KbBuilder &KbBuilder::poidsTous(std::int16_t value)
{
    m_poidsDefaut = value;
    return *this;
}

KbBuilder &KbBuilder::a(const std::string &nom, const std::string &idCarac, std::int16_t value)
{
    m_matrice[{nom, idCarac}] = value;
    return *this;
}

KbBuilder &KbBuilder::a(std::size_t espece, int etat, std::int16_t value)
{
    if (etat < 0 || etat > 0xFFFF)
        throw std::runtime_error("state number out of range");
    m_cases.push_back({static_cast<std::uint32_t>(espece), static_cast<std::uint16_t>(etat), value});
    return *this;
}

KbBuilder &KbBuilder::numerique(const Numerique &n)
{
    m_numeriques.push_back(n);
    return *this;
}

KbBuilder &KbBuilder::plage(const std::string &objet, const std::string &espece, double minimum, double maximum,
                            std::optional<double> extremeMin, std::optional<double> extremeMax)
{
    m_plages.push_back({objet, espece, minimum, maximum, extremeMin, extremeMax});
    return *this;
}

KbBuilder &KbBuilder::imageEtat(const std::string &idCarac, const std::string &image)
{
    m_imagesEtats.emplace_back(idCarac, image);
    return *this;
}

KbBuilder &KbBuilder::nomCadre(int cadre, const std::array<std::string, 3> &noms)
{
    m_nomsCadres[cadre] = noms;
    return *this;
}

KbBuilder &KbBuilder::texteLangue(const std::string &langue, const std::string &genre, const std::string &cle,
                                  const std::string &champ, const std::string &texte)
{
    m_textesLangues.push_back({langue, genre, cle, champ, texte});
    return *this;
}

// Kept under the object's key and the state's ID_CARAC until the rows are numbered.
KbBuilder &KbBuilder::questionLangue(const std::string &objet, const std::string &langue, const std::string &texte)
{
    m_textesLangues.push_back({langue, "Objets_Fic", objet, "", texte});
    return *this;
}

KbBuilder &KbBuilder::etatLangue(const std::string &idCarac, const std::string &langue, const std::string &texte)
{
    m_textesLangues.push_back({langue, "Caracteres", idCarac, "", texte});
    return *this;
}

KbBuilder &KbBuilder::couleur(const std::string &code)
{
    m_couleurs.push_back(code);
    return *this;
}

KbBuilder &KbBuilder::hierarchie(std::int16_t robot, const std::string &nom, const std::vector<std::string> &contraintes)
{
    m_hierarchie.push_back({robot, nom, contraintes});
    return *this;
}

KbBuilder &KbBuilder::clicZone(const std::string &nom, std::int16_t cadre, bool testCadre, int x1, int x2, int y1,
                               int y2, const std::vector<std::string> &contraintes)
{
    m_zones.push_back({nom, cadre, testCadre, x1, x2, y1, y2, contraintes});
    return *this;
}

KbBuilder &KbBuilder::butDeter(const std::string &caption, const std::string &file, const std::string &tip,
                               const std::string &key)
{
    m_butDeter.push_back({caption, file, tip, key});
    return *this;
}

KbBuilder &KbBuilder::butQuest(const std::string &caption, const std::string &file, const std::string &tip)
{
    m_butQuest.push_back({caption, file, tip, {}});
    return *this;
}

KbBuilder &KbBuilder::descendance(const std::string &idCarac, const std::string &objet)
{
    m_descendance.emplace_back(idCarac, objet);
    return *this;
}

KbBuilder &KbBuilder::contradiction(const std::string &objet, std::int16_t bouton, const std::string &popup)
{
    m_contradictions.push_back({objet, bouton, popup});
    return *this;
}

KbBuilder &KbBuilder::langue(const std::string &langue, const std::vector<std::pair<std::string, std::string>> &noms)
{
    m_langues.emplace_back(langue, noms);
    return *this;
}

KbBuilder &KbBuilder::parametre(const std::string &nom, const std::string &etat)
{
    m_parametres[nom] = etat;
    m_sansParametre.erase(nom);
    return *this;
}

KbBuilder &KbBuilder::sansParametre(const std::string &nom)
{
    m_sansParametre.insert(nom);
    return *this;
}

KbBuilder &KbBuilder::nbContraintes(int n)
{
    m_nbContraintes = n;
    return *this;
}

KbBuilder &KbBuilder::nbRobot(int n)
{
    m_nbRobot = n;
    return *this;
}

KbBuilder &KbBuilder::nbCadre(int n)
{
    m_nbCadre = n;
    return *this;
}

KbBuilder &KbBuilder::versionDatabase(int v) { return parametre("Version_Database", std::to_string(v)); }

KbBuilder &KbBuilder::sansTable(const std::string &table)
{
    m_sansTable.insert(table);
    return *this;
}

KbBuilder &KbBuilder::sansChamp(const std::string &table, const std::string &field)
{
    m_sansChamp.insert({table, field});
    return *this;
}

KbBuilder &KbBuilder::sqlApres(const std::string &sql)
{
    m_sqlApres.push_back(sql);
    return *this;
}

KbBuilder &KbBuilder::sansFichier(const std::string &name)
{
    m_sansFichier.insert(name);
    return *this;
}

std::vector<std::string> KbBuilder::especesOrdonnees() const
{
    std::vector<std::string> names;
    for (const Espece &e : m_especes)
        names.push_back(e.nom);
    std::stable_sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) { return compareCles(a, b) < 0; });
    return names;
}

std::string KbBuilder::ecrit()
{
    namespace fs = std::filesystem;
    fs::create_directories(m_folder);
    const std::string dbPath = m_folder + kNomBase;
    fs::remove(dbPath);

    std::size_t longestConstraints = 0;
    int robots = 0;
    for (const Hier &h : m_hierarchie) {
        longestConstraints = std::max(longestConstraints, h.c.size());
        robots = std::max(robots, h.robot + 1);
    }
    for (const Zone &z : m_zones)
        longestConstraints = std::max(longestConstraints, z.c.size());
    int groups = 0;
    bool constrained = false;
    for (const LigneObjet &l : m_objets) {
        groups = std::max(groups, l.o.cadre + 1);
        constrained = constrained || l.o.contrainte.has_value();
    }
    for (const Zone &z : m_zones)
        groups = std::max(groups, z.cadre + 1);
    const int nbContraintes = m_nbContraintes.value_or(static_cast<int>(longestConstraints) + 1);

    std::map<std::string, std::string> parameters = {
        {"Nb_Couleurs", std::to_string(m_couleurs.size())},
        {"Version_Database", constrained ? "301" : "300"},
        {"Nb_Esp", std::to_string(m_especes.size())},
        {"Nb_Etats_Desc", std::to_string(m_etats.size())},
        {"Nb_Cadre", std::to_string(m_nbCadre.value_or(groups))},
        {"Nb_Robot", std::to_string(m_nbRobot.value_or(robots))},
        {"Nb_But_Car", std::to_string(m_butDeter.size())},
        {"Nb_But_Deter", std::to_string(m_butDeter.size())},
        {"Nb_But_Quest", std::to_string(m_butQuest.size())},
        {"Nb_Contraintes", std::to_string(nbContraintes)},
    };
    for (const auto &[name, value] : m_parametres)
        parameters[name] = value;
    for (const std::string &name : m_sansParametre)
        parameters.erase(name);

    std::vector<std::pair<std::string, std::string>> constraintFields;
    for (int i = 0; i < nbContraintes; ++i)
        constraintFields.emplace_back("C_" + std::to_string(i), "TEXT");

    std::vector<TableSpec> specs = {
        {"Parametres", {{"Parametre", "TEXT"}, {"Etat", "TEXT"}}},
        {"Couleurs", {{"Num_Couleur", "INTEGER"}, {"Code_Couleur", "TEXT"}}},
        {"Flore", {{"Espece", "TEXT"}, {"Famille", "TEXT"}, {"Code", "TEXT"}, {"Legende", "TEXT"}}},
        {"Objets_Fic",
         {{"Numero", "INTEGER"}, {"Objet", "TEXT"}, {"Lignes", "INTEGER"}, {"Colonnes", "INTEGER"},
          {"Index_Car", "INTEGER"}, {"Nb_Car", "INTEGER"}, {"Desc_Num", "INTEGER"}, {"Cadre", "INTEGER"},
          {"TipText", "TEXT"}, {"Popup", "TEXT"}, {"Joker", "INTEGER"}, {"Contrainte", "TEXT"}}},
        {"Caracteres", {{"NUM", "INTEGER"}, {"ID_CARAC", "TEXT"}, {"TipText", "TEXT"}}},
        {"Hierarchie", {{"Numero", "INTEGER"}, {"Robot_Num", "INTEGER"}, {"Nom", "TEXT"}}},
        {"Clic_Zone",
         {{"Numero", "INTEGER"}, {"Nom", "TEXT"}, {"Cadre", "INTEGER"}, {"Test_Cadre", "INTEGER"}, {"X1", "INTEGER"},
          {"X2", "INTEGER"}, {"Y1", "INTEGER"}, {"Y2", "INTEGER"}}},
        {"Communs_Langues", {{"Numero", "INTEGER"}, {"Langue", "TEXT"}}},
        {"Noms_Communs", {{"Numero", "INTEGER"}, {"Langue", "TEXT"}, {"Nom", "TEXT"}, {"Espece", "TEXT"}}},
        {"But_Deter", {{"Numero", "INTEGER"}, {"Caption", "TEXT"}, {"File", "TEXT"}, {"TipText", "TEXT"}, {"Key", "TEXT"}}},
        {"But_Quest", {{"Numero", "INTEGER"}, {"Caption", "TEXT"}, {"File", "TEXT"}, {"TipText", "TEXT"}}},
        {"Descendance", {{"Numero", "INTEGER"}, {"ID_CARAC", "TEXT"}, {"Objet", "TEXT"}}},
        {"Contradictions", {{"Objet", "TEXT"}, {"Bouton", "INTEGER"}, {"Popup", "TEXT"}}},
    };
    const std::pair<std::string, std::string> nameFields[] = {{"Nom_en", "TEXT"}, {"Nom_es", "TEXT"}, {"Nom_fr", "TEXT"}};
    if (!m_numeriques.empty() || !m_plages.empty()) {
        TableSpec numeriques{"Caracteres_Num", {{"Objet", "TEXT"}}};
        numeriques.fields.insert(numeriques.fields.end(), std::begin(nameFields), std::end(nameFields));
        numeriques.fields.insert(numeriques.fields.end(),
                                 {{"Unite", "TEXT"}, {"Poids", "INTEGER"}, {"Cadre", "INTEGER"}, {"Joker", "INTEGER"}});
        specs.push_back(numeriques);
        specs.push_back({"Plages_Num",
                         {{"Numero", "INTEGER"}, {"Objet", "TEXT"}, {"Espece", "TEXT"}, {"Minimum", "REAL"},
                          {"Maximum", "REAL"}, {"Extreme_Min", "REAL"}, {"Extreme_Max", "REAL"}}});
    }
    if (!m_imagesEtats.empty())
        specs.push_back({"Images_Etats", {{"ID_CARAC", "TEXT"}, {"Image", "TEXT"}}});
    if (!m_nomsCadres.empty()) {
        TableSpec cadres{"Cadres", {{"Cadre", "INTEGER"}}};
        cadres.fields.insert(cadres.fields.end(), std::begin(nameFields), std::end(nameFields));
        specs.push_back(cadres);
    }
    if (!m_textesLangues.empty())
        specs.push_back({"Textes_Langues",
                         {{"Numero", "INTEGER"}, {"Langue", "TEXT"}, {"Genre", "TEXT"}, {"Cle", "TEXT"},
                          {"Champ", "TEXT"}, {"Texte", "TEXT"}}});
    for (TableSpec &spec : specs) {
        if (spec.name == "Hierarchie" || spec.name == "Clic_Zone")
            spec.fields.insert(spec.fields.end(), constraintFields.begin(), constraintFields.end());
    }

    sqlite::Database db;
    sqlite::Error error;
    if (!db.openReadWrite(dbPath, error))
        throw std::runtime_error("cannot create " + dbPath + ": " + error.message);
    const auto run = [&](const std::string &sql) {
        if (!db.exec(sql, error))
            throw std::runtime_error(error.message + " in: " + sql);
    };
    run("BEGIN");

    // Inserts one row, leaving out the fields a test removed.
    std::map<std::string, const TableSpec *> byName;
    for (const TableSpec &spec : specs) {
        if (m_sansTable.count(spec.name))
            continue;
        byName[spec.name] = &spec;
        std::string sql = "CREATE TABLE " + quoteIdentifier(spec.name) + " (";
        bool first = true;
        for (std::size_t i = 0; i < spec.fields.size(); ++i) {
            const auto &[field, type] = spec.fields[i];
            if (m_sansChamp.count({spec.name, field}))
                continue;
            sql += (first ? "" : ", ") + quoteIdentifier(field) + " " + type + (i == 0 ? " PRIMARY KEY" : "");
            first = false;
        }
        run(sql + ")");
    }
    const auto insert = [&](const std::string &table, const std::vector<std::pair<std::string, std::string>> &values) {
        if (!byName.count(table))
            return;
        std::string names, literals;
        for (const auto &[field, literal] : values) {
            if (m_sansChamp.count({table, field}))
                continue;
            names += (names.empty() ? "" : ", ") + quoteIdentifier(field);
            literals += (literals.empty() ? "" : ", ") + literal;
        }
        run("INSERT INTO " + quoteIdentifier(table) + " (" + names + ") VALUES (" + literals + ")");
    };
    const auto constraintValues = [&](const std::vector<std::string> &list) {
        std::vector<std::pair<std::string, std::string>> values;
        for (int i = 0; i < nbContraintes; ++i) {
            const auto n = static_cast<std::size_t>(i);
            std::string literal = "NULL";
            if (n < list.size())
                literal = quoteText(list[n]);
            else if (n == list.size())
                literal = "'Fin'";
            values.emplace_back("C_" + std::to_string(i), literal);
        }
        return values;
    };

    for (const auto &[name, value] : parameters)
        insert("Parametres", {{"Parametre", quoteText(name)}, {"Etat", quoteText(value)}});
    for (std::size_t i = 0; i < m_couleurs.size(); ++i)
        insert("Couleurs", {{"Num_Couleur", std::to_string(i + 1)}, {"Code_Couleur", quoteText(m_couleurs[i])}});
    for (const Espece &e : m_especes)
        insert("Flore", {{"Espece", quoteText(e.nom)}, {"Famille", quoteText(e.famille)}, {"Code", quoteText(e.code)},
                         {"Legende", textOrNull(e.legende)}});
    for (std::size_t i = 0; i < m_objets.size(); ++i) {
        const LigneObjet &l = m_objets[i];
        insert("Objets_Fic", {{"Numero", std::to_string(i + 1)},
                              {"Objet", quoteText(l.o.objet)},
                              {"Lignes", std::to_string(l.o.lignes)},
                              {"Colonnes", std::to_string(l.o.colonnes)},
                              {"Index_Car", std::to_string(l.indexCar)},
                              {"Nb_Car", std::to_string(l.o.etats.size())},
                              {"Desc_Num", std::to_string(l.descNum)},
                              {"Cadre", std::to_string(l.o.cadre)},
                              {"TipText", quoteText(l.o.tipText.empty() ? l.o.objet : l.o.tipText)},
                              {"Popup", quoteText(l.o.popup)},
                              {"Joker", l.o.joker ? "-1" : "0"},
                              {"Contrainte", textOrNull(l.o.contrainte)}});
    }
    for (std::size_t e = 0; e < m_etats.size(); ++e)
        insert("Caracteres", {{"NUM", std::to_string(e)}, {"ID_CARAC", quoteText(m_etats[e])},
                              {"TipText", quoteText(m_tipsEtats[e])}});
    for (std::size_t i = 0; i < m_hierarchie.size(); ++i) {
        auto values = constraintValues(m_hierarchie[i].c);
        values.insert(values.begin(), {{"Numero", std::to_string(i + 1)},
                                       {"Robot_Num", std::to_string(m_hierarchie[i].robot)},
                                       {"Nom", quoteText(m_hierarchie[i].nom)}});
        insert("Hierarchie", values);
    }
    for (std::size_t i = 0; i < m_zones.size(); ++i) {
        const Zone &z = m_zones[i];
        auto values = constraintValues(z.c);
        values.insert(values.begin(), {{"Numero", std::to_string(i + 1)},
                                       {"Nom", quoteText(z.nom)},
                                       {"Cadre", std::to_string(z.cadre)},
                                       {"Test_Cadre", z.test ? "-1" : "0"},
                                       {"X1", std::to_string(z.x1)},
                                       {"X2", std::to_string(z.x2)},
                                       {"Y1", std::to_string(z.y1)},
                                       {"Y2", std::to_string(z.y2)}});
        insert("Clic_Zone", values);
    }
    int commonNumber = 0;
    for (std::size_t i = 0; i < m_langues.size(); ++i) {
        const auto &[langue, noms] = m_langues[i];
        insert("Communs_Langues", {{"Numero", std::to_string(i + 1)}, {"Langue", quoteText(langue)}});
        for (const auto &[nom, espece] : noms)
            insert("Noms_Communs", {{"Numero", std::to_string(++commonNumber)}, {"Langue", quoteText(langue)},
                                    {"Nom", quoteText(nom)}, {"Espece", quoteText(espece)}});
        if (!m_sansTable.count("Noms_Communs") && !m_sansTable.count("Flore"))
            run("CREATE VIEW " + quoteIdentifier("Vernaculaire_" + langue) +
                " AS SELECT n.Nom AS Nom, f.Code AS Code, f.Espece AS Espece, f.Famille AS Famille"
                " FROM Noms_Communs n JOIN Flore f ON f.Espece = n.Espece WHERE n.Langue = " +
                quoteText(langue) + " ORDER BY n.Numero");
    }
    for (std::size_t i = 0; i < m_butDeter.size(); ++i) {
        const Bouton &b = m_butDeter[i];
        insert("But_Deter", {{"Numero", std::to_string(i + 1)}, {"Caption", quoteText(b.caption)},
                             {"File", quoteText(b.file)}, {"TipText", quoteText(b.tip)}, {"Key", quoteText(b.key)}});
    }
    for (std::size_t i = 0; i < m_butQuest.size(); ++i) {
        const Bouton &b = m_butQuest[i];
        insert("But_Quest", {{"Numero", std::to_string(i + 1)}, {"Caption", quoteText(b.caption)},
                             {"File", quoteText(b.file)}, {"TipText", quoteText(b.tip)}});
    }
    for (std::size_t i = 0; i < m_descendance.size(); ++i)
        insert("Descendance", {{"Numero", std::to_string(i + 1)}, {"ID_CARAC", quoteText(m_descendance[i].first)},
                               {"Objet", quoteText(m_descendance[i].second)}});
    for (const Contra &c : m_contradictions)
        insert("Contradictions", {{"Objet", quoteText(c.objet)}, {"Bouton", std::to_string(c.bouton)},
                                  {"Popup", quoteText(c.popup)}});
    for (const Numerique &n : m_numeriques)
        insert("Caracteres_Num", {{"Objet", quoteText(n.objet)},
                                  {"Nom_en", nameOrNull(n.noms[0])},
                                  {"Nom_es", nameOrNull(n.noms[1])},
                                  {"Nom_fr", nameOrNull(n.noms[2])},
                                  {"Unite", textOrNull(n.unite)},
                                  {"Poids", std::to_string(n.poids)},
                                  {"Cadre", std::to_string(n.cadre)},
                                  {"Joker", n.joker ? "-1" : "0"}});
    for (std::size_t i = 0; i < m_plages.size(); ++i) {
        const Plage &p = m_plages[i];
        insert("Plages_Num", {{"Numero", std::to_string(i + 1)}, {"Objet", quoteText(p.objet)},
                              {"Espece", quoteText(p.espece)}, {"Minimum", real(p.minimum)},
                              {"Maximum", real(p.maximum)}, {"Extreme_Min", realOrNull(p.extremeMin)},
                              {"Extreme_Max", realOrNull(p.extremeMax)}});
    }
    for (const auto &[idCarac, image] : m_imagesEtats)
        insert("Images_Etats", {{"ID_CARAC", quoteText(idCarac)}, {"Image", quoteText(image)}});
    for (const auto &[cadre, noms] : m_nomsCadres)
        insert("Cadres", {{"Cadre", std::to_string(cadre)},
                          {"Nom_en", nameOrNull(noms[0])},
                          {"Nom_es", nameOrNull(noms[1])},
                          {"Nom_fr", nameOrNull(noms[2])}});
    int texteNumber = 0;
    const auto texteRow = [&](const TexteLangue &t, const std::string &cle, const std::string &champ) {
        insert("Textes_Langues", {{"Numero", std::to_string(++texteNumber)}, {"Langue", quoteText(t.langue)},
                                  {"Genre", quoteText(t.genre)}, {"Cle", quoteText(cle)}, {"Champ", quoteText(champ)},
                                  {"Texte", quoteText(t.texte)}});
    };
    for (const TexteLangue &t : m_textesLangues) {
        if (!t.champ.empty())
            texteRow(t, t.cle, t.champ);
        else if (t.genre == "Objets_Fic") {
            for (std::size_t i = 0; i < m_objets.size(); ++i)
                if (m_objets[i].o.objet == t.cle)
                    texteRow(t, std::to_string(i + 1), "TipText");
        } else {
            for (std::size_t e = 0; e < m_etats.size(); ++e)
                if (m_etats[e] == t.cle)
                    texteRow(t, std::to_string(e), "TipText");
        }
    }

    if (byName.count("Objets_Fic") && !m_sansChamp.count({"Objets_Fic", "Objet"}))
        run("CREATE INDEX \"Objet\" ON Objets_Fic (Objet, Numero)");
    if (byName.count("Caracteres") && !m_sansChamp.count({"Caracteres", "ID_CARAC"}))
        run("CREATE INDEX \"ID_CARAC\" ON Caracteres (ID_CARAC, NUM)");
    if (byName.count("Communs_Langues") && !m_sansChamp.count({"Communs_Langues", "Langue"}))
        run("CREATE INDEX \"Langue\" ON Communs_Langues (Langue, Numero)");
    for (const std::string &sql : m_sqlApres)
        run(sql);
    run("COMMIT");
    db.close();

    // The binary files, species in the program's order.
    std::vector<std::size_t> ordre(m_especes.size());
    for (std::size_t i = 0; i < ordre.size(); ++i)
        ordre[i] = i;
    std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) {
        return compareCles(m_especes[a].nom, m_especes[b].nom) < 0;
    });
    if (!m_sansFichier.count("POIDS.DAT")) {
        std::vector<std::int16_t> weights;
        for (const std::string &e : m_etats) {
            const auto it = m_poids.find(e);
            weights.push_back(it == m_poids.end() ? m_poidsDefaut : it->second);
        }
        if (!Ecrit_Entiers16(m_folder + "POIDS.DAT", weights))
            throw std::runtime_error("cannot write POIDS.DAT");
    }
    if (!m_sansFichier.count("MATRICE.DAT")) {
        const std::size_t n = m_especes.size();
        std::vector<std::int16_t> matrix(n * m_etats.size(), 0);
        // A name or an ID_CARAC declared twice gets the value in every place it holds.
        std::map<std::string, std::vector<std::size_t>> places, numeros;
        std::vector<std::size_t> rang(n);
        for (std::size_t s = 0; s < n; ++s) {
            places[m_especes[ordre[s]].nom].push_back(s);
            rang[ordre[s]] = s;
        }
        for (std::size_t e = 0; e < m_etats.size(); ++e)
            numeros[m_etats[e]].push_back(e);
        for (const auto &[cle, value] : m_matrice) {
            const auto espece = places.find(cle.first);
            const auto etat = numeros.find(cle.second);
            if (espece == places.end() || etat == numeros.end())
                continue;
            for (const std::size_t s : espece->second)
                for (const std::size_t e : etat->second)
                    matrix[s + e * n] = value;
        }
        for (const Case &c : m_cases)
            if (c.espece < n && c.etat < m_etats.size())
                matrix[rang[c.espece] + std::size_t{c.etat} * n] = c.valeur;
        if (!Ecrit_Entiers16(m_folder + "MATRICE.DAT", matrix))
            throw std::runtime_error("cannot write MATRICE.DAT");
    }
    return dbPath;
}

} // namespace tarvenko::tools
