#!/usr/bin/env bash
# Installs what building and testing Tarvo needs on Debian 12, as root.
# Idempotent: skips packages that are present; only Debian packages are fetched.
set -euo pipefail

need=(cmake g++ make googletest clang libclang-rt-14-dev
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
      libz-mingw-w64-dev xvfb xauth imagemagick locales wine wine32:i386)

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
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The MinGW compilers must be the posix-thread variants (std::thread, GoogleTest).
for t in g++ gcc; do
  cur=$(readlink -f "$(command -v i686-w64-mingw32-$t)" 2>/dev/null || true)
  case "$cur" in
    *-posix) ;;
    *) update-alternatives --set i686-w64-mingw32-$t /usr/bin/i686-w64-mingw32-$t-posix >/dev/null 2>&1 || true ;;
  esac
done
exit 0
