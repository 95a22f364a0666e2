// Single programs in the host-standard program file format (.fxp): a
// big-endian header, the program's name and every parameter's normalised
// value as a 32-bit float.
#include <array>
#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>
#include <span>
#include <system_error>
#include <vector>

#include "shell/plugin_base.h"
#include "shell/vst2/vst2_interface.h"

namespace {

namespace fxp = vst2::fxp;

void PutBigEndian(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t GetBigEndian(std::span<const uint8_t> bytes, std::size_t at) {
    return (static_cast<uint32_t>(bytes[at]) << 24) | (static_cast<uint32_t>(bytes[at + 1]) << 16) |
           (static_cast<uint32_t>(bytes[at + 2]) << 8) | static_cast<uint32_t>(bytes[at + 3]);
}

// Program files are small; anything larger than this is not one.
constexpr std::streamsize kMaximumFileSize = 1 << 20;

}  // namespace

std::vector<uint8_t> IPluginBase::ProgramFileImage() {
    auto lock = ScopedLock();
    std::vector<uint8_t> bytes;
    const int count = ParameterCount();
    PutBigEndian(bytes, static_cast<uint32_t>(fxp::kChunkMagic));
    PutBigEndian(bytes, static_cast<uint32_t>(fxp::kHeaderSize - 8 + 4 * count));  // size of what follows
    PutBigEndian(bytes, static_cast<uint32_t>(fxp::kProgramMagic));
    PutBigEndian(bytes, static_cast<uint32_t>(fxp::kFormatVersion));
    PutBigEndian(bytes, static_cast<uint32_t>(UniqueId()));
    PutBigEndian(bytes, static_cast<uint32_t>(HostVersion()));
    PutBigEndian(bytes, static_cast<uint32_t>(count));
    std::array<uint8_t, fxp::kProgramNameLength> name{};
    const std::string_view current = GetProgramName(CurrentProgram());
    std::copy_n(current.begin(), std::min(current.size(), name.size() - 1), name.begin());  // longer names are cut
    bytes.insert(bytes.end(), name.begin(), name.end());
    for (int index = 0; index < count; ++index) {
        const auto value = static_cast<float>(GetParam(index)->GetNormalizedValue());
        PutBigEndian(bytes, std::bit_cast<uint32_t>(value));
    }
    return bytes;
}

bool IPluginBase::SaveProgramFile(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = ProgramFileImage();
    // Written beside the target first, so a failed write never leaves a half file under its name.
    std::filesystem::path temporary = path;
    temporary += ".partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file.good()) {
            file.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

bool IPluginBase::LoadProgramFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    {
        std::ifstream file(path, std::ios::binary);
        if (!file) return false;
        bytes.resize(static_cast<std::size_t>(kMaximumFileSize));
        file.read(reinterpret_cast<char*>(bytes.data()), kMaximumFileSize);
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    }
    return LoadProgramImage(bytes);
}

bool IPluginBase::LoadProgramImage(std::span<const uint8_t> bytes) {
    const int count = ParameterCount();
    if (bytes.size() < static_cast<std::size_t>(fxp::kHeaderSize)) return false;
    if (static_cast<int32_t>(GetBigEndian(bytes, fxp::kOffsetChunkMagic)) != fxp::kChunkMagic) return false;
    if (static_cast<int32_t>(GetBigEndian(bytes, fxp::kOffsetVersion)) != fxp::kFormatVersion) return false;
    if (static_cast<int32_t>(GetBigEndian(bytes, fxp::kOffsetFxId)) != UniqueId()) return false;
    if (static_cast<int32_t>(GetBigEndian(bytes, fxp::kOffsetNumParams)) != count) return false;
    // Only parameter-list programs: this plug-in keeps no opaque program chunks.
    if (static_cast<int32_t>(GetBigEndian(bytes, fxp::kOffsetFxMagic)) != fxp::kProgramMagic) return false;
    if (bytes.size() < static_cast<std::size_t>(fxp::kHeaderSize + 4 * count)) return false;

    std::vector<float> values(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const float value = std::bit_cast<float>(GetBigEndian(bytes, static_cast<std::size_t>(fxp::kHeaderSize + 4 * index)));
        if (!std::isfinite(value)) return false;
        values[static_cast<std::size_t>(index)] = value;
    }
    const auto* nameStart = reinterpret_cast<const char*>(bytes.data() + fxp::kOffsetProgramName);
    std::string_view name(nameStart, fxp::kProgramNameLength);
    name = name.substr(0, name.find('\0'));

    const std::string programName(name);
    {
        auto lock = ScopedLock();
        for (int index = 0; index < count; ++index) GetParam(index)->SetFromNormalized(static_cast<double>(values[static_cast<std::size_t>(index)]));
        ModifyCurrentProgram(programName);
        RestoreProgram(CurrentProgram());
    }
    // The host hears of it without the lock held: it may call back in from another thread.
    OnProgramFileLoaded();
    return true;
}
