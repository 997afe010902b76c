// Runs tavrin-skin into a temporary program directory and checks the pictures against the layout
// of the windows that draw them.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "SkinPalette.h"
#include "SkinTable.h"
#include "model/KeyTables.h"
#include "support/TempDir.h"

namespace tavrin::skin {
namespace {

namespace fs = std::filesystem;

// The folders the build draws: English and the Chinese translation.
constexpr std::array<std::string_view, 2> kLanguageFolders = {"english", "chinese"};

int RunGenerator(const fs::path& output, const fs::path& log,
                 const std::string& translation = TAVRIN_CHINESE_QM) {
    const std::string command = std::string("QT_QPA_PLATFORM=offscreen '") + TAVRIN_SKIN_EXE +
                                "' '" + output.string() + "' '" + translation + "' >'" +
                                log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path PicturePath(const fs::path& root, std::string_view language, const SkinImage& image) {
    fs::path path = root / "png" / std::string(language);
    if (!SubFolderName(image.folder).empty()) {
        path /= std::string(SubFolderName(image.folder));
    }
    return path / std::string(image.name);
}

QImage Load(const fs::path& path) {
    return QImage(QString::fromStdString(path.string()));
}

const SkinImage& Entry(Folder folder, std::string_view name) {
    for (const SkinImage& image : kSkinImages) {
        if (image.folder == folder && image.name == name) {
            return image;
        }
    }
    ADD_FAILURE() << "no table entry for " << name;
    return kSkinImages.front();
}

class SkinGeneratorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        output_ = new test::TempDir();
        const fs::path log = output_->path() / "generator.log";
        status_ = RunGenerator(output_->path() / "app", log);
        log_ = ReadText(log);
    }
    static void TearDownTestSuite() {
        delete output_;
        output_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(status_, 0) << log_; }

    static fs::path root() { return output_->path() / "app"; }

