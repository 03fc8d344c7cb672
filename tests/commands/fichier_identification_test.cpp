#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "commands/fichier_identification.h"
#include "support/temp_dir.h"

using namespace tarvenko;

namespace {

std::vector<unsigned char> fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> contenu(const std::filesystem::path &dossier)
{
    std::vector<std::string> out;
    for (const auto &entry : std::filesystem::directory_iterator(dossier))
        out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

void writeBytes(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

} // namespace

TEST(IdentificationFile, threeStatesAndTwoGroupsMakeTenBytes)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("a.ryk"), {1, 0, 1}, {0, -1}, error)) << error;
    EXPECT_EQ(fileBytes(dir.fichier("a.ryk")),
              (std::vector<unsigned char>{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
    Identification back;
    ASSERT_EQ(Lit_Identification(dir.fichier("a.ryk"), 3, 2, back), LectureIdentification::Ok);
    EXPECT_EQ(back.Etat_Choisi, (std::vector<std::int16_t>{1, 0, 1}));
    EXPECT_EQ(back.Cadre_Fait, (std::vector<std::int16_t>{0, -1}));
}

TEST(IdentificationFile, filesOfAnotherKeyOrDamagedAreRefused)
{
    test::TempDir dir;
    Identification out{{7}, {7}};
    writeBytes(dir.fichier("short.ryk"), {1, 0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(Lit_Identification(dir.fichier("short.ryk"), 3, 2, out), LectureIdentification::TropCourt);
    writeBytes(dir.fichier("state.ryk"), {2, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF});
    EXPECT_EQ(Lit_Identification(dir.fichier("state.ryk"), 3, 2, out), LectureIdentification::Invalide);
    writeBytes(dir.fichier("group.ryk"), {1, 0, 0, 0, 1, 0, 1, 0, 0xFF, 0xFF});
    EXPECT_EQ(Lit_Identification(dir.fichier("group.ryk"), 3, 2, out), LectureIdentification::Invalide);
    EXPECT_EQ(Lit_Identification(dir.fichier("absent.ryk"), 3, 2, out), LectureIdentification::Inaccessible);
    EXPECT_EQ(out.Etat_Choisi, std::vector<std::int16_t>{7}); // nothing half-read
}

TEST(IdentificationFile, aLongerFileKeepsItsFirstValues)
{
    test::TempDir dir;
    writeBytes(dir.fichier("long.ryk"), {1, 0, 0, 0, 0xFF, 0xFF, 9, 9});
    Identification out;
    ASSERT_EQ(Lit_Identification(dir.fichier("long.ryk"), 2, 1, out), LectureIdentification::Ok);
    EXPECT_EQ(out.Etat_Choisi, (std::vector<std::int16_t>{1, 0}));
    EXPECT_EQ(out.Cadre_Fait, (std::vector<std::int16_t>{-1}));
}

TEST(IdentificationFile, numericAnswersFollowTheArraysAndOldFilesReadAsBefore)
{
    test::TempDir dir;
    std::string error;
    const std::vector<Reponse_Num> reponses{{"LONGUEUR", 12.5}, {"Hauteur_Tronc", -0.25}};
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("n.ryk"), {1, 0, 1}, {0, -1}, reponses, error)) << error;
    const std::vector<unsigned char> bytes = fileBytes(dir.fichier("n.ryk"));
    const std::vector<unsigned char> tableaux{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    ASSERT_GT(bytes.size(), tableaux.size());
    EXPECT_TRUE(std::equal(tableaux.begin(), tableaux.end(), bytes.begin())) << "the arrays come first, unchanged";
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 14), "RNUM");

    Identification back;
    ASSERT_EQ(Lit_Identification(dir.fichier("n.ryk"), 3, 2, back), LectureIdentification::Ok);
    EXPECT_EQ(back.Etat_Choisi, (std::vector<std::int16_t>{1, 0, 1}));
    EXPECT_EQ(back.Cadre_Fait, (std::vector<std::int16_t>{0, -1}));
    EXPECT_EQ(back.Reponses_Num, reponses);

    // Without numeric answers the file is the file of before, and reads with none.
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("o.ryk"), {1, 0, 1}, {0, -1}, {}, error)) << error;
    EXPECT_EQ(fileBytes(dir.fichier("o.ryk")), tableaux);
    back.Reponses_Num = reponses;
    ASSERT_EQ(Lit_Identification(dir.fichier("o.ryk"), 3, 2, back), LectureIdentification::Ok);
    EXPECT_TRUE(back.Reponses_Num.empty());
}

