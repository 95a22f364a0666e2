// PNG images: decoding into premultiplied raster bitmaps, and the images
// of resources/images.txt as the module carries them (embedded in the binary
// on Linux, resources of the module asking for them on Windows).
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
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
// Ids no image may have: out of the resource id range, or not listed.
constexpr std::array kUnknownIds = {0, -1, 99999, 70000};

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> SwitchImageFile() { return FileBytes(DUNEROW_SWITCH_IMAGE_PATH); }

struct ListedImage {
    int id = 0;
    std::filesystem::path file;
};

// resources/images.txt read as a person would: "id path" lines, paths
// relative to the list's folder, '#' starting a comment.
std::vector<ListedImage> ListedImages() {
    const std::filesystem::path list = DUNEROW_IMAGE_LIST;
    std::ifstream in(list);
    std::vector<ListedImage> images;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        int id = 0;
        std::string path;
        if (fields >> id >> path) images.push_back({id, list.parent_path() / path});
    }
    return images;
}

bool Listed(int id) {
    const auto images = ListedImages();
    return std::ranges::any_of(images, [id](const ListedImage& image) { return image.id == id; });
}

bool SameBytes(std::span<const std::uint8_t> bytes, const std::vector<std::uint8_t>& file) {
    return std::ranges::equal(bytes, file);
}

// A PNG written by libpng from 8-bit pixels in `format`.
std::vector<std::uint8_t> EncodePng(int width, int height, png_uint_32 format, const void* pixels,
                                    const void* colormap = nullptr, int colormapEntries = 0) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormapEntries);
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, colormap) == 0) return {};
    std::vector<std::uint8_t> bytes(size);
    if (png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, 0, colormap) == 0) return {};
    bytes.resize(size);
    return bytes;
}

void AppendChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
    const auto put32 = [&png](std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<std::uint8_t>(value >> shift));
    };
    put32(static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const auto crc = crc32(0, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt));
    put32(static_cast<std::uint32_t>(crc));
}

// A well-formed PNG claiming width x height 8-bit RGBA pixels, with only a
// few bytes of image data after its header.
std::vector<std::uint8_t> PngClaimingSize(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<std::uint8_t>(value >> shift));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // bit depth, RGBA, deflate, standard filters, not interlaced
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});  // one zero byte
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace

// Expected pixels are the file's RGBA (read out with an independent zlib
// script) premultiplied by hand: c' = round(c * a / 255).
TEST(PngDecoding, GivesTheSwitchImagePremultiplied) {
    const std::vector<std::uint8_t> bytes = SwitchImageFile();
    ASSERT_FALSE(bytes.empty());
    const RasterBitmap bitmap = DecodePngBitmap(bytes);
    ASSERT_FALSE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Width(), 20);
    EXPECT_EQ(bitmap.Height(), 40);
    EXPECT_EQ(bitmap.At(0, 0), 0x00000000u) << "clear corner";
    EXPECT_EQ(bitmap.At(19, 39), 0x00000000u);
    EXPECT_EQ(bitmap.At(10, 30), 0xFFFFD173u) << "opaque lit lamp (255, 209, 115), unchanged";
    EXPECT_EQ(bitmap.At(10, 10), 0xFF382D25u) << "opaque unlit lens (56, 45, 37), unchanged";
    // RGBA (59, 62, 69, 103): 6077 / 255 = 23.83 -> 24; 6386 / 255 = 25.04 -> 25; 7107 / 255 = 27.87 -> 28.
    EXPECT_EQ(bitmap.At(6, 1), 0x6718191Cu);
    // RGBA (48, 52, 55, 69): 3312 / 255 = 12.99 -> 13; 3588 / 255 = 14.07 -> 14; 3795 / 255 = 14.88 -> 15.
    EXPECT_EQ(bitmap.At(4, 2), 0x450D0E0Fu);
    // RGBA (51, 54, 60, 212): 10812 / 255 = 42.40 -> 42; 11448 / 255 = 44.89 -> 45; 12720 / 255 = 49.88 -> 50.
    EXPECT_EQ(bitmap.At(1, 7), 0xD42A2D32u);
    // RGBA (59, 63, 69, 239): 14101 / 255 = 55.30 -> 55; 15057 / 255 = 59.05 -> 59; 16491 / 255 = 64.67 -> 65.
    EXPECT_EQ(bitmap.At(18, 8), 0xEF373B41u);
}

