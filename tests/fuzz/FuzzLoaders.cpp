// libFuzzer target: any bytes as "keymap.bin", "MacroDefine.bin" and a profile, then every walk
// over what they loaded. Nothing may crash, read out of bounds or throw.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "model/KeyAssignment.h"
#include "model/LaunchActions.h"
#include "model/LocalFiles.h"
#include "model/MacroSequence.h"
#include "model/MacroStore.h"
#include "model/ProfileFile.h"
#include "model/ProfileFolder.h"
#include "model/Utf16Text.h"

namespace {

namespace fs = std::filesystem;
using namespace tavrin;

class NullShell : public Shell {
public:
    bool open(const fs::path& directory, const fs::path& file) override {
        return !directory.empty() || !file.empty();
    }
    bool startProgram(const fs::path&, const std::vector<std::string>&) override { return true; }
};

fs::path& WorkDir() {
    static fs::path dir;
    return dir;
}

void RemoveWorkDir() {
    std::error_code ec;
    fs::remove_all(WorkDir(), ec);
}

void WriteInput(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void WalkEvents(MacroEventsView keyEvents, MacroEventsView codeEvents) {
    const std::size_t lines = EventLines(keyEvents).size();
    for (std::size_t line : {std::size_t{0}, std::size_t{1}, lines / 2, lines, lines + 1}) {
        (void)LineToEvent(keyEvents, line);
    }
    (void)FirstFreeEvent(codeEvents);
}

void WalkMacros(Model& model) {
    for (std::size_t slot = 0; slot < MacroTable::kRecordCount; ++slot) {
        const ConstMacroRecord record = std::as_const(model.macros).record(slot);
        (void)record.name();
        WalkEvents(KeyEventsOf(record), CodeEventsOf(record));
        MacroSequence sequence = MacroSequence::Of(record);
        const std::size_t count = sequence.eventCount();
        sequence.insert(count / 2, record.keyEvent(0).key, MacroEvent::kRelease);
        sequence.insertDelay(count);
        sequence.remove(0);
        WalkEvents(sequence.keyEvents, sequence.codeEvents);
    }
    BuildDeviceMacros(model.macros, model.settings);
}

void WalkAssignments(const AssignmentTable& assignments) {
    NullShell shell;
    for (const LaunchAction& action : LaunchActionsOf(assignments)) {
        (void)SplitLaunchPath(action.path);
        static_cast<void>(RunLaunchAction(assignments, action.ownVk, shell));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (fs::temp_directory_path() / "tavrin-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ::abort();
    }
    WorkDir() = pattern;
    fs::create_directory(WorkDir() / kProfileFolderName);
    ::atexit(RemoveWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& dir = WorkDir();
    static auto model = std::make_unique<Model>();

    // Whatever the bytes, a file that was just written is read, never taken as unreadable.
    WriteInput(dir / kKeymapFileName, data, size);
    if (LoadKeymapFile(dir, *model, false).outcome != LoadOutcome::Loaded) {
        ::abort();
    }
    WalkAssignments(model->assignments);

    WriteInput(dir / kMacroFileName, data, size);
    if (LoadMacroFile(dir, model->macros).outcome != LoadOutcome::Loaded) {
        ::abort();
    }
    WalkMacros(*model);

    const fs::path profile = dir / kProfileFolderName / "Fuzz.bin";
    WriteInput(profile, data, size);
    if (const auto file = ProfileFile::Read(profile)) {
        (void)ValidateProfileImport(*file);
        for (const LaunchAction& action : LaunchActionsOf(*file)) {
            (void)SplitLaunchPath(action.path);
        }
    }
    if (!ApplyProfile(profile, *model)) {
        ::abort();
    }
    WalkAssignments(model->assignments);
    WalkMacros(*model);

    // The input's first bytes as a name typed by the user, and as a stored CurrentProfile.
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size && i < 400; i += 2) {
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    ProfileFolder folder(dir);
    folder.refresh();
    if (IsSafeProfileName(text)) {
        const fs::path target = folder.path() / PathFromUtf16(RenamedFileName(text));
        if (target.parent_path() != folder.path()) {
            ::abort();  // a safe name must never leave the folder
        }
    }
    (void)SelectCurrentProfile(folder.profilePaths(), text);
    (void)ProfileNameOf(text);
    return 0;
}
