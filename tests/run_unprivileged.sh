#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program as an ordinary user, so that file permissions bite:
# root writes anywhere. The program is copied where that user can reach it,
# whatever the permissions of the build directory.
set -euo pipefail
program=$1
shift
if [ "$(id -u)" -ne 0 ]; then
    exec "$program" "$@"
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$program" "$scratch/"
chmod 755 "$scratch" "$scratch/$(basename "$program")"
cd "$scratch"
setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$scratch" TMPDIR=/tmp "$scratch/$(basename "$program")" "$@"
