#pragma once

// The clickable regions of a skinned window as its keyboard focus and assistive technologies see
// them. A skinned window draws its controls into one picture and resolves clicks from its table
// of rectangles; through SkinSurface the same table names each region, says what it is and what
// state it is in, and presses it. A region's id stays the same for the window's whole life.

#include <QAccessible>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;
class QWidget;

namespace tavrin {

// What a region is at the moment it is asked.
struct SkinRegionInfo {
    QRect rect;  // the window's logical coordinates
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString description;
    QString value;      // what a combo box shows
    bool shown = true;  // drawn now; a region not shown is neither reached nor pressed
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    bool expandable = false;
    bool expanded = false;
    bool focusable = true;
};

// A stop of the Tab order: a region of the window, or one of its child widgets.
struct SkinStop {
    int region = -1;
    QWidget* widget = nullptr;
};

class SkinSurface {
public:
    static constexpr int kTopLevel = -1;

    virtual ~SkinSurface() = default;

    virtual QWidget* surfaceWidget() = 0;
    // The regions under `parent` (kTopLevel: the window itself); the same list every time.
    virtual std::vector<int> regionChildren(int parent) const = 0;
    virtual int regionParent(int id) const = 0;
    virtual SkinRegionInfo regionInfo(int id) const = 0;
    // What a click on the region does (a press, a toggle).
    virtual void activateRegion(int id) = 0;
    // The Tab order as the window is now, in reading order.
    virtual std::vector<SkinStop> focusStops() const = 0;
    // The region that has the keyboard focus while the window itself has it, or -1.
    virtual int focusedRegion() const = 0;
};

// The stop after (or before) the one that has the focus now, wrapping around; regions not shown
// or not focusable and hidden or disabled widgets are passed over. A region counts as the stop
// of its parent when only the parent is a stop (a key of the keyboard picture). -1 region and no
// widget when there is no stop at all.
SkinStop NextStop(SkinSurface& surface, bool forward);

// Gives the focus to a stop: to its widget, or to the window with `focusedRegion` set to the
// stop's region. Nothing for an empty stop.
void FocusStop(SkinSurface& surface, const SkinStop& stop, int& focusedRegion);

// Draws the focus ring around a logical rectangle of a composed surface, in the accent colour,
// aligned to the surface's device pixels at any ratio.
void PaintFocusRing(QPainter& painter, const QRect& logical);

// Assistive technologies learn of what changed since the last call (states, values, names, the
// focused region); nothing happens while none listens. Windows call it after every repaint.
void AnnounceChanges(SkinSurface& surface);

// The accessible object of a region, created on first use.
QAccessibleInterface* RegionAccessible(SkinSurface& surface, int id);

// Makes the skinned windows and their sliders known to Qt's accessibility; once per process, and
// before a window is first asked for.
void InstallSkinAccessibility();

}  // namespace tavrin
