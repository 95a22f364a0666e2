// Where the plug-in module itself lives, so that files shipped beside it
// (the user waveforms) are found whatever the host's working directory.
#pragma once

#include <filesystem>

// The folder holding the module (the .so, .dll or executable) this code is
// linked into, or an empty path when the platform cannot tell.
std::filesystem::path ModuleDirectory();
