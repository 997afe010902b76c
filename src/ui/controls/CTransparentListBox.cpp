#include "ui/controls/CTransparentListBox.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <limits>

#include "device/WindowMessages.h"
#include "model/MacroStore.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CEditHelper.h"
#include "ui/controls/DensePictures.h"
#include "ui/controls/SkinFont.h"

namespace tavrin {

namespace {

// The leading digits as a number, saturated far above any delay, so that a long row of digits
// still counts as "too large" rather than wrapping.
std::int64_t LeadingNumber(const QString& text) {
    constexpr std::int64_t kSaturation = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            break;
        }
        value = std::min(kSaturation, value * 10 + (c.unicode() - u'0'));
    }
    return value;
}

}  // namespace

CTransparentListBox::CTransparentListBox(QWidget* parent)
    : QListWidget(parent),
      textColour_(palette().color(QPalette::WindowText)),
      selectedColour_(palette().color(QPalette::Highlight)),
      panel_(LoadBitmapResource(kBitmapPanel, devicePixelRatioF())),
      pressIcon_(LoadBitmapResource(kBitmapPress, devicePixelRatioF())),
      releaseIcon_(LoadBitmapResource(kBitmapRelease, devicePixelRatioF())),
      delayIcon_(LoadBitmapResource(kBitmapDelay, devicePixelRatioF())) {
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setAutoScroll(false);
    viewport()->setAutoFillBackground(false);
    // A plain scroll bar would be the one light thing on the dark skins.
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #131518; width: 10px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #343a42; min-height: 20px; border-radius: 3px; }"
        "QScrollBar::handle:vertical:hover { background: #1ed2ff; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &CTransparentListBox::scrollAction);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] { RedrawList(true); });
}

CTransparentListBox::~CTransparentListBox() {
    // The editor reports its focus loss while it goes; nothing must answer it any more.
    if (editor_) {
        CEditHelper* editor = editor_;
        editor_ = nullptr;
        delete editor;
    }
}

void CTransparentListBox::SetListFont(int height, const QString& face, QColor textColour,
                                      QColor selectedColour, bool shadowOn, int shadowOffset,
                                      QColor shadowColour) {
    textColour_ = textColour;
    selectedColour_ = selectedColour;
    shadowOn_ = shadowOn;
    shadowOffset_ = shadowOffset;
    shadowColour_ = shadowColour;
    QFont font = SkinFont(face, height, QFont::Bold);
    font.setStyleStrategy(QFont::PreferQuality);
    font_ = font;
    setFont(font);
    for (int i = 0; i < count(); ++i) {
        applyLineHeight(item(i));
    }
    RedrawList(true);
}

QFont CTransparentListBox::GetListFont() const {
    return font_ ? *font_ : font();
}

int CTransparentListBox::lineHeight() const {
    // The height of a line of text, such as "XYZ": the font's ascent plus its descent.
    return QFontMetrics(GetListFont()).height();
}

void CTransparentListBox::applyLineHeight(QListWidgetItem* item) const {
    item->setSizeHint(QSize(0, lineHeight()));
}

int CTransparentListBox::AddLine(const QString& text, quintptr itemData) {
    return InsertLine(count(), text, itemData);
}

int CTransparentListBox::InsertLine(int index, const QString& text, quintptr itemData) {
    if (index < 0 || index > count()) {
        index = count();
    }
    auto* line = new QListWidgetItem(text);
    line->setData(Qt::UserRole, QVariant::fromValue(itemData));
    applyLineHeight(line);
    insertItem(index, line);
    return index;
}

QString CTransparentListBox::lineText(int line) const {
    const QListWidgetItem* it = item(line);
    return it ? it->text() : QString();
}

void CTransparentListBox::setLineText(int line, const QString& text) {
    if (QListWidgetItem* it = item(line)) {
        it->setText(text);
        viewport()->update();
    }
}

void CTransparentListBox::deleteLine(int line) {
    delete takeItem(line);
}

int CTransparentListBox::selectedLine() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

void CTransparentListBox::setSelectedLine(int line) {
    if (line < 0 || line >= count()) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setCurrentRow(line, QItemSelectionModel::ClearAndSelect);
}

