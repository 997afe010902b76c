#pragma once

// The key assignment dialog: what one key does. Four tabs (a key or a combination captured
// through the key hook, a macro, a function of the catalogue, a launch action), the Disable tick
// box, and Default, Cancel and Save. The choice is left in Model::pending; the caller applies it
// after an accepted run. One instance serves the whole run; each opening starts afresh.

#include <QDialog>
#include <QImage>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "device/MessageTarget.h"
#include "model/FileChooser.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "model/Prompts.h"
#include "platform/qt/KeyHook.h"
#include "ui/controls/SkinSurface.h"
#include "ui/controls/SkinText.h"
#include "ui/keymap/KeyMapButtons.h"
#include "ui/keymap/LaunchPanel.h"

class QLineEdit;
class QListWidget;

namespace tavrin {

class VividTree;

class CKeyMap : public QDialog, public MessageTarget, public KeyCaptureGate, public SkinSurface {
    Q_OBJECT

public:
    enum Tab { SingleCombineTab = 0, MacroTab = 1, BasicTab = 2, AdvanceTab = 3 };

    // Control numbers of the dialog's two edits.
    static constexpr int kCombinationEditId = 1012;
    static constexpr int kSingleKeyEditId = 1013;
    // Marks the function tree's group items (Media, Shortcut, Windows).
    static constexpr int kGroupItemRole = Qt::UserRole + 1;

    CKeyMap(Model& model, SkinLookup& skins, KeyHook& hook, Prompts& prompts, FileChooser& chooser,
            QWidget* parent = nullptr);
    ~CKeyMap() override;

    // The factory virtual-key code of the key being assigned, named in the title line.
    void setSelectedKeyVk(std::uint8_t vk) { selectedKeyVk_ = vk; }

    // Initialises the dialog for model.selectedKey (a position with a matrix place) and runs it
    // modally: QDialog::Accepted for OK, QDialog::Rejected otherwise.
    int runModal();

    // The opening steps alone, for a caller that shows the dialog itself.
    void initialise();

    // WM_HOOK_KEY from the key hook: a captured key.
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The picture the dialog shows, its controls not included.
    QImage composed();

    int activeTab() const { return activeTab_; }
    bool hookActive() const { return hookActive_; }
    bool keysRestored() const { return keysRestored_; }
    const KeyMapButtons& buttons() const { return buttons_; }
    const LaunchPanel& launchPanel() const { return launchPanel_; }
    VividTree* tree() const { return tree_; }
    QLineEdit* singleKeyEdit() const { return singleKeyEdit_; }
    QLineEdit* combinationEdit() const { return combinationEdit_; }
    QListWidget* macroList() const { return macroList_; }

    void done(int result) override;

    // Whether the capture field that has the focus at opening takes keys at once: so when the
    // dialog was opened with the pointer. Opened from the keyboard, a field takes keys once Enter
    // or Space sets it to (the keys that move and press work until then).
    void setCaptureAtOpening(bool capture) { captureAtOpening_ = capture; }
    // A capture field has the focus and is set to take keys: the key hook takes every key.
    bool capturesKeys() const override;

    // The regions: buttons 0 to 9 by their numbers (the band 5 is none), the launch panel's
    // radio marks and browse buttons from kLaunchRadio and kLaunchBrowse.
    static constexpr int kLaunchRadio = 20;
    static constexpr int kLaunchBrowse = 30;
    QWidget* surfaceWidget() override { return this; }
    std::vector<int> regionChildren(int parent) const override;
    int regionParent(int) const override { return kTopLevel; }
    SkinRegionInfo regionInfo(int id) const override;
    void activateRegion(int id) override;
    std::vector<SkinStop> focusStops() const override;
    int focusedRegion() const override { return focusedRegion_; }
    // The texts the last composition drew.
    const std::vector<DrawnText>& drawnTexts() const { return drawnTexts_.all(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Opening.
    void placeControls();
    void buildTree();
    void fillMacroList();
    void restoreAssignment();

    // Painting (CKeyMapPaint.cpp).
    QImage image(const char16_t* name);
    void composeFull(QPainter& painter);
    void drawTabStripAndPanel(QPainter& painter);
    void drawButton(QPainter& painter, std::size_t index);
    void showTabControls();

    // Actions (CKeyMapActions.cpp).
    void clickButton(std::uint8_t button);
    void clickTab(int tab);
    void save();
    void capture(std::uint8_t vk);
    void editFocused(int controlId);
    void hover(QPoint position);
    std::uint8_t keyEnabledByTick() const;
    AssignmentRecord record();

    Model& model_;
    SkinLookup& skins_;
    KeyHook& hook_;
    Prompts& prompts_;
    LaunchPanel launchPanel_;

    std::filesystem::path imageFolder_;
    std::map<std::u16string, QImage> images_;
    qreal imagesRatio_ = 1.0;  // the device pixel ratio images_ were decoded for
    QImage background_;
    KeyMapButtons buttons_;
    int activeTab_ = SingleCombineTab;
    bool hookActive_ = false;
    bool keysRestored_ = false;
    std::uint8_t selectedKeyVk_ = 0;
    std::uint8_t hoverHit_ = KeyMapButtons::kNone;
    std::optional<int> browseHover_;
    std::optional<QPoint> dragStart_;  // where a press off the buttons began
    bool dragging_ = false;
    bool closing_ = false;
    bool awaitingShowFocus_ = false;  // an edit was focused at opening, before the window shows

    // Keyboard operation.
    bool captureAtOpening_ = true;
    bool captureArmed_ = false;     // the focused capture field takes keys
    bool armedByKeyboard_ = false;  // ... until one key, or one combination, is taken
    int focusedRegion_ = -1;        // while the dialog itself has the focus
    bool tabbing_ = false;          // Tab or Shift+Tab moves the focus now
    bool ringShown_ = false;
    DrawnTexts drawnTexts_;
    void drawCaption(QPainter& painter, int x, int y, int right, const QString& text,
                     const QColor& colour);
    bool isCaptureField(const QObject* object) const;

    VividTree* tree_;
    QLineEdit* singleKeyEdit_;
    QLineEdit* combinationEdit_;
    QListWidget* macroList_;
};

}  // namespace tavrin
