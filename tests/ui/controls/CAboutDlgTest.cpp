#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "model/Model.h"
#include "support/ScopedTranslation.h"
#include "ui/controls/CAboutDlg.h"
#include "ui/support/UiTestSupport.h"

namespace tavrin {
namespace {

struct AboutCase {
    std::uint16_t language;
    const char* title;
    const char* name;
    const char* ok;
};

TEST(CAboutDlg, ShowsReadableTextsInTheInterfaceLanguage) {
    for (const AboutCase& c : {AboutCase{kLanguageEnglish, "About Tavrin Gaming Keyboard",
                                         "Tavrin Gaming Keyboard, Version 1.0", "OK"},
                               AboutCase{kLanguageChinese, "关于 Tavrin Gaming Keyboard",
                                         "Tavrin Gaming Keyboard，版本 1.0", "确定"}}) {
        const test::ScopedTranslation translation(c.language);
        CAboutDlg about;
        EXPECT_EQ(about.windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(about.nameLine()->text(), QString::fromUtf8(c.name));
        EXPECT_FALSE(about.descriptionLine()->text().contains(QLatin1Char('?')));
        EXPECT_FALSE(about.descriptionLine()->text().isEmpty());
        EXPECT_EQ(about.okButton()->text(), QString::fromUtf8(c.ok));
        about.show();
        test::SaveScreenshotIfAsked(
            about, c.language == kLanguageChinese ? "CAboutDlg-chinese" : "CAboutDlg-english");
    }
}

TEST(CAboutDlg, OkClosesIt) {
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.okButton(), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tavrin
