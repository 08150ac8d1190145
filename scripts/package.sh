#!/usr/bin/env bash
# Builds the release archive: the 32-bit and 64-bit Windows DLLs, the Linux library and the user guide.
# Usage: scripts/package.sh [OUT_DIR]   (default: dist/; the archive is OUT_DIR/VozuvAzirOVA-VERSION.tar.gz)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="${1:-$root/dist}"
mkdir -p "$out"
out=$(cd "$out" && pwd)

"$root/scripts/install-deps.sh"

# Vendor version 1000 is 1.0; the commit tells builds of the same version apart.
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
version="1.0-$commit"
name="VozuvAzirOVA-$version"

for flavour in win32 win64 native; do
  echo "building $flavour" >&2
  VOZUV_TARGETS=VozuvAzirOVA "$root/scripts/build.sh" "$flavour" "$root/build/$flavour" >/dev/null
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/windows-32bit" "$stage/$name/windows-64bit" "$stage/$name/linux-x86_64"
cp "$root/build/win32/VozuvAzirOVA.dll" "$stage/$name/windows-32bit/"
cp "$root/build/win64/VozuvAzirOVA.dll" "$stage/$name/windows-64bit/"
cp "$root/build/native/VozuvAzirOVA.so" "$stage/$name/linux-x86_64/"
strip --strip-unneeded "$stage/$name/linux-x86_64/VozuvAzirOVA.so"
cp "$root/docs/USER-GUIDE.md" "$stage/$name/"

# Reproducible order, owner and times inside the archive.
stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)
tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -C "$stage" -czf "$out/$name.tar.gz" "$name"
echo "$out/$name.tar.gz"
tar -tzvf "$out/$name.tar.gz" >&2
