#pragma once

// The skinned list of the macro manager and the profile manager. It paints its lines itself, in a
// bold font with a drop shadow, over a background taken once from behind it: in transparent
// rename mode the owner's own picture under the list, otherwise the list panel of bitmap 145 from
// (7, 22). A double-click edits a line in place; the owner hears of it through posted messages:
//   WM_LIST_EDIT_BEGIN (0, 0) when an edit starts;
//   WM_LIST_EDIT_END in delay-edit mode: (edited line, new delay clamped to 2..60000);
//   WM_LIST_EDIT_END in transparent rename mode, only when the text changed: (line at which the
//   edit began, the line's new index).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QListWidget>
#include <QPointer>
#include <optional>

#include "device/MessageTarget.h"
#include "ui/controls/CEditHelper.h"

namespace tavrin {

class CTransparentListBox : public QListWidget, public MessageTarget {
    Q_OBJECT

public:
    enum EditMode { Rename = 0, DelayEdit = 1, TransparentRename = 3 };
    enum class LineType { Plain, Press, Release, Delay };

    static constexpr int kBitmapPanel = 145;    // 127 x 305; the lists use it from (7, 22)
    static constexpr int kBitmapPress = 131;    // red arrow down, 10 x 14
    static constexpr int kBitmapDelay = 137;    // cyan clock, 14 x 14
    static constexpr int kBitmapRelease = 138;  // red arrow up, 10 x 14
    static constexpr QPoint kPanelOrigin{7, 22};
    static constexpr int kIconFromRight = 20;
    static constexpr int kEditorMargin = 2;  // the editor covers the line and 2 pixels above, below

    explicit CTransparentListBox(QWidget* parent = nullptr);
    ~CTransparentListBox() override;

    // Colours and shadow, and a new bold font in `face` whose lines are `height` pixels high.
    void SetListFont(int height, const QString& face, QColor textColour, QColor selectedColour,
                     bool shadowOn, int shadowOffset, QColor shadowColour);
    // The list's own font, or the widget's font when none was set.
    QFont GetListFont() const;

    // Add or insert a line with its item data; the new line's index.
    int AddLine(const QString& text, quintptr itemData = 0);
    int InsertLine(int index, const QString& text, quintptr itemData = 0);
    QString lineText(int line) const;
    void setLineText(int line, const QString& text);
    void deleteLine(int line);

    // The selected line, -1 when none; -1 clears the selection.
    int selectedLine() const;
    void setSelectedLine(int line);

    int editMode() const { return editMode_; }
    // The background is taken again for the new mode.
    void setEditMode(int mode);
    // Where the messages go; nothing is posted without an owner.
    void setOwner(MessageTarget* owner) { owner_ = owner; }

    // The type a line of this text has in this list's mode.
    LineType lineType(const QString& text) const;
    // The height of "XYZ" in the list's font.
    int lineHeight() const;
    // The rectangle of a line in viewport coordinates, full width, one line high.
    QRect lineRect(int line) const;

    // Pictures that normally come from the bitmap resources; a null image draws nothing.
    void setPanelImage(QImage panel);
    void setIcons(QImage press, QImage release, QImage delay);

    // Default processing, then, when asked, a complete repaint at once.
    void RedrawList(bool invalidate);
    // Draws one line into `painter`: the background under it, shadow, text, the type's icon.
    void DrawListItem(QPainter& painter, int line, const QRect& rect, bool selected) const;

    // WM_LIST_EDITOR_CLOSE from the editor: wParam 1 commits, 0 cancels.
    std::intptr_t send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // The edit in progress: the editor (null when none) and its line (-1 when none).
    CEditHelper* editor() const { return editor_; }
    int itemBeingEdited() const { return m_iItemBeingEdited; }
    // Ends an edit in progress, committing or dropping the editor's text.
    void endEdit(bool commit);

    const QImage& background() const { return background_; }
    bool backgroundCaptured() const { return backgroundCaptured_; }

signals:
    // The user changed the selection (a click, a drag or a key); a selection set by the program
    // is not reported.
    void selChange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void captureBackground();
    void forgetBackground();
    void scrollAction();
    void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void beginEdit(int line);
    void reportIfUserChanged(int before);
    void applyLineHeight(QListWidgetItem* item) const;

    int editMode_ = Rename;
    int m_iItemBeingEdited = -1;
    int editStartLine_ = -1;
    QPointer<CEditHelper> editor_;
    MessageTarget* owner_ = nullptr;

    QColor textColour_;
    QColor selectedColour_;
    bool shadowOn_ = false;
    int shadowOffset_ = 3;
    QColor shadowColour_ = Qt::black;
    std::optional<QFont> font_;

    QImage panel_;
    QImage pressIcon_;
    QImage releaseIcon_;
    QImage delayIcon_;
    QImage background_;
    bool backgroundCaptured_ = false;
};

}  // namespace tavrin
