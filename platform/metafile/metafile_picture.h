#pragma once

#include <QString>

#include <memory>

#include "knowledge/picture.h"
#include "platform/metafile/metafile.h"

namespace tarvenko {

// A metafile as the key model holds pictures (the drawing layers and overlays of Robots).
class MetafilePicture final : public Picture {
public:
    explicit MetafilePicture(Metafile metafile) : m_metafile(std::move(metafile)) {}

    // Loads a file; nothing, with the reason naming the file in `error`, when it cannot be read
    // or is not a metafile.
    static std::shared_ptr<const MetafilePicture> load(const QString &path, QString *error = nullptr);

    const Metafile &metafile() const { return m_metafile; }

private:
    Metafile m_metafile;
};

} // namespace tarvenko
