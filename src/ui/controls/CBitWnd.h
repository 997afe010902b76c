#pragma once

// A small child window that shows one frame of a BitmapStrip and behaves as an image button:
// frame 0 normal, 1 while the pointer is over it, 2 while pressed or latched.

#include <QWidget>
#include <memory>

#include "ui/controls/BitmapStrip.h"

namespace tavrin {

class CBitWnd : public QWidget {
    Q_OBJECT

public:
    enum Frame { Normal = 0, Over = 1, Pressed = 2 };

    // Shown with its parent; a window without a parent stays hidden until shown.
    explicit CBitWnd(QWidget* parent = nullptr, int controlId = 0);
    ~CBitWnd() override;

    // An owned strip is deleted when replaced; a borrowed one (may be null) must outlive the
    // window or be replaced first.
    void setStrip(std::unique_ptr<BitmapStrip> strip);
    void setStrip(const BitmapStrip* strip);
    const BitmapStrip* strip() const { return strip_; }

    int frame() const { return frame_; }
    bool latched() const { return latched_; }
    bool toggle() const { return toggle_; }
    void setToggle(bool toggle) { toggle_ = toggle; }
    void setForwardMouse(bool forward) { forwardMouse_ = forward; }
    void setCommandOnPress(bool onPress) { commandOnPress_ = onPress; }
    bool tracking() const { return tracking_; }
    int controlId() const { return controlId_; }
    void setControlId(int id) { controlId_ = id; }

signals:
    // The button's command, with its control identifier: on press or on release.
    void command(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int frameCount() const { return strip_ ? strip_->frameCount() : 0; }
    void hover();
    void forwardToParent(QMouseEvent* event);

    std::unique_ptr<BitmapStrip> ownedStrip_;
    const BitmapStrip* strip_ = nullptr;
    int frame_ = Normal;
    int controlId_ = 0;
    bool latched_ = false;
    bool toggle_ = false;
    bool forwardMouse_ = false;
    bool tracking_ = false;
    bool commandOnPress_ = false;
};

}  // namespace tavrin
