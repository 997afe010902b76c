#include "model/LaunchActions.h"

#include <system_error>

#include "model/AssignmentKind.h"
#include "model/KeyTables.h"
#include "model/ScriptNames.h"
#include "model/Utf16Text.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

struct PathCheck {
    bool absolute = false;
    bool exists = false;
};

// The path the shell would be given, as it would be given it.
PathCheck CheckPath(std::u16string_view path) {
    if (path.empty()) {
        return {};
    }
    const fs::path target = SplitLaunchPath(path).joined();
    std::error_code ec;
    return {target.is_absolute(), target.is_absolute() && fs::exists(target, ec)};
}

}  // namespace

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

fs::path LaunchTarget::joined() const {
    if (file.empty()) {
        return directory;
    }
    return file.is_absolute() || directory.empty() ? file : directory / file;
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

std::u16string LaunchKeyName(const LaunchAction& action) {
    if (action.position < kMatrixPositionCount) {
        std::u16string name = KeyPositionName(static_cast<std::uint8_t>(action.position));
        if (!name.empty()) {
            return name;
        }
    }
    std::u16string name = KeyCodeName(action.ownVk);
    if (name.empty()) {
        const std::string code = std::to_string(action.ownVk);
        name = u"#" + std::u16string(code.begin(), code.end());
    }
    return name;
}

std::vector<CheckedLaunchAction> CheckLaunchActions(const std::vector<LaunchAction>& actions) {
    std::vector<CheckedLaunchAction> checked;
    checked.reserve(actions.size());
    for (const LaunchAction& action : actions) {
        const PathCheck path = CheckPath(action.path);
        checked.push_back({action, LaunchKeyName(action), path.absolute, path.exists});
    }
    return checked;
}

LaunchResult RunLaunchAction(const AssignmentTable& assignments, std::uint32_t eventCode,
                             Shell& shell) {
    const auto index = FindLaunchRecord(assignments, static_cast<std::uint8_t>(eventCode & 0xFF));
    if (!index) {
        return {};
    }
    const ConstAssignmentRecord record = assignments.record(*index);
    const LaunchAction action{*index, record.kind(), record.ownVk(), record.launchPath()};
    LaunchResult result{LaunchOutcome::Started, *index, LaunchKeyName(action), action.path};
    // A relative path would be looked up from wherever the program happens to run, and a path
    // that is gone may be taken by something else later: neither is handed to the shell.
    const PathCheck check = CheckPath(action.path);
    if (!check.absolute) {
        result.outcome = LaunchOutcome::NotAbsolute;
        return result;
    }
    if (!check.exists) {
        result.outcome = LaunchOutcome::Missing;
        return result;
    }
    const LaunchTarget target = SplitLaunchPath(action.path);
    if (!shell.open(target.directory, target.file)) {
        result.outcome = LaunchOutcome::Failed;
    }
    return result;
}

}  // namespace tavrin
