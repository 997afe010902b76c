#include "service/InterfaceLanguage.h"

#include <gtest/gtest.h>

#include <optional>

#include "model/Model.h"
#include "model/SettingsStore.h"
#include "support/MemorySettingsStore.h"

namespace tavrin {
namespace {

TEST(InterfaceLanguage, TheStoredValueOrTheLocaleChoosesAmongTheTranslations) {
    struct Case {
        const char* name;
        std::optional<std::u16string> stored;
        const char* locale;
        QStringList available;
        const char* expected;
    };
    const QStringList both{QStringLiteral("chinese"), QStringLiteral("german")};
    const Case cases[] = {
        {"no value, English desktop", std::nullopt, "en_US.UTF-8", both, "english"},
        {"no value, Chinese desktop", std::nullopt, "zh_CN.UTF-8", both, "chinese"},
        {"no value, German desktop", std::nullopt, "de_DE.UTF-8", both, "english"},
        {"chinese", u"chinese", "en_US.UTF-8", both, "chinese"},
        {"Chinese in capitals", u"Chinese", "zh_CN.UTF-8", both, "english"},
        {"english on a Chinese desktop", u"english", "zh_CN.UTF-8", both, "english"},
        {"an installed translation", u"german", "en_US.UTF-8", both, "german"},
        {"a translation not installed",
         u"german",
         "en_US.UTF-8",
         {QStringLiteral("chinese")},
         "english"},
        {"a path", u"../german", "en_US.UTF-8", both, "english"},
        {"empty", u"", "zh_CN.UTF-8", both, "english"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemorySettingsStore settings;
        if (c.stored) {
            ASSERT_TRUE(settings.writeString(kLanguageKey, kLanguageValue, *c.stored));
        }
        EXPECT_EQ(ChooseLanguage(settings, c.locale, c.available), QLatin1String(c.expected));
    }
}

TEST(InterfaceLanguage, ANameIsOnlyLowerCaseLetters) {
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("german"), true},       {QString(32, QLatin1Char('a')), true},
        {QString(33, QLatin1Char('a')), false}, {QString(), false},
        {QStringLiteral("German"), false},      {QStringLiteral("zh_cn"), false},
        {QStringLiteral("../png"), false},      {QStringLiteral("chinese/"), false},
    };
    for (const auto& [name, valid] : cases) {
        EXPECT_EQ(IsLanguageName(name), valid) << name.toStdString();
    }
}

TEST(InterfaceLanguage, TheModelKeepsEnglishTablesForAThirdLanguage) {
    struct Case {
        const char* language;
        std::uint16_t languageId;
        const char* translation;
        const char* skinFolder;
    };
    for (const Case& c : {Case{"english", kLanguageEnglish, "", "png/english"},
                          Case{"chinese", kLanguageChinese, "", "png/chinese"},
                          Case{"german", kLanguageEnglish, "german", "png/german"}}) {
        Model model;
        model.translation = "left over";
        SetModelLanguage(model, QString::fromLatin1(c.language));
        EXPECT_EQ(model.languageId, c.languageId) << c.language;
        EXPECT_EQ(model.translation, c.translation) << c.language;
        EXPECT_EQ(model.skinFolder(), std::filesystem::path(c.skinFolder)) << c.language;
        EXPECT_EQ(ModelLanguage(model), QString::fromLatin1(c.language));
    }
}

TEST(InterfaceLanguage, TheCompiledInTranslationsLoadAndNameThemselves) {
    EXPECT_EQ(TranslationNames(), QStringList{QStringLiteral("chinese")});
    EXPECT_NE(LoadTranslation(QStringLiteral("chinese")), nullptr);
    for (const char* none : {"english", "german", "../i18n/tavrin_chinese", ""}) {
        EXPECT_EQ(LoadTranslation(QString::fromLatin1(none)), nullptr) << none;
    }
    EXPECT_EQ(LanguageOwnName(QStringLiteral("chinese")), QString::fromUtf8("中文"));
    EXPECT_EQ(LanguageOwnName(QStringLiteral("english")), QStringLiteral("English"));
}

}  // namespace
}  // namespace tavrin
