// What scripts (D-Bus and tavrinctl) may do, on the in-process virtual keyboard: each call's
// result, what reaches the keyboard, and that a refused call changes nothing at all.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <optional>

#include "model/KeyTables.h"
#include "model/MacroStore.h"
#include "model/ProfileFile.h"
#include "model/SettingsStore.h"
#include "service/KeyboardScripting.h"
#include "service/KeyboardService.h"
#include "service/ServiceFixture.h"
#include "sim/VirtualKeyboard.h"
#include "sim/VirtualKeyboardBackend.h"
#include "support/ManualClock.h"
#include "support/ScopedTranslation.h"
#include "support/TempDir.h"

namespace tavrin {
namespace {

using test::RunUntil;

QString WriteText(const std::filesystem::path& path, const QByteArray& text) {
    QFile file(QString::fromStdString(path.string()));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return QString::fromStdString(path.string());
}

class ScriptingThreads : public test::ServiceFixture {
protected:
    ScriptReply call(const char* method, const QVariantList& args) {
        std::optional<ScriptReply> reply;
        scripting->call(QLatin1String(method), args, [&](const ScriptReply& r) { reply = r; });
        EXPECT_TRUE(RunUntil([&] { return reply.has_value(); })) << method;
        return reply.value_or(ScriptReply{ScriptError::Failed, QStringLiteral("no answer"), {}});
    }
    std::size_t reportCount() const { return keyboard.hostReports().size(); }
    // The requests (set-feature and write) the keyboard received after `from`.
    std::vector<std::vector<std::uint8_t>> requestsSince(std::size_t from) const {
        std::vector<std::vector<std::uint8_t>> out;
        const auto all = keyboard.hostReports();
        for (std::size_t i = from; i < all.size(); ++i) {
            if (all[i].kind != HostReport::Kind::GetFeature) {
                out.push_back(all[i].bytes);
            }
        }
        return out;
    }
};

TEST_F(ScriptingThreads, BadInputIsRefusedByNameAndNothingChanges) {
    start();
    const auto macroFile = [&](const char* name, const QByteArray& json) {
        return WriteText(data / name, json);
    };
    QByteArray tooMany = R"({"format":"tavrin-gaming-keyboard-macro","version":1,"name":"x",
        "events":[)";
    for (int i = 0; i < 128; ++i) {
        tooMany += QByteArray(i ? "," : "") + R"({"key":"A","action":"press","delay_ms":1})";
    }
    tooMany += "]}";
    const QString many = macroFile("many.json", tooMany);
    const QString lateDelay =
        macroFile("late.json", R"({"format":"tavrin-gaming-keyboard-macro","version":1,"name":"x",
        "events":[{"key":"A","action":"press","delay_ms":60001}]})");
    const QString notJson = macroFile("broken.json", "{\"format\": ");
    const QString future = macroFile(
        "future.json",
        R"({"format":"tavrin-gaming-keyboard-macro","version":2,"name":"x","events":[]})");
    const QString shortProfile = WriteText(data / "short.bin", QByteArray(1000, '\0'));

