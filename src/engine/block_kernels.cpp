#include "engine/block_kernels.h"

#include <cstddef>
#include <cstdint>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/block_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>
#include <hwy/contrib/math/math-inl.h>

#include "engine/laws.h"

HWY_BEFORE_NAMESPACE();
namespace Korvane::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<double>;
using DI = hn::RebindToSigned<D>;
constexpr double kTableSize = 4096.0;
constexpr int64_t kTableMask = 4095;
constexpr double kTwoPi = 6.283185307179586476925;

// Runs `body(offset, loaded...)` over whole vectors, then over the tail
// through a zero-padded copy so that every frame takes the same lane code.
template <int kInputs, typename Body>
HWY_INLINE void ForEachVector(const double* const (&inputs)[kInputs], double* out, int count, const Body& body) {
    const D d;
    const auto lanes = static_cast<int>(hn::Lanes(d));
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::Vec<D> in[kInputs];
        for (int k = 0; k < kInputs; ++k) in[k] = hn::LoadU(d, inputs[k] + i);
        hn::StoreU(body(in), d, out + i);
    }
    if (i == count) return;
    HWY_ALIGN double padded[kInputs][hn::MaxLanes(D())] = {};
    HWY_ALIGN double result[hn::MaxLanes(D())];
    const int rest = count - i;
    hn::Vec<D> in[kInputs];
    for (int k = 0; k < kInputs; ++k) {
        for (int j = 0; j < rest; ++j) padded[k][j] = inputs[k][i + j];
        in[k] = hn::Load(d, padded[k]);
    }
    hn::Store(body(in), d, result);
    for (int j = 0; j < rest; ++j) out[i + j] = result[j];
}

// table[index] for every lane, by plain loads: on the processors we
// measured, faster than the gather instruction for a handful of lanes.
HWY_INLINE hn::Vec<D> TableAt(const double* table, hn::Vec<DI> index) {
    const D d;
    const DI di;
    HWY_ALIGN int64_t at[hn::MaxLanes(D())];
    HWY_ALIGN double values[hn::MaxLanes(D())];
    hn::Store(index, di, at);
    for (size_t lane = 0; lane < hn::Lanes(d); ++lane) values[lane] = table[at[lane]];
    return hn::Load(d, values);
}

// The fraction of a phase in cycles, 0 where it is not in [0, 1).
HWY_INLINE hn::Vec<D> Fraction(D d, hn::Vec<D> phase) {
    const auto x = hn::Sub(phase, hn::Floor(phase));
    const auto inside = hn::And(hn::Ge(x, hn::Zero(d)), hn::Lt(x, hn::Set(d, 1.0)));
    return hn::IfThenElseZero(inside, x);
}

void ReadInterpolatedImpl(const double* table, const double* phase, double* out, int count) {
    const double* inputs[1] = {phase};
    ForEachVector<1>(inputs, out, count, [table](const hn::Vec<D>(&in)[1]) {
        const D d;
        const DI di;
        const auto scaled = hn::Mul(hn::Set(d, kTableSize), Fraction(d, in[0]));
        const auto whole = hn::Floor(scaled);
        const auto index = hn::And(hn::ConvertTo(di, whole), hn::Set(di, kTableMask));
        const auto next = hn::And(hn::Add(index, hn::Set(di, 1)), hn::Set(di, kTableMask));
        const auto t = hn::Sub(scaled, whole);
        const auto a = TableAt(table, index);
        const auto b = TableAt(table, next);
        return hn::Add(hn::Mul(hn::Sub(hn::Set(d, 1.0), t), a), hn::Mul(t, b));
    });
}

void ReadNearestImpl(const double* table, const double* phase, double* out, int count) {
    const double* inputs[1] = {phase};
    ForEachVector<1>(inputs, out, count, [table](const hn::Vec<D>(&in)[1]) {
        const D d;
        const DI di;
        const auto x = hn::Sub(in[0], hn::Floor(in[0]));
        const auto position = hn::Mul(x, hn::Set(d, kTableSize));
        const auto inside = hn::And(hn::Ge(position, hn::Zero(d)), hn::Lt(position, hn::Set(d, kTableSize)));
        const auto index = hn::And(hn::ConvertTo(di, hn::IfThenElseZero(inside, position)), hn::Set(di, kTableMask));
        return TableAt(table, index);
    });
}

