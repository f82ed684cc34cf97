#include "programs/linux/xscreensaver_setup.h"

#include "programs/headless/output_file.h"
#include "programs/linux/xscreensaver_programs.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Replaces `path` with `text` in one step, as the PNG outputs are written: a
// crash leaves the old file or the new one, which keeps the old one's mode
// and owner.
bool replaceFile(const std::string& path, const std::string& text, std::string& error) {
    OutputFile file;
    if (!file.create(path, error)) {
        return false;
    }
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(file.descriptor(), text.data() + done, text.size() - done);
        if (n < 0 && errno != EINTR) {
            error = cannotWrite(path, std::strerror(errno));
            return false;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return file.finish(error) && file.commit(error);
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
    switch (xscreensaver::addProgram(preferences, existed, entry, defaults)) {
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
    case xscreensaver::Edit::NothingLeft:
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
    std::string defaults;
    std::string defaultsPath;
    readAppDefaults(defaults, defaultsPath);
    const xscreensaver::Edit edit = xscreensaver::removeProgram(preferences, defaults);
    if (edit == xscreensaver::Edit::Unchanged) {
        std::printf("haze is not in the programs of %s; nothing changed\n", path.c_str());
        return 0;
    }
    // A file that held nothing but what --install-xscreensaver made it from
    // goes, as if it had never been made.
    if (edit == xscreensaver::Edit::NothingLeft) {
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
