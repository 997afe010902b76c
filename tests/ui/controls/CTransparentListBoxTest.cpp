#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QValidator>

#include "device/WindowMessages.h"
#include "ui/controls/BitmapResources.h"
#include "ui/controls/CEditHelper.h"
#include "ui/controls/CTransparentListBox.h"
#include "ui/support/RecordingTarget.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

using Message = test::RecordingTarget::Message;

const QColor kLeftHalf(0, 0, 160);
const QColor kRightHalf(0, 140, 0);
const QColor kPanel(60, 60, 60);
const QColor kPressIcon(250, 0, 0);
const QColor kReleaseIcon(250, 120, 0);
const QColor kDelayIcon(0, 200, 250);

// An owner whose own picture is blue on the left half and green on the right half.
class Backdrop : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(0, 0, width() / 2, height(), kLeftHalf);
        p.fillRect(width() / 2, 0, width() - width() / 2, height(), kRightHalf);
    }
};

// A panel whose pixels tell where they come from: red = x, green = y.
QImage CoordinatePanel() {
    QImage panel(127, 305, QImage::Format_ARGB32);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            panel.setPixelColor(x, y, QColor(x, y % 256, 0));
        }
    }
    return panel;
}

class CTransparentListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.resize(300, 320);
        list = new CTransparentListBox(&owner);
        list->setGeometry(20, 30, 113, 200);
        list->setOwner(&messages);
        list->SetListFont(16, QStringLiteral("Arial"), Qt::white, Qt::cyan, true, 2, Qt::black);
        list->setIcons(test::SolidImage({10, 14}, kPressIcon),
                       test::SolidImage({10, 14}, kReleaseIcon),
                       test::SolidImage({14, 14}, kDelayIcon));
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        test::ParkMouse(owner);
    }

    void fill(int mode, const QStringList& lines) {
        list->setEditMode(mode);
        for (const QString& line : lines) {
            list->AddLine(line);
        }
    }

    QPoint centreOf(int line) { return list->lineRect(line).center(); }

    void doubleClick(int line) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(line));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centreOf(line));
    }

    // The messages posted so far, once the queue has delivered them.
    std::vector<Message> posted() {
        QCoreApplication::processEvents();
        return messages.messages;
    }

    QImage shown() { return list->viewport()->grab().toImage(); }

    static bool Holds(const QImage& image, const QRect& area, QColor colour) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (image.pixelColor(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }

    void commitWithEnter() { QTest::keyRelease(list->editor(), Qt::Key_Return); }

    Backdrop owner;
    CTransparentListBox* list = nullptr;
    test::RecordingTarget messages;
};

const Message kEditBegin{WM_LIST_EDIT_BEGIN, 0, 0};

TEST_F(CTransparentListBoxTest, PanelBehindTheLinesInEveryModeButTransparentRename) {
    for (int mode : {CTransparentListBox::Rename, CTransparentListBox::DelayEdit}) {
        SCOPED_TRACE(mode);
        list->setEditMode(mode);
        list->setPanelImage(CoordinatePanel());
        shown();
        ASSERT_TRUE(list->backgroundCaptured());
        EXPECT_EQ(list->background().size(), list->viewport()->size());
        EXPECT_EQ(list->background().pixelColor(0, 0), QColor(7, 22, 0));
        EXPECT_EQ(list->background().pixelColor(50, 100), QColor(57, 122, 0));
    }
}

TEST_F(CTransparentListBoxTest, PanelComesFromBitmap145) {
    const QImage panel = LoadBitmapResource(CTransparentListBox::kBitmapPanel);
    ASSERT_FALSE(panel.isNull());
    CTransparentListBox fresh(&owner);
    fresh.setGeometry(150, 30, 113, 200);
    fresh.show();
    fresh.viewport()->grab();
    EXPECT_EQ(fresh.background().pixelColor(10, 40), panel.pixelColor(17, 62));
}

TEST_F(CTransparentListBoxTest, TransparentRenameTakesTheOwnersPictureAgainAfterAMove) {
    list->setEditMode(CTransparentListBox::TransparentRename);
    list->move(20, 30);
    shown();
    EXPECT_EQ(list->background().pixelColor(5, 5), kLeftHalf);
    list->move(160, 30);
    EXPECT_FALSE(list->backgroundCaptured());
    shown();
    EXPECT_EQ(list->background().pixelColor(5, 5), kRightHalf);
}

