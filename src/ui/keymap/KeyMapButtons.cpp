#include "ui/keymap/KeyMapButtons.h"

namespace tavrin {

namespace {

struct ButtonDescriptor {
    SkinRect rectangle;
    const char16_t* normal;
    const char16_t* hover;
};

constexpr std::array<ButtonDescriptor, KeyMapButtons::kCount> kButtonTable = {{
    {{303, 2, 318, 17}, u"button-close-normal.png", u"button-close-over.png"},
    {{0, 31, 81, 57}, u"large_button.png", u"large_button.png"},
    {{81, 31, 162, 57}, u"large_button.png", u"large_button.png"},
    {{162, 31, 243, 57}, u"large_button.png", u"large_button.png"},
    {{243, 31, 324, 57}, u"large_button.png", u"large_button.png"},
    {{0, 30, 325, 36}, u"single_combine_option.png", u"single_combine_option.png"},
    {{19, 251, 29, 260}, u"Disable.png", u"Enable.png"},
    {{156, 246, 197, 268}, u"button-cancel-normal.png", u"button-cancel-over.png"},
    {{210, 246, 251, 268}, u"button-cancel-normal.png", u"button-cancel-over.png"},
    {{264, 246, 305, 268}, u"button-save-normal.png", u"button-save-over.png"},
}};

}  // namespace

void KeyMapButtons::rebuild() {
    for (std::size_t i = 0; i < kCount; ++i) {
        buttons_[i] = SkinButton{kButtonTable[i].rectangle, kButtonTable[i].normal,
                                 kButtonTable[i].hover, kButtonTable[i].normal, 0};
    }
}

std::uint8_t KeyMapButtons::hitTest(std::int32_t x, std::int32_t y) const {
    const SkinRect& tick = buttons_[kDisableTick].rectangle;
    const SkinRect widened{tick.left - kTickSlack, tick.top - kTickSlack, tick.right + kTickSlack,
                           tick.bottom + kTickSlack};
    if (widened.contains(x, y)) {
        return kDisableTick;
    }
    for (std::size_t i = 0; i < kCount; ++i) {
        if (buttons_[i].rectangle.contains(x, y)) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return kNone;
}

}  // namespace tavrin
