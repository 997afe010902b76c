#include <gtest/gtest.h>

#include <QTest>

#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "support/TempDir.h"
#include "ui/controls/CSplashScreen.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

class CSplashScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WritePng(skins / "png/english/SplashScreen.png",
                       test::SolidImage({40, 30}, QColor(200, 10, 10)));
        // Another spelling of the name: skin names are matched without regard to case.
        test::WritePng(skins / "png/chinese/splashscreen.PNG",
                       test::SolidImage({50, 20}, QColor(10, 10, 200)));
    }

    // Shows the splash screen with its timer stopped, so that the test gives every tick.
    void open(CSplashScreen& splash) {
        splash.show();
        ASSERT_TRUE(splash.timer().isActive());
        EXPECT_EQ(splash.timer().interval(), 20);
        splash.stopTimer();
    }

    test::TempDir skins;
};

TEST_F(CSplashScreenTest, ShowsThePictureOfTheInterfaceLanguageAtItsSize) {
    SkinLookup lookup({skins.path()});
    struct Case {
        std::uint16_t language;
        QSize size;
        QColor colour;
    };
    for (const Case& c : {Case{kLanguageEnglish, {40, 30}, QColor(200, 10, 10)},
                          Case{kLanguageChinese, {50, 20}, QColor(10, 10, 200)}}) {
        CSplashScreen splash;
        splash.setPicturePath(CSplashScreen::PicturePath(lookup, SkinFolderName(c.language)));
        EXPECT_EQ(splash.size(), c.size) << c.language;
        EXPECT_EQ(splash.grab().toImage().pixelColor(c.size.width() - 1, 0), c.colour);
    }
}

TEST_F(CSplashScreenTest, ClosesOnTheFiftySecondTick) {
    SkinLookup lookup({skins.path()});
    CSplashScreen splash;
    splash.setPicturePath(CSplashScreen::PicturePath(lookup, SkinFolderName(kLanguageEnglish)));
    open(splash);
    for (int tick = 1; tick <= 51; ++tick) {
        splash.tick();
        ASSERT_TRUE(splash.isVisible()) << "closed on tick " << tick;
    }
    splash.tick();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Accepted);
    EXPECT_FALSE(splash.timer().isActive());
}

TEST_F(CSplashScreenTest, WithoutItsPictureStillClosesOnTheFiftySecondTick) {
    SkinLookup lookup({skins.path() / "nowhere"});
    CSplashScreen splash;
    splash.setPicturePath(CSplashScreen::PicturePath(lookup, SkinFolderName(kLanguageEnglish)));
    EXPECT_TRUE(splash.picture().isNull());
    open(splash);
    for (int tick = 1; tick <= 51; ++tick) {
        splash.tick();
    }
    EXPECT_TRUE(splash.isVisible());
    splash.tick();
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(CSplashScreenTest, ModalRunEndsByItsOwnTimer) {
    CSplashScreen splash;
    // exec() returns only once the timer has closed the window.
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_EQ(splash.tickCount(), 52);
}

}  // namespace
}  // namespace tavrin
