// The committed editor images against the editor's table of images: every
// id listed once with its file, each file at its pixel size with its frame
// count, knob strips whose frames all differ, and switches whose two states
// can be told apart at a glance.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kResources = DUNEROW_RESOURCES_DIR;

struct Expected {
    int id;
    int width;
    int height;
    int frames;
};

// The editor's images: id, pixel size of the whole file, frames stacked in it.
constexpr Expected kImages[] = {
    {111, 1030, 800, 1},   {112, 920, 730, 1},    {201, 20, 40, 2},      {1001, 40, 5120, 128},
    {1002, 40, 5120, 128}, {1003, 30, 3840, 128}, {1004, 30, 3840, 128}, {1005, 40, 5120, 128},
    {1006, 40, 5120, 128}, {1007, 30, 3840, 128}, {1008, 30, 3840, 128}, {1009, 30, 3840, 128},
    {1010, 30, 3840, 128}, {1011, 30, 3840, 128}, {1012, 30, 3840, 128}, {1013, 40, 5120, 128},
    {1014, 40, 80, 2},     {1017, 40, 5120, 128}, {1018, 30, 3840, 128}, {1019, 30, 3840, 128},
    {1020, 30, 3840, 128}, {1021, 30, 3840, 128}, {1022, 30, 3840, 128}, {1032, 35, 4480, 128},
    {1033, 35, 4480, 128}, {1034, 35, 4480, 128}, {1035, 35, 4480, 128}, {1036, 50, 6400, 128},
    {1037, 35, 4480, 128}, {1038, 35, 4480, 128}, {1039, 35, 4480, 128}, {1040, 50, 6400, 128},
    {1041, 40, 5120, 128}, {1042, 40, 5120, 128}, {1043, 30, 150, 5},    {1044, 30, 3840, 128},
    {1045, 30, 90, 3},     {1046, 35, 4480, 128}, {1048, 40, 120, 3},    {1101, 94, 49, 1},
    {1102, 94, 49, 1},     {1103, 94, 49, 1},     {1104, 170, 70, 1},    {1105, 140, 65, 1},
    {1106, 140, 65, 1},    {1107, 185, 20, 1},    {1108, 110, 38, 1},    {1109, 127, 109, 1},
    {1110, 50, 40, 1},     {1111, 700, 50, 1},    {1113, 217, 20, 1},    {1201, 20, 40, 2},
    {1202, 20, 40, 2},     {1203, 48, 40, 2},     {1204, 18, 36, 2},     {1205, 18, 36, 2},
    {1206, 20, 40, 2},     {1207, 20, 40, 2},     {1208, 48, 40, 2},     {1209, 48, 40, 2},
    {1301, 48, 40, 2},     {1302, 48, 40, 2},     {1303, 48, 40, 2},     {1304, 48, 40, 2},
    {1305, 60, 60, 2},     {1306, 48, 40, 2},     {1307, 48, 40, 2},     {1308, 48, 40, 2},
    {1309, 60, 60, 2},     {1310, 48, 40, 2},     {1311, 60, 150, 5},    {1312, 84, 60, 2},
    {1313, 85, 50, 2},     {1314, 85, 50, 2},     {1315, 80, 40, 2},     {1317, 48, 40, 2},
    {1401, 14, 14, 1},     {1402, 82, 14, 1},     {1403, 104, 14, 1},    {1405, 400, 40, 1},
    {2001, 740, 450, 1},   {2002, 810, 102, 1},   {2003, 300, 51, 1},    {2004, 90, 30, 1},
    {2005, 125, 77, 1},    {2008, 100, 100, 1},   {2009, 100, 100, 1},
};

