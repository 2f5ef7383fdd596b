#!/usr/bin/env bash
# Gives the Windows cross-build the sources of the two libraries Debian ships
# only as Linux binaries: pugixml and SQLite. They come from Debian's source
# packages through an apt configuration of the build's own (its own sources
# list and package lists), so the machine's apt sources stay untouched.
# Everything lands in the cache directory and is done once: a second build
# finds pugixml.cpp and the SQLite amalgamation there and returns at once.
#
# Usage: fetch-windows-sources.sh <cache-dir>
set -euo pipefail

cache=$(realpath -m "${1:?usage: $0 <cache-dir>}")
mkdir -p "$cache"
[ -f "$cache/pugixml/pugixml.cpp" ] && [ -f "$cache/sqlite/sqlite3.c" ] && exit 0

apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/src"
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
signed=""
[ -f "$keyring" ] && signed="[signed-by=$keyring] "
echo "deb-src ${signed}http://deb.debian.org/debian $suite main" >"$apt_dir/sources.list"
apt_opts=(
  -o Dir::Etc::SourceList="$apt_dir/sources.list"
  -o Dir::Etc::SourceParts=/nonexistent
  -o Dir::State::Lists="$apt_dir/lists"
  -o Dir::Cache::Archives="$apt_dir/archives"
  -o Debug::NoLocking=true
  -o APT::Sandbox::User=root
)
if [ ! -f "$apt_dir/updated" ]; then
  apt-get "${apt_opts[@]}" update -qq
  touch "$apt_dir/updated"
fi

# The unpacked tree's name carries the upstream version, so find it by pattern.
unpacked() { find "$apt_dir/src" -maxdepth 1 -type d -name "$1-*" | head -n 1; }

if [ ! -f "$cache/pugixml/pugixml.cpp" ]; then
  [ -n "$(unpacked pugixml)" ] || (cd "$apt_dir/src" && apt-get "${apt_opts[@]}" source -qq pugixml)
  mkdir -p "$cache/pugixml"
  cp "$(unpacked pugixml)"/src/pugixml.cpp "$(unpacked pugixml)"/src/pugixml.hpp \
     "$(unpacked pugixml)"/src/pugiconfig.hpp "$cache/pugixml/"
fi

if [ ! -f "$cache/sqlite/sqlite3.c" ]; then
  [ -n "$(unpacked sqlite3)" ] || (cd "$apt_dir/src" && apt-get "${apt_opts[@]}" source -qq sqlite3)
  tree=$(unpacked sqlite3)
  # The amalgamation is made by the host's compiler and tclsh from the full
  # tree; it is plain C that the cross compiler then builds for Windows.
  work="$apt_dir/sqlite-build"
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && "$tree/configure" --quiet >/dev/null && make -s sqlite3.c sqlite3.h >/dev/null)
  mkdir -p "$cache/sqlite"
  cp "$work/sqlite3.c" "$work/sqlite3.h" "$cache/sqlite/"
  [ -f "$tree/src/sqlite3ext.h" ] && cp "$tree/src/sqlite3ext.h" "$cache/sqlite/"
fi
echo "Windows sources ready in $cache"
