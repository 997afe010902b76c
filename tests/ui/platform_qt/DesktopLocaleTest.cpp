#include <gtest/gtest.h>

#include "platform/qt/DesktopLocale.h"
#include "ui/support/ScopedEnvironment.h"

namespace tavrin {
namespace {

// The C library's order for messages: LC_ALL, then LC_MESSAGES, then LANG; empty ones skipped.
TEST(DesktopLocale, MessagesLocaleInTheCLibrarysOrder) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        std::string expected;
    };
    const Case cases[] = {
        {"zh_CN.UTF-8", "en_US.UTF-8", "de_DE.UTF-8", "zh_CN.UTF-8"},
        {nullptr, "zh_TW.UTF-8", "en_US.UTF-8", "zh_TW.UTF-8"},
        {"", "", "zh_CN.UTF-8", "zh_CN.UTF-8"},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        test::ScopedEnvironment env;
        const std::pair<const char*, const char*> vars[] = {
            {"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}};
        for (const auto& [name, value] : vars) {
            if (value) {
                env.set(name, value);
            } else {
                env.unset(name);
            }
        }
        EXPECT_EQ(DesktopLocaleName(), c.expected);
    }
}

}  // namespace
}  // namespace tavrin