TEST_F(CTransparentListBoxTest, TransparentRenameCapturesInAnOrdinaryPaint) {
    list->setEditMode(CTransparentListBox::TransparentRename);
    owner.repaint();
    ASSERT_TRUE(list->backgroundCaptured());
    EXPECT_EQ(list->background().pixelColor(5, 5), kLeftHalf);
    EXPECT_EQ(owner.grab().toImage().pixelColor(list->geometry().topLeft() + QPoint(5, 5)),
              kLeftHalf);
}

TEST_F(CTransparentListBoxTest, BackgroundFollowsAResize) {
    list->setPanelImage(test::SolidImage({127, 305}, kPanel));
    shown();
    list->resize(90, 150);
    EXPECT_FALSE(list->backgroundCaptured());
    shown();
    EXPECT_EQ(list->background().size(), list->viewport()->size());
}

TEST_F(CTransparentListBoxTest, LinesAreOneXyzHighInTheBoldListFont) {
    fill(CTransparentListBox::Rename, {QStringLiteral("One"), QStringLiteral("Two")});
    const QFont font = list->GetListFont();
    EXPECT_EQ(font.family(), QStringLiteral("Arial"));
    EXPECT_EQ(font.weight(), QFont::Bold);
    const int height = QFontMetrics(font).height();
    EXPECT_LE(height, 16);
    EXPECT_GE(height, 15);
    EXPECT_EQ(list->lineHeight(), height);
    EXPECT_EQ(list->lineRect(1), QRect(0, height, list->viewport()->width(), height));
}

TEST_F(CTransparentListBoxTest, SelectedLineInItsColourWithAShadowAndNoFill) {
    list->setPanelImage(test::SolidImage({127, 305}, kPanel));
    fill(CTransparentListBox::Rename, {QStringLiteral("WWWW"), QStringLiteral("WWWW")});
    list->setSelectedLine(1);
    const QImage image = shown();
    const QRect first = list->lineRect(0);
    const QRect second = list->lineRect(1);
    EXPECT_TRUE(Holds(image, first, Qt::white));
    EXPECT_FALSE(Holds(image, first, Qt::cyan));
    EXPECT_TRUE(Holds(image, second, Qt::cyan));
    EXPECT_FALSE(Holds(image, second, Qt::white));
    EXPECT_TRUE(Holds(image, second, Qt::black)) << "the shadow";
    // Right of the text the selected line shows the panel: a selection has no fill.
    EXPECT_EQ(image.pixelColor(second.right() - 2, second.center().y()), kPanel);
}

TEST_F(CTransparentListBoxTest, DelayEditLinesShowTheirIconsAndLoseTheirDirectionWord) {
    list->setPanelImage(test::SolidImage({127, 305}, kPanel));
    fill(CTransparentListBox::DelayEdit, {QStringLiteral("A dn"), QStringLiteral("250 ms"),
                                          QStringLiteral("A up"), QStringLiteral("plain")});
    const QImage image = shown();
    const auto iconPixel = [&](int line) {
        const QRect r = list->lineRect(line);
        return image.pixelColor(r.x() + r.width() - 20 + 4, r.y() + 4);
    };
    EXPECT_EQ(iconPixel(0), kPressIcon);
    EXPECT_EQ(iconPixel(1), kDelayIcon);
    EXPECT_EQ(iconPixel(2), kReleaseIcon);
    EXPECT_EQ(iconPixel(3), kPanel);

    // "A dn" is drawn as "A ": the same pixels as a line that says "A ".
    CTransparentListBox plain(&owner);
    plain.setGeometry(list->geometry());
    plain.setPanelImage(test::SolidImage({127, 305}, kPanel));
    plain.SetListFont(16, QStringLiteral("Arial"), Qt::white, Qt::cyan, true, 2, Qt::black);
    plain.AddLine(QStringLiteral("A "));
    plain.show();
    const QImage expected = plain.viewport()->grab().toImage();
    const QRect text(0, 0, 60, list->lineHeight());
    EXPECT_EQ(image.copy(text), expected.copy(text));
}

