#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the screenshots need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git python3
  clang libclang-rt-14-dev clang-format clang-tidy
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest libgtest-dev libpcre2-dev zlib1g-dev libz-mingw-w64-dev
  wine wine64 xvfb xauth x11-utils openbox
  fonts-ipafont-gothic fonts-dejavu-core fonts-wine imagemagick locales zip unzip
  ripgrep
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  as_root apt-get update -qq
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine's Japanese mode needs the ja_JP.UTF-8 locale on the host.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating ja_JP.UTF-8"
  as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi
# PCRE2's source for the Windows build, which compiles it with MinGW (build/pcre2, never
# committed): Debian's source package, through a deb-src copy of the machine's deb entries.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pcre2_dir="$here/build/pcre2"
if ! ls "$pcre2_dir"/pcre2_*.orig.tar.* >/dev/null 2>&1; then
  src_list=/etc/apt/sources.list.d/quillon-deb-src.sources
  if [ ! -f "$src_list" ]; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$src_list" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee "${src_list%.sources}.list" >/dev/null
    fi
    echo "bootstrap: fetching the package lists with source packages"
    as_root apt-get update -qq
  fi
  mkdir -p "$pcre2_dir"
  # 10.42 as Debian 12 released it; the archive may no longer serve a later revision's files.
  (cd "$pcre2_dir" && { apt-get source --download-only -qq pcre2=10.42-1 2>/dev/null ||
                        apt-get source --download-only -qq pcre2 2>/dev/null; }) ||
    ls "$pcre2_dir"/pcre2_10.42.orig.tar.* >/dev/null 2>&1 || {
    echo "bootstrap: cannot fetch the source package of pcre2" >&2
    exit 1
  }
fi
echo "bootstrap: ready"
