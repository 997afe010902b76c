#include "ui/controls/SkinSurface.h"

#include <QAbstractSlider>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <map>

#include "ui/controls/CBitSlider.h"
#include "ui/controls/SkinAccent.h"

namespace tavrin {

namespace {

QAccessible::State StateOf(SkinSurface& surface, int id, const SkinRegionInfo& info) {
    QAccessible::State state;
    state.invisible = !info.shown;
    state.disabled = !info.enabled;
    state.focusable = info.shown && info.focusable;
    QWidget* window = surface.surfaceWidget();
    state.focused = window->hasFocus() && surface.focusedRegion() == id;
    if (info.role == QAccessible::ListItem || info.role == QAccessible::PageTab) {
        // A list's highlighted row and the active tab are selected, not checked.
        state.selectable = true;
        state.selected = info.checked;
    } else if (info.checkable) {
        state.checkable = true;
        state.checked = info.checked;
    }
    state.expandable = info.expandable;
    state.expanded = info.expandable && info.expanded;
    state.collapsed = info.expandable && !info.expanded;
    return state;
}

class SkinWindowAccessible;

// One region of a skinned window: no QObject of its own; the window answers for it.
class SkinRegionAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SkinRegionAccessible(SkinWindowAccessible& owner, SkinSurface& surface, int id)
        : owner_(owner), surface_(surface), widget_(surface.surfaceWidget()), id_(id) {}

