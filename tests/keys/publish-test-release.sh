#!/usr/bin/env bash
# The nginx test's release (a CTest fixture): EXE packed by scripts/release.sh
# as a release dated 31.12.2099, signed with the TEST key, and laid out in
# SITE as the update server holds it ("Updates.ini" at the root, the archive
# in "Updates/").
#   publish-test-release.sh SITE EXE
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
site=$1 exe=$2
rm -rf "$site/release" "$site/Updates.ini" "$site/Updates"
mkdir -p "$site/Updates"
"$here/../../scripts/release.sh" "$here/test-release-private.pem" --exe "$exe" --date 31.12.2099 \
  --news '"31.12.2099: Neue Version für den Test",Hinweis' --out "$site/release" >/dev/null
mv "$site/release/Updates.ini" "$site/Updates.ini"
mv "$site/release/TRV.zip" "$site/Updates/TRV.zip"
rmdir "$site/release"