TEST_F(CTransparentListBoxTest, LineTypesByTheirWords) {
    list->setEditMode(CTransparentListBox::DelayEdit);
    using T = CTransparentListBox::LineType;
    EXPECT_EQ(list->lineType(QStringLiteral("PgUp  dn")), T::Press);
    EXPECT_EQ(list->lineType(QStringLiteral("Up  up")), T::Release);
    EXPECT_EQ(list->lineType(QStringLiteral("0 ms")), T::Delay);
    EXPECT_EQ(list->lineType(QStringLiteral("MsLB")), T::Plain);
    list->setEditMode(CTransparentListBox::Rename);
    EXPECT_EQ(list->lineType(QStringLiteral("A dn")), T::Plain);
}

TEST_F(CTransparentListBoxTest, PressAndReleaseLinesCannotBeEdited) {
    fill(CTransparentListBox::DelayEdit, {QStringLiteral("A dn"), QStringLiteral("A up")});
    for (int line : {0, 1}) {
        doubleClick(line);
        EXPECT_EQ(list->editor(), nullptr);
    }
    EXPECT_TRUE(posted().empty());
}

TEST_F(CTransparentListBoxTest, DelayLineOpensADigitsOnlyEditorOverTheLine) {
    fill(CTransparentListBox::DelayEdit,
         {QStringLiteral("A dn"), QStringLiteral("250 ms"), QStringLiteral("A up")});
    doubleClick(1);
    CEditHelper* editor = list->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("250"));
    EXPECT_EQ(editor->selectedText(), QStringLiteral("250"));
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(editor->geometry(), list->lineRect(1).adjusted(0, -2, 0, 2));
    EXPECT_EQ(list->itemBeingEdited(), 1);
    EXPECT_EQ(posted(), std::vector<Message>{kEditBegin});
    editor->clear();
    QTest::keyClicks(editor, QStringLiteral("1a2-3 ms"));
    EXPECT_EQ(editor->text(), QStringLiteral("123"));
}

