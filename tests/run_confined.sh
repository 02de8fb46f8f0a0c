#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs test cases with no capabilities (root writes anywhere): as the user nobody when started by root, TARMELON_SHARED
# holding "shared", a sticky folder like /tmp where another user has linked tarmelon.dat to plain/tarmelon.dat; and
# TARMELON_SMALL_DISK an empty 256 KiB filesystem in a private mount namespace (through a user namespace for a user).
# What the machine lacks (a chroot or a container gives no namespace) is said in one line, and cases skipped for it
# end the run as skipped (77), or as failed under TARMELON_REQUIRE_CONFINED.
set -euo pipefail
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
cd "$work" && mkdir disk shared && cp "$1" program && shift # where nobody can reach it
lacks=() player=() size=size=256k namespace=(unshare --mount --propagation private --)
if [ "$(id -u)" -eq 0 ] && { chmod 1777 shared && chown 65532 shared && ln -s ../plain/tarmelon.dat shared/tarmelon.dat \
    && chown -h 65533 shared/tarmelon.dat && chown 65534 .; } 2>/dev/null; then
    player=(--reuid=65534 --regid=65534 --clear-groups) size+=,uid=65534 && export TARMELON_SHARED=$work
else
    lacks+=(" another user (made by root)")
fi
[ "$(id -u)" -eq 0 ] || namespace=(unshare --map-root-user "${namespace[@]:1}")
mount='mount -t tmpfs -o "$0" tarmelon-test disk && export TARMELON_SMALL_DISK=$PWD/disk && '
drop=(setpriv "${player[@]}" --securebits=+noroot,+noroot_locked --inh-caps=-all --ambient-caps=-all --bounding-set=-all --)
"${namespace[@]}" true 2>why || { lacks+=(" a mount namespace ($(head -n 1 why))") && namespace=() mount=; }
# A user with no namespace has no capabilities to drop, nor the right to.
[ "$(id -u)" -ne 0 ] && [ ${#namespace[@]} -eq 0 ] && drop=()
"${namespace[@]}" bash -c "$mount"'exec "$@"' "$size" "${drop[@]}" ./program "$@" | tee log && status=0 || status=$?
if [ "$status" -eq 0 ] && grep -q '^SKIP   :' log; then
    (IFS=';' && echo "Skipped for want of${lacks[*]:- nothing known (a fault)}.")
    [ ${#lacks[@]} -gt 0 ] && [ -z "${TARMELON_REQUIRE_CONFINED-}" ] && status=77 || status=1
fi
exit "$status"
