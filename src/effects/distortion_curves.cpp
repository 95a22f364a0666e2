// Synthesis of the waveshaper's 36 transfer curves. Each builder fills the
// positive branch entry[h + i] = P(u) and the negative branch
// entry[h - 1 - i] = -Q(u) for u = i / h, then runs its post passes. The
// seeded types draw from one generator in a fixed order, so the tables are
// the same on every platform.
#include <array>
#include <cmath>
#include <functional>
#include <numbers>

#include "effects/distortion.h"
#include "engine/lcg_random.h"

namespace Korvane {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr uint32_t kCurveSeed = 1500;

double Clamped(double value, double low, double high) { return value < low ? low : value > high ? high : value; }
double Sin(double multiple, double u) { return std::sin(multiple * kPi * u); }
double Cos(double multiple, double u) { return std::cos(multiple * kPi * u); }

// A table whose branches come from laws of (u, i).
CurveTable FromLaws(int size, const std::function<double(double, int)>& positive,
                    const std::function<double(double, int)>& negative = nullptr) {
    CurveTable table(size);
    const int h = table.Half();
    for (int i = 0; i < h; ++i) {
        const double u = static_cast<double>(i) / h;
        const double p = positive(u, i);
        table[h + i] = p;
        table[h - 1 - i] = -(negative ? negative(u, i) : p);
    }
    return table;
}

// A table whose branches come from two arrays of h values.
CurveTable FromArrays(const std::vector<double>& positive, const std::vector<double>& negative) {
    CurveTable table(static_cast<int>(positive.size()) * 2);
    const int h = table.Half();
    for (int k = 0; k < h; ++k) {
        table[h + k] = positive[static_cast<std::size_t>(k)];
        table[h - 1 - k] = -negative[static_cast<std::size_t>(k)];
    }
    return table;
}

CurveTable Smoothed(CurveTable table) {
    table.Smooth();
    return table;
}

double Sigmoid1(double u) {
    return Clamped(u + 0.4 * Sin(2.0, u) + 0.1 * Sin(7.77, u) * (1.0 - u) + 0.2 * Cos(21.0, u) * (1.0 - u), 0.0, 1.0);
}

double Sigmoid2(double u) {
    return u + 0.3777 * std::sin(2.0 * kPi * u - 1.0084512418023237) + 0.3 * Cos(7.0, u) * (1.0 - u) -
           0.15 * Sin(17.0, u) * (1.0 - u);
}

// The four Hardcore-Fuzz tables, from eight shaped arrays edited in a fixed order.
std::array<CurveTable, 4> HardcoreFuzz() {
    constexpr int n = 256;
    std::array<std::vector<double>, 8> a;
    for (auto& array : a) array.assign(n, 0.0);
    double sign = -1.0;
    for (int k = 0; k < n; ++k) {
        const auto at = static_cast<std::size_t>(k);
        const double u = static_cast<double>(k) / n;
        a[0][at] = u + 0.25 * Sin(1.0, u) + 0.15 * std::abs(Sin(10.0, u));
        a[1][at] = u + 0.2 * Sin(1.0, u) + 0.1 * std::abs(Sin(4.0, u));
        a[2][at] = u + 0.25 * Sin(1.0, u) + 0.15 * std::abs(Sin(6.0, u));
        a[3][at] = u + 0.2 * Sin(1.0, u) + 0.25 * std::abs(Sin(8.0, u));
        if (k % 42 == 0) sign = -sign;
        const double e = (static_cast<double>(k % 42) / 42.0) * sign * 1.5 * (1.0 - u);
        a[4][at] = u - 0.2 * Sin(1.0, u) + e;
        a[5][at] = u - 0.1 * Sin(1.0, u) + e;
        const double f = (static_cast<double>(k % 64) / 64.0) * 1.75;
        a[6][at] = u + 0.1 * Sin(2.0, u) + f * (1.0 - u);
        a[7][at] = u + 0.2 * Sin(2.0, u) + f * (1.0 - u);
    }
    auto& a0 = a[0];
    auto& a1 = a[1];
    auto& a2 = a[2];
    auto& a3 = a[3];
    for (int j = 0; j <= 99; ++j) {
        a1[static_cast<std::size_t>(55 + j)] = a1[74];
        a0[static_cast<std::size_t>(55 + j)] = a0[74] + 0.01 * j;  // a0[74] itself is rewritten at j = 19
    }
    for (int j = 0; j <= 49; ++j) {
        a1[static_cast<std::size_t>(5 + j)] = 0.0;
        a0[static_cast<std::size_t>(25 + j)] = 0.01 * j;
    }
    for (int k = 100; k <= 116; ++k) a1[static_cast<std::size_t>(k)] = 1.0;
    for (int k = 200; k <= 216; ++k) {
        a1[static_cast<std::size_t>(k)] = 1.0;
        a2[static_cast<std::size_t>(k)] = 0.0;
    }
    for (int k = 180; k <= 196; ++k) a2[static_cast<std::size_t>(k)] *= 0.0;
    for (int k = 150; k <= 199; ++k) {
        a3[static_cast<std::size_t>(k)] = 0.0;
        a2[static_cast<std::size_t>(k)] = 1.0;
    }
    for (int k = 7; k <= 43; ++k) {
        a2[static_cast<std::size_t>(k)] = 0.0;
        a1[static_cast<std::size_t>(k)] = 1.0;
    }
    for (int k = 17; k <= 53; ++k) {
        a0[static_cast<std::size_t>(k)] *= 0.1;
        a3[static_cast<std::size_t>(k)] = 1.0;
    }

    CurveTable fuzz1 = FromArrays(a1, a2);
    fuzz1.Clamp();
    fuzz1.Smooth();
    CurveTable fuzz2 = FromArrays(a0, a3);
    fuzz2.Clamp();
    fuzz2.Smooth();
    CurveTable fuzz3 = FromArrays(a[4], a[5]);
    fuzz3.Normalise();
    fuzz3.Smooth();
    CurveTable fuzz4 = FromArrays(a[6], a[7]);
    fuzz4.Normalise();
    fuzz4.Smooth();
    return {std::move(fuzz1), std::move(fuzz2), std::move(fuzz3), std::move(fuzz4)};
}

// Industrial-Fuzz: two bouncing walks, then edits of both branches.
CurveTable IndustrialFuzz() {
    CurveTable table(512);
    double walk1 = 0.0, step1 = 0.04321;
    double walk2 = 0.0, step2 = 0.001;
    for (int k = 0; k < 256; ++k) {
        const double u = static_cast<double>(k) / 256.0;
        if (std::abs(walk1) > 0.2) step1 = -step1;
        const double s = std::abs(walk2) > 0.2 ? -step2 : step2;
        walk1 += step1;
        walk2 -= s;
        step1 -= 0.021;
        step2 = s - 0.002;
        table[256 + k] = walk1 + u;
        table[255 - k] = -(walk2 + u);
    }
    for (int k = 75; k <= 174; ++k) table[256 + k] *= 0.25;
    for (int k = 25; k <= 74; ++k) table[255 - k] = -0.1 * table[255 - k];
    for (int k = 100; k <= 116; ++k) table[256 + k] *= 0.25;
    for (int k = 200; k <= 216; ++k) table[255 - k] = -0.25 * table[255 - k];
    table.Clamp();
    return table;
}

// GrindMoth-Fuzz 1 to 3, built together from three running values.
std::array<CurveTable, 3> GrindMothFuzz(const std::function<double()>& draw) {
    constexpr int h = 64;
    std::array<CurveTable, 3> tables{CurveTable(2 * h), CurveTable(2 * h), CurveTable(2 * h)};
    double t = 0.0, s = 0.0;
    for (int i = 0; i < h; ++i) {
        const double u = static_cast<double>(i) / h;
        const double e = 1.0 - u;
        if (i % 4 == 0) t = draw();
        if (i % 2 == 0) s = draw();
        s = 0.4 * s + u;
        t = 0.4 * t + u;
        double g = 0.5 * draw() + u;
        if (i < 6) t += 0.5 * std::sin(3.0 * kPi * i / 6.0);
        if (i < 8) {
            const double bump = std::sin(2.0 * kPi * i / 8.0);
            s += 0.5 * bump * bump;
        }
        s *= e;
        g += 0.5 * Sin(10.0, u) * e;
        const std::array<std::pair<double, double>, 3> branches = {{{t, s}, {s, g}, {g, t}}};
        for (std::size_t type = 0; type < tables.size(); ++type) {
            tables[type][h + i] = branches[type].first;
            tables[type][h - 1 - i] = -branches[type].second;
        }
    }
    for (CurveTable& table : tables) {
        table.Clamp();
        table.Smooth();
    }
    return tables;
}

// Big-Bad-Drive (seeded) and Big-Fat-Drive, built together.
std::array<CurveTable, 2> BigDrives(const std::function<double()>& draw) {
    constexpr int h = 32;
    std::array<CurveTable, 2> tables{CurveTable(2 * h), CurveTable(2 * h)};
    for (int i = 0; i < h; ++i) {
        const double u = static_cast<double>(i) / h;
        const double r = draw();
        const double k = Sin(4.0, u);
        const double bad = k + u + 0.25 * Sin(8.0, u) + 0.25 * r;
        const double fat = (k > 0.0 ? 1.0 - u + 0.75 * u : 0.75 * u) + 0.25 * Cos(10.0, u) - 0.25 * Sin(12.0, u);
        tables[0][h + i] = bad;
        tables[0][h - 1 - i] = -bad;
        tables[1][h + i] = fat;
        tables[1][h - 1 - i] = -fat;
    }
    for (CurveTable& table : tables) {
        table.Normalise();
        table.Clamp();
        table.Smooth();
    }
    return tables;
}

CurveTable AssKicking() {
    CurveTable table(140);
    double a = 0.5;
    for (int i = 0; i < 70; ++i) {
        const double u = static_cast<double>(i) / 70.0;
        table[70 + i] = u + 0.2 + (1.0 - u) * a;
        table[69 - i] = -(u + (1.0 - u) * a);
        if (i % 7 == 0) a = -a;
    }
    table.Normalise();
    return table;
}

CurveTable TigersBlood() {
    CurveTable table(160);
    double a = 0.0;
    for (int i = 0; i < 80; ++i) {
        const double u = static_cast<double>(i) / 80.0;
        table[80 + i] = (1.0 - u) * a + u;
        table[79 - i] = -((1.0 - u) * (1.0 - u) * a + u);
        if (i == 4) {
            a = 1.0;
        } else if (i % 4 == 0) {
            a = -a;
        }
    }
    table.Normalise();
    return table;
}

CurveTable NoiseGate() {
    CurveTable table(512);  // from u = 0.5 on both branches keep the identity ramp
    for (int i = 0; i < 128; ++i) {
        const double u = i / 256.0;
        const double p = u < 0.25 ? 0.0 : u * std::sin(2.0 * kPi * (u - 0.25));
        table[256 + i] = p;
        table[255 - i] = -p;
    }
    return table;
}

}  // namespace

