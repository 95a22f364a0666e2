#include "engine/oscillator_filters.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/oscillator_filters.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>
#include <hwy/contrib/math/math-inl.h>

#include "engine/biquad_tweaked_butterworth_hp.h"

HWY_BEFORE_NAMESPACE();
namespace Korvane::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// Up to four lanes: all four oscillators in one vector where the processor
// has 256-bit vectors, two groups of two otherwise.
using D = hn::CappedTag<double, OscillatorFilters::kLanes>;
using V = hn::Vec<D>;
using Hp = BiquadTweakedButterworthHP<double>;

void FilterOscillatorsImpl(OscillatorFilters& filters, const OscillatorFilters::Lanes& resonanceLanes,
                           const OscillatorFilters::Lanes& typeLanes, const OscillatorFilters::Lanes& activeLanes,
                           const double* input, const double* cutoff, const double* volume, double* output, int count) {
    const D d;
    constexpr int kLanes = OscillatorFilters::kLanes;
    const auto width = static_cast<int>(hn::Lanes(d));
    const V zero = hn::Zero(d);
    const V one = hn::Set(d, 1.0);
    for (int group = 0; group < kLanes; group += width) {
        const auto active = hn::Ne(hn::LoadU(d, activeLanes.data() + group), zero);
        const V resonance = hn::LoadU(d, resonanceLanes.data() + group);
        const V type = hn::LoadU(d, typeLanes.data() + group);
        V s0 = hn::LoadU(d, filters.s0.data() + group);
        V s1 = hn::LoadU(d, filters.s1.data() + group);
        V s2 = hn::LoadU(d, filters.s2.data() + group);
        V s3 = hn::LoadU(d, filters.s3.data() + group);
        V x1 = hn::LoadU(d, filters.x1.data() + group);
        V x2 = hn::LoadU(d, filters.x2.data() + group);
        V y1 = hn::LoadU(d, filters.y1.data() + group);
        V y2 = hn::LoadU(d, filters.y2.data() + group);
        V b0 = hn::LoadU(d, filters.b0.data() + group);
        V b1 = hn::LoadU(d, filters.b1.data() + group);
        V b2 = hn::LoadU(d, filters.b2.data() + group);
        V a1 = hn::LoadU(d, filters.a1.data() + group);
        V a2 = hn::LoadU(d, filters.a2.data() + group);
        V lastCutoff = hn::LoadU(d, filters.lastCutoff.data() + group);
        V lastResonance = hn::LoadU(d, filters.lastResonance.data() + group);
        const V s0In = s0, s1In = s1, s2In = s2, s3In = s3, x1In = x1, x2In = x2, y1In = y1, y2In = y2;
        const V b0In = b0, b1In = b1, b2In = b2, a1In = a1, a2In = a2, lastCutoffIn = lastCutoff;
        const V lastResonanceIn = lastResonance;

        for (int frame = 0; frame < count; ++frame) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(frame) * kLanes + group;
            const V x = hn::LoadU(d, input + at);
            const V c = hn::LoadU(d, cutoff + at);

            // Four-pole low-pass, resonance fed back from the second stage.
            const V f = hn::Min(hn::Max(c, hn::Set(d, 0.01)), hn::Set(d, 0.99));
            const V feedback = hn::Add(resonance, hn::Div(resonance, hn::Sub(one, f)));
            const auto silent = hn::Eq(x, zero);
            const V n0 = hn::Add(s0, hn::Mul(f, hn::Add(hn::Sub(x, s0), hn::Mul(feedback, hn::Sub(s0, s1)))));
            const V n1 = hn::Add(s1, hn::Mul(f, hn::Sub(n0, s1)));
            const V n2 = hn::Add(s2, hn::Mul(f, hn::Sub(n1, s2)));
            const V n3 = hn::Add(s3, hn::Mul(f, hn::Sub(n2, s3)));
            s0 = hn::IfThenElse(silent, s0, n0);
            s1 = hn::IfThenElse(silent, s1, n1);
            s2 = hn::IfThenElse(silent, s2, n2);
            s3 = hn::IfThenElse(silent, s3, n3);
            const V lowPassed = hn::IfThenZeroElse(silent, n3);

            // High-pass coefficients follow cutoff and resonance where they moved.
            // Written as "not equal" so that NaN, the mark of nothing computed yet, counts as moved.
            const auto moved = hn::Not(hn::And(hn::Eq(c, lastCutoff), hn::Eq(resonance, lastResonance)));
            if (!hn::AllFalse(d, moved)) {
                const V f0 = hn::Max(hn::Set(d, Hp::kMinimumCutoff), hn::Mul(hn::Mul(c, hn::Set(d, 0.5)), hn::Set(d, Hp::kCutoffScale)));
                const V angle = hn::Mul(hn::Set(d, Hp::kPi), f0);
                const V k = hn::Div(hn::Sin(d, angle), hn::Cos(d, angle));
                const V damping = hn::Sub(hn::Set(d, Hp::kSqrt2), hn::Mul(resonance, hn::Set(d, Hp::kSqrt2)));
                const V kk = hn::Mul(k, k);
                const V dk = hn::Mul(damping, k);
                const V denominator = hn::Add(hn::Add(one, dk), kk);
                b0 = hn::IfThenElse(moved, hn::Div(one, denominator), b0);
                b1 = hn::IfThenElse(moved, hn::Div(hn::Set(d, -2.0), denominator), b1);
                b2 = hn::IfThenElse(moved, hn::Div(one, denominator), b2);
                a1 = hn::IfThenElse(moved, hn::Div(hn::Mul(hn::Set(d, 2.0), hn::Sub(kk, one)), denominator), a1);
                a2 = hn::IfThenElse(moved, hn::Div(hn::Add(hn::Sub(one, dk), kk), denominator), a2);
                lastCutoff = c;
                lastResonance = resonance;
            }
            const V highPassed = hn::Sub(hn::Sub(hn::Add(hn::Add(hn::Mul(b0, x), hn::Mul(b1, x1)), hn::Mul(b2, x2)), hn::Mul(a1, y1)),
                                         hn::Mul(a2, y2));
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = highPassed;

            const V blended = hn::Add(hn::Mul(hn::Sub(one, type), lowPassed), hn::Mul(type, highPassed));
            hn::StoreU(hn::IfThenElseZero(active, hn::Mul(blended, hn::LoadU(d, volume + at))), d, output + at);
        }

        auto store = [&](V value, V original, OscillatorFilters::Lanes& lanes) {
            hn::StoreU(hn::IfThenElse(active, value, original), d, lanes.data() + group);
        };
        store(s0, s0In, filters.s0);
        store(s1, s1In, filters.s1);
        store(s2, s2In, filters.s2);
        store(s3, s3In, filters.s3);
        store(x1, x1In, filters.x1);
        store(x2, x2In, filters.x2);
        store(y1, y1In, filters.y1);
        store(y2, y2In, filters.y2);
        store(b0, b0In, filters.b0);
        store(b1, b1In, filters.b1);
        store(b2, b2In, filters.b2);
        store(a1, a1In, filters.a1);
        store(a2, a2In, filters.a2);
        store(lastCutoff, lastCutoffIn, filters.lastCutoff);
        store(lastResonance, lastResonanceIn, filters.lastResonance);
    }
}

}  // namespace Korvane::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace Korvane::kernels {

HWY_EXPORT(FilterOscillatorsImpl);

void FilterOscillators(OscillatorFilters& filters, const OscillatorFilters::Lanes& resonance,
                       const OscillatorFilters::Lanes& type, const OscillatorFilters::Lanes& active,
                       const double* input, const double* cutoff, const double* volume, double* output, int count) {
    HWY_DYNAMIC_DISPATCH(FilterOscillatorsImpl)(filters, resonance, type, active, input, cutoff, volume, output, count);
}

}  // namespace Korvane::kernels
#endif
