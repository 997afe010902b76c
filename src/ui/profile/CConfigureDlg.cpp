#include "ui/profile/CConfigureDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>

#include "device/WindowMessages.h"
#include "model/FileChooser.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "model/Prompts.h"
#include "model/SettingsStore.h"
#include "model/Utf16Text.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/controls/ContextMenuFilter.h"
#include "ui/controls/DensePictures.h"
#include "ui/controls/SkinFont.h"
#include "ui/profile/LaunchActionsQuestion.h"

namespace tavrin {

namespace {

constexpr QPoint kTitleAt(10, 10);
constexpr int kTitleHeight = 15;
constexpr QPoint kNewTextAt(30, 578);
constexpr QPoint kDeleteTextAt(200, 578);
constexpr int kButtonTextHeight = 16;
const QColor kListText(255, 255, 255);
const QColor kListSelected(0, 255, 255);
const QColor kListShadow(0, 0, 0);
constexpr int kListShadowOffset = 2;

DrawnText DrawText(QPainter& painter, QPoint at, int right, const QString& text, int height) {
    return DrawSkinText(painter, text, QRect(at, QPoint(right, at.y() + height - 1)),
                        SkinFont(QStringLiteral("Arial"), height, QFont::Light), Qt::white);
}

}  // namespace

CConfigureDlg::CConfigureDlg(Model& model, SettingsStore& settings, Prompts& prompts,
                             FileChooser& chooser, SkinLookup& skins,
                             std::filesystem::path programDir, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      model_(model),
      settings_(settings),
      prompts_(prompts),
      chooser_(chooser),
      skins_(skins),
      programDir_(std::move(programDir)),
      folder_(programDir_),
      wait_([this](int ms, std::function<void()> then) {
          // The window thread never sleeps: the rest of the step runs when the pause is over.
          QTimer::singleShot(ms, this, std::move(then));
      }),
      list_(new CTransparentListBox(this)) {
    setObjectName(QStringLiteral("profileManager"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    list_->setObjectName(QStringLiteral("profileList"));
    list_->setProperty("controlId", kListControlId);
    list_->setGeometry(kListRect);
    list_->SetListFont(kListFontHeight, QStringLiteral("Arial"), kListText, kListSelected, true,
                       kListShadowOffset, kListShadow);
    list_->setEditMode(CTransparentListBox::TransparentRename);
    list_->setOwner(this);
    new ContextMenuFilter(list_->viewport(),
                          [this](QPoint globalPosition) { showContextMenu(globalPosition); });
    // Enter presses the focused button and never closes the dialog by itself; Escape cancels
    // it (keyPressEvent).
    InstallSkinAccessibility();
    list_->setAccessibleName(tr("Profile"));
    resize(kFallbackSize);
}

CConfigureDlg::~CConfigureDlg() = default;

// --- Opening -------------------------------------------------------------------------------

void CConfigureDlg::setVisible(bool visible) {
    if (visible && !isVisible()) {
        OnInitDialog();
    } else if (!visible && isVisible()) {
        list_->endEdit(false);
    }
    QDialog::setVisible(visible);
}

QImage CConfigureDlg::image(const char* name) const {
    return LoadSkinPicture(skins_, model_.skinFolder() / "Config", QString::fromLatin1(name),
                           imagesRatio_);
}

void CConfigureDlg::loadImages() {
    imagesRatio_ = SurfaceRatio(devicePixelRatioF());
    background_ = image("Config.png");
    closeImage_ = image("button-close-normal.png");
    newImage_ = image("New.png");
    deleteImage_ = image("Delete.png");
}

void CConfigureDlg::OnInitDialog() {
    setWindowTitle(tr("Profile"));
    loadImages();
    setFixedSize(background_.isNull() ? kFallbackSize : LogicalSize(background_));
    if (mainWindowRect_.isValid()) {
        move(mainWindowRect_.topLeft() - QPoint(1, 1));
    }
    list_->setGeometry(kListRect);
    // Taken again from the new picture under the list.
    list_->setEditMode(CTransparentListBox::TransparentRename);
    list_->endEdit(false);

    const ProfileFolderOpened opened = folder_.openFolder(settings_);
    fillList(opened.selected);
    if (opened.defaultProfile && opened.defaultProfile->outcome != LoadOutcome::Loaded &&
        opened.defaultProfile->outcome != LoadOutcome::Created) {
        // Something in the default profile's place could not be read: it is kept as it is.
        const std::string& why = opened.defaultProfile->error;
        message(tr("The default profile could not be created:\n").toStdU16String() +
                Utf16FromUtf8(std::u8string(why.begin(), why.end())));
    }
    list_->setFocus(Qt::OtherFocusReason);
    focusedRegion_ = -1;
    ringShown_ = false;
    update();
}

void CConfigureDlg::fillList(std::optional<std::size_t> select) {
    list_->endEdit(false);
    list_->clear();
    for (const ProfileEntry& entry : folder_.entries()) {
        list_->AddLine(ToQString(entry.name));
    }
    list_->setSelectedLine(select && *select < folder_.profileCount() ? static_cast<int>(*select)
                                                                      : -1);
    list_->RedrawList(true);
}

std::optional<std::size_t> CConfigureDlg::selectedLine() const {
    const int line = list_->selectedLine();
    if (line < 0 || static_cast<std::size_t>(line) >= folder_.profileCount()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(line);
}

// --- Painting and clicks -------------------------------------------------------------------

QImage CConfigureDlg::composeSurface() const {
    QImage surface = NewSurface(size(), imagesRatio_, QImage::Format_ARGB32_Premultiplied);
    surface.fill(QColor(21, 23, 26));
    QPainter p(&surface);
    p.drawImage(QPoint(0, 0), background_);
    drawnTexts_.clear();
    drawnTexts_.add(DrawText(p, kTitleAt, kCloseImageAt.x() - 2, tr("Profile"), kTitleHeight));
    p.drawImage(kCloseImageAt, closeImage_);
    p.drawImage(kNewImageAt, newImage_);
    drawnTexts_.add(DrawText(p, kNewTextAt, kNewArea.right() - 1, tr("New"), kButtonTextHeight));
    p.drawImage(kDeleteImageAt, deleteImage_);
    drawnTexts_.add(
        DrawText(p, kDeleteTextAt, kDeleteArea.right() - 1, tr("Delete"), kButtonTextHeight));
    if (ringShown_ && hasFocus() && focusedRegion_ >= 0) {
        PaintFocusRing(p, regionInfo(focusedRegion_).rect);
    }
    return surface;
}

void CConfigureDlg::paintEvent(QPaintEvent*) {
    if (SurfaceRatio(devicePixelRatioF()) != imagesRatio_) {
        loadImages();  // moved to a screen of another density
    }
    // Composed off screen and copied in one transfer, so nothing flickers.
    QPainter(this).drawImage(QPoint(0, 0), composeSurface());
    AnnounceChanges(*this);
}

CConfigureDlg::Area CConfigureDlg::hitTest(QPoint point) {
    if (kCloseArea.contains(point)) {
        return Area::Close;
    }
    if (kNewArea.contains(point)) {
        return Area::New;
    }
    if (kDeleteArea.contains(point)) {
        return Area::Delete;
    }
    return Area::None;
}

std::vector<int> CConfigureDlg::regionChildren(int parent) const {
    if (parent != kTopLevel) {
        return {};
    }
    return {static_cast<int>(Area::Close), static_cast<int>(Area::New),
            static_cast<int>(Area::Delete)};
}

SkinRegionInfo CConfigureDlg::regionInfo(int id) const {
    SkinRegionInfo info;
    info.role = QAccessible::PushButton;
    switch (static_cast<Area>(id)) {
        case Area::Close:
            // It applies the selected profile as it closes.
            info.rect = kCloseArea;
            info.name = tr("Close");
            info.description = tr("Applies the selected profile");
            break;
        case Area::New:
            info.rect = kNewArea;
            info.name = tr("New");
            break;
        case Area::Delete:
            info.rect = kDeleteArea;
            info.name = tr("Delete");
            break;
        case Area::None:
            info.shown = false;
            break;
    }
    return info;
}

void CConfigureDlg::activateRegion(int id) {
    switch (static_cast<Area>(id)) {
        case Area::Close:
            closeButton();
            break;
        case Area::New:
            newProfile();
            break;
        case Area::Delete:
            deleteProfile();
            break;
        case Area::None:
            break;
    }
    update();
}

std::vector<SkinStop> CConfigureDlg::focusStops() const {
    return {{-1, list_},
            {static_cast<int>(Area::New), nullptr},
            {static_cast<int>(Area::Delete), nullptr},
            {static_cast<int>(Area::Close), nullptr}};
}

bool CConfigureDlg::focusNextPrevChild(bool next) {
    if (list_->editor() != nullptr) {
        return QDialog::focusNextPrevChild(next);  // the rename keeps Tab for itself
    }
    ringShown_ = true;
    FocusStop(*this, NextStop(*this, next), focusedRegion_);
    return true;
}

void CConfigureDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            if (list_->editor() == nullptr) {
                reject();
            }
            event->accept();
            return;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (QApplication::focusWidget() == this && focusedRegion_ >= 0) {
                ringShown_ = true;
                activateRegion(focusedRegion_);
            }
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CConfigureDlg::mousePressEvent(QMouseEvent* event) {
    ringShown_ = false;
    QDialog::mousePressEvent(event);
}

void CConfigureDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    switch (hitTest(event->position().toPoint())) {
        case Area::Close:
            closeButton();
            break;
        case Area::New:
            newProfile();
            break;
        case Area::Delete:
            deleteProfile();
            break;
        case Area::None:
            break;
    }
}

void CConfigureDlg::closeButton() {
    const std::optional<std::size_t> line = selectedLine();
    if (!line) {
        reject();
        return;
    }
    ProfileResult applied = folder_.applySelected(line, model_, settings_);
    if (applied.status == ProfileStatus::LaunchActionsNotAccepted) {
        // A profile put into the folder by hand: asked about as an import is.
        const auto choice = AskAboutLaunchActions(prompts_, applied.launchActions, caption());
        if (!choice) {
            return;  // the dialog stays open, and nothing changed
        }
        applied = folder_.applySelected(line, model_, settings_, *choice);
    }
    if (applied.status == ProfileStatus::Failed) {
        // The file went away or cannot be read: the model is as it was, and the list shows the
        // folder as it is now.
        message(tr("The profile could not be read.\n"));
        folder_.refresh();
        fillList();
        return;
    }
    accept();
}

// --- Messages and commands -----------------------------------------------------------------

std::intptr_t CConfigureDlg::send(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (msg == WM_LIST_EDIT_END) {
        rename(wParam, lParam);
    }
    return 0;
}

std::unique_ptr<QMenu> CConfigureDlg::buildContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("profileMenu"));
    const auto add = [&](int command, const QString& text) {
        menu->addAction(text)->setData(command);
    };
    add(kNewCommand, tr("New"));
    add(kCopyCommand, tr("Copy"));
    add(kSaveCommand, tr("Save"));
    add(kLoadCommand, tr("Load"));
    add(kDeleteCommand, tr("Delete"));
    menu->addSeparator();
    add(kEditRulesCommand, tr("Edit rules..."));
    menu->actions().constLast()->setEnabled(static_cast<bool>(editRules_));
    return menu;
}

void CConfigureDlg::showContextMenu(QPoint globalPosition) {
    const std::unique_ptr<QMenu> menu = buildContextMenu();
    if (const QAction* chosen = menu->exec(globalPosition)) {
        OnCommand(chosen->data().toInt());
    }
}

void CConfigureDlg::OnCommand(int command) {
    switch (command) {
        case kNewCommand:
            newProfile();
            break;
        case kCopyCommand:
            copyProfile();
            break;
        case kSaveCommand:
            saveProfile();
            break;
        case kLoadCommand:
            loadProfile();
            break;
        case kDeleteCommand:
            deleteProfile();
            break;
        case kEditRulesCommand:
            if (editRules_) {
                editRules_(this);
            }
            break;
        default:
            break;
    }
}

std::u16string CConfigureDlg::caption() const {
    return tr("Profile", "message caption").toStdU16String();
}

void CConfigureDlg::message(const std::u16string& body) {
    prompts_.show(body, caption(), PromptButtons::Ok);
}

void CConfigureDlg::message(const QString& text) {
    message(text.toStdU16String());
}

void CConfigureDlg::reportFailure(const ProfileResult& result) {
    if (result.status == ProfileStatus::Failed || result.status == ProfileStatus::RefusedName) {
        message(tr("The profile file could not be written.\n"));
    }
}

void CConfigureDlg::newProfile() {
    if (folder_.profileCount() >= kMaxProfiles) {
        message(tr("Only Create Six Profile mostly\n"));
        return;
    }
    const ProfileResult created = folder_.newProfile();
    fillList();
    reportFailure(created);
}

void CConfigureDlg::copyProfile() {
    const std::optional<std::size_t> line = selectedLine();
    if (!line) {
        message(tr("Please select a profile to copy\n"));
        return;
    }
    if (folder_.profileCount() >= kMaxProfiles) {
        return;
    }
    const ProfileResult copied = folder_.copyProfile(line, model_.languageId);
    fillList();
    reportFailure(copied);
}

void CConfigureDlg::saveProfile() {
    const std::optional<std::size_t> line = selectedLine();
    if (!line) {
        message(tr("Please select a profile to Save\n"));
        return;
    }
    const std::optional<std::filesystem::path> chosen =
        chooser_.saveFile(FileChoice{u"bin Files(*.bin)", u".bin", programDir_});
    const ProfileResult saved = folder_.saveProfile(line, model_, chosen, settings_);
    reportFailure(saved);
    list_->RedrawList(true);
}

void CConfigureDlg::loadProfile() {
    const std::optional<std::size_t> line = selectedLine();
    if (!line) {
        message(tr("Please select a profile to Open\n"));
        return;
    }
    const std::optional<std::filesystem::path> chosen =
        chooser_.openFile(FileChoice{u"bin Files(*.bin)", u".bin", programDir_});
    if (!chosen) {
        return;
    }
    const std::optional<ProfileFile> file = ProfileFile::Read(*chosen);
    switch (ValidateProfileImport(file)) {
        case ProfileImportProblem::None:
            break;
        case ProfileImportProblem::CannotOpen:
            message(tr("The file cannot be opened:\n").toStdU16String() +
                    ToU16(PathToQString(*chosen)));
            return;
        case ProfileImportProblem::TooShort:
            message(tr("This file is not a profile:\n").toStdU16String() +
                    ToU16(PathToQString(*chosen)));
            return;
    }
    ProfileResult loaded = folder_.loadProfile(line, model_, &*file, settings_);
    if (loaded.status == ProfileStatus::LaunchActionsNotAccepted) {
        const auto choice = AskAboutLaunchActions(prompts_, loaded.launchActions, caption());
        if (!choice) {
            return;  // the model and the selected profile stay as they were
        }
        loaded = folder_.loadProfile(line, model_, &*file, settings_, *choice);
    }
    reportFailure(loaded);
    list_->RedrawList(true);
}

void CConfigureDlg::deleteProfile() {
    const std::optional<std::size_t> line = selectedLine();
    switch (folder_.checkDelete(line)) {
        case ProfileStatus::LastProfile:
            message(tr("Please keep a profile\n"));
            return;
        case ProfileStatus::NoSelection:
            message(tr("Please select a profile to delete\n"));
            return;
        default:
            break;
    }
    const PromptAnswer answer = prompts_.show(tr("Delete current profile ?").toStdU16String(),
                                              caption(), PromptButtons::OkCancel);
    if (answer == PromptAnswer::Ok) {
        const ProfileResult deleted = folder_.deleteProfile(*line);
        fillList();
        if (!deleted) {
            message(tr("The profile file could not be deleted.\n"));
        }
        return;
    }
    folder_.refresh();
    fillList();
}

void CConfigureDlg::rename(std::uintptr_t line, std::intptr_t newIndex) {
    if (newIndex < 0 || newIndex >= list_->count()) {
        folder_.refresh();
        fillList();
        return;
    }
    const std::u16string newText = ToU16(list_->lineText(static_cast<int>(newIndex)));
    const bool wasCurrent =
        line < folder_.profileCount() &&
        Utf16FromPath(folder_.entries()[line].path.filename()) == folder_.currentProfile();
    const ProfileResult renamed = folder_.renameProfile(line, newText);
    if (renamed.status == ProfileStatus::Done && wasCurrent) {
        // The current profile keeps being the current one under its new name.
        WriteCurrentProfile(settings_, RenamedFileName(newText));
    }
    // The list is filled again once the file system has had its pause.
    const auto refresh = [this] {
        wait_(kRenameBeforeRefreshWait, [this] {
            fillList();
            wait_(kRenameAfterRefreshWait, [] {});
        });
    };
    switch (renamed.status) {
        case ProfileStatus::SameFile:
            fillList();
            wait_(kRenameAfterRefreshWait, [] {});
            return;
        case ProfileStatus::Done:
            wait_(kRenameAfterCopyWait, refresh);
            return;
        case ProfileStatus::Failed:
        case ProfileStatus::RefusedName:
            // The caption is the program's title.
            prompts_.show(u"Fail", std::u16string(), PromptButtons::Ok);
            break;
        default:
            break;
    }
    refresh();
}

}  // namespace tavrin
