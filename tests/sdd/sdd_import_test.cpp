// Conversion rules on small SDD files written by the tests, bad input, and the command.
#include <filesystem>

#include "engine/answering.h"
#include "knowledge/key_texts.h"
#include "knowledge/sdd/sdd_cache.h"
#include "sdd/sdd_support.h"
#include "support/commande.h"

namespace tarvenko::test {
namespace {

namespace fs = std::filesystem;

// A small key: ids differing only in letter case, two descriptions with one label, a status,
// an unknown state, a range given by its method bounds, a dependency, a family, pictures.
const char *const kPetiteCle = R"(<?xml version="1.0" encoding="UTF-8"?>
<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/">
 <Dataset xml:lang="fr">
  <Representation><Label>Petite clé</Label></Representation>
  <TaxonNames>
   <TaxonName id="tf"><Representation><Label>Pinaceae</Label></Representation></TaxonName>
   <TaxonName id="ta"><Representation><Label>Abies alba</Label></Representation></TaxonName>
  </TaxonNames>
  <TaxonHierarchies><TaxonHierarchy id="h"><Nodes>
   <Node id="n2"><Parent ref="n1"/><TaxonName ref="ta"/></Node>
   <Node id="n1"><TaxonName ref="tf"/></Node>
  </Nodes></TaxonHierarchy></TaxonHierarchies>
  <Characters>
   <CategoricalCharacter id="q"><Representation><Label>Feuilles</Label></Representation>
    <States>
     <StateDefinition id="aB"><Representation><Label>Opposées
         deux à deux</Label><MediaObject ref="img"/></Representation></StateDefinition>
     <StateDefinition id="ab"><Representation><Label>Alternes</Label></Representation></StateDefinition>
    </States></CategoricalCharacter>
   <CategoricalCharacter id="Q"><Representation><Label>Limbe</Label></Representation>
    <States>
     <StateDefinition id="AB"><Representation><Label>Lobé</Label></Representation></StateDefinition>
     <StateDefinition id="x"><Representation><Label>Entier</Label></Representation></StateDefinition>
    </States></CategoricalCharacter>
   <QuantitativeCharacter id="L"><Representation><Label>Pétiole</Label></Representation>
    <MeasurementUnit><Label role="Abbrev">cm</Label></MeasurementUnit></QuantitativeCharacter>
   <TextCharacter id="t"><Representation><Label>Écorce</Label></Representation></TextCharacter>
  </Characters>
  <CharacterTrees><CharacterTree id="ct"><Nodes>
   <Node id="g"><Representation><Label>Feuille</Label></Representation></Node>
   <CharNode><Parent ref="g"/><Character ref="q"/></CharNode>
   <CharNode><DependencyRules><OnlyApplicableIf><State ref="aB"/></OnlyApplicableIf></DependencyRules>
    <Character ref="Q"/></CharNode>
  </Nodes></CharacterTree></CharacterTrees>
  <CodedDescriptions>
   <CodedDescription id="d1"><Representation><Label>Abies alba</Label><MediaObject ref="web"/></Representation>
    <Scope><TaxonName ref="ta"/></Scope>
    <SummaryData>
     <Categorical ref="q"><State ref="aB"/></Categorical>
     <Categorical ref="Q"><State ref="AB"/><State ref="nulle"/></Categorical>
     <Quantitative ref="L"><Measure type="UMethLower" value="2"/><Measure type="Mean" value="3"/>
      <Measure type="UMethUpper" value="5"/><Measure type="SD" value="1"/></Quantitative>
     <TextChar ref="t"><Content>lisse</Content></TextChar>
    </SummaryData></CodedDescription>
   <CodedDescription id="d2"><Representation><Label>abies alba</Label></Representation>
    <SummaryData>
     <Categorical ref="q"><State ref="ab"/><Status code="ToBeChecked"/></Categorical>
     <Categorical ref="Q"><State ref="x"/></Categorical>
    </SummaryData></CodedDescription>
  </CodedDescriptions>
  <MediaObjects>
   <MediaObject id="img"><Representation><Label>opp</Label></Representation><Type>Image</Type><Source href="images/opp%20a.png"/></MediaObject>
   <MediaObject id="web"><Representation><Label>Photo</Label></Representation><Type>Image</Type><Source href="https://example.org/a.jpg"/></MediaObject>
  </MediaObjects>
 </Dataset>
</Datasets>
)";

struct Petite {
    TempDir dir;
    std::string source = dir.dossier() + "petite.sdd.xml";
    std::string cle = dir.dossier() + "cle";
    sdd::Bilan bilan;
    KeyModel m;

