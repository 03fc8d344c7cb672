// tarvenko-import, and tarvenko-key opening an Access knowledge base through the cache.
#include <gtest/gtest.h>

#include <fstream>

#include "jet_support.h"
#include "support/temp_dir.h"

using namespace tarvenko;
namespace fs = std::filesystem;

namespace {

test::Execution importe(const std::vector<std::string> &args)
{
    std::string commande = test::cite(TARVENKO_IMPORT_PROGRAM);
    for (const std::string &a : args)
        commande += " " + test::cite(a);
    return test::lance(commande);
}

TEST(ImportProgram, convertsAndSummarises)
{
    EXIGE_ECHANTILLONS();
    test::TempDir dir;
    const std::string sortie = dir.fichier("nwind.db");
    const test::Execution e = importe({test::echantillon("nwind-jet3.mdb"), sortie});
    EXPECT_EQ(e.code, 0) << e.sortie;
    for (const char *attendu : {"tables: 9, rows: 4032, primary keys: 9, indexes: 24, views: 18, not converted: 4",
                                "table \"Umsätze\": 14 fields, 830 rows, primary key (OrderID)", "view \"Invoices\"",
                                "table \"Ordre_Access\": the order Access gives 15 text indexes",
                                "Not converted:\n", "query \"Quarterly Orders by Product\": a crosstab query",
                                "index \"Employees.PostalCode\" is named \"Employees_PostalCode\""})
        EXPECT_NE(e.sortie.find(attendu), std::string::npos) << attendu << "\n" << e.sortie;
    EXPECT_TRUE(fs::exists(sortie));

    // An existing file is replaced only when asked to.
    const test::Execution encore = importe({test::echantillon("dates-jet4.mdb"), sortie});
    EXPECT_EQ(encore.code, 1);
    EXPECT_NE(encore.sortie.find("already exists"), std::string::npos) << encore.sortie;
    EXPECT_EQ(importe({"--force", test::echantillon("dates-jet4.mdb"), sortie}).code, 0);
    sqlite::Database db;
    sqlite::Error err;
    ASSERT_TRUE(db.openReadOnly(sortie, err));
    EXPECT_TRUE(db.tableExists("DateTest"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << "no partial file left";
}

TEST(ImportProgram, refusesWhatIsNotAJetFile)
{
    test::TempDir dir;
    std::ofstream(dir.fichier("notes.mdb")) << "not a database";
    const test::Execution e = importe({dir.fichier("notes.mdb"), dir.fichier("sortie.db")});
    EXPECT_EQ(e.code, 1);
    EXPECT_NE(e.sortie.find("notes.mdb is not an Access (Jet) database"), std::string::npos) << e.sortie;
    EXPECT_FALSE(fs::exists(dir.fichier("sortie.db")));
    EXPECT_EQ(importe({dir.fichier("notes.mdb")}).code, 2);
    EXPECT_EQ(importe({"--quick", "a", "b"}).code, 2);
}

TEST(KeyProgram, opensAnAccessKnowledgeBaseThroughTheCache)
{
    EXIGE_ECHANTILLONS();
    test::TempDir dir;
    fs::create_directories(dir.fichier("data"));
    fs::copy_file(test::echantillon("dates-jet4.mdb"), dir.fichier("data/Base.mdb"));
    const std::string environnement = "XDG_CONFIG_DIRS=" + test::cite(dir.fichier("machine")) +
                                      " XDG_CONFIG_HOME=" + test::cite(dir.fichier("utilisateur")) +
                                      " XDG_CACHE_HOME=" + test::cite(dir.fichier("cache")) + " ";
    const test::Execution e = test::lance(environnement + test::cite(TARVENKO_KEY_PROGRAM) + " --data " +
                                          test::cite(dir.fichier("data")) + " --base Base.mdb");
    // The sample is no key: its tables load from the conversion, then POIDS.DAT is missing.
    EXPECT_EQ(e.code, 1);
    EXPECT_NE(e.sortie.find("POIDS.DAT"), std::string::npos) << e.sortie;
    const std::string cache = dir.fichier("cache/Tarvenko/Tarvenko/bases");
    ASSERT_TRUE(fs::exists(cache)) << e.sortie;
    EXPECT_EQ(std::distance(fs::directory_iterator(cache), fs::directory_iterator()), 1);
}

} // namespace
