#include "model/LaunchActions.h"

#include "model/AssignmentKind.h"
#include "model/Utf16Text.h"

namespace tavrin {

std::vector<LaunchAction> LaunchActionsOf(const AssignmentTable& assignments) {
    std::vector<LaunchAction> actions;
    for (std::size_t i = 0; i < AssignmentTable::kRecordCount; ++i) {
        const ConstAssignmentRecord r = assignments.record(i);
        if (IsLaunchKind(r.kind())) {
            actions.push_back({i, r.kind(), r.ownVk(), r.launchPath()});
        }
    }
    return actions;
}

std::optional<std::size_t> FindLaunchRecord(const AssignmentTable& assignments,
                                            std::uint8_t eventCode) {
    for (std::size_t i = 0; i < AssignmentTable::kRecordCount; ++i) {
        const ConstAssignmentRecord r = assignments.record(i);
        if (IsLaunchKind(r.kind()) && r.ownVk() == eventCode) {
            return i;
        }
    }
    return std::nullopt;
}

LaunchTarget SplitLaunchPath(std::u16string_view path) {
    const std::size_t cut = path.find_last_of(u"/\\");
    if (cut == std::u16string_view::npos) {
        return {PathFromUtf16(path), {}};
    }
    std::u16string_view directory = path.substr(0, cut);
    if (directory.empty() || directory.back() == u':') {
        directory = path.substr(0, cut + 1);
    }
    return {PathFromUtf16(directory), PathFromUtf16(path.substr(cut + 1))};
}

bool RunLaunchAction(const AssignmentTable& assignments, std::uint32_t eventCode, Shell& shell) {
    const auto index = FindLaunchRecord(assignments, static_cast<std::uint8_t>(eventCode & 0xFF));
    if (!index) {
        return false;
    }
    const std::u16string path = assignments.record(*index).launchPath();
    if (path.empty()) {
        return false;
    }
    const LaunchTarget target = SplitLaunchPath(path);
    shell.open(target.directory, target.file);
    return true;
}

}  // namespace tavrin
