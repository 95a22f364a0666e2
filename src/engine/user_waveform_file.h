// Reading user waveform files: raw little-endian 64-bit float samples, or
// 16-bit PCM WAV (mono, or stereo mixed as left + right / 2). Short files
// are stretched over the table; files are untrusted and every read is
// bounded by what the file really holds.
#pragma once

#include <filesystem>
#include <span>

#include "engine/waveform_table.h"

namespace Korvane {

using TableSamples = std::span<double, WaveformTable::kSize>;

// Loads `path` into `table`. Returns false, leaving the table unchanged,
// when the file cannot be opened or (WAV) is not a 16-bit mono or stereo
// PCM file. A name ending in ".wav" is read as WAV, any other as raw.
bool LoadUserWaveformFile(const std::filesystem::path& path, TableSamples table, TableSamples scratch);

// Reads raw samples from `bytes`; the table keeps entries beyond a short file's stretch.
void ReadRawWaveform(std::span<const unsigned char> bytes, TableSamples table, TableSamples scratch);

// Reads a WAV image; returns false and leaves the table alone when it is rejected.
bool ReadWavWaveform(std::span<const unsigned char> bytes, TableSamples table, TableSamples scratch);

// Stretches the first `count` scratch samples (1..4095) over the table. An
// entry whose rounded source position falls past the end keeps its value.
void StretchIntoTable(std::span<const double> scratch, int count, TableSamples table);

}  // namespace Korvane
