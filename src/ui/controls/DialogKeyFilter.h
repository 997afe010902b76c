#pragma once

// Keeps Enter and Escape from a dialog's default button and from its Cancel: on the object it
// filters, the press of either key stops there. With an Escape action, Escape runs it instead.

#include <QObject>
#include <functional>

namespace tavrin {

class DialogKeyFilter : public QObject {
    Q_OBJECT

public:
    // Filters `target`'s events and belongs to it.
    explicit DialogKeyFilter(QObject* target, std::function<void()> onEscape = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> onEscape_;
};

}  // namespace tavrin
