#!/usr/bin/env bash
# The tests' signed release, made before they run (a CTest fixture) into
# DIR: an archive "TRV.zip" of 200 KB (more than one read block), its
# section "Updates.ini" signed with the test key, and the test key's public
# half beside them.
#   sign-test-release.sh DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
head -c 200000 < <(yes "Tarvo-Update") > "$dir/TRV.zip"
"$here/../../scripts/sign-release.sh" "$here/test-release-private.pem" TRV "$dir/TRV.zip" \
  09.12.2026 TRV.zip '"09.12.2026: Signiert"' > "$dir/Updates.ini"
cp "$here/test-release-public.pem" "$dir/"
