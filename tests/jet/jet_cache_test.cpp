// Opening an Access knowledge base directly: converted once into the cache, reused, converted
// again when the file changes; nothing half-written is ever left under a cache name.
#include <gtest/gtest.h>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "jet_support.h"
#include "knowledge/jet/jet_cache.h"
#include "support/temp_dir.h"
#include "tools/kbbuilder/kb_builder.h"

using namespace tarvenko;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> fichiers(const std::string &dossier)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto &f : fs::directory_iterator(dossier, ec))
        out.push_back(f.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(JetCache, anSqliteBaseIsOpenedAsItIs)
{
    test::TempDir dir;
    tools::KbBuilder kb(dir.dossier() + "kb/");
    kb.espece("Taxus baccata", "TAXACEAE", "TAXBA").objet({.objet = "FEUILLE", .etats = {"AIG"}});
    const std::string base = kb.ecrit();
    std::string aOuvrir;
    ErreurBase erreur;
    ASSERT_TRUE(jet::Prepare_Base(base, dir.fichier("cache"), aOuvrir, erreur));
    EXPECT_EQ(aOuvrir, base);
    EXPECT_FALSE(fs::exists(dir.fichier("cache")));
    // A missing file too: opening it reports the error.
    ASSERT_TRUE(jet::Prepare_Base(dir.fichier("absent.db"), dir.fichier("cache"), aOuvrir, erreur));
    EXPECT_EQ(aOuvrir, dir.fichier("absent.db"));
}

// With or without a Jet reader in the build, an unreadable Access file is a base that cannot be
// opened, not a crash or an empty key.
TEST(JetCache, anAccessFileThatCannotBeReadIsReportedAsNotOpenable)
{
    test::TempDir dir;
    const std::string entete("\x00\x01\x00\x00Standard Jet DB\x00\x00\x00\x00\x00", 24);
    std::ofstream(dir.fichier("Arbres.mdb"), std::ios::binary) << entete << std::string(100, 'x');
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Chemin_Base = dir.fichier("Arbres.mdb");
    const ResultatChargement r = Charge_Connaissances(m, {}, jet::preparateur(dir.fichier("cache")));
    EXPECT_EQ(r.etat, ResultatChargement::Etat::BaseInaccessible);
    EXPECT_NE(r.erreur.numero, 0);
    EXPECT_FALSE(r.erreur.message.empty());
    EXPECT_EQ(fichiers(dir.fichier("cache")), std::vector<std::string>{});
}

class JetCacheFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        EXIGE_ECHANTILLONS();
        fs::copy_file(test::echantillon("dates-jet4.mdb"), jetFile);
    }

    std::string prepare(bool attendu = true)
    {
        std::string aOuvrir;
        ErreurBase erreur;
        EXPECT_EQ(jet::Prepare_Base(jetFile, cache, aOuvrir, erreur), attendu) << erreur.message;
        message = erreur.message;
        return aOuvrir;
    }

    test::TempDir dir;
    const std::string jetFile = dir.fichier("Clé des arbres.mdb");
    const std::string cache = dir.fichier("cache/bases");
    std::string message;
};

TEST_F(JetCacheFile, isConvertedOnceAndReused)
{
    const std::string premier = prepare();
    EXPECT_EQ(fs::path(premier).parent_path(), fs::path(cache));
    EXPECT_EQ(fichiers(cache), std::vector<std::string>{fs::path(premier).filename().string()});
    EXPECT_EQ(fs::path(premier).filename().string().rfind("Cl___des_arbres-", 0), 0u) << premier;
    Tables tables;
    ErreurBase erreur;
    EXPECT_TRUE(Charge_Tables(premier, tables, erreur)) << erreur.message;

    // A second start opens the same file without converting again.
    {
        sqlite::Database db;
        sqlite::Error e;
        ASSERT_TRUE(db.openReadWrite(premier, e));
        ASSERT_TRUE(db.exec("CREATE TABLE Marque (x)", e));
    }
    EXPECT_EQ(prepare(), premier);
    sqlite::Database db;
    sqlite::Error e;
    ASSERT_TRUE(db.openReadOnly(premier, e));
    EXPECT_TRUE(db.tableExists("Marque"));
}

TEST_F(JetCacheFile, aChangedFileIsConvertedAgainAndItsOldCacheRemoved)
{
    const std::string premier = prepare();
    fs::last_write_time(jetFile, fs::last_write_time(jetFile) - std::chrono::hours(1));
    const std::string second = prepare();
    EXPECT_NE(second, premier);
    EXPECT_EQ(fichiers(cache), std::vector<std::string>{fs::path(second).filename().string()});
    // Another Access file keeps its own cache beside.
    fs::copy_file(jetFile, dir.fichier("autre.mdb"));
    std::string aOuvrir;
    ErreurBase erreur;
    ASSERT_TRUE(jet::Prepare_Base(dir.fichier("autre.mdb"), cache, aOuvrir, erreur));
    EXPECT_EQ(fichiers(cache).size(), 2u);
}