TEST(IdentificationFile, damagedNumericAnswersAreRefusedAndOtherTrailingBytesIgnored)
{
    test::TempDir dir;
    const std::vector<unsigned char> tableaux{0x01, 0x00, 0xFF, 0xFF};
    const std::vector<unsigned char> bloc = Octets_Reponses_Num({{"L", 3.0}});
    const auto avec = [&](std::vector<unsigned char> reste) {
        std::vector<unsigned char> b = tableaux;
        b.insert(b.end(), reste.begin(), reste.end());
        writeBytes(dir.fichier("x.ryk"), b);
        Identification out;
        return Lit_Identification(dir.fichier("x.ryk"), 1, 1, out);
    };
    std::vector<unsigned char> coupe(bloc.begin(), bloc.end() - 1);
    std::vector<unsigned char> infini = bloc;
    std::fill(infini.end() - 8, infini.end() - 2, 0x00);
    infini[infini.size() - 2] = 0xF0; // +infinity
    infini.back() = 0x7F;
    std::vector<unsigned char> cleVide{'R', 'N', 'U', 'M', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(avec(coupe), LectureIdentification::Invalide);
    EXPECT_EQ(avec(infini), LectureIdentification::Invalide);
    EXPECT_EQ(avec(cleVide), LectureIdentification::Invalide);
    EXPECT_EQ(avec({'R', 'N', 'U'}), LectureIdentification::Ok);
    EXPECT_EQ(avec({9, 9, 9, 9, 9, 9}), LectureIdentification::Ok);
    EXPECT_EQ(avec(bloc), LectureIdentification::Ok);
}

TEST(IdentificationFile, aGroupFollowsTheOtherAdditionsAndOlderReadersSkipIt)
{
    test::TempDir dir;
    std::string error;
    const std::vector<unsigned char> tableaux{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    const Groupe_Especes famille{Groupe_Especes::Rang::Famille, "FAGACEAE"};
    const Groupe_Especes genre{Groupe_Especes::Rang::Genre, "Quercus"};
    struct Cas {
        std::vector<Reponse_Num> reponses;
        std::optional<Groupe_Especes> groupe;
    };
    const std::vector<Cas> cas = {{{}, famille}, {{{"LONGUEUR", 12.5}}, genre}, {{{"LONGUEUR", 12.5}}, std::nullopt}};
    for (const Cas &c : cas) {
        ASSERT_TRUE(Ecrit_Identification(dir.fichier("g.ryk"), Identification{{1, 0, 1}, {0, -1}, c.reponses, c.groupe}, error))
            << error;
        const std::vector<unsigned char> bytes = fileBytes(dir.fichier("g.ryk"));
        EXPECT_TRUE(std::equal(tableaux.begin(), tableaux.end(), bytes.begin()));
        Identification back;
        ASSERT_EQ(Lit_Identification(dir.fichier("g.ryk"), 3, 2, back), LectureIdentification::Ok);
        EXPECT_EQ(back.Reponses_Num, c.reponses);
        EXPECT_EQ(back.Groupe, c.groupe);
        // A reader of the numeric answers alone finds them, and nothing where there are none.
        std::vector<Reponse_Num> seules;
        EXPECT_EQ(Lit_Reponses_Num(bytes.data() + 10, bytes.size() - 10, seules), LectureReponsesNum::Ok);
        EXPECT_EQ(seules, c.reponses);
    }
    // No group: the bytes of before.
    EXPECT_EQ(Octets_Identification({1, 0, 1}, {0, -1}, {}, std::nullopt), tableaux);
}

TEST(IdentificationFile, aDamagedGroupIsRefused)
{
    const auto lit = [](std::vector<unsigned char> bloc) {
        std::optional<Groupe_Especes> g;
        return std::pair(Lit_Groupe(bloc.data(), bloc.size(), g), g);
    };
    const std::vector<unsigned char> bon{'R', 'G', 'R', 'P', 1, 2, 0, 'Q', 'u'};
    EXPECT_EQ(lit(bon), std::pair(LectureGroupe::Ok, std::optional(Groupe_Especes{Groupe_Especes::Rang::Genre, "Qu"})));
    struct Cas {
        std::vector<unsigned char> octets;
        LectureGroupe attendu;
    };
    const std::vector<Cas> cas = {
        {{'R', 'G', 'R', 'P', 1, 3, 0, 'Q', 'u'}, LectureGroupe::Invalide}, // cut short
        {{'R', 'G', 'R', 'P', 2, 1, 0, 'Q'}, LectureGroupe::Invalide},      // no such rank
        {{'R', 'G', 'R', 'P', 0, 0, 0}, LectureGroupe::Invalide},           // no name
        {{'R', 'G', 'R', 'P', 0}, LectureGroupe::Invalide},
        {{'R', 'G', 'R'}, LectureGroupe::Ok},                               // not ours: ignored
        {{9, 9, 9, 9, 9}, LectureGroupe::Ok},
    };
    for (const Cas &c : cas)
        EXPECT_EQ(lit(c.octets).first, c.attendu) << c.octets.size();
}

TEST(IdentificationFile, aFailedSaveLeavesThePreviousFile)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("keep.ryk"), {1}, {-1}, error));
    // A folder in the way of the rename: the write fails and the old file is untouched.
    std::filesystem::create_directory(dir.fichier("folder.ryk"));
    EXPECT_FALSE(Ecrit_Identification(dir.fichier("folder.ryk"), {1}, {-1}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(Ecrit_Identification(dir.fichier("missing/x.ryk"), {1}, {-1}, error));
    EXPECT_EQ(fileBytes(dir.fichier("keep.ryk")), (std::vector<unsigned char>{1, 0, 0xFF, 0xFF}));
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 2);
}

