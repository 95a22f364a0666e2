// The module a package installed, loaded through its entry point by the test
// host as a VST2 host loads it: it presents the package's version and plays
// a kick. tests/packaging/check_packages.sh names the module and the version
// (DUNEROW_INSTALLED_MODULE, DUNEROW_PACKAGE_VERSION).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/vst_test_host.h"

namespace {

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

struct PackageVersion {
    int major = -1;
    int minor = -1;
    int patch = -1;
};

PackageVersion ParseVersion(const std::string& text) {
    PackageVersion version;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d%c", &version.major, &version.minor, &version.patch, &end) != 3) return {};
    return version;
}

class InstalledModule : public ::testing::Test {
protected:
    void SetUp() override {
        modulePath = FromEnvironment("DUNEROW_INSTALLED_MODULE");
        versionText = FromEnvironment("DUNEROW_PACKAGE_VERSION");
        ASSERT_FALSE(modulePath.empty()) << "DUNEROW_INSTALLED_MODULE names no module";
        version = ParseVersion(versionText);
        ASSERT_GE(version.major, 0) << "DUNEROW_PACKAGE_VERSION '" << versionText << "' is no major.minor.patch";
    }

    std::string modulePath;
    std::string versionText;
    PackageVersion version;
};

}  // namespace

TEST_F(InstalledModule, PresentsThePackagesVersionInItsNumberAndNames) {
    VstTestHost host(modulePath.c_str());
    EXPECT_EQ(host.Effect().magic, vst2::kEffectMagic);
    EXPECT_EQ(host.Effect().version, version.major * 10000 + version.minor * 100 + version.patch);
    const std::string shortVersion = std::to_string(version.major) + "." + std::to_string(version.minor);
    EXPECT_EQ(host.Text(vst2::effGetEffectName), "Dunerow " + shortVersion + " FREE");
    EXPECT_EQ(host.Text(vst2::effGetProductString), "Dunerow " + shortVersion + " FREE VST");
}

TEST_F(InstalledModule, PlaysAKickOfTheFactoryBank) {
    VstTestHost host(modulePath.c_str());
    host.Start(44100.0, 512);
    host.Dispatch(vst2::effSetProgram, 0, 0);
    host.SendMidi({{0, 0x90, 36, 127}});
    float peak = 0.0f;
    bool finite = true;
    for (int block = 0; block < 44100 / 512; ++block) {  // one second
        for (const auto& channel : host.ProcessFloat(512)) {
            for (float sample : channel) {
                finite = finite && std::isfinite(sample);
                peak = std::max(peak, std::fabs(sample));
            }
        }
    }
    EXPECT_TRUE(finite);
    EXPECT_GT(peak, 0.1f) << "a C2 at full velocity should be heard";
    EXPECT_LE(peak, 3.2f) << "the output stage never passes +10 dB";
}
