// Curve tables of the distortion types, computed by an independent
// implementation: tools/distortion_reference/generate_distortion_reference.py.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

struct CurveReference {
    int type;
    std::string_view name;
    int size;
    std::vector<std::pair<int, double>> entries;  // (index, value)
};

extern const std::vector<CurveReference> kCurveReferences;
