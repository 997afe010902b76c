#include "model/LaunchActionsReview.h"

#include <algorithm>
#include <string_view>

#include "model/AssignmentKind.h"
#include "model/KeyAssignment.h"
#include "model/KeyTables.h"
#include "model/Sha256.h"

namespace tavrin {

namespace {

constexpr std::string_view kHashDomain = "tavrin-launch-actions-1";

std::vector<std::string> AcceptedHashes(SettingsStore& settings) {
    std::vector<std::string> hashes;
    const auto stored = settings.readString(kLaunchActionsKey, kAcceptedLaunchActionsValue);
    if (!stored) {
        return hashes;
    }
    std::string word;
    // Hexadecimal digits and spaces only; anything else is not a hash of ours.
    for (const char16_t c : *stored + u" ") {
        if (c == u' ') {
            if (!word.empty()) {
                hashes.push_back(word);
            }
            word.clear();
        } else if (c < 0x80) {
            word.push_back(static_cast<char>(c));
        }
    }
    return hashes;
}

}  // namespace

std::string LaunchActionsHash(const std::vector<LaunchAction>& actions) {
    if (actions.empty()) {
        return {};
    }
    std::vector<std::uint8_t> bytes(kHashDomain.begin(), kHashDomain.end());
    bytes.push_back(0);
    for (const LaunchAction& a : actions) {
        bytes.push_back(static_cast<std::uint8_t>(a.position));
        bytes.push_back(a.kind);
        bytes.push_back(a.ownVk);
        const auto length = static_cast<std::uint16_t>(a.path.size());
        bytes.push_back(static_cast<std::uint8_t>(length & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(length >> 8));
        for (const char16_t unit : a.path) {
            bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
    }
    return Sha256Hex(bytes);
}

LaunchActionsReview ReviewLaunchActions(const AssignmentTable& incoming,
                                        const AssignmentTable& current, SettingsStore& settings) {
    LaunchActionsReview review;
    const std::vector<LaunchAction> all = LaunchActionsOf(incoming);
    if (all.empty()) {
        return review;
    }
    review.hash = LaunchActionsHash(all);
    review.accepted = IsAcceptedLaunchActions(settings, review.hash);
    const std::vector<LaunchAction> have = LaunchActionsOf(current);
    std::vector<LaunchAction> brought;
    std::ranges::copy_if(all, std::back_inserter(brought), [&](const LaunchAction& a) {
        return std::ranges::find(have, a) == have.end();
    });
    review.brought = CheckLaunchActions(brought);
    return review;
}

bool IsAcceptedLaunchActions(SettingsStore& settings, const std::string& hash) {
    if (hash.empty()) {
        return false;
    }
    return std::ranges::count(AcceptedHashes(settings), hash) > 0;
}

bool AcceptLaunchActions(SettingsStore& settings, const std::string& hash) {
    if (hash.empty()) {
        return true;
    }
    std::vector<std::string> hashes = AcceptedHashes(settings);
    if (std::ranges::count(hashes, hash) > 0) {
        return true;
    }
    hashes.push_back(hash);
    if (hashes.size() > kMaxAcceptedLaunchActions) {
        hashes.erase(hashes.begin(),
                     hashes.end() - static_cast<std::ptrdiff_t>(kMaxAcceptedLaunchActions));
    }
    std::u16string text;
    for (const std::string& h : hashes) {
        if (!text.empty()) {
            text += u' ';
        }
        text.append(h.begin(), h.end());
    }
    return settings.writeString(kLaunchActionsKey, kAcceptedLaunchActionsValue, text);
}

void DropLaunchActions(Model& model) {
    for (std::size_t p = 0; p < AssignmentTable::kRecordCount; ++p) {
        const AssignmentRecord record = model.assignments.record(p);
        if (!IsLaunchKind(record.kind())) {
            continue;
        }
        // The file's ownVk may name another key: the key's own code comes from the table.
        if (p < kPositionCount) {
            record.setOwnVk(DefaultVkTable[p]);
        }
        RestoreKeyDefault(model, p);
    }
}

bool SettleLaunchActions(const LaunchActionsReview& review, LaunchChoice choice, Model& model,
                         SettingsStore& settings) {
    if (choice == LaunchChoice::Drop) {
        DropLaunchActions(model);
        return true;
    }
    if (choice == LaunchChoice::Refuse && review.needsChoice()) {
        return false;  // the caller should have stopped: nothing is remembered for it
    }
    return AcceptLaunchActions(settings, review.hash);
}

}  // namespace tavrin
