#include "editor/graphics/x11/x11_error_trap.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

struct TrappedDisplay {
    Display* display;
    int traps;  // nested traps on it
    unsigned long errors;
};

struct TrapState {
    std::mutex mutex;
    std::vector<TrappedDisplay> displays;
    int depth = 0;
    XErrorHandler previous = nullptr;
};

TrapState& State() {
    static TrapState state;
    return state;
}

int CountError(Display* display, XErrorEvent* error) {
    TrapState& state = State();
    XErrorHandler forward = nullptr;
    {
        std::lock_guard lock(state.mutex);
        const auto found = std::find_if(state.displays.begin(), state.displays.end(),
                                        [display](const TrappedDisplay& d) { return d.display == display; });
        if (found != state.displays.end()) {
            ++found->errors;
            return 0;
        }
        forward = state.previous;
    }
    // Not ours: whoever handled errors before gets it.
    return forward != nullptr ? forward(display, error) : 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), errorsSeen_(0) {
    TrapState& state = State();
    std::lock_guard lock(state.mutex);
    auto found = std::find_if(state.displays.begin(), state.displays.end(),
                              [display](const TrappedDisplay& d) { return d.display == display; });
    if (found == state.displays.end()) {
        state.displays.push_back({display, 0, 0});
        found = state.displays.end() - 1;
    }
    ++found->traps;
    errorsSeen_ = found->errors;
    if (state.depth++ == 0) state.previous = XSetErrorHandler(CountError);
}

X11ErrorTrap::~X11ErrorTrap() {
    TrapState& state = State();
    std::lock_guard lock(state.mutex);
    const auto found = std::find_if(state.displays.begin(), state.displays.end(),
                                    [this](const TrappedDisplay& d) { return d.display == display_; });
    if (found != state.displays.end() && --found->traps == 0) state.displays.erase(found);
    if (--state.depth == 0) {
        XSetErrorHandler(state.previous);
        state.previous = nullptr;
    }
}

bool X11ErrorTrap::Sync() {
    if (display_ == nullptr) return false;
    XSync(display_, False);
    TrapState& state = State();
    std::lock_guard lock(state.mutex);
    const auto found = std::find_if(state.displays.begin(), state.displays.end(),
                                    [this](const TrappedDisplay& d) { return d.display == display_; });
    if (found == state.displays.end()) return false;
    const bool clean = found->errors == errorsSeen_;
    errorsSeen_ = found->errors;
    return clean;
}
