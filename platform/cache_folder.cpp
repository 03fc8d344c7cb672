#include "platform/cache_folder.h"

#include <QDir>
#include <QStandardPaths>

#include "platform/qt_text.h"

namespace tarvenko {

std::string dossierCacheBases()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return cache.isEmpty() ? std::string() : us(QDir(cache).filePath(QStringLiteral("bases")));
}

} // namespace tarvenko
