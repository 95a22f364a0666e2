// PNG images: decoding with libpng, and on Windows the resources of the
// module that asks for them.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "editor/graphics/png_resource.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

constexpr int kSwitchId = 201;

std::vector<std::uint8_t> FileBytes(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> SwitchImageFile() { return FileBytes(DUNEROW_SWITCH_IMAGE_PATH); }

int Brightness(const PngImage& image, int x, int y) {
    const auto at = static_cast<std::size_t>((y * image.width + x) * 4);
    return image.rgba[at] + image.rgba[at + 1] + image.rgba[at + 2];
}

int Alpha(const PngImage& image, int x, int y) { return image.rgba[static_cast<std::size_t>((y * image.width + x) * 4 + 3)]; }

}  // namespace

TEST(PngDecoding, DecodesTheSwitchImageIntoItsTwoFrames) {
    const std::vector<std::uint8_t> bytes = SwitchImageFile();
    ASSERT_FALSE(bytes.empty());
    const auto image = DecodePng(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 20);
    EXPECT_EQ(image->height, 40);
    ASSERT_EQ(image->rgba.size(), 20u * 40u * 4u);
    EXPECT_EQ(Alpha(*image, 0, 0), 0) << "corners outside the round button are clear";
    EXPECT_EQ(Alpha(*image, 19, 39), 0);
    EXPECT_EQ(Alpha(*image, 10, 10), 255);
    EXPECT_GT(Brightness(*image, 10, 30), 3 * Brightness(*image, 10, 10)) << "the lower frame's lamp is lit";
}

TEST(PngDecoding, RefusesBytesThatAreNoPng) {
    const std::vector<std::uint8_t> bytes = SwitchImageFile();
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_FALSE(DecodePng({}).has_value());
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
    EXPECT_FALSE(DecodePng(text).has_value());
    EXPECT_FALSE(DecodePng(std::span(bytes).first(8)).has_value()) << "signature only";
    EXPECT_FALSE(DecodePng(std::span(bytes).first(bytes.size() / 2)).has_value()) << "cut short";
    std::vector<std::uint8_t> damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x5A;
    EXPECT_FALSE(DecodePng(damaged).has_value()) << "checksum mismatch in the image data";
}

#if defined(_WIN32)

TEST(PngResources, TheDllCarriesTheSwitchImage) {
    HMODULE module = LoadLibraryExA(DUNEROW_MODULE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(kSwitchId), L"PNG");
    ASSERT_NE(info, nullptr);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info)));
    const std::vector<std::uint8_t> resource(data, data + SizeofResource(module, info));
    FreeLibrary(module);
    EXPECT_EQ(resource, SwitchImageFile());
}

// A DLL linking the loader and the images, loaded by this program, which
// carries no images itself: the loader must look in the DLL, not in the
// program that loaded it.
TEST(PngResources, AreFoundInTheModuleOfTheCodeAskingForThem) {
    EXPECT_TRUE(PngResourceBytes(kSwitchId).empty()) << "this test program carries no images";
    EXPECT_FALSE(LoadPngResource(kSwitchId).has_value());

    HMODULE probe = LoadLibraryA(DUNEROW_PROBE_PATH);
    ASSERT_NE(probe, nullptr);
    using Probe = int (*)(int, int*, int*);
    auto loadSize = reinterpret_cast<Probe>(reinterpret_cast<void*>(GetProcAddress(probe, "ProbePngResource")));
    ASSERT_NE(loadSize, nullptr);
    int width = 0;
    int height = 0;
    EXPECT_EQ(loadSize(kSwitchId, &width, &height), 1);
    EXPECT_EQ(width, 20);
    EXPECT_EQ(height, 40);
    EXPECT_EQ(loadSize(202, &width, &height), 0) << "no such id";
    EXPECT_EQ(loadSize(0x12345, &width, &height), 0) << "not a 16-bit id";
    FreeLibrary(probe);
}

#endif
