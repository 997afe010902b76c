#include "ui/controls/SkinButtonTable.h"

namespace tavrin {

namespace {

struct SkinButtonRow {
    SkinRect rectangle;
    const char16_t* normal;
    const char16_t* highlighted;
    const char16_t* pressed;
};

constexpr SkinButtonRow kSkinButtons[kSkinButtonCount] = {
    {{936, 5, 952, 20},
     u"button-help-normal.png",
     u"button-help-over.png",
     u"button-help-normal.png"},
    {{957, 5, 973, 20}, u"button-min-normal.png", u"button-min-over.png", u"button-min-normal.png"},
    {{978, 5, 994, 20},
     u"button-close-normal.png",
     u"button-close-over.png",
     u"button-close-normal.png"},
    {{28, 158, 248, 173}, u"Light_Item.png", u"Light_Item.png", u"Light_Item.png"},
    {{29, 197, 64, 212},
     u"Direction-T-Disable.png",
     u"Direction-T-Enable.png",
     u"Direction-T-Disable.png"},
    {{79, 197, 114, 212},
     u"Direction-B-Disable.png",
     u"Direction-B-Enable.png",
     u"Direction-B-Disable.png"},
    {{129, 197, 164, 212},
     u"Direction-L-Disable.png",
     u"Direction-L-Enable.png",
     u"Direction-L-Disable.png"},
    {{179, 197, 214, 212},
     u"Direction-R-Disable.png",
     u"Direction-R-Enable.png",
     u"Direction-R-Disable.png"},
    {{28, 258, 245, 280}, u"1.png", u"1.png", u"1.png"},
    {{28, 326, 250, 344}, u"macroButton3.png", u"macroButton3.png", u"macroButton3.png"},
    {{34, 397, 44, 406}, u"Disable.png", u"Enable.png", u"Disable.png"},
    {{88, 397, 98, 406}, u"Disable.png", u"Enable.png", u"Disable.png"},
    {{28, 455, 247, 470}, u"Light_Item.png", u"Light_Item.png", u"Light_Item.png"},
    {{35, 534, 247, 543}, u"125Hz.png", u"125Hz.png", u"125Hz.png"},
    {{19, 605, 89, 633}, u"Config.png", u"Config.png", u"Config.png"},
    {{800, 605, 857, 635},
     u"button-cancel-normal.png",
     u"button-cancel-over.png",
     u"button-cancel-normal.png"},
    {{861, 605, 918, 635},
     u"button-cancel-normal.png",
     u"button-cancel-over.png",
     u"button-cancel-normal.png"},
    {{923, 605, 980, 635},
     u"button-save-normal.png",
     u"button-save-over.png",
     u"button-save-normal.png"},
    {{19, 110, 260, 127}, u"light_BK.png", u"light_BK.png", u"light_BK.png"},
    {{19, 363, 260, 380},
     u"button-save-normal.png",
     u"button-save-over.png",
     u"button-save-normal.png"},
    {{19, 427, 260, 444},
     u"button-save-normal.png",
     u"button-save-over.png",
     u"button-save-normal.png"},
    {{19, 507, 260, 524},
     u"button-save-normal.png",
     u"button-save-over.png",
     u"button-save-normal.png"},
};

}  // namespace

void BuildSkinButtonTable(SkinButtonTable& table) {
    table.clear();
    for (std::size_t i = 0; i < kSkinButtonCount; ++i) {
        const SkinButtonRow& row = kSkinButtons[i];
        SkinButton& button = table[i];
        button.rectangle = row.rectangle;
        button.normalPicture = row.normal;
        button.highlightedPicture = row.highlighted;
        button.pressedPicture = row.pressed;
        button.state = 0;
    }
}

}  // namespace tavrin
