// Exporting the scene's textures: eleven PNG files whose texels are the bytes
// GL holds for the same seed, row for row.
#include "app/scene_hooks.h"
#include "programs/headless/texture_export.h"
#include "render_target.h"
#include "support/random.h"
#include "textures/scene_textures.h"
#include "textures/texel_image.h"

#include <GL/gl.h>
#include <png.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

const char* const expectedFiles[] = {
    "00-SMOKE.png", "01-FOG.png",      "02-GRAIN.png",  "03-SAND.png",
    "04-RING.png",  "05-STAR.png",     "06-SPHERE.png", "07-NOTSPHERE.png",
    "08-CHECK.png", "09-GRADIENT.png", "10-GRILLE.png",
};

// The file as RGBA texels, rows in file order; empty when it does not read
// as an 8-bit RGBA image of 256 × 256.
std::vector<std::uint8_t> readRgbaPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return {};
    }
    const bool rgba = image.format == PNG_FORMAT_RGBA;
    const bool size = image.width == 256 && image.height == 256;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> texels(PNG_IMAGE_SIZE(image));
    const bool read = png_image_finish_read(&image, nullptr, texels.data(), 0, nullptr) != 0;
    if (!rgba || !size || !read) {
        return {};
    }
    return texels;
}

// Every name in `folder`, hidden ones too, with the bytes it holds.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// A file-size limit on this process while it lives: a write past it fails
// as it would on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

class TextureExport : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("haze-export-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;
};

TEST_F(TextureExport, WritesTheElevenSlotsAsTheTexturesGlHolds) {
    const std::uint32_t seed = 4242;
    std::string error;
    ASSERT_TRUE(exportSceneTextures((folder_ / "new").string(), seed, error)) << error;

    std::vector<std::vector<std::uint8_t>> files;
    for (const char* name : expectedFiles) {
        files.push_back(readRgbaPng((folder_ / "new" / name).string()));
        ASSERT_EQ(files.back().size(), 256u * 256u * 4u) << name;
    }
    size_t fileCount = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_ / "new")) {
        static_cast<void>(entry);
        ++fileCount;
    }
    EXPECT_EQ(fileCount, 11u); // no temporary files left behind

    // The scene set up from the same seed, as the saver window does it, in a
    // context of our own: each texture GL holds must be its file, byte for
    // byte and row k for row k.
    RenderTarget target(64, 48);
    ASSERT_TRUE(target.ready());
    randomSeed(seed);
    InitialiseScene(64, 48);
    std::vector<std::uint8_t> held(256 * 256 * 4);
    for (int slot = 0; slot < sceneTextureCount; ++slot) {
        SCOPED_TRACE(expectedFiles[slot]);
        sceneTextures[slot].bind();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, held.data());
        EXPECT_TRUE(held == files[slot]);
    }
    // The last one generated is exactly what was uploaded.
    EXPECT_TRUE(std::equal(held.begin(), held.end(), generatedTexels()));
    ReleaseScene();
    for (Texture& texture : sceneTextures) {
        texture.id = 0; // its name dies with this test's context
    }
    lastBoundTextureId = noTextureBound;
}

TEST_F(TextureExport, AnotherSeedChangesOnlyTheRandomImages) {
    std::string error;
    ASSERT_TRUE(exportSceneTextures((folder_ / "a").string(), 1, error)) << error;
    ASSERT_TRUE(exportSceneTextures((folder_ / "b").string(), 2, error)) << error;
    for (int slot = 0; slot < 11; ++slot) {
        SCOPED_TRACE(expectedFiles[slot]);
        const std::vector<std::uint8_t> a =
            readRgbaPng((folder_ / "a" / expectedFiles[slot]).string());
        const std::vector<std::uint8_t> b =
            readRgbaPng((folder_ / "b" / expectedFiles[slot]).string());
        ASSERT_EQ(a.size(), 256u * 256u * 4u);
        // SMOKE, FOG, GRAIN and SAND draw random numbers; the rest do not.
        EXPECT_EQ(a == b, slot >= 4);
    }
}

TEST_F(TextureExport, AFailedExportLeavesNoNewFileAndTheOldSetWhole) {
    const std::filesystem::path set = folder_ / "set";
    std::string error;
    ASSERT_TRUE(exportSceneTextures(set.string(), 1, error)) << error;
    const std::map<std::string, std::string> before = snapshot(set);
    ASSERT_EQ(before.size(), 11u);

    // The first two images fit in 100 kB, the third (noise) does not.
    std::string intoNewFolder;
    {
        FileSizeLimit limit(100000);
        EXPECT_FALSE(exportSceneTextures(set.string(), 2, error));
        EXPECT_FALSE(exportSceneTextures((folder_ / "new" / "deeper").string(), 2, intoNewFolder));
    }
    EXPECT_EQ(error, "cannot write " + (set / "02-GRAIN.png").string() + ": File too large");
    EXPECT_TRUE(snapshot(set) == before) << "the old set was changed or a file was left";
    EXPECT_NE(intoNewFolder.find("File too large"), std::string::npos) << intoNewFolder;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "new")) << "the folders made for it stay";
}

TEST_F(TextureExport, ASetWithAFileThatMayNotBeReplacedIsNotTouched) {
    const std::filesystem::path set = folder_ / "set";
    std::string error;
    ASSERT_TRUE(exportSceneTextures(set.string(), 1, error)) << error;
    std::filesystem::remove(set / "05-STAR.png");
    std::filesystem::create_symlink("04-RING.png", set / "05-STAR.png");
    const std::map<std::string, std::string> before = snapshot(set);

    EXPECT_FALSE(exportSceneTextures(set.string(), 2, error));
    EXPECT_EQ(error, "cannot write " + (set / "05-STAR.png").string() +
                         ": a symbolic link, not a regular file");
    EXPECT_TRUE(snapshot(set) == before);
    EXPECT_TRUE(std::filesystem::is_symlink(set / "05-STAR.png"));
}

TEST_F(TextureExport, ReportsAFolderThatCannotBeMade) {
    std::filesystem::create_directories(folder_);
    const std::filesystem::path file = folder_ / "plain-file";
    { std::ofstream(file) << "x"; }
    std::string error;
    EXPECT_FALSE(exportSceneTextures((file / "sub").string(), 1, error));
    EXPECT_NE(error.find((file / "sub").string()), std::string::npos) << error;
}

} // namespace
