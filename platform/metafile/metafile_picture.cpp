#include "platform/metafile/metafile_picture.h"

namespace tarvenko {

std::shared_ptr<const MetafilePicture> MetafilePicture::load(const QString &path, QString *error)
{
    std::optional<Metafile> metafile = Metafile::load(path, error);
    if (!metafile)
        return nullptr;
    return std::make_shared<const MetafilePicture>(std::move(*metafile));
}

} // namespace tarvenko
