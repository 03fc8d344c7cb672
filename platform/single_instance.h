#pragma once

#include <QString>

namespace tarvenko {

// Tells whether another instance of the program runs for this user. Every running instance,
// the first and any the user chose to start beside it, holds a shared lock on one file of the
// runtime folder until it ends; a start that cannot take that lock alone sees the others. The
// system drops the lock of an instance that ends or crashes, so nothing stale is left.
class SingleInstance final {
public:
    // `lockPath` empty: the user's runtime folder (or the temporary folder).
    explicit SingleInstance(const QString &lockPath = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // True when another instance runs. Either way this instance counts as running from then on.
    bool autreInstance();

    QString lockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace tarvenko