CTransparentListBox::LineType CTransparentListBox::lineType(const QString& text) const {
    if (editMode_ != DelayEdit) {
        return LineType::Plain;
    }
    if (text.contains(QStringLiteral("dn"))) {
        return LineType::Press;
    }
    if (text.contains(QStringLiteral("up"))) {
        return LineType::Release;
    }
    if (text.contains(QStringLiteral("ms"))) {
        return LineType::Delay;
    }
    return LineType::Plain;
}

QRect CTransparentListBox::lineRect(int line) const {
    const QListWidgetItem* it = item(line);
    if (!it) {
        return {};
    }
    const QRect visual = visualItemRect(it);
    return QRect(0, visual.top(), viewport()->width(), lineHeight());
}

void CTransparentListBox::setEditMode(int mode) {
    editMode_ = mode;
    forgetBackground();
}

void CTransparentListBox::setPanelImage(QImage panel) {
    panel_ = std::move(panel);
    forgetBackground();
}

void CTransparentListBox::setIcons(QImage press, QImage release, QImage delay) {
    pressIcon_ = std::move(press);
    releaseIcon_ = std::move(release);
    delayIcon_ = std::move(delay);
    viewport()->update();
}

void CTransparentListBox::RedrawList(bool invalidate) {
    if (invalidate) {
        viewport()->repaint();
    }
}

void CTransparentListBox::captureBackground() {
    background_ = NewSurface(viewport()->size(), viewport()->devicePixelRatioF(),
                             QImage::Format_ARGB32_Premultiplied);
    background_.fill(Qt::black);
    QPainter painter(&background_);
    if (editMode_ == TransparentRename) {
        // The owner's own picture, without its child windows (this list among them).
        if (QWidget* owner = parentWidget()) {
            const QRect area(viewport()->mapTo(owner, QPoint(0, 0)), viewport()->size());
            owner->render(&painter, QPoint(0, 0), QRegion(area), QWidget::DrawWindowBackground);
        }
    } else if (!panel_.isNull()) {
        DrawPart(painter, QPoint(0, 0), panel_, QRect(kPanelOrigin, viewport()->size()));
    }
    backgroundCaptured_ = true;
}

void CTransparentListBox::forgetBackground() {
    backgroundCaptured_ = false;
    viewport()->update();
}

void CTransparentListBox::DrawListItem(QPainter& painter, int line, const QRect& rect,
                                       bool selected) const {
    if (line < 0 || line >= count()) {
        return;
    }
    DrawPart(painter, rect.topLeft(), background_, rect);

    const QString full = lineText(line);
    const LineType type = lineType(full);
    QString text = full;
    if (type == LineType::Press) {
        text.remove(QStringLiteral("dn"));
    } else if (type == LineType::Release) {
        text.remove(QStringLiteral("up"));
    }

    painter.setFont(GetListFont());
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs;
    if (shadowOn_) {
        painter.setPen(isEnabled() ? shadowColour_ : QColor(Qt::white));
        painter.drawText(rect.translated(shadowOffset_, shadowOffset_), kFlags, text);
    }
    painter.setPen(!isEnabled() ? QColor(Qt::black) : selected ? selectedColour_ : textColour_);
    painter.drawText(rect, kFlags, text);

    const QImage* icon = nullptr;
    switch (type) {
        case LineType::Press:
            icon = &pressIcon_;
            break;
        case LineType::Release:
            icon = &releaseIcon_;
            break;
        case LineType::Delay:
            icon = &delayIcon_;
            break;
        case LineType::Plain:
            break;
    }
    if (icon && !icon->isNull()) {
        painter.drawImage(QPoint(rect.x() + rect.width() - kIconFromRight, rect.y()), *icon);
    }
}

void CTransparentListBox::paintEvent(QPaintEvent*) {
    QWidget* area = viewport();
    const qreal ratio = area->devicePixelRatioF();
    if (!backgroundCaptured_ || LogicalSize(background_) != area->size() ||
        background_.devicePixelRatio() != SurfaceRatio(ratio)) {
        captureBackground();
    }
    QImage picture = NewSurface(area->size(), ratio, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&picture);
        painter.drawImage(QPoint(0, 0), background_);
        const QModelIndex top = indexAt(QPoint(0, 0));
        for (int line = top.isValid() ? top.row() : count(); line < count(); ++line) {
            const QRect rect = lineRect(line);
            if (rect.top() >= area->height()) {
                break;
            }
            DrawListItem(painter, line, rect, item(line)->isSelected());
        }
    }
    QPainter(area).drawImage(QPoint(0, 0), picture);
}

