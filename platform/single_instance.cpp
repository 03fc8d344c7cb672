#include "platform/single_instance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tarvenko {

namespace {

// Open-file-description locks: held per open file, not per process, so that two instances in
// one process (tests) see each other, and changed from shared to exclusive and back atomically.
bool verrouille(int fd, short type, int commande)
{
    struct flock verrou {};
    verrou.l_type = type;
    verrou.l_whence = SEEK_SET;
    int r;
    do
        r = ::fcntl(fd, commande, &verrou);
    while (r != 0 && errno == EINTR);
    return r == 0;
}

} // namespace

SingleInstance::SingleInstance(const QString &lockPath) : m_path(lockPath)
{
    if (m_path.isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder.isEmpty())
            folder = QDir::tempPath();
        m_path = QDir(folder).filePath(QStringLiteral("tarvenko.lock"));
    }
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::autreInstance()
{
    if (m_fd < 0) {
        m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        // No lock file to be had (a folder we cannot write): nothing tells of another instance.
        if (m_fd < 0)
            return false;
    }
    // Alone when no other instance holds any lock; then back to a shared one, which the next
    // start sees, whichever instance ends first.
    const bool seul = verrouille(m_fd, F_WRLCK, F_OFD_SETLK);
    // Another start holds the exclusive lock only for the instant of its own test.
    verrouille(m_fd, F_RDLCK, F_OFD_SETLKW);
    return !seul;
}

} // namespace tarvenko
