// A keyboard that is plugged in but refuses this user: the program says how to get access, once,
// in the interface language, and never that there is no keyboard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTest>
#include <cstring>
#include <memory>

#include "app/COstraApp.h"
#include "device/KeyboardConnection.h"
#include "platform/qt/QtSettingsStore.h"
#include "service/KeyboardService.h"
#include "support/TempDir.h"
#include "ui/main/COstraDlg.h"
#include "ui/support/Waits.h"

namespace tavrin {
namespace {

// The keyboard's three interfaces, each node refusing to open as hidraw does without the rule.
class RefusingNodes final : public HidBackend {
public:
    std::vector<HidInterfaceInfo> enumerate() override {
        return {{"/dev/hidraw7", 0x04D9, 0xA2A0, "mi_00"},
                {"/dev/hidraw8", 0x04D9, 0xA2A0, "mi_02&col04"},
                {"/dev/hidraw9", 0x04D9, 0xA2A0, "mi_03"}};
    }
    std::unique_ptr<HidDevice> open(const std::string&, std::string& error) override {
        error = "Permission denied";
        return nullptr;
    }
    bool accessDenied(const std::string&) override { return true; }
};

std::vector<QMessageBox*> OpenBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
            boxes.push_back(box);
        }
    }
    return boxes;
}

TEST(AppAccessDenied, TellsHowToInstallTheRuleInsteadOfReportingNoKeyboard) {
    struct Case {
        const char* language;
        bool tray;
        const char16_t* opening;
    };
    const Case cases[] = {
        {nullptr, true, u"The Gaming Keyboard is connected, but this user may not open it."},
        {nullptr, false, u"The Gaming Keyboard is connected, but this user may not open it."},
        {"chinese", true, u"已连接游戏键盘，但当前用户没有打开它的权限。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.language ? c.language : "english") +
                     (c.tray ? ", with a tray" : ", without a tray"));
        test::TempDir data;
        test::TempDir config;
        if (c.language) {
            QtSettingsStore(config.path())
                .writeString("Software\\Mervic", "Language",
                             std::u16string(c.language, c.language + std::strlen(c.language)));
        }
        AppOptions options;
        options.dataDir = QString::fromStdString(data.path().string());
        AppOverrides overrides;
        overrides.backend = std::make_unique<RefusingNodes>();
        overrides.configFolder = config.path();
        overrides.trayAvailable = c.tray;
        overrides.showSplash = false;
        overrides.skinRoot = std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR);
        COstraApp app(options, std::move(overrides));
        QString error;
        ASSERT_TRUE(app.start(error)) << error.toStdString();

        // The keyboard opens on the service's worker; the window hears of it when it is done.
        TAVRIN_WAIT_TRUE_FOR(app.service().link().accessDenied, 10000);
        TAVRIN_WAIT_TRUE_FOR(app.settingsLoaded(), 10000);
        EXPECT_EQ(app.window().isVisible(), !c.tray);
        // Two refused interfaces, one message, and it names the rule the build ships.
        const auto boxes = OpenBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        const QString text = boxes[0]->text();
        EXPECT_EQ(app.lastBalloon(), text);
        EXPECT_TRUE(text.startsWith(QString::fromUtf16(c.opening))) << text.toStdString();
        const QString rule =
            QStringLiteral(TAVRIN_BUILD_PROGRAM_DIR "/udev/70-tavrin-gaming-keyboard.rules");
        EXPECT_TRUE(text.endsWith(QStringLiteral("sudo install -m 644 '%1' /etc/udev/rules.d/ && "
                                                 "sudo udevadm control --reload && "
                                                 "sudo udevadm trigger --subsystem-match=hidraw")
                                      .arg(rule)))
            << text.toStdString();
        EXPECT_TRUE(QFileInfo::exists(rule));
        EXPECT_FALSE(text.contains(QStringLiteral("No Gaming Keyboard Detected!")));

        // A double click on the icon answers with the same notice, not "no keyboard".
        boxes[0]->close();
        app.showMainWindow();
        EXPECT_EQ(app.lastBalloon(), text);
        EXPECT_EQ(OpenBoxes().size(), 1u);
        for (QMessageBox* box : OpenBoxes()) {
            box->close();
        }
        QApplication::processEvents();
    }
}

}  // namespace
}  // namespace tavrin
