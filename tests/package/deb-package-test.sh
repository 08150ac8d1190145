#!/usr/bin/env bash
# DebPackageTest: the Debian package built from this tree's library holds it in /usr/lib/vst, stripped as the
# archive's, under a version that grows with every commit; declares the libraries and font it needs, and
# installs into and is removed from a scratch root with dpkg.
# Usage: tests/package/deb-package-test.sh LIBRARY.so
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
library="$1"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

version=$("$root/scripts/version.sh")
deb=$("$root/scripts/deb-package.sh" "$library" "$version" "$scratch/out") || { echo "FAULT: the package was not built"; exit 1; }

# Versions: the plug-in's own (vendor version 1000 is 1.0), and each commit's sorts after its parent's,
# whatever their hashes, so apt sees every later build as an upgrade.
vendor=$(sed -nE 's/.*getVendorVersion\(\) \{ return ([0-9]+); \}.*/\1/p' "$root/effect/CompGatePlugin.cpp")
[[ "$version" == "$((vendor / 1000)).$((vendor % 1000 / 100))."* ]] || fault "version $version is not the plug-in's $vendor"
if git -C "$root" rev-parse -q --verify HEAD~8 >/dev/null; then
  later=$version
  for back in 1 2 3 4 5 6 7 8; do
    earlier=$("$root/scripts/version.sh" "HEAD~$back")
    dpkg --compare-versions "$earlier" lt "$later" || fault "$earlier does not sort before $later"
    later=$earlier
  done
fi

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fault "Version: $(field Version), not $version"
[ "$(field Package)" = vozuvazirova ] || fault "Package: $(field Package)"
[ "$(field Architecture)" = amd64 ] || fault "Architecture: $(field Architecture)"
depends=$(field Depends)
for needed in 'libc6 (>= 2.29)' libx11-6 libxext6 libcairo2 libfontconfig1 fonts-liberation; do
  [[ ", $depends" == *", $needed"* || "$depends" == *"| $needed"* ]] || fault "Depends lacks $needed: $depends"
done

# Contents: the library, not executable, owned by root; the documents Debian asks for.
listing=$(dpkg-deb -c "$deb")
grep -qE '^-rw-r--r-- root/root .* \./usr/lib/vst/VozuvAzirOVA\.so$' <<<"$listing" || fault "no /usr/lib/vst/VozuvAzirOVA.so (0644, root):
$listing"
for doc in copyright changelog.gz; do
  grep -q "\./usr/share/doc/vozuvazirova/$doc\$" <<<"$listing" || fault "no $doc"
done
# The LV2 bundle built beside the library comes along, each of its files.
bundle_files=0
for file in "$(dirname "$library")"/VozuvAzirOVA.lv2/*.ttl "$(dirname "$library")"/VozuvAzirOVA.lv2/*.so; do
  [ -f "$file" ] || continue
  bundle_files=$((bundle_files + 1))
  grep -qE "^-rw-r--r-- root/root .* \./usr/lib/lv2/VozuvAzirOVA\.lv2/$(basename "$file")\$" <<<"$listing" \
    || fault "no /usr/lib/lv2/VozuvAzirOVA.lv2/$(basename "$file") (0644, root)"
done
[ "$(grep -c '^-' <<<"$listing")" = $((4 + bundle_files)) ] || fault "unexpected files:
$listing"

# Install and remove in a scratch root with an empty package database.
target="$scratch/root"
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
touch "$target/var/lib/dpkg/status"
dpkg_root() { dpkg --root="$target" --log=/dev/null --force-not-root --force-depends "$@"; }
dpkg_root -i "$deb" >"$scratch/dpkg.log" 2>&1 || fault "dpkg -i failed: $(cat "$scratch/dpkg.log")"
installed="$target/usr/lib/vst/VozuvAzirOVA.so"
[ -f "$installed" ] || fault "not installed at /usr/lib/vst/VozuvAzirOVA.so"
[ -f "$installed" ] && ! readelf -SW "$installed" | grep -q '\.symtab' || fault "the installed library is not stripped"
"$root/scripts/strip-library.sh" "$library" "$scratch/shipped.so"
[ -f "$installed" ] && cmp -s "$installed" "$scratch/shipped.so" || fault "the package's library is not the one the archive ships"
[ -f "$installed" ] && readelf --dyn-syms -W "$installed" | grep -qE ' FUNC +GLOBAL +DEFAULT +[0-9]+ VSTPluginMain$' \
  || fault "the installed library lost its entry"
dpkg_root -s vozuvazirova 2>/dev/null | grep -q '^Status: install ok installed' || fault "dpkg does not list it as installed"
dpkg_root -r vozuvazirova >>"$scratch/dpkg.log" 2>&1 || fault "dpkg -r failed: $(cat "$scratch/dpkg.log")"
[ ! -e "$installed" ] && [ ! -e "$target/usr/lib/vst" ] && [ ! -e "$target/usr/lib/lv2" ] || fault "removal left files behind: $(find "$target/usr" 2>/dev/null)"

if [ "$faults" -gt 0 ]; then
  echo "$deb: $faults fault(s)"
  exit 1
fi
echo "$deb: contents, control data, install and removal as expected"
