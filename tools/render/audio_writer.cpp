#include "audio_writer.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "render_error.h"

namespace render {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

int SubtypeOf(const AudioFormat& format) {
    switch (format.bits) {
    case 16:
        return SF_FORMAT_PCM_16;
    case 24:
        return SF_FORMAT_PCM_24;
    default:
        return SF_FORMAT_FLOAT;
    }
}

// The permissions a newly created file gets under the process's umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

std::optional<FileFormat> FormatOfName(std::string_view name) {
    const std::string lower = Lower(name);
    if (lower == "wav") return FileFormat::Wav;
    if (lower == "flac") return FileFormat::Flac;
    return std::nullopt;
}

std::optional<FileFormat> FormatOfExtension(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    if (extension.size() < 2) return std::nullopt;
    return FormatOfName(std::string_view(extension).substr(1));
}

std::string_view ExtensionOf(FileFormat format) { return format == FileFormat::Flac ? ".flac" : ".wav"; }

void CheckFormat(const AudioFormat& format) {
    if (format.bits != 16 && format.bits != 24 && format.bits != 32) throw RenderError("--bits must be 16, 24 or 32");
    if (format.format == FileFormat::Flac && format.bits == 32) {
        throw RenderError("FLAC stores 16 or 24 bit samples only: use --bits 16 or 24, or write WAV for 32-bit float");
    }
}

AudioFileWriter::AudioFileWriter(std::filesystem::path target, const AudioFormat& format) : target_(std::move(target)) {
    CheckFormat(format);
    const std::string where = "cannot write '" + target_.string() + "': ";
    std::error_code error;
    if (std::filesystem::is_directory(target_, error)) throw RenderError(where + "it is a folder");

    std::filesystem::path folder = target_.parent_path();
    if (folder.empty()) folder = ".";
    // Hidden beside the target; built by appending (GCC 12 mistakes "." + name for an overlapping copy).
    std::string hiddenName(".");
    hiddenName.append(target_.filename().string()).append(".XXXXXX");
    std::string pattern = (folder / hiddenName).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) throw RenderError(where + std::strerror(errno));
    temporary_ = name.data();
    fchmod(descriptor, NewFileMode());

    SF_INFO info{};
    info.samplerate = format.sampleRate;
    info.channels = format.channels;
    info.format = (format.format == FileFormat::Flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SubtypeOf(format);
    descriptor_ = descriptor;
    file_ = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (file_ == nullptr) {
        const std::string why = sf_strerror(nullptr);
        Discard();
        throw RenderError(where + why);
    }
    // Integer formats clip instead of wrapping around; the float PEAK chunk
    // would carry the time of writing and make equal renders differ.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_command(file_, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioFileWriter::~AudioFileWriter() {
    if (!committed_) Discard();
}

int AudioFileWriter::CloseFile() {
    int result = 0;
    if (file_ != nullptr) result = sf_close(file_);
    file_ = nullptr;
    if (descriptor_ >= 0 && close(descriptor_) != 0 && result == 0) result = SF_ERR_SYSTEM;
    descriptor_ = -1;
    return result;
}

void AudioFileWriter::Discard() {
    CloseFile();
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

void AudioFileWriter::Write(const double* interleaved, long long frames) {
    if (frames <= 0) return;
    const sf_count_t written = sf_writef_double(file_, interleaved, frames);
    if (written != frames) {
        const std::string why = sf_strerror(file_);
        Discard();
        throw RenderError("cannot write '" + target_.string() + "': " + why);
    }
    frames_ += frames;
}

void AudioFileWriter::Commit() {
    const std::string where = "cannot write '" + target_.string() + "': ";
    sf_write_sync(file_);
    const int closed = CloseFile();
    if (closed != 0) {
        Discard();
        throw RenderError(where + sf_error_number(closed));
    }
    std::error_code error;
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        Discard();
        throw RenderError(where + error.message());
    }
    temporary_.clear();
    committed_ = true;
}

}  // namespace render
