#pragma once

// Helpers for the widget tests: small images, PNG files and screenshots.

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <vector>

namespace tavrin::test {

// An image of `size` filled with one colour.
QImage SolidImage(QSize size, QColor colour);

// Frames of `frameSize` in these colours, side by side or stacked.
QImage FrameStrip(QSize frameSize, const std::vector<QColor>& colours, bool vertical);

// Writes a PNG, creating its folders.
void WritePng(const std::filesystem::path& path, const QImage& image);

// Puts the pointer in the bottom-right corner of a shown window. Qt drops a pointer move to the
// point where the pointer already is, and a window of an earlier test may have left it exactly
// where this test moves next; call this once the window is exposed.
void ParkMouse(QWidget& window);

// With TAVRIN_SCREENSHOT_DIR set, saves the widget's grab there as <name>.png.
void SaveScreenshotIfAsked(QWidget& widget, const QString& name);

}  // namespace tavrin::test
