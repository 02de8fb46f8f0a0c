# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages named in "$@" that are missing, with sudo
# when not root. Sourced by the play and test scripts.
install_missing_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    # Through env, as sudo drops the caller's environment.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# What building the game needs.
BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n fonts-dejavu-core
                libgl-dev)

# What building the Debian package needs besides: dpkg-shlibdeps and file
# work out its Depends.
PACKAGE_PACKAGES=(dpkg-dev file)

# Configures and builds the game out of tree in $1.
build_game() {
    local build_dir=$1
    shift
    local generator=(-G Ninja)
    # An existing build keeps the generator it was made with.
    [ -f "$build_dir/CMakeCache.txt" ] && generator=()
    cmake -S "$ROOT" -B "$build_dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build_dir"
}
