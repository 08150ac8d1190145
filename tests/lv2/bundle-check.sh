#!/usr/bin/env bash
# Lv2BundleCheck: lv2_validate accepts the bundle; lv2info lists its URI, every port with its range and the
# UI; the description gives each audible port its unit and hides the stored-only ones from generic UIs;
# the DSP library needs only the C library and libm and exports lv2_descriptor alone.
# Usage: tests/lv2/bundle-check.sh BUNDLE_DIR PLUGIN_URI [--no-library]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bundle="$1"
uri="$2"
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

validation=$(lv2_validate "$bundle"/*.ttl 2>&1)
grep -q '^Found 0 errors' <<<"$validation" || fault "lv2_validate: $(grep -v '^Skipping' <<<"$validation")"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ln -s "$(cd "$bundle" && pwd)" "$scratch/VozuvAzirOVA.lv2"
info=$(LV2_PATH="$scratch" lv2info "$uri" 2>&1)
head -n 1 <<<"$info" | grep -qx "$uri" || fault "lv2info does not list $uri: $(head -n 3 <<<"$info")"
grep -q 'Name: *VozuvAzirOVA$' <<<"$info" || fault "lv2info: no name"
grep -q "$uri#ui" <<<"$info" && grep -q 'ui#X11UI' <<<"$info" || fault "lv2info: no X11 UI"
[ "$(grep -c '^	Port [0-9]*:' <<<"$info")" = 21 ] || fault "lv2info: not 21 ports"
# symbol minimum maximum of each control input, as lv2info prints them.
ranges=$(awk '/^\tPort/ {s = ""} /Symbol:/ {s = $2} /Minimum:/ {lo = $2} /Maximum:/ {print s, lo, $2}' <<<"$info")
for expected in "InputGain -20.000000 20.000000" "CompThreshold -60.000000 0.000000" "CompRatio 1.000000 10.570001" \
  "CompAttack 1.500000 150.000015" "CompRelease 15.000000 312.000031" "CompMakeup -20.000000 10.000000" \
  "LPShelf 0.000000 1.000000" "Delay 0.000000 1.000000" "MeterGain 0.000000 1.000000"; do
  grep -qx "$expected" <<<"$ranges" || fault "lv2info: no range '$expected' in: $(tr '\n' ';' <<<"$ranges")"
done

# Units and properties straight from the description: symbol, then each unit or property of its port.
triples=$(sordi -o ntriples "$bundle/VozuvAzirOVA.ttl" 2>/dev/null)
port_of() { grep "<http://lv2plug.in/ns/lv2core#symbol> \"$1\"" <<<"$triples" | awk '{print $1}'; }
has() { grep -qF "$(port_of "$1") <$2> $3" <<<"$triples"; }
units='http://lv2plug.in/ns/extensions/units#unit'
for p in InputGain CompThreshold CompMakeup; do has "$p" "$units" '<http://lv2plug.in/ns/extensions/units#db>' || fault "$p not in dB"; done
for p in CompAttack CompRelease; do has "$p" "$units" '<http://lv2plug.in/ns/extensions/units#ms>' || fault "$p not in ms"; done
has CompRatio "$units" '_:' || fault "CompRatio has no unit of its own"
grep -q 'units#render> "%.1f:1"' <<<"$triples" || fault "the ratio does not render as N:1"
hidden='<http://lv2plug.in/ns/lv2core#portProperty> <http://lv2plug.in/ns/ext/port-props#notOnGUI>'
for p in Delay GateThreshold GateAttack GateRelease FeedBack Volume; do
  grep -qF "$(port_of "$p") $hidden" <<<"$triples" || fault "$p shown on generic UIs"
done
for p in InputGain LPShelf HPShelf CompThreshold CompRatio CompAttack CompRelease CompMakeup; do
  grep -qF "$(port_of "$p") $hidden" <<<"$triples" && fault "$p hidden from generic UIs"
done
[ "$(grep -c 'ui#portNotification' <<<"$triples")" = 3 ] || fault "the UI is not notified of the three meters"
grep -q 'lv2core#requiredFeature' <<<"$(grep -v '#ui>' <<<"$triples" | grep "^<$uri>")" && fault "the plug-in requires a host feature"

if [ "${3:-}" != --no-library ]; then
  VOZUV_ALLOWED_LIBRARIES="libc.so.6 libm.so.6 ld-linux-x86-64.so.2" VOZUV_EXPORTS="lv2_descriptor" \
    bash "$root/tests/package/library-needs.sh" "$bundle/VozuvAzirOVA_dsp.so" || fault "the DSP library's needs"
fi

if [ "$faults" -gt 0 ]; then
  echo "$bundle: $faults fault(s)"
  exit 1
fi
echo "$bundle: valid, 21 ports, ranges and units as the editor reads them"
