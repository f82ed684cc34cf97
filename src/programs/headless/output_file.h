// Writing files safely: checked before any work is done, written whole or not
// at all, and never put in place of anything but a regular file the user may
// write.
//
// "May write" is what a plain write of the file would be allowed: the
// permission bits as the system applies them, so root may replace a
// read-only file (and the file keeps its mode), as `echo > file` would.
#pragma once

#include "programs/headless/interrupt_cleanup.h"

#include <memory>
#include <string>
#include <vector>

// "cannot write PATH: REASON", the one line every failure is reported as.
std::string cannotWrite(const std::string& path, const std::string& reason);

// Checks, before any work, that `path` may be written: its folder exists and
// may be written, and `path` is absent or a regular file the user may write.
// False with a one-line message in `error`.
bool checkOutputPath(const std::string& path, std::string& error);

// A file written through a temporary file beside it, given the permission
// bits and, where permitted, the owner of the file it replaces, made durable
// and only then put in place of the target.
//
// Where the file system allows, the temporary is an unnamed file in the
// target's folder (O_TMPFILE): it has a name only once whole, so a process
// killed in any way before leaves nothing. Elsewhere it is created
// exclusively under a fresh hidden name (never through a link) and renamed
// over the target; until then a failure, the object's end or an interrupting
// signal removes it, but a SIGKILL leaves it.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) = delete;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { discard(); }

    // Checks `path` again and creates the temporary; write to `descriptor()`.
    bool create(const std::string& path, std::string& error);
    int descriptor() const { return fd_; }
    const std::string& path() const { return path_; }

    // Sets the temporary's mode and owner and flushes it to the disk.
    bool finish(std::string& error);
    // Puts the finished temporary in place of the target, checked once more.
    bool commit(std::string& error);
    // Closes and removes the temporary, if there is one.
    void discard();

private:
    bool createNamed(std::string& error);
    bool commitUnnamed(bool existing, std::string& error);

    std::string path_;
    std::string temporary_; // the hidden name, while there is one
    int fd_ = -1;
    bool unnamed_ = false; // fd_ is an O_TMPFILE file, its temporary_ empty
    std::unique_ptr<WriteInProgress> writing_;
    bool replacing_ = false; // a file exists at path_; keep its mode and owner
    unsigned mode_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
};

// Puts a whole set of finished files in place. The targets are checked again
// first and interrupting signals are held meanwhile, so the set is replaced
// entirely or, on a failed check, not at all.
bool commitAll(std::vector<OutputFile>& files, std::string& error);

// A folder files are written into, made with its missing parents when absent.
// The folders it made are removed again (when empty) unless kept.
class OutputFolder {
public:
    OutputFolder() = default;
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    ~OutputFolder();

    // Checks, before any work, that `folder` is a folder the user may write
    // into, or is absent and its nearest existing parent is one.
    static bool check(const std::string& folder, std::string& error);

    bool create(const std::string& folder, std::string& error);
    void keep();

private:
    std::vector<std::string> made_; // outermost first
};