void CTransparentListBox::reportIfUserChanged(int before) {
    if (selectedLine() != before) {
        emit selChange();
    }
}

void CTransparentListBox::mousePressEvent(QMouseEvent* event) {
    const int before = selectedLine();
    QListWidget::mousePressEvent(event);
    reportIfUserChanged(before);
}

void CTransparentListBox::mouseMoveEvent(QMouseEvent* event) {
    const int before = selectedLine();
    QListWidget::mouseMoveEvent(event);
    reportIfUserChanged(before);
}

void CTransparentListBox::keyPressEvent(QKeyEvent* event) {
    const int before = selectedLine();
    QListWidget::keyPressEvent(event);
    reportIfUserChanged(before);
}

void CTransparentListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const int before = selectedLine();
    QListWidget::mouseDoubleClickEvent(event);
    reportIfUserChanged(before);
    const int line = selectedLine();
    if (line < 0) {
        return;
    }
    const LineType type = lineType(lineText(line));
    if (type == LineType::Press || type == LineType::Release) {
        return;
    }
    if (lineRect(line).contains(event->position().toPoint())) {
        beginEdit(line);
    }
}

void CTransparentListBox::beginEdit(int line) {
    endEdit(true);
    post(WM_LIST_EDIT_BEGIN, 0, 0);
    auto* editor = new CEditHelper(*this, viewport());
    editor->setFont(GetListFont());
    editor->setGeometry(lineRect(line).adjusted(0, -kEditorMargin, 0, kEditorMargin));
    QString text = lineText(line);
    if (editMode_ == DelayEdit) {
        text.remove(QStringLiteral(" ms"));
        editor->setDigitsOnly(true);
    }
    editor->setText(text);
    editor->selectAll();
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor_ = editor;
    m_iItemBeingEdited = line;
    editStartLine_ = line;
}

void CTransparentListBox::endEdit(bool commit) {
    if (!editor_) {
        return;
    }
    CEditHelper* editor = editor_;
    // Cleared first: hiding the editor takes its focus, and that focus loss must find no edit.
    editor_ = nullptr;
    const int line = m_iItemBeingEdited;
    if (commit && line != -1 && line < count()) {
        const QString newText = editor->text();
        if (editMode_ == DelayEdit) {
            post(WM_LIST_EDIT_END, static_cast<std::uintptr_t>(line),
                 TypedDelay(LeadingNumber(newText)));
        } else if (newText != lineText(line)) {
            const quintptr itemData = item(line)->data(Qt::UserRole).value<quintptr>();
            deleteLine(line);
            const int index = isSortingEnabled() ? AddLine(newText, itemData)
                                                 : InsertLine(line, newText, itemData);
            setSelectedLine(index);
            m_iItemBeingEdited = index;
            if (editMode_ == TransparentRename) {
                post(WM_LIST_EDIT_END, static_cast<std::uintptr_t>(editStartLine_), index);
            }
        }
    }
    m_iItemBeingEdited = -1;
    if (editor->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
    editor->hide();
    editor->deleteLater();
    viewport()->update();
}

std::intptr_t CTransparentListBox::send(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t) {
    if (message == WM_LIST_EDITOR_CLOSE) {
        endEdit(wParam == 1);
    }
    return 0;
}

void CTransparentListBox::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    // Posted, as the owner may rebuild this list in its answer.
    QMetaObject::invokeMethod(
        this,
        [this, message, wParam, lParam] {
            if (owner_) {
                owner_->send(message, wParam, lParam);
            }
        },
        Qt::QueuedConnection);
}

void CTransparentListBox::scrollAction() {
    setFocus(Qt::OtherFocusReason);
    endEdit(true);
}

void CTransparentListBox::wheelEvent(QWheelEvent* event) {
    setFocus(Qt::OtherFocusReason);
    endEdit(true);
    QListWidget::wheelEvent(event);
    RedrawList(true);
    event->accept();
}

void CTransparentListBox::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    endEdit(true);
    forgetBackground();
}

void CTransparentListBox::moveEvent(QMoveEvent* event) {
    QListWidget::moveEvent(event);
    forgetBackground();
}

}  // namespace tavrin