TEST_F(CTransparentListBoxTest, CommittedDelayIsClampedAndPosted) {
    struct Case {
        QString typed;
        std::intptr_t posted;
    };
    const std::vector<Case> cases = {{"1234", 1234},
                                     {"0", 2},
                                     {"", 2},
                                     {"1", 2},
                                     {"60000", 60000},
                                     {"70000", 60000},
                                     {"99999999999999999999", 60000}};
    fill(CTransparentListBox::DelayEdit,
         {QStringLiteral("A dn"), QStringLiteral("250 ms"), QStringLiteral("A up")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        messages.messages.clear();
        doubleClick(1);
        ASSERT_NE(list->editor(), nullptr);
        list->editor()->setText(c.typed);
        commitWithEnter();
        EXPECT_EQ(list->editor(), nullptr);
        EXPECT_EQ(list->itemBeingEdited(), -1);
        EXPECT_EQ(posted(), (std::vector<Message>{kEditBegin, {WM_LIST_EDIT_END, 1, c.posted}}));
        EXPECT_EQ(list->lineText(1), QStringLiteral("250 ms")) << "the owner rebuilds the lines";
    }
}

TEST_F(CTransparentListBoxTest, EscapeClosesTheEditorWithoutPosting) {
    fill(CTransparentListBox::DelayEdit, {QStringLiteral("A dn"), QStringLiteral("250 ms")});
    doubleClick(1);
    ASSERT_NE(list->editor(), nullptr);
    list->editor()->setText(QStringLiteral("999"));
    QTest::keyRelease(list->editor(), Qt::Key_Escape);
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_EQ(posted(), std::vector<Message>{kEditBegin});
}

TEST_F(CTransparentListBoxTest, EnterAndEscapeInTheEditorLeaveTheDialogOpen) {
    QDialog dialog;
    auto* inDialog = new CTransparentListBox(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    inDialog->setGeometry(0, 0, 113, 100);
    ok->setGeometry(0, 110, 60, 20);
    inDialog->setEditMode(CTransparentListBox::TransparentRename);
    inDialog->AddLine(QStringLiteral("Default"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Escape}) {
        const QPoint line = inDialog->lineRect(0).center();
        QTest::mouseClick(inDialog->viewport(), Qt::LeftButton, {}, line);
        QTest::mouseDClick(inDialog->viewport(), Qt::LeftButton, {}, line);
        ASSERT_NE(inDialog->editor(), nullptr);
        QTest::keyClick(inDialog->editor(), k);
        EXPECT_EQ(inDialog->editor(), nullptr);
        EXPECT_TRUE(dialog.isVisible());
    }
}

TEST_F(CTransparentListBoxTest, FocusLossWheelAndScrollingCommit) {
    QStringList lines;
    for (int i = 0; i < 30; ++i) {
        lines << QStringLiteral("%1 ms").arg(100 + i);
    }
    fill(CTransparentListBox::DelayEdit, lines);
    QLineEdit elsewhere(&owner);
    elsewhere.setGeometry(180, 250, 80, 20);
    elsewhere.show();

    const std::vector<std::function<void()>> endings = {
        [&] { elsewhere.setFocus(); },
        [&] {
            QWheelEvent wheel(QPointF(10, 10), list->viewport()->mapToGlobal(QPointF(10, 10)), {},
                              {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list->viewport(), &wheel);
        },
        [&] { list->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); },
        [&] { list->resize(113, 180); },
    };
    for (std::size_t i = 0; i < endings.size(); ++i) {
        SCOPED_TRACE(i);
        list->scrollToTop();
        messages.messages.clear();
        doubleClick(0);
        ASSERT_NE(list->editor(), nullptr);
        list->editor()->setText(QStringLiteral("777"));
        endings[i]();
        EXPECT_EQ(list->editor(), nullptr);
        EXPECT_EQ(posted(), (std::vector<Message>{kEditBegin, {WM_LIST_EDIT_END, 0, 777}}));
    }
}

TEST_F(CTransparentListBoxTest, TransparentRenamePostsOnlyAChange) {
    fill(CTransparentListBox::TransparentRename,
         {QStringLiteral("Default"), QStringLiteral("Game"), QStringLiteral("Work")});
    doubleClick(1);
    ASSERT_NE(list->editor(), nullptr);
    EXPECT_EQ(list->editor()->text(), QStringLiteral("Game"));
    commitWithEnter();
    EXPECT_EQ(posted(), std::vector<Message>{kEditBegin});

    messages.messages.clear();
    doubleClick(1);
    list->editor()->setText(QStringLiteral("Racing"));
    commitWithEnter();
    EXPECT_EQ(posted(), (std::vector<Message>{kEditBegin, {WM_LIST_EDIT_END, 1, 1}}));
    EXPECT_EQ(list->lineText(1), QStringLiteral("Racing"));
    EXPECT_EQ(list->selectedLine(), 1);
    EXPECT_EQ(list->count(), 3);
}

TEST_F(CTransparentListBoxTest, RenameChangesTheLineAndPostsNoEnd) {
    fill(CTransparentListBox::Rename, {QStringLiteral("Macro_001"), QStringLiteral("Macro_002")});
    doubleClick(0);
    ASSERT_NE(list->editor(), nullptr);
    EXPECT_EQ(list->editor()->validator(), nullptr);
    list->editor()->setText(QStringLiteral("Fire 12 ms"));
    commitWithEnter();
    EXPECT_EQ(list->lineText(0), QStringLiteral("Fire 12 ms"));
    EXPECT_EQ(posted(), std::vector<Message>{kEditBegin});
}

TEST_F(CTransparentListBoxTest, DoubleClickBelowTheLinesEditsNothing) {
    fill(CTransparentListBox::Rename, {QStringLiteral("Macro_001")});
    list->setSelectedLine(0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, 150));
    EXPECT_EQ(list->editor(), nullptr);
    EXPECT_TRUE(posted().empty());
}

TEST_F(CTransparentListBoxTest, OnlyTheUsersSelectionIsReported) {
    fill(CTransparentListBox::Rename, {QStringLiteral("One"), QStringLiteral("Two")});
    QSignalSpy changes(list, &CTransparentListBox::selChange);
    list->setSelectedLine(1);
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(0));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(list->selectedLine(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(0));
    EXPECT_EQ(changes.count(), 1) << "the same line again is no change";
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(list->selectedLine(), 1);
}

}  // namespace
}  // namespace tavrin
