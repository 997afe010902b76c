#pragma once

// The main window over a program folder of flat-coloured skin images, so that pixels of the
// composed surface tell which picture was drawn where.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "model/KeyTables.h"
#include "model/Model.h"
#include "support/TempDir.h"
#include "ui/main/COstraDlg.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin::test {

inline constexpr QRgb kMainBack = 0xFF202020;
inline constexpr QRgb kKbBack = 0xFF404040;
inline constexpr QRgb kKbHigh = 0xFFC0C000;
inline constexpr QRgb kItemBox = 0xFF103050;
inline constexpr QRgb kFreq = 0xFF301030;
inline constexpr QRgb kRadioOn = 0xFF00C800;
inline constexpr QRgb kRadioOff = 0xFFC80000;
inline constexpr QRgb kLitBlue = 0xFF0000FF;
inline constexpr QRgb kWhite = 0xFFFFFFFF;
inline constexpr QRgb kListRowColour = 0xFF3B3B3B;

// The window point in the middle of a key of the 104-key picture.
inline QPoint KeyCentre(std::size_t position) {
    const KeyRect& r = KeyRects104[position];
    return {kKeyboardOriginX + (r.left + r.right) / 2, kKeyboardOriginY + (r.top + r.bottom) / 2};
}

class MainViewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto skin = dir.path() / "png" / "english";
        WritePng(skin / "main.png", SolidImage({1000, 640}, QColor::fromRgb(kMainBack)));
        WritePng(skin / "kb_BK.png", SolidImage({640, 280}, QColor::fromRgb(kKbBack)));
        WritePng(skin / "kb_hl.png", SolidImage({640, 280}, QColor::fromRgb(kKbHigh)));
        WritePng(skin / "Light_Item.png", SolidImage({220, 15}, QColor::fromRgb(kItemBox)));
        WritePng(skin / "freq.png", SolidImage({242, 90}, QColor::fromRgb(kFreq)));
        WritePng(skin / "Enable.png", SolidImage({14, 14}, QColor::fromRgb(kRadioOn)));
        WritePng(skin / "Disable.png", SolidImage({14, 14}, QColor::fromRgb(kRadioOff)));
        WritePng(skin / "Thumb.png", SolidImage({15, 14}, QColor(0, 0, 200)));
        model->layoutVariant = 1;
        model->refreshOwnVk();
        std::ranges::fill(model->settings.keyEnableMask(), std::uint8_t{0xFF});
        model->settings.setColourIndex(3);
        model->takeSavedCopies();
        ProgramPaths paths;
        paths.dataDir = dir.path();
        paths.skinRoots = {dir.path()};
        window = std::make_unique<COstraDlg>(*model, paths);
        window->setKeyAssignmentDialog([this] { ++dialogRuns; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ParkMouse(*window);
        window->paintAll();
    }

    QRgb pixel(int x, int y) const {
        return LogicalPixel(window->composedImage(), {x, y}) | 0xFF000000;
    }
    void click(int x, int y) { QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(x, y)); }
    void click(QPoint p) { click(p.x(), p.y()); }
    void hover(int x, int y) { QTest::mouseMove(window.get(), QPoint(x, y)); }
    MainWindowState& state() { return window->state(); }
    SettingsBlock& settings() { return model->settings; }

    // Light section open, effect list open, row chosen.
    void chooseEffectRow(int row) {
        if (state().panel.lightCollapsed) {
            click(100, 115);
        }
        click(100, 165);
        EXPECT_TRUE(state().effectListOpen);
        click(100, 173 + 20 * row + 5);
    }

    TempDir dir;
    std::unique_ptr<Model> model = std::make_unique<Model>();
    std::unique_ptr<COstraDlg> window;
    int dialogRuns = 0;
};

}  // namespace tavrin::test