    struct Case {
        const char* method;
        QVariantList args;
        ScriptError expected;
    };
    const Case cases[] = {
        {"SetLighting",
         {QStringLiteral("Wavy"), -1, -1, QString(), -1, true},
         ScriptError::InvalidValue},
        {"SetLighting",
         {QStringLiteral("18"), -1, -1, QString(), -1, true},
         ScriptError::InvalidValue},
        {"SetLighting",
         {QStringLiteral("Wave"), 5, -1, QString(), -1, true},
         ScriptError::InvalidValue},
        {"SetLighting",
         {QStringLiteral("Wave"), -1, -1, QStringLiteral("north"), -1, true},
         ScriptError::InvalidValue},
        {"SetLighting",
         {QStringLiteral("Wave"), -1, -1, QString(), 9, true},
         ScriptError::InvalidValue},
        {"SetResponseTime", {3, true}, ScriptError::InvalidValue},
        {"SetResponseTime", {22, true}, ScriptError::InvalidValue},
        {"SetResponseTime", {0, true}, ScriptError::InvalidValue},
        {"SetReportRate", {QStringLiteral("100"), true}, ScriptError::InvalidValue},
        {"SetReportRate", {QStringLiteral("4"), true}, ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("Hyper"), QStringLiteral("key"), QStringLiteral("A"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("key"), QStringLiteral("Hyper"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("combo"), QStringLiteral("A"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("combo"), QStringLiteral("A+B+C+D"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("macro"), QStringLiteral("1"), true},
         ScriptError::InvalidValue},  // no macro exists
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("function"), QStringLiteral("Teleport"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("program"), QStringLiteral("/no/such/file"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("folder"),
          QString::fromStdString(data.path()) + QStringLiteral("/many.json"), true},
         ScriptError::InvalidValue},
        {"AssignKey",
         {QStringLiteral("A"), QStringLiteral("fly"), QString(), true},
         ScriptError::InvalidValue},
        {"SetDiyKeys", {6, QStringLiteral("all"), QStringList(), true}, ScriptError::InvalidValue},
        {"SetDiyKeys",
         {1, QStringLiteral("on"), QStringList{QStringLiteral("A"), QStringLiteral("Hyper")}, true},
         ScriptError::InvalidValue},
        {"SetDiyKeys",
         {1, QStringLiteral("on"), QStringList{QStringLiteral("Media")}, true},
         ScriptError::InvalidValue},  // a key without a light
        {"SetDiyKeys",
         {1, QStringLiteral("clear"), QStringList{QStringLiteral("A")}, true},
         ScriptError::InvalidValue},
        {"ImportMacro", {1, many, true}, ScriptError::InvalidValue},
        {"ImportMacro", {1, lateDelay, true}, ScriptError::InvalidValue},
        {"ImportMacro", {1, notJson, true}, ScriptError::InvalidValue},
        {"ImportMacro", {1, future, true}, ScriptError::InvalidValue},
        {"ImportMacro",
         {1, QStringLiteral("/no/such/macro.json"), true},
         ScriptError::FileNotReadable},
        {"ImportMacro", {3, notJson, true}, ScriptError::InvalidValue},  // slot 3 of none
        {"DeleteMacro", {1, true}, ScriptError::InvalidValue},
        {"ApplyProfile", {QStringLiteral("../Profile_1"), true}, ScriptError::InvalidValue},
        {"ApplyProfile", {QStringLiteral("a/b"), true}, ScriptError::InvalidValue},
        {"ApplyProfile", {QStringLiteral("Missing"), true}, ScriptError::InvalidValue},
        {"RenameProfile",
         {QStringLiteral("Profile_1"), QStringLiteral("..")},
         ScriptError::InvalidValue},
        {"ImportProfile", {shortProfile, QStringLiteral("Short")}, ScriptError::InvalidValue},
        {"ImportProfile",
         {QStringLiteral("/no/such/profile.bin"), QStringLiteral("Gone")},
         ScriptError::FileNotReadable},
        {"ImportProfile", {shortProfile, QStringLiteral("x/y")}, ScriptError::InvalidValue},
        {"Frobnicate", {}, ScriptError::InvalidValue},
        {"SetGameMode", {QStringLiteral("on"), true}, ScriptError::InvalidValue},  // mistyped
    };
    ASSERT_TRUE(call("ListProfiles", {}).ok());  // the folder gets its first profile
    const Model before = model();
    const std::size_t reports = reportCount();
    for (const Case& c : cases) {
        const ScriptReply reply = call(c.method, c.args);
        EXPECT_EQ(reply.error, c.expected) << c.method << " " << reply.message.toStdString();
        EXPECT_FALSE(reply.message.isEmpty()) << c.method;
    }
    EXPECT_EQ(model().settings, before.settings);
    EXPECT_EQ(model().assignments, before.assignments);
    EXPECT_EQ(model().macros, before.macros);
    EXPECT_EQ(reportCount(), reports) << "the keyboard was sent something";
    EXPECT_FALSE(std::filesystem::exists(data / "Configure" / "Short.bin"));
    EXPECT_FALSE(std::filesystem::exists(data / "Configure" / "Gone.bin"));
}

TEST_F(ScriptingThreads, EachSettingIsSentAtOnceUnlessOnlyStaged) {
    start();
    std::size_t mark = reportCount();
    ASSERT_TRUE(
        call("SetLighting", {QStringLiteral("wave"), 3, -1, QStringLiteral("up"), -1, true}).ok());
    // WriteLighting: effect 2, speed 4 - 3, the brightness as it was, Wave's colour 8, up.
    const auto sent = requestsSince(mark);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][1], 0x06);
    EXPECT_EQ(sent[0][3], 2);
    EXPECT_EQ(sent[0][4], 1);
    EXPECT_EQ(sent[0][6], 8);
    EXPECT_EQ(sent[0][7], 3);
    EXPECT_EQ(keyboard.state().lighting()[0], 2);
    EXPECT_EQ(model().savedSettings, model().settings);

    // Staged edits go together with the next Save; a Cancel drops what is still staged.
    mark = reportCount();
    ASSERT_TRUE(call("SetGameMode", {true, false}).ok());
    ASSERT_TRUE(call("SetResponseTime", {8, false}).ok());
    ASSERT_TRUE(call("SetReportRate", {QStringLiteral("1000Hz"), false}).ok());
    EXPECT_EQ(reportCount(), mark) << "staged only";
    EXPECT_TRUE(scripting->properties().value(QStringLiteral("UnsavedEdits")).toBool());
    ASSERT_TRUE(call("Save", {}).ok());
    const auto saved = requestsSince(mark);
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(keyboard.state().gameMode(), 1);
    EXPECT_EQ(model().settings.responseTime(), 4);
    EXPECT_EQ(model().settings.reportInterval(), 3);
    EXPECT_FALSE(scripting->properties().value(QStringLiteral("UnsavedEdits")).toBool());

    ASSERT_TRUE(call("SetWinLock", {true, false}).ok());
    ASSERT_TRUE(call("Cancel", {}).ok());
    EXPECT_EQ(model().settings.winLock(), 0);
    EXPECT_FALSE(scripting->properties().value(QStringLiteral("UnsavedEdits")).toBool());
    const QVariantMap p = scripting->properties();
    EXPECT_EQ(p.value(QStringLiteral("KeyboardState")).toString(), QStringLiteral("ready"));
    EXPECT_EQ(p.value(QStringLiteral("Effect")).toString(), QStringLiteral("Wave"));
    EXPECT_EQ(p.value(QStringLiteral("Direction")).toString(), QStringLiteral("up"));
    EXPECT_EQ(p.value(QStringLiteral("ResponseTime")).toInt(), 8);
}

TEST_F(ScriptingThreads, KeysMacrosAndDiyLayersGoThroughTheModelsOwnRules) {
    start();
    // A function given by its Chinese label is stored as the dialog would store it.
    ASSERT_TRUE(call("AssignKey", {QStringLiteral("caps lock"), QStringLiteral("function"),
                                   QStringLiteral("音量+"), true})
                    .ok());
    const std::uint8_t caps = 62;
    EXPECT_EQ(model().assignments.record(caps).kind(), KindByte(AssignmentKind::Function));
    EXPECT_EQ(model().settings.keyMapEntry(KeyMapIndexOf(caps)),
              (KeyMapEntry{0x00, 0xE9, 0x00, 0x03}));
    EXPECT_EQ(keyboard.state().keyMap()[KeyMapIndexOf(caps) * 4 + 1], 0xE9);
    ASSERT_TRUE(
        call("AssignKey", {QStringLiteral("Caps"), QStringLiteral("default"), QString(), true})
            .ok());
    EXPECT_EQ(model().settings.keyMapEntry(KeyMapIndexOf(caps)), (KeyMapEntry{57, 0, 0, 0}));

    // A macro from its JSON form: the device record follows it, and it can be assigned.
    const QString burst = WriteText(
        data / "burst.json",
        R"({"format":"tavrin-gaming-keyboard-macro","version":1,"name":"Burst","loop_count":3,
            "events":[{"key":"A","action":"press"},{"key":"a","action":"release","delay_ms":250}]})");
    ASSERT_TRUE(call("ImportMacro", {1, burst, true}).ok());
    EXPECT_EQ(model().macros.record(0).name(), u"Burst");
    EXPECT_EQ(model().macros.record(0).codeEvent(1), (MacroEvent{0x04, 0x80, 250}));
    EXPECT_EQ(keyboard.state().deviceMacroRecord(0)[0], 3) << "the loop count reached the keyboard";
    ASSERT_TRUE(call("AssignKey",
                     {QStringLiteral("F1"), QStringLiteral("macro"), QStringLiteral("1"), false})
                    .ok());
    const ScriptReply shown = call("GetMacro", {1});
    ASSERT_TRUE(shown.ok());
    const QString exported = QString::fromStdString((data / "out.json").string());
    ASSERT_TRUE(call("ExportMacro", {1, exported}).ok());
    ASSERT_TRUE(call("ImportMacro", {2, exported, false}).ok())
        << "what export writes, import reads";
    EXPECT_EQ(model().macros.record(1).name(), u"Burst");
    ASSERT_TRUE(call("DeleteMacro", {1, false}).ok());
    EXPECT_EQ(UsedMacroSlots(model().macros), 1u);
    EXPECT_EQ(call("ListMacros", {}).value.toStringList(), QStringList{QStringLiteral("Burst")});

