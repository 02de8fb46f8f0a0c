#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs cases of a test program as a player without privilege meets them: with
# no capabilities (root writes anywhere); with TARMELON_SMALL_DISK naming an
# empty 256 KiB filesystem of its own, mounted in a private mount namespace
# that ends with the program (an ordinary user gets one through a user
# namespace); and, started by root, as the user nobody, with TARMELON_SHARED
# holding "shared", a sticky folder everyone may write in, like /tmp, where
# another user has linked tarmelon.dat to the player's plain/tarmelon.dat.
# What the machine cannot give (a chroot or a container has no namespaces)
# is said in one line, and the cases that need it end the run as skipped
# (status 77), or failed where TARMELON_REQUIRE_CONFINED is set (.ci/run).
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/disk"
cp "$1" "$work/program" # where nobody can reach it
shift
missing=() player=() user=() size=size=256k
if [ "$(id -u)" -eq 0 ] && { mkdir -m 1777 "$work/shared" && chown 65532 "$work/shared" \
    && ln -s ../plain/tarmelon.dat "$work/shared/tarmelon.dat" && chown -h 65533 "$work/shared/tarmelon.dat"; } 2>/dev/null; then
    chown 65534:65534 "$work"
    player=(--reuid=65534 --regid=65534 --clear-groups) size+=,uid=65534,gid=65534
    export TARMELON_SHARED=$work
else
    missing+=(" another user (made by root)")
fi
[ "$(id -u)" -eq 0 ] || user=(--map-root-user)
namespace=(unshare "${user[@]}" --mount --propagation private --)
small_disk='mount -t tmpfs -o "$0" tarmelon-test disk && export TARMELON_SMALL_DISK=$PWD/disk && '
if ! "${namespace[@]}" true 2>"$work/why"; then
    missing+=(" a mount namespace ($(head -n 1 "$work/why"))")
    namespace=() small_disk=
fi
status=0
cd "$work"
"${namespace[@]}" bash -c "$small_disk"'exec "$@"' "$size" setpriv "${player[@]}" --securebits=+noroot,+noroot_locked \
    --inh-caps=-all --ambient-caps=-all --bounding-set=-all -- ./program "$@" | tee log || status=$?
[ "$status" -ne 0 ] || ! grep -q '^SKIP   :' log || {
    (IFS=';' && echo "Skipped for want of${missing[*]:- nothing known (a fault)}.")
    [ -z "${TARMELON_REQUIRE_CONFINED-}" ] && [ ${#missing[@]} -gt 0 ] && status=77 || status=1
}
exit "$status"
