// The main window without a pointer: its regions as the keyboard focus and assistive
// technologies see them, the Tab order, the keys that move and press, and the focus ring.

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "model/AssignmentKind.h"
#include "model/FunctionCatalogue.h"
#include "model/KeyMapEntryType.h"
#include "model/KeyTables.h"
#include "platform/qt/QtConversions.h"
#include "ui/controls/CBitSlider.h"
#include "ui/keymap/KeyNames.h"
#include "ui/main/COstraDlg.h"

namespace tavrin {

namespace {

constexpr std::size_t kWinPosition = 96;
constexpr std::size_t kFnPosition = 100;
constexpr int kKeyboardRank = 300;
constexpr int kHelpRowsRank = 1;  // right after Help, while its pop-up is open

// Where the sliders stand in the reading order of the region table's ranks.
constexpr std::array<std::pair<int, int>, 3> kSliderRanks = {{
    {kBrightnessSliderId, 180},
    {kSpeedSliderId, 190},
    {kReportSliderId, 290},
}};

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

const RegionRow* RowOf(int id) {
    for (const RegionRow& row : RegionTable()) {
        if (static_cast<int>(row.region) == id) {
            return &row;
        }
    }
    return nullptr;
}

QRect ToQRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}

// A key's rectangle in window coordinates, as its highlight covers it.
QRect KeyArea(const KeyRect& r) {
    return QRect(kKeyboardOriginX + r.left, kKeyboardOriginY + r.top, r.right - r.left,
                 r.bottom - r.top);
}

// The keys the picture can show in either layout; the same list for the window's life.
std::vector<int> KeyIds() {
    std::vector<int> ids;
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (!KeyRects104[p].isEmpty() || !KeyRects87[p].isEmpty()) {
            ids.push_back(COstraDlg::kFirstKey + static_cast<int>(p));
        }
    }
    return ids;
}