TEST(PngDecoding, PremultipliesGreyAndPaletteImages) {
    // Grey and alpha pairs.
    const std::array<std::uint8_t, 6> grey = {200, 128, 7, 255, 255, 0};
    const RasterBitmap fromGrey = DecodePngBitmap(EncodePng(3, 1, PNG_FORMAT_GA, grey.data()));
    ASSERT_EQ(fromGrey.Width(), 3);
    ASSERT_EQ(fromGrey.Height(), 1);
    EXPECT_EQ(fromGrey.At(0, 0), 0x80646464u) << "200 * 128 = 25600, / 255 = 100.39 -> 100";
    EXPECT_EQ(fromGrey.At(1, 0), 0xFF070707u);
    EXPECT_EQ(fromGrey.At(2, 0), 0x00000000u) << "white at alpha 0";

    // A palette with transparency; the pixels are indices.
    const std::array<std::uint8_t, 12> palette = {255, 0, 0, 51, 0, 128, 255, 255, 200, 100, 50, 1};
    const std::array<std::uint8_t, 4> indices = {0, 1, 2, 1};
    const RasterBitmap fromPalette =
        DecodePngBitmap(EncodePng(2, 2, PNG_FORMAT_RGBA_COLORMAP, indices.data(), palette.data(), 3));
    ASSERT_EQ(fromPalette.Width(), 2);
    ASSERT_EQ(fromPalette.Height(), 2);
    EXPECT_EQ(fromPalette.At(0, 0), 0x33330000u) << "255 * 51 / 255 = 51";
    EXPECT_EQ(fromPalette.At(1, 0), 0xFF0080FFu);
    EXPECT_EQ(fromPalette.At(0, 1), 0x01010000u) << "200 / 255 = 0.78 -> 1, 100 / 255 = 0.39 -> 0, 50 / 255 -> 0";
    EXPECT_EQ(fromPalette.At(1, 1), 0xFF0080FFu);
}

TEST(PngDecoding, GivesAnEmptyBitmapForBytesThatAreNoPng) {
    const std::vector<std::uint8_t> bytes = SwitchImageFile();
    ASSERT_GT(bytes.size(), 100u);
    ASSERT_FALSE(DecodePngBitmap(bytes).IsEmpty());
    EXPECT_TRUE(DecodePngBitmap({}).IsEmpty());
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
    EXPECT_TRUE(DecodePngBitmap(text).IsEmpty());
    EXPECT_TRUE(DecodePngBitmap(std::span(bytes).first(8)).IsEmpty()) << "signature only";
    EXPECT_TRUE(DecodePngBitmap(std::span(bytes).first(bytes.size() / 2)).IsEmpty()) << "cut short";
    std::vector<std::uint8_t> damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x5A;
    EXPECT_TRUE(DecodePngBitmap(damaged).IsEmpty()) << "checksum mismatch in the image data";
}

TEST(PngDecoding, RefusesImagesAboveTheSizeBounds) {
    EXPECT_TRUE(DecodePngBitmap(PngClaimingSize(100000, 100000)).IsEmpty());
    EXPECT_TRUE(DecodePngBitmap(PngClaimingSize(0x7FFFFFFF, 1)).IsEmpty());
    EXPECT_TRUE(DecodePngBitmap(PngClaimingSize(8192, 8193)).IsEmpty()) << "64 Mi pixels and 8192 more";

    // Whole images, one pixel either side of the 16384-pixel side.
    const std::vector<std::uint8_t> row(16385, 90);
    const RasterBitmap widest = DecodePngBitmap(EncodePng(16384, 1, PNG_FORMAT_GRAY, row.data()));
    ASSERT_FALSE(widest.IsEmpty());
    EXPECT_EQ(widest.Width(), 16384);
    EXPECT_EQ(widest.At(16383, 0), 0xFF5A5A5Au);
    const std::vector<std::uint8_t> tooWide = EncodePng(16385, 1, PNG_FORMAT_GRAY, row.data());
    ASSERT_FALSE(tooWide.empty());
    EXPECT_TRUE(DecodePngBitmap(tooWide).IsEmpty());
    const std::vector<std::uint8_t> tooTall = EncodePng(1, 16385, PNG_FORMAT_GRAY, row.data());
    ASSERT_FALSE(tooTall.empty());
    EXPECT_TRUE(DecodePngBitmap(tooTall).IsEmpty());
}

// A file is refused when it is too short for the pixels it claims even at
// deflate's best ratio (1032:1); a black image, which zlib compresses about
// that well, is not.
TEST(PngDecoding, DecodesImagesCompressedAsFarAsDeflateGoes) {
    constexpr std::uint32_t kSide = 2048;
    const std::vector<std::uint8_t> rows((kSide + 1) * kSide, 0);  // each row: filter "none", then black
    uLongf compressedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<std::uint8_t> compressed(compressedSize);
    ASSERT_EQ(compress2(compressed.data(), &compressedSize, rows.data(), static_cast<uLong>(rows.size()), 9), Z_OK);
    compressed.resize(compressedSize);

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(png, "IHDR", {0, 0, 8, 0, 0, 0, 8, 0, 8, 0, 0, 0, 0});  // 2048 x 2048, 8-bit grey
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", {});
    EXPECT_GT(rows.size(), 1000 * png.size()) << "compressed more than 1000:1";

    const RasterBitmap bitmap = DecodePngBitmap(png);
    ASSERT_EQ(bitmap.Width(), 2048);
    ASSERT_EQ(bitmap.Height(), 2048);
    EXPECT_EQ(bitmap.At(2047, 2047), 0xFF000000u);
}

