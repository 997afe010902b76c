#pragma once

// The main window: a borderless surface composed from skin images and text, with the keyboard
// picture, the collapsible left panel and the command buttons.

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "device/MessageTarget.h"
#include "model/LocalFiles.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "ui/controls/SkinSurface.h"
#include "ui/controls/SkinText.h"
#include "ui/main/MainLayout.h"
#include "ui/main/MainWindowState.h"
#include "ui/main/SkinImages.h"

namespace tavrin {

class CBitSlider;

// Control ids of the bitmap sliders.
inline constexpr int kSpeedSliderId = 1007;
inline constexpr int kReportSliderId = 1010;
inline constexpr int kBrightnessSliderId = 1017;
inline constexpr int kHiddenSlider1018 = 1018;
inline constexpr int kHiddenSlider1019 = 1019;

// The maker's home page, opened from the help pop-up; the pop-up shows it without its scheme,
// which would not fit there.
inline constexpr const char* kHomePageAddress = "https://www.tavrin-gaming.com";
inline constexpr const char* kHomePageShown = "www.tavrin-gaming.com";

class COstraDlg : public QWidget, public MessageTarget, public SkinSurface {
    Q_OBJECT

public:
    COstraDlg(Model& model, ProgramPaths paths, QWidget* parent = nullptr);
    ~COstraDlg() override;

    Model& model() { return model_; }
    MainWindowState& state() { return state_; }
    const ProgramPaths& paths() const { return paths_; }

    // Composes the whole surface and shows it.
    void paintAll();
    // The last composed surface, as it is on screen.
    const QImage& composedImage() const { return surface_; }

    std::optional<Region> hitRegion(int x, int y) const;
    // KeyPosition under the point, or 255. The Keymap view cannot pick Win (96) and Fn (100).
    std::uint8_t hitKey(int x, int y) const;

    CBitSlider* slider(int controlId) const;
    // Minimise hides the window when a notification icon can bring it back, else iconifies it.
    void setMinimiseHides(bool hides) { minimiseHides_ = hides; }
    void hideAsMinimise();

    // The brightness, speed and report-rate sliders from the model.
    void setSliderPositions();
    // The panel's rules on the model after it changed (a click, a read, a revert): a colour the
    // open lighting panel cannot show is normalised.
    void applyModelRules();

    // Messages from the controls (WM_SLIDER_MOVED).
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The regions as the keyboard focus and assistive technologies see them. Ids: the Region
    // numbers, then the ones below.
    static constexpr int kKeyboardPicture = 40;  // holds the keys
    static constexpr int kHelpHomePage = 41;     // the help pop-up's rows
    static constexpr int kHelpUpdate = 42;
    static constexpr int kHelpVersion = 43;
    static constexpr int kFirstEffectRow = 100;    // 18 rows, in the effect box
    static constexpr int kFirstResponseRow = 130;  // 10 rows, in the response box
    static constexpr int kFirstKey = 200;          // + KeyPosition, in the keyboard picture
    QWidget* surfaceWidget() override { return this; }
    std::vector<int> regionChildren(int parent) const override;
    int regionParent(int id) const override;
    SkinRegionInfo regionInfo(int id) const override;
    void activateRegion(int id) override;
    std::vector<SkinStop> focusStops() const override;
    int focusedRegion() const override;
    // The key the arrows move on the keyboard picture.
    std::uint8_t focusedKey() const { return focusedKey_; }
    // Whether the last key or region pressed was pressed with the pointer (a click), rather than
    // with the keyboard or by an assistive technology.
    bool lastPressByPointer() const { return lastPressByPointer_; }
    // A key's meaning, as its description tells it: "Esc", "Macro 2", "Launch: /usr/bin/obs".
    QString keyMeaning(std::uint8_t position) const;
    // The texts the last composition drew, with their boxes.
    const std::vector<DrawnText>& drawnTexts() const { return drawnTexts_.all(); }

    // How often a press on bare background followed by a move started a system move.
    int dragStarts() const { return dragStarts_; }

