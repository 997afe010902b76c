// Runs tavrin-skin into a temporary program directory and checks the pictures, and their twins
// drawn at scale 2, against the layout of the windows that draw them.

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

// Every picture is drawn at scale 1 and, as its name@2x.png twin, at scale 2. Checks that hold
// for both are written in logical pixels.
constexpr std::array<int, 2> kScales = {1, 2};

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

fs::path Twin(const fs::path& path) {
    return path.parent_path() / HighDensityName(path.filename().string());
}

// The picture at scale 1 or its twin at scale 2.
QImage LoadAt(const fs::path& path, int scale) {
    return Load(scale == 1 ? path : Twin(path));
}

// The colour of logical pixel (x, y): its scale x scale device pixels when they are all alike,
// otherwise 0, which no opaque colour equals.
QRgb LogicalPixel(const QImage& image, int scale, int x, int y) {
    const QRgb first = image.pixel(x * scale, y * scale);
    for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) {
            if (image.pixel(x * scale + dx, y * scale + dy) != first) {
                return 0;
            }
        }
    }
    return first;
}

// Every bitmap resource has its twin; the icons come in their own sizes.
bool HasTwin(const ResourceImage& resource) {
    return !resource.path.starts_with("icons/");
}

std::string Colour(QRgb rgb) {
    return rgb == 0 ? std::string("mixed") : QColor(rgb).name().toStdString();
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
    for (const int s : kScales) {
        for (const std::string_view language : kLanguageFolders) {
            SCOPED_TRACE(std::string(language) + " at scale " + std::to_string(s));
            const fs::path folder = root() / "png" / std::string(language);
            const QImage plain = LoadAt(folder / c.plain, s).convertToFormat(QImage::Format_RGB32);
            const QImage lit =
                LoadAt(folder / c.highlighted, s).convertToFormat(QImage::Format_RGB32);
            ASSERT_FALSE(plain.isNull());
            ASSERT_EQ(plain.size(), lit.size());
            // Key rectangles are logical pixels.
            const int width = plain.width() / s;
            const int height = plain.height() / s;

            std::vector<bool> onKey(std::size_t(width * height), false);
            std::vector<bool> copied(onKey.size(), false);
            for (const KeyRect& r : *c.rects) {
                if (r.isEmpty()) {
                    continue;
                }
                ASSERT_LT(r.right, width);
                ASSERT_LT(r.bottom, height);
                for (int y = r.top; y <= r.bottom; ++y) {
                    for (int x = r.left; x <= r.right; ++x) {
                        onKey[std::size_t(y * width + x)] = true;
                        // The window copies width right - left and height bottom - top.
                        copied[std::size_t(y * width + x)] = x < r.right && y < r.bottom;
                    }
                }
                // Inside the rectangle, clear of the caption: the cap's face.
                EXPECT_EQ(LogicalPixel(plain, s, r.right - 2, r.bottom - 2), kKeyCap)
                    << language << " key at " << r.left << "," << r.top;
                EXPECT_EQ(LogicalPixel(lit, s, r.right - 2, r.bottom - 2), kKeyCapHot)
                    << language << " key at " << r.left << "," << r.top;
                EXPECT_EQ(LogicalPixel(plain, s, r.right, r.bottom), kKeyEdge);
                // Across the cap's lower part, each on whole logical pixels: the edge ring, then
                // the face, or the highlight's ring just inside the edge.
                const struct {
                    int x;
                    QRgb plain;
                    QRgb lit;
                } across[] = {{r.left, kKeyEdge, kKeyEdge},
                              {r.left + 1, kKeyCap, kAccent},
                              {r.right - 1, kKeyCap, kAccent},
                              {r.right, kKeyEdge, kKeyEdge}};
                for (const auto& at : across) {
                    const int y = r.bottom - 2;
                    EXPECT_EQ(Colour(LogicalPixel(plain, s, at.x, y)), Colour(at.plain))
                        << "plain at " << at.x << "," << y;
                    EXPECT_EQ(Colour(LogicalPixel(lit, s, at.x, y)), Colour(at.lit))
                        << "highlighted at " << at.x << "," << y;
                }
            }
            int stray = 0;
            int differing = 0;
            for (int y = 0; y < plain.height(); ++y) {
                for (int x = 0; x < plain.width(); ++x) {
                    const std::size_t i = std::size_t((y / s) * width + x / s);
                    if (!onKey[i] && plain.pixel(x, y) == kKeyCap) {
                        ++stray;
                    }
                    if (!copied[i] && plain.pixel(x, y) != lit.pixel(x, y)) {
                        ++differing;
                    }
                }
            }
            EXPECT_EQ(stray, 0) << "cap-coloured pixels outside every key rectangle";
            // Copying the highlight rectangles over the plain picture must give whole caps, so
            // the two pictures may differ only where the window copies.
            EXPECT_EQ(differing, 0);
            // The picture's border is the card it is drawn on.
            for (const QPoint corner :
                 {QPoint(0, 0), QPoint(plain.width() - 1, 0), QPoint(0, plain.height() - 1),
                  QPoint(plain.width() - 1, plain.height() - 1)}) {
                EXPECT_EQ(plain.pixel(corner), kCard);
            }
        }
    }
}

