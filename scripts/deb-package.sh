#!/usr/bin/env bash
# Builds the Debian package of the Linux library: VozuvAzirOVA.so in /usr/lib/vst, where Linux hosts look
# for VST 2 plug-ins, with the system libraries and the read-out font it needs as dependencies.
# The LV2 bundle built beside the library (VozuvAzirOVA.lv2, or VOZUV_LV2_BUNDLE) goes into /usr/lib/lv2.
# Usage: scripts/deb-package.sh LIBRARY.so VERSION OUT_DIR [TIMESTAMP]   (prints the .deb's path; VERSION
# as scripts/version.sh prints it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
library="$1"
version="$2"
out="$3"
stamp="${4:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}"
package=vozuvazirova
# No mailbox exists for the package yet: the address says so rather than point at someone else's.
maintainer="QuiVeRo <quivero@brovane.invalid>"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
docs="$stage/usr/share/doc/$package"
mkdir -p "$stage/DEBIAN" "$stage/usr/lib/vst" "$docs"
"$root/scripts/strip-library.sh" "$library" "$stage/usr/lib/vst/VozuvAzirOVA.so"
chmod 0644 "$stage/usr/lib/vst/VozuvAzirOVA.so"
bundle="${VOZUV_LV2_BUNDLE:-$(dirname "$library")/VozuvAzirOVA.lv2}"
if [ -f "$bundle/manifest.ttl" ]; then
  mkdir -p "$stage/usr/lib/lv2/VozuvAzirOVA.lv2"
  for file in "$bundle"/*.ttl "$bundle"/*.so; do
    [ -f "$file" ] || continue
    target="$stage/usr/lib/lv2/VozuvAzirOVA.lv2/$(basename "$file")"
    if [[ "$file" == *.so ]]; then "$root/scripts/strip-library.sh" "$file" "$target"; else cp "$file" "$target"; fi
    chmod 0644 "$target"
  done
fi
gzip -9n <"$root/docs/USER-GUIDE.md" >"$docs/USER-GUIDE.md.gz"
cat >"$docs/copyright" <<EOF
VozuvAzirOVA
Copyright (C) $(date -u -d "@$stamp" +%Y) BroVane, coded by QuiVeRo.
EOF
{
  echo "$package ($version) unstable; urgency=medium"
  echo
  echo "  * Release $version."
  echo
  echo " -- $maintainer  $(LC_ALL=C date -u -R -d "@$stamp")"
} | gzip -9n >"$docs/changelog.gz"

# The glibc floor is what tests/package/library-needs.sh holds the library to; Cairo and fontconfig are
# the oldest releases with every call the library makes; Arial is drawn with its metric twin.
cat >"$stage/DEBIAN/control" <<EOF
Package: $package
Version: $version
Architecture: amd64
Maintainer: $maintainer
Installed-Size: $(du -k -s --exclude=DEBIAN "$stage" | cut -f1)
Depends: libc6 (>= 2.29), libcairo2 (>= 1.7.2), libfontconfig1 (>= 2.12.6), libx11-6, libxext6, fonts-liberation | fonts-liberation2
Section: sound
Priority: optional
Description: stereo compressor plug-in for VST 2 and LV2 hosts
 VozuvAzirOVA is a stereo compressor with its own painted editor: eight
 knobs, value read-outs and input, gain-reduction and output meters.
 .
 This package installs the 64-bit Linux library into /usr/lib/vst, where
 Linux hosts of VST 2 plug-ins find it, and the LV2 bundle into
 /usr/lib/lv2. The editor opens as an X11 window.
EOF
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -exec touch -h -d "@$stamp" {} +

mkdir -p "$out"
deb="$(cd "$out" && pwd)/${package}_${version}_amd64.deb"
SOURCE_DATE_EPOCH="$stamp" dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"