    // The click dispatcher's branches.
    void onRegionClicked(Region region);
    // SelectedKey := the key under the point; in the Keymap view the key assignment dialog runs
    // for it, in the DIY view its light in the current DIY layer is switched.
    void clickKey(int x, int y);
    void effectListClick(int x, int y);
    void responseListClick(int x, int y);
    void helpClick(int x, int y);
    void closeProgram();
    // The write of "keymap.bin" that Close made.
    const WriteResult& lastWrite() const { return lastWrite_; }

    // The key assignment dialog for model().selectedKey, run modally; it applies and stores its
    // choice itself (OpenKeyAssignment). Without one a Keymap-view click only selects the key.
    void setKeyAssignmentDialog(std::function<void()> run) {
        keyAssignmentDialog_ = std::move(run);
    }

    // While a long keyboard sequence runs: the wait cursor, a progress bar with `what` beside it,
    // every click, move and key ignored; painting goes on.
    void setBusy(bool busy, const QString& what = {});
    // A line that tells what waits for the user (empty: none); the window takes input as usual.
    void setNotice(const QString& notice) {
        notice_ = notice;
        paintAll();
    }
    const QString& notice() const { return notice_; }
    bool busy() const { return busy_; }

signals:
    // Commands that need the application's services: Profile, Macro Management, Return, Cancel,
    // Save.
    void commandRequested(tavrin::Region region);
    void homePageRequested();
    void updaterRequested();
    // Close was clicked: "keymap.bin" already holds the saved state.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

    void drawImage(QPainter& p, const QString& name, int x, int y);
    // The text with its top-left at (x, y), in a box that reaches to `right` (included); cut
    // with "…" where it is wider.
    void drawText(QPainter& p, const QString& text, int x, int y, int height, int right,
                  QRgb colour = 0xFFFFFFFF);

    void drawKeyboardOverlays(QPainter& p);
    void copyHighlight(QPainter& p, std::size_t position);
    void paintBusy(QPainter& p);

private:
    // Keyboard operation (COstraDlgFocus.cpp).
    bool handleFocusKey(QKeyEvent* event);
    void moveFocusTo(const SkinStop& stop);
    void setFocusedRegion(int id);
    void moveInList(int step);
    void moveOnKeyboard(int dx, int dy);
    void closeListsAndHelp();
    void paintFocusRing(QPainter& p);
    void activateKey(std::uint8_t key);
    void chooseEffectRow(std::uint8_t row);
    void chooseResponseRow(std::uint8_t row);
    void helpRow(int row);
    void afterInput();

    void composeSurface();
    // main.png with the logo and the keyboard picture of the current layout drawn on it.
    const QImage& background();
    // Decodes the pictures again when the window's screen has another device pixel ratio.
    void followScreenRatio();
    void startSurfaceFrom(const QImage& base);
    void paintPanel(QPainter& p);
    void paintLists(QPainter& p, const SectionLayout& layout);
    void paintHelp(QPainter& p);
    void paintSlider(QPainter& p, CBitSlider& slider);
    void onSliderMoved(int controlId);
    void createSliders();

    Model& model_;
    ProgramPaths paths_;
    SkinLookup lookup_;
    SkinImages images_;
    MainWindowState state_;
    QImage surface_;
    QImage filledTrack_;  // bitmap 140
    QImage emptyTrack_;   // bitmap 139
    qreal tracksRatio_ = 0;
    QImage background_;
    bool backgroundFullSize_ = true;
    std::array<CBitSlider*, 5> sliders_{};
    std::array<int, 3> lastSliderPosition_{};  // speed, brightness, report rate
    int reportSliderPlacedFor_ = -1;           // yU the report slider was last moved for
    int dragStarts_ = 0;
    // Where the pointer holds the window while it moves it itself: the window system had no move
    // of its own to start (no window manager, or one without that request).
    std::optional<QPoint> heldAt_;
    bool minimiseHides_ = true;
    WriteResult lastWrite_;
    std::function<void()> keyAssignmentDialog_;
    bool busy_ = false;
    QString busyText_;
    QString notice_;
    QImage busyBase_;
    int busyFrame_ = 0;
    QTimer busyTimer_;
    int focusedRegion_ = -1;  // while the window itself has the keyboard focus
    std::uint8_t focusedKey_ = 0;
    bool ringShown_ = false;  // the focus came by the keyboard: the ring shows where it is
    bool lastPressByPointer_ = true;
    DrawnTexts drawnTexts_;
};

}  // namespace tavrin
