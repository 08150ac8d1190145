#!/usr/bin/env bash
# Configures and builds one flavour: native, win32, win64, asan (native with address and
# undefined-behaviour sanitizers) or tsan (native with the thread sanitizer).
# Usage: scripts/build.sh FLAVOUR [BUILD_DIR [CMAKE_ARGS...]]   (default build dir: build/FLAVOUR)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour="${1:-native}"
dir="${2:-$root/build/$flavour}"
shift $(( $# > 2 ? 2 : $# ))
args=(-G Ninja -S "$root" -B "$dir")
case "$flavour" in
  native) args+=(-DCMAKE_BUILD_TYPE=Release) ;;
  win32)  args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release) ;;
  win64)  args+=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release) ;;
  asan)   args+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOZUV_SANITIZE=address,undefined -DVOZUV_BENCH=OFF) ;;
  tsan)   args+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOZUV_SANITIZE=thread -DVOZUV_BENCH=OFF) ;;
  *) echo "unknown flavour: $flavour (native, win32, win64, asan, tsan)" >&2; exit 2 ;;
esac
cmake "${args[@]}" "$@" >/dev/null
# VOZUV_CONFIGURE_ONLY=1 stops here.
[ "${VOZUV_CONFIGURE_ONLY:-0}" = "1" ] && exit 0
# VOZUV_TARGETS="a b" builds only those targets.
targets=()
for t in ${VOZUV_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
