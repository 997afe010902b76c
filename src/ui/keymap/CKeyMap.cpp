#include "ui/keymap/CKeyMap.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "device/WindowMessages.h"
#include "model/FunctionCatalogue.h"
#include "model/KeyMapEntryType.h"
#include "model/KeyTables.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/DensePictures.h"
#include "ui/controls/VividTree.h"
#include "ui/keymap/KeyNames.h"

namespace tavrin {

namespace {

// The background's size when the picture is missing, so that every button stays reachable.
constexpr QSize kFallbackSize(326, 276);

QString ControlStyle(const char* type) {
    // White text on the dialog's grey; the accent marks the control that has the focus.
    return QStringLiteral(
               "%1 { background: #6d6d6d; color: white; border: none; } "
               "%1:focus { border: 1px solid #1ed2ff; }")
        .arg(QLatin1String(type));
}

struct GroupText {
    FunctionGroup group;
    const char* text;  // translated in the context of CKeyMap
};

constexpr std::array<GroupText, 3> kGroupTexts = {{
    {FunctionGroup::Media, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Media")},
    {FunctionGroup::Shortcut, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Shortcut")},
    {FunctionGroup::Windows, QT_TRANSLATE_NOOP("tavrin::CKeyMap", "Windows")},
}};

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CKeyMap::CKeyMap(Model& model, SkinLookup& skins, KeyHook& hook, Prompts& prompts,
                 FileChooser& chooser, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      model_(model),
      skins_(skins),
      hook_(hook),
      prompts_(prompts),
      launchPanel_(model, chooser, prompts) {
    setObjectName(QStringLiteral("keyMapDialog"));
    setModal(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Enter presses the focused region and never a default button; Escape closes the dialog as
    // its close button does (keyPressEvent). A capture field that takes keys gets both.
    InstallSkinAccessibility();

    QFont controlFont(QStringLiteral("Arial"));
    controlFont.setPixelSize(12);

    tree_ = new VividTree(this);
    tree_->setObjectName(QStringLiteral("functionTree"));
    tree_->setFont(controlFont);
    tree_->setAccessibleName(tr("Basic"));
    singleKeyEdit_ = new QLineEdit(this);
    singleKeyEdit_->setObjectName(QStringLiteral("singleKeyEdit"));
    singleKeyEdit_->setAccessibleName(tr("Single"));
    combinationEdit_ = new QLineEdit(this);
    combinationEdit_->setObjectName(QStringLiteral("combinationEdit"));
    combinationEdit_->setAccessibleName(tr("Combine"));
    for (QLineEdit* edit : {singleKeyEdit_, combinationEdit_}) {
        edit->setFont(controlFont);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFrame(false);
        edit->setStyleSheet(ControlStyle("QLineEdit"));
        edit->installEventFilter(this);
        // The key hook reads the keys pressed here. No input method may take them to compose
        // text (on Wayland the compositor would hand them to one instead of to the window).
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    macroList_ = new QListWidget(this);
    macroList_->setObjectName(QStringLiteral("macroList"));
    macroList_->setFont(controlFont);
    macroList_->setFrameShape(QFrame::NoFrame);
    macroList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    macroList_->setStyleSheet(ControlStyle("QListWidget"));
    macroList_->setAccessibleName(tr("Macro"));
    for (QLineEdit* edit : {singleKeyEdit_, combinationEdit_}) {
        edit->setAccessibleDescription(tr("Press Enter, then the key to take"));
    }
}

CKeyMap::~CKeyMap() {
    if (hookActive_) {
        hook_.removehook();
    }
}

AssignmentRecord CKeyMap::record() {
    return model_.assignments.record(model_.selectedKey);
}

int CKeyMap::runModal() {
    if (model_.selectedKey >= kMatrixPositionCount) {
        return QDialog::Rejected;
    }
    initialise();
    return exec();
}

void CKeyMap::initialise() {
    const std::size_t p = model_.selectedKey;
    if (p >= kMatrixPositionCount) {
        // Only keys with a matrix place can be assigned; the caller checks.
        return;
    }
    closing_ = false;
    awaitingShowFocus_ = false;
    captureArmed_ = captureAtOpening_;
    armedByKeyboard_ = false;
    focusedRegion_ = -1;
    ringShown_ = false;
    dragStart_.reset();
    dragging_ = false;
    hoverHit_ = KeyMapButtons::kNone;
    browseHover_.reset();

    // The background gives the window its size.
    imageFolder_ = model_.skinFolder() / "Custom";
    images_.clear();
    imagesRatio_ = SurfaceRatio(devicePixelRatioF());
    background_ = image(u"Custom_BK.png");
    setFixedSize(background_.isNull() ? kFallbackSize : LogicalSize(background_));

    buttons_.rebuild();
    activeTab_ = SingleCombineTab;
    setWindowTitle(tr("Current Key:") + KeyName(selectedKeyVk_).trimmed());
    placeControls();
    tree_->SetTreeBitmaps();
    tree_->setBackgroundMode(VividTree::DarkBackground);
    tree_->setWindowIcon(LoadIconResource(kIconProgram));

    // A function shows as its tree item, in the interface language.
    const ConstAssignmentRecord r = std::as_const(model_.assignments).record(p);
    if (r.kind() == KindByte(AssignmentKind::Function)) {
        const auto code = r.code();
        const CatalogueFunction* function =
            FindFunctionByCode(KeyMapEntry{code[0], code[1], code[2], code[3]});
        model_.pending.pendingFunctionLabel =
            function ? std::u16string(function->label(model_.languageId)) : std::u16string();
    }
    buildTree();

    fillMacroList();
    PendingAssignment& pending = model_.pending;
    pending.pendingKeys.fill(0);
    pending.pendingKeyCount = 0;
    launchPanel_.reset();

    // The key's current assignment, on its tab. The edits show first, so that a restored key
    // can give its edit the focus.
    singleKeyEdit_->clear();
    combinationEdit_->clear();
    showTabControls();
    pending.pendingKind = r.kind();
    pending.pendingKeyCount = r.keyCount();
    restoreAssignment();

    // The tick box shows whether the key is disabled.
    const bool enabled = model_.settings.isKeyEnabled(MatrixCodeOf(p));
    buttons_[KeyMapButtons::kDisableTick].state = enabled ? 0 : 1;
    pending.keyEnabledResult = enabled ? 1 : 0;

    hookActive_ = hook_.installhook(this, 0);
    showTabControls();
    update();
}

void CKeyMap::placeControls() {
    tree_->setGeometry(10, 60, 295, 160);
    singleKeyEdit_->setGeometry(20, 89, 280, 15);
    combinationEdit_->setGeometry(20, 139, 280, 15);
    macroList_->setGeometry(20, 79, 280, 150);
}

void CKeyMap::buildTree() {
    tree_->clear();
    const std::u16string& wanted = model_.pending.pendingFunctionLabel;
    QTreeWidgetItem* group = nullptr;
    FunctionGroup groupKind = FunctionGroup::TopLevel;
    for (const CatalogueFunction& function : kFunctionCatalogue) {
        if (function.group == FunctionGroup::TopLevel) {
            group = nullptr;
        } else if (group == nullptr || groupKind != function.group) {
            const auto text =
                std::find_if(kGroupTexts.begin(), kGroupTexts.end(),
                             [&](const GroupText& g) { return g.group == function.group; });
            group = new QTreeWidgetItem(tree_, QStringList(tr(text->text)));
            group->setData(0, kGroupItemRole, true);
            group->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            groupKind = function.group;
        }
        const std::u16string_view label = function.label(model_.languageId);
        auto* item = group ? new QTreeWidgetItem(group, QStringList(Text(label)))
                           : new QTreeWidgetItem(tree_, QStringList(Text(label)));
        if (!wanted.empty() && label == wanted) {
            if (group != nullptr) {
                group->setExpanded(true);
            }
            tree_->setCurrentItem(item);
        }
    }
}

void CKeyMap::fillMacroList() {
    macroList_->clear();
    macroList_->hide();
    for (std::size_t slot = 0; slot < MacroTable::kRecordCount; ++slot) {
        const std::u16string name = model_.macros.record(slot).name();
        if (name.empty()) {
            break;
        }
        macroList_->addItem(ToQString(name));
    }
}

void CKeyMap::restoreAssignment() {
    const ConstAssignmentRecord r = std::as_const(model_.assignments).record(model_.selectedKey);
    PendingAssignment& pending = model_.pending;
    const auto keys = r.keys();
    switch (r.kind()) {
        case KindByte(AssignmentKind::SingleKey):
        case KindByte(AssignmentKind::KeyCombination): {
            const bool single = r.kind() == KindByte(AssignmentKind::SingleKey);
            QLineEdit* edit = single ? singleKeyEdit_ : combinationEdit_;
            // The focus rule runs at once, as the edit takes the focus.
            editFocused(single ? kSingleKeyEditId : kCombinationEditId);
            edit->setText(single ? KeyName(keys[0])
                                 : CombinationText(std::span(keys.data(), std::size_t{3})));
            edit->setFocus(Qt::OtherFocusReason);
            edit->end(false);
            std::copy(keys.begin(), keys.end(), pending.pendingKeys.begin());
            keysRestored_ = true;
            awaitingShowFocus_ = true;
            break;
        }
        case KindByte(AssignmentKind::Macro):
            if (r.code()[kKeyMapEntryTypeByte] == EntryTypeByte(KeyMapEntryType::Macro)) {
                macroList_->show();
                activeTab_ = MacroTab;
                const int line = r.code()[0];
                if (line < macroList_->count()) {
                    macroList_->setCurrentRow(line);
                }
            }
            break;
        case KindByte(AssignmentKind::Function):
            activeTab_ = BasicTab;
            break;
        default:
            if (IsLaunchKind(r.kind())) {
                activeTab_ = AdvanceTab;
                pending.pendingLaunchPath = r.launchPath();
                launchPanel_.launchChoice = r.kind() - KindByte(AssignmentKind::PlaySound);
            }
            break;
    }
}

void CKeyMap::done(int result) {
    closing_ = true;
    if (hookActive_) {
        hook_.removehook();
        hookActive_ = false;
    }
    QDialog::done(result);
}

std::intptr_t CKeyMap::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
    if (message == WM_HOOK_KEY && hookActive_) {
        capture(static_cast<std::uint8_t>(wParam & 0xFF));
    }
    return 0;
}

void CKeyMap::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, composed());
}

void CKeyMap::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (dragging_) {
        move(event->globalPosition().toPoint() - *dragStart_);
        return;
    }
    const std::uint8_t before = hoverHit_;
    hover(position);
    const bool mayDrag = hoverHit_ != before || hoverHit_ == KeyMapButtons::kNone;
    if (mayDrag && dragStart_ && (event->buttons() & Qt::LeftButton) &&
        (position - *dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
        // Pressing anywhere off the buttons drags the borderless window.
        if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
            dragStart_.reset();
        } else {
            dragging_ = true;
            move(event->globalPosition().toPoint() - *dragStart_);
        }
    }
}

void CKeyMap::mousePressEvent(QMouseEvent* event) {
    ringShown_ = false;
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton &&
        buttons_.hitTest(position.x(), position.y()) == KeyMapButtons::kNone) {
        dragStart_ = position;
    }
    QDialog::mousePressEvent(event);
}

void CKeyMap::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasDragging = dragging_;
    dragging_ = false;
    dragStart_.reset();
    if (event->button() != Qt::LeftButton || wasDragging) {
        return;
    }
    const QPoint position = event->position().toPoint();
    clickButton(buttons_.hitTest(position.x(), position.y()));
    if (!closing_ && activeTab_ == AdvanceTab && launchPanel_.click(position.x(), position.y())) {
        update();
    }
}

bool CKeyMap::isCaptureField(const QObject* object) const {
    return object == singleKeyEdit_ || object == combinationEdit_;
}

bool CKeyMap::capturesKeys() const {
    return captureArmed_ && isCaptureField(QApplication::focusWidget());
}

bool CKeyMap::eventFilter(QObject* watched, QEvent* event) {
    if (isCaptureField(watched)) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                // Clicked: the field takes keys for as long as it has the focus.
                captureArmed_ = true;
                armedByKeyboard_ = false;
                break;
            case QEvent::FocusIn: {
                if (tabbing_) {
                    captureArmed_ = false;  // reached by Tab: Enter sets it to take keys
                }
                ringShown_ = false;
                update();
                break;
            }
            case QEvent::KeyPress: {
                // Only while the field takes no keys: the hook has every key while it does.
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                    captureArmed_ = true;
                    armedByKeyboard_ = true;
                    return true;
                }
                // Tab and Escape go on to the dialog; no other key is typed into the field.
                return key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Escape;
            }
            default:
                break;
        }
    }
    if (event->type() == QEvent::FocusIn &&
        (watched == singleKeyEdit_ || watched == combinationEdit_)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool windowFocus =
            reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        // The window coming back (after a message box or another program) is no switch of
        // mode; only the focus the edit gets when the dialog first shows counts.
        if (!windowFocus || awaitingShowFocus_) {
            awaitingShowFocus_ = false;
            editFocused(watched == singleKeyEdit_ ? kSingleKeyEditId : kCombinationEditId);
        }
        // The edit takes the focus first; then the caret goes to the end instead of the whole
        // text being selected, as a focus by Tab would have it.
        auto* edit = static_cast<QLineEdit*>(watched);
        static_cast<QObject*>(edit)->event(event);
        edit->deselect();
        edit->end(false);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavrin
