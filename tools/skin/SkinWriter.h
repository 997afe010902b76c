#pragma once

#include <QImage>
#include <QTranslator>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::skin {

class SkinArtist;

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

    // A picture file: where it goes, how it is drawn, and once written, why it could not be
    // (empty when it was).
    struct PendingFile {
        std::filesystem::path path;
        std::function<QImage()> draw;
        std::string error;
    };

private:
    void addSkins(std::vector<PendingFile>& files,
                  std::vector<std::unique_ptr<SkinArtist>>& artists) const;
    void addResources(std::vector<PendingFile>& files,
                      std::vector<std::unique_ptr<SkinArtist>>& artists) const;
    void writeQrc();
    void writeFile(const std::filesystem::path& path, const std::string& bytes);
    // Counts a written file, or keeps the message of one that was not.
    void count(const std::string& error);

    std::filesystem::path root_;
    std::vector<SkinLanguage> translations_;
    std::vector<std::string> errors_;
    int filesWritten_ = 0;
};

}  // namespace tavrin::skin
