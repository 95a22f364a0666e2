# Warning flags shared by every target of the project.
add_library(dunerow_warnings INTERFACE)
target_compile_options(dunerow_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wnull-dereference -Wdouble-promotion -Wformat=2
  # GCC 12 at -O3 reports std::string concatenations as overlapping copies
  # (a known false positive of its restrict analysis).
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>
  $<$<BOOL:${DUNEROW_WERROR}>:-Werror>)
