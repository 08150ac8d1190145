#!/usr/bin/env bash
# Prints the release version of a commit (default HEAD): the plug-in's own version (the vendor version it
# reports to hosts, 1000 for 1.0), the number of commits up to it and its short hash, as
# MAJOR.MINOR.COUNT+gHASH. The count makes every later commit sort higher (dpkg, apt, sort -V); the hash
# names the commit. Without git: MAJOR.MINOR.0+unknown.
# Usage: scripts/version.sh [COMMIT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit="${1:-HEAD}"
source_file=effect/CompGatePlugin.cpp

if git -C "$root" rev-parse --verify -q "$commit^{commit}" >/dev/null 2>&1; then
  source=$(git -C "$root" show "$commit:$source_file")
  count=$(git -C "$root" rev-list --count "$commit")
  hash=g$(git -C "$root" rev-parse --short "$commit")
else
  [ "$commit" = HEAD ] || { echo "version.sh: no commit $commit" >&2; exit 1; }
  source=$(cat "$root/$source_file")
  count=0
  hash=unknown
fi
vendor=$(sed -nE 's/.*getVendorVersion\(\) \{ return ([0-9]+); \}.*/\1/p' <<<"$source")
[ -n "$vendor" ] || { echo "version.sh: no vendor version in $source_file" >&2; exit 1; }
echo "$((vendor / 1000)).$((vendor % 1000 / 100)).$count+$hash"
