#pragma once

// The skin's colours: a graphite dark theme with one accent, cyan. Pictures that the windows draw
// opaque over a background carry that background's exact colour at their edges, so these values
// are shared between the pictures (and the tests check pixels against them).

#include <QRgb>

#include "ui/controls/SkinAccent.h"

namespace tavrin::skin {

inline constexpr QRgb kAccent = kSkinAccent;       // cyan, the windows' focus ring too
inline constexpr QRgb kAccentBright = 0xff8ae9ff;  // highlights on accent surfaces
inline constexpr QRgb kAccentDeep = 0xff0b5566;    // accent-tinted fills
inline constexpr QRgb kAccentShade = 0xff0a3440;   // darkest accent tint
inline constexpr QRgb kAlert = 0xffff3b4f;         // red: close hover, key-press arrows

inline constexpr QRgb kWindow = 0xff131518;      // main window background
inline constexpr QRgb kTitleBar = 0xff0c0d0f;    // title bar behind the title buttons
inline constexpr QRgb kBottomBar = 0xff0e0f12;   // bottom bar behind Profile, Return, Cancel, Save
inline constexpr QRgb kCard = 0xff181a1e;        // keyboard card, behind the keyboard pictures
inline constexpr QRgb kSection = 0xff1c1f24;     // left-panel section bodies
inline constexpr QRgb kHeader = 0xff23272d;      // section headers
inline constexpr QRgb kControl = 0xff2b3037;     // boxes, buttons
inline constexpr QRgb kControlHot = 0xff343a42;  // boxes and buttons under the pointer
inline constexpr QRgb kLine = 0xff343941;        // borders
inline constexpr QRgb kLineSoft = 0xff262a30;    // separators
inline constexpr QRgb kTextDim = 0xff8b939e;     // baked secondary texts
inline constexpr QRgb kText = 0xffe6eaef;        // baked primary texts

// Keyboard pictures.
inline constexpr QRgb kCase = 0xff1d2024;       // keyboard case
inline constexpr QRgb kPlate = 0xff0d0e10;      // plate between the caps
inline constexpr QRgb kKeyEdge = 0xff3a3f47;    // outermost ring of every cap, in both pictures
inline constexpr QRgb kKeyCap = 0xff262a30;     // cap face
inline constexpr QRgb kKeyBevel = 0xff31363e;   // cap top bevel
inline constexpr QRgb kKeyLegend = 0xffc9d1db;  // cap caption
inline constexpr QRgb kKeyCapHot = 0xff0c4a5a;  // highlighted cap face
inline constexpr QRgb kKeyBevelHot = 0xff137085;

// Dialogs.
inline constexpr QRgb kKeyDialog = 0xff232323;  // key dialog: the tick-box redraw fills 0x232323
inline constexpr QRgb kDialogTitle = 0xff18191b;
inline constexpr QRgb kDialogPanel = 0xff1b1c1f;
inline constexpr QRgb kListPanel = 0xff15171a;  // inside the list panels (resource 145)
inline constexpr QRgb kListHeader = 0xff0f1012;
inline constexpr QRgb kTree = 0xff262626;  // behind the tree signs 133 and 134

}  // namespace tavrin::skin
