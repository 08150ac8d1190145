#!/usr/bin/env bash
# LibraryNeedsTest: the Linux library asks the system for nothing newer than glibc 2.29, links no C++
# runtime, needs only the libraries the package depends on, binds every reference of its glibc stand-ins,
# and exports its entry under two names alone (or the names given, for the other libraries linked like it).
# Usage: tests/package/library-needs.sh LIBRARY.so [EXPORTED_NAME...]
set -uo pipefail
library="$1"
shift
max_glibc="2.29"
# Another library shipped the same way (the LV2 DSP library) names its own through the environment.
allowed_libraries="${VOZUV_ALLOWED_LIBRARIES:-libc.so.6 libm.so.6 ld-linux-x86-64.so.2 libX11.so.6 libXext.so.6 libcairo.so.2 libfontconfig.so.1}"
expected_exports="${*:-${VOZUV_EXPORTS:-VSTPluginMain main}}"
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

for needed in $(readelf -dW "$library" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p'); do
  [[ " $allowed_libraries " == *" $needed "* ]] || fault "needs library $needed"
done

# Version needs: "File: libc.so.6" heads each library's list of "Name: GLIBC_2.17" entries.
while read -r file version; do
  case "$version" in
    GLIBC_PRIVATE) fault "$file: needs GLIBC_PRIVATE" ;;
    GLIBC_*)
      newest=$(printf '%s\n%s\n' "${version#GLIBC_}" "$max_glibc" | sort -V | tail -n 1)
      [ "$newest" = "$max_glibc" ] || fault "$file: needs $version (newer than GLIBC_$max_glibc): $(
        objdump -T "$library" | awk -v v="($version)" '$0 ~ /\*UND\*/ && index($0, v) {printf "%s ", $NF}')"
      ;;
    *) fault "$file: needs $version" ;;
  esac
done < <(readelf -VW "$library" | awk '/File:/ {for (i = 1; i < NF; ++i) if ($i == "File:") file = $(i + 1)} /Name:/ && file {print file, $3}')

# A stand-in's reference to an old glibc version that lost its version (the directive dropped, or moved
# away from it by link-time optimisation) stays under its own name and binds to nothing.
unbound=$(readelf --dyn-syms -W "$library" | awk '$7 == "UND" && $8 ~ /^vozuv/ {printf "%s ", $8}')
[ -z "$unbound" ] || fault "references that bind to nothing: $unbound"

# Exports: every defined global symbol of the dynamic table, with its address.
exports=$(readelf --dyn-syms -W "$library" | awk '$1 ~ /^[0-9]+:$/ && $5 != "LOCAL" && $7 != "UND" && $4 != "SECTION" && NF >= 8 {print $8, $2}' | sort)
names=$(awk '{print $1}' <<<"$exports" | tr '\n' ' ')
[ "$names" = "$expected_exports " ] || fault "exports '$names', expected '$expected_exports '"
[ "$(awk '{print $2}' <<<"$exports" | sort -u | wc -l)" = "1" ] || fault "the exported names are different functions"

if [ "$faults" -gt 0 ]; then
  echo "$library: $faults fault(s)"
  exit 1
fi
echo "$library: needs $(readelf -dW "$library" | sed -nE 's/.*\(NEEDED\).*\[(.*)\]/\1/p' | tr '\n' ' ')"
echo "versions: $(readelf -VW "$library" | awk '/Name:/ && $3 ~ /^GLIBC/ {print $3}' | sort -uV | tr '\n' ' ')"