struct Rgba {
    std::uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    const Rgba& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

std::optional<Image> ReadPng(const std::filesystem::path& path) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) return std::nullopt;
    png.format = PNG_FORMAT_RGBA;
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    if (png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr) == 0) {
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

// The list's "id path" lines, comments and blank lines skipped.
std::map<int, std::string> ReadImageList() {
    std::map<int, std::string> list;
    std::ifstream file(kResources / "images.txt");
    std::string line;
    while (std::getline(file, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        int id = 0;
        std::string path;
        if (words >> id >> path) list.emplace(id, path);
    }
    return list;
}

const Image& Loaded(int id) {
    static std::map<int, Image> cache;
    auto found = cache.find(id);
    if (found == cache.end()) {
        const std::map<int, std::string> list = ReadImageList();
        const auto entry = list.find(id);
        std::optional<Image> image;
        if (entry != list.end()) image = ReadPng(kResources / entry->second);
        found = cache.emplace(id, image.value_or(Image{})).first;
    }
    return found->second;
}

const Expected& ExpectedFor(int id) {
    return *std::find_if(std::begin(kImages), std::end(kImages), [id](const Expected& e) { return e.id == id; });
}

std::vector<Rgba> Frame(const Image& image, int frames, int index) {
    const int frameHeight = image.height / frames;
    const auto first = image.pixels.begin() + static_cast<std::ptrdiff_t>(index * frameHeight * image.width);
    return {first, first + static_cast<std::ptrdiff_t>(frameHeight * image.width)};
}

// Mean brightness (0..255, (r + g + b) / 3 weighted by alpha) of the
// rectangle (left, top)-(right, bottom) of one frame.
double MeanBrightness(const Image& image, int frames, int index, int left, int top, int right, int bottom) {
    const int frameTop = index * (image.height / frames);
    double sum = 0.0;
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const Rgba& p = image.At(x, frameTop + y);
            sum += (p.r + p.g + p.b) / 3.0 * p.a / 255.0;
            ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// Pixels of one frame that are lit: mostly opaque and with a channel above 150.
int LitPixels(const Image& image, int frames, int index) {
    int lit = 0;
    for (const Rgba& p : Frame(image, frames, index)) {
        if (p.a > 128 && std::max({p.r, p.g, p.b}) > 150) ++lit;
    }
    return lit;
}

TEST(EditorArtwork, ListNamesEveryEditorImageOnce) {
    const std::map<int, std::string> list = ReadImageList();
    std::set<int> expected;
    for (const Expected& image : kImages) expected.insert(image.id);
    std::set<int> listed;
    for (const auto& [id, path] : list) listed.insert(id);
    EXPECT_EQ(listed, expected);
    // Two pairs of controls share one picture each.
    EXPECT_EQ(list.at(1003), list.at(1004));
    EXPECT_EQ(list.at(1301), list.at(1306));
    EXPECT_EQ(list.at(1003), "img/korvane/knobs/KV_Osc_Pitch_Tune_Knob_30px.png");
    EXPECT_EQ(list.at(1301), "img/korvane/buttons/invert_button_48x40.png");
}

TEST(EditorArtwork, EveryImageFileIsListed) {
    std::set<std::string> listed;
    for (const auto& [id, path] : ReadImageList()) listed.insert(path);
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kResources / "img" / "korvane")) {
        if (entry.is_regular_file()) files.insert(std::filesystem::relative(entry.path(), kResources).generic_string());
    }
    EXPECT_EQ(files, listed);
}

TEST(EditorArtwork, EveryImageHasItsPixelSizeAndWholeFrames) {
    for (const Expected& expected : kImages) {
        SCOPED_TRACE("image " + std::to_string(expected.id));
        const Image& image = Loaded(expected.id);
        EXPECT_EQ(image.width, expected.width);
        EXPECT_EQ(image.height, expected.height);
        EXPECT_EQ(image.height % expected.frames, 0);
    }
}

TEST(EditorArtwork, BackgroundsAreOpaque) {
    for (int id : {111, 112}) {
        const Image& image = Loaded(id);
        ASSERT_FALSE(image.pixels.empty()) << id;
        EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(), [](const Rgba& p) { return p.a == 255; }))
            << id;
    }
}

