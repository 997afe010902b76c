#pragma once

// Helpers for the widget tests: small images, PNG files, screenshots and modal dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <vector>

namespace tavrin::test {

// An image of `size` filled with one colour.
QImage SolidImage(QSize size, QColor colour);

// Frames of `frameSize` in these colours, side by side or stacked.
QImage FrameStrip(QSize frameSize, const std::vector<QColor>& colours, bool vertical);

// The colour a composed surface shows at a logical point, whatever its device pixel ratio: the
// device pixel under the point's centre.
QRgb LogicalPixel(const QImage& surface, QPoint logical);
QColor LogicalPixelColor(const QImage& surface, QPoint logical);
// The device pixels under a logical rectangle of a composed surface.
QImage LogicalCopy(const QImage& surface, const QRect& logical);

// Writes a PNG, creating its folders.
void WritePng(const std::filesystem::path& path, const QImage& image);

// Puts the pointer in the bottom-right corner of a shown window. Qt drops a pointer move to the
// point where the pointer already is, and a window of an earlier test may have left it exactly
// where this test moves next; call this once the window is exposed.
void ParkMouse(QWidget& window);

// With TAVRIN_SCREENSHOT_DIR set, saves the widget's grab there as <name>.png.
void SaveScreenshotIfAsked(QWidget& widget, const QString& name);

// Runs `steps` on the modal dialog that the next call brings up, `delayMs` after the call's event
// loop starts, then lets the test go on. A dialog of another kind is closed and the test fails.
template <typename Dialog>
void WhenModal(std::function<void(Dialog&)> steps, int delayMs = 0) {
    QTimer::singleShot(delayMs, [steps] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "the dialog did not come up";
            if (QWidget* other = QApplication::activeModalWidget()) {
                other->close();
            }
            return;
        }
        steps(*dialog);
    });
}

}  // namespace tavrin::test
