#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QTranslator>
#include <mutex>

#include "SkinTable.h"

namespace tavrin::skin {

// Draws one picture of the skin table or one resource, in the look of the whole skin. Words that
// belong to a picture (a browse button's word, the brand's tag line) come from the language's
// translation, the one the program shows; texts the windows draw themselves are left off.
class SkinArtist {
public:
    // English without a translation. The translation also names the font for its words.
    explicit SkinArtist(const QTranslator* translation = nullptr);

    // At scale 2 the picture has twice the width and height and a device pixel ratio of 2: the
    // same drawing, laid out in the table's logical pixels, rendered with twice the detail.
    QImage draw(const SkinImage& image, int scale = 1) const;
    QImage draw(const ResourceImage& resource, int scale = 1) const;

private:
    QImage draw(Art art, Folder folder, int width, int height, bool active, int scale) const;
    // `english` is marked with QT_TRANSLATE_NOOP in the context of SkinArtist.
    QString text(const char* english) const;
    QFont uiFont(int pixels, bool bold = false) const;

    const QTranslator* translation_;
    // QTranslator is only reentrant, and the writer draws on two threads.
    mutable std::mutex translationLock_;
    QString uiFamily_;
    bool latinScript_;  // spaced capitals for the tag line; other scripts get a larger font
};

}  // namespace tavrin::skin