    Petite()
    {
        ecrit(source, kPetiteCle);
        fs::create_directories(dir.dossier() + "images");
        ecrit(dir.dossier() + "images/opp a.png", "PNG");
        std::string erreur;
        EXPECT_TRUE(sdd::convertitVers(source, cle, bilan, erreur)) << erreur;
        EXPECT_EQ(chargeCle(m, cle).etat, ResultatChargement::Etat::Ok);
    }
    int etat(const std::string &id) const { return m.Base_Donnees.caractereParId(id)->NUM; }
    int espece(const std::string &nom) const
    {
        return static_cast<int>(std::find(m.Nom_Esp.begin(), m.Nom_Esp.end(), nom) - m.Nom_Esp.begin());
    }
};

TEST(SddImport, idsDifferingOnlyInCaseGetASuffixAndAreListed)
{
    const Petite p;
    std::vector<std::string> objets, etats;
    for (const ObjetRow &o : p.m.Base_Donnees.Objets_Fic.rows)
        objets.push_back(*o.Objet);
    for (const CaractereRow &c : p.m.Base_Donnees.Caracteres.rows)
        etats.push_back(*c.ID_CARAC);
    EXPECT_EQ(objets, (std::vector<std::string>{"q", "Q~2"}));
    EXPECT_EQ(etats, (std::vector<std::string>{"aB", "ab~2", "AB~3", "x"}));
    EXPECT_EQ(p.bilan.renommages, (std::vector<std::string>{"character \"Q\" -> \"Q~2\"", "state \"ab\" -> \"ab~2\"",
                                                             "state \"AB\" -> \"AB~3\""}));
}

TEST(SddImport, descriptionsBecomeSpeciesWithTheirCodings)
{
    const Petite p;
    ASSERT_EQ(p.m.Nom_Esp.size(), 2u);
    const int a = p.espece("Abies alba"), b = p.espece("abies alba (2)");
    ASSERT_LT(a, 2);
    ASSERT_LT(b, 2);
    EXPECT_EQ(p.m.Base_Donnees.espece("Abies alba")->Famille.value_or(""), "Pinaceae");
    EXPECT_EQ(p.m.Base_Donnees.espece("abies alba (2)")->Famille.value_or(""), "Petite clé");
    struct Cellule {
        int espece;
        const char *etat;
        int valeur;
    };
    const Cellule cellules[] = {
        {a, "aB", 1}, {a, "ab~2", 0},  // coded
        {b, "aB", 1}, {b, "ab~2", 1},  // a state to be checked: unknown, every state
        {a, "AB~3", 1}, {a, "x", 0},   // the unknown state skipped, the known one kept
        {b, "AB~3", 0}, {b, "x", 1},
    };
    for (const Cellule &c : cellules)
        EXPECT_EQ(p.m.matrice(c.espece, p.etat(c.etat)), c.valeur) << c.espece << " " << c.etat;
    ASSERT_EQ(p.bilan.ignores.size(), 1u);
    EXPECT_EQ(p.bilan.ignores[0].raison, "reference to an unknown state");
    EXPECT_EQ(p.bilan.codages, 6);
}

TEST(SddImport, aRangeRunsOverTheMethodBoundsAndTheMean)
{
    const Petite p;
    ASSERT_EQ(p.m.Caracteres_Num.size(), 1u);
    const Caractere_Num &c = p.m.Caracteres_Num[0];
    EXPECT_EQ(c.Objet, "L");
    EXPECT_EQ(c.Unite, "cm");
    const auto a = static_cast<std::size_t>(p.espece("Abies alba")), b = static_cast<std::size_t>(p.espece("abies alba (2)"));
    EXPECT_TRUE(c.connue[a]);
    EXPECT_EQ(c.minimum[a], 2);
    EXPECT_EQ(c.maximum[a], 5);
    EXPECT_FALSE(c.connue[b]);
}

TEST(SddImport, dependenciesGroupsAndPicturesAreKept)
{
    const Petite p;
    ASSERT_EQ(p.m.Base_Donnees.Descendance.size(), 1u);
    EXPECT_EQ(*p.m.Base_Donnees.Descendance.rows[0].ID_CARAC, "aB");
    EXPECT_EQ(*p.m.Base_Donnees.Descendance.rows[0].Objet, "Q~2");
    EXPECT_EQ(*p.m.Base_Donnees.objet("q")->Cadre, 0);
    EXPECT_EQ(*p.m.Base_Donnees.objet("Q~2")->Cadre, -1);
    EXPECT_EQ(p.m.Base_Donnees.cadre(0)->Nom[2].value_or(""), "Feuille");
    const ImageEtatRow *image = p.m.Base_Donnees.imageEtat("aB");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(fs::exists(p.cle + "/descripteurs/" + image->Image.value_or("?")));
    EXPECT_EQ(p.bilan.images, 1);
    EXPECT_EQ(p.bilan.liens, 1);

    const std::string code = *p.m.Base_Donnees.espece("Abies alba")->Code;
    for (const char *langue : {"_en", "_fr"}) {
        std::ifstream f(p.cle + "/documents/" + code.substr(0, 1) + "/" + code + "/" + code + langue + ".html");
        const std::string html{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
        EXPECT_NE(html.find("Feuilles opposées deux à deux; limbe lobé; pétiole 2\u20135 cm (Mean 3, SD 1)."), std::string::npos) << html;
        EXPECT_NE(html.find("<b>Écorce</b>: lisse"), std::string::npos);
        EXPECT_NE(html.find("<a href=\"https://example.org/a.jpg\">Photo</a>"), std::string::npos);
    }
}

TEST(SddImport, labelsInOtherLanguagesBecomeTheKeysTextsInThoseLanguages)
{
    // A French dataset whose labels are also given in English and Spanish; the Spanish label of
    // the first state comes before the French one, which stays the key's own text.
    TempDir dir;
    const std::string source = dir.dossier() + "langues.sdd.xml";
    ecrit(source, R"(<?xml version="1.0" encoding="UTF-8"?>
<Datasets xmlns="http://rs.tdwg.org/UBIF/2006/">
 <Dataset xml:lang="fr">
  <Representation><Label>Clé</Label></Representation>
  <Characters>
   <CategoricalCharacter id="q"><Representation><Label>Feuilles</Label><Label xml:lang="en">Leaves</Label>
     <Label xml:lang="es">Hojas</Label><Label xml:lang="de">Blätter</Label></Representation>
    <States>
     <StateDefinition id="a"><Representation><Label xml:lang="es">Opuestas</Label><Label>Opposées</Label>
       <Label xml:lang="en">Opposite</Label></Representation></StateDefinition>
     <StateDefinition id="b"><Representation><Label>Alternes</Label></Representation></StateDefinition>
    </States></CategoricalCharacter>
   <QuantitativeCharacter id="L"><Representation><Label>Longueur</Label><Label xml:lang="en">Length</Label>
     </Representation><MeasurementUnit><Label>cm</Label></MeasurementUnit></QuantitativeCharacter>
  </Characters>
  <CharacterTrees><CharacterTree id="ct"><Nodes>
   <Node id="g"><Representation><Label>Feuille</Label><Label xml:lang="es">Hoja</Label></Representation></Node>
   <CharNode><Parent ref="g"/><Character ref="q"/></CharNode>
  </Nodes></CharacterTree></CharacterTrees>
  <CodedDescriptions>
   <CodedDescription id="d1"><Representation><Label>Abies alba</Label></Representation>
    <SummaryData><Categorical ref="q"><State ref="a"/></Categorical></SummaryData></CodedDescription>
  </CodedDescriptions>
 </Dataset>
</Datasets>
)");
    sdd::Bilan bilan;
    std::string erreur;
    ASSERT_TRUE(sdd::convertitVers(source, dir.dossier() + "cle", bilan, erreur)) << erreur;
    KeyModel m;
    ASSERT_EQ(chargeCle(m, dir.dossier() + "cle").etat, ResultatChargement::Etat::Ok);
    const Tables &t = m.Base_Donnees;
    const ObjetRow &q = *t.objet("q");
    EXPECT_EQ(q.TipText, "Feuilles");
    EXPECT_EQ(Texte_Question(t, q, 0), "Leaves");
    EXPECT_EQ(Texte_Question(t, q, 1), "Hojas");
    EXPECT_EQ(Texte_Question(t, q, 2), "Feuilles");
    const int a = t.caractereParId("a")->NUM, b = t.caractereParId("b")->NUM;
    EXPECT_EQ(t.caractere(a)->TipText, "Opposées");
    EXPECT_EQ(Nom_Etat_Langue(t, a, 0), "Opposite");
    EXPECT_EQ(Nom_Etat_Langue(t, a, 1), "Opuestas");
    EXPECT_EQ(Nom_Etat_Langue(t, b, 1), "Alternes"); // no Spanish label: the key's own
    EXPECT_EQ(Nom_Cadre_Langue(t, 0, 1), "Hoja");
    EXPECT_EQ(Nom_Cadre_Langue(t, 0, 2), "Feuille");
    const CaractereNumRow *longueur = t.caractereNum("L");
    ASSERT_NE(longueur, nullptr);
    EXPECT_EQ(longueur->Nom[0], "Length");
    EXPECT_EQ(longueur->Nom[2], "Longueur");
}

TEST(SddImport, answeringAStateClearsTheCharactersThatDependOnIt)
{
    Petite p;
    Nettoye(p.m);
    const auto repond = [&](const std::string &id) {
        const ObjetRow *o = Objet_De_Etat(p.m, p.etat(id));
        Ouvre_Descripteur(p.m, *o, *o->Objet);
        p.m.Descripteur_Courant.Selection = static_cast<std::int16_t>(p.etat(id) - *o->Index_Car);
        Valid_Descripteur(p.m);
    };
    repond("aB");
    repond("x");
    repond("ab~2");
    EXPECT_EQ(p.m.Etat_Choisi[static_cast<std::size_t>(p.etat("x"))], 0);
}

TEST(SddImport, badInputIsRefusedNamingTheFileAndNothingIsLeft)
{
    struct Cas {
        const char *fichier, *contenu, *message;
    };
    const Cas cas[] = {
        {"texte.sdd.xml", "this is not XML", "not well-formed XML"},
        {"vide.sdd.xml", "", "not well-formed XML"},
        {"tronque.sdd.xml", "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset><Characters>", "not well-formed XML"},
        {"page.xml", "<html><body/></html>", "not an SDD file: the root element is <html>"},
        {"espace.xml", "<Datasets><Dataset/></Datasets>", "not an SDD file"},
        {"sans.sdd.xml", "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"/>", "no <Dataset>"},
        {"double.sdd.xml",
         "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset><Characters>"
         "<CategoricalCharacter id=\"c\"/>\n<TextCharacter id=\"c\"/></Characters></Dataset></Datasets>",
         "the id \"c\" is given twice, the second time to a <TextCharacter> (line 2)"},
    };
    for (const Cas &c : cas) {
        TempDir dir;
        const std::string source = dir.dossier() + c.fichier;
        ecrit(source, c.contenu);
        sdd::Bilan bilan;
        std::string erreur;
        EXPECT_FALSE(sdd::convertitVers(source, dir.dossier() + "cle", bilan, erreur)) << c.fichier;
        EXPECT_EQ(erreur.rfind(source + ": ", 0), 0u) << erreur;
        EXPECT_NE(erreur.find(c.message), std::string::npos) << erreur;
        EXPECT_EQ(contenu(dir.dossier()), std::vector<std::string>{c.fichier});
    }
}

TEST(SddImport, thePublishedInvalidSampleIsRefused)
{
    EXIGE_ECHANTILLONS_SDD();
    TempDir dir;
    sdd::Bilan bilan;
    std::string erreur;
    EXPECT_FALSE(sdd::convertitVers(echantillonSdd("invalideSDD.xml"), dir.dossier() + "cle", bilan, erreur));
    EXPECT_EQ(erreur, echantillonSdd("invalideSDD.xml") + ": the id \"t43\" is given twice, the second time to a <TaxonName> (line 57)");
    EXPECT_TRUE(contenu(dir.dossier()).empty());
}

TEST(SddImport, anExistingFolderIsReplacedOnlyWhenAsked)
{
    TempDir dir;
    const std::string source = dir.dossier() + "k.sdd.xml", cle = dir.dossier() + "cle";
    ecrit(source, kPetiteCle);
    fs::create_directories(cle);
    ecrit(cle + "/ancien", "x");
    sdd::Bilan bilan;
    std::string erreur;
    EXPECT_FALSE(sdd::convertitVers(source, cle, bilan, erreur));
    EXPECT_TRUE(fs::exists(cle + "/ancien"));
    EXPECT_TRUE(sdd::convertitVers(source, cle, bilan, erreur, true)) << erreur;
    EXPECT_FALSE(fs::exists(cle + "/ancien"));
    EXPECT_TRUE(fs::exists(cle + "/data/Tarvenko.db"));
    EXPECT_EQ(contenu(dir.dossier()), (std::vector<std::string>{"cle", "k.sdd.xml"}));
}

TEST(SddImport, theCacheConvertsOnceAndAgainWhenTheFileChanges)
{
    TempDir dir;
    const std::string source = dir.dossier() + "k.sdd.xml", cache = dir.dossier() + "cache";
    ecrit(source, kPetiteCle);
    std::string premier, second, erreur;
    ASSERT_TRUE(sdd::Prepare_Cle(source, cache, premier, erreur)) << erreur;
    ecrit(premier + "/marque", "");
    ASSERT_TRUE(sdd::Prepare_Cle(source, cache, second, erreur));
    EXPECT_EQ(second, premier);
    EXPECT_TRUE(fs::exists(premier + "/marque")) << "converted twice";

    ecrit(source, std::string(kPetiteCle) + "\n");
    ASSERT_TRUE(sdd::Prepare_Cle(source, cache, second, erreur));
    EXPECT_NE(second, premier);
    EXPECT_EQ(contenu(cache), std::vector<std::string>{fs::path(second).filename().string()});

    ecrit(source, "<oops");
    EXPECT_EQ(sdd::convertitCle(source, cache, erreur), std::nullopt);
    EXPECT_EQ(erreur.rfind(source + ": not well-formed XML", 0), 0u) << erreur;
    EXPECT_EQ(contenu(cache), std::vector<std::string>{fs::path(second).filename().string()});
}

TEST(SddImport, theCommandPrintsTheSummaryOrTheProblem)
{
    TempDir dir;
    const std::string source = dir.dossier() + "k.sdd.xml", mauvais = dir.dossier() + "m.sdd.xml";
    ecrit(source, kPetiteCle);
    ecrit(mauvais, "<oops");
    const Execution ok = execute(cite(TARVENKO_IMPORT_PROGRAM) + " " + cite(source) + " " + cite(dir.dossier() + "cle") + " 2>&1");
    EXPECT_EQ(ok.code, 0) << ok.sortie;
    for (const char *ligne : {"taxa: 2\n", "characters: 2 categorical, 1 quantitative, 1 text\n", "states: 4\n",
                              "renamed: character \"Q\" -> \"Q~2\"\n", "skipped: 1 x reference to an unknown state\n"})
        EXPECT_NE(ok.sortie.find(ligne), std::string::npos) << ligne << ok.sortie;
    const Execution ko = execute(cite(TARVENKO_IMPORT_PROGRAM) + " " + cite(mauvais) + " " + cite(dir.dossier() + "autre") + " 2>&1");
    EXPECT_EQ(ko.code, 1);
    EXPECT_EQ(ko.sortie.rfind("tarvenko-import: " + mauvais + ": not well-formed XML", 0), 0u) << ko.sortie;
    EXPECT_FALSE(fs::exists(dir.dossier() + "autre"));
}

} // namespace
} // namespace tarvenko::test

namespace tarvenko::test {
namespace {

TEST(SddExportCommand, writesAnSddFileOfAnyKeyItOpens)
{
    TempDir dir;
    const std::string source = dir.dossier() + "k.sdd.xml", sortie = dir.dossier() + "sortie.sdd.xml";
    ecrit(source, kPetiteCle);
    const Execution e = execute(cite(TARVENKO_EXPORT_PROGRAM) + " " + cite(source) + " " + cite(sortie) + " 2>&1");
    EXPECT_EQ(e.code, 0) << e.sortie;
    EXPECT_EQ(e.sortie.rfind("taxa: 2\ncharacters: 2 categorical, 1 quantitative\nstates: 4\n", 0), 0u) << e.sortie;
    const LectureXPath x(sortie);
    ASSERT_TRUE(x.ok());
    EXPECT_EQ(x.compte("/u:Datasets/u:Dataset/u:Characters/u:CategoricalCharacter[@id='Q~2']"), 1u);
    const Execution absente = execute(cite(TARVENKO_EXPORT_PROGRAM) + " " + cite(dir.dossier() + "rien") + " " + cite(sortie) + " 2>&1");
    EXPECT_EQ(absente.code, 1) << absente.sortie;
}

} // namespace
} // namespace tarvenko::test

namespace tarvenko::test {
namespace {

TEST(SddImport, aRepeatedLabelNeverTakesTheNameOfAnotherTaxon)
{
    struct Cas {
        std::vector<const char *> labels, noms;
    };
    const Cas cas[] = {
        {{"A", "a", "A"}, {"A", "a (2)", "A (3)"}},
        {{"A", "A (2)", "A"}, {"A", "A (2)", "A (3)"}},
        {{"A", "A", "A (2)"}, {"A", "A (2)", "A (2) (2)"}},
        {{"", "B"}, {"d0", "B"}}, // no label: the id
    };
    for (const Cas &c : cas) {
        TempDir dir;
        std::string xml = "<Datasets xmlns=\"http://rs.tdwg.org/UBIF/2006/\"><Dataset><CodedDescriptions>";
        for (std::size_t i = 0; i < c.labels.size(); ++i)
            xml += "<CodedDescription id=\"d" + std::to_string(i) + "\"><Representation><Label>" + c.labels[i] +
                   "</Label></Representation></CodedDescription>";
        ecrit(dir.dossier() + "k.sdd.xml", xml + "</CodedDescriptions></Dataset></Datasets>");
        sdd::Bilan bilan;
        std::string erreur;
        ASSERT_TRUE(sdd::convertitVers(dir.dossier() + "k.sdd.xml", dir.dossier() + "cle", bilan, erreur)) << erreur;
        KeyModel m;
        ASSERT_EQ(chargeCle(m, dir.dossier() + "cle").etat, ResultatChargement::Etat::Ok);
        std::vector<std::string> attendus(c.noms.begin(), c.noms.end()), lus;
        for (const FloreRow &f : m.Base_Donnees.Flore.rows)
            lus.push_back(f.Espece);
        std::sort(attendus.begin(), attendus.end());
        std::sort(lus.begin(), lus.end());
        EXPECT_EQ(lus, attendus);
    }
}

} // namespace
} // namespace tarvenko::test

namespace tarvenko::test {
namespace {

TEST(SddImport, caseDuplicatesGetTheFirstFreeSuffix)
{
    struct Cas {
        std::vector<const char *> ids, attendus;
    };
    const Cas cas[] = {
        {{"q", "Q", "q"}, {"q", "Q~2", "q~3"}},
        {{"Q", "q", "q~2"}, {"Q", "q~2", "q~2~2"}},
        {{"a", "b", "A~2", "A"}, {"a", "b", "A~2", "A~3"}},
    };
    for (const Cas &c : cas) {
        sdd::Document d;
        for (const char *id : c.ids)
            d.caracteres.push_back({sdd::Genre::Categoriel, id, "", "", {}, {}, 1, "", ""});
        EXPECT_EQ(sdd::identifiants(d).caracteres, std::vector<std::string>(c.attendus.begin(), c.attendus.end()));
    }
}

} // namespace
} // namespace tarvenko::test

namespace tarvenko::test {
namespace {

TEST(SddKeyCommand, opensAnSddFileThroughTheCache)
{
    TempDir dir;
    ecrit(dir.dossier() + "k.sdd.xml", kPetiteCle);
    const std::string commande = "XDG_CACHE_HOME=" + cite(dir.dossier() + "cache") + " " + cite(TARVENKO_KEY_PROGRAM) +
                                 " --key " + cite(dir.dossier() + "k.sdd.xml") + " --answer x 2>&1";
    for (int fois = 0; fois < 2; ++fois) {
        const Execution e = execute(commande);
        EXPECT_EQ(e.code, 0) << e.sortie;
        EXPECT_EQ(e.sortie.rfind(" 100% - abies alba (2)\n 0% - Abies alba\n", 0), 0u) << e.sortie;
    }
    EXPECT_EQ(contenu(dir.dossier() + "cache/Tarvenko/Tarvenko/bases").size(), 1u);
}

} // namespace
} // namespace tarvenko::test
