// Starts a private Xvfb server for the whole test program and points
// DISPLAY at it, so the tests never touch a desktop the user works on.
// Without an Xvfb binary every test is skipped with the reason.
#include "x11_test_host.h"

namespace {

using x11_test::TestServer;

class XvfbEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The user's thread and the host's talk to the server at once.
        XInitThreads();
        // The user looks at windows that may go between asking and reading
        // (a menu closing): such errors are answers, not the end of the test.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        // fontconfig keeps its configuration in globals that only FcFini
        // frees, and the module never calls it: unloaded with the module,
        // that memory would be reported lost once per load. Holding the
        // library keeps it reachable, so leak reports show the window's own.
        dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NODELETE);
        TestServer() = x11_test::StartXvfb("1280x1024x24");
        if (TestServer().ready) setenv("DISPLAY", TestServer().display.c_str(), 1);
    }

    void TearDown() override {
        x11_test::StopXvfb(TestServer());
        std::error_code ignored;
        std::filesystem::remove_all(x11_test::ScratchFolder(), ignored);
    }
};

[[maybe_unused]] ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace
