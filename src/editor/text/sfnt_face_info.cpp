#include "editor/text/sfnt_face_info.h"

#include <cstddef>

namespace {

// Big-endian reads that fail (as nothing) past the end of the bytes.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }
    std::optional<std::uint16_t> U16(std::size_t offset) const {
        if (!Has(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>((bytes_[offset] << 8) | bytes_[offset + 1]);
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const {
        if (!Has(offset, 4)) return std::nullopt;
        return (std::uint32_t{bytes_[offset]} << 24) | (std::uint32_t{bytes_[offset + 1]} << 16) |
               (std::uint32_t{bytes_[offset + 2]} << 8) | std::uint32_t{bytes_[offset + 3]};
    }

private:
    std::span<const std::uint8_t> bytes_;
};

constexpr std::uint32_t Tag(char a, char b, char c, char d) {
    return (std::uint32_t(static_cast<unsigned char>(a)) << 24) | (std::uint32_t(static_cast<unsigned char>(b)) << 16) |
           (std::uint32_t(static_cast<unsigned char>(c)) << 8) | std::uint32_t(static_cast<unsigned char>(d));
}

struct TableRange {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// The table `tag` of the face whose table directory starts at `directory`.
std::optional<TableRange> FindTable(const ByteReader& reader, std::size_t directory, std::uint32_t tag) {
    const auto count = reader.U16(directory + 4);
    if (!count) return std::nullopt;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t record = directory + 12 + i * 16;
        const auto recordTag = reader.U32(record);
        const auto offset = reader.U32(record + 8);
        const auto length = reader.U32(record + 12);
        if (!recordTag || !offset || !length) return std::nullopt;
        if (*recordTag != tag) continue;
        if (!reader.Has(*offset, *length)) return std::nullopt;
        return TableRange{*offset, *length};
    }
    return std::nullopt;
}

// The family name (name id 1) from the Windows platform's Unicode records,
// US English preferred.
std::optional<std::u16string> FamilyName(const ByteReader& reader, const TableRange& table) {
    const auto count = reader.U16(table.offset + 2);
    const auto storage = reader.U16(table.offset + 4);
    if (!count || !storage) return std::nullopt;
    std::optional<std::u16string> chosen;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t record = table.offset + 6 + i * 12;
        const auto platform = reader.U16(record);
        const auto encoding = reader.U16(record + 2);
        const auto language = reader.U16(record + 4);
        const auto nameId = reader.U16(record + 6);
        const auto length = reader.U16(record + 8);
        const auto offset = reader.U16(record + 10);
        if (!platform || !encoding || !language || !nameId || !length || !offset) return std::nullopt;
        if (*platform != 3 || (*encoding != 0 && *encoding != 1) || *nameId != 1 || *length == 0 || *length % 2 != 0)
            continue;
        const std::size_t start = table.offset + *storage + *offset;
        if (start + *length > table.offset + table.length || !reader.Has(start, *length)) continue;
        std::u16string name;
        for (std::size_t at = start; at < start + *length; at += 2) name.push_back(static_cast<char16_t>(*reader.U16(at)));
        const bool english = *language == 0x0409;
        if (english) return name;
        if (!chosen) chosen = std::move(name);
    }
    return chosen;
}

}  // namespace

std::optional<SfntFaceInfo> ReadSfntFaceInfo(std::span<const std::uint8_t> file) {
    const ByteReader reader(file);
    const auto version = reader.U32(0);
    if (!version) return std::nullopt;
    // A collection's header points at its faces' table directories.
    std::size_t directory = 0;
    if (*version == Tag('t', 't', 'c', 'f')) {
        const auto faces = reader.U32(8);
        const auto first = reader.U32(12);
        if (!faces || *faces == 0 || !first) return std::nullopt;
        directory = *first;
    }
    const auto faceVersion = reader.U32(directory);
    if (!faceVersion || (*faceVersion != 0x00010000u && *faceVersion != Tag('O', 'T', 'T', 'O') &&
                         *faceVersion != Tag('t', 'r', 'u', 'e'))) {
        return std::nullopt;
    }

    const auto head = FindTable(reader, directory, Tag('h', 'e', 'a', 'd'));
    const auto name = FindTable(reader, directory, Tag('n', 'a', 'm', 'e'));
    if (!head || !name || head->length < 54) return std::nullopt;
    const auto macStyle = reader.U16(head->offset + 44);
    auto family = FamilyName(reader, *name);
    if (!macStyle || !family || family->empty()) return std::nullopt;
    return SfntFaceInfo{std::move(*family), (*macStyle & 1u) != 0, (*macStyle & 2u) != 0};
}
