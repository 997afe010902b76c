#pragma once

#include <QTranslator>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::skin {

// A language other than English: its name (the skin folder png/<name>) and its translation.
struct SkinLanguage {
    std::string name;
    const QTranslator* translation;
};

// Writes the whole skin below a program directory: png/english/..., png/<name>/... for each
// translation, and the resources with their .qrc. Collects one message per file that could not
// be written.
class SkinWriter {
public:
    SkinWriter(std::filesystem::path programDirectory, std::vector<SkinLanguage> translations);

    // Returns true when every file was written.
    bool writeAll();
    const std::vector<std::string>& errors() const { return errors_; }
    int filesWritten() const { return filesWritten_; }

    static constexpr const char* kResourceFolder = "resources";
    static constexpr const char* kQrcName = "tavrin_skin.qrc";

private:
    void writeSkins();
    void writeResources();
    void writeQrc();
    void writeFile(const std::filesystem::path& path, const std::string& bytes);

    std::filesystem::path root_;
    std::vector<SkinLanguage> translations_;
    std::vector<std::string> errors_;
    int filesWritten_ = 0;
};

}  // namespace tavrin::skin
