#include "model/LocalFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "model/ProgramDirectory.h"

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

// A regular file opened for reading, or why there is none.
struct OpenedFile {
    FileState state = FileState::Missing;
    std::string reason;
    int fd = -1;
    std::size_t size = 0;

    OpenedFile() = default;
    OpenedFile(FileState s, std::string r) : state(s), reason(std::move(r)) {}
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    OpenedFile(OpenedFile&& other) noexcept
        : state(other.state), reason(std::move(other.reason)), fd(other.fd), size(other.size) {
        other.fd = -1;
    }
    ~OpenedFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

std::string NotRegularReason(mode_t mode) {
    if (S_ISDIR(mode)) {
        return std::strerror(EISDIR);
    }
    return "not a regular file";
}

OpenedFile OpenRegular(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        const int err = errno;
        return {err == ENOENT ? FileState::Missing : FileState::Unreadable, std::strerror(err)};
    }
    // Something is there; follow a link to what it names.
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        return {FileState::Unreadable, err == ENOENT ? "a link to nothing" : std::strerror(err)};
    }
    // Checked before opening: opening a FIFO waits for a writer, opening a device may act.
    if (!S_ISREG(st.st_mode)) {
        return {FileState::Unreadable, NotRegularReason(st.st_mode)};
    }
    OpenedFile file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0) {
        return {FileState::Unreadable, std::strerror(errno)};
    }
    // The entry may have been swapped since the stat.
    if (::fstat(file.fd, &st) != 0) {
        return {FileState::Unreadable, std::strerror(errno)};
    }
    if (!S_ISREG(st.st_mode)) {
        return {FileState::Unreadable, NotRegularReason(st.st_mode)};
    }
    file.state = FileState::Readable;
    file.size = static_cast<std::size_t>(st.st_size);
    return file;
}

// Reads until `target` is full or the file ends. Fewer bytes than the file's size promised (up to
// the target's size) is a fault: the file changed or the device failed.
std::optional<std::string> ReadSome(const OpenedFile& file, ByteSpan target, std::size_t& got) {
    got = 0;
    while (got < target.size()) {
        const ssize_t n = ::read(file.fd, target.data() + got, target.size() - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::string(std::strerror(errno));
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    const std::size_t expected = std::min(file.size, target.size());
    if (got < expected) {
        return "read " + std::to_string(got) + " of " + std::to_string(file.size) + " bytes";
    }
    return std::nullopt;
}

std::string Unreadable(const fs::path& path, const std::string& reason) {
    return "cannot read " + path.string() + ": " + reason;
}

std::string Refused(const fs::path& path, const std::string& reason) {
    return path.string() + " exists but could not be read (" + reason + "); it was left as it is";
}

// The parts in a new temporary file beside `path`, with the usual mode, flushed to disk.
struct TempFile {
    fs::path path;
    int err = 0;
};

TempFile WriteTemp(const fs::path& path, std::initializer_list<ConstByteSpan> parts) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return {{}, errno};
    }
    TempFile temp{fs::path(name.data()), 0};
    for (ConstByteSpan part : parts) {
        if (!WriteAll(fd, part)) {
            temp.err = errno;
            break;
        }
    }
    // mkstemp creates 0600; the file replaces one that the user owns anyway, so use the usual mode.
    if (temp.err == 0 && ::fchmod(fd, 0644) != 0) {
        temp.err = errno;
    }
    if (temp.err == 0 && ::fsync(fd) != 0) {
        temp.err = errno;
    }
    if (::close(fd) != 0 && temp.err == 0) {
        temp.err = errno;
    }
    if (temp.err != 0) {
        ::unlink(temp.path.c_str());
    }
    return temp;
}

// Hard links are the one way to create a name atomically without replacing; file systems
// without them answer one of these.
bool NoHardLinks(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOTSUP || err == ENOSYS || err == EMLINK;
}

}  // namespace

