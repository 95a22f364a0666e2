# Read by cpack before it installs into its staging folder: the package holds
# the module under its prefix, /usr/lib/vst, whatever folder the build chose
# for cmake --install (cmake/InstallModule.cmake reads this).
set(ENV{DUNEROW_VST_DIR} lib/vst)