TEST_P(KeyboardPictureTest, CaptionsStartAtTheirAnchors) {
    const KeyboardCase& c = GetParam();
    for (const int s : kScales) {
        SCOPED_TRACE("scale " + std::to_string(s));
        const QImage plain =
            LoadAt(root() / "png" / "english" / c.plain, s).convertToFormat(QImage::Format_RGB32);
        for (std::size_t i = 0; i < kPositionCount; ++i) {
            const KeyRect& r = (*c.rects)[i];
            if (r.isEmpty() || (*c.captions)[i].empty()) {
                continue;
            }
            // Anchors are window coordinates relative to (270,80); the picture starts at
            // (275,85).
            const int ax = (*c.anchors)[i].x - 5;
            const int ay = (*c.anchors)[i].y - 5;
            bool ink = false;
            for (int y = ay * s; y < (ay + 12) * s && !ink; ++y) {
                for (int x = ax * s; x < std::min(ax + 12, int(r.right)) * s && !ink; ++x) {
                    ink = qGray(plain.pixel(x, y)) > 110;
                }
            }
            EXPECT_TRUE(ink) << "no caption ink at the anchor of position " << i;
        }
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
    for (const int s : kScales) {
        for (const std::string_view language : kLanguageFolders) {
            const QImage background =
                LoadAt(PicturePath(root(), language, Entry(Folder::Custom, "Custom_BK.png")), s);
            for (int y = 249; y <= 269; ++y) {
                for (int x = 34; x <= 134; ++x) {
                    ASSERT_EQ(LogicalPixel(background, s, x, y), kKeyDialog)
                        << language << " scale " << s << " " << x << "," << y;
                }
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
    for (const int s : kScales) {
        for (const std::string_view language : kLanguageFolders) {
            auto load = [&](Folder f, std::string_view name) {
                if (name.starts_with("resources/")) {
                    return LoadAt(root() / std::string(name), s);
                }
                return LoadAt(PicturePath(root(), language, Entry(f, name)), s);
            };
            for (const Overlay& o : kOverlays) {
                SCOPED_TRACE(std::string(language) + " " + std::string(o.picture) + " on " +
                             std::string(o.background) + " at scale " + std::to_string(s));
                const QImage picture = load(o.folder, o.picture);
                const QImage background = load(o.folder, o.background);
                ASSERT_FALSE(picture.isNull());
                ASSERT_FALSE(background.isNull());
                const QRgb margin = LogicalPixel(picture, s, o.px, o.py);
                EXPECT_NE(margin, 0u) << "the margin is not flat";
                EXPECT_EQ(Colour(margin),
                          Colour(LogicalPixel(background, s, o.x + o.px, o.y + o.py)));
            }
        }
    }
}

TEST_F(SkinGeneratorTest, SpeedBackdropContinuesTheOpenLightBody) {
    // freq.png is drawn at (19,245) over the open Light body, which starts at (19,130): apart
    // from its own separator in row 287 - 245 it must show the body's pixels, or a seam shows.
    constexpr int kTop = 245 - 130;
    constexpr int kSeparatorRow = 287 - 245;
    for (const int s : kScales) {
        for (const std::string_view language : kLanguageFolders) {
            const QImage backdrop =
                LoadAt(PicturePath(root(), language, Entry(Folder::Main, "freq.png")), s);
            const QImage body =
                LoadAt(PicturePath(root(), language, Entry(Folder::Main, "LEDEffect_open.png")), s);
            ASSERT_EQ(backdrop.width(), body.width());
            ASSERT_GE(body.height(), backdrop.height() + kTop * s);
            int differing = 0;
            for (int y = 0; y < backdrop.height(); ++y) {
                if (y / s == kSeparatorRow) {
                    continue;
                }
                for (int x = 0; x < backdrop.width(); ++x) {
                    differing += backdrop.pixel(x, y) != body.pixel(x, kTop * s + y);
                }
            }
            EXPECT_EQ(differing, 0) << language << " scale " << s;
        }
    }
}

TEST_F(SkinGeneratorTest, MacroListsLookTransparentOverTheirPanelResource) {
    // Those lists draw resource 145 from (7,22) behind their lines; the dialog's own picture must
    // show the same pixels there.
    for (const int s : kScales) {
        const QImage panel = LoadAt(root() / "resources" / "bitmaps" / "145.png", s);
        for (const std::string_view language : kLanguageFolders) {
            const QImage dialog =
                LoadAt(PicturePath(root(), language,
                                   Entry(Folder::MacroManagement, "MacroManagement.png")),
                       s);
            for (const QPoint list : {QPoint(20, 80), QPoint(150, 80)}) {
                int differing = 0;
                for (int y = 0; y < 275 * s; ++y) {
                    for (int x = 0; x < 113 * s; ++x) {
                        differing += dialog.pixel(list.x() * s + x, list.y() * s + y) !=
                                     panel.pixel(7 * s + x, 22 * s + y);
                    }
                }
                EXPECT_EQ(differing, 0) << language << " list at " << list.x() << " scale " << s;
            }
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
        const std::string twin = "<file>" + HighDensityName(resource.path) + "</file>";
        EXPECT_EQ(qrc.find(twin) != std::string::npos, HasTwin(resource)) << twin;
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
        if (HasTwin(resource)) {
            const QImage twin(QStringLiteral(":/") +
                              QString::fromStdString(HighDensityName(resource.path)));
            ASSERT_FALSE(twin.isNull());
            EXPECT_EQ(twin.size(), QSize(2 * resource.width, 2 * resource.height));
        }
    }
}

TEST_F(SkinGeneratorTest, EveryPictureAndBitmapHasItsTwinAtTwiceTheSize) {
    std::vector<std::pair<fs::path, QSize>> expected;
    for (const std::string_view language : kLanguageFolders) {
        for (const SkinImage& image : kSkinImages) {
            expected.emplace_back(PicturePath(root(), language, image),
                                  QSize(image.width, image.height));
        }
    }
    for (const ResourceImage& resource : kResourceImages) {
        const fs::path path = root() / "resources" / std::string(resource.path);
        if (HasTwin(resource)) {
            expected.emplace_back(path, QSize(resource.width, resource.height));
        } else {
            EXPECT_FALSE(fs::exists(Twin(path))) << Twin(path);
        }
    }
    for (const auto& [path, size] : expected) {
        SCOPED_TRACE(Twin(path).string());
        const QImage twin = Load(Twin(path));
        ASSERT_FALSE(twin.isNull());
        EXPECT_EQ(twin.size(), 2 * size);
        EXPECT_FALSE(twin.hasAlphaChannel());
    }
}

// The twin compared with the picture: pixels that neither enlargement of the picture, nearest
// neighbour or smooth, explains (differing by more than kEnlargementTolerance in a channel), and
// the mean per-channel difference of the twin scaled down smoothly from the picture.
constexpr int kEnlargementTolerance = 4;

int ChannelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

QImage Enlarged(const QImage& picture, Qt::TransformationMode mode) {
    return picture.scaled(2 * picture.size(), Qt::IgnoreAspectRatio, mode);
}

double ShareNotEnlarged(const QImage& picture, const QImage& twin) {
    const QImage nearest = Enlarged(picture, Qt::FastTransformation);
    const QImage smooth = Enlarged(picture, Qt::SmoothTransformation);
    long fresh = 0;
    for (int y = 0; y < twin.height(); ++y) {
        for (int x = 0; x < twin.width(); ++x) {
            const QRgb p = twin.pixel(x, y);
            fresh += ChannelDistance(p, nearest.pixel(x, y)) > kEnlargementTolerance &&
                     ChannelDistance(p, smooth.pixel(x, y)) > kEnlargementTolerance;
        }
    }
    return double(fresh) / double(twin.width() * twin.height());
}

double MeanDifferenceScaledDown(const QImage& picture, const QImage& twin) {
    const QImage down =
        twin.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double sum = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb a = picture.pixel(x, y);
            const QRgb b = down.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
        }
    }
    return sum / (3.0 * picture.width() * picture.height());
}

QImage LoadRgb(const fs::path& path) {
    return Load(path).convertToFormat(QImage::Format_RGB32);
}

// Pictures with edges, curves and text; the picture's name in a language folder, or a resource.
constexpr std::string_view kDetailedPictures[] = {
    "main.png",
    "kb_BK.png",
    "Thumb.png",
    "button-help-normal.png",
    "logo.png",
    "Custom/view.png",
    "Config/New.png",
    "resources/bitmaps/141.png",
    "resources/bitmaps/137.png",
};

std::vector<fs::path> DetailedPicturePaths(const fs::path& root) {
    std::vector<fs::path> paths;
    for (const std::string_view name : kDetailedPictures) {
        if (name.starts_with("resources/")) {
            paths.push_back(root / std::string(name));
            continue;
        }
        for (const std::string_view language : kLanguageFolders) {
            paths.push_back(root / "png" / std::string(language) / std::string(name));
        }
    }
    return paths;
}

TEST_F(SkinGeneratorTest, TwinsAreDrawnAfreshNotEnlarged) {
    // Measured: 1.2 % of main.png's twin (mostly flat fills), 1.9 % of kb_BK, 4.5 % of New,
    // 8 to 10 % of logo and the help button, 20 % of the thumb and more of the browse button;
    // an enlarged picture has none.
    constexpr double kLeastFreshShare = 0.005;
    for (const fs::path& path : DetailedPicturePaths(root())) {
        SCOPED_TRACE(path.string());
        const QImage picture = LoadRgb(path);
        const QImage twin = LoadRgb(Twin(path));
        ASSERT_FALSE(picture.isNull());
        ASSERT_EQ(twin.size(), 2 * picture.size());
        EXPECT_GE(ShareNotEnlarged(picture, twin), kLeastFreshShare);
        // The measure tells an enlargement from a drawing.
        for (const auto mode : {Qt::FastTransformation, Qt::SmoothTransformation}) {
            EXPECT_LT(ShareNotEnlarged(picture, Enlarged(picture, mode)), kLeastFreshShare);
        }
    }
}

TEST_F(SkinGeneratorTest, TwinsShowTheSamePicture) {
    // Measured over every twin: at most 6.8 (the Chinese browse button's words), 4 to 5 for the
    // help button, below 1 for most. A wrong picture or a shift by one logical pixel gives 40 or
    // more.
    constexpr double kMostMeanDifference = 8.0;
    std::vector<fs::path> paths;
    for (const std::string_view language : kLanguageFolders) {
        for (const SkinImage& image : kSkinImages) {
            paths.push_back(PicturePath(root(), language, image));
        }
    }
    for (const ResourceImage& resource : kResourceImages) {
        if (HasTwin(resource)) {
            paths.push_back(root() / "resources" / std::string(resource.path));
        }
    }
    for (const fs::path& path : paths) {
        SCOPED_TRACE(path.string());
        const QImage picture = LoadRgb(path);
        const QImage twin = LoadRgb(Twin(path));
        ASSERT_EQ(twin.size(), 2 * picture.size());
        EXPECT_LE(MeanDifferenceScaledDown(picture, twin), kMostMeanDifference);
    }

    // The measure sees a twin that shows something else.
    const fs::path main = root() / "png" / "english";
    const QImage thumb = LoadRgb(main / "Thumb.png");
    const QImage thumbTwin = LoadRgb(main / "Thumb@2x.png");
    const struct {
        const char* what;
        QImage picture;
        QImage twin;
    } wrong[] = {
        {"another picture's twin", LoadRgb(main / "Disable.png"), LoadRgb(main / "Enable@2x.png")},
        {"shifted by a logical pixel", thumb,
         thumbTwin.copy(-2, 0, thumbTwin.width(), thumbTwin.height())},
    };
    for (const auto& w : wrong) {
        EXPECT_GT(MeanDifferenceScaledDown(w.picture, w.twin), kMostMeanDifference) << w.what;
    }
}

TEST_F(SkinGeneratorTest, PixelGridPicturesDoubleExactly) {
    // Drawn in whole pixels only (filled rectangles, the tree signs' frame), these twins are the
    // picture with every pixel doubled, up to the rounding of a gradient: a line half a logical
    // pixel off shows here.
    constexpr int kGradientRounding = 2;
    std::vector<fs::path> paths = {root() / "resources" / "bitmaps" / "133.png",
                                   root() / "resources" / "bitmaps" / "134.png"};
    for (const std::string_view language : kLanguageFolders) {
        for (const char* name : {"Custom/Macro_BK.png", "Custom/large_button.png",
                                 "Custom/single_combine_option.png"}) {
            paths.push_back(root() / "png" / std::string(language) / name);
        }
    }
    for (const fs::path& path : paths) {
        SCOPED_TRACE(path.string());
        const QImage picture = LoadRgb(path);
        const QImage twin = LoadRgb(Twin(path));
        ASSERT_EQ(twin.size(), 2 * picture.size());
        int worst = 0;
        for (int y = 0; y < twin.height(); ++y) {
            for (int x = 0; x < twin.width(); ++x) {
                worst =
                    std::max(worst, ChannelDistance(twin.pixel(x, y), picture.pixel(x / 2, y / 2)));
            }
        }
        EXPECT_LE(worst, kGradientRounding);
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
