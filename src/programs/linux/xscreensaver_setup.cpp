#include "programs/linux/xscreensaver_setup.h"

#include "programs/linux/xscreensaver_programs.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Where the daemons look for their programs, relative to the install prefix,
// and where haze itself goes (both set by the build from its install rules).
constexpr const char* programFolder = HAZE_DAEMON_PROGRAM_FOLDER;
constexpr const char* binaryFolder = HAZE_BINARY_FOLDER;

// The daemon's defaults, where Debian and Fedora keep them.
const char* const appDefaultsFiles[] = {
    "/etc/X11/app-defaults/XScreenSaver",
    "/usr/share/X11/app-defaults/XScreenSaver",
};

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Reads a whole file; false with errno set when it cannot.
bool readFile(const std::string& path, std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    text.clear();
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

// Replaces `path` with `text` in one step (a new file renamed over it), with
// the old file's permissions; a crash leaves the old file or the new one.
bool replaceFile(const std::string& path, const std::string& text, std::string& error) {
    struct stat old {};
    const bool existed = stat(path.c_str(), &old) == 0;
    const std::string temporary = path + ".haze-new";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + temporary + ": " + std::strerror(errno);
        return false;
    }
    bool written = !existed || fchmod(fd, old.st_mode & 07777) == 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        written = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    written = written && fsync(fd) == 0;
    const int writeErrno = errno;
    if (close(fd) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

// ~/.xscreensaver, followed through a symbolic link to the file it names.
std::string preferencesPath() {
    const char* home = std::getenv("HOME");
    std::string folder = home != nullptr && *home != '\0' ? home : "";
    if (folder.empty()) {
        const passwd* user = getpwuid(getuid());
        folder = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : ".";
    }
    const std::string path = folder + "/.xscreensaver";
    char resolved[PATH_MAX];
    struct stat link {};
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

// The daemon's defaults and the file they came from; false when none is found.
bool readAppDefaults(std::string& text, std::string& path) {
    for (const char* candidate : appDefaultsFiles) {
        if (readFile(candidate, text)) {
            path = candidate;
            return true;
        }
    }
    return false;
}

// The program the daemon should run: this haze's copy in its prefix's
// program folder when there is one, else this haze itself.
std::string daemonProgram() {
    char exe[PATH_MAX];
    if (realpath("/proc/self/exe", exe) == nullptr) {
        return "haze";
    }
    const std::string self = exe;
    const std::string inFolder = std::string("/") + programFolder + "/haze";
    if (endsWith(self, inFolder)) {
        return self;
    }
    const std::string folder = self.substr(0, self.rfind('/'));
    const std::string bin = std::string("/") + binaryFolder;
    if (endsWith(folder, bin)) {
        const std::string candidate = folder.substr(0, folder.size() - bin.size()) + inFolder;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return self;
}

} // namespace

int installIntoXScreenSaver() {
    const std::string path = preferencesPath();
    std::string preferences;
    const bool existed = readFile(path, preferences);
    if (!existed && errno != ENOENT) {
        std::fprintf(stderr, "haze: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    if (!existed) {
        preferences.clear();
    }
    std::string defaults;
    std::string defaultsPath;
    const bool haveDefaults = readAppDefaults(defaults, defaultsPath);

    const std::string entry = xscreensaver::programEntry(daemonProgram());
    switch (xscreensaver::addProgram(preferences, entry, defaults)) {
    case xscreensaver::Edit::Unchanged:
        std::printf("haze is in the programs of %s already; nothing changed\n", path.c_str());
        return 0;
    case xscreensaver::Edit::NoList:
        std::fprintf(stderr,
                     "haze: %s has no programs list and the daemon's defaults are %s; is "
                     "xscreensaver installed?\n",
                     path.c_str(), haveDefaults ? "without one" : "not there");
        return 1;
    case xscreensaver::Edit::Changed:
        break;
    }
    std::string error;
    if (!replaceFile(path, preferences, error)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        return 1;
    }
    std::printf("added haze to the programs of %s%s: %s --root\n", path.c_str(),
                existed ? "" : (", made from " + defaultsPath).c_str(), daemonProgram().c_str());
    return 0;
}

int uninstallFromXScreenSaver() {
    const std::string path = preferencesPath();
    std::string preferences;
    if (!readFile(path, preferences)) {
        if (errno == ENOENT) {
            std::printf("there is no %s, so haze is not in it; nothing changed\n", path.c_str());
            return 0;
        }
        std::fprintf(stderr, "haze: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    if (xscreensaver::removeProgram(preferences) == xscreensaver::Edit::Unchanged) {
        std::printf("haze is not in the programs of %s; nothing changed\n", path.c_str());
        return 0;
    }
    // A file that holds nothing but what --install-xscreensaver made it from
    // goes, as if it had never been made.
    std::string defaults;
    std::string defaultsPath;
    if (readAppDefaults(defaults, defaultsPath) &&
        preferences == xscreensaver::preferencesFromDefaults(defaults)) {
        if (unlink(path.c_str()) != 0) {
            std::fprintf(stderr, "haze: cannot remove %s: %s\n", path.c_str(),
                         std::strerror(errno));
            return 1;
        }
        std::printf("took haze out of the programs and removed %s, which haze had made\n",
                    path.c_str());
        return 0;
    }
    std::string error;
    if (!replaceFile(path, preferences, error)) {
        std::fprintf(stderr, "haze: %s\n", error.c_str());
        return 1;
    }
    std::printf("took haze out of the programs of %s\n", path.c_str());
    return 0;
}
