// A question with answers of its own on a real QMessageBox: each button answers its index, and
// Escape, Enter and closing the box answer the last one, which changes nothing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt/QtPrompts.h"

namespace tavrin {
namespace {

TEST(QtPromptsChoose, EachAnswerAndTheWaysOutOfTheBox) {
    const std::vector<std::u16string> answers = {u"Keep them", u"Without them", u"Cancel"};
    struct Case {
        const char* what;
        std::function<void(QMessageBox&)> act;
        std::size_t expected;
    };
    const auto click = [](int i) {
        return [i](QMessageBox& box) {
            box.findChild<QPushButton*>(QStringLiteral("answer%1").arg(i))->click();
        };
    };
    const Case cases[] = {
        {"first", click(0), 0},
        {"second", click(1), 1},
        {"third", click(2), 2},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, 2},
        {"Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, 2},
        {"closed", [](QMessageBox& box) { box.reject(); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString text;
        QString title;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            title = box->windowTitle();
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            for (int i = 0; i < 3; ++i) {
                buttons << box->findChild<QPushButton*>(QStringLiteral("answer%1").arg(i))->text();
            }
            c.act(*box);
        });
        QtPrompts prompts;
        EXPECT_EQ(prompts.choose(u"<b>F12</b>: /usr/bin/xterm", u"Profile", answers), c.expected);
        EXPECT_EQ(text, QStringLiteral("<b>F12</b>: /usr/bin/xterm"));
        EXPECT_EQ(title, QStringLiteral("Profile"));
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("Keep them"), QStringLiteral("Without them"),
                                        QStringLiteral("Cancel")}));
    }
}

}  // namespace
}  // namespace tavrin
