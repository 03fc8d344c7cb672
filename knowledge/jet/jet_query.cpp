// A saved query rebuilt from the rows Jet keeps in MSysQueries. mdbtools' own rebuilding drops
// joins, aliases and grouping, so the rows are read directly.
#include <algorithm>
#include <memory>

#include "knowledge/jet/jet_analyseur.h"
#include "knowledge/sqlite.h"
#include "knowledge/text.h"

namespace tarvenko::jet {

namespace {

// Attributes of MSysQueries rows.
enum Attribut {
    AttrType = 1,
    AttrParametre = 2,
    AttrDrapeaux = 3,
    AttrBaseDistante = 4,
    AttrTable = 5,
    AttrColonne = 6,
    AttrJointure = 7,
    AttrWhere = 8,
    AttrGroupBy = 9,
    AttrHaving = 10,
    AttrOrderBy = 11,
};

// Bits of the flags row.
enum Drapeau {
    Etoile = 0x01,
    Distinct = 0x02,    // in a union query: UNION rather than UNION ALL
    DistinctRow = 0x08,
    Top = 0x10,
    Pourcent = 0x20,
};

std::string raisonType(int type)
{
    switch (type) {
    case 2: return "a make-table query";
    case 3: return "an append query";
    case 4: return "an update query";
    case 5: return "a delete query";
    case 6: return "a crosstab query (its fields come from the data)";
    case 7: return "a data-definition query";
    case 8: return "a pass-through query (SQL of another server)";
    default: return "a query of unknown type " + std::to_string(type);
    }
}

// A table of FROM, or tables already joined, with the names ON clauses use for them.
struct ElementFrom {
    std::string sql;
    std::vector<std::string> cles;
    std::shared_ptr<ElementFrom> gauche, droite;
    std::string jointure;
    std::vector<std::string> conditions;

