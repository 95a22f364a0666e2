// What a TrueType/OpenType font file says about its first face: the family
// name GDI selects it by, and whether it is the bold or italic member.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

struct SfntFaceInfo {
    std::u16string familyName;
    bool bold = false;
    bool italic = false;
};

// Reads the first face of a font file held in memory (a collection's first
// member); nothing when the bytes are not a well-formed font file with a
// family name.
std::optional<SfntFaceInfo> ReadSfntFaceInfo(std::span<const std::uint8_t> file);
