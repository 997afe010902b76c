// ImportProfile and ApplyProfile, as D-Bus and tavrinctl call them, with every profile of the
// launch-action table and every choice: what is refused and why, what the profile folder, the
// model, "keymap.bin" and the keyboard hold afterwards.

#include <gtest/gtest.h>

#include <QString>
#include <optional>
#include <string>
#include <tuple>

#include "model/KeyTables.h"
#include "model/LaunchActions.h"
#include "model/LocalFiles.h"
#include "model/ProfileFile.h"
#include "service/ServiceFixture.h"
#include "support/LaunchProfiles.h"

namespace tavrin {
namespace {

using test::LaunchProfileCase;
using test::RunUntil;

// "" is the old method, which has no choice; the others are the new method's argument.
using Param = std::tuple<LaunchProfileCase, const char*>;

class LaunchScriptingBase : public test::ServiceFixture {
protected:
    void prepare(const LaunchProfileCase& profileCase, const char* how) {
        case_ = &profileCase;
        how_ = how;
        start();
        // The current configuration, on the keyboard as well: F1 opens notes.txt.
        const auto current = profiles.current();
        model().settings = current->settings;
        model().assignments = current->assignments;
        ASSERT_TRUE(call("Save", {}).ok());
        before = std::make_unique<Model>(model());
        incoming = profiles.profile(c());
        shared = data / "shared.bin";
        std::filesystem::create_directories(data / "Configure");
        ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(shared));
    }

    const LaunchProfileCase& c() const { return *case_; }
    QString choice() const { return QString::fromLatin1(how_); }
    bool refused() const {
        return c().bringsAny() && (choice().isEmpty() || choice() == QStringLiteral("refuse"));
    }
    bool dropped() const { return choice() == QStringLiteral("drop"); }

    ScriptReply call(const char* method, const QVariantList& args) {
        std::optional<ScriptReply> reply;
        scripting->call(QLatin1String(method), args, [&](const ScriptReply& r) { reply = r; });
        EXPECT_TRUE(RunUntil([&] { return reply.has_value(); })) << method;
        return reply.value_or(ScriptReply{ScriptError::Failed, QStringLiteral("no answer")});
    }

    // The refusal: a D-Bus error of its own whose message lists each key and path.
    void expectRefusal(const ScriptReply& reply) {
        EXPECT_EQ(reply.error, ScriptError::LaunchActions);
        EXPECT_EQ(KeyboardScripting::errorName(reply.error),
                  QStringLiteral("org.tavrin.GamingKeyboard1.Error.LaunchActions"));
        EXPECT_EQ(reply.launchActions.size(), c().brought.size());
        for (const LaunchAction& a : LaunchActionsOf(incoming->assignments)) {
            if (a.position == 1) {
                continue;  // the current configuration's own
            }
            const QString key = QString::fromStdU16String(LaunchKeyName(a));
            const QString path = QString::fromStdU16String(a.path);
            EXPECT_TRUE(reply.message.contains(QStringLiteral("  %1 (").arg(key)));
            EXPECT_TRUE(reply.message.contains(QStringLiteral("): %1").arg(path)))
                << reply.message.toStdString();
        }
    }

    // What a table of assignments holds after the call: the profile's, or the same without its
    // launch actions.
    void expectTaken(const AssignmentTable& table) {
        if (dropped()) {
            EXPECT_TRUE(LaunchActionsOf(table).empty());
        } else {
            EXPECT_EQ(LaunchActionsOf(table), LaunchActionsOf(incoming->assignments));
        }
    }

