#pragma once

// The main window's geometry: the collapsible sections of the left panel, the clickable regions in
// the order they are tested, and the two drop-down lists. Plain values, no drawing.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/LightingRules.h"

namespace tavrin {

// Region numbers index hoverFlags; they are the window's own numbering, not positions in a table.
enum class Region : std::uint8_t {
    Help = 0,
    Minimise = 1,
    Close = 2,
    EffectBox = 3,
    DirectionT = 4,
    DirectionB = 5,
    DirectionR = 6,
    DirectionL = 7,
    MacroManagement = 9,
    GameModeOn = 10,
    GameModeOff = 11,
    ResponseBox = 12,
    Profile = 14,
    Return = 15,
    Cancel = 16,
    Save = 17,
    LightHeader = 18,
    GameModeHeader = 19,
    ResponseHeader = 20,
    ReportHeader = 21,
    Logo = 30,
    WinLockOn = 31,
    WinLockOff = 32,
    KeymapRadio = 33,
    DiyRadio = 34,
};

inline constexpr std::uint8_t kNoRow = 255;
inline constexpr std::uint8_t kNoRegion = 255;

struct PanelState {
    bool lightCollapsed = true;
    bool gameCollapsed = true;
    bool responseCollapsed = true;
    bool reportCollapsed = true;
};

struct SectionLayout {
    int yLight = 110;
    int yMacro = 140;
    int yGame = 195;
    int yResponse = 250;
    int yReport = 290;

    // Top-left corner of the response-time list.
    int responseListX() const { return 27; }
    int responseListY() const { return yResponse - 173; }
};

SectionLayout LayoutSections(const PanelState& panel);

struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    bool contains(int x, int y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

// The rectangle of a region for the current layout (whether it is tested is HitRegion's business).
Rect RegionRect(Region region, const SectionLayout& layout);

// When a region is tested, and so can be clicked.
enum class RegionWhen : std::uint8_t { Always, LightOpenDiy, LightOpen, GameOpen, ResponseOpen };

// What a region is to the keyboard focus and to assistive technologies.
enum class RegionRole : std::uint8_t {
    None,      // not a control: reached by the pointer only (the logo area)
    Button,    // a press
    Expander,  // a section header: opens and closes its section
    ComboBox,  // opens its drop-down list
    Radio,     // one choice of a group
};

// One row of the main window's region table, in hit-test order. `name` (and `group`, the
// control group it belongs to, or null) are English texts translated in the context of
// tavrin::COstraDlg; `readingRank` orders the Tab stops (smaller first).
struct RegionRow {
    Region region;
    RegionWhen when;
    RegionRole role;
    const char* name;
    const char* group;
    int readingRank;
};

// The region table: hit test, names, roles and the reading order.
std::span<const RegionRow> RegionTable();

// Whether the row's region is tested in this state.
bool RegionTested(const RegionRow& row, const PanelState& panel, std::uint8_t effectCode);

// The first region, in test order, whose rectangle holds (x, y) and whose condition holds.
std::optional<Region> HitRegion(const PanelState& panel, std::uint8_t effectCode, int x, int y);

// Effect list: 18 rows of 20 pixels from (28,173); the response list: 10 rows from its corner.
inline constexpr int kEffectListLeft = 28;
inline constexpr int kEffectListRight = 248;
inline constexpr int kEffectListTop = 173;
inline constexpr int kEffectListBottom = 532;
inline constexpr int kListRowHeight = 20;
inline constexpr int kResponseRows = 10;

std::optional<std::uint8_t> EffectListRowAt(int x, int y);
std::optional<std::uint8_t> ResponseListRowAt(const SectionLayout& layout, int x, int y);

}  // namespace tavrin
