#!/usr/bin/env bash
# Installs what building and testing Tarvo needs on Debian 12, as root.
# The Liberation fonts have Arial's metrics: without them Wine lays out
# "Arial" (and the dialog font) in a wider font than Windows does.
# Idempotent: skips packages that are present; only Debian packages are fetched.
set -euo pipefail

need=(cmake g++ make googletest clang libclang-rt-14-dev
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
      libz-mingw-w64-dev xvfb xauth imagemagick locales wine wine32:i386 bzip2 python3
      openssl fonts-liberation fonts-liberation2 nginx)

missing=()
for p in "${need[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # nginx's package would start the system's web server on port 80; the
  # tests run their own on 127.0.0.1, so no service starts during the install.
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' > /usr/sbin/policy-rc.d
    chmod 755 /usr/sbin/policy-rc.d
    trap 'rm -f /usr/sbin/policy-rc.d' EXIT
  fi
  # A mirror in the middle of a sync fails the update now and then ("File
  # has unexpected size"): tried again after a pause. A list that still
  # fails (seen: bookworm-security's i386 list for hours) leaves the
  # architectures' candidates at different versions, which Multi-Arch
  # packages cannot install together; the release's own archive has both
  # lists, so then the install takes its versions (never a downgrade).
  for pause in 15 30 60 0; do
    apt-get update -qq && break
    [ "$pause" -gt 0 ] || break
    echo "setup: apt-get update failed; trying again in $pause s" >&2
    sleep "$pause"
  done
  install=(apt-get install -y -qq --no-install-recommends "${missing[@]}")
  if ! "${install[@]}" >/dev/null; then
    echo "setup: trying again with the release's own archive" >&2
    "${install[@]}" -t bookworm >/dev/null || { echo "setup: the packages could not be installed" >&2; exit 1; }
  fi
fi

# The MinGW compilers must be the posix-thread variants (std::thread, GoogleTest).
for t in g++ gcc; do
  cur=$(readlink -f "$(command -v i686-w64-mingw32-$t)" 2>/dev/null || true)
  case "$cur" in
    *-posix) ;;
    *) update-alternatives --set i686-w64-mingw32-$t /usr/bin/i686-w64-mingw32-$t-posix >/dev/null 2>&1 || true ;;
  esac
done
# minizip, the ZIP reader of the update archives, comes only as source with
# zlib's source package: fetched once through a private deb-src list and
# lists folder (the system's apt sources stay as they are), unpacked into
# third_party/, and built for MinGW by the build itself.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
minizip="$root/third_party/zlib/contrib/minizip"
if [ ! -f "$minizip/unzip.c" ]; then
  apt_dir="$root/third_party/apt"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/source"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    > "$apt_dir/sources.list"
  apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o Dir::State::Lists="$apt_dir/lists" -o Debug::NoDropPrivs=1 -o APT::Sandbox::User=root)
  apt-get "${apt_opts[@]}" update -qq >/dev/null
  (cd "$apt_dir/source" && apt-get "${apt_opts[@]}" source --download-only zlib >/dev/null 2>&1)
  rm -rf "$root/third_party/zlib"
  mkdir -p "$root/third_party/zlib"
  tar -xjf "$apt_dir"/source/zlib_*.orig.tar.bz2 -C "$root/third_party/zlib" --strip-components=1
  [ -f "$minizip/unzip.c" ] || { echo "setup: minizip could not be fetched" >&2; exit 1; }
fi
exit 0