void TriangleImpl(const double* phase, double* out, int count) {
    const double* inputs[1] = {phase};
    ForEachVector<1>(inputs, out, count, [](const hn::Vec<D>(&in)[1]) {
        const D d;
        const auto f = hn::Sub(in[0], hn::Floor(in[0]));
        const auto four = hn::Set(d, 4.0);
        const auto rising = hn::Mul(four, f);
        const auto falling = hn::Sub(hn::Set(d, 2.0), hn::Mul(four, f));
        const auto returning = hn::Mul(four, hn::Sub(f, hn::Set(d, 1.0)));
        return hn::IfThenElse(hn::Lt(f, hn::Set(d, 0.25)), rising,
                              hn::IfThenElse(hn::Lt(f, hn::Set(d, 0.75)), falling, returning));
    });
}

void RawSawtoothImpl(const double* phase, double* out, int count) {
    const double* inputs[1] = {phase};
    ForEachVector<1>(inputs, out, count, [](const hn::Vec<D>(&in)[1]) {
        const D d;
        const auto f = hn::Sub(in[0], hn::Floor(in[0]));
        const auto wrapped = hn::IfThenElse(hn::Lt(f, hn::Set(d, 0.5)), f, hn::Sub(f, hn::Set(d, 1.0)));
        return hn::Mul(wrapped, hn::Set(d, 2.0));
    });
}

void RawPulseImpl(const double* phase, double width, double* out, int count) {
    const double* inputs[1] = {phase};
    ForEachVector<1>(inputs, out, count, [width](const hn::Vec<D>(&in)[1]) {
        const D d;
        const auto f = hn::Sub(in[0], hn::Floor(in[0]));
        return hn::IfThenElse(hn::Lt(f, hn::Set(d, width)), hn::Set(d, 1.0), hn::Set(d, -1.0));
    });
}

void SineOfCyclesImpl(const double* cycles, double* out, int count) {
    const double* inputs[1] = {cycles};
    ForEachVector<1>(inputs, out, count, [](const hn::Vec<D>(&in)[1]) {
        const D d;
        // The vector sine is exact only within +-39000 radians: reduce to one cycle first.
        const auto fraction = hn::Sub(in[0], hn::Floor(in[0]));
        return hn::Sin(d, hn::Mul(hn::Set(d, kTwoPi), fraction));
    });
}

void ScaledSineImpl(const double* radians, double depth, double* out, int count) {
    const double* inputs[1] = {radians};
    ForEachVector<1>(inputs, out, count, [depth](const hn::Vec<D>(&in)[1]) {
        const D d;
        const auto cycles = hn::Mul(in[0], hn::Set(d, 1.0 / kTwoPi));
        const auto fraction = hn::Sub(cycles, hn::Floor(cycles));
        return hn::Mul(hn::Set(d, depth), hn::Sin(d, hn::Mul(hn::Set(d, kTwoPi), fraction)));
    });
}

void FoldInvertedImpl(double* samples, int count) {
    const double* inputs[1] = {samples};
    ForEachVector<1>(inputs, samples, count, [](const hn::Vec<D>(&in)[1]) {
        const D d;
        const auto one = hn::Set(d, 1.0);
        const auto x = in[0];
        const auto positive = hn::Sub(one, x);
        const auto negative = hn::Sub(hn::Neg(one), x);
        return hn::IfThenElse(hn::Gt(x, hn::Zero(d)), positive, hn::IfThenElse(hn::Lt(x, hn::Zero(d)), negative, x));
    });
}

void DivideImpl(const double* x, double divisor, double* out, int count) {
    const double* inputs[1] = {x};
    ForEachVector<1>(inputs, out, count, [divisor](const hn::Vec<D>(&in)[1]) { return hn::Div(in[0], hn::Set(D(), divisor)); });
}

void MeanOfTwoImpl(const double* a, const double* b, double* out, int count) {
    const double* inputs[2] = {a, b};
    ForEachVector<2>(inputs, out, count, [](const hn::Vec<D>(&in)[2]) {
        const D d;
        return hn::Div(hn::Add(in[0], in[1]), hn::Set(d, 2.0));
    });
}