// ---- Saving over a file that has its own place and rights ----

namespace {

struct CasLien {
    const char *nom;
    std::vector<std::pair<std::string, std::string>> liens; // link -> what it points to, in order made
    std::filesystem::perms mode;                            // the target's rights
};

} // namespace

TEST(IdentificationFile, savingWritesThroughSymbolicLinksAndKeepsTheTargetsRights)
{
    namespace fs = std::filesystem;
    using fs::perms;
    const CasLien cas[] = {
        {"plain file, private", {}, perms::owner_read | perms::owner_write},
        {"relative link, private target", {{"links/ident.ryk", "../real/ident.ryk"}}, perms::owner_read | perms::owner_write},
        {"absolute link, group may read", {{"links/ident.ryk", "@real/ident.ryk"}},
         perms::owner_read | perms::owner_write | perms::group_read},
        {"link to a link, others may read",
         {{"links/middle.ryk", "../real/ident.ryk"}, {"links/ident.ryk", "middle.ryk"}},
         perms::owner_read | perms::owner_write | perms::others_read},
    };
    for (const CasLien &c : cas) {
        SCOPED_TRACE(c.nom);
        test::TempDir dir;
        fs::create_directories(dir.path() / "real");
        fs::create_directories(dir.path() / "links");
        const std::string target = dir.fichier("real/ident.ryk");
        writeBytes(target, {1, 0, 0xFF, 0xFF});
        fs::permissions(target, c.mode);
        for (const auto &[lien, vers] : c.liens)
            fs::create_symlink(vers.front() == '@' ? dir.fichier(vers.substr(1)) : vers, dir.path() / lien);
        const std::string saved = c.liens.empty() ? target : dir.fichier("links/ident.ryk");
        const std::vector<std::string> liensAvant = contenu(dir.path() / "links");

        std::string error;
        ASSERT_TRUE(Ecrit_Identification(saved, {0}, {0}, error)) << error;
        EXPECT_EQ(fileBytes(target), (std::vector<unsigned char>{0, 0, 0, 0}));
        EXPECT_EQ(fs::status(target).permissions(), c.mode);
        for (const auto &[lien, vers] : c.liens) {
            ASSERT_TRUE(fs::is_symlink(dir.path() / lien)) << lien;
            EXPECT_EQ(fs::read_symlink(dir.path() / lien).string(),
                      vers.front() == '@' ? dir.fichier(vers.substr(1)) : vers);
        }
        EXPECT_EQ(contenu(dir.path() / "links"), liensAvant);
        EXPECT_EQ(contenu(dir.path() / "real"), std::vector<std::string>{"ident.ryk"});
    }
}

