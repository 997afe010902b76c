#include "model/ProfileFolder.h"

#include <algorithm>
#include <system_error>

#include "model/Utf16Text.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

constexpr std::u16string_view kExtension = kProfileExtension;

std::u16string Decimal(unsigned n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

char16_t FoldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    // symlink_status: a dangling link is a name that is taken as well.
    return fs::exists(fs::symlink_status(path, ec));
}

std::string Describe(const char* what, const fs::path& path, const std::error_code& ec) {
    std::string text = std::string(what) + " " + path.string();
    if (ec) {
        text += ": " + ec.message();
    }
    return text;
}

}  // namespace

bool IsSafeProfileName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxProfileNameChars) {
        return false;
    }
    if (name.find(u"..") != std::u16string_view::npos) {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char16_t c) {
        return c == u'/' || c == u'\\' || c < 0x20 || c == 0x7F;
    });
}

std::u16string ProfileNameOf(std::u16string_view fileName) {
    std::u16string name(fileName);
    for (std::size_t at = name.find(kExtension); at != std::u16string::npos;
         at = name.find(kExtension, at)) {
        name.erase(at, kExtension.size());
    }
    return name;
}

std::u16string RenamedFileName(std::u16string_view text) {
    std::u16string fileName(text);
    if (!fileName.ends_with(kExtension)) {
        fileName += kExtension;
    }
    return fileName;
}

std::u16string NumberedProfileName(unsigned n) {
    if (n < 10) {
        return u"Profile_" + Decimal(n);
    }
    if (n < 99) {
        return u"Profile0" + Decimal(n);
    }
    return u"Profile" + Decimal(n);
}

std::u16string CopyProfileName(std::u16string_view name, std::uint16_t languageId, unsigned k) {
    const std::u16string_view prefix = languageId == kLanguageChinese ? u"复制 " : u"Copy of ";
    std::u16string candidate = std::u16string(prefix) + u" " + std::u16string(name);
    if (k > 0) {
        candidate += u" " + Decimal(k);
    }
    return candidate;
}

bool ProfileNameLess(std::u16string_view a, std::u16string_view b) {
    const bool folded = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](char16_t x, char16_t y) { return FoldAscii(x) < FoldAscii(y); });
    if (folded) {
        return true;
    }
    const bool foldedReverse = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(),
        [](char16_t x, char16_t y) { return FoldAscii(x) < FoldAscii(y); });
    return !foldedReverse && a < b;
}

std::optional<std::size_t> SelectCurrentProfile(const std::vector<fs::path>& paths,
                                                std::u16string_view currentProfile) {
    std::optional<std::size_t> selected;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (Utf16FromPath(paths[i]).find(currentProfile) != std::u16string::npos) {
            selected = i;
        }
    }
    return selected;
}

std::u16string ReadCurrentProfile(SettingsStore& store, std::u16string current) {
    if (!store.keyExists(kProfileKey)) {
        return current;
    }
    const auto value = store.readString(kProfileKey, kCurrentProfileValue);
    // A value longer than the 100 units read does not fit, and counts as a failed query.
    if (!value || value->size() > kCurrentProfileMaxChars) {
        const std::u16string first = kFirstProfileFileName;
        store.writeString(kProfileKey, kCurrentProfileValue, first);
        return first;
    }
    return *value;
}

bool WriteCurrentProfile(SettingsStore& store, const std::u16string& currentProfile) {
    return store.writeString(kProfileKey, kCurrentProfileValue, currentProfile);
}

ProfileFolder::ProfileFolder(const fs::path& programDir)
    : folder_(programDir / kProfileFolderName) {}

std::vector<fs::path> ProfileFolder::profilePaths() const {
    std::vector<fs::path> paths;
    paths.reserve(entries_.size());
    for (const ProfileEntry& e : entries_) {
        paths.push_back(e.path);
    }
    return paths;
}

std::optional<std::size_t> ProfileFolder::find(std::u16string_view name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

void ProfileFolder::refresh() {
    entries_.clear();
    std::vector<std::pair<std::u16string, fs::path>> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        // Only regular files: reading a FIFO or a device named "x.bin" would hang or worse.
        if (!it->is_regular_file(typeError)) {
            continue;
        }
        std::u16string fileName = Utf16FromPath(it->path().filename());
        if (fileName.ends_with(kExtension)) {
            files.emplace_back(std::move(fileName), it->path());
        }
    }
    // The folder's own order differs between file systems; name order picks the same six files
    // everywhere.
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return ProfileNameLess(a.first, b.first); });
    for (std::size_t i = 0; i < files.size() && i < kMaxProfiles; ++i) {
        entries_.push_back({ProfileNameOf(files[i].first), files[i].second});
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const auto& a, const auto& b) { return ProfileNameLess(a.name, b.name); });
}