void SaturateImpl(double* samples, const double* drive, int count) {
    const double* inputs[2] = {samples, drive};
    ForEachVector<2>(inputs, samples, count, [](const hn::Vec<D>(&in)[2]) {
        const D d;
        constexpr double kQuarterPi = 0.78539816339744830962;
        const auto driven = hn::Gt(in[1], hn::Zero(d));
        if (hn::AllFalse(d, driven)) return in[0];  // no drive: spare the arctangent
        const auto effective = hn::Max(in[1], hn::Set(d, kMinimumSaturationDrive));
        const auto curve = hn::Div(hn::Atan(d, in[0]), hn::Set(d, kQuarterPi));
        const auto y = hn::Mul(hn::Mul(curve, effective), hn::Set(d, kSaturationDriveScale));
        const auto clipped = hn::Min(hn::Max(y, hn::Set(d, -1.0)), hn::Set(d, 1.0));
        return hn::IfThenElse(driven, clipped, in[0]);
    });
}

void ShapeFilterInputImpl(double* x, double* cutoffOut, const double* envelope, const double* lfo,
                          const FilterInputSettings& settings, int count) {
    const double* inputs[3] = {x, envelope, lfo};
    const D d;
    const auto cutoff = hn::Set(d, settings.cutoff);
    const auto filterMod = hn::Set(d, settings.filterMod);
    const auto one = hn::Set(d, 1.0);
    ForEachVector<3>(inputs, cutoffOut, count, [&](const hn::Vec<D>(&in)[3]) {
        const auto scaled = settings.invertEnvelope ? hn::Mul(hn::Sub(one, in[1]), cutoff) : hn::Mul(cutoff, in[1]);
        const auto base = hn::Mul(scaled, hn::Sub(one, filterMod));
        const auto modulated = hn::Add(base, hn::Mul(hn::Mul(base, in[2]), filterMod));
        return hn::Min(hn::Max(modulated, hn::Zero(d)), one);
    });
    const auto ring = hn::Set(d, settings.ring);
    const auto trim = hn::Set(d, settings.trim);
    const double* ringInputs[2] = {x, lfo};
    ForEachVector<2>(ringInputs, x, count, [&](const hn::Vec<D>(&in)[2]) {
        const auto kept = hn::Mul(in[0], hn::Sub(one, ring));
        return hn::Mul(hn::Add(kept, hn::Mul(hn::Mul(kept, in[1]), ring)), trim);
    });
}

void CurveLookupImpl(const double* table, int size, int interpolation, const double* x, double* out, int count) {
    const double* inputs[1] = {x};
    const double entries = size;
    const double last = size - 1;
    ForEachVector<1>(inputs, out, count, [&](const hn::Vec<D>(&in)[1]) {
        const D d;
        const DI di;
        const auto one = hn::Set(d, 1.0);
        const auto isNan = hn::IsNaN(in[0]);
        const auto clamped = hn::Min(hn::Max(hn::Mul(hn::Add(in[0], one), hn::Set(d, 0.5)), hn::Set(d, -1.0)), one);
        const auto a = hn::IfThenElse(isNan, hn::Set(d, 0.5), hn::Abs(clamped));  // a non-number reads the centre
        const auto scaled = hn::Mul(hn::Set(d, entries), a);
        const auto c = hn::Floor(scaled);  // 0 .. size
        const auto mu = hn::Sub(scaled, c);
        auto read = [&](hn::Vec<D> position) { return TableAt(table, hn::ConvertTo(di, position)); };
        if (interpolation == 0) {
            const auto inside = hn::Lt(c, hn::Set(d, entries));
            return hn::IfThenElseZero(inside, read(hn::IfThenElseZero(inside, c)));
        }
        const auto top = hn::Set(d, last);
        const auto y0 = read(hn::Max(hn::Sub(c, one), hn::Zero(d)));
        const auto y1 = read(hn::Min(c, top));
        const auto y2 = read(hn::Min(hn::Add(c, one), top));
        const auto y3 = read(hn::Min(hn::Add(c, hn::Set(d, 2.0)), top));
        if (interpolation == 1) return hn::Add(hn::Mul(hn::Sub(one, mu), y1), hn::Mul(mu, y2));
        const auto two = hn::Set(d, 2.0);
        const auto three = hn::Set(d, 3.0);
        const auto mu2 = hn::Mul(mu, mu);
        if (interpolation == 4) {
            const auto mu3 = hn::Mul(mu2, mu);
            const auto m0 = hn::Div(hn::Sub(y2, y0), two);
            const auto m1 = hn::Div(hn::Sub(y3, y1), two);
            const auto h1 = hn::Add(hn::Sub(hn::Mul(two, mu3), hn::Mul(three, mu2)), one);
            const auto h2 = hn::Add(hn::Sub(mu3, hn::Mul(two, mu2)), mu);
            const auto h3 = hn::Sub(mu3, mu2);
            const auto h4 = hn::Add(hn::Mul(hn::Set(d, -2.0), mu3), hn::Mul(three, mu2));
            return hn::Add(hn::Add(hn::Add(hn::Mul(h1, y1), hn::Mul(h2, m0)), hn::Mul(h3, m1)), hn::Mul(h4, y2));
        }
        const auto a0 = hn::Add(hn::Sub(hn::Sub(y3, y2), y0), y1);
        const auto cubic = hn::Add(hn::Add(hn::Add(hn::Mul(hn::Mul(a0, mu), mu2), hn::Mul(hn::Sub(hn::Sub(y0, y1), a0), mu2)),
                                           hn::Mul(hn::Sub(y2, y0), mu)),
                                   y1);
        return hn::IfThenElse(hn::Eq(mu, one), y2, hn::IfThenElse(hn::Eq(mu, hn::Zero(d)), y1, cubic));
    });
}

