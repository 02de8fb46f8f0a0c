#!/usr/bin/env bash
# What a desktop and Debian get of the game: an install into a scratch prefix
# holds the program, its desktop entry, icons, AppStream metadata, manual
# pages and changelog, all valid and naming each other; the .deb holds the
# same files with the program in games/, satisfies lintian, depends on what
# the program loads, and its program starts.
# Usage: tst_packaging.sh BUILD_DIR CMAKE CPACK
set -euo pipefail
build=$1 cmake=$2 cpack=$3
id=org.tarmelon.Tarmelon
sizes=(16 22 24 32 48 64 128 256)

scratch=$(mktemp -d /tmp/tarmelon-packaging.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expected=(bin/tarmelon share/applications/$id.desktop share/metainfo/$id.metainfo.xml
          share/doc/tarmelon/copyright share/doc/tarmelon/changelog.gz
          share/man/man6/tarmelon.6.gz share/man/ru/man6/tarmelon.6.gz)
for size in "${sizes[@]}"; do
    expected+=(share/icons/hicolor/${size}x${size}/apps/$id.png)
done
expected_list=$(printf '%s\n' "${expected[@]}" | sort)

# The install, file by file: nothing missing, nothing stray.
prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$installed" = "$expected_list" ] \
    || fail "installed files differ: $(diff <(echo "$expected_list") <(echo "$installed") | grep '^[<>]' | tr '\n' ' ')"
[ -x "$prefix/bin/tarmelon" ] || fail "bin/tarmelon is not executable"

# Each icon is as big as the folder it lies in says.
for size in "${sizes[@]}"; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$icon" ] || continue
    file -b "$icon" | grep -q "^PNG image data, $size x $size," \
        || fail "${size}x$size icon is $(file -b "$icon")"
done

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
# Only the id's capitals are remarked on; renaming it would break installs.
appstreamcli validate --pedantic --no-net "$metainfo" >"$scratch/appstream.log" 2>&1 \
    || { cat "$scratch/appstream.log"; fail "appstreamcli validate"; }
remarks=$(grep '^[EWIP]:' "$scratch/appstream.log" | grep -v ': cid-contains-uppercase-letter ' || true)
[ -z "$remarks" ] || fail "appstreamcli: $remarks"
for page in man/man6 man/ru/man6; do
    warnings=$(man --warnings -l "$prefix/share/$page/tarmelon.6.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page/tarmelon.6: $warnings"
done

# The entry starts the installed program and shows the installed icon, and the
# metadata names the entry: a desktop matches them by these names alone.
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)" = "tarmelon --data-folder" ] || fail "Exec=$(key Exec)"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon)"
[ "$(key 'Name\[ru\]')" = "Тармелон" ] || fail "Name[ru]=$(key 'Name\[ru\]')"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
    || fail "metainfo does not launch $id.desktop"

# The Debian package.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log"; fail "cpack"; exit 1; }
debs=("$scratch"/deb/tarmelon_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "no single tarmelon_*.deb"; exit 1; }
deb=${debs[0]}
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/||' | sort)
expected_list=$(echo "$expected_list" | sed 's|^bin/|games/|' | sort)
[ "$packed" = "$expected_list" ] \
    || fail "packed files differ: $(diff <(echo "$expected_list") <(echo "$packed") | grep '^[<>]' | tr '\n' ' ')"
lintian_says=$(lintian --pedantic "$deb" 2>&1 | grep '^[EW]:' || true)
[ -z "$lintian_says" ] || fail "lintian: $lintian_says"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core libqt6widgets6 libc6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

# The packed program finds its libraries and keeps running until stopped.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
[ "$(zcat "$root/usr/share/doc/tarmelon/changelog.gz" | head -1)" \
  = "tarmelon ($(dpkg-deb -f "$deb" Version)) unstable; urgency=medium" ] || fail "changelog names another version"
missing=$(ldd "$root/usr/games/tarmelon" | grep 'not found' || true)
[ -z "$missing" ] || fail "unresolved libraries: $missing"
mkdir "$scratch/run"
status=0
(cd "$scratch/run" && QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/games/tarmelon") \
    >"$scratch/run.log" 2>&1 || status=$?
[ $status -eq 124 ] || { cat "$scratch/run.log"; fail "the packed program ended with status $status"; }

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install, desktop entry, metadata, icons, manual pages and .deb: all present and valid"