TEST(IdentificationFile, aLinkToAFileNotYetMadeMakesItAndACircleOfLinksIsRefused)
{
    namespace fs = std::filesystem;
    test::TempDir dir;
    fs::create_directories(dir.path() / "real");
    fs::create_symlink("real/ident.ryk", dir.path() / "ident.ryk");
    std::string error;
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("ident.ryk"), {1}, {-1}, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.path() / "ident.ryk"));
    EXPECT_EQ(fileBytes(dir.fichier("real/ident.ryk")), (std::vector<unsigned char>{1, 0, 0xFF, 0xFF}));

    // Links that lead round in a circle name no file: nothing is written, the links stay.
    fs::create_symlink("b.ryk", dir.path() / "a.ryk");
    fs::create_symlink("a.ryk", dir.path() / "b.ryk");
    EXPECT_FALSE(Ecrit_Identification(dir.fichier("a.ryk"), {1}, {-1}, error));
    EXPECT_EQ(error, std::strerror(ELOOP));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "a.ryk"));
    EXPECT_EQ(contenu(dir.path()), (std::vector<std::string>{"a.ryk", "b.ryk", "ident.ryk", "real"}));
}

// ---- Failures of the disk while saving ----

namespace {

// The system's calls, with one of them failing the way a full or failing disk does.
struct Panne {
    static inline int appels = 0;      // writes so far
    static inline int numero = ENOSPC; // the error given
    static inline int apres = 0;       // writes that succeed before the failure

    static ssize_t ecritPuisPlein(int fd, const void *data, std::size_t size)
    {
        if (appels++ >= apres) {
            errno = numero;
            return -1;
        }
        // Half of what was asked, as a nearly full disk gives.
        return ::write(fd, data, std::max<std::size_t>(1, size / 2));
    }
    static ssize_t ecritRien(int, const void *, std::size_t) { return 0; }
    static ssize_t ecritOctetParOctet(int fd, const void *data, std::size_t)
    {
        if (appels++ % 2 == 0) {
            errno = EINTR;
            return -1;
        }
        return ::write(fd, data, 1);
    }
    static int fsyncEchoue(int) { errno = numero; return -1; }
    static int closeEchoue(int fd) { ::close(fd); errno = numero; return -1; }
    static int renameEchoue(const char *, const char *) { errno = numero; return -1; }
};

AppelsFichier avec(ssize_t (*write)(int, const void *, std::size_t))
{
    AppelsFichier a = appelsSysteme();
    a.write = write;
    return a;
}

struct CasPanne {
    const char *nom;
    AppelsFichier appels;
    int numero;
};

} // namespace

TEST(IdentificationFileFailures, eachFailingStepLeavesThePreviousFileAndNoTemporary)
{
    AppelsFichier fsync = appelsSysteme(), close = appelsSysteme(), rename = appelsSysteme();
    fsync.fsync = Panne::fsyncEchoue;
    close.close = Panne::closeEchoue;
    rename.rename = Panne::renameEchoue;
    const CasPanne cas[] = {
        {"full disk at the first write", avec(Panne::ecritPuisPlein), ENOSPC},
        {"full disk after a short write", avec(Panne::ecritPuisPlein), ENOSPC},
        {"a write that makes no progress", avec(Panne::ecritRien), ENOSPC},
        {"quota reached when flushing", fsync, EDQUOT},
        {"device error when closing", close, EIO},
        {"rename refused", rename, EACCES},
    };
    for (const CasPanne &c : cas) {
        SCOPED_TRACE(c.nom);
        test::TempDir dir;
        std::string error;
        ASSERT_TRUE(Ecrit_Identification(dir.fichier("keep.ryk"), {1, 0}, {-1}, error)) << error;
        Panne::appels = 0;
        Panne::apres = std::string(c.nom).find("short") != std::string::npos ? 1 : 0;
        Panne::numero = c.numero;
        error.clear();
        EXPECT_FALSE(Ecrit_Identification(dir.fichier("keep.ryk"), {0, 1}, {0}, error, c.appels));
        EXPECT_EQ(error, std::strerror(c.numero));
        EXPECT_EQ(fileBytes(dir.fichier("keep.ryk")), (std::vector<unsigned char>{1, 0, 0, 0, 0xFF, 0xFF}));
        EXPECT_EQ(contenu(dir.path()), std::vector<std::string>{"keep.ryk"});
    }
}

