// The process-wide font cache: one font per family, size and style, made
// once however many threads ask for it at the same time.
#include <gtest/gtest.h>

#include <array>
#include <latch>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "editor/text/font_cache.h"
#include "fixed_advance_font.h"

namespace {

using Key = std::tuple<std::string, int, FontStyle>;

// A font factory that counts how often it is asked for each font.
class CountingFactory {
public:
    std::shared_ptr<const RasterFont> Make(std::string_view family, int cellHeight, FontStyle style) {
        const std::lock_guard lock(mutex_);
        ++made_[Key{std::string(family), cellHeight, style}];
        return std::make_shared<FixedAdvanceFont>();
    }
    std::map<Key, int> Made() const {
        const std::lock_guard lock(mutex_);
        return made_;
    }

private:
    mutable std::mutex mutex_;
    std::map<Key, int> made_;
};

const std::array<Key, 4> kKeys = {Key{"Arial", 13, FontStyle::Normal}, Key{"Arial", 13, FontStyle::Bold},
                                  Key{"Arial", 20, FontStyle::Normal}, Key{"Tahoma", 13, FontStyle::Normal}};

}  // namespace

TEST(FontCache, MakesEachFontOnceHoweverManyThreadsAsk) {
    CountingFactory factory;
    FontCache cache([&](std::string_view family, int cellHeight, FontStyle style) {
        return factory.Make(family, cellHeight, style);
    });

    constexpr int kThreads = 8;
    constexpr int kRounds = 50;
    std::vector<std::vector<const RasterFont*>> seen(kThreads);
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int round = 0; round < kRounds; ++round) {
                // Each thread walks the keys from a different place.
                for (std::size_t k = 0; k < kKeys.size(); ++k) {
                    const Key& key = kKeys[(k + static_cast<std::size_t>(t)) % kKeys.size()];
                    seen[static_cast<std::size_t>(t)].push_back(
                        cache.Get(std::get<0>(key), std::get<1>(key), std::get<2>(key)).get());
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    const std::map<Key, int> made = factory.Made();
    ASSERT_EQ(made.size(), kKeys.size());
    for (const auto& [key, count] : made) EXPECT_EQ(count, 1) << std::get<0>(key) << " " << std::get<1>(key);

    // Every thread saw the same object for a key, and a different one for each key.
    std::array<const RasterFont*, kKeys.size()> expected{};
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        expected[k] = cache.Get(std::get<0>(kKeys[k]), std::get<1>(kKeys[k]), std::get<2>(kKeys[k])).get();
        ASSERT_NE(expected[k], nullptr);
    }
    EXPECT_EQ(std::set<const RasterFont*>(expected.begin(), expected.end()).size(), kKeys.size());
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[static_cast<std::size_t>(t)].size(), kRounds * kKeys.size());
        for (std::size_t i = 0; i < seen[static_cast<std::size_t>(t)].size(); ++i) {
            const std::size_t k = (i % kKeys.size() + static_cast<std::size_t>(t)) % kKeys.size();
            EXPECT_EQ(seen[static_cast<std::size_t>(t)][i], expected[k]) << "thread " << t << " request " << i;
        }
    }
}

TEST(FontCache, RefusesSizesAndNamesThatCannotMakeAFont) {
    CountingFactory factory;
    FontCache cache([&](std::string_view family, int cellHeight, FontStyle style) {
        return factory.Make(family, cellHeight, style);
    });
    EXPECT_EQ(cache.Get("Arial", 0, FontStyle::Normal), nullptr);
    EXPECT_EQ(cache.Get("Arial", -13, FontStyle::Normal), nullptr);
    EXPECT_EQ(cache.Get("Arial", 513, FontStyle::Normal), nullptr);
    EXPECT_EQ(cache.Get("", 13, FontStyle::Normal), nullptr);
    EXPECT_TRUE(factory.Made().empty());

    // The sizes at either end of the range are made.
    EXPECT_NE(cache.Get("Arial", 1, FontStyle::Normal), nullptr);
    EXPECT_NE(cache.Get("Arial", 512, FontStyle::Normal), nullptr);
    EXPECT_EQ(factory.Made().size(), 2u);
}

TEST(FontCache, AsksOnlyOnceForAFontThatCannotBeHad) {
    int asked = 0;
    FontCache cache([&](std::string_view, int, FontStyle) -> std::shared_ptr<const RasterFont> {
        ++asked;
        return nullptr;
    });
    EXPECT_EQ(cache.Get("Missing", 13, FontStyle::Normal), nullptr);
    EXPECT_EQ(cache.Get("Missing", 13, FontStyle::Normal), nullptr);
    EXPECT_EQ(asked, 1);
}

TEST(FontCache, SharedCacheHandsEveryThreadTheSameSystemFont) {
    constexpr int kThreads = 6;
    std::array<const RasterFont*, kThreads> normal{};
    std::array<const RasterFont*, kThreads> bold{};
    std::array<const FontCache*, kThreads> caches{};
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            const auto i = static_cast<std::size_t>(t);
            caches[i] = &FontCache::Shared();
            normal[i] = FontCache::Shared().Get("Arial", 13, FontStyle::Normal).get();
            bold[i] = FontCache::Shared().Get("Arial", 13, FontStyle::Bold).get();
        });
    }
    for (std::thread& thread : threads) thread.join();

    ASSERT_NE(normal[0], nullptr);
    ASSERT_NE(bold[0], nullptr);
    EXPECT_NE(normal[0], bold[0]);
    for (int t = 1; t < kThreads; ++t) {
        const auto i = static_cast<std::size_t>(t);
        EXPECT_EQ(caches[i], caches[0]);
        EXPECT_EQ(normal[i], normal[0]);
        EXPECT_EQ(bold[i], bold[0]);
    }
}
