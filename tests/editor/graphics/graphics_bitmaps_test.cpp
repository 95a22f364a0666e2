// Images in the graphics object: the process-wide cache, frames of a
// strip, images that cannot be loaded, and the surface written out.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "editor/controls/bitmap_control.h"
#include "editor/graphics/bitmap_cache.h"
#include "editor/graphics/graphics_headless.h"
#include "editor/graphics/png_resource.h"
#include "editor/graphics/png_writer.h"
#include "editor/support/editor_test_plugin.h"
#include "editor/support/test_bitmaps.h"

namespace {

constexpr int kSwitchId = 201;  // a two-frame 20 x 40 image compiled into the module

class Bitmaps : public ::testing::Test {
protected:
    Bitmaps() : graphics(&plugin, 100, 100) { graphics.OpenWindow(nullptr); }

    // Draws one frame the way a paint pass does, into (10, 10).
    void DrawFrame(const IBitmap& bitmap, int frame) {
        auto control = std::make_unique<IBitmapControl>(&plugin, 10, 10, -1, bitmap);
        control->SetValue(bitmap.frames > 1 ? (frame - 1.0) / (bitmap.frames - 1) : 0.0);
        graphics.AddControl(std::move(control));
        graphics.Paint({0, 0, 100, 100});
    }

    EditorTestPlugin plugin;
    IGraphicsHeadless graphics;
};

}  // namespace

TEST(BitmapCache, EachIdIsLoadedOnceUnderConcurrentLoads) {
    std::atomic<int> loads{0};
    std::vector<std::thread> threads;
    std::vector<BitmapCache::Pixels> seen(8);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int id = 90001; id <= 90010; ++id) {
                auto pixels = BitmapCache::Shared().GetOrLoad(id, [&] {
                    loads.fetch_add(1);
                    return std::make_shared<const RasterBitmap>(2, 2);
                });
                if (id == 90005) seen[static_cast<std::size_t>(t)] = pixels;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(loads.load(), 10);
    for (const auto& pixels : seen) EXPECT_EQ(pixels, seen[0]);
    EXPECT_EQ(BitmapCache::Shared().Find(90005), seen[0]);
    EXPECT_EQ(BitmapCache::Shared().Find(90011), nullptr);
}

TEST(BitmapCache, EditorsOnSeveralThreadsShareOneCopyOfAnImage) {
    std::vector<std::shared_ptr<const RasterBitmap>> seen(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            EditorTestPlugin plugin;
            IGraphicsHeadless graphics(&plugin, 50, 50);
            seen[static_cast<std::size_t>(t)] = graphics.LoadBitmap(kSwitchId, "KV_on_off_20px.png", 2).pixels;
        });
    }
    for (auto& thread : threads) thread.join();
    ASSERT_NE(seen[0], nullptr);
    for (const auto& pixels : seen) EXPECT_EQ(pixels, seen[0]);
}

TEST_F(Bitmaps, LoadBitmapGivesTheImageSizeAndTheFrameCount) {
    const IBitmap bitmap = graphics.LoadBitmap(kSwitchId, "KV_on_off_20px.PNG", 2);
    ASSERT_FALSE(bitmap.IsNull());
    EXPECT_EQ(bitmap.width, 20);
    EXPECT_EQ(bitmap.height, 40);
    EXPECT_EQ(bitmap.frames, 2);
    EXPECT_EQ(bitmap.FrameHeight(), 20);
}

TEST_F(Bitmaps, OnlyPngNamesAndExistingIdsLoad) {
    EXPECT_TRUE(graphics.LoadBitmap(90101, "missing.png").IsNull()) << "no such resource";
    EXPECT_TRUE(graphics.LoadBitmap(90102, "image.bmp").IsNull());
    EXPECT_TRUE(graphics.LoadBitmap(90103, "png").IsNull());
}

TEST_F(Bitmaps, ANullBitmapDrawsNothing) {
    graphics.Surface().Fill(0xFF102030);
    const IBitmap missing = graphics.LoadBitmap(90104, "missing.png");
    EXPECT_FALSE(graphics.DrawBitmap(missing, {0, 0, 100, 100}, 0, 0, nullptr));
    DrawFrame(missing, 1);
    EXPECT_EQ(graphics.Surface().At(15, 15), 0xFF102030u);
}