TEST(EditorArtwork, EveryKnobFrameDiffersFromTheNext) {
    for (const Expected& expected : kImages) {
        if (expected.frames != 128) continue;
        SCOPED_TRACE("knob " + std::to_string(expected.id));
        const Image& image = Loaded(expected.id);
        ASSERT_EQ(image.height, expected.height);
        // Frames 1, 64 and 128: minimum, middle, maximum.
        const std::vector<Rgba> first = Frame(image, 128, 0);
        const std::vector<Rgba> middle = Frame(image, 128, 63);
        const std::vector<Rgba> last = Frame(image, 128, 127);
        EXPECT_NE(first, middle);
        EXPECT_NE(middle, last);
        EXPECT_NE(first, last);
        for (int index = 1; index < 128; ++index) {
            EXPECT_NE(Frame(image, 128, index - 1), Frame(image, 128, index)) << "frames " << index << " and "
                                                                              << index + 1;
        }
    }
}

// The lit arc grows from the minimum (unipolar knobs) or from the top
// centre (knobs whose controls rest at 0.5).
TEST(EditorArtwork, KnobArcLightsUpTowardsTheValue) {
    constexpr int kBipolar[] = {1003, 1004, 1007, 1032, 1033, 1034, 1035, 1038, 1040};
    for (const Expected& expected : kImages) {
        if (expected.frames != 128) continue;
        SCOPED_TRACE("knob " + std::to_string(expected.id));
        const Image& image = Loaded(expected.id);
        ASSERT_EQ(image.height, expected.height);
        const int first = LitPixels(image, 128, 0);
        const int middle = LitPixels(image, 128, 63);
        const int last = LitPixels(image, 128, 127);
        if (std::find(std::begin(kBipolar), std::end(kBipolar), expected.id) != std::end(kBipolar)) {
            EXPECT_GT(first, middle + 20);
            EXPECT_GT(last, middle + 20);
        } else {
            EXPECT_GT(middle, first + 20);
            EXPECT_GT(last, middle + 20);
        }
    }
}

TEST(EditorArtwork, SelectorFramesAreAllDifferent) {
    for (int id : {1014, 1043, 1045, 1048, 1311}) {
        SCOPED_TRACE("selector " + std::to_string(id));
        const Expected& expected = ExpectedFor(id);
        const Image& image = Loaded(id);
        ASSERT_EQ(image.height, expected.height);
        for (int a = 0; a < expected.frames; ++a) {
            for (int b = a + 1; b < expected.frames; ++b) {
                EXPECT_NE(Frame(image, expected.frames, a), Frame(image, expected.frames, b)) << a << " " << b;
            }
        }
    }
}

TEST(EditorArtwork, LampSwitchIsClearlyLitWhenOn) {
    const Image& image = Loaded(201);
    ASSERT_EQ(image.height, 40);
    // The lens: the middle 8 x 8 pixels of each 20 x 20 frame.
    const double off = MeanBrightness(image, 2, 0, 6, 6, 14, 14);
    const double on = MeanBrightness(image, 2, 1, 6, 6, 14, 14);
    EXPECT_LT(off, 60.0);
    EXPECT_GT(on, off + 100.0);
}

TEST(EditorArtwork, KeysLightUpWhenOnOrPressed) {
    constexpr int kKeys[] = {1201, 1202, 1203, 1204, 1205, 1206, 1207, 1208, 1209, 1301, 1302,
                             1303, 1304, 1305, 1307, 1308, 1309, 1310, 1312, 1313, 1314, 1315, 1317};
    for (int id : kKeys) {
        SCOPED_TRACE("key " + std::to_string(id));
        const Image& image = Loaded(id);
        const Expected& expected = ExpectedFor(id);
        ASSERT_EQ(image.height, expected.height);
        const int frameHeight = expected.height / 2;
        // The key's face: the frame less a 3-pixel border.
        const double off = MeanBrightness(image, 2, 0, 3, 3, expected.width - 3, frameHeight - 3);
        const double on = MeanBrightness(image, 2, 1, 3, 3, expected.width - 3, frameHeight - 3);
        EXPECT_GT(on, off + 8.0);
    }
}

}  // namespace
