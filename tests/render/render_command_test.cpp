// `haze --render`, run as a user runs it: the picture's size and rows, its
// reproducibility, and what happens when the file cannot be written.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
                 ("haze-render-" +
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

    // Runs haze with `arguments` (already quoted for the shell), under the
    // `environment` assignments given; the exit code.
    int haze(const std::string& arguments, const std::string& environment = "") {
        const std::string command = environment + " '" + HAZE_BINARY + "' " + arguments + " >'" +
                                    (folder / "stdout").string() + "' 2>'" +
                                    (folder / "stderr").string() + "'";
        const int status = std::system(command.c_str());
        out = fileText(folder / "stdout");
        err = fileText(folder / "stderr");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    EXPECT_FALSE(fs::exists(png("odd.png") + ".part"));
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
    ASSERT_EQ(haze("--render '" + png("canvas.png") + "'" + common, "HAZE_CANVAS=on"), 0) << err;
    EXPECT_EQ(err, "haze: HAZE_CANVAS=on: frames are drawn on a canvas\n");
    ASSERT_EQ(haze("--render '" + png("off.png") + "'" + common, "HAZE_CANVAS=off"), 0) << err;
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

TEST_F(RenderCommand, APathThatCannotBeWrittenFailsAndLeavesNothing) {
    const std::string missing = png("no-such-folder/x.png");
    EXPECT_NE(haze("--render '" + missing + "' --size 32x32 --frames 1"), 0);
    EXPECT_NE(err.find(missing), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;

    // A folder where the file should go: the write fails at the very end.
    fs::create_directories(folder / "taken.png" / "inside");
    EXPECT_NE(haze("--render '" + png("taken.png") + "' --size 32x32 --frames 1"), 0);
    EXPECT_NE(err.find("taken.png"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(png("taken.png") + ".part")) << "a half-written file was left";
    EXPECT_TRUE(fs::is_directory(folder / "taken.png" / "inside"));
}

TEST_F(RenderCommand, UsageErrorsEndWithCodeTwoBeforeAnythingIsDrawn) {
    for (const char* bad : {"--size 0x10", "--size 20000x10", "--frames many", "--seed x"}) {
        EXPECT_EQ(haze("--render '" + png("never.png") + "' " + bad), 2) << bad;
        EXPECT_NE(err.find("haze:"), std::string::npos) << err;
    }
    EXPECT_FALSE(fs::exists(png("never.png")));
}

} // namespace
