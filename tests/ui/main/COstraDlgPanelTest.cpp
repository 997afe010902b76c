// The lighting and performance panels of the main window, clicked at their pixel positions.

#include <QApplication>

#include "ui/controls/CBitSlider.h"
#include "ui/main/MainViewFixture.h"

namespace tavrin::test {
namespace {

using PanelTest = MainViewFixture;

TEST_F(PanelTest, ColourRulesOfChoosingAnEffect) {
    struct Case {
        const char* name;
        std::uint8_t colourBefore;
        int row;
        std::uint8_t effect;
        std::uint8_t colourAfter;
    };
    const Case cases[] = {
        {"waveTakesEight", 3, 2, 2, 8},
        {"staticFromEightTakesOne", 8, 0, 0, 1},
        {"staticKeepsOthers", 5, 0, 0, 5},
        {"breathingKeepsEight", 8, 1, 1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings().setColourIndex(c.colourBefore);
        chooseEffectRow(c.row);
        EXPECT_FALSE(state().effectListOpen);
        EXPECT_EQ(settings().effectCode(), c.effect);
        EXPECT_EQ(settings().colourIndex(), c.colourAfter);
    }
}

TEST_F(PanelTest, ClicksOnTheOpenEffectList) {
    struct Case {
        QPoint at;
        std::uint8_t effect;
        bool diyView;
    };
    const Case cases[] = {
        {{100, 180}, 0, false},  // row 0, "Static"
        {{100, 532}, 55, true},  // row 17, "DIY5"
        {{249, 180}, 9, false},  // right of the list: closes it, nothing else
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x() << "," << c.at.y());
        settings().setEffectCode(9);
        state().diyView = false;
        if (state().panel.lightCollapsed) {
            click(100, 115);
        }
        click(100, 165);
        ASSERT_TRUE(state().effectListOpen);
        click(c.at);
        EXPECT_FALSE(state().effectListOpen);
        EXPECT_EQ(settings().effectCode(), c.effect);
        EXPECT_EQ(state().diyView, c.diyView);
    }
}

TEST_F(PanelTest, TheOpenListHidesTheSlidersAndEatsTheNextClick) {
    settings().setEffectCode(1);
    click(100, 115);
    CBitSlider* speed = window->slider(kSpeedSliderId);
    CBitSlider* brightness = window->slider(kBrightnessSliderId);
    EXPECT_TRUE(speed->isVisible());
    EXPECT_TRUE(brightness->isVisible());
    EXPECT_EQ(pixel(20, 300), kFreq);
    click(100, 165);
    EXPECT_FALSE(speed->isVisible());
    EXPECT_FALSE(brightness->isVisible());
    click(KeyCentre(0));  // Esc, outside the list
    EXPECT_FALSE(state().effectListOpen);
    EXPECT_EQ(dialogRuns, 0);
    EXPECT_EQ(settings().effectCode(), 1);
    EXPECT_TRUE(speed->isVisible());
    EXPECT_TRUE(brightness->isVisible());
}

TEST_F(PanelTest, SpeedIsOfferedOnlyForEffectsOneToFortyNine) {
    click(100, 115);
    const std::uint8_t effects[] = {0, 1, 16, 49, 50, 51};
    for (std::uint8_t effect : effects) {
        SCOPED_TRACE(int(effect));
        settings().setEffectCode(effect);
        window->paintAll();
        const bool speed = effect >= 1 && effect <= 49;
        EXPECT_EQ(window->slider(kSpeedSliderId)->isVisible(), speed);
        EXPECT_TRUE(window->slider(kBrightnessSliderId)->isVisible());
        EXPECT_EQ(pixel(20, 300) == kFreq, speed);
    }
}

TEST_F(PanelTest, DirectionRegionsAnswerWhateverTheEffect) {
    settings().setEffectCode(0);
    settings().setDirectionCode(3);
    click(100, 115);
    click(140, 205);  // where R would be
    EXPECT_EQ(settings().directionCode(), 1);
    click(40, 205);
    EXPECT_EQ(settings().directionCode(), 3);
}

TEST_F(PanelTest, AnUnknownEffectShowsNoName) {
    click(100, 115);
    const auto boxIsBare = [this] {
        for (int y = 158; y < 173; ++y) {
            for (int x = 28; x < 248; ++x) {
                if (pixel(x, y) != kItemBox) {
                    return false;
                }
            }
        }
        return true;
    };
    settings().setEffectCode(0);
    window->paintAll();
    EXPECT_FALSE(boxIsBare());
    settings().setEffectCode(7);
    window->paintAll();
    EXPECT_TRUE(boxIsBare());
}

TEST_F(PanelTest, TheOpenSectionNormalisesTheColour) {
    struct Case {
        std::uint8_t effect;
        std::uint8_t colour;
        std::uint8_t shown;
    };
    const Case cases[] = {{1, 0, 1}, {1, 9, 8}, {1, 4, 4}, {53, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.effect) << "/" << int(c.colour));
        state().panel.lightCollapsed = true;
        settings().setEffectCode(c.effect);
        settings().setColourIndex(c.colour);
        window->paintAll();
        EXPECT_EQ(settings().colourIndex(), c.colour);  // a closed section leaves it
        click(100, 115);
        EXPECT_EQ(settings().colourIndex(), c.shown);
    }
}

TEST_F(PanelTest, Diy2ShowsItsLayerAndKeymapGoesBack) {
    settings().diyTable(1)[LedIndexOf(0)] = 0xFF;  // Esc lit in DIY2
    model->keyChangedFlags[1] = 1;                 // F1 changed
    chooseEffectRow(14);
    EXPECT_EQ(settings().effectCode(), 52);
    EXPECT_TRUE(state().diyView);
    EXPECT_EQ(pixel(362, 199), kLitBlue);  // Esc, clear of its magenta caption
    EXPECT_EQ(pixel(KeyCentre(1).x(), KeyCentre(1).y()), kKbBack);
    EXPECT_EQ(pixel(30, 205), kRadioOff);  // Keymap radio
    EXPECT_EQ(pixel(132, 205), kRadioOn);  // DIY radio

    click(35, 207);  // Keymap
    EXPECT_FALSE(state().diyView);
    EXPECT_EQ(settings().effectCode(), 52);
    EXPECT_EQ(pixel(362, 199), kKbBack);
    EXPECT_EQ(pixel(KeyCentre(1).x(), KeyCentre(1).y()), kKbHigh);
    click(137, 207);  // DIY
    EXPECT_TRUE(state().diyView);
}

TEST_F(PanelTest, ResponseListRows) {
    struct Case {
        int y;  // relative to the list's top
        std::uint8_t responseTime;
    };
    const Case cases[] = {{4 * 20 + 5, 5}, {9 * 20 + 19, 10}, {200, 3}};
    click(100, 255);  // Response Time header, Light closed
    ASSERT_FALSE(state().panel.responseCollapsed);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        settings().setResponseTime(3);
        click(100, 285);  // the box at yR + 28
        ASSERT_TRUE(state().responseListOpen);
        click(100, 77 + c.y);
        EXPECT_FALSE(state().responseListOpen);
        EXPECT_EQ(settings().responseTime(), c.responseTime);
    }
}

