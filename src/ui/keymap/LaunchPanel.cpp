#include "ui/keymap/LaunchPanel.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <system_error>

#include "model/AssignmentKind.h"
#include "platform/qt/QtConversions.h"

namespace tavrin {

namespace {

constexpr int RowTop(int row) {
    return 68 + 30 * row;
}

constexpr std::array<LaunchPanelRect, 16> BuildRects() {
    std::array<LaunchPanelRect, 16> rects{};
    for (int r = 0; r < kLaunchRowCount; ++r) {
        const int y0 = RowTop(r);
        const auto at = static_cast<std::size_t>(4 * r);
        rects[at] = {{15, y0 + 4, 25, y0 + 13}, r, LaunchCell::Radio};
        rects[at + 1] = {{30, y0 + 1, 72, y0 + 16}, r, LaunchCell::Label};
        rects[at + 2] = {{83, y0, 243, y0 + 15}, r, LaunchCell::Path};
        rects[at + 3] = {{256, y0, 302, y0 + 15}, r, LaunchCell::Browse};
    }
    return rects;
}

constexpr std::array<LaunchPanelRect, 16> kLaunchPanelRects = BuildRects();

constexpr std::array<const char*, kLaunchRowCount> kRowLabels = {
    QT_TRANSLATE_NOOP("tavrin::LaunchPanel", "Play Sound"),
    QT_TRANSLATE_NOOP("tavrin::LaunchPanel", "Startup"),
    QT_TRANSLATE_NOOP("tavrin::LaunchPanel", "Open File"),
    QT_TRANSLATE_NOOP("tavrin::LaunchPanel", "Open Folder"),
};

struct FileRow {
    const char16_t* extension;
    const char16_t* filter;
};

constexpr std::array<FileRow, 3> kFileRows = {{
    {u".mp3", u"mp3 Files(*.mp3)"},
    {u".exe", u"exe Files(*.exe)"},
    {u".txt", u"txt Files(*.txt)"},
}};

constexpr int kStartupRow = 1;
constexpr int kFolderRow = 3;
constexpr std::size_t kShortenFrom = 14;

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

std::filesystem::path ChooserStartFolder() {
#ifdef Q_OS_WIN
    const QString drive = QDir::currentPath().left(2);
    return QStringToPath(drive + QStringLiteral("\\Program Files\\Lorvek\\Siltra\\Profile"));
#else
    return QStringToPath(QDir::homePath());
#endif
}

std::u16string FilterFor(int row) {
    std::u16string filter = kFileRows[static_cast<std::size_t>(row)].filter;
#ifndef Q_OS_WIN
    // Programs here rarely end in ".exe"; offer every file as well.
    if (row == kStartupRow) {
        filter += u";;Programs(*)";
    }
#endif
    return filter;
}

}  // namespace

const std::array<LaunchPanelRect, 16>& LaunchPanelRects() {
    return kLaunchPanelRects;
}

std::optional<LaunchPanelRect> LaunchCellAt(int x, int y) {
    for (const LaunchPanelRect& rect : kLaunchPanelRects) {
        if (rect.rectangle.contains(x, y)) {
            return rect;
        }
    }
    return std::nullopt;
}

std::u16string LaunchPathDisplay(std::u16string_view path) {
    if (path.size() < kShortenFrom) {
        return std::u16string(path);
    }
    // The last separator that is not the last character.
    for (std::size_t i = path.size() - 1; i-- > 0;) {
        if (IsSeparator(path[i])) {
            return u".." + std::u16string(path.substr(i));
        }
    }
    return std::u16string(path);
}

QString LaunchRowLabel(int row) {
    return LaunchPanel::tr(kRowLabels.at(static_cast<std::size_t>(row)));
}

std::optional<int> LaunchPanel::browseRowAt(int x, int y) {
    const auto cell = LaunchCellAt(x, y);
    if (cell && cell->cell == LaunchCell::Browse) {
        return cell->row;
    }
    return std::nullopt;
}

bool LaunchPanel::click(int x, int y) {
    PendingAssignment& pending = model_.pending;
    const auto cell = LaunchCellAt(x, y);
    if (!cell) {
        if (!launchChoice) {
            markedLaunchRow = std::nullopt;
            pending.pendingKind = KindByte(AssignmentKind::RestoreDefault);
        }
        return true;
    }
    switch (cell->cell) {
        case LaunchCell::Radio:
            markedLaunchRow = cell->row;
            launchChoice = cell->row;
            pending.pendingLaunchPath.clear();
            return true;
        case LaunchCell::Browse:
            if (cell->row <= kStartupRow) {
                markedLaunchRow = cell->row;
            }
            if (!chooser(cell->row)) {
                return false;
            }
            launchChoice = cell->row;
            markedLaunchRow = cell->row;
            pending.pendingKind =
                static_cast<std::uint8_t>(KindByte(AssignmentKind::PlaySound) + cell->row);
            return true;
        case LaunchCell::Label:
        case LaunchCell::Path:
            break;
    }
    return false;
}

bool LaunchPanel::chooser(int row) {
    if (row == kFolderRow) {
        const auto folder = chooser_.chooseFolder(u"modification path");
        if (!folder) {
            return false;
        }
        if (folder->empty()) {
            // A folder of the desktop's own, without a place in the file system.
            model_.pending.pendingLaunchPath.clear();
            prompts_.show(tr("Please select a folder\n").toStdU16String(), u"", PromptButtons::Ok);
            return false;
        }
        return accept(*folder);
    }
    const FileRow& file = kFileRows.at(static_cast<std::size_t>(row));
    const FileChoice choice{FilterFor(row), file.extension, ChooserStartFolder()};
    const auto chosen = chooser_.openFile(choice);
    if (!chosen) {
        return false;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(*chosen, error)) {
        return false;
    }
    return accept(*chosen);
}

bool LaunchPanel::accept(const std::filesystem::path& chosen) {
    const std::u16string path = ToU16(PathToQString(chosen));
    if (path.size() > PendingAssignment::kLaunchPathMaxChars) {
        // A record holds 255 characters; a cut path would open something else.
        prompts_.show(tr("The chosen path is longer than 255 characters and cannot be used.\n"
                         "Please choose a file or folder with a shorter path.")
                          .toStdU16String(),
                      u"", PromptButtons::Ok);
        return false;
    }
    model_.pending.pendingLaunchPath = path;
    return true;
}

void LaunchPanel::draw(QPainter& painter, const Images& images, std::optional<int> hoverRow,
                       DrawnTexts& texts) const {
    painter.drawImage(15, 66, images(u"Macro_BK.png"));
    const QFont font = painter.font();
    for (int r = 0; r < kLaunchRowCount; ++r) {
        const int y0 = RowTop(r);
        painter.drawImage(15, y0 + 4, images(u"disable.png"));
        // Up to the path field; the radio mark's name holds the whole label.
        texts.add(DrawSkinText(painter, LaunchRowLabel(r),
                               QRect(QPoint(30, y0 + 1), QPoint(83, y0 + 16)), font, Qt::white));
        painter.drawImage(85, y0, images(u"Advanced.png"));
        painter.drawImage(256, y0, images(hoverRow == r ? u"view02.png" : u"view.png"));
    }
    if (markedLaunchRow) {
        for (int r = 0; r < kLaunchRowCount; ++r) {
            painter.drawImage(15, 72 + 30 * r,
                              images(r == *markedLaunchRow ? u"enable.png" : u"Disable.png"));
        }
    }
    if (launchChoice) {
        const int c = *launchChoice;
        // Kept inside the path field, so that a long file name does not run over the browse
        // button.
        const QRect field(85, 69 + 30 * c, 243 - 85 + 1, 16);
        texts.add(DrawSkinText(painter,
                               ToQString(LaunchPathDisplay(model_.pending.pendingLaunchPath)),
                               field, font, Qt::white));
        painter.drawImage(15, 72 + 30 * c, images(u"enable.png"));
    }
}

}  // namespace tavrin
