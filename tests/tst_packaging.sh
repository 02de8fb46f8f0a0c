#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a desktop and Debian get of the game: an install into a scratch prefix
# holds the program, its desktop entry, icons, AppStream metadata, manual
# pages and changelog, all valid and naming each other; the .deb holds the
# same files with the program in games/, satisfies lintian, depends on what
# the program loads, and its program starts.
# Usage: tst_packaging.sh BUILD_DIR CMAKE CPACK
set -euo pipefail
build=$1 cmake=$2 cpack=$3
id=org.tarmelon.Tarmelon
scratch=$(mktemp -d /tmp/tarmelon-packaging.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
differ() { diff <(echo "$1") <(echo "$2") | grep '^[<>]' | tr '\n' ' ' || true; }

expected=$(printf '%s\n' bin/tarmelon share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/doc/tarmelon/{copyright,changelog.gz} share/man/{,ru/}man6/tarmelon.6.gz \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png | sort)

# The install, file by file: nothing missing, nothing stray; each icon as big
# as its folder says.
prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ: $(differ "$expected" "$installed")"
for icon in "$prefix"/share/icons/hicolor/*/apps/$id.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    file -b "$icon" | grep -q "^PNG image data, ${size/x/ x }," || fail "$size icon is $(file -b "$icon")"
done

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
# Only the id's capitals are remarked on; renaming it would break installs.
remarks=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1 | grep '^[EWIP]:' \
    | grep -v ': cid-contains-uppercase-letter ' || true)
[ -z "$remarks" ] || fail "appstreamcli: $remarks"
for page in man/man6 man/ru/man6; do
    warnings=$(man --warnings -l "$prefix/share/$page/tarmelon.6.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page/tarmelon.6: $warnings"
done
# A desktop matches entry, icon and metadata by these names alone.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)|$(key Icon)" = "tarmelon --data-folder|$id" ] || fail "Exec=$(key Exec) Icon=$(key Icon)"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launches no $id.desktop"

# The Debian package.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log"; fail "cpack"; exit 1; }
deb=$(echo "$scratch"/deb/tarmelon_*.deb)
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/||' | sort)
expected=$(echo "$expected" | sed 's|^bin/|games/|' | sort)
[ "$packed" = "$expected" ] || fail "packed files differ: $(differ "$expected" "$packed")"
lintian_says=$(lintian --pedantic "$deb" 2>&1 | grep '^[EW]:' || true)
[ -z "$lintian_says" ] || fail "lintian: $lintian_says"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core libqt6widgets6 libc6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

# The packed program keeps running until stopped.
dpkg-deb -x "$deb" "$scratch/root"
mkdir "$scratch/run"
status=0
(cd "$scratch/run" && QT_QPA_PLATFORM=offscreen timeout 3 "$scratch/root/usr/games/tarmelon") >"$scratch/run.log" 2>&1 \
    || status=$?
[ $status -eq 124 ] || { cat "$scratch/run.log"; fail "the packed program ended with status $status"; }

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "install, desktop entry, metadata, icons, manual pages and .deb: all present and valid"
