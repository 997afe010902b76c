#include "SkinWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
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

}  // namespace

SkinWriter::SkinWriter(std::filesystem::path programDirectory,
                       std::vector<SkinLanguage> translations)
    : root_(std::move(programDirectory)), translations_(std::move(translations)) {}

bool SkinWriter::writeAll() {
    writeSkins();
    writeResources();
    writeQrc();
    return errors_.empty();
}

void SkinWriter::writeFile(const std::filesystem::path& path, const std::string& bytes) {
    if (bytes.empty()) {
        errors_.push_back("could not encode " + path.string());
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        errors_.push_back("could not create " + path.parent_path().string() + ": " +
                          error.message());
        return;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const WriteResult result = WriteFileAtomically(path, {ConstByteSpan(data, bytes.size())});
    if (!result) {
        errors_.push_back(result.error);
        return;
    }
    ++filesWritten_;
}

void SkinWriter::writeSkins() {
    std::vector<SkinLanguage> languages{{"english", nullptr}};
    languages.insert(languages.end(), translations_.begin(), translations_.end());
    for (const SkinLanguage& language : languages) {
        const SkinArtist artist(language.translation);
        for (const SkinImage& image : kSkinImages) {
            std::filesystem::path path = root_ / "png" / language.name;
            if (!SubFolderName(image.folder).empty()) {
                path /= std::string(SubFolderName(image.folder));
            }
            writeFile(path / std::string(image.name), EncodePng(artist.draw(image)));
            writeFile(path / HighDensityName(image.name),
                      EncodePng(artist.draw(image, kHighDensityScale)));
        }
    }
}

void SkinWriter::writeResources() {
    // The bitmaps carry no words, so one language serves.
    const SkinArtist artist;
    for (const ResourceImage& resource : kResourceImages) {
        writeFile(root_ / kResourceFolder / std::string(resource.path),
                  EncodePng(artist.draw(resource)));
        if (HasHighDensityTwin(resource)) {
            writeFile(root_ / kResourceFolder / HighDensityName(resource.path),
                      EncodePng(artist.draw(resource, kHighDensityScale)));
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