ProfileFolderOpened ProfileFolder::openFolder(SettingsStore& store) {
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) {
        // Only the folder itself: a missing program directory stays missing.
        fs::create_directory(folder_, ec);
    }
    ProfileFolderOpened opened;
    refresh();
    if (entries_.empty()) {
        opened.defaultProfile =
            EnsureDefaultProfile(folder_ / PathFromUtf16(kFirstProfileFileName));
        refresh();
    }
    currentProfile_ = ReadCurrentProfile(store, currentProfile_);
    opened.selected = SelectCurrentProfile(profilePaths(), currentProfile_);
    return opened;
}

std::optional<std::size_t> ProfileFolder::open(SettingsStore& store) {
    // Deliberately dropped: the dialog does not show it yet; openFolder gives it to those that do.
    return openFolder(store).selected;
}

bool ProfileFolder::nameTaken(std::u16string_view name) const {
    return find(name).has_value() || Exists(fileOf(name));
}

fs::path ProfileFolder::fileOf(std::u16string_view name) const {
    return folder_ / PathFromUtf16(std::u16string(name) + std::u16string(kExtension));
}

ProfileResult ProfileFolder::newProfile() {
    if (entries_.size() >= kMaxProfiles) {
        return {ProfileStatus::TooMany, {}, {}};
    }
    const std::u16string name =
        NewProfileName([this](const std::u16string& n) { return nameTaken(n); });
    // Created, never replaced: a file that appeared since the name was chosen stays.
    const WriteResult written = ProfileFile::Default().create(fileOf(name));
    refresh();
    if (!written) {
        return {ProfileStatus::Failed, name, written.error};
    }
    return {ProfileStatus::Done, name, {}};
}

ProfileResult ProfileFolder::copyProfile(std::optional<std::size_t> selected,
                                         std::uint16_t languageId) {
    if (!validLine(selected)) {
        return {ProfileStatus::NoSelection, {}, {}};
    }
    if (entries_.size() >= kMaxProfiles) {
        return {ProfileStatus::TooMany, {}, {}};
    }
    const ProfileEntry source = entries_[*selected];
    const ProfileFile bytes = ProfileFile::Read(source.path).value_or(ProfileFile());
    std::u16string name;
    for (unsigned k = 0;; ++k) {
        name = CopyProfileName(source.name, languageId, k);
        if (!nameTaken(name)) {
            break;
        }
    }
    if (!IsSafeProfileName(name)) {
        return {ProfileStatus::RefusedName, name, {}};
    }
    const WriteResult written = bytes.create(fileOf(name));
    refresh();
    if (!written) {
        return {ProfileStatus::Failed, name, written.error};
    }
    return {ProfileStatus::Done, name, {}};
}

ProfileStatus ProfileFolder::checkDelete(std::optional<std::size_t> selected) const {
    if (entries_.size() == 1) {
        return ProfileStatus::LastProfile;
    }
    if (!validLine(selected)) {
        return ProfileStatus::NoSelection;
    }
    return ProfileStatus::Done;
}

ProfileResult ProfileFolder::deleteProfile(std::size_t line, int retries) {
    if (const ProfileStatus refused = checkDelete(line); refused != ProfileStatus::Done) {
        return {refused, {}, {}};
    }
    const ProfileEntry victim = entries_[line];
    bool removed = false;
    std::error_code ec;
    for (int attempt = 0; attempt <= retries && !removed; ++attempt) {
        ec.clear();
        removed = fs::remove(victim.path, ec) && !ec;
    }
    refresh();
    if (!removed) {
        return {ProfileStatus::Failed, victim.name, Describe("cannot delete", victim.path, ec)};
    }
    return {ProfileStatus::Done, victim.name, {}};
}

