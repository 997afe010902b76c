#pragma once

// Where the program keeps its files and where it finds its skins.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

struct ProgramPaths {
    std::filesystem::path dataDir;                 // "keymap.bin", "MacroDefine.bin", "Configure"
    std::vector<std::filesystem::path> skinRoots;  // folders holding "png", searched in order
    // Folders holding what ships with the program ("VER.bin", "VER87.bin", the firmware
    // updater), searched in order: --data-dir when given, the executable's folder, the installed
    // data folder. Never the per-user data folder, which holds only what the program wrote.
    std::vector<std::filesystem::path> shippedDirs;
};

struct ProgramDirectoryInputs {
    std::optional<std::filesystem::path> dataDirOption;  // --data-dir
    std::filesystem::path executableDir;
    bool executableDirWritable = true;
    std::optional<std::filesystem::path> xdgDataHome;  // $XDG_DATA_HOME, when set and non-empty
    std::optional<std::filesystem::path> home;         // $HOME
    std::optional<std::filesystem::path> installedDataDir;  // share/tavrin-gaming-keyboard
};

// --data-dir when given, else the executable's folder. An installed program whose folder is not
// writable keeps its files in $XDG_DATA_HOME/tavrin-gaming-keyboard (default
// ~/.local/share/tavrin-gaming-keyboard). Skins are looked for in the data folder first, then in
// the executable's folder, then in the installed data folder; shipped files likewise, except that
// the data folder counts only when --data-dir names it.
ProgramPaths ResolveProgramPaths(const ProgramDirectoryInputs& inputs);

// The first of dirs / name that is a regular file (or a link to one).
[[nodiscard]] std::optional<std::filesystem::path> FindShippedFile(
    const std::vector<std::filesystem::path>& dirs, const std::string& name);

// The skin folder of a language: "png/chinese" for LanguageId 4, else "png/english".
std::filesystem::path SkinFolderName(std::uint16_t languageId);

// Looks up image files without regard to letter case. Each folder is listed once.
class SkinLookup {
public:
    explicit SkinLookup(std::vector<std::filesystem::path> roots) : roots_(std::move(roots)) {}

    // `relative` is a folder below a root ("png/english/Custom"); `name` an image name in any
    // case. The first root whose folder holds the name wins.
    std::optional<std::filesystem::path> find(const std::filesystem::path& relative,
                                              const std::string& name);

private:
    const std::map<std::string, std::filesystem::path>& listing(const std::filesystem::path& dir);

    std::vector<std::filesystem::path> roots_;
    std::map<std::filesystem::path, std::map<std::string, std::filesystem::path>> listings_;
};

std::string LowerAscii(std::string text);

}  // namespace tavrin
