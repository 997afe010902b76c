#pragma once

// The skinned tree: a QTreeWidget with the platform tree's items, expansion, selection and
// scrolling, painted anew: its own background, white texts 7 pixels right of the usual place, a
// band behind the highlighted item and bitmap plus and minus signs.

#include <QColor>
#include <QImage>
#include <QTreeWidget>

namespace tavrin {

inline constexpr int kBitmapTreeBackground = 131;
inline constexpr int kBitmapTreeExpand = 133;    // 9 x 9 plus sign
inline constexpr int kBitmapTreeCollapse = 134;  // 9 x 9 minus sign

class VividTree : public QTreeWidget {
    Q_OBJECT

public:
    enum BackgroundMode { BitmapBackground = 0, GradientBackground = 1, DarkBackground = 2 };

    static constexpr int kTextShift = 7;
    static inline const QColor kDarkFill{30, 30, 30};
    static inline const QColor kHighlightBand{102, 46, 47};

    explicit VividTree(QWidget* parent = nullptr);

    // Resource 131 as the background bitmap, 133 and 134 as the signs, replacing earlier ones.
    void SetTreeBitmaps();

    void setBackgroundMode(BackgroundMode mode);
    void setGradient(QColor start, QColor end, bool horizontal);
    void setSignBitmaps(QImage expand, QImage collapse);
    // The highlight band shows only while the tree has the focus, unless this is set.
    void setShowSelectionAlways(bool always);

    // The tree as painted, as the screen gets it.
    QImage composed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Extent {
        int x, width, y, height;
    };
    Extent virtualExtent() const;
    void drawBackground(QPainter& painter, const Extent& extent) const;
    void drawItems(QPainter& painter, const Extent& extent) const;
    void itemExpanding(QTreeWidgetItem* item);

    QImage expandSign_;
    QImage collapseSign_;
    QImage background_;
    QColor gradientStart_{255, 255, 255};
    QColor gradientEnd_{213, 213, 224};
    bool horizontalGradient_ = true;
    BackgroundMode mode_ = GradientBackground;
    bool showSelectionAlways_ = false;
};

}  // namespace tavrin