    static inline test::TempDir* output_ = nullptr;
    static inline int status_ = -1;
    static inline std::string log_;
};

TEST_F(SkinGeneratorTest, EveryPictureExistsInBothLanguagesWithItsSizeAndNoTransparency) {
    for (const std::string_view language : kLanguageFolders) {
        for (const SkinImage& image : kSkinImages) {
            const fs::path path = PicturePath(root(), language, image);
            SCOPED_TRACE(path.string());
            ASSERT_TRUE(fs::exists(path));
            const QImage picture = Load(path);
            ASSERT_FALSE(picture.isNull());
            EXPECT_EQ(picture.width(), image.width);
            EXPECT_EQ(picture.height(), image.height);
            // The windows copy pictures without blending: an alpha channel would show as black.
            EXPECT_FALSE(picture.hasAlphaChannel());
        }
    }
}

TEST_F(SkinGeneratorTest, NoTwoNamesOfAFolderDifferOnlyInLetterCase) {
    // The windows look names up without regard to case; two such files would be ambiguous.
    std::set<std::pair<Folder, std::string>> seen;
    for (const SkinImage& image : kSkinImages) {
        std::string lower(image.name);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        EXPECT_TRUE(seen.insert({image.folder, lower}).second) << image.name;
    }
}

// Each picture, drawn where its window draws it, covers the rectangle that answers its clicks
// (or, for backgrounds, reaches every element laid on it).
struct Placement {
    Folder folder;
    std::string_view name;
    int x, y;                      // where it is drawn
    int left, top, right, bottom;  // click rectangle, edges included
};

// yM = 140, yG = 195, yR = 250, yU = 290 with all sections closed.
constexpr Placement kPlacements[] = {
    {Folder::Main, "main.png", 0, 0, 0, 0, 996, 635},
    {Folder::Main, "button-help-normal.png", 936, 5, 936, 5, 952, 20},
    {Folder::Main, "button-min-over.png", 957, 5, 957, 5, 973, 20},
    {Folder::Main, "button-close-normal.png", 978, 5, 978, 5, 994, 20},
    {Folder::Main, "logo.png", 19, 35, 19, 32, 261, 102},
    {Folder::Main, "button-cancel-normal.png", 800, 600, 800, 605, 857, 635},
    {Folder::Main, "button-cancel-over.png", 862, 600, 861, 605, 918, 635},
    {Folder::Main, "button-cancel-normal.png", 924, 600, 923, 605, 980, 635},
    {Folder::Main, "Config.png", 17, 603, 19, 605, 89, 633},
    {Folder::Main, "HelpWindow.png", 830, 22, 830, 22, 996, 99},
    {Folder::Main, "itemBK.png", 19, 110, 19, 110, 261, 130},
    {Folder::Main, "Light_Item.png", 28, 158, 28, 158, 248, 173},
    {Folder::Main, "Light_Item.png", 28, 278, 28, 278, 248, 294},
    {Folder::Main, "Direction-T-Disable.png", 29, 197, 29, 197, 64, 212},
    {Folder::Main, "Direction-B-Enable.png", 79, 197, 79, 197, 114, 212},
    {Folder::Main, "Direction-R-Disable.png", 129, 197, 129, 197, 164, 212},
    {Folder::Main, "Direction-L-Enable.png", 179, 197, 179, 197, 214, 212},
    {Folder::Main, "MacroButton3.png", 19, 150, 19, 150, 259, 168},
    {Folder::Main, "gamemode_Close.png", 19, 195, 19, 195, 261, 215},
    {Folder::Main, "gamemode_open.png", 19, 195, 19, 195, 261, 215},
    {Folder::Main, "Enable.png", 34, 228, 34, 228, 44, 237},
    {Folder::Main, "Disable.png", 164, 228, 164, 228, 174, 237},
    {Folder::Main, "responsetime_close.png", 19, 250, 19, 250, 261, 270},
    {Folder::Main, "responsetime_open.png", 19, 250, 28, 278, 248, 294},
    {Folder::Main, "reportrate_Close.png", 19, 290, 19, 290, 261, 310},
    {Folder::Main, "reportrate_Open.png", 19, 290, 28, 313, 247, 329},
    {Folder::Custom, "Custom_BK.png", 0, 0, 0, 0, 325, 268},
    {Folder::Custom, "button-close-over.png", 303, 2, 303, 2, 318, 17},
    {Folder::Custom, "large_button.png", 0, 31, 0, 31, 81, 57},
    {Folder::Custom, "large_button.png", 243, 31, 243, 31, 324, 57},
    {Folder::Custom, "single_combine_option.png", 0, 30, 0, 30, 325, 36},
    {Folder::Custom, "Disable.png", 19, 251, 19, 251, 29, 260},
    {Folder::Custom, "Enable.png", 15, 72, 15, 72, 25, 81},
    {Folder::Custom, "button-cancel-normal.png", 156, 246, 156, 246, 197, 268},
    {Folder::Custom, "button-save-over.png", 264, 246, 264, 246, 305, 268},
    {Folder::Custom, "Macro_BK.png", 15, 66, 15, 68, 302, 173},
    {Folder::Custom, "Advanced.png", 85, 158, 83, 158, 243, 173},
    {Folder::Custom, "view02.png", 256, 158, 256, 158, 302, 173},
    {Folder::MacroManagement, "MacroManagement.png", 0, 0, 0, 0, 397, 424},
    {Folder::MacroManagement, "Record-normal.png", 290, 100, 290, 100, 379, 124},
    {Folder::MacroManagement, "Pane.png", 368, 168, 368, 168, 382, 182},
    {Folder::MacroManagement, "PaneMakingTick.png", 296, 315, 296, 315, 310, 329},
    {Folder::MacroManagement, "button-new-normal.png", 20, 368, 20, 368, 77, 392},
    {Folder::MacroManagement, "button-new-over.png", 340, 400, 340, 400, 397, 424},
    {Folder::Config, "Config.png", 0, 0, 0, 0, 262, 624},
    {Folder::Config, "button-close-normal.png", 247, 10, 248, 11, 262, 24},
    {Folder::Config, "New.png", 13, 575, 14, 576, 79, 624},
    {Folder::Config, "Delete.png", 183, 575, 184, 576, 249, 624},
};

TEST_F(SkinGeneratorTest, PicturesCoverTheirClickRectangles) {
    for (const Placement& place : kPlacements) {
        const SkinImage& image = Entry(place.folder, place.name);
        SCOPED_TRACE(std::string(place.name) + " at " + std::to_string(place.x) + "," +
                     std::to_string(place.y));
        // Drawn at most a few pixels inside the rectangle's top-left corner...
        EXPECT_LE(place.x, place.left + 3);
        EXPECT_LE(place.y, place.top + 3);
        // ...and reaching its right and bottom edges.
        EXPECT_GE(place.x + image.width - 1, place.right);
        EXPECT_GE(place.y + image.height - 1, place.bottom);
    }
}

TEST_F(SkinGeneratorTest, SliderPiecesHaveTheirFixedSizes) {
    const SkinImage& thumb = Entry(Folder::Main, "Thumb.png");
    EXPECT_EQ(thumb.width, 15);
    EXPECT_EQ(thumb.height, 14);
    for (const int id : {139, 140}) {
        const QImage track = Load(root() / "resources" / "bitmaps" / (std::to_string(id) + ".png"));
        EXPECT_EQ(track.size(), QSize(220, 17)) << id;
    }
    EXPECT_EQ(Load(root() / "resources" / "bitmaps" / "141.png").size(), QSize(15, 14));
}

struct KeyboardCase {
    const char* plain;
    const char* highlighted;
    const std::array<KeyRect, kPositionCount>* rects;
    const std::array<LabelPoint, kKeyTableSize>* anchors;
    const std::array<std::u16string_view, kKeyTableSize>* captions;
};

class KeyboardPictureTest : public SkinGeneratorTest,
                            public ::testing::WithParamInterface<KeyboardCase> {};

TEST_P(KeyboardPictureTest, CapsSitOnTheKeyRectanglesAndNowhereElse) {
    const KeyboardCase& c = GetParam();
    for (const std::string_view language : kLanguageFolders) {
        const fs::path folder = root() / "png" / std::string(language);
        const QImage plain = Load(folder / c.plain).convertToFormat(QImage::Format_RGB32);
        const QImage lit = Load(folder / c.highlighted).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(plain.isNull());
        ASSERT_EQ(plain.size(), lit.size());

        std::vector<bool> onKey(std::size_t(plain.width() * plain.height()), false);
        std::vector<bool> copied(onKey.size(), false);
        for (const KeyRect& r : *c.rects) {
            if (r.isEmpty()) {
                continue;
            }
            ASSERT_LT(r.right, plain.width());
            ASSERT_LT(r.bottom, plain.height());
            for (int y = r.top; y <= r.bottom; ++y) {
                for (int x = r.left; x <= r.right; ++x) {
                    onKey[std::size_t(y * plain.width() + x)] = true;
                    // The window copies width right - left and height bottom - top.
                    copied[std::size_t(y * plain.width() + x)] = x < r.right && y < r.bottom;
                }
            }
            // Inside the rectangle, clear of the caption: the cap's face.
            EXPECT_EQ(plain.pixel(r.right - 2, r.bottom - 2), kKeyCap)
                << language << " key at " << r.left << "," << r.top;
            EXPECT_EQ(lit.pixel(r.right - 2, r.bottom - 2), kKeyCapHot)
                << language << " key at " << r.left << "," << r.top;
            EXPECT_EQ(plain.pixel(r.right, r.bottom), kKeyEdge);
        }
        int stray = 0;
        int differing = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                const std::size_t i = std::size_t(y * plain.width() + x);
                if (!onKey[i] && plain.pixel(x, y) == kKeyCap) {
                    ++stray;
                }
                if (!copied[i] && plain.pixel(x, y) != lit.pixel(x, y)) {
                    ++differing;
                }
            }
        }
        EXPECT_EQ(stray, 0) << "cap-coloured pixels outside every key rectangle";
        // Copying the highlight rectangles over the plain picture must give whole caps, so the
        // two pictures may differ only where the window copies.
        EXPECT_EQ(differing, 0);
        // The picture's border is the card it is drawn on.
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(plain.width() - 1, 0), QPoint(0, plain.height() - 1),
              QPoint(plain.width() - 1, plain.height() - 1)}) {
            EXPECT_EQ(plain.pixel(corner), kCard);
        }
    }
}

