#include "names.h"

#include <algorithm>
#include <limits>
#include <cctype>
#include <numeric>
#include <string>

#include "render_error.h"

namespace render {

std::size_t EditDistance(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t substitution = diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::size_t PartDistance(std::string_view wanted, std::string_view name) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    // As EditDistance, but the match may start and end anywhere in `name`.
    std::vector<std::size_t> row(name.size() + 1, 0);
    for (std::size_t i = 1; i <= wanted.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= name.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t substitution = diagonal + (lower(wanted[i - 1]) == lower(name[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    std::size_t best = std::numeric_limits<std::size_t>::max();
    for (std::size_t value : row) best = std::min(best, value);
    return best;
}

std::vector<std::string> NearestNames(std::string_view wanted, const std::vector<std::string>& names, std::size_t count) {
    struct Rank {
        std::size_t part;
        std::size_t whole;
        std::size_t position;
    };
    std::vector<Rank> ranked;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) continue;
        ranked.push_back({PartDistance(wanted, names[i]), EditDistance(wanted, names[i]), i});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Rank& x, const Rank& y) {
        return x.part != y.part ? x.part < y.part : x.whole < y.whole;
    });
    std::vector<std::string> nearest;
    for (const Rank& rank : ranked) {
        if (nearest.size() == count) break;
        if (std::find(nearest.begin(), nearest.end(), names[rank.position]) == nearest.end()) nearest.push_back(names[rank.position]);
    }
    return nearest;
}

namespace {

bool IsNumber(std::string_view text) {
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

int CheckedIndex(std::string_view text, std::size_t count) {
    const int index = std::stoi(std::string(text));
    if (static_cast<std::size_t>(index) >= count) {
        throw RenderError("there is no program " + std::string(text) + ": the module has programs 0 to " + std::to_string(count - 1));
    }
    return index;
}

}  // namespace

int ProgramIndexOf(std::string_view wanted, const std::vector<std::string>& programNames) {
    if (programNames.empty()) throw RenderError("the module has no programs");
    if (IsNumber(wanted)) return CheckedIndex(wanted, programNames.size());
    const auto found = std::find(programNames.begin(), programNames.end(), wanted);
    if (found != programNames.end()) return static_cast<int>(found - programNames.begin());
    const std::string hint = DidYouMean(NearestNames(wanted, programNames));
    throw RenderError("no program is named '" + std::string(wanted) + "'" + (hint.empty() ? "" : "; " + hint) + " (see --list-programs)");
}

std::vector<int> ProgramIndicesOf(const std::vector<std::string>& items, const std::vector<std::string>& programNames) {
    std::vector<int> indices;
    for (const std::string& item : items) {
        const std::size_t dash = item.find('-');
        if (dash != std::string::npos && IsNumber(std::string_view(item).substr(0, dash)) && IsNumber(std::string_view(item).substr(dash + 1))) {
            const int first = CheckedIndex(std::string_view(item).substr(0, dash), programNames.size());
            const int last = CheckedIndex(std::string_view(item).substr(dash + 1), programNames.size());
            if (first > last) throw RenderError("bad program range '" + item + "': the first is above the last");
            for (int index = first; index <= last; ++index) indices.push_back(index);
        } else {
            indices.push_back(ProgramIndexOf(item, programNames));
        }
    }
    return indices;
}

std::string DidYouMean(const std::vector<std::string>& names) {
    if (names.empty()) return {};
    std::string text = "did you mean ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += "'" + names[i] + "'";
    }
    return text + "?";
}

std::string SanitisedFileName(std::string_view name) {
    std::string safe;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unsafe = byte < 0x20 || byte == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        safe.push_back(unsafe ? '_' : c);
    }
    const std::size_t first = safe.find_first_not_of(" .");
    if (first == std::string::npos) return "untitled";
    const std::size_t last = safe.find_last_not_of(" .");
    return safe.substr(first, last - first + 1);
}

}  // namespace render
