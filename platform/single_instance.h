#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace tarvenko {

// Tells whether another instance of the program runs for this user: the first instance holds a
// lock file in the runtime folder until it ends (a crashed instance leaves a stale lock that the
// next start recognises and takes over).
class SingleInstance final {
public:
    // `lockPath` empty: the user's runtime folder (or the temporary folder).
    explicit SingleInstance(const QString &lockPath = {});
    ~SingleInstance();

    // True when another running instance holds the lock. Otherwise this instance takes it.
    bool autreInstance();

    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tarvenko
