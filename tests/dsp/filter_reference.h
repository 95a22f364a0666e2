// Reference responses of the filter designs, computed independently with
// scipy by tools/filter_reference/generate_filter_reference.py.
#pragma once

#include <complex>
#include <string_view>
#include <vector>

struct FilterReferenceCase {
    std::string_view design;  // see the list in the generator
    int order;                // prototype order; 0 for the single-biquad designs
    double sampleRate;        // Hz
    double frequency;         // cutoff or centre, Hz
    double widthHz;           // band width for band designs, else 0
    double gainDb;            // shelf gain, else 0
    double rippleDb;          // Chebyshev ripple, else 0
    double q;                 // RBJ q (Q or the bandwidth value used directly as q), else 0
    std::vector<std::complex<double>> poles;  // digital, z-plane
    std::vector<std::complex<double>> zeros;  // digital, z-plane
    std::vector<double> frequencies;          // cycles per sample, 0 .. 0.5
    std::vector<double> magnitudes;           // |H| at those frequencies
    std::vector<double> phases;               // arg H in radians, (-pi, pi]
    std::vector<double> impulse;              // first 64 samples of the impulse response
};

extern const std::vector<FilterReferenceCase> kFilterReferenceCases;