TEST(PngImageList, NamesImagesThatExist) {
    const auto images = ListedImages();
    ASSERT_FALSE(images.empty());
    EXPECT_TRUE(Listed(kSwitchId));
    for (const ListedImage& image : images) EXPECT_FALSE(FileBytes(image.file).empty()) << image.file;
    for (int id : kUnknownIds) EXPECT_FALSE(Listed(id)) << id;
}

#if !defined(_WIN32)

TEST(PngResources, EveryListedImageIsInTheBinaryWithTheBytesOfItsFile) {
    const auto images = ListedImages();
    ASSERT_FALSE(images.empty());
    for (const ListedImage& image : images) {
        EXPECT_TRUE(SameBytes(PngResourceBytes(image.id), FileBytes(image.file))) << "image " << image.id;
        EXPECT_FALSE(LoadPngBitmap(image.id).IsEmpty()) << "image " << image.id << " decodes";
    }
}

TEST(PngResources, UnknownIdsGiveNothing) {
    for (int id : kUnknownIds) {
        EXPECT_TRUE(PngResourceBytes(id).empty()) << id;
        EXPECT_TRUE(LoadPngBitmap(id).IsEmpty()) << id;
    }
}

TEST(PngResources, LoadsTheSwitchImageById) {
    const RasterBitmap bitmap = LoadPngBitmap(kSwitchId);
    ASSERT_EQ(bitmap.Width(), 20);
    ASSERT_EQ(bitmap.Height(), 40);
    EXPECT_EQ(bitmap.At(6, 1), 0x6718191Cu);
    EXPECT_EQ(bitmap.At(10, 30), 0xFFFFD173u);
}

#else

TEST(PngResources, TheDllCarriesEveryListedImage) {
    HMODULE module = LoadLibraryExA(DUNEROW_MODULE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const auto images = ListedImages();
    ASSERT_FALSE(images.empty());
    for (const ListedImage& image : images) {
        HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(image.id), L"PNG");
        ASSERT_NE(info, nullptr) << "image " << image.id;
        const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info)));
        EXPECT_TRUE(SameBytes({data, SizeofResource(module, info)}, FileBytes(image.file))) << "image " << image.id;
    }
    FreeLibrary(module);
}

// A DLL linking the loader and the images, loaded by this program, which
// carries no images itself: the loader must look in the DLL, not in the
// program that loaded it.
TEST(PngResources, AreFoundInTheModuleOfTheCodeAskingForThem) {
    EXPECT_TRUE(PngResourceBytes(kSwitchId).empty()) << "this test program carries no images";
    EXPECT_TRUE(LoadPngBitmap(kSwitchId).IsEmpty());

    HMODULE probe = LoadLibraryA(DUNEROW_PROBE_PATH);
    ASSERT_NE(probe, nullptr);
    using BytesProbe = int (*)(int, const std::uint8_t**, std::size_t*);
    using BitmapProbe = int (*)(int, int, int, int*, int*, std::uint32_t*);
    auto probeBytes = reinterpret_cast<BytesProbe>(reinterpret_cast<void*>(GetProcAddress(probe, "ProbePngBytes")));
    auto probeBitmap = reinterpret_cast<BitmapProbe>(reinterpret_cast<void*>(GetProcAddress(probe, "ProbePngBitmap")));
    ASSERT_NE(probeBytes, nullptr);
    ASSERT_NE(probeBitmap, nullptr);

    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    for (const ListedImage& image : ListedImages()) {
        EXPECT_EQ(probeBytes(image.id, &data, &size), 1) << "image " << image.id;
        EXPECT_TRUE(SameBytes({data, size}, FileBytes(image.file))) << "image " << image.id;
    }
    for (int id : kUnknownIds) EXPECT_EQ(probeBytes(id, &data, &size), 0) << id;

    int width = 0;
    int height = 0;
    std::uint32_t pixel = 0;
    EXPECT_EQ(probeBitmap(kSwitchId, 6, 1, &width, &height, &pixel), 1);
    EXPECT_EQ(width, 20);
    EXPECT_EQ(height, 40);
    EXPECT_EQ(pixel, 0x6718191Cu) << "see GivesTheSwitchImagePremultiplied";
    for (int id : kUnknownIds) EXPECT_EQ(probeBitmap(id, 0, 0, &width, &height, &pixel), 0) << id;
    FreeLibrary(probe);
}

#endif
