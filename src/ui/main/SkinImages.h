#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <filesystem>

#include "model/ProgramDirectory.h"

namespace tavrin {

// Skin images of one folder, looked up without regard to case and decoded once. Images are kept
// opaque: the windows copy them without blending.
class SkinImages {
public:
    SkinImages(SkinLookup& lookup, std::filesystem::path folder)
        : lookup_(lookup), folder_(std::move(folder)) {}

    // A null image when the file is missing or cannot be decoded.
    const QImage& image(const QString& name);

    const std::filesystem::path& folder() const { return folder_; }

private:
    SkinLookup& lookup_;
    std::filesystem::path folder_;
    QHash<QString, QImage> cache_;
};

}  // namespace tavrin
