#include "model/ProfileFile.h"

#include <algorithm>

#include "model/LaunchActions.h"

namespace tavrin {

namespace {

template <typename Image>
void CopyHeld(const std::vector<std::uint8_t>& bytes, std::size_t held, std::size_t offset,
              Image& image) {
    if (held <= offset) {
        return;
    }
    const std::size_t n = std::min(held - offset, image.size());
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), n, image.begin());
}

template <typename Image>
void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, const Image& image) {
    std::copy(image.begin(), image.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

ProfileFile::ProfileFile() : bytes_(kSize, 0) {}

std::optional<ProfileFile> ProfileFile::Read(const std::filesystem::path& path) {
    ProfileFile file;
    // Nothing but a regular file is read: a folder, a FIFO or a device gives nullopt.
    const ReadResult read = ReadFileInto(path, file.bytes_);
    if (!read.opened()) {
        return std::nullopt;
    }
    file.held_ = read.bytesRead;
    return file;
}

ProfileFile ProfileFile::FromModel(const Model& model) {
    ProfileFile file;
    Put(file.bytes_, kSettingsOffset, model.settings.bytes);
    Put(file.bytes_, kAssignmentsOffset, model.assignments.bytes);
    Put(file.bytes_, kMacrosOffset, model.macros.bytes);
    file.held_ = kSize;
    return file;
}

ProfileFile ProfileFile::Default() {
    SettingsBlock settings;
    settings.setReportInterval(2);
    std::ranges::copy(DefaultKeyMap, settings.keyMap().begin());
    settings.setResponseTime(10);
    settings.setEffectCode(1);
    settings.setBrightnessLevel(1);
    // Every key enabled, as after a factory reset; an all-zero mask would disable the keyboard on
    // the next Save.
    std::ranges::fill(settings.keyEnableMask(), std::uint8_t{0xFF});
    const auto diy = settings.diyTable(0);
    diy[0] = 0x3F;
    diy[1] = 0x3F;
    diy[2] = 0x3F;
    diy[3] = 0x17;

    AssignmentTable assignments;
    for (std::size_t k = 0; k <= 21; ++k) {
        assignments.record(k).setOwnVk(DefaultVkTable[k]);
    }

    ProfileFile file;
    Put(file.bytes_, kSettingsOffset, settings.bytes);
    Put(file.bytes_, kAssignmentsOffset, assignments.bytes);
    file.held_ = kSize;
    return file;
}

void ProfileFile::fill(Model& model) const {
    CopyHeld(bytes_, held_, kSettingsOffset, model.settings.bytes);
    CopyHeld(bytes_, held_, kAssignmentsOffset, model.assignments.bytes);
    CopyHeld(bytes_, held_, kMacrosOffset, model.macros.bytes);
}

AssignmentTable ProfileFile::assignments() const {
    AssignmentTable table;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(kAssignmentsOffset),
                AssignmentTable::kSize, table.bytes.begin());
    return table;
}

AssignmentTable ProfileFile::assignmentsOver(const AssignmentTable& base) const {
    AssignmentTable table = base;
    CopyHeld(bytes_, held_, kAssignmentsOffset, table.bytes);
    return table;
}

WriteResult ProfileFile::write(const std::filesystem::path& path) const {
    return WriteFileAtomically(path, {ConstByteSpan(bytes_)});
}

WriteResult ProfileFile::create(const std::filesystem::path& path) const {
    return CreateFileAtomically(path, {ConstByteSpan(bytes_)});
}

bool ApplyProfile(const std::filesystem::path& path, Model& model) {
    const std::optional<ProfileFile> file = ProfileFile::Read(path);
    if (!file) {
        return false;
    }
    ApplyProfile(*file, model);
    return true;
}

void ApplyProfile(const ProfileFile& file, Model& model) {
    model.takeSavedCopies();
    file.fill(model);
}

WriteResult CreateDefaultProfile(const std::filesystem::path& path) {
    return ProfileFile::Default().write(path);
}

LoadResult EnsureDefaultProfile(const std::filesystem::path& path) {
    const FileCheck there = CheckFile(path);
    switch (there.state) {
        case FileState::Readable:
            return {};
        case FileState::Unreadable:
            return {LoadOutcome::Unreadable, "cannot read " + path.string() + ": " + there.reason};
        case FileState::Missing:
            break;
    }
    if (const WriteResult written = ProfileFile::Default().create(path); !written) {
        return {LoadOutcome::CreateFailed, written.error};
    }
    return {LoadOutcome::Created, {}};
}

WriteResult WriteProfileFromModel(const std::filesystem::path& path, const Model& model) {
    return ProfileFile::FromModel(model).write(path);
}

ProfileImportProblem ValidateProfileImport(const std::optional<ProfileFile>& file) {
    return file ? ValidateProfileImport(*file) : ProfileImportProblem::CannotOpen;
}

ProfileImportProblem ValidateProfileImport(const ProfileFile& file) {
    return file.heldBytes() < kMinimumImportSize ? ProfileImportProblem::TooShort
                                                 : ProfileImportProblem::None;
}

std::vector<LaunchAction> LaunchActionsOf(const ProfileFile& profile) {
    return LaunchActionsOf(profile.assignments());
}

void ImportProfile(const ProfileFile& file, Model& model) {
    file.fill(model);
}

}  // namespace tavrin