TEST_F(Bitmaps, FrameOneAndFrame128OfA128FrameStrip) {
    const IBitmap strip = GreyStrip(30, 30, 128);  // 30 x 3840
    DrawFrame(strip, 1);
    EXPECT_EQ(graphics.Surface().At(10, 10), Grey(1));
    EXPECT_EQ(graphics.Surface().At(39, 39), Grey(1));
    EXPECT_EQ(graphics.Surface().At(40, 40), 0u) << "one frame's size only";
    DrawFrame(strip, 128);
    EXPECT_EQ(graphics.Surface().At(10, 10), Grey(128));
    EXPECT_EQ(graphics.Surface().At(39, 39), Grey(128));
}

TEST_F(Bitmaps, FrameOffsetsOfUnevenStripsRoundToNearest) {
    // 3 frames in 100 rows: frame height 33.33, so frame 2 starts at
    // trunc(33.33 + 0.5) = 33 and frame 3 at trunc(66.67 + 0.5) = 67.
    auto pixels = std::make_shared<RasterBitmap>(1, 100);
    for (int y = 0; y < 100; ++y) pixels->Set(0, y, 0xFF000000u | static_cast<std::uint32_t>(y));
    IBitmap strip;
    strip.pixels = pixels;
    strip.width = 1;
    strip.height = 100;
    strip.frames = 3;
    graphics.Paint({0, 0, 100, 100});  // sets the drawing rectangle to the whole surface
    graphics.DrawBitmap(strip, {0, 0, 1, 33}, 2, nullptr);
    EXPECT_EQ(graphics.Surface().At(0, 0), 0xFF000000u | 33u);
    graphics.DrawBitmap(strip, {0, 0, 1, 33}, 3, nullptr);
    EXPECT_EQ(graphics.Surface().At(0, 0), 0xFF000000u | 67u);
}

TEST(BitmapControlFrames, TheValueSelectsTheNearestFrame) {
    EXPECT_EQ(IBitmapControl::FrameForValue(0.0, 128), 1);
    EXPECT_EQ(IBitmapControl::FrameForValue(1.0, 128), 128);
    EXPECT_EQ(IBitmapControl::FrameForValue(0.5, 128), 65);  // trunc(127 * 0.5 + 0.5) + 1
    EXPECT_EQ(IBitmapControl::FrameForValue(0.49, 2), 1);
    EXPECT_EQ(IBitmapControl::FrameForValue(0.5, 2), 2);
    EXPECT_EQ(IBitmapControl::FrameForValue(1.0 / 3.0, 4), 2);
    EXPECT_EQ(IBitmapControl::FrameForValue(0.7, 1), 1);
    EXPECT_EQ(IBitmapControl::FrameForValue(5.0, 4), 4) << "clamped";
    EXPECT_EQ(IBitmapControl::FrameForValue(-1.0, 4), 1);
}

TEST_F(Bitmaps, TheBackgroundIsControlZeroAndCoversTheEditor) {
    graphics.AddControl(std::make_unique<IBitmapControl>(&plugin, 0, 0, -1, GreyStrip(4, 4, 1)));
    graphics.SetBackgroundBitmap(kSwitchId, "KV_on_off_20px.png");
    ASSERT_EQ(graphics.ControlCount(), 2);
    EXPECT_EQ(graphics.GetControl(0)->GetRect(), (RasterRect{0, 0, 100, 100}));
    auto* background = dynamic_cast<IBitmapControl*>(graphics.GetControl(0));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetBitmap().width, 20);
}

TEST_F(Bitmaps, TheSurfaceWrittenToAPngReadsBackTheSame) {
    graphics.Surface().Fill(0xFF336699);
    graphics.Surface().Set(3, 4, 0x80400000);  // half-transparent red, premultiplied
    const auto path = std::filesystem::temp_directory_path() / "dunerow_surface_test.png";
    ASSERT_TRUE(graphics.WriteSurfacePng(path));
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    file.close();
    std::filesystem::remove(path);
    const RasterBitmap image = DecodePngBitmap(bytes);
    ASSERT_EQ(image.Width(), 100);
    ASSERT_EQ(image.Height(), 100);
    EXPECT_EQ(image.At(0, 0), 0xFF336699u);
    // Written straight: 0x40 of alpha 0x80 becomes round(64 * 255 / 128) = 128
    // (127.5 rounds up); read back premultiplied: round(128 * 128 / 255) = 64.
    EXPECT_EQ(image.At(3, 4), 0x80400000u);
}

TEST_F(Bitmaps, AnEmptySurfaceCannotBeWritten) {
    RasterBitmap empty;
    EXPECT_FALSE(WritePngFile(empty, std::filesystem::temp_directory_path() / "dunerow_empty.png"));
}
