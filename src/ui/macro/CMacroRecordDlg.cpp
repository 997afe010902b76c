#include "ui/macro/CMacroRecordDlg.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QWindow>
#include <algorithm>

#include "device/WindowMessages.h"
#include "model/MacroStore.h"
#include "model/Model.h"
#include "model/ProgramDirectory.h"
#include "model/Prompts.h"
#include "platform/qt/KeyHook.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/controls/ContextMenuFilter.h"
#include "ui/controls/DensePictures.h"
#include "ui/controls/SkinFont.h"
#include "ui/macro/MacroClock.h"
#include "ui/macro/MacroLog.h"

namespace tavrin {

const std::array<CMacroRecordDlg::SkinButtonRow, CMacroRecordDlg::kButtonCount>
    CMacroRecordDlg::kButtonTable = {{
        {290, 100, 379, 124, "Record-normal.png", "Record-over.png", "Record-normal.png"},
        {368, 168, 382, 182, "Pane.png", "PaneMakingTick.png", "Pane.png"},
        {296, 315, 310, 329, "Pane.png", "PaneMakingTick.png", "Pane.png"},
        {20, 368, 77, 392, "button-new-normal.png", "button-new-over.png", "button-new-normal.png"},
        {80, 368, 137, 392, "button-new-normal.png", "button-new-over.png",
         "button-new-normal.png"},
        {280, 400, 337, 424, "button-new-normal.png", "button-new-over.png",
         "button-new-normal.png"},
        {340, 400, 397, 424, "button-new-normal.png", "button-new-over.png",
         "button-new-normal.png"},
    }};

namespace {

constexpr QRect kMacroListRect(20, 80, 113, 275);
constexpr QRect kEventListRect(150, 80, 113, 275);
constexpr QRect kLoopsEditRect(296, 331, 84, 18);
constexpr int kListFontHeight = 16;
constexpr int kTextHeight = 15;
constexpr int kTitleHeight = 18;
constexpr std::size_t kMaxMacros = MacroTable::kRecordCount;

QFont TextFont(int height) {
    return SkinFont(QStringLiteral("Arial"), height, QFont::Light);
}

QString MacroName(int n) {
    if (n < 10) {
        return QStringLiteral("Macro_00%1").arg(n);
    }
    if (n < 99) {
        return QStringLiteral("Macro_0%1").arg(n);
    }
    return QStringLiteral("Macro_%1").arg(n);
}

}  // namespace

CMacroRecordDlg::CMacroRecordDlg(Model& model, KeyHook& hook, Prompts& prompts, MacroClock& clock,
                                 SkinLookup& skins, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      model_(model),
      hook_(hook),
      prompts_(prompts),
      clock_(clock),
      skins_(skins),
      eventList_(new CTransparentListBox(this)),
      macroList_(new CTransparentListBox(this)),
      loopsEdit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("macroManager"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    eventList_->setObjectName(QStringLiteral("eventList"));
    eventList_->setGeometry(kEventListRect);
    eventList_->SetListFont(kListFontHeight, QStringLiteral("Arial"), QColor(255, 255, 255),
                            QColor(0, 255, 255), true, 2, QColor(0, 0, 0));
    eventList_->setEditMode(CTransparentListBox::DelayEdit);
    eventList_->setOwner(this);
    new ContextMenuFilter(eventList_->viewport(),
                          [this](QPoint globalPosition) { showContextMenu(globalPosition); });
    // Enter presses the focused button and never a default one; Escape cancels as Cancel does
    // (keyPressEvent). While recording, the key hook has every key.
    InstallSkinAccessibility();
    eventList_->setAccessibleName(tr("Keystrobe Sequence"));

    macroList_->setObjectName(QStringLiteral("macroList"));
    macroList_->setGeometry(kMacroListRect);
    macroList_->SetListFont(kListFontHeight, QStringLiteral("Arial"), QColor(255, 255, 255),
                            QColor(0, 255, 255), true, 2, QColor(0, 0, 0));
    macroList_->setEditMode(CTransparentListBox::Rename);
    macroList_->setAccessibleName(tr("Select Macro"));
    macroList_->setOwner(this);
    connect(macroList_, &CTransparentListBox::selChange, this,
            &CMacroRecordDlg::onMacroSelectionChanged);

    loopsEdit_->setObjectName(QStringLiteral("loopsEdit"));
    loopsEdit_->setGeometry(kLoopsEditRect);
    loopsEdit_->setMaxLength(kLoopsMaxLength);
    loopsEdit_->setAccessibleName(tr("Number of Loops"));
    loopsEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    loopsEdit_->setFont(TextFont(kTextHeight));
    loopsEdit_->setStyleSheet(
        QStringLiteral("QLineEdit { background: #131518; color: white; border: 1px solid #343941; "
                       "padding: 0px 2px; } QLineEdit:focus { border-color: #1ed2ff; } "
                       "QLineEdit:disabled { color: #8b939e; border-color: #262a30; }"));
    connect(loopsEdit_, &QLineEdit::textChanged, this, &CMacroRecordDlg::loopsChanged);

    nameTimer_.setInterval(kNameTimerInterval);
    connect(&nameTimer_, &QTimer::timeout, this, &CMacroRecordDlg::copyNamesFromList);
    resize(kFallbackSize);
}

CMacroRecordDlg::~CMacroRecordDlg() {
    if (hookInstalled_) {
        hook_.removehook();
    }
}

// --- Opening and closing -------------------------------------------------------------------

void CMacroRecordDlg::setVisible(bool visible) {
    if (visible && !isVisible()) {
        OnInitDialog();
    } else if (!visible && isVisible()) {
        OnDestroy();
    }
    QDialog::setVisible(visible);
}

void CMacroRecordDlg::OnInitDialog() {
    chinese_ = model_.chinese();
    setWindowTitle(tr("Macro Manager"));
    loadImages();
    setFixedSize(background_.isNull() ? kFallbackSize : LogicalSize(background_));

    buttonStates_.fill(0);
    lastHit_ = -1;
    focusedRegion_ = -1;
    ringShown_ = false;
    dragging_ = false;

    lastLineText_.clear();
    hookInstalled_ = false;
    recordDelay_ = false;
    loopsOn_ = false;
    recordButtonState_ = false;
    insertMode_ = false;
    insertLine_ = 0;
    recordOffset_ = 0;
    editBuffers_ = MacroSequence{};

    // The working copy keeps its used slots together from slot 0, so that line i of the macro
    // list is slot i even when the file had a gap.
    workingMacroTable_ = MacroTable{};
    std::size_t used = 0;
    for (std::size_t slot = 0; slot < kMaxMacros; ++slot) {
        const ConstMacroRecord from = std::as_const(model_.macros).record(slot);
        if (!from.isFree()) {
            const auto to = workingMacroTable_.record(used++);
            std::copy(from.bytes().begin(), from.bytes().end(), to.bytes().begin());
        }
    }

    eventList_->endEdit(false);
    macroList_->endEdit(false);
    eventList_->clear();
    macroList_->clear();
    setLoopsText(QString());
    for (std::size_t slot = 0; slot < used; ++slot) {
        macroList_->AddLine(ToQString(workingMacroTable_.record(slot).name()));
    }
    if (used > 0) {
        macroList_->setSelectedLine(0);
        const ConstMacroRecord first = std::as_const(workingMacroTable_).record(0);
        if (first.loopCount() > 1) {
            loopsOn_ = true;
        }
        setLoopsText(QString::number(first.loopCount()));
        recordDelay_ = first.delayFlag();
        editBuffers_ = MacroSequence::Of(first);
        fillEventList();
    }
    syncLoopsEdit();
    nameTimer_.start();
    update();
}

void CMacroRecordDlg::OnDestroy() {
    endHook();
    nameTimer_.stop();
    eventList_->endEdit(false);
    macroList_->endEdit(false);
}

QImage CMacroRecordDlg::image(const char* name) const {
    return LoadSkinPicture(skins_, model_.skinFolder() / "MacroManagement",
                           QString::fromLatin1(name), imagesRatio_);
}

void CMacroRecordDlg::loadImages() {
    imagesRatio_ = SurfaceRatio(devicePixelRatioF());
    background_ = image("MacroManagement.png");
    for (std::size_t i = 0; i < kButtonTable.size(); ++i) {
        normalImages_[i] = image(kButtonTable[i].normal);
        hoverImages_[i] = image(kButtonTable[i].hover);
    }
}

// --- Painting ------------------------------------------------------------------------------

QImage CMacroRecordDlg::composeSurface() {
    const qreal ratio = SurfaceRatio(devicePixelRatioF());
    if (ratio != imagesRatio_) {
        loadImages();  // moved to a screen of another density
    }
    QImage surface = NewSurface(size(), ratio, QImage::Format_ARGB32_Premultiplied);
    surface.fill(QColor(21, 23, 26));
    QPainter p(&surface);
    p.drawImage(QPoint(0, 0), background_);
    drawnTexts_.clear();

    const auto drawButton = [&](int i, bool alternate) {
        const auto index = static_cast<std::size_t>(i);
        const QImage& picture = alternate ? hoverImages_[index] : normalImages_[index];
        p.drawImage(kButtonTable[index].rect().topLeft(), picture);
    };

    drawText(p, 16, 9, 395, tr("Macro Manager"), kTitleHeight);
    drawText(p, 39, 60, 148, tr("Select Macro"));
    drawText(p, 151, 60, 308, tr("Keystrobe Sequence"));
    drawText(p, 311, 60, 405, tr("Options"));

    drawButton(kRecordButton, buttonStates_[kRecordButton] == 1);
    const QPoint record = kButtonTable[kRecordButton].rect().topLeft();
    drawText(p, record.x() + (chinese_ ? 20 : 2), record.y() + 3,
             kButtonTable[kRecordButton].right - 1,
             recordButtonState_ ? tr("Stop Recording") : tr("Start Recording"));

    // Two lines stand lower and wider apart than three.
    const QStringList delayLines = tr("Record Delay\nbetween\nkeystrokes").split(QLatin1Char('\n'));
    const int delayTop = delayLines.size() == 2 ? 168 : 153;
    const int delayStep = delayLines.size() == 2 ? 16 : 15;
    for (qsizetype i = 0; i < delayLines.size(); ++i) {
        // Beside the tick box, which stands right of the lines' end.
        drawText(p, 290, delayTop + delayStep * static_cast<int>(i), 405, delayLines[i]);
    }
    drawButton(kRecordDelayTick, recordDelay_);
    drawText(p, 295, 300, 405, tr("Number of Loops"));
    drawButton(kLoopTick, loopsOn_);

    for (int i : {kNewButton, kDeleteButton, kOkButton, kCancelButton}) {
        drawButton(i, buttonStates_[static_cast<std::size_t>(i)] == 1);
    }
    drawText(p, 35, 372, 76, tr("New"));
    drawText(p, chinese_ ? 95 : 92, 372, 136, tr("Delete"));
    drawText(p, 300, 404, 336, tr("OK"));
    drawText(p, 352, 404, 396, tr("Cancel"));
    if (ringShown_ && hasFocus() && focusedRegion_ >= 0) {
        PaintFocusRing(p, kButtonTable[static_cast<std::size_t>(focusedRegion_)].rect());
    }
    p.end();
    AnnounceChanges(*this);
    return surface;
}

void CMacroRecordDlg::paintEvent(QPaintEvent*) {
    qCDebug(lcMacro, recordDelay_ ? "has delay time" : "No delay time");
    syncLoopsEdit();
    QPainter(this).drawImage(QPoint(0, 0), composeSurface());
}

void CMacroRecordDlg::drawText(QPainter& painter, int x, int y, int right, const QString& text,
                               int height) {
    drawnTexts_.add(DrawSkinText(painter, text, QRect(QPoint(x, y), QPoint(right, y + height - 1)),
                                 TextFont(height), Qt::white));
}

// --- Keyboard and regions ------------------------------------------------------------------

std::vector<int> CMacroRecordDlg::regionChildren(int parent) const {
    if (parent != kTopLevel) {
        return {};
    }
    return {kRecordButton, kRecordDelayTick, kLoopTick,    kNewButton,
            kDeleteButton, kOkButton,        kCancelButton};
}

SkinRegionInfo CMacroRecordDlg::regionInfo(int id) const {
    SkinRegionInfo info;
    info.rect = kButtonTable.at(static_cast<std::size_t>(id)).rect();
    info.role = QAccessible::PushButton;
    switch (id) {
        case kRecordButton:
            info.name = recordButtonState_ ? tr("Stop Recording") : tr("Start Recording");
            break;
        case kRecordDelayTick:
            info.role = QAccessible::CheckBox;
            info.name = tr("Record Delay\nbetween\nkeystrokes").split(QLatin1Char('\n')).join(u' ');
            info.checkable = true;
            info.checked = recordDelay_;
            break;
        case kLoopTick:
            info.role = QAccessible::CheckBox;
            info.name = tr("Number of Loops");
            info.checkable = true;
            info.checked = loopsOn_;
            break;
        case kNewButton:
            info.name = tr("New");
            break;
        case kDeleteButton:
            info.name = tr("Delete");
            break;
        case kOkButton:
            info.name = tr("OK");
            break;
        default:
            info.name = tr("Cancel");
            break;
    }
    return info;
}

std::vector<SkinStop> CMacroRecordDlg::focusStops() const {
    return {{-1, macroList_},         {-1, eventList_},
            {kRecordButton, nullptr}, {kRecordDelayTick, nullptr},
            {kLoopTick, nullptr},     {-1, loopsEdit_},
            {kNewButton, nullptr},    {kDeleteButton, nullptr},
            {kOkButton, nullptr},     {kCancelButton, nullptr}};
}

bool CMacroRecordDlg::focusNextPrevChild(bool next) {
    // An open in-place editor keeps Tab for itself.
    if (eventList_->editor() != nullptr || macroList_->editor() != nullptr) {
        return QDialog::focusNextPrevChild(next);
    }
    ringShown_ = true;
    FocusStop(*this, NextStop(*this, next), focusedRegion_);
    return true;
}

void CMacroRecordDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            // An edit in a list takes its own Escape; otherwise Escape cancels, as Cancel does.
            if (eventList_->editor() == nullptr && macroList_->editor() == nullptr) {
                clickButton(kCancelButton);
            }
            event->accept();
            return;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (QApplication::focusWidget() == this && focusedRegion_ >= 0) {
                ringShown_ = true;
                clickButton(focusedRegion_);
            }
            event->accept();  // never a default button
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

// --- Hover, drag and clicks ----------------------------------------------------------------

int CMacroRecordDlg::hitTest(QPoint point) {
    for (std::size_t i = 0; i < kButtonTable.size(); ++i) {
        if (kButtonTable[i].rect().contains(point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CMacroRecordDlg::hoverOver(int index) {
    constexpr std::array<int, 5> kHoverGroup = {kRecordButton, kNewButton, kDeleteButton, kOkButton,
                                                kCancelButton};
    if (index == kRecordDelayTick || index == kLoopTick) {
        return;
    }
    for (int i : kHoverGroup) {
        buttonStates_[static_cast<std::size_t>(i)] = i == index ? 1 : 0;
    }
    update();
}

void CMacroRecordDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int index = hitTest(at);
    if (index != lastHit_) {
        hoverOver(index);
        lastHit_ = index;
        return;
    }
    // Pulled by its surface, the window moves as if held by a caption.
    if (index == -1 && dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(dragStartWindow_ + event->globalPosition().toPoint() - dragStartPointer_);
    }
}

void CMacroRecordDlg::leaveEvent(QEvent* event) {
    // A button left through the window's edge goes back to normal.
    if (lastHit_ != -1) {
        hoverOver(-1);
        lastHit_ = -1;
    }
    QDialog::leaveEvent(event);
}

void CMacroRecordDlg::mousePressEvent(QMouseEvent* event) {
    ringShown_ = false;
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    dragging_ = hitTest(event->position().toPoint()) == -1;
    if (dragging_) {
        // The window system moves it when it can; otherwise the moves below do.
        if (windowHandle() && windowHandle()->startSystemMove()) {
            dragging_ = false;
            return;
        }
        dragStartPointer_ = event->globalPosition().toPoint();
        dragStartWindow_ = pos();
    }
}

void CMacroRecordDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    const int index = hitTest(event->position().toPoint());
    lastHit_ = index;
    if (index >= 0) {
        clickButton(index);
    }
}

void CMacroRecordDlg::clickButton(int index) {
    switch (index) {
        case kRecordButton:
            startStopRecording();
            break;
        case kRecordDelayTick:
            recordDelay_ = !recordDelay_;
            buttonStates_[kRecordDelayTick] = recordDelay_ ? 1 : 0;
            update();
            break;
        case kLoopTick:
            loopsOn_ = !loopsOn_;
            buttonStates_[kLoopTick] = loopsOn_ ? 1 : 0;
            syncLoopsEdit();
            if (!loopsOn_) {
                setLoopsText(QStringLiteral("1"));
            }
            update();
            break;
        case kNewButton:
            newMacro();
            break;
        case kDeleteButton:
            deleteMacro();
            break;
        case kOkButton:
            ok();
            break;
        case kCancelButton:
            reject();
            break;
        default:
            break;
    }
}

// --- Messages ------------------------------------------------------------------------------

std::intptr_t CMacroRecordDlg::send(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
    switch (message) {
        case WM_HOOK_KEY:
            // A release has bit 31 set; tested as a bit, it holds for a 32-bit value widened
            // without its sign as well as for a negative one.
            onHookKey(wParam, (static_cast<std::uint64_t>(lParam) & 0x80000000u) != 0);
            break;
        case WM_LIST_EDIT_BEGIN:
            endFreeRecording();
            break;
        case WM_LIST_EDIT_END:
            delayEdited(wParam, lParam);
            break;
        default:
            break;
    }
    return 0;
}

// --- The macros ----------------------------------------------------------------------------

void CMacroRecordDlg::prompt(const QString& text, const QString& caption) {
    prompts_.show(text.toStdU16String(), caption.toStdU16String(), PromptButtons::Ok);
}

int CMacroRecordDlg::selectedMacro() const {
    return macroList_->selectedLine();
}

void CMacroRecordDlg::fillEventList() {
    eventList_->endEdit(false);
    eventList_->clear();
    for (const EventLine& line : editBuffers_.lines()) {
        eventList_->AddLine(ToQString(line.text));
    }
}

void CMacroRecordDlg::setLoopsText(const QString& value) {
    {
        const QSignalBlocker quiet(loopsEdit_);
        loopsEdit_->setText(value);
    }
    // Setting the text counts as a change even when it is the same text.
    loopsChanged();
}

std::int32_t CMacroRecordDlg::loopsValue() const {
    return loopsEdit_->text().toInt();  // digits only, at most 3; empty reads 0
}

void CMacroRecordDlg::loopsChanged() {
    const int s = selectedMacro();
    if (s >= 0) {
        workingMacroTable_.record(static_cast<std::size_t>(s)).setLoopCount(loopsValue());
    }
}

void CMacroRecordDlg::syncLoopsEdit() {
    loopsEdit_->setEnabled(loopsOn_);
}

void CMacroRecordDlg::storeName(std::size_t slot, const QString& line) {
    const MacroRecord record = workingMacroTable_.record(slot);
    if (line.isEmpty()) {
        // An empty name would free the slot and break the run of used slots: the old name stays.
        macroList_->setLineText(static_cast<int>(slot), ToQString(record.name()));
        return;
    }
    record.setName(ToU16(line));
    if (static_cast<std::size_t>(line.size()) > MacroRecord::kNameMaxChars) {
        macroList_->setLineText(static_cast<int>(slot), ToQString(record.name()));
    }
}

void CMacroRecordDlg::copyNamesFromList() {
    const int lines = std::min<int>(macroList_->count(), static_cast<int>(kMaxMacros));
    for (int i = 0; i < lines; ++i) {
        storeName(static_cast<std::size_t>(i), macroList_->lineText(i));
    }
}

void CMacroRecordDlg::saveEditBuffers() {
    const int s = selectedMacro();
    if (s < 0) {
        return;
    }
    const auto slot = static_cast<std::size_t>(s);
    storeName(slot, macroList_->lineText(s));
    const MacroRecord record = workingMacroTable_.record(slot);
    record.setLoopCount(loopsOn_ ? loopsValue() : 1);
    record.setDelayFlag(recordDelay_);
    editBuffers_.storeInto(record);
}

void CMacroRecordDlg::loadSelectedMacro() {
    const int s = selectedMacro();
    if (s < 0) {
        return;
    }
    eventList_->endEdit(false);
    eventList_->clear();
    const ConstMacroRecord record =
        std::as_const(workingMacroTable_).record(static_cast<std::size_t>(s));
    const std::int32_t loops = record.loopCount();
    // A count the keyboard cannot loop (0, or a negative one from a damaged file) shows 1.
    const std::int32_t shown = loops < 1 ? 1 : loops;
    loopsOn_ = loops > 1;
    setLoopsText(QString::number(shown));
    recordDelay_ = record.delayFlag();
    qCDebug(lcMacro, recordDelay_ ? "Has  delay time" : "Has No delay time");
    buttonStates_[kRecordDelayTick] = recordDelay_ ? 1 : 0;
    buttonStates_[kLoopTick] = loopsOn_ ? 1 : 0;
    editBuffers_ = MacroSequence::Of(record);
    fillEventList();
    syncLoopsEdit();
    update();
}

void CMacroRecordDlg::onMacroSelectionChanged() {
    // Another macro takes no keystrokes meant for the one before.
    endFreeRecording();
    endHook();
    loadSelectedMacro();
}

void CMacroRecordDlg::newMacro() {
    const int lines = macroList_->count();
    if (lines >= static_cast<int>(kMaxMacros)) {
        return;
    }
    int n = 1;
    const auto taken = [&](const QString& name) {
        for (int i = 0; i < lines; ++i) {
            if (macroList_->lineText(i) == name) {
                return true;
            }
        }
        return false;
    };
    while (taken(MacroName(n))) {
        ++n;
    }
    const QString name = MacroName(n);
    const int line = macroList_->AddLine(name);
    macroList_->setSelectedLine(line);
    macroList_->RedrawList(true);

    const MacroRecord record = workingMacroTable_.record(static_cast<std::size_t>(line));
    std::fill(record.bytes().begin(), record.bytes().end(), std::uint8_t{0});
    record.setName(ToU16(name));

    eventList_->endEdit(false);
    eventList_->clear();
    editBuffers_ = MacroSequence{};
    recordButtonState_ = false;
    recordDelay_ = false;
    buttonStates_[kRecordDelayTick] = 0;
    setLoopsText(QStringLiteral("1"));
    endHook();
    loopsOn_ = false;
    buttonStates_[kLoopTick] = 0;
    syncLoopsEdit();
    update();
}

void CMacroRecordDlg::deleteMacro() {
    if (prompts_.show(tr("Confirm to delete?").toStdU16String(),
                      tr("Macro Manager", "message caption").toStdU16String(),
                      PromptButtons::OkCancel) != PromptAnswer::Ok) {
        return;
    }
    const int s = selectedMacro();
    if (s < 0) {
        prompt(tr("Please select a Macro file to delete\n"),
               tr("Macro Manager", "message caption"));
        return;
    }
    endFreeRecording();
    endHook();
    macroList_->endEdit(false);
    macroList_->deleteLine(s);
    eventList_->endEdit(false);
    eventList_->clear();

    const int used =
        static_cast<int>(DeleteMacroSlot(workingMacroTable_, static_cast<std::size_t>(s)));

    const int select = std::min(s, used - 2);
    macroList_->setSelectedLine(select);
    if (select >= 0) {
        loadSelectedMacro();
    } else {
        editBuffers_ = MacroSequence{};
    }
    recordButtonState_ = false;
    update();
}

void CMacroRecordDlg::ok() {
    // An edit still open in a list is kept, and a rename reaches the copy even when the name
    // timer has not ticked since.
    eventList_->endEdit(true);
    QCoreApplication::sendPostedEvents(eventList_, QEvent::MetaCall);
    macroList_->endEdit(true);
    copyNamesFromList();

    endFreeRecording();
    endHook();
    const int s = selectedMacro();
    if (loopsOn_ && s >= 0) {
        workingMacroTable_.record(static_cast<std::size_t>(s)).setLoopCount(loopsValue());
    }
    model_.macros = workingMacroTable_;
    accept();
}

void CMacroRecordDlg::delayEdited(std::uintptr_t line, std::intptr_t delay) {
    const int s = selectedMacro();
    if (s < 0) {
        return;
    }
    const MacroRecord record = workingMacroTable_.record(static_cast<std::size_t>(s));
    editBuffers_ = MacroSequence::Of(record);
    const auto event = editBuffers_.lineToEvent((line & 0xFF) + 1);
    if (event) {
        editBuffers_.setDelay(*event, static_cast<std::uint16_t>(delay & 0xFFFF));
    }
    editBuffers_.storeInto(record);
    fillEventList();
}

}  // namespace tavrin