TEST_F(JetCacheFile, aFileThatCannotBeConvertedLeavesNothingInTheCache)
{
    // The Jet header of a real file, and nothing after it.
    std::string debut(4096, '\0');
    std::ifstream(jetFile, std::ios::binary).read(debut.data(), static_cast<std::streamsize>(debut.size()));
    std::ofstream(jetFile, std::ios::binary | std::ios::trunc).write(debut.data(), static_cast<std::streamsize>(debut.size()));
    EXPECT_EQ(prepare(false), "");
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(fichiers(cache), std::vector<std::string>{});
}

TEST_F(JetCacheFile, theLoaderReadsTheConversionThroughItsHook)
{
    KeyModel m;
    m.Chemin_Data = dir.dossier();
    m.Chemin_Base = jetFile;
    // Without the hook SQLite refuses the Access file.
    EXPECT_EQ(Charge_Connaissances(m).etat, ResultatChargement::Etat::BaseInaccessible);
    // With it the tables load; this sample is no key, so POIDS.DAT is what is missing next.
    const ResultatChargement r = Charge_Connaissances(m, {}, jet::preparateur(cache));
    EXPECT_EQ(r.etat, ResultatChargement::Etat::PoidsInaccessible) << r.erreur.message;
    EXPECT_TRUE(m.Base_Donnees.Parametres.rows.empty());
}

} // namespace

// ---- Two running programs on one knowledge base ----

namespace {

// Runs `travail` in `n` processes started together; the exit code of each, 0 for success.
std::vector<int> enParallele(int n, const std::function<bool()> &travail)
{
    std::vector<pid_t> enfants;
    for (int i = 0; i < n; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0)
            ::_exit(travail() ? 0 : 1);
        enfants.push_back(pid);
    }
    std::vector<int> codes;
    for (pid_t pid : enfants) {
        int statut = 0;
        ::waitpid(pid, &statut, 0);
        codes.push_back(WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut));
    }
    return codes;
}

std::string octets(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_F(JetCacheFile, programsStartedTogetherShareOneSoundConversion)
{
    for (int tour = 0; tour < 3; ++tour) {
        SCOPED_TRACE("round " + std::to_string(tour));
        std::error_code ec;
        fs::remove_all(cache, ec);
        const std::vector<int> codes = enParallele(4, [&] {
            std::string aOuvrir;
            ErreurBase erreur;
            Tables tables;
            return jet::Prepare_Base(jetFile, cache, aOuvrir, erreur) && Charge_Tables(aOuvrir, tables, erreur);
        });
        EXPECT_EQ(codes, std::vector<int>(4, 0));
        // One cache file, whole, and no conversion left half-way.
        const std::vector<std::string> restants = fichiers(cache);
        ASSERT_EQ(restants.size(), 1u) << ::testing::PrintToString(restants);
        EXPECT_EQ(fs::path(restants[0]).extension(), ".sqlite");
        sqlite::Database db;
        sqlite::Error e;
        ASSERT_TRUE(db.openReadOnly(cache + "/" + restants[0], e)) << e.message;
        EXPECT_EQ(test::valeur(db, "PRAGMA integrity_check"), "ok");
    }
}

TEST(KnowledgeBaseShared, programsLoadingOneBaseTogetherAllLoadItAndNeverWriteIt)
{
    test::TempDir dir;
    tools::KbBuilder kb(dir.dossier());
    kb.espece("Quercus robur", "FAGACEAE", "QUERO").espece("Pinus sylvestris", "PINACEAE", "PINSY");
    kb.objet({.objet = "FEUILLE", .etats = {"LARGE", "AIGUILLE"}});
    kb.a("Quercus robur", "LARGE").a("Pinus sylvestris", "AIGUILLE");
    const std::string base = kb.ecrit();
    const std::string avant = octets(base);
    const auto date = fs::last_write_time(base);
    const std::vector<std::string> dossier = fichiers(dir.dossier());

    // A first program holds the base open for reading while the others load it.
    sqlite::Database premier;
    sqlite::Error e;
    ASSERT_TRUE(premier.openReadOnly(base, e)) << e.message;
    ASSERT_TRUE(premier.exec("BEGIN; SELECT count(*) FROM Flore;", e)) << e.message;
    const std::vector<int> codes = enParallele(4, [&] {
        for (int i = 0; i < 5; ++i) {
            KeyModel m;
            m.Chemin_Data = dir.dossier();
            m.Chemin_Base = base;
            const ResultatChargement r = Charge_Connaissances(m);
            if (r.etat != ResultatChargement::Etat::Ok || m.Nb_Esp != 2)
                return false;
        }
        return true;
    });
    EXPECT_EQ(codes, std::vector<int>(4, 0));
    ASSERT_TRUE(premier.exec("COMMIT;", e)) << e.message;
    EXPECT_EQ(octets(base), avant);
    EXPECT_EQ(fs::last_write_time(base), date);
    // No journal or lock file left beside it.
    EXPECT_EQ(fichiers(dir.dossier()), dossier);
}
