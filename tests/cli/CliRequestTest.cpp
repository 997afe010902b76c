// tavrinctl's command line: every command becomes one call of the interface with typed
// arguments, and a malformed line is a usage error with a message, before anything runs.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include "cli/CliOutput.h"
#include "cli/CliRequest.h"
#include "model/Model.h"
#include "service/KeyboardScripting.h"
#include "support/ScopedTranslation.h"

namespace tavrin {
namespace {

std::optional<CliRequest> Parse(const QString& line, QString* error = nullptr) {
    QString ignored;
    return ParseCli(line.split(QLatin1Char(' '), Qt::SkipEmptyParts), error ? *error : ignored);
}

TEST(CliRequest, CommandsBecomeTypedCalls) {
    struct Case {
        const char* line;
        const char* method;
        QVariantList args;
    };
    const QString cwd = QDir::currentPath();
    const Case cases[] = {
        {"lighting wave", "SetLighting", {QStringLiteral("wave"), -1, -1, QString(), -1, true}},
        {"lighting 2 --speed 3 --brightness=0 --direction up --color 5",
         "SetLighting",
         {QStringLiteral("2"), 3, 0, QStringLiteral("up"), 5, true}},
        {"--no-save lighting wave --speed -1",
         "SetLighting",
         {QStringLiteral("wave"), 99, -1, QString(), -1, false}},
        {"game-mode on", "SetGameMode", {true, true}},
        {"win-lock off --no-save", "SetWinLock", {false, false}},
        {"response-time 8", "SetResponseTime", {8, true}},
        {"report-rate 1000Hz", "SetReportRate", {QStringLiteral("1000Hz"), true}},
        {"key Caps --combo LCtrl+C",
         "AssignKey",
         {QStringLiteral("Caps"), QStringLiteral("combo"), QStringLiteral("LCtrl+C"), true}},
        {"key --num --key A",
         "AssignKey",
         {QStringLiteral("--num"), QStringLiteral("key"), QStringLiteral("A"), true}},
        {"key F5 --program run.sh",
         "AssignKey",
         {QStringLiteral("F5"), QStringLiteral("program"), cwd + QStringLiteral("/run.sh"), true}},
        {"key F5 --disable",
         "AssignKey",
         {QStringLiteral("F5"), QStringLiteral("disable"), QString(), true}},
        {"diy 2 --on Esc W A",
         "SetDiyKeys",
         {2, QStringLiteral("on"),
          QStringList{QStringLiteral("Esc"), QStringLiteral("W"), QStringLiteral("A")}, true}},
        {"diy 3 --all", "SetDiyKeys", {3, QStringLiteral("all"), QStringList(), true}},
        {"macro list", "ListMacros", {}},
        {"macro show 2", "GetMacro", {2}},
        {"macro import 1 m.json", "ImportMacro", {1, cwd + QStringLiteral("/m.json"), true}},
        {"macro export 1 /tmp/m.json", "ExportMacro", {1, QStringLiteral("/tmp/m.json")}},
        {"profile apply FPS", "ApplyProfile", {QStringLiteral("FPS"), true}},
        {"profile rename A B", "RenameProfile", {QStringLiteral("A"), QStringLiteral("B")}},
        {"profile import /tmp/p.bin", "ImportProfile", {QStringLiteral("/tmp/p.bin"), QString()}},
        // The choice for launch actions the user has not accepted before.
        {"profile apply FPS --allow-launch",
         "ApplyProfileWithLaunch",
         {QStringLiteral("FPS"), QStringLiteral("keep"), true}},
        {"--no-save profile apply --drop-launch FPS",
         "ApplyProfileWithLaunch",
         {QStringLiteral("FPS"), QStringLiteral("drop"), false}},
        {"profile import p.bin --allow-launch",
         "ImportProfileWithLaunch",
         {cwd + QStringLiteral("/p.bin"), QString(), QStringLiteral("keep")}},
        {"profile import /tmp/p.bin Mine --drop-launch",
         "ImportProfileWithLaunch",
         {QStringLiteral("/tmp/p.bin"), QStringLiteral("Mine"), QStringLiteral("drop")}},
        {"profile export FPS /tmp/p.bin",
         "ExportProfile",
         {QStringLiteral("FPS"), QStringLiteral("/tmp/p.bin")}},
        {"save", "Save", {}},
        {"reset --factory", "FactoryReset", {}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto request = Parse(QLatin1String(c.line), &error);
        ASSERT_TRUE(request.has_value()) << c.line << ": " << error.toStdString();
        EXPECT_EQ(request->method, QLatin1String(c.method)) << c.line;
        EXPECT_EQ(request->args, c.args) << c.line;
        EXPECT_TRUE(KeyboardScripting::knows(request->method)) << c.line;
    }
    EXPECT_EQ(Parse(QStringLiteral("status --json"))->show, CliShow::Status);
    EXPECT_TRUE(Parse(QStringLiteral("status --json"))->json);
    const auto direct = Parse(QStringLiteral("--virtual-device=/s status --data-dir /d"));
    EXPECT_EQ(direct->virtualDevice, QStringLiteral("/s"));
    EXPECT_EQ(direct->dataDir, QStringLiteral("/d"));
}

TEST(CliRequest, MalformedLinesAreUsageErrorsWithAMessage) {
    const char* lines[] = {
        "",
        "frobnicate",
        "status extra",
        "lighting",
        "lighting wave --speed fast",
        "lighting wave --speed",
        "lighting wave --speed 1 --speed 2",
        "lighting wave --colour 1 --color 2",
        "lighting wave --hue 3",
        "game-mode yes",
        "game-mode",
        "response-time 8ms",
        "key A",
        "key A --key B --macro 1",
        "key A --disable=1",
        "diy 1",
        "diy one --all",
        "diy 1 --on",
        "diy 1 --on A --off B",
        "macro",
        "macro show",
        "macro show one",
        "macro import 1",
        "macro rename 1 x",
        "profile",
        "profile apply",
        "profile rename A",
        "profile import",
        "profile apply FPS --allow-launch=yes",
        "profile list --allow-launch",
        "lighting wave --drop-launch",
        "reset",
        "save now",
        "--data-dir",
    };
    for (const char* line : lines) {
        QString error;
        EXPECT_FALSE(Parse(QLatin1String(line), &error).has_value()) << line;
        EXPECT_FALSE(error.isEmpty()) << line;
    }
    QString chinese;
    {
        const test::ScopedTranslation translation(kLanguageChinese);
        EXPECT_FALSE(ParseCli({QStringLiteral("game-mode"), QStringLiteral("maybe")}, chinese));
    }
    EXPECT_TRUE(chinese.contains(QStringLiteral("请输入"))) << "in the interface language";
}

// The message of each place that reports a usage error, in English and through the installed
// Chinese translation, with its values in place.
TEST(CliRequest, UsageErrorsComeInTheInterfaceLanguage) {
    struct Case {
        const char* line;
        const char* english;
        const char* chinese;
    };
    const Case cases[] = {
        {"", "No command given.\n", "没有给出命令。\n"},
        {"frobnicate", "Unknown command \"frobnicate\".\n", "未知的命令“frobnicate”。\n"},
        {"--data-dir", "--data-dir needs a value.", "--data-dir 需要一个值。"},
        {"lighting wave --hue 3", "lighting has no option --hue.", "lighting 没有选项 --hue。"},
        {"lighting wave --speed fast", "--speed must be a whole number, not \"fast\".",
         "--speed 必须是整数，而不是“fast”。"},
        {"game-mode maybe", "Say on or off, not \"maybe\".", "请输入 on 或 off，而不是“maybe”。"},
        {"save now", "Wrong number of arguments. Usage: tavrinctl save",
         "参数个数不对。用法：tavrinctl save"},
        {"reset", "reset needs --factory: it restores the keyboard's factory settings.",
         "reset 需要 --factory：它将键盘恢复出厂设置。"},
        {"profile import p.bin --allow-launch --drop-launch",
         "Give one of --allow-launch and --drop-launch, not both.",
         "--allow-launch 和 --drop-launch 只能给出其中一个。"},
        {"profile export FPS p.bin --drop-launch",
         "--allow-launch and --drop-launch go with profile apply and profile import.",
         "--allow-launch 和 --drop-launch 只用于 profile apply 和 profile import。"},
    };
    for (const Case& c : cases) {
        for (const auto language : {kLanguageEnglish, kLanguageChinese}) {
            const test::ScopedTranslation translation(language);
            QString error;
            EXPECT_FALSE(Parse(QString::fromUtf8(c.line), &error).has_value()) << c.line;
            const char* expected = language == kLanguageChinese ? c.chinese : c.english;
            EXPECT_TRUE(error.startsWith(QString::fromUtf8(expected)))
                << c.line << ": " << error.toStdString();
        }
    }
}

TEST(CliRequest, HelpAndVersionNeedNoKeyboard) {
    EXPECT_EQ(Parse(QStringLiteral("--help"))->show, CliShow::Help);
    EXPECT_TRUE(Parse(QStringLiteral("--help"))->help.contains(QStringLiteral("profile list")));
    const auto one = Parse(QStringLiteral("lighting --help"));
    EXPECT_EQ(one->show, CliShow::Help);
    EXPECT_TRUE(one->help.startsWith(QStringLiteral("lighting EFFECT")));
    EXPECT_EQ(Parse(QStringLiteral("help diy"))->help, CliUsage(QStringLiteral("diy")));
    EXPECT_EQ(Parse(QStringLiteral("--version"))->show, CliShow::Version);
}

TEST(CliRequest, ErrorsOfTheInterfaceBecomeTheDocumentedExitCodes) {
    const std::pair<ScriptError, int> codes[] = {
        {ScriptError::Failed, 1},        {ScriptError::FileNotReadable, 1},
        {ScriptError::InvalidValue, 2},  {ScriptError::NoKeyboard, 3},
        {ScriptError::AccessDenied, 4},  {ScriptError::Busy, 5},
        {ScriptError::LaunchActions, 1},
    };
    for (const auto& [error, code] : codes) {
        EXPECT_EQ(ExitCodeFor(KeyboardScripting::errorName(error)), code);
    }
    EXPECT_EQ(ExitCodeFor(QString()), 0);
    EXPECT_EQ(ExitCodeFor(QStringLiteral("org.freedesktop.DBus.Error.NoReply")), 1);
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
    // The translations are installed into the application.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
