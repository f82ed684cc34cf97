// `haze --render`, run as a user runs it: the picture's size and rows, its
// reproducibility, and how it writes (or refuses to write) its file; the
// rules of writing a file are checked on the code that writes it, in this
// process. Passes as root and as an ordinary user; where they differ, each is
// checked.
#include "programs/headless/output_file.h"
#include "programs/headless/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Picture {
    bool read = false; // an 8-bit RGB file, read whole
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // rows top first

    std::tuple<int, int, int> at(int x, int y) const {
        const std::uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

Picture readPicture(const fs::path& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return picture;
    }
    // As stored: 8-bit colour without alpha, nothing converted on reading.
    const bool rgb = image.format == PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    picture.read = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) && rgb;
    return picture;
}

// The names in `folder`, hidden ones too, sorted.
std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool root() {
    return geteuid() == 0;
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class RenderCommand : public ::testing::Test {
protected:
    fs::path folder;
    std::string out; // what the last run wrote on stdout
    std::string err; // ...and on stderr

    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("haze-render-" + std::to_string(getpid()) + "-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }

    void TearDown() override {
        if (!HasFailure()) {
            fs::remove_all(folder);
        } else {
            std::cout << "pictures kept in " << folder << "\n";
        }
    }

    // Runs haze with `arguments` (already quoted for the shell) after the
    // shell commands `before`, its stdout going to `stdoutPath` (else
    // captured) or into the shell command `pipe`; haze's exit code.
    int haze(const std::string& arguments, const std::string& before = "",
             const std::string& stdoutPath = "", const std::string& pipe = "") {
        const std::string captured = (folder / "stdout").string();
        const std::string stdoutTo = !stdoutPath.empty() ? stdoutPath
                                     : pipe.empty()      ? captured
                                                         : "";
        const std::string command = before + "{ '" + HAZE_BINARY + "' " + arguments +
                                    (stdoutTo.empty() ? "" : " >'" + stdoutTo + "'") + " 2>'" +
                                    (folder / "stderr").string() + "'; echo $? >'" +
                                    (folder / "code").string() + "'; } " + pipe;
        std::remove(captured.c_str());
        std::system(command.c_str());
        out = fileText(folder / "stdout");
        err = fileText(folder / "stderr");
        const std::string code = fileText(folder / "code");
        return code.empty() ? -1 : std::atoi(code.c_str());
    }

    // Starts haze with `arguments`, SIGINT and SIGTERM at their defaults
    // whatever this process inherited; its pid.
    static pid_t spawnHaze(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), HAZE_BINARY);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = -1;
        if (posix_spawn(&pid, HAZE_BINARY, nullptr, &attributes, argv.data(), environ) != 0) {
            pid = -1;
        }
        posix_spawnattr_destroy(&attributes);
        return pid;
    }

    // Renders a 4096x4096 picture into `target` (about half a second to
    // encode) and sends `signal` as soon as a file in its folder is created
    // or opened, the temporary or the unnamed one; the run's wait status.
    static int signalledWhileWriting(const std::string& target, int signal) {
        const int watch = inotify_init1(IN_CLOEXEC);
        EXPECT_GE(watch, 0);
        EXPECT_GE(
            inotify_add_watch(watch, fs::path(target).parent_path().c_str(), IN_CREATE | IN_OPEN),
            0);
        const pid_t pid = spawnHaze({"--render", target, "--size", "4096x4096", "--frames", "1"});
        if (pid <= 0) {
            ADD_FAILURE() << "haze did not start";
            close(watch);
            return -1;
        }
        pollfd ready{watch, POLLIN, 0};
        EXPECT_EQ(poll(&ready, 1, 120000), 1) << "no file was written";
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        close(watch);
        return status;
    }

    std::string png(const std::string& name) const { return (folder / name).string(); }
};

