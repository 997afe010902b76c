#pragma once

// The picture shown for about a second while the main window starts: "SplashScreen.png" of the
// interface language. It closes itself on the 52nd tick of its 20 ms timer.

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace tavrin {

class SkinLookup;

class CSplashScreen : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 20;
    static constexpr int kLastQuietTick = 50;  // closes once more ticks than this have passed

    explicit CSplashScreen(QWidget* parent = nullptr);

    // "SplashScreen.png" in the skin folder of the language ("png/english"), when it exists.
    static std::optional<std::filesystem::path> PicturePath(
        SkinLookup& skins, const std::filesystem::path& skinFolder);

    // Loads the picture and gives the window its size; no path or a missing file shows no
    // picture.
    void setPicturePath(const std::optional<std::filesystem::path>& path);
    const QImage& picture() const { return picture_; }

    // One timer tick. The count is kept for the whole run, as there is one splash screen.
    void tick();
    int tickCount() const { return ticks_; }
    const QTimer& timer() const { return timer_; }
    // Stops the timer so that a test can give the ticks itself.
    void stopTimer() { timer_.stop(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QTimer timer_;
    int ticks_ = 0;
};

}  // namespace tavrin
