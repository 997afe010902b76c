#include "SkinWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <atomic>
#include <future>
#include <memory>
#include <span>
#include <system_error>

#include "SkinArtist.h"
#include "SkinTable.h"
#include "model/LocalFiles.h"

namespace tavrin::skin {

namespace {

std::string EncodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return {};
    }
    return bytes.toStdString();
}

// Writes one file and its folders; returns why it could not, or nothing.
std::string WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    if (bytes.empty()) {
        return "could not encode " + path.string();
    }
    std::error_code error;
    // Safe beside another thread creating the same folders: an existing folder is no error.
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        return "could not create " + path.parent_path().string() + ": " + error.message();
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const WriteResult result = WriteFileAtomically(path, {ConstByteSpan(data, bytes.size())});
    return result ? std::string() : result.error;
}

// Drawing, encoding and the synced write take nearly all the time, most of it for the pictures at
// scale 2, and every file is independent: two threads take the files in turn, so that one draws
// while the other waits for the disk.
void Render(std::vector<SkinWriter::PendingFile>& files) {
    std::atomic<std::size_t> next{0};
    auto work = [&files, &next] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            files[i].error = WriteBytes(files[i].path, EncodePng(files[i].draw()));
        }
    };
    std::future<void> helper;
    try {
        helper = std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        // No second thread: this one draws them all.
    }
    work();
    if (helper.valid()) {
        helper.get();
    }
}

}  // namespace

SkinWriter::SkinWriter(std::filesystem::path programDirectory,
                       std::vector<SkinLanguage> translations)
    : root_(std::move(programDirectory)), translations_(std::move(translations)) {}

bool SkinWriter::writeAll() {
    std::vector<PendingFile> files;
    // The artists outlive the drawing; each language has its own.
    std::vector<std::unique_ptr<SkinArtist>> artists;
    addSkins(files, artists);
    addResources(files, artists);
    Render(files);
    for (const PendingFile& file : files) {
        count(file.error);
    }
    writeQrc();
    return errors_.empty();
}

void SkinWriter::count(const std::string& error) {
    if (error.empty()) {
        ++filesWritten_;
    } else {
        errors_.push_back(error);
    }
}

void SkinWriter::writeFile(const std::filesystem::path& path, const std::string& bytes) {
    count(WriteBytes(path, bytes));
}

void SkinWriter::addSkins(std::vector<PendingFile>& files,
                          std::vector<std::unique_ptr<SkinArtist>>& artists) const {
    std::vector<SkinLanguage> languages{{"english", nullptr}};
    languages.insert(languages.end(), translations_.begin(), translations_.end());
    for (const SkinLanguage& language : languages) {
        const SkinArtist* artist =
            artists.emplace_back(std::make_unique<SkinArtist>(language.translation)).get();
        for (const SkinImage& image : kSkinImages) {
            std::filesystem::path path = root_ / "png" / language.name;
            if (!SubFolderName(image.folder).empty()) {
                path /= std::string(SubFolderName(image.folder));
            }
            files.push_back({path / std::string(image.name),
                             [artist, &image] { return artist->draw(image); },
                             {}});
            files.push_back({path / HighDensityName(image.name),
                             [artist, &image] { return artist->draw(image, kHighDensityScale); },
                             {}});
        }
    }
}

void SkinWriter::addResources(std::vector<PendingFile>& files,
                              std::vector<std::unique_ptr<SkinArtist>>& artists) const {
    // The bitmaps carry no words, so one language serves.
    const SkinArtist* artist = artists.emplace_back(std::make_unique<SkinArtist>()).get();
    for (const ResourceImage& resource : kResourceImages) {
        files.push_back({root_ / kResourceFolder / std::string(resource.path),
                         [artist, &resource] { return artist->draw(resource); },
                         {}});
        if (HasHighDensityTwin(resource)) {
            files.push_back(
                {root_ / kResourceFolder / HighDensityName(resource.path),
                 [artist, &resource] { return artist->draw(resource, kHighDensityScale); },
                 {}});
        }
    }
}

void SkinWriter::writeQrc() {
    std::string qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const ResourceImage& resource : kResourceImages) {
        qrc += "    <file>" + std::string(resource.path) + "</file>\n";
        if (HasHighDensityTwin(resource)) {
            qrc += "    <file>" + HighDensityName(resource.path) + "</file>\n";
        }
    }
    qrc += "</qresource>\n</RCC>\n";
    writeFile(root_ / kResourceFolder / kQrcName, qrc);
}

}  // namespace tavrin::skin
