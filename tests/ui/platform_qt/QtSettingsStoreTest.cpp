#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>

#include "model/Model.h"
#include "platform/qt/QtConversions.h"
#include "platform/qt/QtSettingsStore.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

QByteArray ReadAll(const std::filesystem::path& path) {
    QFile file(PathToQString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(QtSettingsStore, ValuesSurviveANewStoreAndLandInTheNamedFiles) {
    test::TempDir config;
    {
        QtSettingsStore store(config.path());
        ASSERT_TRUE(store.writeString(kLanguageKey, kLanguageValue, u"chinese"));
        ASSERT_TRUE(store.writeString(kProfileKey, kCurrentProfileValue, u"配置 1.bin"));
    }
    QtSettingsStore again(config.path());
    EXPECT_EQ(again.readString(kLanguageKey, kLanguageValue), u"chinese");
    EXPECT_EQ(again.readString(kProfileKey, kCurrentProfileValue), u"配置 1.bin");
    EXPECT_EQ(ReadLanguageId(again), kLanguageChinese);
    EXPECT_TRUE(ReadAll(config / "Mervic.conf").contains("Language=chinese"));
    EXPECT_TRUE(ReadAll(config / "Dalvex.conf").contains("CurrentProfileName="));
}

TEST(QtSettingsStore, MissingKeyOrValueReadsAsNothing) {
    test::TempDir config;
    QtSettingsStore store(config.path());
    EXPECT_EQ(store.readString(kLanguageKey, kLanguageValue), std::nullopt);
    EXPECT_EQ(ReadLanguageId(store), kLanguageEnglish);
    ASSERT_TRUE(store.writeString(kLanguageKey, kLanguageValue, u"english"));
    EXPECT_EQ(store.readString(kLanguageKey, "Other"), std::nullopt);
    EXPECT_EQ(store.readString(kProfileKey, kCurrentProfileValue), std::nullopt);
}

TEST(QtSettingsStore, KeyExistsOnceItsFileDoesEvenWithoutValues) {
    test::TempDir config;
    QtSettingsStore store(config.path());
    EXPECT_FALSE(store.keyExists(kProfileKey));
    test::WriteWholeFile(config / "Dalvex.conf", {});
    EXPECT_TRUE(store.keyExists(kProfileKey));
    EXPECT_FALSE(store.keyExists(kLanguageKey));
    ASSERT_TRUE(store.writeString(kLanguageKey, kLanguageValue, u"english"));
    EXPECT_TRUE(store.keyExists(kLanguageKey));
    EXPECT_FALSE(store.keyExists("Software\\Mervic\\Deeper"));
    EXPECT_FALSE(store.keyExists("Software\\.."));
}

TEST(QtSettingsStore, EmptyTextIsAValue) {
    test::TempDir config;
    QtSettingsStore store(config.path());
    ASSERT_TRUE(store.writeString(kProfileKey, kCurrentProfileValue, u""));
    EXPECT_EQ(store.readString(kProfileKey, kCurrentProfileValue), u"");
}

TEST(QtSettingsStore, KeysThatWouldLeaveTheConfigFolderAreRefused) {
    test::TempDir config;
    QtSettingsStore store(config.path() / "inner");
    for (const char* key : {"Software\\..", "Software\\a/b", "", "Software\\"}) {
        EXPECT_FALSE(store.writeString(key, "Value", u"x")) << key;
        EXPECT_EQ(store.readString(key, "Value"), std::nullopt) << key;
    }
    EXPECT_FALSE(std::filesystem::exists(config / "..conf"));
}

TEST(QtSettingsStore, WriteWhereNoFileCanBeMadeFails) {
    test::TempDir config;
    test::WriteWholeFile(config / "blocked", {'x'});  // a file where the folder should be
    QtSettingsStore store(config / "blocked");
    EXPECT_FALSE(store.writeString(kLanguageKey, kLanguageValue, u"chinese"));
    EXPECT_EQ(store.readString(kLanguageKey, kLanguageValue), std::nullopt);
}

TEST(QtSettingsStore, WithoutAFolderUsesTheUsersConfigFolder) {
    // The test program points XDG_CONFIG_HOME at a folder of its own.
    const std::filesystem::path home = QStringToPath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    ASSERT_FALSE(home.empty());
    QtSettingsStore store;
    ASSERT_TRUE(store.writeString(kLanguageKey, kLanguageValue, u"chinese"));
    EXPECT_TRUE(ReadAll(home / "Mervic.conf").contains("Language=chinese"));
    EXPECT_EQ(store.readString(kLanguageKey, kLanguageValue), u"chinese");
}

}  // namespace
}  // namespace tavrin
