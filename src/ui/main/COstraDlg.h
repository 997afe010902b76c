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

// The maker's home page, shown in the help pop-up and opened from it.
inline constexpr const char* kHomePageAddress = "https://www.tavrin-gaming.com";

class COstraDlg : public QWidget, public MessageTarget {
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

    void drawImage(QPainter& p, const QString& name, int x, int y);
    void drawText(QPainter& p, const QString& text, int x, int y, int height,
                  QRgb colour = 0xFFFFFFFF);

    void drawKeyboardOverlays(QPainter& p);
    void copyHighlight(QPainter& p, std::size_t position);
    void paintBusy(QPainter& p);

private:
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
};

}  // namespace tavrin