TEST(IdentificationFileFailures, shortAndInterruptedWritesGoOnToTheEnd)
{
    test::TempDir dir;
    std::string error;
    Panne::appels = 0;
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("a.ryk"), {1, 0, 1}, {0, -1}, error, avec(Panne::ecritOctetParOctet)))
        << error;
    EXPECT_EQ(fileBytes(dir.fichier("a.ryk")),
              (std::vector<unsigned char>{0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(Panne::appels, 20); // ten bytes, each after an interruption
}

TEST(IdentificationFileFailures, anotherFileUnderTheTemporaryNameIsNeverTouched)
{
    // Whatever its name, an existing file is not opened for writing: only new files are.
    test::TempDir dir;
    std::string error;
    std::ofstream(dir.fichier("other")) << "x";
    AppelsFichier appels = appelsSysteme();
    static std::vector<int> drapeaux;
    drapeaux.clear();
    appels.open = [](const char *path, int flags, mode_t mode) {
        drapeaux.push_back(flags);
        return ::open(path, flags, mode);
    };
    ASSERT_TRUE(Ecrit_Identification(dir.fichier("a.ryk"), {1}, {0}, error, appels)) << error;
    ASSERT_EQ(drapeaux.size(), 1u);
    EXPECT_EQ(drapeaux[0] & (O_CREAT | O_EXCL), O_CREAT | O_EXCL);
    EXPECT_EQ(drapeaux[0] & O_TRUNC, 0);
}

// ---- Real file systems: a full one and a read-only one ----

namespace {

// A small tmpfs mounted for one test; mounting needs the right to (root, outside a restricted
// container), and tests that need one are skipped without it.
class PetitDisque {
public:
    explicit PetitDisque(const std::string &dossier, const char *options) : m_dossier(dossier)
    {
        std::filesystem::create_directories(dossier);
        m_monte = ::mount("tarvenko-test", dossier.c_str(), "tmpfs", 0, options) == 0;
    }
    PetitDisque(const PetitDisque &) = delete;
    PetitDisque &operator=(const PetitDisque &) = delete;
    ~PetitDisque()
    {
        if (m_monte)
            ::umount2(m_dossier.c_str(), MNT_DETACH);
    }
    bool monte() const { return m_monte; }
    bool lectureSeule()
    {
        return ::mount("tarvenko-test", m_dossier.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string m_dossier;
    bool m_monte = false;
};

} // namespace

TEST(IdentificationFileFailures, aFullDiskLeavesThePreviousFile)
{
    test::TempDir dir;
    PetitDisque disque(dir.fichier("disk"), "size=64k");
    if (!disque.monte())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    const std::string path = dir.fichier("disk/ident.ryk");
    std::string error;
    ASSERT_TRUE(Ecrit_Identification(path, {1, 0}, {-1}, error)) << error;
    {
        // Fills what is left of the disk.
        std::ofstream filler(dir.fichier("disk/filler"), std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    // A knowledge base of many states makes a file larger than what remains.
    const std::vector<std::int16_t> states(20000, 1);
    EXPECT_FALSE(Ecrit_Identification(path, states, {0}, error));
    EXPECT_EQ(error, std::strerror(ENOSPC));
    EXPECT_EQ(fileBytes(path), (std::vector<unsigned char>{1, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(contenu(dir.fichier("disk")), (std::vector<std::string>{"filler", "ident.ryk"}));
}

TEST(IdentificationFileFailures, aReadOnlyFolderLeavesThePreviousFile)
{
    test::TempDir dir;
    const std::string folder = dir.fichier("ro");
    const std::string path = folder + "/ident.ryk";
    std::string error;
    std::optional<PetitDisque> disque;
    if (::geteuid() == 0) {
        // Root writes into any folder whatever its mode: only a read-only file system stops it.
        disque.emplace(folder, "size=64k");
        if (!disque->monte())
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        ASSERT_TRUE(Ecrit_Identification(path, {1, 0}, {-1}, error)) << error;
        ASSERT_TRUE(disque->lectureSeule()) << std::strerror(errno);
    } else {
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(Ecrit_Identification(path, {1, 0}, {-1}, error)) << error;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    EXPECT_FALSE(Ecrit_Identification(path, {0, 1}, {0}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fileBytes(path), (std::vector<unsigned char>{1, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(contenu(folder), std::vector<std::string>{"ident.ryk"});
    if (!disque) {
        std::error_code ec;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ec);
    }
}
