// Writes the rendered audio with libsndfile into a temporary file beside
// the target, renamed to the target only once everything is written: a
// failed or interrupted render never leaves a partial file under its name.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

struct sf_private_tag;

namespace render {

enum class FileFormat { Wav, Flac };

struct AudioFormat {
    FileFormat format = FileFormat::Wav;
    int bits = 24;  // 16 or 24 bit integers, or 32 for floating point (WAV only)
    int channels = 2;
    int sampleRate = 44100;
};

// The format an extension names (".wav", ".flac", any case), or nothing.
std::optional<FileFormat> FormatOfExtension(const std::filesystem::path& path);
std::optional<FileFormat> FormatOfName(std::string_view name);
std::string_view ExtensionOf(FileFormat format);

// Throws RenderError for a combination the file format cannot store.
void CheckFormat(const AudioFormat& format);

class AudioFileWriter {
public:
    // Creates the temporary file; throws RenderError when the folder is not writable.
    AudioFileWriter(std::filesystem::path target, const AudioFormat& format);
    // Removes the temporary file unless Commit succeeded.
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Appends interleaved frames (values beyond ±1 clip in integer formats).
    void Write(const double* interleaved, long long frames);
    // Finishes the file and moves it to the target name.
    void Commit();

    const std::filesystem::path& Target() const { return target_; }
    long long FramesWritten() const { return frames_; }

private:
    int CloseFile();
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    sf_private_tag* file_ = nullptr;
    int descriptor_ = -1;
    long long frames_ = 0;
    bool committed_ = false;
};

}  // namespace render
