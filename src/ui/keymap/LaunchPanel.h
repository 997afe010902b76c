#pragma once

// The Advance tab of the key assignment dialog: four launch actions (Play Sound, Startup, Open
// File, Open Folder), each a row with a radio mark, a label, the chosen path and a browse
// button; and the choosers that pick the path.

#include <QCoreApplication>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/FileChooser.h"
#include "model/Model.h"
#include "model/Prompts.h"
#include "ui/controls/SkinButton.h"
#include "ui/controls/SkinText.h"

class QPainter;

namespace tavrin {

inline constexpr int kLaunchRowCount = 4;

enum class LaunchCell : std::uint8_t { Radio, Label, Path, Browse };

struct LaunchPanelRect {
    SkinRect rectangle;
    int row = 0;
    LaunchCell cell = LaunchCell::Radio;
};

// Four cells per row, y0 = 68 + 30 * row; edges included.
const std::array<LaunchPanelRect, 16>& LaunchPanelRects();

// The first cell holding the point, or nullopt.
std::optional<LaunchPanelRect> LaunchCellAt(int x, int y);

// A path as the panel shows it: whole below 14 characters, else ".." and its last piece with
// the separator in front of it ("..\\song.mp3"); the whole path when it has no separator
// except perhaps a trailing one.
std::u16string LaunchPathDisplay(std::u16string_view path);

// The label of a row in the interface language.
QString LaunchRowLabel(int row);

class LaunchPanel {
    Q_DECLARE_TR_FUNCTIONS(tavrin::LaunchPanel)

public:
    using Images = std::function<QImage(const char16_t* name)>;

    LaunchPanel(Model& model, FileChooser& chooser, Prompts& prompts)
        : model_(model), chooser_(chooser), prompts_(prompts) {}

    // At every opening of the dialog.
    void reset() {
        launchChoice = std::nullopt;
        markedLaunchRow = std::nullopt;
    }

    // A left-button release at (x, y) while the tab is shown. True when the dialog is to be
    // painted anew.
    bool click(int x, int y);

    // Runs the chooser of a row; true when a path was chosen (it is then the pending path).
    bool chooser(int row);

    // The row whose browse button holds the point, or nullopt.
    static std::optional<int> browseRowAt(int x, int y);

    // Draws the panel with `images` from the dialog's folder, in the painter's font; `hoverRow` is
    // the browse button under the pointer. The texts it draws are added to `texts`.
    void draw(QPainter& painter, const Images& images, std::optional<int> hoverRow,
              DrawnTexts& texts) const;

    std::optional<int> launchChoice;     // the row whose path is shown
    std::optional<int> markedLaunchRow;  // the row whose radio mark is drawn

private:
    bool accept(const std::filesystem::path& chosen);

    Model& model_;
    FileChooser& chooser_;
    Prompts& prompts_;
};

}  // namespace tavrin
