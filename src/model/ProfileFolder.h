#pragma once

// The profile folder "Configure" in the program directory: the profiles it lists, their names,
// and the operations of the profile manager on them. Every file written here is a child of the
// folder: names that would lead out of it are refused.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/LaunchActionsReview.h"
#include "model/Model.h"
#include "model/ProfileFile.h"
#include "model/SettingsStore.h"

namespace tavrin {

inline constexpr const char* kProfileFolderName = "Configure";
inline constexpr const char16_t* kProfileExtension = u".bin";
inline constexpr const char16_t* kFirstProfileFileName = u"Profile_1.bin";
inline constexpr std::size_t kMaxProfiles = 6;  // the seventh file is not listed
// The CurrentProfile value is read into 100 UTF-16 units; a name and ".bin" must fit.
inline constexpr std::size_t kCurrentProfileMaxChars = 100;
inline constexpr std::size_t kMaxProfileNameChars = kCurrentProfileMaxChars - 5;

// A name the user may give a profile: not empty, at most 95 characters, no path separator ('/'
// or '\\'), no "..", no NUL or other control character. Anything else would write outside the
// profile folder or make a file the list cannot show again.
bool IsSafeProfileName(std::u16string_view name);

// The list line of a file name: the name with every ".bin" removed.
std::u16string ProfileNameOf(std::u16string_view fileName);

// The file name of a renamed line: the text, with ".bin" appended unless it already ends in it.
std::u16string RenamedFileName(std::u16string_view text);

// "Profile_%d" for n = 1..9, "Profile0%d" for 10..98, "Profile%d" from 99 on.
std::u16string NumberedProfileName(unsigned n);

// The first numbered name, n = 1, 2, ..., that `taken` refuses.
template <typename Taken>
std::u16string NewProfileName(Taken taken) {
    for (unsigned n = 1;; ++n) {
        std::u16string name = NumberedProfileName(n);
        if (!taken(name)) {
            return name;
        }
    }
}

// Copy names: "Copy of " (Chinese "复制 "), a space and the name; then the same followed by a
// space and k = 1, 2, ...
std::u16string CopyProfileName(std::u16string_view name, std::uint16_t languageId, unsigned k);

// The order of the list's lines: letters compared without regard to case, then unit by unit.
bool ProfileNameLess(std::u16string_view a, std::u16string_view b);

// The line to select: the last path that contains `currentProfile` (an empty text is contained in
// every path, so the last line wins).
std::optional<std::size_t> SelectCurrentProfile(const std::vector<std::filesystem::path>& paths,
                                                std::u16string_view currentProfile);

// CurrentProfile from "Software\\Dalvex" "CurrentProfileName". Without the key the value passed in
// is kept. When the key exists but the value does not (or is longer than 100 units), the value
// "Profile_1.bin" is written and used.
std::u16string ReadCurrentProfile(SettingsStore& store, std::u16string current);
// Creates the key when it is missing.
bool WriteCurrentProfile(SettingsStore& store, const std::u16string& currentProfile);

struct ProfileEntry {
    std::u16string name;         // the list line
    std::filesystem::path path;  // its file (ProfilePaths)
};

enum class ProfileStatus {
    Done,
    NoSelection,  // the operation needs a selected line
    TooMany,      // six profiles listed already
    LastProfile,  // delete refused: one profile must stay
    SameFile,     // rename onto a listed profile: the list is only rebuilt
    RefusedName,  // the name would leave the folder or cannot be stored
    Failed,       // a file operation failed; see error
    // The profile brings launch actions the user has not accepted: nothing changed. They are in
    // launchActions; the caller asks, then tries again with the user's choice.
    LaunchActionsNotAccepted,
};

struct [[nodiscard]] ProfileResult {
    ProfileResult() = default;
    ProfileResult(ProfileStatus status_, std::u16string name_, std::string error_,
                  std::vector<CheckedLaunchAction> launchActions_ = {})
        : status(status_),
          name(std::move(name_)),
          error(std::move(error_)),
          launchActions(std::move(launchActions_)) {}

    ProfileStatus status = ProfileStatus::Done;
    std::u16string name;  // the profile created, copied or renamed
    std::string error;
    std::vector<CheckedLaunchAction> launchActions;  // with LaunchActionsNotAccepted