int distinctColours(const Picture& picture) {
    std::set<std::tuple<int, int, int>> colours;
    for (int y = 0; y < picture.height; y += 3) {
        for (int x = 0; x < picture.width; x += 3) {
            colours.insert(picture.at(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

TEST_F(RenderCommand, WritesAnRgbPictureOfTheRequestedSize) {
    // The default size, and an odd one whose rows are not a multiple of four
    // bytes long, as a careless read-back would assume.
    ASSERT_EQ(haze("--render '" + png("default.png") + "' --frames 20"), 0) << err;
    ASSERT_EQ(haze("--render '" + png("odd.png") + "' --size 97x61 --frames 20"), 0) << err;
    EXPECT_NE(out.find("odd.png"), std::string::npos) << "says what it wrote: " << out;

    const Picture standard = readPicture(folder / "default.png");
    ASSERT_TRUE(standard.read) << "not an 8-bit RGB PNG";
    EXPECT_EQ(standard.width, 1280);
    EXPECT_EQ(standard.height, 720);
    EXPECT_GT(distinctColours(standard), 20) << "a blank or nearly blank picture";

    const Picture odd = readPicture(folder / "odd.png");
    ASSERT_TRUE(odd.read);
    EXPECT_EQ(odd.width, 97);
    EXPECT_EQ(odd.height, 61);
    EXPECT_GT(distinctColours(odd), 20);
}

TEST_F(RenderCommand, ThePictureIsTheScenesLetterboxedView) {
    // Three frames in, the bars are near their tallest (a quarter of the
    // height each) and stars and smoke fill the band between them. (Which way
    // up rows are stored is checked where the surface is read.)
    ASSERT_EQ(haze("--render '" + png("scene.png") + "' --size 160x120 --frames 3 --seed 5"), 0)
        << err;
    const Picture picture = readPicture(folder / "scene.png");
    ASSERT_TRUE(picture.read);
    for (int x = 0; x < 160; x += 7) {
        EXPECT_EQ(picture.at(x, 2), std::make_tuple(0, 0, 0)) << "top bar at " << x;
        EXPECT_EQ(picture.at(x, 117), std::make_tuple(0, 0, 0)) << "bottom bar at " << x;
    }
    int lit = 0;
    for (int x = 0; x < 160; ++x) {
        const auto [r, g, b] = picture.at(x, 60);
        lit += std::max({r, g, b}) > 40 ? 1 : 0;
    }
    EXPECT_GT(lit, 16) << "the band's middle row holds the scene";
}

TEST_F(RenderCommand, ThePictureIsAFunctionOfSeedSizeFramesAndStep) {
    const std::string common = " --size 200x150 ";
    ASSERT_EQ(haze("--render '" + png("a.png") + "'" + common + "--frames 40 --seed 11"), 0);
    ASSERT_EQ(haze("--render '" + png("b.png") + "'" + common + "--frames 40 --seed 11"), 0);
    ASSERT_EQ(haze("--render '" + png("seed.png") + "'" + common + "--frames 40 --seed 12"), 0);
    ASSERT_EQ(haze("--render '" + png("frames.png") + "'" + common + "--frames 41 --seed 11"), 0);
    ASSERT_EQ(
        haze("--render '" + png("step.png") + "'" + common + "--frames 40 --seed 11 --step-ms 30"),
        0);
    EXPECT_NE(out.find("seed 11"), std::string::npos) << out;

    const std::string a = fileText(folder / "a.png");
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, fileText(folder / "b.png")) << "the same arguments, other bytes";
    EXPECT_NE(a, fileText(folder / "seed.png")) << "the seed changes nothing";
    EXPECT_NE(a, fileText(folder / "frames.png")) << "the frame count changes nothing";
    EXPECT_NE(a, fileText(folder / "step.png")) << "the step changes nothing";
}

TEST_F(RenderCommand, FramesDrawnOnACanvasGiveTheSurfacesOwnPicture) {
    // An odd size, whose rows a careless copy would shear. The surface keeps
    // each frame, so a canvas is used only when forced, and says so; its
    // picture is the surface's but for rounding at a few edge pixels, where
    // the rasteriser walks rows the other way up.
    const std::string common = " --size 333x201 --seed 9 --frames 45";
    ASSERT_EQ(haze("--render '" + png("surface.png") + "'" + common), 0) << err;
    EXPECT_EQ(err, "");
    ASSERT_EQ(haze("--render '" + png("canvas.png") + "'" + common, "export HAZE_CANVAS=on;"), 0)
        << err;
    EXPECT_EQ(err, "haze: HAZE_CANVAS=on: frames are drawn on a canvas\n");
    ASSERT_EQ(haze("--render '" + png("off.png") + "'" + common, "export HAZE_CANVAS=off;"), 0)
        << err;
    EXPECT_EQ(fileText(folder / "off.png"), fileText(folder / "surface.png"));

    const Picture surface = readPicture(folder / "surface.png");
    const Picture canvas = readPicture(folder / "canvas.png");
    ASSERT_TRUE(surface.read && canvas.read);
    ASSERT_EQ(canvas.rgb.size(), surface.rgb.size());
    int differing = 0;
    int largest = 0;
    for (std::size_t i = 0; i < surface.rgb.size(); ++i) {
        const int difference = std::abs(surface.rgb[i] - canvas.rgb[i]);
        differing += difference != 0 ? 1 : 0;
        largest = std::max(largest, difference);
    }
    EXPECT_LE(largest, 2) << "levels apart at worst";
    EXPECT_LE(differing, static_cast<int>(surface.rgb.size() / 1000)) << "values apart";
}

// The scene's yellow glow, under whatever thin smoke lies over it.
bool yellow(const std::tuple<int, int, int>& c) {
    const auto [r, g, b] = c;
    return r > 100 && g > 100 && b < r - 60 && b < g - 60;
}

TEST_F(RenderCommand, EachMonitorShowsItsOwnLetterboxedViewWithTheGlowInItsMiddle) {
    // A 640 by 360 monitor and a 320 by 240 one beside it, 60 pixels down.
    ASSERT_EQ(haze("--render '" + png("two.png") +
                   "' --size 960x360 --frames 60 --seed 5 --monitors 640x360+0+0,320x240+640+60"),
              0)
        << err;
    const Picture picture = readPicture(folder / "two.png");
    ASSERT_TRUE(picture.read);
    struct Monitor {
        int x, y, width, height;
    };
    for (const Monitor m : {Monitor{0, 0, 640, 360}, Monitor{640, 60, 320, 240}}) {
        const int middleX = m.x + m.width / 2;
        const int middleY = m.y + m.height / 2;
        EXPECT_TRUE(yellow(picture.at(middleX, middleY)) ||
                    yellow(picture.at(middleX - 1, middleY)))
            << "no glow in the middle of the monitor at " << m.x << "," << m.y;
        int lit = 0;
        for (int x = m.x; x < m.x + m.width; x += 4) {
            // Its own bars, two rows in from its top and bottom edges.
            EXPECT_EQ(picture.at(x, m.y + 2), std::make_tuple(0, 0, 0)) << x;
            EXPECT_EQ(picture.at(x, m.y + m.height - 3), std::make_tuple(0, 0, 0)) << x;
            const auto [r, g, b] = picture.at(x, middleY + 20);
            lit += std::max({r, g, b}) > 40 ? 1 : 0;
        }
        EXPECT_GT(lit, m.width / 40) << "the band of the monitor at " << m.x << "," << m.y;
    }
    // What no monitor shows is black.
    EXPECT_EQ(picture.at(900, 30), std::make_tuple(0, 0, 0));
    EXPECT_EQ(picture.at(700, 330), std::make_tuple(0, 0, 0));
    // And one glow each: none where one view over the whole picture has it.
    EXPECT_FALSE(yellow(picture.at(480, 180)));
}

TEST_F(RenderCommand, OneMonitorCoveringThePictureChangesNoByte) {
    ASSERT_EQ(haze("--render '" + png("plain.png") + "' --size 320x180 --frames 30 --seed 8"), 0);
    ASSERT_EQ(haze("--render '" + png("one.png") +
                   "' --size 320x180 --frames 30 --seed 8 --monitors 320x180+0+0"),
              0)
        << err;
    const std::string plain = fileText(folder / "plain.png");
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(plain, fileText(folder / "one.png"));
}

// Writing the file: haze writes only what it was asked to, whole or not at
// all, and says why not in one line naming the file and the system's reason.

// A picture of noise, which no encoder squeezes much: at 300 by 300 its file
// takes far more than the 1024 bytes a file-size limit of one block allows.
bool writeNoise(const fs::path& path, int size, std::string& error) {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(size) * size * 3);
    std::generate(texels.begin(), texels.end(), std::minstd_rand());
    return writePng(path.string(), size, size, PngLayout::Rgb, texels.data(), error);
}

TEST_F(RenderCommand, PathsThatMayNotBeWrittenAreRefusedBeforeAnythingIsDrawn) {
    const fs::path out = folder / "out";
    fs::create_directories(out / "taken.png");
    { std::ofstream(out / "keep.txt") << "data"; }
    fs::create_symlink("keep.txt", out / "link.png");
    fs::create_symlink("/dev/null", out / "null.png");
    ASSERT_EQ(mkfifo((out / "fifo.png").c_str(), 0644), 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {(out / "no-such-folder" / "x.png").string(), "No such file or directory"},
        {(out / "keep.txt" / "x.png").string(), "Not a directory"},
        {(out / "taken.png").string(), "Is a directory"},
        {(out / "link.png").string(), "a symbolic link, not a regular file"},
        {(out / "null.png").string(), "a symbolic link, not a regular file"},
        {(out / "fifo.png").string(), "a named pipe, not a regular file"},
        // Root may write in /dev, so there the device itself is refused.
        {"/dev/null", root() ? "a device, not a regular file" : "Permission denied"},
    };
    if (root()) {
        ASSERT_EQ(mknod((out / "zero.png").c_str(), S_IFCHR | 0666, makedev(1, 5)), 0);
        cases.push_back({(out / "zero.png").string(), "a device, not a regular file"});
    }
    const std::vector<std::string> before = entries(out);
    for (const auto& [path, reason] : cases) {
        std::string error;
        EXPECT_FALSE(checkOutputPath(path, error)) << path;
        EXPECT_EQ(error, "cannot write " + path + ": " + reason);
    }
    // The program checks first: drawing this much would take hours, and the
    // CPU limit stops a run that started before saying no.
    const std::string taken = (out / "taken.png").string();
    EXPECT_EQ(haze("--render '" + taken + "' --size 4096x4096 --frames 100000", "ulimit -t 10;"),
              1);
    EXPECT_EQ(err, "haze: cannot write " + taken + ": Is a directory\n");
    EXPECT_EQ(entries(out), before) << "something was added or removed";
    EXPECT_EQ(fileText(out / "keep.txt"), "data");
    EXPECT_TRUE(fs::is_symlink(out / "link.png"));
    EXPECT_TRUE(fs::is_fifo(out / "fifo.png"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(RenderCommand, AReadOnlyFileIsReplacedOnlyWhereAPlainWriteWouldBe) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    { std::ofstream(out / "read-only.png") << "old"; }
    fs::permissions(out / "read-only.png", fs::perms(0444));
    std::string error;
    const bool written = writeNoise(out / "read-only.png", 8, error);
    if (root()) {
        // Root's plain write would succeed, so the file is replaced, and
        // stays read-only.
        EXPECT_TRUE(written) << error;
        EXPECT_TRUE(readPicture(out / "read-only.png").read);
        EXPECT_EQ(fs::status(out / "read-only.png").permissions(), fs::perms(0444));
        return;
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "cannot write " + (out / "read-only.png").string() + ": Permission denied");
    EXPECT_EQ(fileText(out / "read-only.png"), "old");

    // A folder the user may not write into: nothing is created in it.
    fs::permissions(out, fs::perms(0555));
    EXPECT_FALSE(writeNoise(out / "new.png", 8, error));
    EXPECT_NE(error.find("new.png: Permission denied"), std::string::npos) << error;
    fs::permissions(out, fs::perms(0755));
    EXPECT_EQ(entries(out), std::vector<std::string>{"read-only.png"});
}

TEST_F(RenderCommand, AReplacedFileKeepsItsModeAndOwnerAndNoLinkIsFollowed) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    { std::ofstream(out / "kept.png") << "old"; }
    fs::permissions(out / "kept.png", fs::perms(0604));
    if (root()) {
        ASSERT_EQ(chown((out / "kept.png").c_str(), 65534, 65534), 0);
    }
    // Where a predictable temporary name would be: a link to a file the
    // user cares about.
    { std::ofstream(out / "keep.txt") << "data"; }
    fs::create_symlink("keep.txt", out / "kept.png.part");
    std::string error;
    ASSERT_TRUE(writeNoise(out / "kept.png", 8, error)) << error;
    const mode_t mask = umask(027);
    const bool madeNew = writeNoise(out / "new.png", 8, error);
    umask(mask);
    ASSERT_TRUE(madeNew) << error;

    struct stat kept {};
    ASSERT_EQ(stat((out / "kept.png").c_str(), &kept), 0);
    EXPECT_TRUE(readPicture(out / "kept.png").read);
    EXPECT_EQ(kept.st_mode & 07777, 0604u);
    if (root()) {
        EXPECT_EQ(kept.st_uid, 65534u);
        EXPECT_EQ(kept.st_gid, 65534u);
    }
    EXPECT_EQ(fs::status(out / "new.png").permissions(), fs::perms(0640)) << "umask 027";
    EXPECT_EQ(fileText(out / "keep.txt"), "data");
    EXPECT_TRUE(fs::is_symlink(out / "kept.png.part"));
    EXPECT_EQ(entries(out),
              (std::vector<std::string>{"keep.txt", "kept.png", "kept.png.part", "new.png"}));
}

TEST_F(RenderCommand, AFullDiskIsOneLineWithTheSystemsReasonAndLeavesTheOldFile) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    const std::string old = (out / "old.png").string();
    { std::ofstream(old) << "old"; }
    // A file-size limit of one 1024-byte block fails the write part way.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit oneBlock = saved;
    oneBlock.rlim_cur = 1024;
    setrlimit(RLIMIT_FSIZE, &oneBlock);
    std::string error;
    const bool written = writeNoise(old, 300, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "cannot write " + old + ": File too large");
    EXPECT_EQ(fileText(old), "old");
    EXPECT_EQ(entries(out), std::vector<std::string>{"old.png"});

    // A device that is always full, through standard output.
    EXPECT_EQ(haze("--render - --size 300x300 --frames 3", "", "/dev/full"), 1);
    EXPECT_EQ(err, "haze: cannot write standard output: No space left on device\n");
}

TEST_F(RenderCommand, ADashSendsThePictureToStandardOutput) {
    const std::string arguments = " --size 64x48 --frames 5 --seed 9";
    ASSERT_EQ(haze("--render '" + png("file.png") + "'" + arguments), 0) << err;
    // Through a pipe, which can be neither sought nor synced.
    ASSERT_EQ(haze("--render -" + arguments, "", "", "| cat >'" + png("piped.png") + "'"), 0)
        << err;
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("standard output: 64x48, frame 5"), std::string::npos) << err;
    const std::string piped = fileText(folder / "piped.png");
    EXPECT_FALSE(piped.empty());
    EXPECT_EQ(piped, fileText(folder / "file.png"));
}

TEST_F(RenderCommand, AnInterruptedWriteLeavesNothingBehind) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    const std::string target = (out / "big.png").string();
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        { std::ofstream(target) << "old"; }
        const int status = signalledWhileWriting(target, signal);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "the write ended before the signal came, or haze did not end by it: " << status;
        EXPECT_EQ(fileText(target), "old");
        EXPECT_EQ(entries(out), std::vector<std::string>{"big.png"});
    }
}

