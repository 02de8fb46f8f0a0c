#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program where file permissions bite, with no capabilities (root
# writes anywhere), and with TARMELON_SMALL_DISK naming an empty 256 KiB
# filesystem of its own, mounted in a private mount namespace that ends with
# the program (an ordinary user gets one through a user namespace).
set -euo pipefail
mountpoint=$(mktemp -d)
trap 'rmdir "$mountpoint"' EXIT
user=()
[ "$(id -u)" -eq 0 ] || user=(--map-root-user)
unshare "${user[@]}" --mount --propagation private -- bash -c \
    'mount -t tmpfs -o size=256k tarmelon-test "$1" && export TARMELON_SMALL_DISK=$1 && shift && exec setpriv \
     --securebits=+noroot,+noroot_locked --inh-caps=-all --ambient-caps=-all --bounding-set=-all -- "$@"' \
    _ "$mountpoint" "$@"