    explicit operator bool() const { return status == ProfileStatus::Done; }
};

// The profile manager's opening.
struct [[nodiscard]] ProfileFolderOpened {
    std::optional<std::size_t> selected;  // the line to select
    // Set when the folder listed no profile: whether "Profile_1.bin" was created, or why it was
    // not (CreateFailed, or Unreadable when something unreadable is in its place; it is kept).
    std::optional<LoadResult> defaultProfile;
};

class ProfileFolder {
public:
    explicit ProfileFolder(const std::filesystem::path& programDir);

    // ProfileFolder: the program directory followed by "Configure".
    const std::filesystem::path& path() const { return folder_; }
    // The list's lines in their order, each with its file; ProfilePaths is their paths.
    const std::vector<ProfileEntry>& entries() const { return entries_; }
    std::vector<std::filesystem::path> profilePaths() const;
    std::size_t profileCount() const { return entries_.size(); }
    std::optional<std::size_t> find(std::u16string_view name) const;

    // CurrentProfile: the file name of the current profile, as it is stored in the settings.
    const std::u16string& currentProfile() const { return currentProfile_; }

    // Refresh: lists the folder again. The regular "*.bin" files are taken in name order, the
    // first six listed, sorted by ProfileNameLess.
    void refresh();

    // The dialog's opening: makes the folder when it is missing, lists it, creates "Profile_1.bin"
    // in an empty folder (only when nothing is in its place: EnsureDefaultProfile), reads
    // CurrentProfile and returns the line to select.
    ProfileFolderOpened openFolder(SettingsStore& store);
    // The same without the default profile's outcome, for the dialog until it shows it.
    std::optional<std::size_t> open(SettingsStore& store);

    // New: a default profile under the first free numbered name.
    ProfileResult newProfile();
    // Copy: the selected profile's bytes (all zero when it cannot be read) under its copy name.
    ProfileResult copyProfile(std::optional<std::size_t> selected, std::uint16_t languageId);
    // The refusals of Delete, in their order, before the user is asked.
    ProfileStatus checkDelete(std::optional<std::size_t> selected) const;
    // Delete after the user agreed: removes the file, trying `retries` more times when it fails.
    ProfileResult deleteProfile(std::size_t line, int retries = 10);
    // Rename: the line's file gets the name `text` (".bin" appended when it does not end so).
    // A file of that name that is not listed is never replaced.
    ProfileResult renameProfile(std::size_t line, std::u16string_view text);

    // The close button: applies the selected profile to the model and stores it as
    // CurrentProfile. NoSelection without a line; Failed when the file cannot be read;
    // LaunchActionsNotAccepted when it brings launch actions that need a choice and `launch` is
    // Refuse. On those the model and CurrentProfile stay as they were. Keep and Drop are the
    // user's choice (see LaunchChoice).
    ProfileResult applySelected(std::optional<std::size_t> selected, Model& model,
                                SettingsStore& store, LaunchChoice launch = LaunchChoice::Refuse);
    // Save (export): the live model written to the selected profile, then to `exportPath` when
    // the user chose one. The model's launch actions are the user's own: they are remembered as
    // accepted, so applying the profile later asks nothing.
    ProfileResult saveProfile(std::optional<std::size_t> selected, const Model& model,
                              const std::optional<std::filesystem::path>& exportPath,
                              SettingsStore& store);
    // Load (import) of a file that ValidateProfileImport accepted: it fills the model, which is
    // then written to the selected profile. Launch actions are handled as by applySelected.
    // Without a file (chooser cancelled, file refused) nothing changes, so the selected profile
    // is not overwritten.
    ProfileResult loadProfile(std::optional<std::size_t> selected, Model& model,
                              const ProfileFile* imported, SettingsStore& store,
                              LaunchChoice launch = LaunchChoice::Refuse);

private:
    bool nameTaken(std::u16string_view name) const;
    std::filesystem::path fileOf(std::u16string_view name) const;
    bool validLine(std::optional<std::size_t> line) const {
        return line && *line < entries_.size();
    }

    std::filesystem::path folder_;
    std::vector<ProfileEntry> entries_;
    std::u16string currentProfile_;
};

}  // namespace tavrin