void Interleave4Impl(const double* a, const double* b, const double* c, const double* e, double* out, int count) {
    const D d;
    const auto lanes = static_cast<int>(hn::Lanes(d));
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreInterleaved4(hn::LoadU(d, a + i), hn::LoadU(d, b + i), hn::LoadU(d, c + i), hn::LoadU(d, e + i), d, out + 4 * i);
    }
    for (; i < count; ++i) {
        out[4 * i] = a[i];
        out[4 * i + 1] = b[i];
        out[4 * i + 2] = c[i];
        out[4 * i + 3] = e[i];
    }
}

void Deinterleave4Impl(const double* in, double* a, double* b, double* c, double* e, int count) {
    const D d;
    const auto lanes = static_cast<int>(hn::Lanes(d));
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::Vec<D> va, vb, vc, ve;
        hn::LoadInterleaved4(d, in + 4 * i, va, vb, vc, ve);
        hn::StoreU(va, d, a + i);
        hn::StoreU(vb, d, b + i);
        hn::StoreU(vc, d, c + i);
        hn::StoreU(ve, d, e + i);
    }
    for (; i < count; ++i) {
        a[i] = in[4 * i];
        b[i] = in[4 * i + 1];
        c[i] = in[4 * i + 2];
        e[i] = in[4 * i + 3];
    }
}

void MixOscillatorsImpl(const MixSources& sources, const double* gain, const double* click, const double* bass,
                        double* mixLeft, double* mixRight, double* bassLayer, int count) {
    const D d;
    const auto lanes = static_cast<int>(hn::Lanes(d));
    const auto half = hn::Set(d, 0.5);
    const auto one = hn::Set(d, 1.0);
    const auto two = hn::Set(d, 2.0);
    auto mix = [&](int at, auto load, auto store) {
        auto left = hn::Zero(d);
        auto right = hn::Zero(d);
        for (int k = 0; k < sources.count; ++k) {
            const auto y = load(sources.samples[k] + at);
            const auto pan = load(sources.pans[k] + at);
            const auto leftward = hn::Lt(pan, half);
            right = hn::Add(right, hn::IfThenElse(leftward, hn::Mul(hn::Mul(two, pan), y), y));
            left = hn::Add(left, hn::IfThenElse(leftward, y, hn::Mul(hn::Sub(one, hn::Mul(two, hn::Sub(pan, half))), y)));
        }
        const auto g = load(gain + at);
        const auto c = hn::Mul(g, load(click + at));
        store(hn::Add(load(mixLeft + at), hn::Add(hn::Mul(g, left), c)), mixLeft + at);
        store(hn::Add(load(mixRight + at), hn::Add(hn::Mul(g, right), c)), mixRight + at);
        store(hn::Add(load(bassLayer + at), hn::Mul(g, load(bass + at))), bassLayer + at);
    };
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        mix(i, [&](const double* p) { return hn::LoadU(d, p); }, [&](hn::Vec<D> v, double* p) { hn::StoreU(v, d, p); });
    }
    // The tail a frame at a time in the first lane.
    for (; i < count; ++i) {
        mix(i, [&](const double* p) { return hn::Set(d, *p); }, [&](hn::Vec<D> v, double* p) { *p = hn::GetLane(v); });
    }
}

}  // namespace Korvane::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace Korvane::kernels {

