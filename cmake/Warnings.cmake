# Warning flags shared by every target of the project.
add_library(dunerow_warnings INTERFACE)
target_compile_options(dunerow_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wnull-dereference -Wdouble-promotion -Wformat=2
  $<$<BOOL:${DUNEROW_WERROR}>:-Werror>)
