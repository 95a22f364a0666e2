// Name helpers: the nearest names to a misspelt one, and file names made
// from program names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace render {

// Edit distance between two texts, ignoring letter case.
std::size_t EditDistance(std::string_view a, std::string_view b);

// Edit distance between `wanted` and the part of `name` it is nearest to, ignoring case.
std::size_t PartDistance(std::string_view wanted, std::string_view name);

// Up to `count` names nearest to `wanted`, nearest first: by PartDistance,
// then EditDistance; equal distances keep list order.
std::vector<std::string> NearestNames(std::string_view wanted, const std::vector<std::string>& names, std::size_t count = 3);

// The program `wanted` names: an index (digits only) below the number of
// programs, or exactly one of the names (the first, if several are equal).
// Throws RenderError suggesting the nearest names.
int ProgramIndexOf(std::string_view wanted, const std::vector<std::string>& programNames);

// A list of programs: indices, ranges such as "0-15", and names.
std::vector<int> ProgramIndicesOf(const std::vector<std::string>& items, const std::vector<std::string>& programNames);

// "did you mean 'A', 'B' or 'C'?", or an empty text for no names.
std::string DidYouMean(const std::vector<std::string>& names);

// The name with characters that are unsafe in file names replaced by '_',
// without leading or trailing spaces and dots; "untitled" when nothing is left.
std::string SanitisedFileName(std::string_view name);

}  // namespace render
