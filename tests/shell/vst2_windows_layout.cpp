// Compiled for the Windows x86-64 target by the test suite: the interface
// header's layout static_asserts must hold there as they do on Linux.
#include "shell/vst2/vst2_interface.h"

#if !defined(_WIN64)
#error "this translation unit checks the Windows x86-64 layout"
#endif

static_assert(sizeof(long) == 4, "LLP64: the records must not depend on long");
