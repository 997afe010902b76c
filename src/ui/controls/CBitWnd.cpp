#include "ui/controls/CBitWnd.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "ui/controls/DensePictures.h"

namespace tavrin {

CBitWnd::CBitWnd(QWidget* parent, int controlId) : QWidget(parent), controlId_(controlId) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    if (parent != nullptr) {
        show();
    }
}

CBitWnd::~CBitWnd() = default;

void CBitWnd::setStrip(std::unique_ptr<BitmapStrip> strip) {
    ownedStrip_ = std::move(strip);
    strip_ = ownedStrip_.get();
    update();
}

void CBitWnd::setStrip(const BitmapStrip* strip) {
    ownedStrip_.reset();
    strip_ = strip;
    update();
}

void CBitWnd::paintEvent(QPaintEvent*) {
    // The class background is black; the frame covers it where the strip has pixels.
    QImage surface = NewSurface(size(), devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::black);
    if (strip_ != nullptr) {
        QPainter painter(&surface);
        strip_->draw(painter, frame_);
    }
    QPainter(this).drawImage(0, 0, surface);
}

void CBitWnd::hover() {
    if (latched_) {
        frame_ = Pressed;
    } else {
        frame_ = frameCount() > 1 ? Over : Normal;
    }
    update();
}

void CBitWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!tracking_) {
        // The pointer has just come in: the hover state follows at once.
        tracking_ = true;
        hover();
    }
    if (forwardMouse_) {
        forwardToParent(event);
    }
}

void CBitWnd::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!tracking_) {
        return;
    }
    if (frameCount() <= 1) {
        frame_ = Normal;
    } else {
        frame_ = latched_ ? Pressed : Normal;
    }
    tracking_ = false;
    update();
}

void CBitWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (latched_) {
        frame_ = Normal;
    } else {
        frame_ = frameCount() > 2 ? Pressed : Normal;
    }
    if (toggle_) {
        latched_ = !latched_;
    }
    update();
    QPointer<CBitWnd> alive(this);
    if (commandOnPress_) {
        emit command(controlId_);
    }
    if (alive && forwardMouse_) {
        forwardToParent(event);
    }
}

void CBitWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // Qt keeps delivering to the pressed widget; a release away from it is no click.
    const bool inside = rect().contains(event->position().toPoint());
    QPointer<CBitWnd> alive(this);
    if (inside) {
        if (!latched_) {
            frame_ = frameCount() > 1 ? Over : Normal;
            update();
        }
        if (!commandOnPress_) {
            emit command(controlId_);
        }
    }
    if (alive && forwardMouse_) {
        forwardToParent(event);
    }
}

void CBitWnd::forwardToParent(QMouseEvent* event) {
    QWidget* parent = parentWidget();
    if (parent == nullptr) {
        return;
    }
    const QPointF local = mapToParent(event->position());
    QMouseEvent copy(event->type(), local, parent->window()->mapFrom(parent, local),
                     event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                     event->pointingDevice());
    QCoreApplication::sendEvent(parent, &copy);
}

}  // namespace tavrin
