# Sanitizer instrumentation for the whole build, chosen by DUNEROW_SANITIZE.
if(DUNEROW_SANITIZE STREQUAL "address-undefined")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(DUNEROW_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(DUNEROW_SANITIZE STREQUAL "fuzzer")
  # Coverage for libFuzzer in every object; only the fuzz programs link its
  # driver (-fsanitize=fuzzer), so the core stays a plain library.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT DUNEROW_SANITIZE STREQUAL "")
  message(FATAL_ERROR "Unknown DUNEROW_SANITIZE value '${DUNEROW_SANITIZE}'")
endif()
