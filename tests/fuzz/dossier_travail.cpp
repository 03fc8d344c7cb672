#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "fuzz_targets.h"

namespace tarvenko::fuzz {

const std::string &Dossier_Travail()
{
    static const std::string dossier = [] {
        namespace fs = std::filesystem;
        // Memory-backed when the system has it: the harnesses write files for every input.
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string modele = (base / "tarvenko-fuzz-XXXXXX").string();
        if (!mkdtemp(modele.data()))
            throw std::runtime_error("cannot make a working folder");
        static const std::string pourEffacer = modele;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(pourEffacer, ignored);
        });
        return modele + "/";
    }();
    return dossier;
}

} // namespace tarvenko::fuzz
