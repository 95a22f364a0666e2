// The designs against reference filters computed independently with scipy
// (tests/dsp/filter_reference_data.cpp), and the parameter conventions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <string>

#include "dsp/designs.h"
#include "dsp/filter.h"
#include "dsp/filter_reference.h"

using namespace Dsp;

namespace {

template <typename Design>
using TwoChannel = SmoothedFilterDesign<Design, 2, DirectFormI>;

// A filter for a reference case, with its parameters set in native units.
std::unique_ptr<Filter> MakeFilter(const FilterReferenceCase& c) {
    std::unique_ptr<Filter> filter;
    Params p{};
    const std::string_view d = c.design;
    if (d == "ButterworthLowPass") filter = std::make_unique<TwoChannel<Butterworth::Design::LowPass<4>>>(512);
    if (d == "ButterworthHighPass") filter = std::make_unique<TwoChannel<Butterworth::Design::HighPass<4>>>(512);
    if (d == "ButterworthBandPass") filter = std::make_unique<TwoChannel<Butterworth::Design::BandPass<2>>>(512);
    if (d == "ButterworthBandStop") filter = std::make_unique<TwoChannel<Butterworth::Design::BandStop<2>>>(512);
    if (d == "ButterworthLowShelf") filter = std::make_unique<TwoChannel<Butterworth::Design::LowShelf<4>>>(512);
    if (d == "ButterworthHighShelf") filter = std::make_unique<TwoChannel<Butterworth::Design::HighShelf<4>>>(512);
    if (d == "ButterworthBandShelf") filter = std::make_unique<TwoChannel<Butterworth::Design::BandShelf<2>>>(512);
    if (d == "ChebyshevLowPass") filter = std::make_unique<TwoChannel<ChebyshevI::Design::LowPass<4>>>(512);
    if (d == "ChebyshevHighPass") filter = std::make_unique<TwoChannel<ChebyshevI::Design::HighPass<4>>>(512);
    if (d == "RbjLowPass") filter = std::make_unique<TwoChannel<RBJ::Design::LowPass>>(512);
    if (d == "RbjHighPass") filter = std::make_unique<TwoChannel<RBJ::Design::HighPass>>(512);
    if (d == "RbjBandPass1") filter = std::make_unique<TwoChannel<RBJ::Design::BandPass1>>(512);
    if (d == "RbjBandStop") filter = std::make_unique<TwoChannel<RBJ::Design::BandStop>>(512);
    if (!filter) return nullptr;

    p = filter->GetDefaultParams();
    auto set = [&](int id, double value) {
        const int index = filter->FindParamId(id);
        if (index >= 0) p[static_cast<std::size_t>(index)] = value;
    };
    set(idSampleRate, c.sampleRate);
    set(idOrder, c.order);
    set(idFrequency, c.frequency);
    set(idBandwidthHz, c.widthHz);
    set(idGain, c.gainDb);
    set(idRippleDb, c.rippleDb);
    set(idQ, c.q);
    set(idBandwidth, c.q);  // the band RBJ designs use their bandwidth value as q
    filter->SetParams(p);
    filter->Reset();
    return filter;
}

std::vector<Complex> Roots(const Filter& filter, bool poles) {
    std::vector<Complex> roots;
    for (const PoleZeroPair& pair : filter.GetPoleZeros()) {
        const Complex* values = poles ? pair.poles : pair.zeros;
        roots.push_back(values[0]);
        if (!pair.firstOrder) roots.push_back(values[1]);
    }
    return roots;
}

// Every expected root is matched by a distinct actual root.
void ExpectSameRoots(std::vector<Complex> actual, const std::vector<Complex>& expected, double tolerance,
                     const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (const Complex& root : expected) {
        auto nearest = std::min_element(actual.begin(), actual.end(),
                                        [&](Complex a, Complex b) { return std::abs(a - root) < std::abs(b - root); });
        EXPECT_LT(std::abs(*nearest - root), tolerance) << what << " root " << root;
        actual.erase(nearest);
    }
}

// The response to a unit impulse, with the tiny anti-denormal offset's own
// response (the same filter fed silence) taken away: the filter is linear.
std::vector<double> ImpulseResponse(const FilterReferenceCase& c, std::size_t length) {
    auto impulseFilter = MakeFilter(c);
    auto silentFilter = MakeFilter(c);
    std::vector<double> impulse(length, 0.0), silence(length, 0.0), other(length, 0.0);
    impulse[0] = 1.0;
    double* impulseChannels[2] = {impulse.data(), other.data()};
    impulseFilter->Process(static_cast<int>(length), impulseChannels);
    std::vector<double> silenceOther(length, 0.0);
    double* silentChannels[2] = {silence.data(), silenceOther.data()};
    silentFilter->Process(static_cast<int>(length), silentChannels);
    for (std::size_t i = 0; i < length; ++i) impulse[i] -= silence[i];
    return impulse;
}

std::string CaseName(const FilterReferenceCase& c) {
    return std::string(c.design) + " order " + std::to_string(c.order) + " fs " + std::to_string(c.sampleRate) + " f " +
           std::to_string(c.frequency);
}

}  // namespace

