#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tavrin::skin {

// Writes the whole skin below a program directory: png/english/..., png/chinese/... and the
// resources with their .qrc. Collects one message per file that could not be written.
class SkinWriter {
public:
    explicit SkinWriter(std::filesystem::path programDirectory);

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
    std::vector<std::string> errors_;
    int filesWritten_ = 0;
};

}  // namespace tavrin::skin
