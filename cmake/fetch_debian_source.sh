#!/usr/bin/env bash
# Downloads and unpacks a Debian source package into a folder of the build
# tree: fetch_debian_source.sh PACKAGE DESTINATION [VERSION]
#
# apt runs with a private source list, package lists and cache under
# DESTINATION, so the system's apt configuration and state are untouched.
# The source entries mirror the system's own Debian entries (same archives,
# keys and components) for this release's suites; the package is pinned to
# VERSION when given and found, otherwise to the stable release's suites.
set -euo pipefail
package=$1
destination=$2
version=${3:-}

command -v apt-get >/dev/null || { echo "fetch_debian_source: apt-get is needed" >&2; exit 1; }
command -v dpkg-source >/dev/null || { echo "fetch_debian_source: dpkg-source is needed (apt-get install dpkg-dev)" >&2; exit 1; }

# shellcheck disable=SC1091
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[[ -n "$codename" ]] || { echo "fetch_debian_source: cannot tell the Debian release" >&2; exit 1; }

apt_dir=$destination/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$destination/source"

# deb822 stanzas of the system whose suites belong to this release, as deb-src.
sources=$apt_dir/sources.list.d/debian-source.sources
: >"$sources"
for file in /etc/apt/sources.list.d/*.sources; do
  [[ -f "$file" ]] || continue
  awk -v codename="$codename" '
    function flush() {
      if (stanza != "" && types ~ /(^| )deb( |$)/ && suites ~ ("(^| )" codename "(-[a-z]+)?( |$)")) {
        print stanza "Types: deb-src\n"
      }
      stanza = ""; types = ""; suites = ""
    }
    /^[ \t]*$/ { flush(); next }
    /^#/ { next }
    /^Types:/ { types = $0; sub(/^Types:[ \t]*/, "", types); next }
    /^Suites:/ { suites = $0; sub(/^Suites:[ \t]*/, "", suites) }
    { stanza = stanza $0 "\n" }
    END { flush() }
  ' "$file" >>"$sources"
done
# One-line entries of the older list format.
list=$apt_dir/sources.list.d/debian-source.list
: >"$list"
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [[ -f "$file" ]] || continue
  awk -v codename="$codename" '
    $1 == "deb" {
      for (i = 2; i <= NF; ++i) if ($i !~ /^\[/ && $i !~ /\]$/ && $i ~ /^[a-z]+:/) break
      if ($(i + 1) ~ ("^" codename "(-[a-z]+)?$")) { $1 = "deb-src"; print }
    }
  ' "$file" >>"$list"
done
if [[ ! -s "$sources" && ! -s "$list" ]]; then
  echo "fetch_debian_source: the system lists no Debian archive for $codename" >&2
  exit 1
fi

apt_options=(
  -o "Dir::Etc::SourceList=/dev/null"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o "Dir::Cache::pkgcache="
  -o "Dir::Cache::srcpkgcache="
  -o "APT::Sandbox::User=root"
  -o "Acquire::Languages=none"
  -q
)
apt-get "${apt_options[@]}" update >&2

cd "$destination/source"
choices=()
[[ -n "$version" ]] && choices+=("$package=$version")
choices+=("$package/$codename-security" "$package/$codename")
for choice in "${choices[@]}"; do
  if apt-get "${apt_options[@]}" source "$choice" >&2; then
    exit 0
  fi
done
echo "fetch_debian_source: could not fetch the source of $package" >&2
exit 1
