#!/usr/bin/env bash
# The main job: builds the plug-in (32-bit DLL and native tools) and renders the built-in demo through the
# 32-bit DLL under Wine, printing the summary. Extra arguments go to vozuv-render.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds="${VOZUV_BUILD_ROOT:-$root/build}"
cd "$root"
bash scripts/install-deps.sh
VOZUV_TARGETS="VozuvAzirOVA vozuv-winhost" scripts/build.sh win32 "$builds/win32" >/dev/null
VOZUV_TARGETS="vozuv-render" scripts/build.sh native "$builds/native" -DVOZUV_WIN32_DIR="$builds/win32" -DVOZUV_WIN64_DIR="$builds/win64" >/dev/null
# Without DISPLAY vozuv-render starts a private Xvfb itself for the editor's screenshot (XvfbServer).
start=$(mktemp)
"$builds/native/vozuv-render" "$@"
# The same demo once more, quietly, for the editor at 200 %: editor-200.png beside editor.png.
demo_dir=vozuv-demo
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
  [ "${args[i]}" = "--demo-dir" ] && demo_dir="${args[i + 1]}"
done
if [ "$demo_dir/editor.png" -nt "$start" ]; then
  second=$(mktemp -d)
  "$builds/native/vozuv-render" "$@" --demo-dir "$second" --zoom 200 >/dev/null
  cp "$second/editor.png" "$demo_dir/editor-200.png"
  rm -rf "$second"
  echo "editor at 200%: $demo_dir/editor-200.png"
fi
rm -f "$start"