TEST(FilterDesigns, MatchTheReferenceResponses) {
    ASSERT_GE(kFilterReferenceCases.size(), 40u);
    for (const FilterReferenceCase& c : kFilterReferenceCases) {
        const std::string name = CaseName(c);
        auto filter = MakeFilter(c);
        ASSERT_NE(filter, nullptr) << name;
        for (std::size_t i = 0; i < c.frequencies.size(); ++i) {
            const Complex response = filter->Response(c.frequencies[i]);
            EXPECT_NEAR(std::abs(response), c.magnitudes[i], 1e-9 * std::max(1.0, c.magnitudes[i]))
                << name << " at " << c.frequencies[i];
            if (c.magnitudes[i] > 1e-6) {
                const double phaseError = std::remainder(std::arg(response) - c.phases[i], 2.0 * std::numbers::pi);
                EXPECT_NEAR(phaseError, 0.0, 1e-7) << name << " phase at " << c.frequencies[i];
            }
        }
    }
}

TEST(FilterDesigns, PlaceThePolesAndZerosOfTheReference) {
    for (const FilterReferenceCase& c : kFilterReferenceCases) {
        auto filter = MakeFilter(c);
        ExpectSameRoots(Roots(*filter, true), c.poles, 1e-7, CaseName(c) + " poles");
        // Multiple zeros on the unit circle are ill-conditioned in the reference; compare loosely.
        ExpectSameRoots(Roots(*filter, false), c.zeros, 1e-5, CaseName(c) + " zeros");
    }
}

TEST(FilterDesigns, ProcessingGivesTheReferenceImpulseResponse) {
    for (const FilterReferenceCase& c : kFilterReferenceCases) {
        const std::vector<double> response = ImpulseResponse(c, c.impulse.size());
        for (std::size_t i = 0; i < c.impulse.size(); ++i) {
            ASSERT_NEAR(response[i], c.impulse[i], 1e-9) << CaseName(c) << " sample " << i;
        }
    }
}

TEST(FilterDesigns, DirectFormsAgreeAndFloatChannelsFollowDoubles) {
    SmoothedFilterDesign<ChebyshevI::Design::LowPass<4>, 2, DirectFormI> formI(512);
    SmoothedFilterDesign<ChebyshevI::Design::LowPass<4>, 2, DirectFormII> formII(512);
    Params p = formI.GetDefaultParams();
    p[1] = 4;
    p[2] = 3000;
    p[3] = 1.0;
    formI.SetParams(p);
    formII.SetParams(p);
    std::vector<double> a(500), b(500), unused(500);
    std::vector<float> f(500), unusedFloat(500);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = b[i] = f[i] = static_cast<float>(std::sin(0.05 * i) + (i % 7 == 0));
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = b[i] = f[i];
    double* pa[2] = {a.data(), unused.data()};
    double* pb[2] = {b.data(), unused.data()};
    SmoothedFilterDesign<ChebyshevI::Design::LowPass<4>, 2, DirectFormII> floatFilter(512);
    floatFilter.SetParams(p);
    float* pf[2] = {f.data(), unusedFloat.data()};
    formI.Process(500, pa);
    formII.Process(500, pb);
    floatFilter.Process(500, pf);
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_NEAR(a[i], b[i], 1e-6) << i;  // the forms differ only in rounding and in where the offset enters
        ASSERT_NEAR(f[i], b[i], 1e-5) << i;
    }
}

TEST(FilterDesigns, SilenceNeverDecaysIntoDenormals) {
    SmoothedFilterDesign<ChebyshevI::Design::HighPass<4>, 2, DirectFormII> filter(512);
    filter.SetParams(filter.GetDefaultParams());
    std::vector<double> left(4096, 0.0), right(4096, 0.0);
    left[0] = right[0] = 1.0;
    double* channels[2] = {left.data(), right.data()};
    for (int block = 0; block < 200; ++block) {
        filter.Process(4096, channels);
        for (double sample : left) ASSERT_NE(std::fpclassify(sample), FP_SUBNORMAL);
        std::fill(left.begin(), left.end(), 0.0);
        std::fill(right.begin(), right.end(), 0.0);
    }
}

