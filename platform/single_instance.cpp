#include "platform/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace tarvenko {

SingleInstance::SingleInstance(const QString &lockPath) : m_path(lockPath)
{
    if (m_path.isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (folder.isEmpty())
            folder = QDir::tempPath();
        m_path = QDir(folder).filePath(QStringLiteral("tarvenko.lock"));
    }
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::autreInstance()
{
    if (m_lock && m_lock->isLocked())
        return false;
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return false;
    // A lock whose owner no longer runs is removed and taken.
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return false;
    return m_lock->error() == QLockFile::LockFailedError;
}

} // namespace tarvenko
