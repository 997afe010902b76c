// The windows on a screen of device pixel ratio 2, with the skin the build draws. This suite runs
// only in the test runs with such a screen (see tests/ui/CMakeLists.txt): offscreen, the first of
// two screens of ratio 2 and 1 (density/screens.json), and on an X server at QT_SCALE_FACTOR=2.
// Anywhere else it fails at its first check.
//
// A picture composed for ratio 2 has twice the pixels each way, and detail that the ratio-1
// picture enlarged (pixel-doubled or smoothly) does not have: text drawn at the real pixel size and
// edges drawn afresh.

#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "support/ScopedTranslation.h"
#include "support/ScriptedFileChooser.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"
#include "ui/controls/DensePictures.h"
#include "ui/keymap/CKeyMap.h"
#include "ui/keymap/KeyMapFixture.h"
#include "ui/macro/MacroTestSupport.h"
#include "ui/main/COstraDlg.h"
#include "ui/profile/ProfileDialogTestSupport.h"
#include "ui/support/UiTestSupport.h"
#include "ui/support/Waits.h"

namespace tavrin::test {
namespace {

constexpr qreal kRatio = 2.0;

int MaxChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The picture's scale-1 form enlarged again, as a window that only scaled its finished picture
// would show it: pixel-doubled or smoothly.
QImage Enlarged(const QImage& surface, Qt::TransformationMode mode) {
    QImage plain = surface.convertToFormat(QImage::Format_RGB32);
    plain.setDevicePixelRatio(1.0);
    const QImage single =
        plain.scaled(plain.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return single.scaled(plain.size(), Qt::IgnoreAspectRatio, mode)
        .convertToFormat(QImage::Format_RGB32);
}

// The share of device pixels in the logical rectangle that differ clearly from both
// enlargements: detail that only a picture composed at ratio 2 has.
double ShareOfFineDetail(const QImage& surface, const QRect& logical) {
    const QImage doubled = Enlarged(surface, Qt::FastTransformation);
    const QImage smooth = Enlarged(surface, Qt::SmoothTransformation);
    constexpr int kClearly = 48;
    int pixels = 0;
    int fine = 0;
    const QRect device(logical.topLeft() * 2, logical.size() * 2);
    for (int y = device.top(); y <= device.bottom(); ++y) {
        for (int x = device.left(); x <= device.right(); ++x) {
            const QRgb own = surface.pixel(x, y);
            ++pixels;
            if (MaxChannelDifference(own, doubled.pixel(x, y)) > kClearly &&
                MaxChannelDifference(own, smooth.pixel(x, y)) > kClearly) {
                ++fine;
            }
        }
    }
    return pixels == 0 ? 0.0 : static_cast<double>(fine) / pixels;
}

struct Region {
    const char* what;
    QRect logical;
};

// Regions that hold run-time text or drawn edges, and the share of fine detail each must have.
// Enlarged pictures measured 0; the real ones 0.05 to 0.13 where the windows write text, and 0.012
// over the keyboard's caps, whose captions are drawn into the skin's @2x picture.
constexpr double kMinimumFineDetail = 0.005;
constexpr double kMaximumInEnlarged = 0.001;

void ExpectComposedAtRatioTwo(const QImage& surface, QSize logical,
                              std::initializer_list<Region> regions) {
    ASSERT_DOUBLE_EQ(surface.devicePixelRatio(), kRatio);
    ASSERT_EQ(surface.size(), logical * 2);
    ASSERT_EQ(LogicalSize(surface), logical);
    for (const Region& region : regions) {
        const double fine = ShareOfFineDetail(surface, region.logical);
        EXPECT_GT(fine, kMinimumFineDetail) << region.what;
        // The measure itself tells an enlarged picture apart.
        for (const auto mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
            EXPECT_LT(ShareOfFineDetail(Enlarged(surface, mode), region.logical),
                      kMaximumInEnlarged)
                << region.what;
        }
    }
}

QScreen* ScreenOfRatio(qreal ratio) {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->devicePixelRatio() == ratio) {
            return screen;
        }
    }
    return nullptr;
}

std::filesystem::path BuiltProgram() {
    return std::filesystem::path(TAVRIN_BUILD_PROGRAM_DIR);
}

class HighDensity : public ::testing::Test {
protected:
    void SetUp() override {
        // The windows open on the screen at the origin.
        const QScreen* origin = QGuiApplication::screenAt(QPoint(0, 0));
        ASSERT_NE(origin, nullptr);
        ASSERT_DOUBLE_EQ(origin->devicePixelRatio(), kRatio)
            << "this suite needs a screen of ratio 2";
        ASSERT_TRUE(std::filesystem::exists(BuiltProgram() / "png/english/main.png"))
            << "no generated skin in " << BuiltProgram();
        model.layoutVariant = 1;
        model.refreshOwnVk();
        paths.dataDir = data.path();
        paths.skinRoots = {BuiltProgram()};
    }

