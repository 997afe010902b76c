#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <filesystem>

#include "model/ProgramDirectory.h"

namespace tavrin {

// Skin images of one folder, looked up without regard to case and decoded once for the device
// pixel ratio the window composes at. Images are kept opaque: the windows copy them without
// blending.
class SkinImages {
public:
    SkinImages(SkinLookup& lookup, std::filesystem::path folder)
        : lookup_(lookup), folder_(std::move(folder)) {}

    // A null image when the file is missing or cannot be decoded. The image carries the ratio, so
    // QPainter draws it at its logical size.
    const QImage& image(const QString& name);
    // The same, decoded afresh and not kept: for pictures the window keeps in a form of its own.
    QImage decode(const QString& name) const;
    // The logical size of a picture, read from its file's header without decoding it; 0 x 0 when
    // there is no such picture.
    QSize logicalSize(const QString& name) const;

    // Another ratio decodes every image again, at their next use.
    void setRatio(qreal ratio);
    qreal ratio() const { return ratio_; }

    const std::filesystem::path& folder() const { return folder_; }

private:
    SkinLookup& lookup_;
    std::filesystem::path folder_;
    QHash<QString, QImage> cache_;
    qreal ratio_ = 1.0;
};

}  // namespace tavrin
