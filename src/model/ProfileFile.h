#pragma once

// A profile: SettingsBlock, AssignmentTable and MacroTable one after the other, 209104 bytes, no
// header. Readers take what a file holds in this order: a short file fills what it holds and the
// rest of the model keeps its bytes; bytes past the MacroTable are ignored.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/LocalFiles.h"
#include "model/Model.h"

namespace tavrin {

struct LaunchAction;

class ProfileFile {
public:
    static constexpr std::size_t kSettingsOffset = 0;
    static constexpr std::size_t kAssignmentsOffset = SettingsBlock::kSize;
    static constexpr std::size_t kMacrosOffset = kAssignmentsOffset + AssignmentTable::kSize;
    static constexpr std::size_t kSize = kMacrosOffset + MacroTable::kSize;
    static_assert(kMacrosOffset == 201424);
    static_assert(kSize == 209104);

    // All zero, holding nothing.
    ProfileFile();

    // Reads at most 209104 bytes; nullopt when the file cannot be opened for reading.
    static std::optional<ProfileFile> Read(const std::filesystem::path& path);
    // The three live images of the model.
    static ProfileFile FromModel(const Model& model);
    // The factory configuration (CreateDefaultProfile).
    static ProfileFile Default();

    // The 209104 bytes; those past heldBytes() are zero.
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // How many bytes the file held, at most 209104.
    std::size_t heldBytes() const { return held_; }

    // Copies what the file held into SettingsBlock, AssignmentTable and MacroTable; the rest of
    // the images keeps its bytes. The saved copies are not touched.
    void fill(Model& model) const;

    // The AssignmentTable as the file holds it (records it does not hold read as zero).
    AssignmentTable assignments() const;
    // The AssignmentTable that fill() leaves in a model whose table is `base`.
    AssignmentTable assignmentsOver(const AssignmentTable& base) const;

    // Writes all 209104 bytes through a temporary file.
    WriteResult write(const std::filesystem::path& path) const;
    // The same, only where nothing is in that place yet (CreateFileAtomically).
    [[nodiscard]] WriteResult create(const std::filesystem::path& path) const;

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t held_ = 0;
};

// ApplyProfile: when the file can be read, the saved copies take the live SettingsBlock and
// AssignmentTable (the keyboard's state stays known), then the file fills the three images. False
// when the file cannot be opened; then nothing changes.
// It takes every launch action the file brings: a profile from the folder is taken through
// ProfileFolder::applySelected, which asks about them first.
bool ApplyProfile(const std::filesystem::path& path, Model& model);
// The same with the file read already.
void ApplyProfile(const ProfileFile& file, Model& model);

// CreateDefaultProfile: the factory configuration written to `path`, created or replaced (a file
// that cannot be read is not replaced: WriteFileAtomically).
WriteResult CreateDefaultProfile(const std::filesystem::path& path);

// The default profile where none is: created only when nothing at all is at `path`. Loaded when
// a file that can be read is there already, Unreadable when anything else is; both are kept.
[[nodiscard]] LoadResult EnsureDefaultProfile(const std::filesystem::path& path);

// The live model written to `path` as a profile (Save writes it to the selected profile and to the
// exported file).
WriteResult WriteProfileFromModel(const std::filesystem::path& path, const Model& model);

// Why a file cannot be imported.
enum class ProfileImportProblem {
    None,
    CannotOpen,  // missing, a folder, or unreadable
    TooShort,    // shorter than SettingsBlock and AssignmentTable together: not a profile
};

// A profile to import must hold at least the SettingsBlock and the whole AssignmentTable (201424
// bytes); a shorter file would leave the model half replaced.
inline constexpr std::size_t kMinimumImportSize = ProfileFile::kMacrosOffset;
ProfileImportProblem ValidateProfileImport(const std::optional<ProfileFile>& file);
ProfileImportProblem ValidateProfileImport(const ProfileFile& file);

// The launch actions (programs, files, folders to open) that the profile assigns.
std::vector<LaunchAction> LaunchActionsOf(const ProfileFile& profile);

// Load (import): the checked file fills the model; the saved copies are not touched, so the next
// Save sends the difference to the keyboard.
void ImportProfile(const ProfileFile& file, Model& model);

}  // namespace tavrin