// The nearest key from `from` in the direction (dx, dy): along its row for left and right, in
// the nearest row above or below for up and down, nearest in the other axis there.
std::optional<std::size_t> NeighbourKey(const std::array<KeyRect, kPositionCount>& rects,
                                        std::size_t from, int dx, int dy,
                                        const std::function<bool(std::size_t)>& usable) {
    const KeyRect& a = rects[from];
    const int ax = (a.left + a.right) / 2;
    const int ay = (a.top + a.bottom) / 2;
    std::optional<std::size_t> best;
    int bestScore = 0;
    for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
        if (p == from || rects[p].isEmpty() || !usable(p)) {
            continue;
        }
        const KeyRect& b = rects[p];
        const int bx = (b.left + b.right) / 2;
        const int by = (b.top + b.bottom) / 2;
        int main = 0;
        int cross = 0;
        if (dx != 0) {
            // The same row: the centres' heights lie within each other's keys.
            const bool sameRow = (a.top <= by && by <= a.bottom) || (b.top <= ay && ay <= b.bottom);
            main = (bx - ax) * dx;
            cross = std::abs(by - ay);
            if (!sameRow || main <= 0) {
                continue;
            }
        } else {
            main = (by - ay) * dy;
            cross = std::abs(bx - ax);
            if (main <= (a.bottom - a.top) / 4) {
                continue;
            }
        }
        // Along the way first, but a key far to the side loses to one straight ahead.
        const int score = main + (dx != 0 ? 1 : 2) * cross;
        if (!best || score < bestScore) {
            best = p;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

std::vector<int> COstraDlg::regionChildren(int parent) const {
    if (parent == kTopLevel) {
        std::vector<int> ids;
        for (const RegionRow& row : RegionTable()) {
            if (row.role != RegionRole::None) {
                ids.push_back(static_cast<int>(row.region));
            }
        }
        ids.insert(ids.end(), {kHelpHomePage, kHelpUpdate, kHelpVersion, kKeyboardPicture});
        return ids;
    }
    std::vector<int> ids;
    if (parent == static_cast<int>(Region::EffectBox)) {
        for (int i = 0; i < static_cast<int>(kEffectCount); ++i) {
            ids.push_back(kFirstEffectRow + i);
        }
    } else if (parent == static_cast<int>(Region::ResponseBox)) {
        for (int i = 0; i < kResponseRows; ++i) {
            ids.push_back(kFirstResponseRow + i);
        }
    } else if (parent == kKeyboardPicture) {
        ids = KeyIds();
    }
    return ids;
}

int COstraDlg::regionParent(int id) const {
    if (id >= kFirstKey) {
        return kKeyboardPicture;
    }
    if (id >= kFirstResponseRow) {
        return static_cast<int>(Region::ResponseBox);
    }
    if (id >= kFirstEffectRow) {
        return static_cast<int>(Region::EffectBox);
    }
    return kTopLevel;
}

QString COstraDlg::keyMeaning(std::uint8_t position) const {
    if (position >= kMatrixPositionCount) {
        return {};
    }
    if (!model_.settings.isKeyEnabled(MatrixCodeOf(position))) {
        return tr("Disabled");
    }
    const ConstAssignmentRecord r = std::as_const(model_.assignments).record(position);
    const auto keys = r.keys();
    switch (r.kind()) {
        case KindByte(AssignmentKind::KeyCombination):
            if (keys[0] != 0) {
                return CombinationText(std::span(keys.data(), std::size_t{3})).trimmed();
            }
            break;
        case KindByte(AssignmentKind::Macro):
            if (r.code()[kKeyMapEntryTypeByte] == EntryTypeByte(KeyMapEntryType::Macro)) {
                return tr("Macro %1").arg(r.code()[0] + 1);
            }
            break;
        case KindByte(AssignmentKind::Function): {
            const auto code = r.code();
            if (const CatalogueFunction* f =
                    FindFunctionByCode(KeyMapEntry{code[0], code[1], code[2], code[3]})) {
                return Text(f->label(model_.languageId));
            }
            break;
        }
        case KindByte(AssignmentKind::PlaySound):
            return tr("Play Sound: %1").arg(ToQString(r.launchPath()));
        case KindByte(AssignmentKind::Startup):
            return tr("Launch: %1").arg(ToQString(r.launchPath()));
        case KindByte(AssignmentKind::OpenFile):
            return tr("Open File: %1").arg(ToQString(r.launchPath()));
        case KindByte(AssignmentKind::OpenFolder):
            return tr("Open Folder: %1").arg(ToQString(r.launchPath()));
        default:
            break;
    }
    // A single key, or none given: what the key sends.
    const std::uint8_t vk = r.kind() == KindByte(AssignmentKind::SingleKey) && keys[0] != 0
                                ? keys[0]
                                : DefaultVkTable[position];
    return KeyName(vk).trimmed();
}

SkinRegionInfo COstraDlg::regionInfo(int id) const {
    SkinRegionInfo info;
    const SettingsBlock& s = model_.settings;
    const std::uint8_t effect = s.effectCode();
    const SectionLayout layout = LayoutSections(state_.panel);
    if (id >= kFirstKey) {
        const auto p = static_cast<std::size_t>(id - kFirstKey);
        const KeyRect& r = KeyRectsFor(model_.layoutVariant)[p];
        info.rect = KeyArea(r);
        info.shown = !r.isEmpty();
        info.name = Text(KeyLabelsFor(model_.layoutVariant)[p]);
        const bool layer =
            effect >= kFirstDiyEffect && effect < kFirstDiyEffect + SettingsBlock::kDiyTableCount;
        if (state_.diyView) {
            // Each key's light in the DIY layer being painted.
            info.role = QAccessible::CheckBox;
            info.checkable = true;
            info.enabled = layer;
            info.checked = layer && s.diyTable(effect - kFirstDiyEffect)[LedIndexTable[p]] != 0;
            info.description = info.checked ? tr("Lit") : tr("Not lit");
        } else {
            info.role = QAccessible::PushButton;
            // Win and Fn cannot be given another meaning.
            info.enabled = p != kWinPosition && p != kFnPosition;
            info.description = keyMeaning(static_cast<std::uint8_t>(p));
        }
        return info;
    }
    if (id >= kFirstResponseRow) {
        const int row = id - kFirstResponseRow;
        info.role = QAccessible::ListItem;
        info.rect = QRect(layout.responseListX(), layout.responseListY() + kListRowHeight * row,
                          220, kListRowHeight);
        info.name = QStringLiteral("%1ms").arg(2 * (row + 1));
        info.shown = state_.responseListOpen;
        info.checked = state_.responseListRow == row;
        return info;
    }
    if (id >= kFirstEffectRow) {
        const int row = id - kFirstEffectRow;
        info.role = QAccessible::ListItem;
        info.rect = QRect(kEffectListLeft, kEffectListTop + kListRowHeight * row,
                          kEffectListRight - kEffectListLeft, kListRowHeight);
        info.name = Text(EffectName(static_cast<std::size_t>(row), model_.chinese()));
        info.shown = state_.effectListOpen;
        info.checked = state_.effectListRow == row;
        return info;
    }
    switch (id) {
        case kKeyboardPicture: {
            info.role = QAccessible::Grouping;
            info.name = tr("Keyboard");
            QRect all;
            for (const KeyRect& r : KeyRectsFor(model_.layoutVariant)) {
                if (!r.isEmpty()) {
                    all = all.united(KeyArea(r));
                }
            }
            info.rect = all;
            return info;
        }
        case kHelpHomePage:
            info.role = QAccessible::Link;
            info.name = QString::fromLatin1(kHomePageAddress);
            info.rect = QRect(830, 22, 167, 25);
            info.shown = state_.helpOpen;
            return info;
        case kHelpUpdate:
            info.role = QAccessible::PushButton;
            info.name = tr("Update Firmware");
            info.rect = QRect(830, 47, 167, 25);
            info.shown = state_.helpOpen;
            return info;
        case kHelpVersion:
            info.role = QAccessible::StaticText;
            info.name = QStringLiteral("Ver: 1.4");
            info.rect = QRect(830, 72, 167, 25);
            info.shown = state_.helpOpen;
            info.focusable = false;
            return info;
        default:
            break;
    }
    const RegionRow* row = RowOf(id);
    if (row == nullptr || row->role == RegionRole::None) {
        info.shown = false;
        info.focusable = false;
        return info;
    }
    const auto region = static_cast<Region>(id);
    info.rect = ToQRect(RegionRect(region, layout));
    info.shown = RegionTested(*row, state_.panel, effect);
    const QString name = row->name == nullptr ? QString() : tr(row->name);
    info.name = row->group == nullptr ? name : QStringLiteral("%1 %2").arg(tr(row->group), name);
    switch (row->role) {
        case RegionRole::None:
        case RegionRole::Button:
            info.role = QAccessible::PushButton;
            break;
        case RegionRole::Expander:
            info.role = QAccessible::PushButton;
            info.expandable = true;
            break;
        case RegionRole::ComboBox:
            info.role = QAccessible::ComboBox;
            info.expandable = true;
            break;
        case RegionRole::Radio:
            info.role = QAccessible::RadioButton;
            info.checkable = true;
            break;
    }
    switch (region) {
        case Region::Help:
            info.expanded = state_.helpOpen;
            break;
        case Region::LightHeader:
            info.expanded = !state_.panel.lightCollapsed;
            break;
        case Region::GameModeHeader:
            info.expanded = !state_.panel.gameCollapsed;
            break;
        case Region::ResponseHeader:
            info.expanded = !state_.panel.responseCollapsed;
            break;
        case Region::ReportHeader:
            info.expanded = !state_.panel.reportCollapsed;
            break;
        case Region::EffectBox:
            info.expanded = state_.effectListOpen;
            if (auto effectName = EffectNameForCode(effect, model_.chinese())) {
                info.value = Text(*effectName);
            }
            break;
        case Region::ResponseBox:
            info.expanded = state_.responseListOpen;
            info.value = QStringLiteral("%1 ms").arg(2 * s.responseTime());
            break;
        case Region::DirectionT:
        case Region::DirectionB:
        case Region::DirectionR:
        case Region::DirectionL: {
            // They answer to clicks whatever the effect, but show for Wave only.
            info.shown = info.shown && effect == 2;
            const int code = 3 - (id - static_cast<int>(Region::DirectionT));
            info.checked = s.directionCode() == code;
            break;
        }
        case Region::KeymapRadio:
            info.checked = !state_.diyView;
            break;
        case Region::DiyRadio:
            info.checked = state_.diyView;
            break;
        case Region::GameModeOn:
            info.checked = s.gameMode() != 0;
            break;
        case Region::GameModeOff:
            info.checked = s.gameMode() == 0;
            break;
        case Region::WinLockOn:
            info.checked = s.winLock() != 0;
            break;
        case Region::WinLockOff:
            info.checked = s.winLock() == 0;
            break;
        default:
            break;
    }
    return info;
}

std::vector<SkinStop> COstraDlg::focusStops() const {
    std::vector<std::pair<int, SkinStop>> ranked;
    for (const RegionRow& row : RegionTable()) {
        if (row.role != RegionRole::None) {
            ranked.push_back({row.readingRank, SkinStop{static_cast<int>(row.region), nullptr}});
        }
    }
    ranked.push_back({kHelpRowsRank, SkinStop{kHelpHomePage, nullptr}});
    ranked.push_back({kHelpRowsRank, SkinStop{kHelpUpdate, nullptr}});
    ranked.push_back({kKeyboardRank, SkinStop{kKeyboardPicture, nullptr}});
    for (const auto& [controlId, rank] : kSliderRanks) {
        ranked.push_back({rank, SkinStop{-1, slider(controlId)}});
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SkinStop> stops;
    for (const auto& [rank, stop] : ranked) {
        stops.push_back(stop);
    }
    return stops;
}

int COstraDlg::focusedRegion() const {
    if (focusedRegion_ == static_cast<int>(Region::EffectBox) && state_.effectListOpen &&
        state_.effectListRow != kNoRow) {
        return kFirstEffectRow + state_.effectListRow;
    }
    if (focusedRegion_ == static_cast<int>(Region::ResponseBox) && state_.responseListOpen &&
        state_.responseListRow != kNoRow) {
        return kFirstResponseRow + state_.responseListRow;
    }
    if (focusedRegion_ == kKeyboardPicture) {
        return kFirstKey + focusedKey_;
    }
    return focusedRegion_;
}

void COstraDlg::afterInput() {
    applyModelRules();
    paintAll();
}

void COstraDlg::activateRegion(int id) {
    if (busy_) {
        return;
    }
    lastPressByPointer_ = false;
    if (id >= kFirstKey) {
        const auto key = static_cast<std::uint8_t>(id - kFirstKey);
        if (regionInfo(id).enabled) {
            focusedKey_ = key;
            activateKey(key);
        }
    } else if (id >= kFirstResponseRow) {
        chooseResponseRow(static_cast<std::uint8_t>(id - kFirstResponseRow));
    } else if (id >= kFirstEffectRow) {
        chooseEffectRow(static_cast<std::uint8_t>(id - kFirstEffectRow));
    } else if (id == kHelpHomePage || id == kHelpUpdate) {
        helpRow(id - kHelpHomePage);
        if (focusedRegion_ == id) {
            focusedRegion_ = static_cast<int>(Region::Help);
        }
    } else if (id == kKeyboardPicture) {
        activateRegion(kFirstKey + focusedKey_);
        return;
    } else if (RowOf(id) != nullptr && id != static_cast<int>(Region::Logo)) {
        const auto region = static_cast<Region>(id);
        const bool listWasOpen = state_.effectListOpen || state_.responseListOpen;
        // What a click elsewhere does to an open list or pop-up.
        closeListsAndHelp();
        const bool reopened =
            listWasOpen && (region == Region::EffectBox || region == Region::ResponseBox);
        if (region == Region::Help && focusedRegion_ >= kHelpHomePage &&
            focusedRegion_ <= kHelpUpdate) {
            focusedRegion_ = id;
        }
        if (!reopened) {
            onRegionClicked(region);
        }
        // A list opened without the pointer starts on the row of the current choice.
        if (state_.effectListOpen && state_.effectListRow == kNoRow) {
            const auto& codes = EffectCodeTable;
            for (std::size_t row = 0; row < kEffectCount; ++row) {
                if (codes[row] == model_.settings.effectCode()) {
                    state_.effectListRow = static_cast<std::uint8_t>(row);
                    break;
                }
            }
        }
        if (state_.responseListOpen && state_.responseListRow == kNoRow &&
            model_.settings.responseTime() >= 1 && model_.settings.responseTime() <= 10) {
            state_.responseListRow = static_cast<std::uint8_t>(model_.settings.responseTime() - 1);
        }
    }
    afterInput();
}

void COstraDlg::closeListsAndHelp() {
    state_.effectListOpen = false;
    state_.responseListOpen = false;
    state_.helpOpen = false;
}

bool COstraDlg::focusNextPrevChild(bool next) {
    if (busy_) {
        return true;
    }
    // Leaving an open list leaves its choice as it was.
    state_.effectListOpen = false;
    state_.responseListOpen = false;
    moveFocusTo(NextStop(*this, next));
    return true;
}

void COstraDlg::moveFocusTo(const SkinStop& stop) {
    ringShown_ = true;
    const bool toHelp =
        stop.widget == nullptr && (stop.region == static_cast<int>(Region::Help) ||
                                   stop.region == kHelpHomePage || stop.region == kHelpUpdate);
    if (!toHelp) {
        state_.helpOpen = false;  // the pop-up closes once the focus leaves it
    }
    if (focusedRegion_ == kKeyboardPicture && stop.region != kKeyboardPicture) {
        model_.selectedKey = kNoKey;
        state_.lastHoverKey = kNoKey;
    }
    if (stop.widget != nullptr) {
        focusedRegion_ = -1;
        stop.widget->setFocus(Qt::TabFocusReason);
        paintAll();
        return;
    }
    if (stop.region < 0) {
        return;
    }
    focusedRegion_ = stop.region;
    if (stop.region == kKeyboardPicture) {
        // Back on the key it left, or on the first one this view can pick.
        if (!regionInfo(kFirstKey + focusedKey_).shown ||
            !regionInfo(kFirstKey + focusedKey_).enabled) {
            focusedKey_ = 0;
        }
        model_.selectedKey = focusedKey_;
        state_.lastHoverKey = focusedKey_;
    }
    if (!hasFocus()) {
        setFocus(Qt::TabFocusReason);
    }
    paintAll();
}

void COstraDlg::moveInList(int step) {
    const bool effects = state_.effectListOpen;
    std::uint8_t& row = effects ? state_.effectListRow : state_.responseListRow;
    const int rows = effects ? static_cast<int>(kEffectCount) : kResponseRows;
    const int next = row == kNoRow ? (step > 0 ? 0 : rows - 1)
                                   : std::clamp(static_cast<int>(row) + step, 0, rows - 1);
    row = static_cast<std::uint8_t>(next);
    ringShown_ = true;
    paintAll();
}

void COstraDlg::moveOnKeyboard(int dx, int dy) {
    const auto& rects = KeyRectsFor(model_.layoutVariant);
    const auto usable = [this](std::size_t p) {
        return regionInfo(kFirstKey + static_cast<int>(p)).enabled;
    };
    if (const auto next = NeighbourKey(rects, focusedKey_, dx, dy, usable)) {
        focusedKey_ = static_cast<std::uint8_t>(*next);
        model_.selectedKey = focusedKey_;
        state_.lastHoverKey = focusedKey_;
    }
    ringShown_ = true;
    paintAll();
}

bool COstraDlg::handleFocusKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const bool listOpen = state_.listOpen();
    switch (event->key()) {
        case Qt::Key_Escape:
            if (listOpen) {
                state_.effectListOpen = false;
                state_.responseListOpen = false;
            } else if (state_.helpOpen) {
                state_.helpOpen = false;
                if (focusedRegion_ == kHelpHomePage || focusedRegion_ == kHelpUpdate) {
                    focusedRegion_ = static_cast<int>(Region::Help);
                }
            } else {
                return false;
            }
            ringShown_ = true;
            afterInput();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const int step = event->key() == Qt::Key_Up ? -1 : 1;
            if (listOpen) {
                moveInList(step);
                return true;
            }
            if (focusedRegion_ == kKeyboardPicture) {
                moveOnKeyboard(0, step);
                return true;
            }
            return false;
        }
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (focusedRegion_ == kKeyboardPicture && !listOpen) {
                moveOnKeyboard(event->key() == Qt::Key_Left ? -1 : 1, 0);
                return true;
            }
            return false;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (state_.effectListOpen || state_.responseListOpen) {
                const std::uint8_t row =
                    state_.effectListOpen ? state_.effectListRow : state_.responseListRow;
                if (row == kNoRow) {
                    closeListsAndHelp();
                } else if (state_.effectListOpen) {
                    chooseEffectRow(row);
                } else {
                    chooseResponseRow(row);
                }
                ringShown_ = true;
                afterInput();
                return true;
            }
            if (focusedRegion_ >= 0) {
                ringShown_ = true;
                activateRegion(focusedRegion());
                return true;
            }
            return false;
        default:
            return false;
    }
}

void COstraDlg::keyPressEvent(QKeyEvent* event) {
    if (busy_) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Save)) {
        // As Save does, from wherever the focus is.
        closeListsAndHelp();
        lastPressByPointer_ = false;
        onRegionClicked(Region::Save);
        afterInput();
        event->accept();
        return;
    }
    if (handleFocusKey(event)) {
        event->accept();
        return;
    }
    // Enter, Escape and F1 never close the window or ask for help.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_F1:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

bool COstraDlg::eventFilter(QObject* watched, QEvent* event) {
    // A slider that takes or loses the focus moves the ring.
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
        qobject_cast<CBitSlider*>(watched) != nullptr && !busy_ && isVisible()) {
        if (event->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason) {
            ringShown_ = true;
        }
        paintAll();
    }
    return QWidget::eventFilter(watched, event);
}

void COstraDlg::paintFocusRing(QPainter& p) {
    if (!ringShown_) {
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    if (auto* s = qobject_cast<CBitSlider*>(focus); s != nullptr && s->parentWidget() == this) {
        if (s->isVisible()) {
            PaintFocusRing(p, s->geometry());
        }
        return;
    }
    const int id = focusedRegion();
    if (focus != this || id < 0) {
        return;
    }
    const SkinRegionInfo info = regionInfo(id);
    if (info.shown) {
        PaintFocusRing(p, info.rect);
    }
}

}  // namespace tavrin
