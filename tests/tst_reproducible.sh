#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two builds of one source, in build directories whose paths differ in length
# and depth, give the same .deb byte for byte; when they do not, the files
# that differ are named.
# Usage: tst_reproducible.sh SOURCE_DIR CMAKE
set -euo pipefail
source=$1 cmake=$2
scratch=$(mktemp -d /tmp/tarmelon-reproducible.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

debs=()
for dir in a a-longer-name/and-deeper; do
    build=$scratch/$dir
    { "$cmake" -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
        && "$cmake" --build "$build" -j2 --target package; } >"$scratch/build.log" 2>&1 \
        || { cat "$scratch/build.log"; echo "FAIL: building in $dir"; exit 1; }
    debs+=("$(echo "$build"/tarmelon_*.deb)")
done

if cmp -s "${debs[@]}"; then
    echo "the same .deb from both directories: $(sha256sum <"${debs[0]}" | cut -d' ' -f1)"
    exit 0
fi
echo "FAIL: the two .deb files differ"
for n in 0 1; do
    dpkg-deb -R "${debs[$n]}" "$scratch/unpacked$n"
    dpkg-deb --fsys-tarfile "${debs[$n]}" | tar tv --full-time >"$scratch/listing$n"
done
diff -r -q "$scratch/unpacked0" "$scratch/unpacked1" | sed "s|$scratch/||g" || true
diff "$scratch/listing0" "$scratch/listing1" || true
exit 1
