#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a desktop and Debian get of the game. The .deb holds the files the
# install rules name (the program in games/); its desktop entry, icons,
# metadata and manual pages are valid and name each other; lintian is content;
# Depends names what the program loads. Two more builds from the source, in
# directories whose paths differ in length and depth, give the same .deb.
# Usage: tst_packaging.sh BUILD_DIR CMAKE CPACK SOURCE_DIR
set -euo pipefail
build=$1 cmake=$2 cpack=$3 source=$4
id=org.tarmelon.Tarmelon
scratch=$(mktemp -d /tmp/tarmelon-packaging.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
differ() { diff <(echo "$1") <(echo "$2") | grep '^[<>]' | tr '\n' ' ' || true; }

expected=$(printf '%s\n' games/tarmelon share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/doc/tarmelon/{copyright,changelog.gz} share/man/{,ru/}man6/tarmelon.6.gz \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png | sort)

# File by file: nothing missing, nothing stray.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log"; fail "cpack"; exit 1; }
deb=$(echo "$scratch"/deb/tarmelon_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
packed=$(cd "$scratch/root/usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$packed" = "$expected" ] || fail "packed files differ: $(differ "$expected" "$packed")"

desktop=$scratch/root/usr/share/applications/$id.desktop
metainfo=$scratch/root/usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
# Only the id's capitals are remarked on; renaming it would break installs.
remarks=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep '^[EWIP]:' \
    | grep -v ': cid-contains-uppercase-letter ' || true)
[ -z "$remarks" ] || fail "appstreamcli: $remarks"
# A desktop matches entry, icon and metadata by these names alone.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)|$(key Icon)|$(key StartupNotify)" = "tarmelon --data-folder|$id|true" ] \
    || fail "Exec=$(key Exec) Icon=$(key Icon) StartupNotify=$(key StartupNotify)"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launches no $id.desktop"
lintian_says=$(lintian --pedantic "$deb" 2>&1 | grep '^[EW]:' || true)
[ -z "$lintian_says" ] || fail "lintian: $lintian_says"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core libqt6widgets6 libc6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done


debs=()
for dir in a a-longer-name/and-deeper; do
    { "$cmake" -S "$source" -B "$scratch/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
        && "$cmake" --build "$scratch/$dir" -j2 --target package; } >"$scratch/build.log" 2>&1 \
        || { cat "$scratch/build.log"; fail "building in $dir"; exit 1; }
    debs+=("$(echo "$scratch/$dir"/tarmelon_*.deb)")
done
cmp -s "${debs[@]}" || fail "the two .deb files differ"

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "desktop entry, metadata, icons, manual pages and .deb: all present and valid;" \
    "the same .deb from two directories: $(sha256sum <"${debs[0]}" | cut -d' ' -f1)"
