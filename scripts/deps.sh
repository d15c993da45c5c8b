#!/usr/bin/env bash
# Installs everything the build needs on a Debian 12 machine, from Debian only:
# the toolchains and tools as packages, SQLite and pugixml as Debian source
# packages kept in .deps/src. Safe to run again: it does nothing once all is there.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cache="$top/.deps"
src="$cache/src"

if [ "$(id -u)" -eq 0 ]; then sudo=; else sudo=sudo; fi

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb xauth imagemagick
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  tcl unicode-data sqlite3 python3
  clang libclang-rt-14-dev libfuzzer-14-dev
  libcli11-dev nlohmann-json3-dev libxslt1-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

updated=
apt_update() {
  if [ -z "$updated" ]; then
    $sudo apt-get update -qq
    updated=1
  fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  apt_update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Wine for the i686 build, the deliverable itself. The kernel of this
# kind of machine cannot execute 32-bit programs, so Debian's qemu-i386 is
# registered with binfmt_misc as the interpreter of i386 ELF programs (Debian
# registers none on amd64 by itself); the F flag opens the interpreter now,
# so that it also serves programs in other mount namespaces. Then the i386
# architecture and wine32:i386 beside wine64. This needs root and a kernel
# with binfmt_misc; where either is missing, the i686 tests are skipped and
# say so. NORVALT_SKIP_I686=1 skips this and them.
binfmt=/proc/sys/fs/binfmt_misc
setup_i686() {
  if [ "${NORVALT_SKIP_I686:-}" = 1 ]; then
    echo "deps: 32-bit Wine not set up (NORVALT_SKIP_I686=1); the i686 tests will be skipped"
    return 0
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "deps: 32-bit Wine not set up (registering an emulator needs root); the i686 tests will be skipped"
    return 0
  fi
  if [ ! -e "$binfmt/register" ] && ! mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    echo "deps: 32-bit Wine not set up (binfmt_misc cannot be mounted); the i686 tests will be skipped"
    return 0
  fi
  if ! dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q 'install ok installed'; then
    echo "deps: installing qemu-user-static (runs the 32-bit Wine loader)"
    apt_update
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
  fi
  if [ ! -e "$binfmt/norvalt-i386" ]; then
    echo "deps: registering qemu-i386 for i386 ELF programs ($binfmt/norvalt-i386)"
    printf '%s' ':norvalt-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >"$binfmt/register" || {
      echo "deps: the emulator could not be registered; the i686 tests will be skipped"
      return 0
    }
  fi
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "deps: installing wine32:i386 (32-bit Wine beside wine64)"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
      updated=
    fi
    apt_update
    env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
  fi
}
setup_i686

# Source entries derived from the machine's own binary entries, so that no
# registry host is ever written into the project.
add_deb_src() {
  local list=/etc/apt/sources.list.d/norvalt-src.sources
  [ -f "$list" ] || [ -f /etc/apt/sources.list.d/norvalt-src.list ] && return 0
  local tmp f
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -qE '^Types:.*[[:space:]]deb([[:space:]]|$)' "$f" || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" >>"$tmp"
    printf '\n' >>"$tmp"
  done
  if [ -s "$tmp" ]; then
    $sudo install -m 0644 "$tmp" "$list"
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb[[:space:]]' /etc/apt/sources.list | sed -E 's/^deb([[:space:]])/deb-src\1/' >"$tmp"
    $sudo install -m 0644 "$tmp" /etc/apt/sources.list.d/norvalt-src.list
  fi
  rm -f "$tmp"
  updated=
}

fetch_source() {
  local name=$1 marker=$2
  if compgen -G "$src/$marker" >/dev/null; then return 0; fi
  add_deb_src
  apt_update
  mkdir -p "$src"
  (cd "$src" && apt-get source --download-only -qq "$name" >/dev/null)
}

fetch_source sqlite3 'sqlite3_*.orig.tar.*'
fetch_source pugixml 'pugixml_*.orig.tar.*'

# SQLite: the amalgamation is generated from the canonical source tree.
if [ ! -f "$src/sqlite/sqlite3.c" ]; then
  echo "deps: building the SQLite amalgamation"
  work=$(mktemp -d)
  tar -xf "$(ls "$src"/sqlite3_*.orig.tar.* | head -n1)" -C "$work"
  tree=$(find "$work" -maxdepth 2 -name configure -printf '%h\n' | head -n1)
  (cd "$tree" && ./configure -q --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  mkdir -p "$src/sqlite"
  cp "$tree/sqlite3.c" "$tree/sqlite3.h" "$tree/sqlite3ext.h" "$src/sqlite/"
  rm -rf "$work"
fi

if [ ! -f "$src/pugixml/src/pugixml.cpp" ]; then
  work=$(mktemp -d)
  tar -xf "$(ls "$src"/pugixml_*.orig.tar.* | head -n1)" -C "$work"
  tree=$(find "$work" -name pugixml.cpp -printf '%h\n' | head -n1)
  mkdir -p "$src/pugixml/src"
  cp "$tree"/pugixml.cpp "$tree"/pugixml.hpp "$tree"/pugiconfig.hpp "$src/pugixml/src/"
  rm -rf "$work"
fi

echo "deps: ready"