// No signal handler sees a SIGKILL: the picture is written into an unnamed
// file that takes its name only once whole, so a kill while it is written
// leaves the folder as it was.
TEST_F(RenderCommand, AKilledWriteLeavesNothingBehind) {
    const fs::path out = folder / "out";
    fs::create_directories(out);
    const int unnamed = open(out.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (unnamed < 0) {
        GTEST_SKIP() << "the file system of " << out << " makes no unnamed files";
    }
    close(unnamed);
    const std::string target = (out / "big.png").string();
    for (bool replacing : {true, false}) {
        SCOPED_TRACE(replacing ? "replacing a file" : "a new file");
        if (replacing) {
            std::ofstream(target) << "old";
        }
        const int status = signalledWhileWriting(target, SIGKILL);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the write ended before the kill: " << status;
        EXPECT_EQ(entries(out),
                  replacing ? std::vector<std::string>{"big.png"} : std::vector<std::string>{});
        if (replacing) {
            EXPECT_EQ(fileText(target), "old");
            fs::remove(target);
        }
    }
}

TEST_F(RenderCommand, UsageErrorsEndWithCodeTwoBeforeAnythingIsDrawn) {
    for (const char* bad : {"--size 0x10", "--size 20000x10", "--frames many", "--seed x"}) {
        EXPECT_EQ(haze("--render '" + png("never.png") + "' " + bad), 2) << bad;
        EXPECT_NE(err.find("haze:"), std::string::npos) << err;
    }
    EXPECT_FALSE(fs::exists(png("never.png")));
}

} // namespace