ProfileResult ProfileFolder::renameProfile(std::size_t line, std::u16string_view text) {
    if (!validLine(line)) {
        return {ProfileStatus::NoSelection, {}, {}};
    }
    const std::u16string fileName = RenamedFileName(text);
    const std::u16string name = ProfileNameOf(fileName);
    if (!IsSafeProfileName(text) || name.empty()) {
        refresh();
        return {ProfileStatus::RefusedName, std::u16string(text), {}};
    }
    const fs::path target = folder_ / PathFromUtf16(fileName);
    for (const ProfileEntry& e : entries_) {
        if (e.path == target) {
            refresh();
            return {ProfileStatus::SameFile, name, {}};
        }
    }
    if (Exists(target)) {
        refresh();
        return {ProfileStatus::Failed, name, Describe("a file exists already:", target, {})};
    }
    // One rename instead of a copy and a delete: there is never a half copy or two files.
    std::error_code ec;
    fs::rename(entries_[line].path, target, ec);
    refresh();
    if (ec) {
        return {ProfileStatus::Failed, name, Describe("cannot rename to", target, ec)};
    }
    return {ProfileStatus::Done, name, {}};
}

ProfileResult ProfileFolder::applySelected(std::optional<std::size_t> selected, Model& model,
                                           SettingsStore& store, LaunchChoice launch) {
    if (!validLine(selected)) {
        return {ProfileStatus::NoSelection, {}, {}};
    }
    const ProfileEntry& entry = entries_[*selected];
    const std::optional<ProfileFile> file = ProfileFile::Read(entry.path);
    if (!file) {
        return {ProfileStatus::Failed, entry.name, Describe("cannot read", entry.path, {})};
    }
    // A profile put into the folder by hand is taken in like an import.
    const LaunchActionsReview review =
        ReviewLaunchActions(file->assignmentsOver(model.assignments), model.assignments, store);
    if (review.needsChoice() && launch == LaunchChoice::Refuse) {
        return {ProfileStatus::LaunchActionsNotAccepted, entry.name, {}, review.brought};
    }
    ApplyProfile(*file, model);
    ProfileResult result{ProfileStatus::Done, entry.name, {}};
    if (!SettleLaunchActions(review, launch, model, store)) {
        result.error = "cannot remember the accepted launch actions";
    }
    currentProfile_ = Utf16FromPath(entry.path.filename());
    if (!WriteCurrentProfile(store, currentProfile_)) {
        result.error = "cannot store the current profile";
    }
    return result;
}

ProfileResult ProfileFolder::saveProfile(std::optional<std::size_t> selected, const Model& model,
                                         const std::optional<fs::path>& exportPath,
                                         SettingsStore& store) {
    if (!validLine(selected)) {
        return {ProfileStatus::NoSelection, {}, {}};
    }
    const ProfileFile file = ProfileFile::FromModel(model);
    const ProfileEntry& entry = entries_[*selected];
    if (const WriteResult w = file.write(entry.path); !w) {
        return {ProfileStatus::Failed, entry.name, w.error};
    }
    ProfileResult result{ProfileStatus::Done, entry.name, {}};
    if (!AcceptLaunchActions(store, LaunchActionsHash(LaunchActionsOf(model.assignments)))) {
        result.error = "cannot remember the accepted launch actions";
    }
    if (exportPath) {
        if (const WriteResult w = file.write(*exportPath); !w) {
            return {ProfileStatus::Failed, entry.name, w.error};
        }
    }
    return result;
}

ProfileResult ProfileFolder::loadProfile(std::optional<std::size_t> selected, Model& model,
                                         const ProfileFile* imported, SettingsStore& store,
                                         LaunchChoice launch) {
    if (!validLine(selected)) {
        return {ProfileStatus::NoSelection, {}, {}};
    }
    const ProfileEntry& entry = entries_[*selected];
    if (imported == nullptr) {
        return {ProfileStatus::Done, entry.name, {}};
    }
    if (ValidateProfileImport(*imported) != ProfileImportProblem::None) {
        return {ProfileStatus::Failed, entry.name, "not a profile file"};
    }
    const LaunchActionsReview review =
        ReviewLaunchActions(imported->assignmentsOver(model.assignments), model.assignments, store);
    if (review.needsChoice() && launch == LaunchChoice::Refuse) {
        return {ProfileStatus::LaunchActionsNotAccepted, entry.name, {}, review.brought};
    }
    ImportProfile(*imported, model);
    ProfileResult result{ProfileStatus::Done, entry.name, {}};
    if (!SettleLaunchActions(review, launch, model, store)) {
        result.error = "cannot remember the accepted launch actions";
    }
    if (const WriteResult w = WriteProfileFromModel(entry.path, model); !w) {
        return {ProfileStatus::Failed, entry.name, w.error};
    }
    return result;
}

}  // namespace tavrin
