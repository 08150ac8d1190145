#!/usr/bin/env bash
# Builds the downloads: VozuvAzirOVA-VERSION.tar.gz (the 32-bit and 64-bit Windows DLLs, the Linux library
# and the user guide), VozuvAzirOVA-VERSION-windows.zip (the two DLLs and the guide) and the Debian package
# vozuvazirova_VERSION_amd64.deb (the Linux library in /usr/lib/vst), checked by lintian. VERSION is
# scripts/version.sh's, e.g. 1.0.175+g870d703.
# Usage: scripts/package.sh [OUT_DIR]   (default: dist/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="${1:-$root/dist}"
mkdir -p "$out"
out=$(cd "$out" && pwd)

"$root/scripts/install-deps.sh" zip lintian

# One version for every download, which sorts after every earlier commit's (scripts/version.sh).
version=$("$root/scripts/version.sh")
name="VozuvAzirOVA-$version"

for flavour in win32 win64 native; do
  echo "building $flavour" >&2
  VOZUV_TARGETS=VozuvAzirOVA "$root/scripts/build.sh" "$flavour" "$root/build/$flavour" >/dev/null
done
# The LV2 bundle: the DSP library and its description, and the UI library where it is built.
lv2_targets=VozuvAzirOVA_dsp
ninja -C "$root/build/native" -t targets all 2>/dev/null | grep -q '^VozuvAzirOVA_ui:' && lv2_targets+=" VozuvAzirOVA_ui"
VOZUV_TARGETS="$lv2_targets" "$root/scripts/build.sh" native "$root/build/native" >/dev/null

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/windows-32bit" "$stage/$name/windows-64bit" "$stage/$name/linux-x86_64"
cp "$root/build/win32/VozuvAzirOVA.dll" "$stage/$name/windows-32bit/"
cp "$root/build/win64/VozuvAzirOVA.dll" "$stage/$name/windows-64bit/"
"$root/scripts/strip-library.sh" "$root/build/native/VozuvAzirOVA.so" "$stage/$name/linux-x86_64/VozuvAzirOVA.so"
mkdir -p "$stage/$name/linux-x86_64/VozuvAzirOVA.lv2"
for file in "$root/build/native/VozuvAzirOVA.lv2"/*; do
  target="$stage/$name/linux-x86_64/VozuvAzirOVA.lv2/$(basename "$file")"
  if [[ "$file" == *.so ]]; then "$root/scripts/strip-library.sh" "$file" "$target"; else cp "$file" "$target"; fi
done
cp "$root/docs/USER-GUIDE.md" "$stage/$name/"

# Reproducible order, owner and times inside the archive.
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -C "$stage" -czf "$out/$name.tar.gz" "$name"
echo "$out/$name.tar.gz"
tar -tzvf "$out/$name.tar.gz" >&2

# Windows users open a .zip: the same DLLs and guide, same order and times.
rm -rf "${stage:?}/$name/linux-x86_64" "$out/$name-windows.zip"
find "$stage/$name" -exec touch -h -d "@$stamp" {} +
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -9 "$out/$name-windows.zip" -@)
echo "$out/$name-windows.zip"
unzip -l "$out/$name-windows.zip" >&2

# Debian and Ubuntu users install a package; lintian's errors stop the release.
deb=$("$root/scripts/deb-package.sh" "$root/build/native/VozuvAzirOVA.so" "$version" "$out" "$stamp")
echo "$deb"
# Both downloads hold the same library, byte for byte.
tar -xzOf "$out/$name.tar.gz" "$name/linux-x86_64/VozuvAzirOVA.so" >"$stage/from-tar.so"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/vst/VozuvAzirOVA.so >"$stage/from-deb.so"
cmp -s "$stage/from-tar.so" "$stage/from-deb.so" || { echo "the archive's and the package's libraries differ" >&2; exit 1; }
dpkg-deb -I "$deb" >&2
dpkg-deb -c "$deb" >&2
lintian --fail-on error "$deb" >&2
