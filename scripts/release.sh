#!/usr/bin/env bash
# Makes a release of TRV.EXE for the update server:
#   release.sh PRIVATE_KEY [--version 1.2.0.0] [--date dd.mm.yyyy]
#              [--news TEXT] [--out DIR] [--exe PATH]
# builds TRV.EXE with that version in a build folder of its own
# ($TARVO_BUILD/release, never the tests' build/win) and writes into DIR
# (dist/ by default):
#   TRV.zip      TRV.EXE, the help page TRV.HTM with its pictures, and the
#                install script template Update.bat;
#   Updates.ini  the program's section, signed with PRIVATE_KEY by
#                scripts/sign-release.sh.
# --date is the release's "Date" (today by default): the program installs a
# release dated later than its own file. --news is the value of "News" as
# the file holds it, in Windows-1252 and signed with the rest: entries
# "dd.mm.yyyy: text" separated by commas, an entry with blanks or a comma in
# double quotes; the whole may not begin and end with a double quote (the
# INI reader would take them off), so the last entry must need none. Without
# --news the program shows "keine Angaben gefunden". --exe packs an
# already built program instead of building one; its version is read from
# it (--version, when given, must match).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() {
  sed -n '2,4p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
die() {
  echo "$0: $*" >&2
  exit 1
}

[ $# -ge 1 ] || usage
key=$1
shift
version='' date=$(date +%d.%m.%Y) news='' out=$root/dist exe=''
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case "$1" in
    --version) version=$2 ;;
    --date) date=$2 ;;
    --news) news=$2 ;;
    --out) out=$2 ;;
    --exe) exe=$2 ;;
    *) usage ;;
  esac
  shift 2
done

[ -r "$key" ] || die "the private key '$key' cannot be read"
if [ -n "$version" ] && ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
  die "version '$version' is not four numbers, as 1.2.0.0"
fi
# The program reads the date as dd.mm.yyyy in any locale; a day that does
# not exist is no update at all.
[[ "$date" =~ ^([0-9]{2})\.([0-9]{2})\.([0-9]{4})$ ]] || die "date '$date' is not dd.mm.yyyy"
[ "$(date -d "${BASH_REMATCH[3]}-${BASH_REMATCH[2]}-${BASH_REMATCH[1]}" +%d.%m.%Y 2>/dev/null)" = "$date" ] ||
  die "date '$date' is no day"

# The version in a program's version resource (VS_FIXEDFILEINFO).
exe_version() {
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
at = data.find(struct.pack('<I', 0xFEEF04BD))
if at < 0:
    sys.exit('no version resource in ' + sys.argv[1])
ms, ls = struct.unpack_from('<II', data, at + 8)
print('%d.%d.%d.%d' % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
EOF
}

if [ -z "$exe" ]; then
  if [ -z "$version" ]; then
    version=$(sed -n 's/^ *set(TARVO_VERSION \([0-9.]*\) CACHE.*/\1/p' "$root/CMakeLists.txt")
  fi
  build=${TARVO_BUILD:-$root/build}/release
  cmake -S "$root" -B "$build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DTARVO_VERSION="$version" >/dev/null
  cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target TRV -- --no-print-directory >/dev/null
  exe=$build/TRV.EXE
fi
[ -f "$exe" ] || die "no program '$exe'"
built=$(exe_version "$exe")
[ -z "$version" ] || [ "$version" = "$built" ] || die "'$exe' has version $built, not $version"
version=$built
news=$(printf '%s' "$news" | iconv -f UTF-8 -t CP1252) || die "the news cannot be written in Windows-1252"

# Made aside and moved in at the end: a failed run leaves no half release.
mkdir -p "$out"
work=$(mktemp -d "$out/.release.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$work/TRV.zip" "$date" "$exe" "$root/resources" <<'EOF'
import glob, os, sys, zipfile
archive, date, exe, resources = sys.argv[1:]
day, month, year = (int(part) for part in date.split('.'))
files = [(exe, 'TRV.EXE'), (os.path.join(resources, 'TRV.HTM'), 'TRV.HTM')]
files += [(path, os.path.basename(path)) for path in sorted(glob.glob(os.path.join(resources, 'TRV-*.png')))]
files.append((os.path.join(resources, 'Update.bat'), 'Update.bat'))
with zipfile.ZipFile(archive, 'w', zipfile.ZIP_DEFLATED) as z:
    for path, name in files:
        entry = zipfile.ZipInfo(name, (year, month, day, 12, 0, 0))
        entry.external_attr = 0o644 << 16
        with open(path, 'rb') as f:
            z.writestr(entry, f.read(), zipfile.ZIP_DEFLATED)
EOF
"$root/scripts/sign-release.sh" "$key" TRV "$work/TRV.zip" "$date" TRV.zip ${news:+"$news"} > "$work/Updates.ini"
mv -f "$work/TRV.zip" "$work/Updates.ini" "$out/"
echo "TRV $version, $date: $out/TRV.zip (to /Updates/TRV.zip on the server), $out/Updates.ini (its section, to /Updates.ini)"