TEST_F(PanelTest, TheResponseListHangsAboveItsSection) {
    struct Case {
        bool lightOpen;
        QPoint corner;
    };
    const Case cases[] = {{true, {27, 272}}, {false, {27, 77}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lightOpen);
        state().panel.lightCollapsed = !c.lightOpen;
        state().panel.responseCollapsed = false;
        settings().setResponseTime(7);
        state().responseListOpen = true;
        state().responseListRow = kNoRow;
        window->paintAll();
        EXPECT_EQ(pixel(c.corner.x(), c.corner.y()), kListRowColour);
        EXPECT_NE(pixel(c.corner.x() - 1, c.corner.y()), kListRowColour);
        click(c.corner);  // the corner itself is row 0
        EXPECT_EQ(settings().responseTime(), 1);
    }
}

TEST_F(PanelTest, OffIsClickedByItsWordAndOnByItsRadioOnly) {
    settings().setGameMode(1);
    settings().setWinLock(1);
    click(100, 200);  // Game Mode header
    ASSERT_FALSE(state().panel.gameCollapsed);
    click(55, 232);  // the word "ON"
    EXPECT_EQ(settings().gameMode(), 1);
    click(110, 232);  // the word "OFF"
    EXPECT_EQ(settings().gameMode(), 0);
    click(38, 232);  // the ON radio
    EXPECT_EQ(settings().gameMode(), 1);
    click(240, 232);  // Win Lock's "OFF"
    EXPECT_EQ(settings().winLock(), 0);
    EXPECT_EQ(pixel(170, 230), kRadioOff);
    EXPECT_EQ(pixel(222, 230), kRadioOn);
}

TEST_F(PanelTest, TheRightmostReportRateIsThree) {
    click(100, 295);  // USB Report Rate header
    CBitSlider* report = window->slider(kReportSliderId);
    ASSERT_TRUE(report->isVisible());
    EXPECT_EQ(report->pos(), QPoint(28, 313));
    QTest::mouseClick(report, Qt::LeftButton, {},
                      QPoint(report->width() - 2, report->height() / 2));
    EXPECT_EQ(report->value(), 3);
    EXPECT_EQ(settings().reportInterval(), 3);
    click(100, 255);  // Response Time opens: the section moves down 35 pixels
    EXPECT_EQ(report->pos(), QPoint(28, 348));
    click(100, 330);  // and closes
    EXPECT_FALSE(report->isVisible());
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

TEST_F(PanelTest, PaintingNeverWritesTheModel) {
    // Another thread's read (or any owner of the model) changed the lighting behind the sliders'
    // back, and the Light section with its sliders is open.
    click(100, 115);
    model->settings.setEffectCode(1);
    model->settings.setBrightnessLevel(3);
    model->settings.setSpeedLevel(0);
    model->settings.setReportInterval(2);
    model->settings.setColourIndex(0);  // a colour the panel has no use for
    const SettingsBlock before = model->settings;
    window->paintAll();
    window->repaint();
    QApplication::processEvents();
    EXPECT_EQ(model->settings, before) << "the sliders' old positions and the colour rule stay out";

    // The model reaches the sliders when it is set from it, and the colour rule applies when the
    // model changes.
    window->setSliderPositions();
    window->applyModelRules();
    EXPECT_EQ(window->slider(kBrightnessSliderId)->value(), 3);
    EXPECT_EQ(model->settings.colourIndex(), 1);
}

}  // namespace
}  // namespace tavrin::test
