// Draws the editor's on/off switch image: two stacked 20 x 20 frames (off
// above, on below) of a round push button whose lamp lights when on. Writes
// KV_on_off_20px.png into the folder given as the only argument.
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 20;      // one frame is kSize x kSize pixels
constexpr int kFrames = 2;     // off, on
constexpr int kSubsamples = 4; // per axis, for anti-aliased edges

struct Colour {
    double r, g, b, a;
};

Colour Over(const Colour& top, const Colour& below) {
    const double a = top.a + below.a * (1.0 - top.a);
    if (a <= 0.0) return {0.0, 0.0, 0.0, 0.0};
    auto mix = [&](double t, double u) { return (t * top.a + u * below.a * (1.0 - top.a)) / a; };
    return {mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b), a};
}

// The colour of one sample point of a frame, (x, y) measured from its centre.
Colour Sample(double x, double y, bool on) {
    const double radius = std::hypot(x, y);
    Colour colour{0.0, 0.0, 0.0, 0.0};
    if (radius <= 9.0) {  // bezel: a ring lit from the upper left
        const double light = 0.5 - 0.5 * (x + y) / (9.0 * std::sqrt(2.0));
        const double level = 0.18 + 0.30 * light;
        colour = Over({level, level, level * 1.05, 1.0}, colour);
    }
    if (radius <= 7.0) {  // recess
        colour = Over({0.08, 0.08, 0.09, 1.0}, colour);
    }
    if (radius <= 5.5) {  // lamp
        if (on) {
            const double hot = std::max(0.0, 1.0 - std::hypot(x + 1.5, y + 1.5) / 6.0);
            colour = Over({1.0, 0.55 + 0.40 * hot, 0.10 + 0.60 * hot * hot, 1.0}, colour);
        } else {
            const double sheen = std::max(0.0, 1.0 - std::hypot(x + 1.5, y + 1.5) / 5.0);
            colour = Over({0.22 + 0.10 * sheen, 0.12 + 0.06 * sheen, 0.08 + 0.05 * sheen, 1.0}, colour);
        }
    }
    return colour;
}

std::vector<std::uint8_t> DrawFrames() {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSize * kSize * kFrames * 4));
    for (int frame = 0; frame < kFrames; ++frame) {
        for (int py = 0; py < kSize; ++py) {
            for (int px = 0; px < kSize; ++px) {
                std::array<double, 4> sum{};
                for (int sy = 0; sy < kSubsamples; ++sy) {
                    for (int sx = 0; sx < kSubsamples; ++sx) {
                        const double x = px + (sx + 0.5) / kSubsamples - kSize / 2.0;
                        const double y = py + (sy + 0.5) / kSubsamples - kSize / 2.0;
                        const Colour c = Sample(x, y, frame == 1);
                        sum[0] += c.r * c.a;
                        sum[1] += c.g * c.a;
                        sum[2] += c.b * c.a;
                        sum[3] += c.a;
                    }
                }
                const double alpha = sum[3] / (kSubsamples * kSubsamples);
                const std::size_t at = static_cast<std::size_t>(((frame * kSize + py) * kSize + px) * 4);
                for (int channel = 0; channel < 3; ++channel) {
                    const double value = sum[3] > 0.0 ? sum[static_cast<std::size_t>(channel)] / sum[3] : 0.0;
                    rgba[at + static_cast<std::size_t>(channel)] = static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
                }
                rgba[at + 3] = static_cast<std::uint8_t>(std::lround(alpha * 255.0));
            }
        }
    }
    return rgba;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_switch_images OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/KV_on_off_20px.png";
    std::vector<std::uint8_t> rgba = DrawFrames();
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = kSize;
    image.height = kSize * kFrames;
    image.format = PNG_FORMAT_RGBA;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) == 0) {
        std::fprintf(stderr, "draw_switch_images: cannot write %s: %s\n", path.c_str(), image.message);
        return 1;
    }
    return 0;
}
