#include "model/ProgramDirectory.h"

#include <algorithm>
#include <system_error>

#include "model/Model.h"

namespace tavrin {

namespace fs = std::filesystem;

ProgramPaths ResolveProgramPaths(const ProgramDirectoryInputs& in) {
    ProgramPaths paths;
    if (in.dataDirOption) {
        paths.dataDir = *in.dataDirOption;
    } else if (in.executableDirWritable || (!in.xdgDataHome && !in.home)) {
        paths.dataDir = in.executableDir;
    } else {
        const fs::path base = in.xdgDataHome ? *in.xdgDataHome : *in.home / ".local" / "share";
        paths.dataDir = base / "tavrin-gaming-keyboard";
    }
    const auto add = [](std::vector<fs::path>& list, const fs::path& dir) {
        if (!dir.empty() && std::find(list.begin(), list.end(), dir) == list.end()) {
            list.push_back(dir);
        }
    };
    add(paths.skinRoots, paths.dataDir);
    add(paths.skinRoots, in.executableDir);
    if (in.installedDataDir) {
        add(paths.skinRoots, *in.installedDataDir);
    }
    if (in.dataDirOption) {
        add(paths.shippedDirs, *in.dataDirOption);
    }
    add(paths.shippedDirs, in.executableDir);
    if (in.installedDataDir) {
        add(paths.shippedDirs, *in.installedDataDir);
    }
    return paths;
}

std::optional<fs::path> FindShippedFile(const std::vector<fs::path>& dirs,
                                        const std::string& name) {
    for (const fs::path& dir : dirs) {
        const fs::path candidate = dir / name;
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) {
            return candidate;
        }
    }
    return std::nullopt;
}

fs::path SkinFolderName(std::uint16_t languageId) {
    return fs::path("png") / (languageId == kLanguageChinese ? "chinese" : "english");
}

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

const std::map<std::string, fs::path>& SkinLookup::listing(const fs::path& dir) {
    auto it = listings_.find(dir);
    if (it != listings_.end()) {
        return it->second;
    }
    std::map<std::string, fs::path> names;
    std::error_code ec;
    for (fs::directory_iterator entry(dir, ec), end; !ec && entry != end; entry.increment(ec)) {
        // The first spelling listed wins when a folder holds two names that differ only in case.
        names.emplace(LowerAscii(entry->path().filename().string()), entry->path());
    }
    return listings_.emplace(dir, std::move(names)).first->second;
}

std::optional<fs::path> SkinLookup::find(const fs::path& relative, const std::string& name) {
    const std::string key = LowerAscii(name);
    for (const fs::path& root : roots_) {
        const auto& names = listing(root / relative);
        if (auto it = names.find(key); it != names.end()) {
            return it->second;
        }
    }
    return std::nullopt;
}

}  // namespace tavrin
