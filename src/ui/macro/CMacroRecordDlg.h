#pragma once

// The macro manager: the modal dialog in which the user creates, names, records, edits and
// deletes the five macros. It works on its own copy of the macro store; OK copies it back into
// the model, Cancel drops every change. One instance lives for the whole run, and every showing
// starts afresh from the model (the opening steps run when the dialog becomes visible; hiding it
// removes the key hook and stops the name timer).
//
// The dialog is split by concern: CMacroRecordDlg.cpp opens, paints and takes the clicks,
// CMacroRecordDlgRecording.cpp records through the key hook, CMacroRecordDlgMenu.cpp holds the
// event list's context menu.

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device/MessageTarget.h"
#include "model/MacroSequence.h"
#include "model/MacroTable.h"
#include "ui/controls/SkinSurface.h"
#include "ui/controls/SkinText.h"

class QLineEdit;
class QMenu;

namespace tavrin {

class CTransparentListBox;
class KeyHook;
class MacroClock;
class Prompts;
class SkinLookup;
struct Model;

class CMacroRecordDlg : public QDialog, public MessageTarget, public SkinSurface {
    Q_OBJECT

public:
    // The seven skin buttons, in hit-test order.
    enum ButtonIndex {
        kRecordButton = 0,
        kRecordDelayTick = 1,
        kLoopTick = 2,
        kNewButton = 3,
        kDeleteButton = 4,
        kOkButton = 5,
        kCancelButton = 6,
    };
    static constexpr int kButtonCount = 7;

    struct SkinButtonRow {
        int left, top, right, bottom;  // inclusive
        const char* normal;
        const char* hover;
        const char* pressed;  // named by the skin, never drawn
        QRect rect() const { return QRect(QPoint(left, top), QPoint(right, bottom)); }
    };
    static const std::array<SkinButtonRow, kButtonCount> kButtonTable;

    // The commands of the event list's context menu.
    enum Command {
        kInsertBefore = 32790,
        kInsertAfter = 32791,
        kInsertDelay = 32793,
        kLeftDown = 32800,
        kLeftUp = 32801,
        kLeftClick = 32802,
        kRightDown = 32804,
        kRightUp = 32806,
        kRightClick = 32807,
        kMiddleDown = 32811,
        kMiddleUp = 32812,
        kMiddleClick = 32813,
        kDeleteEvent = 32815,
    };

    static constexpr int kNameTimerInterval = 1000;  // ms
    static constexpr int kLoopsMaxLength = 3;
    // Free recording takes presses only below this byte offset of the edit buffers (46 events).
    static constexpr unsigned kPressLimit = 184;
    // The record offset is 8 bits wide: 64 events. Recording stops itself at the end.
    static constexpr unsigned kRecordOffsetRange = 256;
    static constexpr int kHookModeRecord = 1;
    static constexpr QSize kFallbackSize{412, 436};  // "MacroManagement.png"

    CMacroRecordDlg(Model& model, KeyHook& hook, Prompts& prompts, MacroClock& clock,
                    SkinLookup& skins, QWidget* parent = nullptr);
    ~CMacroRecordDlg() override;

    // WM_HOOK_KEY from the key hook, WM_LIST_EDIT_BEGIN and WM_LIST_EDIT_END from the lists.
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // A click on skin button `index` (what a left-button release over it does).
    void clickButton(int index);
    // A command of the context menu.
    void OnCommand(int command);
    // The context menu with its texts in the interface language; each action's data is its
    // command.
    std::unique_ptr<QMenu> buildContextMenu();

    // The dialog's surface as the full paint composes it.
    QImage composeSurface();
    // Index of the first skin button whose rectangle holds `point`, or -1.
    static int hitTest(QPoint point);