FileCheck CheckFile(const fs::path& path) {
    const OpenedFile file = OpenRegular(path);
    if (file.state != FileState::Readable) {
        return {file.state, file.reason};
    }
    std::array<std::uint8_t, 65536> scratch{};
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::read(file.fd, scratch.data(), scratch.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {FileState::Unreadable, std::strerror(errno)};
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    if (total < file.size) {
        return {FileState::Unreadable,
                "read " + std::to_string(total) + " of " + std::to_string(file.size) + " bytes"};
    }
    return {FileState::Readable, {}};
}

WriteResult WriteFileAtomically(const fs::path& path, std::initializer_list<ConstByteSpan> parts) {
    if (const FileCheck there = CheckFile(path); there.state == FileState::Unreadable) {
        return {false, Refused(path, there.reason)};
    }
    const TempFile temp = WriteTemp(path, parts);
    if (temp.path.empty()) {
        return {false, Describe(path, "cannot create a temporary file for", temp.err)};
    }
    if (temp.err != 0) {
        return {false, Describe(path, "cannot write", temp.err)};
    }
    if (::rename(temp.path.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.path.c_str());
        return {false, Describe(path, "cannot write", err)};
    }
    return {};
}

WriteResult CreateFileAtomically(const fs::path& path, std::initializer_list<ConstByteSpan> parts) {
    const TempFile temp = WriteTemp(path, parts);
    if (temp.path.empty()) {
        return {false, Describe(path, "cannot create a temporary file for", temp.err)};
    }
    if (temp.err != 0) {
        return {false, Describe(path, "cannot write", temp.err)};
    }
    int err = 0;
    if (::link(temp.path.c_str(), path.c_str()) != 0) {
        err = errno;
        if (NoHardLinks(err)) {
            // Without hard links only a check just before the rename is left.
            std::error_code ec;
            if (fs::exists(fs::symlink_status(path, ec))) {
                err = EEXIST;
            } else {
                err = ::rename(temp.path.c_str(), path.c_str()) == 0 ? 0 : errno;
            }
        }
    }
    ::unlink(temp.path.c_str());
    if (err == EEXIST) {
        return {false, path.string() + " exists already; it was left as it is"};
    }
    if (err != 0) {
        return {false, Describe(path, "cannot create", err)};
    }
    return {};
}

ReadResult ReadFileInto(const fs::path& path, ByteSpan target) {
    const OpenedFile file = OpenRegular(path);
    if (file.state != FileState::Readable) {
        return {file.state, 0, Unreadable(path, file.reason)};
    }
    std::size_t got = 0;
    if (const auto fault = ReadSome(file, target, got)) {
        return {FileState::Unreadable, got, Unreadable(path, *fault)};
    }
    return {FileState::Readable, got, {}};
}

LoadResult LoadMacroFile(const fs::path& programDir, MacroTable& macros) {
    const fs::path path = programDir / kMacroFileName;
    // Read beside the table, so that an unreadable file leaves it as it was; a short file fills
    // what it holds over a cleared table.
    MacroTable read;
    const ReadResult r = ReadFileInto(path, read.bytes);
    switch (r.state) {
        case FileState::Readable:
            macros = read;
            return {};
        case FileState::Unreadable:
            return {LoadOutcome::Unreadable, r.error};
        case FileState::Missing:
            break;
    }
    macros.bytes.fill(0);
    if (auto written = CreateFileAtomically(path, {ConstByteSpan(macros.bytes)}); !written) {
        return {LoadOutcome::CreateFailed, written.error};
    }
    return {LoadOutcome::Created, {}};
}

WriteResult WriteMacroFile(const fs::path& programDir, const MacroTable& macros) {
    return WriteFileAtomically(programDir / kMacroFileName, {ConstByteSpan(macros.bytes)});
}

LoadResult LoadKeymapFile(const fs::path& programDir, Model& model, bool assignmentsOnly) {
    const fs::path path = programDir / kKeymapFileName;
    // Read the whole file first so that a short file fills exactly what it holds, in file order,
    // and an unreadable one changes nothing.
    std::vector<std::uint8_t> file(kKeymapFileSize);
    const ReadResult read = ReadFileInto(path, file);
    if (read.state == FileState::Unreadable) {
        return {LoadOutcome::Unreadable, read.error};
    }
    if (read.state == FileState::Missing) {
        model.assignments.clear();
        const WriteResult written = CreateFileAtomically(
            path, {ConstByteSpan(model.settings.bytes), ConstByteSpan(model.assignments.bytes)});
        // Every key knows its own code from the first run on: "Default" gives a key that code
        // back, and a key without it would send nothing until the next start.
        model.refreshOwnVk();
        if (!written) {
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

const char* VersionFileName(std::uint8_t layoutVariant) {
    return layoutVariant == 1 ? kVersionFileName104 : kVersionFileName87;
}

fs::path VersionFilePath(const fs::path& programDir, std::uint8_t layoutVariant) {
    return programDir / VersionFileName(layoutVariant);
}

namespace {

FirmwareVersion ReadVersionAt(const fs::path& path) {
    std::array<std::uint8_t, 12> head{};
    const ReadResult read = ReadFileInto(path, head);
    // A file too short to hold both digits offers nothing, like a missing one.
    if (!read.opened() || read.bytesRead < 8) {
        return {};
    }
    return {static_cast<std::uint8_t>(head[5] - 0x30), static_cast<std::uint8_t>(head[7] - 0x30)};
}

}  // namespace

FirmwareVersion ReadVersionFile(const fs::path& programDir, std::uint8_t layoutVariant) {
    return ReadVersionAt(VersionFilePath(programDir, layoutVariant));
}

FirmwareVersion ReadVersionFile(const std::vector<fs::path>& dirs, std::uint8_t layoutVariant) {
    const std::optional<fs::path> found = FindShippedFile(dirs, VersionFileName(layoutVariant));
    return found ? ReadVersionAt(*found) : FirmwareVersion{};
}

}  // namespace tavrin
