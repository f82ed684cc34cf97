// The offscreen surface every render test and the headless renderer draw on.
#include "programs/headless/png_file.h"
#include "render_target.h"

#include <GL/gl.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

void fill(float r, float g, float b, float a, int x0, int y0, int x1, int y1) {
    glColor4f(r, g, b, a);
    glBegin(GL_QUADS);
    glVertex2f(static_cast<float>(x0), static_cast<float>(y0));
    glVertex2f(static_cast<float>(x1), static_cast<float>(y0));
    glVertex2f(static_cast<float>(x1), static_cast<float>(y1));
    glVertex2f(static_cast<float>(x0), static_cast<float>(y1));
    glEnd();
}

void pixelProjection(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST(OffscreenSurface, KeepsItsPictureFromOneFrameToTheNext) {
    RenderTarget target(64, 48);
    ASSERT_TRUE(target.ready());
    pixelProjection(64, 48);
    glClear(GL_COLOR_BUFFER_BIT);
    fill(1, 1, 1, 1, 0, 0, 64, 48);
    glFinish();

    // A second frame only darkens by half: the first frame must still be there.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fill(0, 0, 0, 0.5f, 0, 0, 64, 48);
    glDisable(GL_BLEND);
    glFinish();
    EXPECT_TRUE(colourNear(target.pixel(10, 10), {128, 128, 128}, 1));
    target.keepIfFailed("offscreen_persistence");
}

TEST(OffscreenSurface, HasNoAlphaPlaneAndCountsRowsFromTheBottom) {
    RenderTarget target(32, 32);
    ASSERT_TRUE(target.ready());
    GLint alphaBits = -1;
    GLint depthBits = -1;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(alphaBits, 0);
    EXPECT_GE(depthBits, 16);

    pixelProjection(32, 32);
    glClear(GL_COLOR_BUFFER_BIT);
    fill(1, 0, 0, 1, 0, 0, 32, 8); // the bottom quarter red
    glFinish();
    EXPECT_TRUE(colourNear(target.pixel(16, 2), {255, 0, 0}, 0));
    EXPECT_TRUE(colourNear(target.pixel(16, 30), {0, 0, 0}, 0));

    // Read as an image, top row first: the red rows come last.
    std::vector<std::uint8_t> rows;
    target.surface()->readRgb(rows);
    ASSERT_EQ(rows.size(), 32u * 32u * 3u);
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[(31 * 32 + 16) * 3], 255);
    target.keepIfFailed("offscreen_rows");
}

std::vector<std::uint8_t> readPngRgb(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

TEST(PngFile, WritesWholeFilesAndNothingOnFailure) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("haze-png-test-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    const std::uint8_t texels[2 * 3 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255,
                                            1,   2, 3, 4, 5,   6, 7, 8, 9};
    std::string error;
    const std::string path = (folder / "small.png").string();
    ASSERT_TRUE(writePng(path, 3, 2, PngLayout::Rgb, texels, error)) << error;
    int width = 0;
    int height = 0;
    const std::vector<std::uint8_t> back = readPngRgb(path, width, height);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(back, std::vector<std::uint8_t>(texels, texels + sizeof texels));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1)
        << "a temporary file was left beside it";

    // A folder that does not exist: an error naming the path, and no file.
    const std::string missing = (folder / "no-such-folder" / "x.png").string();
    EXPECT_FALSE(writePng(missing, 3, 2, PngLayout::Rgb, texels, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(missing));
    std::filesystem::remove_all(folder);
}

} // namespace
