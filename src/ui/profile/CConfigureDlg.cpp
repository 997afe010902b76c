#include "ui/profile/CConfigureDlg.h"

#include <QTimer>

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>

#include "device/WindowMessages.h"
#include "model/FileChooser.h"
#include "model/LaunchActions.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "model/Prompts.h"
#include "model/SettingsStore.h"
#include "model/Utf16Text.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/controls/ContextMenuFilter.h"
#include "ui/controls/DialogKeyFilter.h"
#include "ui/controls/SkinFont.h"

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

void DrawSkinText(QPainter& painter, QPoint at, const QString& text, int height) {
    painter.setFont(SkinFont(QStringLiteral("Arial"), height, QFont::Light));
    painter.setPen(Qt::white);
    painter.drawText(QRect(at, QSize(240, height * 2)), Qt::AlignLeft | Qt::AlignTop, text);
}

std::u16string LaunchKindName(std::uint8_t kind, bool chinese) {
    switch (kind) {
        case 4:
            return chinese ? u"播放声音" : u"Play Sound";
        case 5:
            return chinese ? u"启动程序" : u"Startup";
        case 6:
            return chinese ? u"打开文件" : u"Open File";
        case 7:
            return chinese ? u"打开目录" : u"Open Folder";
        default:
            return u"?";
    }
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
    // Enter belongs to the focused control and never closes the dialog; Escape cancels it.
    new DialogKeyFilter(this, [this] { reject(); });
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
    const auto path = skins_.find(SkinFolderName(model_.languageId) / "Config", name);
    return path ? QImage(PathToQString(*path)) : QImage();
}

void CConfigureDlg::OnInitDialog() {
    chinese_ = model_.chinese();
    setWindowTitle(ToQString(text(u"Profile", u"配置")));
    background_ = image("Config.png");
    closeImage_ = image("button-close-normal.png");
    newImage_ = image("New.png");
    deleteImage_ = image("Delete.png");
    setFixedSize(background_.isNull() ? kFallbackSize : background_.size());
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
        message(text(u"The default profile could not be created:\n", u"无法创建默认配置文件：\n") +
                Utf16FromUtf8(std::u8string(why.begin(), why.end())));
    }
    list_->setFocus(Qt::OtherFocusReason);
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
    QImage surface(size(), QImage::Format_ARGB32_Premultiplied);
    surface.fill(QColor(21, 23, 26));
    QPainter p(&surface);
    p.drawImage(QPoint(0, 0), background_);
    DrawSkinText(p, kTitleAt, ToQString(text(u"Profile", u"配置")), kTitleHeight);
    p.drawImage(kCloseImageAt, closeImage_);
    p.drawImage(kNewImageAt, newImage_);
    DrawSkinText(p, kNewTextAt, ToQString(text(u"New", u"新建")), kButtonTextHeight);
    p.drawImage(kDeleteImageAt, deleteImage_);
    DrawSkinText(p, kDeleteTextAt, ToQString(text(u"Delete", u"删除")), kButtonTextHeight);
    return surface;
}

