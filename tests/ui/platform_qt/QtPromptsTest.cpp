#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/qt/QtPrompts.h"

namespace tavrin {
namespace {

struct SeenBox {
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next message box with `answer` and reports what it showed.
void AnswerNextBox(QMessageBox::StandardButton answer, SeenBox& seen) {
    QTimer::singleShot(0, [answer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->text(), box->windowTitle(), box->standardButtons(), box->icon()};
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        if (answer == QMessageBox::NoButton) {
            box->reject();  // closed with Escape or the window's close button
        } else {
            box->button(answer)->click();
        }
    });
}

struct PromptCase {
    const char* name;
    std::u16string text;
    std::u16string caption;
    PromptButtons buttons;
    QMessageBox::StandardButton click;
    PromptAnswer expected;
    QMessageBox::StandardButtons shownButtons;
    const char* shownTitle;
};

class QtPromptsCases : public ::testing::TestWithParam<PromptCase> {};

TEST_P(QtPromptsCases, ShowTheExactTextsAndReturnTheAnswer) {
    const PromptCase& c = GetParam();
    QtPrompts prompts;
    SeenBox seen;
    AnswerNextBox(c.click, seen);
    EXPECT_EQ(prompts.show(c.text, c.caption, c.buttons), c.expected);
    EXPECT_EQ(seen.text, QString::fromStdU16String(c.text));
    EXPECT_EQ(seen.title, QString::fromUtf8(c.shownTitle));
    EXPECT_EQ(seen.buttons, c.shownButtons);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, QtPromptsCases,
    ::testing::Values(
        PromptCase{"FactoryResetOk", u"Confirm to return Factory Setting?", u"Factory Setting",
                   PromptButtons::OkCancel, QMessageBox::Ok, PromptAnswer::Ok,
                   QMessageBox::Ok | QMessageBox::Cancel, "Factory Setting"},
        PromptCase{"FactoryResetCancel", u"确认恢复至出厂设置吗？", u"出厂设置",
                   PromptButtons::OkCancel, QMessageBox::Cancel, PromptAnswer::Cancel,
                   QMessageBox::Ok | QMessageBox::Cancel, "出厂设置"},
        PromptCase{"ClosedWithoutAnswerIsCancel", u"Confirm to delete?", u"Macro Manager",
                   PromptButtons::OkCancel, QMessageBox::NoButton, PromptAnswer::Cancel,
                   QMessageBox::Ok | QMessageBox::Cancel, "Macro Manager"},
        PromptCase{"OkOnlyKeepsTrailingLineFeed", u"Please keep a profile\n", u"Profile",
                   PromptButtons::Ok, QMessageBox::Ok, PromptAnswer::Ok, QMessageBox::Ok,
                   "Profile"},
        PromptCase{"MarkupIsShownAsText", u"<b>not bold</b>", u"Profile", PromptButtons::Ok,
                   QMessageBox::Ok, PromptAnswer::Ok, QMessageBox::Ok, "Profile"},
        PromptCase{"EmptyCaptionIsTheProgramsTitle",
                   u"Cannot register for Wdm2 class device notification", u"", PromptButtons::Ok,
                   QMessageBox::Ok, PromptAnswer::Ok, QMessageBox::Ok, "Tavrin Gaming Keyboard"}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace tavrin