    SkinLookup skins{{BuiltProgram()}};
    Model model;
    TempDir data;
    ProgramPaths paths;  // for the main window
    FakeKeyHook hook;
    ScriptedPrompts prompts;
    ScriptedFileChooser chooser;
    ManualMacroClock clock;
    MemorySettingsStore settings;
};

TEST_F(HighDensity, MainWindow) {
    COstraDlg window(model, paths);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.size(), QSize(1000, 645)) << "the window keeps its logical size";
    window.paintAll();
    ExpectComposedAtRatioTwo(window.composedImage(), window.size(),
                             {{"Profile caption", {45, 610, 44, 18}},
                              {"Return caption", {810, 607, 44, 18}},
                              {"Light header", {19, 110, 60, 18}},
                              {"keyboard caps", {330, 200, 300, 150}}});
    SaveScreenshotIfAsked(window, QStringLiteral("density2-main"));
}

TEST_F(HighDensity, KeyAssignmentDialog) {
    CKeyMap dialog(model, skins, hook, prompts, chooser);
    model.selectedKey = PositionOf(65);
    dialog.setSelectedKeyVk(65);
    dialog.initialise();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.size(), QSize(326, 276));
    ExpectComposedAtRatioTwo(dialog.composed(), dialog.size(),
                             {{"current key line", {2, 2, 120, 16}},
                              {"tab captions", {6, 39, 300, 16}},
                              {"Save caption", {272, 248, 30, 16}}});
    SaveScreenshotIfAsked(dialog, QStringLiteral("density2-keymap"));
    dialog.reject();
}

TEST_F(HighDensity, MacroManager) {
    CMacroRecordDlg dialog(model, hook, prompts, clock, skins);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ExpectComposedAtRatioTwo(dialog.composeSurface(), dialog.size(),
                             {{"title", {16, 9, 120, 16}}, {"column titles", {39, 60, 300, 16}}});
    SaveScreenshotIfAsked(dialog, QStringLiteral("density2-macro"));
    dialog.reject();
}

TEST_F(HighDensity, ProfileManager) {
    std::filesystem::create_directory(data / "Configure");
    CConfigureDlg dialog(model, settings, prompts, chooser, skins, data.path());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.size(), QSize(264, 632));
    ExpectComposedAtRatioTwo(dialog.composeSurface(), dialog.size(),
                             {{"title", {10, 8, 60, 20}}, {"New caption", {30, 578, 40, 20}}});
    SaveScreenshotIfAsked(dialog, QStringLiteral("density2-profile"));
    dialog.reject();
}

// A window moved to a screen of another density composes its picture again for it.
TEST_F(HighDensity, WindowsFollowTheirScreen) {
    QScreen* single = ScreenOfRatio(1.0);
    QScreen* twice = ScreenOfRatio(kRatio);
    ASSERT_NE(single, nullptr) << "this test needs a second screen, of ratio 1";
    ASSERT_NE(twice, nullptr);
    COstraDlg main(model, paths);
    CKeyMap keyMap(model, skins, hook, prompts, chooser);
    CMacroRecordDlg macros(model, hook, prompts, clock, skins);
    std::filesystem::create_directory(data / "Configure");
    CConfigureDlg profiles(model, settings, prompts, chooser, skins, data.path());
    model.selectedKey = PositionOf(65);
    keyMap.setSelectedKeyVk(65);
    keyMap.initialise();

    struct Window {
        const char* name;
        QWidget* widget;
        std::function<QImage()> picture;
    };
    const Window windows[] = {
        {"main window", &main,
         [&] {
             main.paintAll();
             return main.composedImage();
         }},
        {"key assignment", &keyMap, [&] { return keyMap.composed(); }},
        {"macro manager", &macros, [&] { return macros.composeSurface(); }},
        {"profile manager", &profiles, [&] { return profiles.composeSurface(); }},
    };
    for (const Window& window : windows) {
        window.widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.widget)) << window.name;
        const QSize logical = window.widget->size();
        for (QScreen* screen : {single, twice}) {
            window.widget->setScreen(screen);
            TAVRIN_WAIT_EQ(window.widget->devicePixelRatioF(), screen->devicePixelRatio());
            window.widget->repaint();
            const QImage picture = window.picture();
            EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), screen->devicePixelRatio())
                << window.name << " on " << screen->name().toStdString();
            EXPECT_EQ(LogicalSize(picture), logical) << window.name;
            EXPECT_EQ(window.widget->size(), logical) << window.name;
        }
        window.widget->hide();
    }
}

}  // namespace
}  // namespace tavrin::test
