#include "model/LocalFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::string Describe(const fs::path& path, const char* what, int err) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(err);
}

bool WriteAll(int fd, ConstByteSpan data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

WriteResult WriteFileAtomically(const fs::path& path, std::initializer_list<ConstByteSpan> parts) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return {false, Describe(path, "cannot create a temporary file for", errno)};
    }
    const fs::path temp(name.data());
    bool ok = true;
    int err = 0;
    for (ConstByteSpan part : parts) {
        if (!WriteAll(fd, part)) {
            ok = false;
            err = errno;
            break;
        }
    }
    // mkstemp creates 0600; the file replaces one that the user owns anyway, so use the usual mode.
    if (ok && ::fchmod(fd, 0644) != 0) {
        ok = false;
        err = errno;
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return {false, Describe(path, "cannot write", err)};
    }
    return {};
}

ReadResult ReadFileInto(const fs::path& path, ByteSpan target) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    in.read(reinterpret_cast<char*>(target.data()), static_cast<std::streamsize>(target.size()));
    return {true, static_cast<std::size_t>(in.gcount())};
}

LoadResult LoadMacroFile(const fs::path& programDir, MacroTable& macros) {
    macros.bytes.fill(0);
    const fs::path path = programDir / kMacroFileName;
    if (ReadFileInto(path, macros.bytes).opened) {
        return {};
    }
    if (auto written = WriteMacroFile(programDir, macros); !written) {
        return {LoadOutcome::CreateFailed, written.error};
    }
    return {LoadOutcome::Created, {}};
}

WriteResult WriteMacroFile(const fs::path& programDir, const MacroTable& macros) {
    return WriteFileAtomically(programDir / kMacroFileName, {ConstByteSpan(macros.bytes)});
}

LoadResult LoadKeymapFile(const fs::path& programDir, Model& model, bool assignmentsOnly) {
    const fs::path path = programDir / kKeymapFileName;
    // Read the whole file first so that a short file fills exactly what it holds, in file order.
    std::vector<std::uint8_t> file(kKeymapFileSize);
    const ReadResult read = ReadFileInto(path, file);
    if (!read.opened) {
        model.assignments.clear();
        if (auto written = WriteKeymapFromModel(programDir, model); !written) {
            return {LoadOutcome::CreateFailed, written.error};
        }
        return {LoadOutcome::Created, {}};
    }
    const std::size_t settingsBytes = std::min(read.bytesRead, SettingsBlock::kSize);
    const std::size_t assignmentBytes = read.bytesRead - settingsBytes;
    if (!assignmentsOnly) {
        std::copy_n(file.begin(), settingsBytes, model.settings.bytes.begin());
    }
    std::copy_n(file.begin() + SettingsBlock::kSize, assignmentBytes,
                model.assignments.bytes.begin());
    model.refreshOwnVk();
    return {};
}

WriteResult WriteKeymapFile(const fs::path& programDir, const SettingsBlock& settings,
                            const AssignmentTable& assignments) {
    return WriteFileAtomically(programDir / kKeymapFileName,
                               {ConstByteSpan(settings.bytes), ConstByteSpan(assignments.bytes)});
}

fs::path VersionFilePath(const fs::path& programDir, std::uint8_t layoutVariant) {
    return programDir / (layoutVariant == 1 ? kVersionFileName104 : kVersionFileName87);
}

FirmwareVersion ReadVersionFile(const fs::path& programDir, std::uint8_t layoutVariant) {
    std::array<std::uint8_t, 12> head{};
    const ReadResult read = ReadFileInto(VersionFilePath(programDir, layoutVariant), head);
    // A file too short to hold both digits offers nothing, like a missing one.
    if (!read.opened || read.bytesRead < 8) {
        return {};
    }
    return {static_cast<std::uint8_t>(head[5] - 0x30), static_cast<std::uint8_t>(head[7] - 0x30)};
}

}  // namespace tavrin
