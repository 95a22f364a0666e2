// The editor's images: PNG files stored as resources of type "PNG" in the
// plug-in module under numeric ids, decoded to 8-bit RGBA pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct PngImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows top to bottom, 4 bytes a pixel, not premultiplied
};

// Decodes a whole PNG file held in memory; nothing for bytes that are not a valid PNG.
std::optional<PngImage> DecodePng(std::span<const std::uint8_t> bytes);

// The bytes of the "PNG" resource `id` of the module this code is linked
// into (never the host's executable); empty when there is none, and always
// empty where modules carry no resources (Linux).
std::span<const std::uint8_t> PngResourceBytes(int id);

// Fetches and decodes the "PNG" resource `id` of this module.
std::optional<PngImage> LoadPngResource(int id);