    const LaunchProfileCase* case_ = nullptr;
    const char* how_ = "";
    test::LaunchProfiles profiles{data.path()};
    std::unique_ptr<Model> before;
    std::unique_ptr<Model> incoming;
    std::filesystem::path shared;
};

class LaunchScriptingThreads : public LaunchScriptingBase,
                               public testing::WithParamInterface<Param> {
protected:
    void SetUp() override {
        LaunchScriptingBase::SetUp();
        prepare(std::get<0>(GetParam()), std::get<1>(GetParam()));
    }
};

class LaunchChoiceThreads : public LaunchScriptingBase {
protected:
    void SetUp() override {
        LaunchScriptingBase::SetUp();
        prepare(test::LaunchProfileCases()[1], "");  // a program
    }
};

TEST_P(LaunchScriptingThreads, Import) {
    const QString path = QString::fromStdString(shared.string());
    const ScriptReply reply =
        choice().isEmpty()
            ? call("ImportProfile", {path, QStringLiteral("In")})
            : call("ImportProfileWithLaunch", {path, QStringLiteral("In"), choice()});
    const auto written = data / "Configure" / "In.bin";
    if (refused()) {
        expectRefusal(reply);
        EXPECT_FALSE(std::filesystem::exists(written));
    } else {
        ASSERT_TRUE(reply.ok()) << reply.message.toStdString();
        EXPECT_EQ(reply.value.toString(), QStringLiteral("In"));
        const auto file = ProfileFile::Read(written);
        ASSERT_TRUE(file);
        expectTaken(file->assignments());
        EXPECT_EQ(file->bytes()[SettingsBlock::kEffectCodeOffset], 7);
    }
    // Importing never touches the live configuration.
    EXPECT_EQ(model().assignments, before->assignments);
    EXPECT_EQ(model().settings, before->settings);
}

TEST_P(LaunchScriptingThreads, Apply) {
    // Put into the profile folder by hand.
    ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(data / "Configure" / "Shared.bin"));
    const std::size_t reports = keyboard.hostReports().size();
    const ScriptReply reply =
        choice().isEmpty()
            ? call("ApplyProfile", {QStringLiteral("Shared"), true})
            : call("ApplyProfileWithLaunch", {QStringLiteral("Shared"), choice(), true});
    const auto keymap = test::ReadWholeFile(data / kKeymapFileName);
    ASSERT_EQ(keymap.size(), kKeymapFileSize);
    AssignmentTable inKeymap;
    std::copy(keymap.begin() + SettingsBlock::kSize, keymap.end(), inKeymap.bytes.begin());
    const VirtualKeyboardState state = keyboard.state();
    const auto onKeyboard = state.keyMap();
    const auto entry = [&](std::size_t position) {
        const std::size_t at = 4 * KeyMapIndexOf(position);
        return KeyMapEntry{onKeyboard[at], onKeyboard[at + 1], onKeyboard[at + 2],
                           onKeyboard[at + 3]};
    };

    if (refused()) {
        expectRefusal(reply);
        EXPECT_EQ(model().assignments, before->assignments);
        EXPECT_EQ(model().settings, before->settings);
        EXPECT_EQ(keyboard.hostReports().size(), reports) << "nothing reached the keyboard";
        EXPECT_EQ(LaunchActionsOf(inKeymap), LaunchActionsOf(before->assignments));
        return;
    }
    ASSERT_TRUE(reply.ok()) << reply.message.toStdString();
    expectTaken(model().assignments);
    expectTaken(inKeymap);
    EXPECT_EQ(state.lighting()[0], 7) << "the rest of the profile was sent";
    for (const auto& [position, kind, path] : c().actions) {
        SCOPED_TRACE(static_cast<int>(position));
        const KeyMapEntry expected = dropped()
                                         ? KeyMapEntry{HidUsage(DefaultVkTable[position]), 0, 0, 0}
                                         : KeyMapEntry{DefaultVkTable[position], 0, 0, 0x0C};
        EXPECT_EQ(entry(position), expected);
    }
    // Kept: the profile is the user's from now on, also through the method without a choice.
    if (choice() == QStringLiteral("keep")) {
        EXPECT_TRUE(call("ApplyProfile", {QStringLiteral("Shared"), true}).ok());
    }
}

TEST_F(LaunchChoiceThreads, AnUnknownChoiceIsRefusedByName) {
    ASSERT_TRUE(ProfileFile::FromModel(*incoming).write(data / "Configure" / "Shared.bin"));
    const QString path = QString::fromStdString(shared.string());
    for (const ScriptReply& reply :
         {call("ApplyProfileWithLaunch", {QStringLiteral("Shared"), QStringLiteral("yes"), true}),
          call("ImportProfileWithLaunch", {path, QStringLiteral("In"), QStringLiteral("Keep")})}) {
        EXPECT_EQ(reply.error, ScriptError::InvalidValue);
        EXPECT_TRUE(reply.message.contains(QStringLiteral("keep, drop or refuse")));
    }
    EXPECT_EQ(model().assignments, before->assignments);
    EXPECT_FALSE(std::filesystem::exists(data / "Configure" / "In.bin"));
}

INSTANTIATE_TEST_SUITE_P(Profiles, LaunchScriptingThreads,
                         testing::Combine(testing::ValuesIn(test::LaunchProfileCases()),
                                          testing::Values("", "refuse", "drop", "keep")),
                         [](const auto& p) {
                             const std::string how = std::get<1>(p.param);
                             return std::string(std::get<0>(p.param).name) + "_" +
                                    (how.empty() ? "old" : how);
                         });

}  // namespace
}  // namespace tavrin