TEST_P(KeyboardPictureTest, CaptionsStartAtTheirAnchors) {
    const KeyboardCase& c = GetParam();
    const QImage plain =
        Load(root() / "png" / "english" / c.plain).convertToFormat(QImage::Format_RGB32);
    for (std::size_t i = 0; i < kPositionCount; ++i) {
        const KeyRect& r = (*c.rects)[i];
        if (r.isEmpty() || (*c.captions)[i].empty()) {
            continue;
        }
        // Anchors are window coordinates relative to (270,80); the picture starts at (275,85).
        const int ax = (*c.anchors)[i].x - 5;
        const int ay = (*c.anchors)[i].y - 5;
        bool ink = false;
        for (int y = ay; y < ay + 12 && !ink; ++y) {
            for (int x = ax; x < std::min(ax + 12, int(r.right)) && !ink; ++x) {
                ink = qGray(plain.pixel(x, y)) > 110;
            }
        }
        EXPECT_TRUE(ink) << "no caption ink at the anchor of position " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, KeyboardPictureTest,
                         ::testing::Values(KeyboardCase{"kb_BK.png", "kb_hl.png", &KeyRects104,
                                                        &LabelPoints104, &KeyLabels104},
                                           KeyboardCase{"kb_BK_87.png", "kb_hl_87.png", &KeyRects87,
                                                        &LabelPoints87, &KeyLabels87}),
                         [](const ::testing::TestParamInfo<KeyboardCase>& p) {
                             return p.index == 0 ? std::string("Keys104") : std::string("Keys87");
                         });

TEST_F(SkinGeneratorTest, TickBoxRedrawAreaOfTheKeyDialogIsItsFillColour) {
    // The key dialog redraws (34,249)-(134,269) with 0x232323 when the tick box flips.
    for (const std::string_view language : kLanguageFolders) {
        const QImage background =
            Load(PicturePath(root(), language, Entry(Folder::Custom, "Custom_BK.png")));
        for (int y = 249; y <= 269; ++y) {
            for (int x = 34; x <= 134; ++x) {
                ASSERT_EQ(background.pixel(x, y), kKeyDialog) << language << " " << x << "," << y;
            }
        }
    }
}

// The windows copy pictures opaque, so a picture's flat margin must be the colour of what it is
// drawn on, or it shows as a box.
struct Overlay {
    Folder folder;
    std::string_view picture;
    std::string_view background;  // a picture of the same folder, or a resource path
    int x, y;                     // where the picture lies on the background
    int px, py;                   // a pixel of the picture's margin
};

constexpr Overlay kOverlays[] = {
    {Folder::Main, "button-help-normal.png", "main.png", 936, 5, 0, 0},
    {Folder::Main, "button-close-normal.png", "main.png", 978, 5, 16, 15},
    {Folder::Main, "logo.png", "main.png", 19, 35, 0, 67},
    {Folder::Main, "kb_BK.png", "main.png", 275, 85, 704, 449},
    {Folder::Main, "kb_hl_87.png", "main.png", 275, 85, 0, 0},
    {Folder::Main, "button-cancel-normal.png", "main.png", 800, 600, 0, 35},
    {Folder::Main, "Enable.png", "gamemode_open.png", 15, 33, 0, 0},
    {Folder::Main, "Disable.png", "LEDEffect_open.png", 9, 69, 10, 9},
    {Folder::Main, "resources/bitmaps/140.png", "LEDEffect_open.png", 9, 130, 0, 0},
    {Folder::Main, "resources/bitmaps/139.png", "reportrate_Open.png", 9, 23, 219, 16},
    {Folder::Main, "resources/bitmaps/139.png", "freq.png", 9, 58, 0, 16},
    {Folder::Custom, "Disable.png", "Custom_BK.png", 19, 251, 0, 0},
    {Folder::Custom, "Enable.png", "Macro_BK.png", 0, 36, 10, 9},
};

TEST_F(SkinGeneratorTest, FlatMarginsMatchWhatThePictureIsDrawnOn) {
    for (const std::string_view language : kLanguageFolders) {
        auto load = [&](Folder f, std::string_view name) {
            if (name.starts_with("resources/")) {
                return Load(root() / std::string(name));
            }
            return Load(PicturePath(root(), language, Entry(f, name)));
        };
        for (const Overlay& o : kOverlays) {
            SCOPED_TRACE(std::string(language) + " " + std::string(o.picture) + " on " +
                         std::string(o.background));
            const QImage picture = load(o.folder, o.picture);
            const QImage background = load(o.folder, o.background);
            ASSERT_FALSE(picture.isNull());
            ASSERT_FALSE(background.isNull());
            EXPECT_EQ(QColor(picture.pixel(o.px, o.py)).name().toStdString(),
                      QColor(background.pixel(o.x + o.px, o.y + o.py)).name().toStdString());
        }
    }
}

TEST_F(SkinGeneratorTest, MacroListsLookTransparentOverTheirPanelResource) {
    // Those lists draw resource 145 from (7,22) behind their lines; the dialog's own picture must
    // show the same pixels there.
    const QImage panel = Load(root() / "resources" / "bitmaps" / "145.png");
    for (const std::string_view language : kLanguageFolders) {
        const QImage dialog = Load(
            PicturePath(root(), language, Entry(Folder::MacroManagement, "MacroManagement.png")));
        for (const QPoint list : {QPoint(20, 80), QPoint(150, 80)}) {
            int differing = 0;
            for (int y = 0; y < 275; ++y) {
                for (int x = 0; x < 113; ++x) {
                    differing +=
                        dialog.pixel(list.x() + x, list.y() + y) != panel.pixel(7 + x, 22 + y);
                }
            }
            EXPECT_EQ(differing, 0) << language << " list at " << list.x();
        }
    }
}

TEST_F(SkinGeneratorTest, ResourcesAreWrittenAndListedInTheQrc) {
    const std::string qrc = ReadText(root() / "resources" / "tavrin_skin.qrc");
    for (const ResourceImage& resource : kResourceImages) {
        SCOPED_TRACE(std::string(resource.path));
        const QImage picture = Load(root() / "resources" / std::string(resource.path));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), QSize(resource.width, resource.height));
        EXPECT_NE(qrc.find("<file>" + std::string(resource.path) + "</file>"), std::string::npos);
    }
}

TEST_F(SkinGeneratorTest, BuiltInResourcesAreCompiledIntoTheProgram) {
    for (const ResourceImage& resource : kResourceImages) {
        const QString path =
            QStringLiteral(":/") +
            QString::fromLatin1(resource.path.data(), qsizetype(resource.path.size()));
        SCOPED_TRACE(path.toStdString());
        const QImage picture(path);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), QSize(resource.width, resource.height));
    }
}

TEST(SkinGeneratorErrors, AnUnwritableOutputFailsWithAMessage) {
    test::TempDir dir;
    // A plain file where the program directory should be: nothing can be created below it.
    test::WriteWholeFile(dir / "blocked", {1, 2, 3});
    const int status = RunGenerator(dir / "blocked", dir / "log");
    EXPECT_EQ(status, 1);
    EXPECT_NE(ReadText(dir / "log").find("tavrin-skin: could not create"), std::string::npos);
}

TEST(SkinGeneratorErrors, AMissingArgumentShowsTheUsage) {
    test::TempDir dir;
    const std::string command =
        std::string("'") + TAVRIN_SKIN_EXE + "' >'" + (dir / "log").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(ReadText(dir / "log").find("usage: tavrin-skin OUTPUT_DIR"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::skin
