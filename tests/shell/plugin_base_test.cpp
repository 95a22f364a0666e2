#include "shell/plugin_base.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>

TEST(PluginBase, StartsAt44100HzWithNoBlockSize) {
    const IPluginBase plugin(109);
    EXPECT_EQ(plugin.GetSampleRate(), 44100.0);
    EXPECT_EQ(plugin.GetBlockSize(), 0);
    EXPECT_EQ(plugin.ParameterCount(), 109);
}

TEST(PluginBase, ParameterIndicesOutsideTheListYieldNone) {
    IPluginBase plugin(109);
    EXPECT_NE(plugin.GetParam(0), nullptr);
    EXPECT_NE(plugin.GetParam(108), nullptr);
    EXPECT_EQ(plugin.GetParam(109), nullptr);
    EXPECT_EQ(plugin.GetParam(-1), nullptr);
    EXPECT_EQ(plugin.GetParam(std::numeric_limits<int>::max()), nullptr);
    EXPECT_EQ(plugin.GetParam(std::numeric_limits<int>::min()), nullptr);
    EXPECT_NE(plugin.GetParam(3), plugin.GetParam(4));
}

TEST(PluginBase, ParametersStartUndeclared) {
    IPluginBase plugin(109);
    for (int i = 0; i < plugin.ParameterCount(); ++i) {
        EXPECT_EQ(plugin.GetParam(i)->GetKind(), PluginParam::Kind::Undeclared) << i;
    }
}

TEST(PluginBase, MutexIsRecursiveAndExcludesOtherThreads) {
    IPluginBase plugin(1);
    int shared = 0;
    int seenByOtherThread = -1;

    plugin.Lock();
    {
        auto again = plugin.ScopedLock();  // re-entry from the same thread
        std::thread other([&] {
            auto lock = plugin.ScopedLock();
            seenByOtherThread = shared;
        });
        shared = 1;  // written while this thread still holds the mutex
        again.unlock();
        plugin.Unlock();
        other.join();
    }
    EXPECT_EQ(seenByOtherThread, 1);
}