    bool contient(const std::string &cle) const
    {
        return std::any_of(cles.begin(), cles.end(), [&](const std::string &c) { return clesEgales(c, cle); });
    }
    std::string texte() const
    {
        if (!gauche)
            return sql;
        std::string on;
        for (std::size_t i = 0; i < conditions.size(); ++i)
            on += (i ? " AND " : "") + (conditions.size() > 1 ? "(" + conditions[i] + ")" : conditions[i]);
        return parenthese(*gauche) + jointure + parenthese(*droite) + " ON " + on;
    }
    static std::string parenthese(const ElementFrom &e) { return e.gauche ? "(" + e.texte() + ")" : e.texte(); }
};

Expr expressionSeule(const std::string &jet, std::vector<RefColonne> *refs = nullptr)
{
    Analyseur a(jet);
    Expr e = a.expression();
    a.fin();
    if (refs)
        *refs = a.refs;
    return e;
}

std::string sansPointVirgule(std::string texte)
{
    while (!texte.empty() && (texte.back() == ';' || texte.back() == ' ' || texte.back() == '\r' || texte.back() == '\n'))
        texte.pop_back();
    return texte;
}

// FROM as Access draws it: the tables, then each join row joining the two groups that hold its
// tables, or adding its condition when they are already joined.
std::string from(const std::vector<const LigneRequete *> &tables, const std::vector<const LigneRequete *> &jointures,
                 std::vector<Source> &sources, std::vector<Egalite> &egalites, const Schema &schema)
{
    std::vector<std::shared_ptr<ElementFrom>> elements;
    for (const LigneRequete *t : tables) {
        auto e = std::make_shared<ElementFrom>();
        if (!t->expression.empty() && t->nom1.empty()) {
            if (t->nom2.empty())
                throw NonTraduisible{"a subquery in FROM without a name"};
            Analyseur a(t->expression);
            e->sql = "(" + a.requete(schema) + ") AS " + sqlite::quoteIdentifier(t->nom2);
            a.fin();
            sources.push_back({t->nom2, {}});
        } else if (!t->expression.empty()) {
            throw NonTraduisible{"reads a table of another database"};
        } else {
            e->sql = sqlite::quoteIdentifier(t->nom1);
            if (!t->nom2.empty())
                e->sql += " AS " + sqlite::quoteIdentifier(t->nom2);
            sources.push_back({t->nom2.empty() ? t->nom1 : t->nom2, t->nom1});
        }
        e->cles.push_back(sources.back().cle);
        elements.push_back(e);
    }
    for (const LigneRequete *j : jointures) {
        static const char *const types[] = {" INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
        const int type = j->drapeau.value_or(0);
        if (type < 1 || type > 3)
            throw NonTraduisible{"a join of unknown type " + std::to_string(type)};
        const Expr on = expressionSeule(j->expression);
        const std::string condition = on.sql;
        egalites.insert(egalites.end(), on.egalites.begin(), on.egalites.end());
        std::shared_ptr<ElementFrom> de, vers;
        for (auto it = elements.begin(); it != elements.end() && (!de || !vers);) {
            if (!de && (*it)->contient(j->nom1)) {
                de = *it;
                if (!vers && de->contient(j->nom2)) {
                    vers = de;
                    break;
                }
                it = elements.erase(it);
            } else if (!vers && (*it)->contient(j->nom2)) {
                vers = *it;
                it = elements.erase(it);
            } else {
                ++it;
            }
        }
        if (de && de == vers) {
            if (!de->gauche || de->jointure != types[type - 1])
                throw NonTraduisible{"joins of different kinds between " + j->nom1 + " and " + j->nom2};
            de->conditions.push_back(condition);
            continue;
        }
        for (std::shared_ptr<ElementFrom> *cote : {&de, &vers}) {
            if (*cote)
                continue;
            const std::string &nom = cote == &de ? j->nom1 : j->nom2;
            *cote = std::make_shared<ElementFrom>();
            (*cote)->sql = sqlite::quoteIdentifier(nom);
            (*cote)->cles.push_back(nom);
            sources.push_back({nom, nom});
        }
        auto joint = std::make_shared<ElementFrom>();
        joint->gauche = de;
        joint->droite = vers;
        joint->jointure = types[type - 1];
        joint->conditions.push_back(condition);
        joint->cles = de->cles;
        joint->cles.insert(joint->cles.end(), vers->cles.begin(), vers->cles.end());
        elements.push_back(joint);
    }
    std::string sql;
    for (std::size_t i = 0; i < elements.size(); ++i)
        sql += (i ? ", " : "") + elements[i]->texte();
    return sql;
}

std::string ordre(const LigneRequete &l)
{
    std::string terme = valeur(expressionSeule(l.expression)).sql;
    if (clesEgales(l.nom1, "D"))
        terme += " DESC";
    return terme;
}

} // namespace

Traduction traduitRequete(std::vector<LigneRequete> lignes, const Schema &schema)
{
    // Within one attribute the binary Order field gives the sequence; rows without it keep theirs.
    std::stable_sort(lignes.begin(), lignes.end(), [](const LigneRequete &a, const LigneRequete &b) {
        if (a.attribut != b.attribut)
            return a.attribut < b.attribut;
        return std::lexicographical_compare(a.ordre.begin(), a.ordre.end(), b.ordre.begin(), b.ordre.end(),
                                            [](char x, char y) {
                                                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                                            });
    });
    const auto de = [&](int attribut) {
        std::vector<const LigneRequete *> out;
        for (const LigneRequete &l : lignes) {
            if (l.attribut == attribut)
                out.push_back(&l);
        }
        return out;
    };
    const auto premier = [&](int attribut) -> const LigneRequete * {
        const auto l = de(attribut);
        return l.empty() ? nullptr : l.front();
    };
    try {
        const LigneRequete *ligneType = premier(AttrType);
        const int type = ligneType && ligneType->drapeau ? *ligneType->drapeau : 1;
        if (type != 1 && type != 9)
            throw NonTraduisible{raisonType(type)};
        std::string parametres;
        for (const LigneRequete *p : de(AttrParametre))
            parametres += (parametres.empty() ? "" : ", ") + p->nom1;
        if (!parametres.empty())
            throw NonTraduisible{"asks for parameters: " + parametres};
        for (const LigneRequete *b : de(AttrBaseDistante)) {
            if (!b->nom1.empty() || !b->expression.empty())
                throw NonTraduisible{"reads tables of another database"};
        }
        const LigneRequete *ligneDrapeaux = premier(AttrDrapeaux);
        const int drapeaux = ligneDrapeaux ? ligneDrapeaux->drapeau.value_or(0) : 0;

        if (type == 9) {
            // The two halves are kept as SQL text; the second may hold further UNIONs.
            auto parties = de(AttrTable);
            std::stable_sort(parties.begin(), parties.end(),
                             [](const LigneRequete *a, const LigneRequete *b) { return a->nom2 < b->nom2; });
            if (parties.size() != 2)
                throw NonTraduisible{"a union query of " + std::to_string(parties.size()) + " parts"};
            std::string jet = sansPointVirgule(parties[0]->expression) +
                              ((drapeaux & Distinct) ? " UNION " : " UNION ALL ") + sansPointVirgule(parties[1]->expression);
            Analyseur a(jet);
            std::string sql = a.requete(schema);
            a.fin();
            std::string tri;
            for (const LigneRequete *o : de(AttrOrderBy))
                tri += (tri.empty() ? " ORDER BY " : ", ") + ordre(*o);
            return {sql + tri, {}};
        }

        Selection s;
        s.distinct = (drapeaux & Distinct) != 0;
        s.distinctRow = (drapeaux & DistinctRow) != 0;
        s.pourcent = (drapeaux & Pourcent) != 0;
        if (drapeaux & Top) {
            const std::string &n = ligneDrapeaux->nom1;
            if (n.empty() || n.size() > 15 || !std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; }))
                throw NonTraduisible{"TOP " + n};
            s.top = std::stoll(n);
        }
        if (drapeaux & Etoile)
            s.elements.push_back(Element{{}, {}, true, {}, {}});
        s.from = from(de(AttrTable), de(AttrJointure), s.sources, s.egalites, schema);
        for (const LigneRequete *c : de(AttrColonne)) {
            const std::vector<Lexeme> lex = decoupe(c->expression);
            Element el;
            if (lex.size() == 2 && lex[0].estSymbole("*")) {
                el.etoile = true;
            } else if (lex.size() == 4 && lex[1].estSymbole(".") && lex[2].estSymbole("*")) {
                el.etoile = true;
                el.etoileDe = lex[0].texte;
            } else {
                el.expr = expressionSeule(c->expression, &el.refs);
                el.alias = c->nom1;
            }
            s.elements.push_back(std::move(el));
        }
        if (s.elements.empty())
            throw NonTraduisible{"a query without output fields"};
        if (const LigneRequete *w = premier(AttrWhere)) {
            const Expr where = expressionSeule(w->expression);
            s.where = where.sql;
            s.egalites.insert(s.egalites.end(), where.egalites.begin(), where.egalites.end());
        }
        for (const LigneRequete *g : de(AttrGroupBy))
            s.groupBy.push_back(valeur(expressionSeule(g->expression)).sql);
        if (const LigneRequete *h = premier(AttrHaving))
            s.having = expressionSeule(h->expression).sql;
        for (const LigneRequete *o : de(AttrOrderBy))
            s.orderBy.push_back(ordre(*o));
        return {emet(s, schema), {}};
    } catch (const NonTraduisible &n) {
        return {{}, n.raison};
    }
}

} // namespace tarvenko::jet
