// Reading the family name and style of a font file's first face, as Windows
// needs them to select a font loaded from a file.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/text/sfnt_face_info.h"

namespace {

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string LiberationFile(const char* name) { return std::string(DUNEROW_LIBERATION_DIR) + "/" + name; }

void PutU16(std::vector<std::uint8_t>& bytes, unsigned value) {
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

void PutU32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    PutU16(bytes, value >> 16);
    PutU16(bytes, value & 0xFFFFu);
}

struct NameEntry {
    unsigned platform;
    unsigned encoding;
    unsigned language;
    unsigned nameId;
    std::u16string text;
};

// A font file with nothing but a 'head' and a 'name' table, its table
// directory starting `base` bytes into the file (table offsets count from
// the file's start).
std::vector<std::uint8_t> BuildFont(const std::vector<NameEntry>& names, unsigned macStyle, std::size_t base = 0,
                                    std::uint32_t headLength = 54) {
    std::vector<std::uint8_t> name;
    PutU16(name, 0);
    PutU16(name, static_cast<unsigned>(names.size()));
    PutU16(name, static_cast<unsigned>(6 + 12 * names.size()));
    unsigned stringOffset = 0;
    for (const NameEntry& entry : names) {
        PutU16(name, entry.platform);
        PutU16(name, entry.encoding);
        PutU16(name, entry.language);
        PutU16(name, entry.nameId);
        PutU16(name, static_cast<unsigned>(entry.text.size() * 2));
        PutU16(name, stringOffset);
        stringOffset += static_cast<unsigned>(entry.text.size() * 2);
    }
    for (const NameEntry& entry : names) {
        for (const char16_t c : entry.text) PutU16(name, c);
    }

    std::vector<std::uint8_t> head(54, 0);
    head[44] = static_cast<std::uint8_t>(macStyle >> 8);
    head[45] = static_cast<std::uint8_t>(macStyle);

    std::vector<std::uint8_t> font;
    const std::uint32_t headOffset = static_cast<std::uint32_t>(base + 12 + 2 * 16);
    const std::uint32_t nameOffset = headOffset + 54;
    PutU32(font, 0x00010000);
    PutU16(font, 2);  // tables
    PutU16(font, 0);  // the search fields, unused here
    PutU16(font, 0);
    PutU16(font, 0);
    PutU32(font, 0x68656164);  // 'head'
    PutU32(font, 0);
    PutU32(font, headOffset);
    PutU32(font, headLength);
    PutU32(font, 0x6E616D65);  // 'name'
    PutU32(font, 0);
    PutU32(font, nameOffset);
    PutU32(font, static_cast<std::uint32_t>(name.size()));
    font.insert(font.end(), head.begin(), head.end());
    font.insert(font.end(), name.begin(), name.end());
    return font;
}

}  // namespace

TEST(SfntFaceInfo, ReadsTheFamilyAndStyleOfEachLiberationSansFace) {
    struct Face {
        const char* file;
        bool bold;
        bool italic;
    };
    const Face faces[] = {{"LiberationSans-Regular.ttf", false, false},
                          {"LiberationSans-Bold.ttf", true, false},
                          {"LiberationSans-Italic.ttf", false, true},
                          {"LiberationSans-BoldItalic.ttf", true, true}};
    if (!std::filesystem::exists(LiberationFile(faces[0].file))) GTEST_SKIP() << "Liberation Sans is not installed";
    for (const Face& face : faces) {
        SCOPED_TRACE(face.file);
        const auto info = ReadSfntFaceInfo(FileBytes(LiberationFile(face.file)));
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->familyName, u"Liberation Sans");
        EXPECT_EQ(info->bold, face.bold);
        EXPECT_EQ(info->italic, face.italic);
    }
}

TEST(SfntFaceInfo, PrefersTheUsEnglishWindowsFamilyName) {
    const NameEntry mac{1, 0, 0, 1, u"Mac Family"};
    const NameEntry german{3, 1, 0x0407, 1, u"Familie"};
    const NameEntry english{3, 1, 0x0409, 1, u"Family"};
    const NameEntry subfamily{3, 1, 0x0409, 2, u"Bold Italic"};

    auto info = ReadSfntFaceInfo(BuildFont({mac, german, english, subfamily}, 0));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->familyName, u"Family");

    info = ReadSfntFaceInfo(BuildFont({mac, german, subfamily}, 0));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->familyName, u"Familie");

    // Only Windows-platform records name a face for GDI.
    EXPECT_FALSE(ReadSfntFaceInfo(BuildFont({mac, subfamily}, 0)).has_value());
}

TEST(SfntFaceInfo, ReadsBoldAndItalicFromTheStyleBits) {
    const NameEntry family{3, 1, 0x0409, 1, u"Family"};
    for (unsigned macStyle = 0; macStyle < 4; ++macStyle) {
        const auto info = ReadSfntFaceInfo(BuildFont({family}, macStyle));
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->bold, macStyle == 1 || macStyle == 3) << macStyle;
        EXPECT_EQ(info->italic, macStyle == 2 || macStyle == 3) << macStyle;
    }
}

TEST(SfntFaceInfo, ReadsTheFirstFaceOfACollection) {
    std::vector<std::uint8_t> collection;
    PutU32(collection, 0x74746366);  // 'ttcf'
    PutU32(collection, 0x00010000);
    PutU32(collection, 1);   // faces
    PutU32(collection, 16);  // where the first face's directory starts
    const std::vector<std::uint8_t> face = BuildFont({{3, 1, 0x0409, 1, u"Collected"}}, 2, 16);
    collection.insert(collection.end(), face.begin(), face.end());

    const auto info = ReadSfntFaceInfo(collection);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->familyName, u"Collected");
    EXPECT_FALSE(info->bold);
    EXPECT_TRUE(info->italic);
}

TEST(SfntFaceInfo, RejectsBytesThatAreNoWellFormedFont) {
    const NameEntry family{3, 1, 0x0409, 1, u"Family"};
    const std::vector<std::uint8_t> good = BuildFont({family}, 0);
    ASSERT_TRUE(ReadSfntFaceInfo(good).has_value());

    EXPECT_FALSE(ReadSfntFaceInfo({}).has_value());
    const std::string text = "this is not a font file at all";
    EXPECT_FALSE(ReadSfntFaceInfo(std::vector<std::uint8_t>(text.begin(), text.end())).has_value());
    // Every shortened copy loses a table or the name's last byte.
    for (std::size_t length = 0; length < good.size(); ++length) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(ReadSfntFaceInfo(cut).has_value()) << length;
    }
    // A 'head' table too short to hold the style bits.
    EXPECT_FALSE(ReadSfntFaceInfo(BuildFont({family}, 0, 0, 40)).has_value());
    // A collection whose first face lies past the end.
    std::vector<std::uint8_t> collection;
    PutU32(collection, 0x74746366);
    PutU32(collection, 0x00010000);
    PutU32(collection, 1);
    PutU32(collection, 0xFFFFFFF0u);
    EXPECT_FALSE(ReadSfntFaceInfo(collection).has_value());
    // An empty family name.
    EXPECT_FALSE(ReadSfntFaceInfo(BuildFont({{3, 1, 0x0409, 1, u""}}, 0)).has_value());

    const std::string liberation = LiberationFile("LiberationSans-Regular.ttf");
    if (std::filesystem::exists(liberation)) {
        std::vector<std::uint8_t> cut = FileBytes(liberation);
        cut.resize(1000);  // the table directory survives, the tables do not
        EXPECT_FALSE(ReadSfntFaceInfo(cut).has_value());
    }
}
