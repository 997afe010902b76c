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
// the executable's folder, then in the installed data folder.
ProgramPaths ResolveProgramPaths(const ProgramDirectoryInputs& inputs);

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
