#pragma once

// A text a skinned window draws at run time, into the box it may fill. A text wider than its box
// is cut with "…"; the window then names the region that holds it with the whole text.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

namespace tavrin {

struct DrawnText {
    QString text;   // the whole text
    QString shown;  // what was drawn: the text, or its start and "…"
    QRect box;      // logical coordinates; the text's top-left is the box's
    QFont font;
};

// Draws `text` with its top-left at the box's, left-aligned and top-aligned, transparent; the box's
// width is the room it has (its height is not checked).
DrawnText DrawSkinText(QPainter& painter, const QString& text, const QRect& box, const QFont& font,
                       const QColor& colour);

// The texts of one composition, in the order they were drawn.
class DrawnTexts {
public:
    void clear() { texts_.clear(); }
    void add(DrawnText text) { texts_.push_back(std::move(text)); }
    const std::vector<DrawnText>& all() const { return texts_; }

private:
    std::vector<DrawnText> texts_;
};

}  // namespace tavrin