    CTransparentListBox* eventList() const { return eventList_; }
    CTransparentListBox* macroList() const { return macroList_; }
    QLineEdit* loopsEdit() const { return loopsEdit_; }
    const MacroTable& workingMacroTable() const { return workingMacroTable_; }
    bool hookInstalled() const { return hookInstalled_; }
    bool recordButtonState() const { return recordButtonState_; }
    bool insertMode() const { return insertMode_; }
    int insertLine() const { return insertLine_; }
    bool recordDelay() const { return recordDelay_; }
    bool loopsOn() const { return loopsOn_; }
    unsigned recordOffset() const { return recordOffset_; }
    int buttonState(int index) const { return buttonStates_[static_cast<std::size_t>(index)]; }
    bool nameTimerActive() const { return nameTimer_.isActive(); }

    // The skin buttons as regions, by their index.
    QWidget* surfaceWidget() override { return this; }
    std::vector<int> regionChildren(int parent) const override;
    int regionParent(int) const override { return kTopLevel; }
    SkinRegionInfo regionInfo(int id) const override;
    void activateRegion(int id) override { clickButton(id); }
    std::vector<SkinStop> focusStops() const override;
    int focusedRegion() const override { return focusedRegion_; }
    // The texts the last composition drew.
    const std::vector<DrawnText>& drawnTexts() const { return drawnTexts_.all(); }

public slots:
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Opening and closing.
    void OnInitDialog();
    void OnDestroy();
    void loadImages();
    QImage image(const char* name) const;

    // The macros and their lines.
    int selectedMacro() const;
    void loadSelectedMacro();
    void saveEditBuffers();
    void fillEventList();
    void storeName(std::size_t slot, const QString& text);
    void copyNamesFromList();
    void setLoopsText(const QString& text);
    void loopsChanged();
    std::int32_t loopsValue() const;
    void syncLoopsEdit();
    void onMacroSelectionChanged();
    void newMacro();
    void deleteMacro();
    void ok();
    void delayEdited(std::uintptr_t line, std::intptr_t delay);

    // Recording.
    void startStopRecording();
    void endHook();
    void endFreeRecording();
    void onHookKey(std::uintptr_t vk, bool release);
    void insertKeystroke(std::uint8_t vk, bool release);
    void recordKeystroke(std::uint8_t vk, bool release);
    std::uint16_t takeDelay();
    void InsertMacroToList(std::uint8_t vk, bool release, std::uint16_t ms);

    // The context menu.
    void showContextMenu(QPoint globalPosition);
    void insertHere(bool after);
    void insertMouseKey(std::uint8_t code, int kind);
    bool isDelayLine(int line) const;

    // Hover and drag.
    void hoverOver(int index);

    // A message with OK only.
    void prompt(const QString& text, const QString& caption);

    Model& model_;
    KeyHook& hook_;
    Prompts& prompts_;
    MacroClock& clock_;
    SkinLookup& skins_;

    CTransparentListBox* eventList_;
    CTransparentListBox* macroList_;
    QLineEdit* loopsEdit_;
    QTimer nameTimer_;

    MacroTable workingMacroTable_;
    MacroSequence editBuffers_;
    bool chinese_ = false;  // the Chinese skin places some texts differently
    QImage background_;
    qreal imagesRatio_ = 1.0;  // the device pixel ratio the pictures were decoded for
    std::array<QImage, kButtonCount> normalImages_;
    std::array<QImage, kButtonCount> hoverImages_;
    std::array<int, kButtonCount> buttonStates_{};
    int lastHit_ = -1;
    bool dragging_ = false;
    QPoint dragStartPointer_;
    QPoint dragStartWindow_;

    bool hookInstalled_ = false;
    bool recordButtonState_ = false;
    bool insertMode_ = false;
    int insertLine_ = 0;
    bool recordDelay_ = false;
    bool loopsOn_ = false;
    unsigned recordOffset_ = 0;
    std::u16string lastLineText_;
    double lastEventTime_ = 0;

    int focusedRegion_ = -1;  // while the dialog itself has the focus
    bool ringShown_ = false;
    DrawnTexts drawnTexts_;
    void drawText(QPainter& painter, int x, int y, int right, const QString& text, int height = 15);
};

}  // namespace tavrin
