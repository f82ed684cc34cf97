#include "programs/headless/output_file.h"

#include "programs/headless/interrupt_cleanup.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

namespace fs = std::filesystem;

// Bytes of the target's name kept in its temporary's name, well inside the
// 255 a name may have.
constexpr std::size_t maximumNameInTemporary = 200;

std::string systemReason(int errorNumber) {
    return std::strerror(errorNumber);
}

// `path` without trailing separators ("out/" is the folder "out").
fs::path withoutTrailingSlash(const std::string& path) {
    fs::path result(path);
    while (!result.has_filename() && result.has_relative_path()) {
        result = result.parent_path();
    }
    return result;
}

fs::path folderOf(const fs::path& path) {
    const fs::path folder = path.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// What is at `path` and whether it may be replaced: absent, or a regular file
// the user may write. `existing` tells which; false with the reason.
bool checkTarget(const std::string& path, bool& existing, struct stat& info, std::string& error) {
    existing = false;
    if (lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return true;
        }
        error = cannotWrite(path, systemReason(errno));
        return false;
    }
    if (S_ISREG(info.st_mode)) {
        if (access(path.c_str(), W_OK) != 0) {
            error = cannotWrite(path, systemReason(errno));
            return false;
        }
        existing = true;
        return true;
    }
    const char* kind = S_ISDIR(info.st_mode)    ? nullptr
                       : S_ISLNK(info.st_mode)  ? "a symbolic link"
                       : S_ISFIFO(info.st_mode) ? "a named pipe"
                       : S_ISSOCK(info.st_mode) ? "a socket"
                                                : "a device";
    error = cannotWrite(path, kind == nullptr ? systemReason(EISDIR)
                                              : std::string(kind) + ", not a regular file");
    return false;
}

// A folder that exists, is a folder and may be written into; false with the
// reason, as a failure to write `path`.
bool checkWritableFolder(const fs::path& folder, const std::string& path, std::string& error) {
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0) {
        error = cannotWrite(path, systemReason(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = cannotWrite(path, systemReason(ENOTDIR));
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = cannotWrite(path, systemReason(errno));
        return false;
    }
    return true;
}

// The folder and the target of `path`, as checkOutputPath describes.
bool checkPath(const std::string& path, bool& existing, struct stat& info, std::string& error) {
    const fs::path target(path);
    if (!target.has_filename()) {
        error = cannotWrite(path, systemReason(EISDIR));
        return false;
    }
    return checkWritableFolder(folderOf(target), path, error) &&
           checkTarget(path, existing, info, error);
}

// Whether open() refused O_TMPFILE because the file system (or an older
// kernel) cannot make unnamed files, rather than for a reason a named file
// would meet too.
bool unnamedRefused(int errorNumber) {
    return errorNumber == EOPNOTSUPP || errorNumber == EISDIR || errorNumber == EINVAL;
}

// The hidden name of a temporary beside `target`: ".NAME.XXXXXX", the
// target's name cut to a length that leaves room for six random letters.
std::string hiddenName(const std::string& target) {
    const fs::path path(target);
    const std::string shortName = path.filename().string().substr(0, maximumNameInTemporary);
    return (folderOf(path) / ("." + shortName + ".XXXXXX")).string();
}

// `name` with its trailing XXXXXX replaced by random letters and digits.
void randomiseName(std::string& name) {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[6] = {};
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy yet: the clock, mixed with the process, is unique enough
        // for a name that is only ever created exclusively.
        const auto now = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        for (std::size_t i = 0; i < sizeof bytes; ++i) {
            bytes[i] = static_cast<unsigned char>((now >> (7 * i)) ^ (getpid() >> i));
        }
    }
    for (std::size_t i = 0; i < sizeof bytes; ++i) {
        name[name.size() - sizeof bytes + i] = letters[bytes[i] % (sizeof letters - 1)];
    }
}

// The mode a file created by a plain write gets.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return "cannot write " + path + ": " + reason;
}

