#!/usr/bin/env bash
# Prints a signed release's section of the update information file
# ("Updates.ini"):
#   sign-release.sh PRIVATE_KEY PROGRAM ARCHIVE DATE FILE [NEWS]
# for instance
#   scripts/sign-release.sh /work/keys/release-private.pem TRV dist/TRV.zip \
#       09.12.2026 TRV.zip '"09.12.2026: Neue Befehle"'
# "SHA256" is the archive's SHA-256; "Signature" the RSA PKCS#1 v1.5
# signature over SHA-256 of PROGRAM, DATE, FILE, SHA256 and NEWS joined by LF
# (update/ReleaseSignature.h), in base64; no NEWS signs an empty one. The
# program checks the values byte for byte as the INI file holds them: write
# the section into the file unchanged (in Windows-1252, should a value hold
# anything beyond ASCII; give NEWS in the bytes the file is to hold).
set -euo pipefail
if [ $# -lt 5 ] || [ $# -gt 6 ]; then
  echo "usage: $0 PRIVATE_KEY PROGRAM ARCHIVE DATE FILE [NEWS]" >&2
  exit 2
fi
key=$1 program=$2 archive=$3 date=$4 file=$5 news=${6-}
# What the INI reader would change (blanks at the ends, quotes around the
# value) or cannot hold (line breaks) would never verify.
for value in "$program" "$date" "$file" ${news:+"$news"}; do
  case "$value" in
    '' | *$'\n'* | *$'\r'* | [[:space:]]* | *[[:space:]] | \"*\" | \'*\')
      echo "$0: unusable value '$value'" >&2
      exit 2
      ;;
  esac
done
sha256=$(openssl dgst -sha256 -r "$archive" | cut -d' ' -f1)
signature=$(printf '%s\n%s\n%s\n%s\n%s' "$program" "$date" "$file" "$sha256" "$news" |
  openssl dgst -sha256 -sign "$key" | base64 -w0)
printf '[%s]\nFile=%s\nDate=%s\n' "$program" "$file" "$date"
if [ -n "$news" ]; then printf 'News=%s\n' "$news"; fi
printf 'SHA256=%s\nSignature=%s\n' "$sha256" "$signature"