void CConfigureDlg::paintEvent(QPaintEvent*) {
    // Composed off screen and copied in one transfer, so nothing flickers.
    QPainter(this).drawImage(QPoint(0, 0), composeSurface());
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
    const ProfileResult applied = folder_.applySelected(line, model_, settings_);
    if (applied.status == ProfileStatus::Failed) {
        // The file went away or cannot be read: the model is as it was, and the list shows the
        // folder as it is now.
        message(u"The profile could not be read.\n", u"无法读取该配置文件\n");
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
    const auto add = [&](int command, const char16_t* english, const char16_t* chinese) {
        menu->addAction(ToQString(text(english, chinese)))->setData(command);
    };
    add(kNewCommand, u"New", u"新建");
    add(kCopyCommand, u"Copy", u"复制");
    add(kSaveCommand, u"Save", u"保存");
    add(kLoadCommand, u"Load", u"加载");
    add(kDeleteCommand, u"Delete", u"删除");
    menu->addSeparator();
    add(kEditRulesCommand, u"Edit rules...", u"编辑规则...");
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

std::u16string CConfigureDlg::text(const char16_t* english, const char16_t* chinese) const {
    return chinese_ ? std::u16string(chinese) : std::u16string(english);
}

void CConfigureDlg::message(const std::u16string& body) {
    prompts_.show(body, text(u"Profile", u"配置管理"), PromptButtons::Ok);
}

void CConfigureDlg::message(const char16_t* english, const char16_t* chinese) {
    message(text(english, chinese));
}

void CConfigureDlg::reportFailure(const ProfileResult& result) {
    if (result.status == ProfileStatus::Failed || result.status == ProfileStatus::RefusedName) {
        message(u"The profile file could not be written.\n", u"无法写入配置文件\n");
    }
}

void CConfigureDlg::newProfile() {
    if (folder_.profileCount() >= kMaxProfiles) {
        message(u"Only Create Six Profile mostly\n", u"最多可以存储6个配置\n");
        return;
    }
    const ProfileResult created = folder_.newProfile();
    fillList();
    reportFailure(created);
}

void CConfigureDlg::copyProfile() {
    const std::optional<std::size_t> line = selectedLine();
    if (!line) {
        message(u"Please select a profile to copy\n", u"请选择一个配置拷贝");
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
        message(u"Please select a profile to Save\n", u"请选择一个配置存储");
        return;
    }
    const std::optional<std::filesystem::path> chosen =
        chooser_.saveFile(FileChoice{u"bin Files(*.bin)", u".bin", programDir_});
    const ProfileResult saved = folder_.saveProfile(line, model_, chosen);
    reportFailure(saved);
    list_->RedrawList(true);
}

bool CConfigureDlg::confirmLaunchActions(const ProfileFile& profile) {
    const std::vector<LaunchAction> actions = LaunchActionsOf(profile);
    if (actions.empty()) {
        return true;
    }
    std::u16string body = text(u"This profile makes keys open these programs, files or folders:\n",
                               u"此配置会让按键打开以下程序、文件或目录：\n");
    for (const LaunchAction& action : actions) {
        body += u"  " + LaunchKindName(action.kind, chinese_) + u": " + action.path + u"\n";
    }
    body += text(u"Load it?", u"要加载吗？");
    return prompts_.show(body, text(u"Profile", u"配置管理"), PromptButtons::OkCancel) ==
           PromptAnswer::Ok;
}

void CConfigureDlg::loadProfile() {
    const std::optional<std::size_t> line = selectedLine();
    if (!line) {
        message(u"Please select a profile to Open\n", u"请选择一个配置打开");
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
            message(text(u"The file cannot be opened:\n", u"无法打开文件：\n") +
                    ToU16(PathToQString(*chosen)));
            return;
        case ProfileImportProblem::TooShort:
            message(text(u"This file is not a profile:\n", u"此文件不是配置文件：\n") +
                    ToU16(PathToQString(*chosen)));
            return;
    }
    if (!confirmLaunchActions(*file)) {
        return;
    }
    const ProfileResult loaded = folder_.loadProfile(line, model_, &*file);
    reportFailure(loaded);
    list_->RedrawList(true);
}

void CConfigureDlg::deleteProfile() {
    const std::optional<std::size_t> line = selectedLine();
    switch (folder_.checkDelete(line)) {
        case ProfileStatus::LastProfile:
            message(u"Please keep a profile\n", u"请至少保留一个配置文件");
            return;
        case ProfileStatus::NoSelection:
            message(u"Please select a profile to delete\n", u"请选择一个配置删除");
            return;
        default:
            break;
    }
    const PromptAnswer answer =
        prompts_.show(text(u"Delete current profile ?", u"删除当前配置文件吗"),
                      text(u"Profile", u"配置管理"), PromptButtons::OkCancel);
    if (answer == PromptAnswer::Ok) {
        const ProfileResult deleted = folder_.deleteProfile(*line);
        fillList();
        if (!deleted) {
            message(u"The profile file could not be deleted.\n", u"无法删除配置文件\n");
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