HWY_EXPORT(ReadInterpolatedImpl);
HWY_EXPORT(ReadNearestImpl);
HWY_EXPORT(TriangleImpl);
HWY_EXPORT(RawSawtoothImpl);
HWY_EXPORT(RawPulseImpl);
HWY_EXPORT(SineOfCyclesImpl);
HWY_EXPORT(ScaledSineImpl);
HWY_EXPORT(FoldInvertedImpl);
HWY_EXPORT(DivideImpl);
HWY_EXPORT(MeanOfTwoImpl);
HWY_EXPORT(SaturateImpl);
HWY_EXPORT(ShapeFilterInputImpl);
HWY_EXPORT(CurveLookupImpl);
HWY_EXPORT(Interleave4Impl);
HWY_EXPORT(Deinterleave4Impl);
HWY_EXPORT(MixOscillatorsImpl);

void ReadInterpolated(const double* table, const double* phase, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(ReadInterpolatedImpl)(table, phase, out, count);
}
void ReadNearest(const double* table, const double* phase, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(ReadNearestImpl)(table, phase, out, count);
}
void Triangle(const double* phase, double* out, int count) { HWY_DYNAMIC_DISPATCH(TriangleImpl)(phase, out, count); }
void RawSawtooth(const double* phase, double* out, int count) { HWY_DYNAMIC_DISPATCH(RawSawtoothImpl)(phase, out, count); }
void RawPulse(const double* phase, double width, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(RawPulseImpl)(phase, width, out, count);
}
void SineOfCycles(const double* cycles, double* out, int count) { HWY_DYNAMIC_DISPATCH(SineOfCyclesImpl)(cycles, out, count); }
void ScaledSine(const double* radians, double depth, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(ScaledSineImpl)(radians, depth, out, count);
}
void FoldInverted(double* samples, int count) { HWY_DYNAMIC_DISPATCH(FoldInvertedImpl)(samples, count); }
void Divide(const double* x, double divisor, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(DivideImpl)(x, divisor, out, count);
}
void MeanOfTwo(const double* a, const double* b, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(MeanOfTwoImpl)(a, b, out, count);
}
void Saturate(double* samples, const double* drive, int count) { HWY_DYNAMIC_DISPATCH(SaturateImpl)(samples, drive, count); }

void ShapeFilterInput(double* x, double* cutoffOut, const double* envelope, const double* lfo,
                      const FilterInputSettings& settings, int count) {
    HWY_DYNAMIC_DISPATCH(ShapeFilterInputImpl)(x, cutoffOut, envelope, lfo, settings, count);
}
void CurveLookup(const double* table, int size, int interpolation, const double* x, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(CurveLookupImpl)(table, size, interpolation, x, out, count);
}
void Interleave4(const double* a, const double* b, const double* c, const double* d, double* out, int count) {
    HWY_DYNAMIC_DISPATCH(Interleave4Impl)(a, b, c, d, out, count);
}
void Deinterleave4(const double* in, double* a, double* b, double* c, double* d, int count) {
    HWY_DYNAMIC_DISPATCH(Deinterleave4Impl)(in, a, b, c, d, count);
}
void MixOscillators(const MixSources& sources, const double* gain, const double* click, const double* bass,
                    double* mixLeft, double* mixRight, double* bassLayer, int count) {
    HWY_DYNAMIC_DISPATCH(MixOscillatorsImpl)(sources, gain, click, bass, mixLeft, mixRight, bassLayer, count);
}

}  // namespace Korvane::kernels
#endif
