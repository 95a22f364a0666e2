# Sourced by the scripts that run cross-built programs under Wine:
#   wine_environment NAME PREFIX
# sets up a quiet Wine in the prefix PREFIX with no display (no Mono or
# Gecko installer prompts, no menu entries) and stops with a message naming
# NAME when Wine is not installed.
wine_environment() {
  export WINEPREFIX=$2
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY WAYLAND_DISPLAY
  if ! command -v wine >/dev/null || ! command -v wineserver >/dev/null; then
    echo "$1: Wine is not installed (apt-get install wine wine64)" >&2
    exit 1
  fi
}