bool checkOutputPath(const std::string& path, std::string& error) {
    bool existing = false;
    struct stat info {};
    return checkPath(path, existing, info, error);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : path_(std::move(other.path_)), temporary_(std::move(other.temporary_)), fd_(other.fd_),
      unnamed_(other.unnamed_), writing_(std::move(other.writing_)), replacing_(other.replacing_),
      mode_(other.mode_), owner_(other.owner_), group_(other.group_) {
    other.temporary_.clear();
    other.fd_ = -1;
    other.unnamed_ = false;
}

bool OutputFile::create(const std::string& path, std::string& error) {
    discard();
    path_ = path;
    struct stat info {};
    if (!checkPath(path, replacing_, info, error)) {
        return false;
    }
    // The permission bits; set-id bits are dropped, as any write but root's
    // drops them.
    mode_ = replacing_ ? info.st_mode & 0777 : newFileMode();
    owner_ = info.st_uid;
    group_ = info.st_gid;

    // An unnamed file in the target's folder (so it can be linked there),
    // where /proc can give it a name later.
    if (access("/proc/self/fd", X_OK) == 0) {
        fd_ = open(folderOf(fs::path(path)).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            unnamed_ = true;
            writing_ = std::make_unique<WriteInProgress>();
            return true;
        }
        if (!unnamedRefused(errno)) {
            error = cannotWrite(path, systemReason(errno));
            return false;
        }
    }
    return createNamed(error);
}

bool OutputFile::createNamed(std::string& error) {
    // A hidden name beside the target: same folder, so the final rename
    // cannot cross file systems.
    std::string name = hiddenName(path_);

    // Created and listed for removal with interrupts held, so no signal can
    // fall between the two.
    InterruptsHeld held;
    fd_ = mkostemp(name.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0) {
        error = cannotWrite(path_, systemReason(errno));
        return false;
    }
    temporary_ = name;
    if (!removeOnInterrupt(temporary_)) {
        discard();
        error = cannotWrite(path_, "too many files at once");
        return false;
    }
    return true;
}

bool OutputFile::finish(std::string& error) {
    if (replacing_) {
        // Where permitted: only root may give a file away.
        [[maybe_unused]] const int owned = fchown(fd_, owner_, group_);
    }
    // The mode after the owner: a change of owner may clear mode bits.
    if (fchmod(fd_, mode_) != 0 || fsync(fd_) != 0) {
        error = cannotWrite(path_, systemReason(errno));
        discard();
        return false;
    }
    if (unnamed_) {
        return true; // closed once named: closed now, it would be gone
    }
    const int closed = close(fd_);
    fd_ = -1;
    if (closed != 0) {
        error = cannotWrite(path_, systemReason(errno));
        discard();
        return false;
    }
    return true;
}

bool OutputFile::commit(std::string& error) {
    bool existing = false;
    struct stat info {};
    if (!checkTarget(path_, existing, info, error)) {
        discard();
        return false;
    }
    if (unnamed_) {
        return commitUnnamed(existing, error);
    }
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        error = cannotWrite(path_, systemReason(errno));
        discard();
        return false;
    }
    keepOnInterrupt(temporary_);
    temporary_.clear();
    return true;
}

bool OutputFile::commitUnnamed(bool existing, std::string& error) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    const auto link = [&](const std::string& name) {
        return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    // Interrupts wait: a file with two names must not be cut off between them.
    InterruptsHeld held;
    // A new file takes its name in one step. Where the target exists (or
    // appeared meanwhile) the file is named beside it, then renamed over it.
    bool placed = !existing && link(path_);
    if (!placed && (existing || errno == EEXIST)) {
        std::string hidden = hiddenName(path_);
        bool named = false;
        for (int tries = 0; tries < 100 && !named; ++tries) {
            randomiseName(hidden);
            named = link(hidden);
            if (!named && errno != EEXIST) {
                break;
            }
        }
        placed = named && std::rename(hidden.c_str(), path_.c_str()) == 0;
        if (named && !placed) {
            const int renameErrno = errno;
            unlink(hidden.c_str());
            errno = renameErrno;
        }
    }
    if (!placed) {
        error = cannotWrite(path_, systemReason(errno));
        discard();
        return false;
    }
    discard(); // closes the file, which keeps its name
    return true;
}

void OutputFile::discard() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    unnamed_ = false;
    writing_.reset();
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        keepOnInterrupt(temporary_);
        temporary_.clear();
    }
}

bool commitAll(std::vector<OutputFile>& files, std::string& error) {
    InterruptsHeld held;
    for (OutputFile& file : files) {
        bool existing = false;
        struct stat info {};
        if (!checkTarget(file.path(), existing, info, error)) {
            return false;
        }
    }
    for (OutputFile& file : files) {
        if (!file.commit(error)) {
            return false;
        }
    }
    return true;
}

OutputFolder::~OutputFolder() {
    // Innermost first; a folder something else was put in stays.
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
        rmdir(made->c_str());
        keepOnInterrupt(*made);
    }
}

bool OutputFolder::check(const std::string& folder, std::string& error) {
    fs::path existing = withoutTrailingSlash(folder);
    struct stat info {};
    while (stat(existing.c_str(), &info) != 0) {
        if (errno != ENOENT || !existing.has_relative_path()) {
            error = cannotWrite(folder, systemReason(errno));
            return false;
        }
        existing = folderOf(existing);
    }
    return checkWritableFolder(existing, folder, error);
}

bool OutputFolder::create(const std::string& folder, std::string& error) {
    // The missing levels, innermost first.
    std::vector<fs::path> missing;
    struct stat info {};
    for (fs::path level = withoutTrailingSlash(folder);
         stat(level.c_str(), &info) != 0 && errno == ENOENT && level.has_relative_path();
         level = folderOf(level)) {
        missing.push_back(level);
    }
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        InterruptsHeld held;
        if (mkdir(level->c_str(), 0777) != 0) {
            if (errno == EEXIST) {
                continue; // made meanwhile by someone else: not ours to remove
            }
            error = cannotWrite(folder, systemReason(errno));
            return false;
        }
        made_.push_back(level->string());
        removeOnInterrupt(made_.back());
    }
    return true;
}

void OutputFolder::keep() {
    for (const std::string& made : made_) {
        keepOnInterrupt(made);
    }
    made_.clear();
}
