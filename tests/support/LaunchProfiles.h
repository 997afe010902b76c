#pragma once

// The profiles every surface's launch-action tests run through (Load, tavrinctl, D-Bus, apply):
// none, a program, a file and a folder, the same as the current configuration, a relative path
// and a path that is gone. The current configuration holds one launch action: F1 opens
// "notes.txt" in the test's folder.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "model/KeyCodeTable.h"
#include "model/KeyTables.h"
#include "model/Model.h"
#include "model/Utf16Text.h"
#include "support/TempDir.h"

namespace tavrin::test {

struct LaunchProfileCase {
    const char* name;
    // The profile's launch actions: position, kind, path (see LaunchProfiles::pathOf).
    std::vector<std::tuple<std::uint8_t, std::uint8_t, std::string>> actions;
    // What a question lists: key, absolute, exists.
    std::vector<std::tuple<std::u16string, bool, bool>> brought;

    bool bringsAny() const { return !brought.empty(); }
};

inline const std::vector<LaunchProfileCase>& LaunchProfileCases() {
    static const std::vector<LaunchProfileCase> cases = {
        {"NoLaunchActions", {}, {}},
        {"AProgram", {{12, 5, "=bin/tool"}}, {{u"F12", true, true}}},
        {"AFileAndAFolder",
         {{63, 6, "=notes.txt"}, {64, 7, "=games/"}},
         {{u"A", true, true}, {u"S", true, true}}},
        {"TheSameAsNow", {{1, 6, "=notes.txt"}}, {}},
        {"ARelativePath", {{12, 5, "bin/tool"}}, {{u"F12", false, false}}},
        {"APathThatIsGone", {{12, 5, "gone/tool"}}, {{u"F12", true, false}}},
    };
    return cases;
}

class LaunchProfiles {
public:
    explicit LaunchProfiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // "=name": made to exist in the folder (a folder when it ends in '/'); "gone/...": a full
    // path to nothing; anything else is stored as it stands.
    std::u16string pathOf(const std::string& given) const {
        namespace fs = std::filesystem;
        if (given.starts_with('=')) {
            const std::string name = given.substr(1);
            fs::path path = folder_ / name;
            if (name.ends_with('/')) {
                fs::create_directories(path);
                path = path.parent_path();
            } else {
                fs::create_directories(path.parent_path());
                WriteWholeFile(path, {'#', '!'});
            }
            return Utf16FromPath(path);
        }
        if (given.starts_with("gone/")) {
            return Utf16FromPath(folder_ / given);
        }
        return Utf16FromPath(given);
    }

    // A key given a launch action as the key assignment dialog gives it.
    static void Give(Model& m, std::uint8_t position, std::uint8_t kind, std::u16string path) {
        const AssignmentRecord r = m.assignments.record(position);
        r.setKind(kind);
        r.setCode({0x03, 0x00, 0x23, 0x02});
        r.setLaunchPath(path);
        m.settings.setKeyMapEntry(KeyMapIndexOf(position), {r.ownVk(), 0, 0, 0x0C});
    }

    // Every key its own, every key enabled.
    static std::unique_ptr<Model> Fresh() {
        auto m = std::make_unique<Model>();
        m->refreshOwnVk();
        for (std::size_t p = 0; p < kMatrixPositionCount; ++p) {
            m->settings.setKeyMapEntry(KeyMapIndexOf(p), {HidUsage(DefaultVkTable[p]), 0, 0, 0});
        }
        for (auto& b : m->settings.keyEnableMask()) {
            b = 0xFF;
        }
        return m;
    }

    std::unique_ptr<Model> current() const {
        auto m = Fresh();
        Give(*m, 1, 6, pathOf("=notes.txt"));
        m->takeSavedCopies();
        return m;
    }

    // The profile of `c`: the launch actions, and the lighting effect 7 to tell it apart.
    std::unique_ptr<Model> profile(const LaunchProfileCase& c) const {
        auto m = Fresh();
        for (const auto& [position, kind, path] : c.actions) {
            Give(*m, position, kind, pathOf(path));
        }
        m->settings.setEffectCode(7);
        return m;
    }

private:
    std::filesystem::path folder_;
};

}  // namespace tavrin::test