    // DIY: named keys, then the whole layer.
    ASSERT_TRUE(call("SetDiyKeys", {2, QStringLiteral("on"),
                                    QStringList{QStringLiteral("Esc"), QStringLiteral("w")}, false})
                    .ok());
    EXPECT_EQ(model().settings.diyTable(1)[LedIndexOf(0)], 0xFF);
    EXPECT_EQ(model().settings.diyTable(1)[LedIndexOf(43)], 0xFF);
    ASSERT_TRUE(call("SetDiyKeys", {2, QStringLiteral("clear"), QStringList(), true}).ok());
    for (std::uint8_t p = 0; p < kMatrixPositionCount; ++p) {
        EXPECT_EQ(model().settings.diyTable(1)[LedIndexOf(p)], 0) << int(p);
    }
}

TEST_F(ScriptingThreads, ProfilesAreManagedByNameAndAppliedLikeTheManagersOk) {
    start();
    ASSERT_EQ(call("ListProfiles", {}).value.toStringList(),
              QStringList{QStringLiteral("Profile_1")});
    EXPECT_EQ(call("NewProfile", {}).value.toString(), QStringLiteral("Profile_2"));
    EXPECT_EQ(call("CopyProfile", {QStringLiteral("Profile_2")}).value.toString(),
              QStringLiteral("Copy of  Profile_2"));
    EXPECT_EQ(call("RenameProfile", {QStringLiteral("Copy of  Profile_2"), QStringLiteral("FPS")})
                  .value.toString(),
              QStringLiteral("FPS"));
    EXPECT_EQ(call("RenameProfile", {QStringLiteral("FPS"), QStringLiteral("Profile_1")}).error,
              ScriptError::InvalidValue)
        << "a rename never replaces another profile";

    // A profile whose game mode is on: applying it sends the difference and makes it current.
    Model fps = model();
    fps.settings.setGameMode(1);
    ASSERT_TRUE(WriteProfileFromModel(data / "fps.bin", fps));
    EXPECT_EQ(call("ImportProfile",
                   {QString::fromStdString((data / "fps.bin").string()), QStringLiteral("FPS")})
                  .value.toString(),
              QStringLiteral("FPS"));
    EXPECT_EQ(model().settings.gameMode(), 0) << "importing does not load";
    ASSERT_TRUE(call("ApplyProfile", {QStringLiteral("FPS"), true}).ok());
    EXPECT_EQ(keyboard.state().gameMode(), 1);
    EXPECT_EQ(scripting->properties().value(QStringLiteral("CurrentProfile")).toString(),
              QStringLiteral("FPS"));
    EXPECT_TRUE(std::filesystem::exists(data / "MacroDefine.bin"));

    const QString out = QString::fromStdString((data / "export.bin").string());
    ASSERT_TRUE(call("ExportProfile", {QStringLiteral("FPS"), out}).ok());
    EXPECT_EQ(std::filesystem::file_size(data / "export.bin"), ProfileFile::kSize);
    ASSERT_TRUE(call("DeleteProfile", {QStringLiteral("Profile_2")}).ok());
    EXPECT_EQ(call("ListProfiles", {}).value.toStringList(),
              (QStringList{QStringLiteral("FPS"), QStringLiteral("Profile_1")}));
}

TEST_F(ScriptingThreads, WhileTheKeyboardOrAWindowIsBusyEveryChangeIsRefused) {
    start();
    QSignalSpy finished(service.get(), &KeyboardService::saveFinished);
    ASSERT_TRUE(call("SetWinLock", {true, false}).ok());
    ASSERT_EQ(service->save(), Availability::Started);  // the window's Save
    const Model before = model();
    for (const char* method : {"SetGameMode", "SetWinLock"}) {
        EXPECT_EQ(call(method, {true, true}).error, ScriptError::Busy) << method;
        EXPECT_EQ(call(method, {true, false}).error, ScriptError::Busy) << method;
    }
    EXPECT_EQ(call("Save", {}).error, ScriptError::Busy);
    EXPECT_EQ(call("FactoryReset", {}).error, ScriptError::Busy);
    EXPECT_EQ(model().settings, before.settings);
    ASSERT_TRUE(RunUntil([&] { return finished.count() == 1; }));

    // A dialog open on the model holds it: scripts wait for it to close.
    service->holdForWindow(true);
    const ScriptReply held = call("SetGameMode", {true, false});
    EXPECT_EQ(held.error, ScriptError::Busy);
    EXPECT_TRUE(held.message.contains(QStringLiteral("window")));
    EXPECT_EQ(call("ApplyProfile", {QStringLiteral("Profile_1"), false}).error, ScriptError::Busy);
    service->holdForWindow(false);
    EXPECT_TRUE(call("SetGameMode", {true, false}).ok());
}

TEST_F(ScriptingThreads, WithoutAKeyboardSendingIsRefusedButStagingWorks) {
    keyboard.unplug();
    start();
    EXPECT_EQ(call("SetGameMode", {true, true}).error, ScriptError::NoKeyboard);
    EXPECT_EQ(model().settings.gameMode(), 0) << "a refused call changes nothing";
    EXPECT_TRUE(call("SetGameMode", {true, false}).ok());
    EXPECT_EQ(model().settings.gameMode(), 1);
    EXPECT_EQ(scripting->properties().value(QStringLiteral("KeyboardState")).toString(),
              QStringLiteral("absent"));
}

// The answers are made in the translation the program or tavrinctl installed for the interface
// language, with their values in place.
TEST_F(ScriptingThreads, AnswersComeInTheInstalledTranslation) {
    keyboard.unplug();
    start();
    struct Case {
        const char* method;
        QVariantList args;
        const char* english;
        const char* chinese;
    };
    const Case cases[] = {
        {"Frobnicate", {}, "Unknown method Frobnicate.", "未知的方法 Frobnicate。"},
        {"SetGameMode",
         {1, true},
         "SetGameMode takes the arguments (bb).",
         "SetGameMode 的参数应为 (bb)。"},
        {"SetResponseTime",
         {7, true},
         "The response time is 2 to 20 ms in steps of 2; 7 is not.",
         "响应时间为 2 到 20 毫秒，步长为 2；7 不在其中。"},
        {"GetMacro", {3}, "There is no macro 3.", "没有宏 3。"},
        {"DeleteProfile",
         {QStringLiteral("a/b")},
         R"("a/b" cannot be a profile name: it must be 1 to 95 characters without "/", "\" or "..".)",
         R"(“a/b”不能作为配置文件名：须为 1 到 95 个字符，且不含“/”、“\”或“..”。)"},
        {"SetGameMode", {true, true}, "No keyboard is connected.", "未检测到键盘。"},
    };
    for (const Case& c : cases) {
        for (const auto language : {kLanguageEnglish, kLanguageChinese}) {
            model().languageId = language;
            const test::ScopedTranslation translation(language);
            const ScriptReply reply = call(c.method, c.args);
            EXPECT_FALSE(reply.ok()) << c.method;
            EXPECT_EQ(reply.message.toStdString(),
                      language == kLanguageChinese ? c.chinese : c.english)
                << c.method;
        }
    }
}

}  // namespace
}  // namespace tavrin