TEST(FilterDesigns, RbjBandPassWithBandwidthOneHasUnityPeak) {
    SmoothedFilterDesign<RBJ::Design::BandPass1, 2, DirectFormII> filter(512);
    Params p = filter.GetDefaultParams();
    EXPECT_EQ(p[2], 1.0) << "the bandwidth parameter defaults to 1";
    p[1] = 1000.0;
    filter.SetParams(p);
    EXPECT_NEAR(std::abs(filter.Response(1000.0 / 44100.0)), 1.0, 1e-12);
}

TEST(FilterDesigns, FrequenciesBeyondNyquistStayStable) {
    SmoothedFilterDesign<RBJ::Design::LowPass, 2, DirectFormII> rbj(512);
    SmoothedFilterDesign<ChebyshevI::Design::HighPass<4>, 2, DirectFormII> chebyshev(512);
    Params p = rbj.GetDefaultParams();
    p[0] = 22050.0;
    p[1] = 22040.0;  // above half of 22050
    rbj.SetParams(p);
    Params q = chebyshev.GetDefaultParams();
    q[0] = 22050.0;
    q[1] = 4;
    q[2] = 22040.0;
    chebyshev.SetParams(q);
    for (const Filter* filter : {static_cast<const Filter*>(&rbj), static_cast<const Filter*>(&chebyshev)}) {
        for (const PoleZeroPair& pair : filter->GetPoleZeros()) {
            EXPECT_LT(std::abs(pair.poles[0]), 1.0) << filter->GetName();
            EXPECT_LT(std::abs(pair.poles[1]), 1.0) << filter->GetName();
        }
    }
}

TEST(ParamInfo, DescriptorsCarryThePublishedRanges) {
    struct Expected {
        ParamInfo info;
        int id;
        std::string_view shortName, longName;
        double minimum, maximum, defaultValue;
    };
    const Expected table[] = {
        {ParamInfo::SampleRate(), 0, "Fs", "Sample Rate", 11025, 192000, 44100},
        {ParamInfo::Order(4), 7, "Order", "Order", 1, 4, 2},
        {ParamInfo::CutoffFrequency(), 1, "Fc", "Cutoff Frequency", 10, 22040, 2000},
        {ParamInfo::CenterFrequency(), 1, "Fc", "Center Frequency", 10, 22040, 2000},
        {ParamInfo::BandwidthHz(), 4, "BW", "Bandwidth (Hz)", 10, 22040, 1720},
        {ParamInfo::Gain(), 5, "Gain", "Gain", -24, 24, -6},
        {ParamInfo::Ripple(), 8, "Ripple", "Ripple dB", 0.001, 12, 0.01},
        {ParamInfo::Resonance(), 2, "Q", "Resonance", -4, 4, 1},
        {ParamInfo::BandwidthOctaves(), 3, "BW", "Bandwidth (Octaves)", -4, 4, 1},
    };
    for (const Expected& e : table) {
        EXPECT_EQ(e.info.Id(), e.id);
        EXPECT_EQ(e.info.ShortName(), e.shortName);
        EXPECT_EQ(e.info.LongName(), e.longName);
        EXPECT_EQ(e.info.Minimum(), e.minimum);
        EXPECT_EQ(e.info.Maximum(), e.maximum);
        EXPECT_EQ(e.info.Default(), e.defaultValue);
    }
}

TEST(ParamInfo, ControlMappingsAndTheirInverses) {
    const ParamInfo fc = ParamInfo::CutoffFrequency();
    EXPECT_NEAR(fc.ToNative(0.0), 10.0, 1e-9);
    EXPECT_NEAR(fc.ToNative(1.0), 22040.0, 1e-7);
    EXPECT_NEAR(fc.ToNative(0.5), std::sqrt(10.0 * 22040.0), 1e-8);
    EXPECT_NEAR(fc.ToControl(std::sqrt(10.0 * 22040.0)), 0.5, 1e-12);
    EXPECT_NEAR(fc.ToNative(1.5), 10.0 * std::pow(2204.0, 1.5), 1e-3) << "no clamping: extrapolates";

    const ParamInfo q = ParamInfo::Resonance();
    EXPECT_DOUBLE_EQ(q.ToNative(0.0), 1.0 / 16.0);
    EXPECT_DOUBLE_EQ(q.ToNative(0.5), 1.0);
    EXPECT_DOUBLE_EQ(q.ToNative(1.0), 16.0);
    EXPECT_DOUBLE_EQ(q.ToControl(4.0), 0.75);

    const ParamInfo order = ParamInfo::Order(4);
    EXPECT_EQ(order.ToNative(0.0), 1.0);
    EXPECT_EQ(order.ToNative(0.49), 2.0);
    EXPECT_EQ(order.ToNative(0.5), 3.0) << "1 + 1.5 rounds half up";
    EXPECT_DOUBLE_EQ(order.ToControl(4.0), 1.0);

    const ParamInfo gain = ParamInfo::Gain();
    EXPECT_DOUBLE_EQ(gain.ToNative(0.25), -12.0);
    EXPECT_DOUBLE_EQ(gain.ToControl(6.0), 0.625);
    EXPECT_DOUBLE_EQ(ParamInfo::Ripple().ToNative(1.0), 12.0);
}

