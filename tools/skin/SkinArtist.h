#pragma once

#include <QImage>
#include <QString>

#include "SkinTable.h"

namespace tavrin::skin {

enum class Language { English, Chinese };

// Draws one picture of the skin table or one resource, in the look of the whole skin. Words that
// belong to a picture (a browse button's word, the brand's tag line) follow the language; texts
// the windows draw themselves are left off.
class SkinArtist {
public:
    explicit SkinArtist(Language language);

    QImage draw(const SkinImage& image) const;
    QImage draw(const ResourceImage& resource) const;

private:
    QImage draw(Art art, Folder folder, int width, int height, bool active) const;
    QString text(const char* english, const char* chinese) const;

    Language language_;
};

}  // namespace tavrin::skin
