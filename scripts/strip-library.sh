#!/usr/bin/env bash
# Writes the shipped form of the Linux library: no symbols beyond the dynamic ones, no compiler notes. The
# one way it is stripped, so the archive and the Debian package hold the same file.
# Usage: scripts/strip-library.sh LIBRARY.so OUT.so
set -euo pipefail
strip --strip-unneeded --remove-section=.comment --remove-section=.note -o "$2" "$1"