std::vector<CurveTable> BuildDistortionCurves() {
    LcgRandom random(kCurveSeed);
    const std::function<double()> draw = [&random] { return ((random.Next() % 20000) - 10000) / 10000.0; };
    const double overload = Distortion::kDriveGain * 0.777 / 0.22299999999999998;

    std::vector<CurveTable> tables;
    tables.reserve(Distortion::kTypeCount);
    tables.push_back(FromLaws(512, [](double u, int) { return u; }));
    tables.push_back(FromLaws(512, [](double u, int) { return u < 0.5 ? u : u - 0.8 * (u - 0.5); }));
    tables.push_back(FromLaws(512, [](double u, int) {
        const double t = 2.0 * (u - 0.5);
        return u < 0.5 ? u : u - 0.24 * t * t;
    }));
    tables.push_back(FromLaws(512, [overload](double u, int) { return (overload + 1.0) * u / (overload * u + 1.0); }));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int) { return Sigmoid1(u); })));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int) { return Sigmoid2(u); })));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int) { return Sigmoid1(u); }, [](double u, int) { return Sigmoid2(u); })));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int i) {
        double p = u - 0.4777 * Sin(2.5, u) + 0.144 * Sin(25.0, u) - 0.1777 * Cos(77.7, u);
        if (i < 25) {
            const double bump = std::sin(kPi * i / 25.0);
            p += bump * bump;
        }
        return Clamped(p, 0.0, 1.0);
    })));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int i) { return u + (1.0 - u) * ((i % 179) / 179.0 - 0.288); })));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int) { return u + 0.35777 * Sin(4.0, u); })));
    tables.push_back(Smoothed(FromLaws(512, [](double u, int) { return u + 0.35777 * Sin(4.0, u); },
                                       [](double u, int) { return u + 0.35777 * Sin(4.0, u) - 0.1777 * Cos(3.0, u); })));
    tables.push_back(FromLaws(512, [](double u, int) { return u + (1.0 - u) * Sin(1.0, u); }));
    tables.push_back(FromLaws(512, [](double, int i) {
        return i < 128 ? 0.97 * i / 128.0 : 0.7275 + 0.2425 * (1.0 - (i - 128) / 128.0);
    }));
    tables.push_back(FromLaws(512, [](double u, int) {
        if (u >= 0.8) return u - 0.8 * (u - 0.8);
        const double s = std::sin(kPi * u / 0.8);
        return u - 0.2 * s * s * s;
    }));
    tables.push_back(FromLaws(512, [](double, int i) { return i <= 1 ? 0.0 : 1.0; }));
    const double logHalf = std::log(256.0);
    tables.push_back(Smoothed(FromLaws(512, [logHalf](double u, int i) { return i == 0 ? 0.0 : (std::log(u) + logHalf) / logHalf; })));
    for (CurveTable& table : HardcoreFuzz()) tables.push_back(std::move(table));
    tables.push_back(IndustrialFuzz());
    tables.push_back(FromLaws(512, [](double u, int) { return (0.5 * Sin(16.0, u) + 0.5 * Cos(8.0, u)) * (1.0 - u) + u; }));
    tables.push_back(FromLaws(512, [](double u, int) {
        return (0.5 * Sin(12.0, u) + 0.5 * Cos(6.0, u) + 0.5 * Cos(24.0, u)) * (1.0 - u) + u;
    }));
    tables.push_back(FromLaws(512, [](double u, int) {
        return (0.5 * Sin(15.0, u) + 0.5 * Cos(5.0, u) + 0.5 * Sin(25.0, u)) * (1.0 - u) * (1.0 - u) + u;
    }));
    tables.push_back(FromLaws(512, [](double u, int) {
        return (0.5 * Sin(12.0, u) + 0.5 * Cos(4.0, u) + 0.5 * Cos(16.0, u) + 0.5 * Cos(20.0, u)) * (1.0 - u) * (1.0 - u) + u;
    }));
    for (CurveTable& table : GrindMothFuzz(draw)) tables.push_back(std::move(table));
    tables.push_back(FromLaws(512, [](double u, int i) { return i == 0 ? 0.0 : 1.0 - u; }));
    for (CurveTable& table : BigDrives(draw)) tables.push_back(std::move(table));
    CurveTable viper = FromLaws(64, [](double u, int i) { return ((i % 4) - 1.5) * (1.0 - u) / 3.0 + u; });
    viper.Normalise();
    tables.push_back(std::move(viper));
    tables.push_back(AssKicking());
    tables.push_back(TigersBlood());
    CurveTable madDog = FromLaws(
        80, [](double u, int) { return 1.25 * Sin(4.0, u) * (1.0 - u) + u; },
        [](double u, int) { return 1.5 * Sin(8.0, u) * (1.0 - u) * (1.0 - u) + u; });
    madDog.Clamp();
    tables.push_back(std::move(madDog));
    tables.push_back(NoiseGate());
    return tables;
}

}  // namespace Korvane
