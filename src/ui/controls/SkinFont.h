#pragma once

// Fonts as the skinned windows ask for them: by the height of a line of text (the font's ascent
// plus descent, as a Windows font height counts it), not by the size of its letters.

#include <QFont>
#include <QString>

namespace tavrin {

// The largest pixel size of `family` whose line height does not exceed `lineHeight`.
QFont SkinFont(const QString& family, int lineHeight, QFont::Weight weight);

}  // namespace tavrin