TEST(ParamInfo, TextsFollowTheUnit) {
    EXPECT_EQ(ParamInfo::CutoffFrequency().ToText(2000.7), "2000 Hz");
    EXPECT_EQ(ParamInfo::SampleRate().ToText(44100.0), "44100 Hz");
    EXPECT_EQ(ParamInfo::Order(4).ToText(3.0), "3");
    EXPECT_EQ(ParamInfo::Gain().ToText(0.5), "0.500 dB");
    EXPECT_EQ(ParamInfo::Gain().ToText(-6.0), "-6.00 dB");
    EXPECT_EQ(ParamInfo::Gain().ToText(12.25), "12.2 dB");
    EXPECT_EQ(ParamInfo::Ripple().ToText(0.01), "0.010 dB");
    EXPECT_EQ(ParamInfo::Resonance().ToText(0.7071), "0.707");
}

TEST(FilterDesigns, ParameterListsPerDesign) {
    auto ids = [](const Filter& filter) {
        std::vector<int> list;
        for (int i = 0; i < filter.GetNumParams(); ++i) list.push_back(filter.GetParamInfo(i).Id());
        return list;
    };
    using V = std::vector<int>;
    EXPECT_EQ(ids(TwoChannel<Butterworth::Design::LowShelf<2>>(512)), (V{0, 7, 1, 5}));
    EXPECT_EQ(ids(TwoChannel<Butterworth::Design::HighShelf<2>>(512)), (V{0, 7, 1, 5}));
    EXPECT_EQ(ids(TwoChannel<Butterworth::Design::BandShelf<2>>(512)), (V{0, 7, 1, 4, 5}));
    EXPECT_EQ(ids(TwoChannel<Butterworth::Design::BandPass<2>>(512)), (V{0, 7, 1, 4}));
    EXPECT_EQ(ids(TwoChannel<Butterworth::Design::BandStop<2>>(512)), (V{0, 7, 1, 4}));
    EXPECT_EQ(ids(TwoChannel<ChebyshevI::Design::LowPass<2>>(512)), (V{0, 7, 1, 8}));
    EXPECT_EQ(ids(TwoChannel<ChebyshevI::Design::HighPass<4>>(512)), (V{0, 7, 1, 8}));
    EXPECT_EQ(ids(TwoChannel<RBJ::Design::LowPass>(512)), (V{0, 1, 2}));
    EXPECT_EQ(ids(TwoChannel<RBJ::Design::HighPass>(512)), (V{0, 1, 2}));
    EXPECT_EQ(ids(TwoChannel<RBJ::Design::BandPass1>(512)), (V{0, 1, 3}));
    EXPECT_EQ(ids(TwoChannel<RBJ::Design::BandStop>(512)), (V{0, 1, 3}));

    const TwoChannel<Butterworth::Design::BandShelf<2>> shelf(512);
    EXPECT_EQ(shelf.GetName(), "Butterworth Band Shelf");
    EXPECT_EQ(shelf.GetParamInfo(2).LongName(), "Center Frequency");
    EXPECT_EQ(shelf.GetNumChannels(), 2);
    EXPECT_EQ(shelf.FindParamId(idQ), -1);
    EXPECT_EQ(shelf.FindParamId(idGain), 4);
    EXPECT_EQ(TwoChannel<ChebyshevI::Design::LowPass<4>>(512).GetParamInfo(1).Maximum(), 4.0);
}

TEST(FilterDesigns, DescriptorBeyondTheListIsALogicError) {
    const TwoChannel<RBJ::Design::LowPass> filter(512);
    try {
        (void)filter.GetParamInfo(3);
        FAIL() << "expected a logic error";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "invalid usage of ParamInfo");
    }
    EXPECT_THROW((void)filter.GetParamInfo(-1), std::logic_error);
}
