#pragma once

// The profile manager: the modal dialog in which the user keeps up to six profiles in the
// "Configure" folder, switches between them, creates, copies, renames, deletes, exports and
// imports them. Choosing a profile (the close button) loads it into the model only; the keyboard
// receives it with the main window's Save. One instance lives for the whole run, and every
// showing lists the folder afresh.

#include <QDialog>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "device/MessageTarget.h"
#include "model/ProfileFolder.h"
#include "ui/controls/SkinSurface.h"
#include "ui/controls/SkinText.h"

class QMenu;

namespace tavrin {

class CTransparentListBox;
class FileChooser;
class Prompts;
class SettingsStore;
class SkinLookup;
struct Model;

class CConfigureDlg : public QDialog, public MessageTarget, public SkinSurface {
    Q_OBJECT

public:
    // The commands of the list's context menu (menu 143).
    enum Command {
        kNewCommand = 32785,
        kCopyCommand = 32817,
        kSaveCommand = 32786,
        kLoadCommand = 32787,
        kDeleteCommand = 32788,
        kEditRulesCommand = 32820,  // the automatic profiles' rules, after a separator
    };

    // What a left click at a point of the window hits.
    enum class Area { None, Close, New, Delete };

    static constexpr int kListControlId = 1016;
    static constexpr QRect kListRect{1, 34, 260, 540};
    static constexpr QRect kCloseArea{QPoint(248, 11), QPoint(262, 24)};
    static constexpr QRect kNewArea{QPoint(14, 576), QPoint(79, 624)};
    static constexpr QRect kDeleteArea{QPoint(184, 576), QPoint(249, 624)};
    static constexpr QPoint kCloseImageAt{247, 10};
    static constexpr QPoint kNewImageAt{13, 575};
    static constexpr QPoint kDeleteImageAt{183, 575};
    static constexpr QSize kFallbackSize{264, 632};  // "Config.png"
    static constexpr int kListFontHeight = 15;

    // The rename's pauses, which let the file system settle between its steps.
    static constexpr int kRenameAfterCopyWait = 100;
    static constexpr int kRenameBeforeRefreshWait = 200;
    static constexpr int kRenameAfterRefreshWait = 300;

    // Blocks for the given milliseconds; tests replace it.
    // A pause that does not block: `then` runs once it is over.
    using Wait = std::function<void(int milliseconds, std::function<void()> then)>;

    // `programDir` holds the "Configure" folder and is where the file choosers start.
    CConfigureDlg(Model& model, SettingsStore& settings, Prompts& prompts, FileChooser& chooser,
                  SkinLookup& skins, std::filesystem::path programDir, QWidget* parent = nullptr);
    ~CConfigureDlg() override;

    // The main window's screen rectangle: the dialog opens one pixel left of and above it.
    void setMainWindowRect(const QRect& rect) { mainWindowRect_ = rect; }
    void setWait(Wait wait) { wait_ = std::move(wait); }
    // Opens the rules of automatic profiles over `parent` (this dialog). Without it the menu's
    // "Edit rules..." is disabled.
    using EditRules = std::function<void(QWidget* parent)>;
    void setEditRules(EditRules editRules) { editRules_ = std::move(editRules); }

    // WM_LIST_EDIT_END from the list: the rename of line wParam, whose text is now line lParam.
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // A command of the context menu.
    void OnCommand(int command);
    // The context menu with its five texts in the interface language, then "Edit rules..."; each
    // action's data is its command.
    std::unique_ptr<QMenu> buildContextMenu();

    // The close button: applies the selected profile and closes with OK; without a selection it
    // closes with Cancel.
    void closeButton();

    static Area hitTest(QPoint point);
    // The dialog's surface as the full paint composes it.
    QImage composeSurface() const;

    // The close, New and Delete buttons as regions, by their Area.
    QWidget* surfaceWidget() override { return this; }
    std::vector<int> regionChildren(int parent) const override;
    int regionParent(int) const override { return kTopLevel; }
    SkinRegionInfo regionInfo(int id) const override;
    void activateRegion(int id) override;
    std::vector<SkinStop> focusStops() const override;
    int focusedRegion() const override { return focusedRegion_; }
    // The texts the last composition drew.
    const std::vector<DrawnText>& drawnTexts() const { return drawnTexts_.all(); }

    CTransparentListBox* profileList() const { return list_; }
    const ProfileFolder& folder() const { return folder_; }

public slots:
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void OnInitDialog();
    QImage image(const char* name) const;
    // Decodes the pictures for the window's device pixel ratio.
    void loadImages();
    void fillList(std::optional<std::size_t> select = std::nullopt);
    std::optional<std::size_t> selectedLine() const;

    void newProfile();
    void copyProfile();
    void saveProfile();
    void loadProfile();
    void deleteProfile();
    void rename(std::uintptr_t line, std::intptr_t newIndex);
    void showContextMenu(QPoint globalPosition);

    // The caption of the dialog's message boxes.
    std::u16string caption() const;
    // A message with OK and the dialog's caption.
    void message(const std::u16string& text);
    void message(const QString& text);
    void reportFailure(const ProfileResult& result);

    Model& model_;
    SettingsStore& settings_;
    Prompts& prompts_;
    FileChooser& chooser_;
    SkinLookup& skins_;
    std::filesystem::path programDir_;
    ProfileFolder folder_;
    Wait wait_;
    EditRules editRules_;

    CTransparentListBox* list_;
    QRect mainWindowRect_;
    QImage background_;
    qreal imagesRatio_ = 1.0;  // the device pixel ratio the pictures were decoded for
    QImage closeImage_;
    QImage newImage_;
    QImage deleteImage_;
    int focusedRegion_ = -1;  // while the dialog itself has the focus
    bool ringShown_ = false;
    // Drawn in a const composition: what it drew is a record, not the dialog's state.
    mutable DrawnTexts drawnTexts_;
};

}  // namespace tavrin
