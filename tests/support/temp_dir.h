#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace tarvenko::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() / ("tarvenko-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }

    const std::filesystem::path &path() const { return m_path; }
    // The folder as the knowledge base's settings write folders: with a final separator.
    std::string dossier() const { return m_path.string() + "/"; }
    std::string fichier(const std::string &name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace tarvenko::test