    bool isValid() const override { return !widget_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return widget_ ? widget_->window()->windowHandle() : nullptr;
    }

    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override {
        return isValid() ? static_cast<int>(surface_.regionChildren(id_).size()) : 0;
    }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        const SkinRegionInfo info = surface_.regionInfo(id_);
        switch (t) {
            case QAccessible::Name:
                return info.name;
            case QAccessible::Description:
                return info.description;
            case QAccessible::Value:
                return info.value;
            default:
                return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect local = surface_.regionInfo(id_).rect;
        return QRect(widget_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        return isValid() ? surface_.regionInfo(id_).role : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        if (!isValid()) {
            QAccessible::State gone;
            gone.invalid = true;
            return gone;
        }
        return StateOf(surface_, id_, surface_.regionInfo(id_));
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid()) {
            return {};
        }
        const SkinRegionInfo info = surface_.regionInfo(id_);
        if (!info.shown || !info.enabled || info.role == QAccessible::StaticText ||
            info.role == QAccessible::Grouping) {
            return {};
        }
        return {info.checkable ? toggleAction() : pressAction()};
    }
    void doAction(const QString& name) override {
        if (!actionNames().contains(name)) {
            return;
        }
        // Queued: a press may open a modal dialog, and the caller (an assistive technology
        // waiting for its answer on the bus) must not wait for it to close.
        QPointer<QWidget> widget = widget_;
        SkinSurface* surface = &surface_;
        const int id = id_;
        QMetaObject::invokeMethod(
            widget_.data(),
            [widget, surface, id] {
                if (widget && surface->regionInfo(id).shown) {
                    surface->activateRegion(id);
                }
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int id() const { return id_; }

private:
    SkinWindowAccessible& owner_;
    SkinSurface& surface_;
    QPointer<QWidget> widget_;
    int id_;
};

// What an assistive technology was last told about a region.
struct Announced {
    QString name;
    QString description;
    QString value;
    QAccessible::State state;
};

class SkinWindowAccessible : public QAccessibleWidget {
public:
    SkinWindowAccessible(QWidget* widget, SkinSurface& surface)
        : QAccessibleWidget(
              widget, qobject_cast<QDialog*>(widget) ? QAccessible::Dialog : QAccessible::Window),
          surface_(surface) {}

    ~SkinWindowAccessible() override {
        for (const auto& [id, accessibleId] : regions_) {
            QAccessible::deleteAccessibleInterface(accessibleId);
        }
    }

    SkinRegionAccessible* region(int id) {
        const auto found = regions_.find(id);
        if (found != regions_.end()) {
            return static_cast<SkinRegionAccessible*>(
                QAccessible::accessibleInterface(found->second));
        }
        auto* made = new SkinRegionAccessible(*this, surface_, id);
        regions_.emplace(id, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int childCount() const override {
        return static_cast<int>(surface_.regionChildren(SkinSurface::kTopLevel).size()) +
               QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override {
        const std::vector<int> top = surface_.regionChildren(SkinSurface::kTopLevel);
        if (index < 0) {
            return nullptr;
        }
        if (index < static_cast<int>(top.size())) {
            return const_cast<SkinWindowAccessible*>(this)->region(
                top[static_cast<std::size_t>(index)]);
        }
        return QAccessibleWidget::child(index - static_cast<int>(top.size()));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<int> top = surface_.regionChildren(SkinSurface::kTopLevel);
        if (const auto* r = dynamic_cast<const SkinRegionAccessible*>(child)) {
            const auto at = std::find(top.begin(), top.end(), r->id());
            return at == top.end() ? -1 : static_cast<int>(at - top.begin());
        }
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : widgetIndex + static_cast<int>(top.size());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (QAccessibleInterface* widgetChild = QAccessibleWidget::childAt(x, y)) {
            return widgetChild;
        }
        const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
        for (int id : surface_.regionChildren(SkinSurface::kTopLevel)) {
            const SkinRegionInfo info = surface_.regionInfo(id);
            if (info.shown && info.rect.contains(local)) {
                SkinRegionAccessible* r = const_cast<SkinWindowAccessible*>(this)->region(id);
                QAccessibleInterface* inner = r->childAt(x, y);
                return inner ? inner : r;
            }
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const int focused = surface_.focusedRegion();
        if (focused >= 0 && widget()->hasFocus()) {
            return const_cast<SkinWindowAccessible*>(this)->region(focused);
        }
        return QAccessibleWidget::focusChild();
    }

    void announce() {
        std::vector<int> pending = surface_.regionChildren(SkinSurface::kTopLevel);
        while (!pending.empty()) {
            const int id = pending.back();
            pending.pop_back();
            const std::vector<int> inner = surface_.regionChildren(id);
            pending.insert(pending.end(), inner.begin(), inner.end());
            announceRegion(id);
        }
        const int focused = widget()->hasFocus() ? surface_.focusedRegion() : -1;
        if (focused != announcedFocus_) {
            announcedFocus_ = focused;
            if (focused >= 0) {
                QAccessibleEvent event(region(focused), QAccessible::Focus);
                QAccessible::updateAccessibility(&event);
            }
        }
        primed_ = true;
    }

private:
    void announceRegion(int id) {
        const SkinRegionInfo info = surface_.regionInfo(id);
        Announced now{info.name, info.description, info.value, StateOf(surface_, id, info)};
        // Focus is told by its own event.
        now.state.focused = false;
        auto [at, added] = announced_.try_emplace(id, now);
        if (added || !primed_) {
            at->second = now;
            return;
        }
        Announced& before = at->second;
        SkinRegionAccessible* r = region(id);
        if (before.name != now.name) {
            QAccessibleEvent event(r, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (before.description != now.description) {
            QAccessibleEvent event(r, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (before.value != now.value) {
            QAccessibleValueChangeEvent event(r, now.value);
            QAccessible::updateAccessibility(&event);
        }
        QAccessible::State changed;
        changed.checked = before.state.checked != now.state.checked;
        changed.selected = before.state.selected != now.state.selected;
        changed.expanded = before.state.expanded != now.state.expanded;
        changed.collapsed = before.state.collapsed != now.state.collapsed;
        changed.invisible = before.state.invisible != now.state.invisible;
        changed.disabled = before.state.disabled != now.state.disabled;
        if (changed.checked || changed.selected || changed.expanded || changed.collapsed ||
            changed.invisible || changed.disabled) {
            QAccessibleStateChangeEvent event(r, changed);
            QAccessible::updateAccessibility(&event);
        }
        before = now;
    }

    SkinSurface& surface_;
    std::map<int, QAccessible::Id> regions_;
    std::map<int, Announced> announced_;
    int announcedFocus_ = -1;
    bool primed_ = false;
};

QAccessibleInterface* SkinRegionAccessible::parent() const {
    if (!isValid()) {
        return nullptr;
    }
    const int up = surface_.regionParent(id_);
    if (up == SkinSurface::kTopLevel) {
        return &owner_;
    }
    return owner_.region(up);
}

QAccessibleInterface* SkinRegionAccessible::child(int index) const {
    if (!isValid() || index < 0) {
        return nullptr;
    }
    const std::vector<int> ids = surface_.regionChildren(id_);
    if (index >= static_cast<int>(ids.size())) {
        return nullptr;
    }
    return owner_.region(ids[static_cast<std::size_t>(index)]);
}

int SkinRegionAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* r = dynamic_cast<const SkinRegionAccessible*>(child);
    if (!isValid() || r == nullptr) {
        return -1;
    }
    const std::vector<int> ids = surface_.regionChildren(id_);
    const auto at = std::find(ids.begin(), ids.end(), r->id());
    return at == ids.end() ? -1 : static_cast<int>(at - ids.begin());
}

QAccessibleInterface* SkinRegionAccessible::childAt(int x, int y) const {
    if (!isValid()) {
        return nullptr;
    }
    const QPoint local = widget_->mapFromGlobal(QPoint(x, y));
    for (int id : surface_.regionChildren(id_)) {
        const SkinRegionInfo info = surface_.regionInfo(id);
        if (info.shown && info.rect.contains(local)) {
            return owner_.region(id);
        }
    }
    return nullptr;
}

QAccessibleInterface* SkinRegionAccessible::focusChild() const {
    if (!isValid() || !widget_->hasFocus()) {
        return nullptr;
    }
    const int focused = surface_.focusedRegion();
    return focused >= 0 && surface_.regionParent(focused) == id_ ? owner_.region(focused) : nullptr;
}

// A bitmap slider: its value, and Increase and Decrease by one step.
class SkinSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SkinSliderAccessible(QAbstractSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    QAbstractSlider* slider() const { return static_cast<QAbstractSlider*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return QString::number(slider()->value());
        }
        return QAccessibleWidget::text(t);
    }
    // The thumb window is the slider's own business.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }

    QVariant currentValue() const override { return slider()->value(); }
    void setCurrentValue(const QVariant& value) override { slider()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

    QStringList actionNames() const override {
        return {increaseAction(), decreaseAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        if (!slider()->isEnabled()) {
            return;
        }
        if (name == increaseAction()) {
            slider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        } else if (name == decreaseAction()) {
            slider()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (auto* surface = dynamic_cast<SkinSurface*>(widget)) {
        return new SkinWindowAccessible(widget, *surface);
    }
    if (auto* slider = qobject_cast<CBitSlider*>(widget)) {
        return new SkinSliderAccessible(slider);
    }
    return nullptr;
}

bool UsableStop(SkinSurface& surface, const SkinStop& stop) {
    if (stop.widget != nullptr) {
        return stop.widget->isVisible() && stop.widget->isEnabled() &&
               (stop.widget->focusPolicy() & Qt::TabFocus) != 0;
    }
    const SkinRegionInfo info = surface.regionInfo(stop.region);
    return stop.region >= 0 && info.shown && info.enabled && info.focusable;
}

// The index of the stop that holds the focus now, or -1.
int CurrentStop(SkinSurface& surface, const std::vector<SkinStop>& stops) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* window = surface.surfaceWidget();
    if (focus == window) {
        for (int region = surface.focusedRegion(); region >= 0;
             region = surface.regionParent(region)) {
            for (std::size_t i = 0; i < stops.size(); ++i) {
                if (stops[i].widget == nullptr && stops[i].region == region) {
                    return static_cast<int>(i);
                }
            }
        }
        return -1;
    }
    for (std::size_t i = 0; i < stops.size(); ++i) {
        if (stops[i].widget != nullptr && focus != nullptr &&
            (stops[i].widget == focus || stops[i].widget->isAncestorOf(focus))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

SkinStop NextStop(SkinSurface& surface, bool forward) {
    const std::vector<SkinStop> stops = surface.focusStops();
    const int count = static_cast<int>(stops.size());
    if (count == 0) {
        return {};
    }
    const int current = CurrentStop(surface, stops);
    const int step = forward ? 1 : -1;
    int at = current >= 0 ? current : (forward ? -1 : count);
    for (int tried = 0; tried < count; ++tried) {
        at = ((at + step) % count + count) % count;
        if (UsableStop(surface, stops[static_cast<std::size_t>(at)])) {
            return stops[static_cast<std::size_t>(at)];
        }
    }
    return {};
}

void FocusStop(SkinSurface& surface, const SkinStop& stop, int& focusedRegion) {
    if (stop.widget != nullptr) {
        focusedRegion = -1;
        stop.widget->setFocus(Qt::TabFocusReason);
    } else if (stop.region >= 0) {
        focusedRegion = stop.region;
        surface.surfaceWidget()->setFocus(Qt::TabFocusReason);
    }
    surface.surfaceWidget()->update();
}

void PaintFocusRing(QPainter& painter, const QRect& logical) {
    // Two logical pixels just outside the rectangle, placed on whole device pixels so that the
    // ring is sharp and equally thick on every side at any ratio.
    const qreal ratio = painter.device()->devicePixelRatioF();
    const auto device = [ratio](int v) { return std::round(v * ratio); };
    const qreal thickness = std::max<qreal>(1, std::round(2 * ratio));
    const qreal left = device(logical.left());
    const qreal top = device(logical.top());
    const qreal right = device(logical.right() + 1);
    const qreal bottom = device(logical.bottom() + 1);
    const QColor accent = QColor::fromRgba(kSkinAccent);
    const auto fill = [&](qreal x, qreal y, qreal w, qreal h) {
        painter.fillRect(QRectF(x / ratio, y / ratio, w / ratio, h / ratio), accent);
    };
    const qreal outerWidth = right - left + 2 * thickness;
    fill(left - thickness, top - thickness, outerWidth, thickness);
    fill(left - thickness, bottom, outerWidth, thickness);
    fill(left - thickness, top, thickness, bottom - top);
    fill(right, top, thickness, bottom - top);
}

void AnnounceChanges(SkinSurface& surface) {
    if (!QAccessible::isActive()) {
        return;
    }
    if (auto* window = dynamic_cast<SkinWindowAccessible*>(
            QAccessible::queryAccessibleInterface(surface.surfaceWidget()))) {
        window->announce();
    }
}

QAccessibleInterface* RegionAccessible(SkinSurface& surface, int id) {
    auto* window = dynamic_cast<SkinWindowAccessible*>(
        QAccessible::queryAccessibleInterface(surface.surfaceWidget()));
    return window ? window->region(id) : nullptr;
}

void InstallSkinAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(SkinAccessibleFactory);
        return true;
    }();
    static_cast<void>(installed);
}

}  // namespace tavrin
