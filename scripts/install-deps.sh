#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, and nothing when
# they are all present. Used by `make run`, `make test` and CI.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev libicu-dev libical-dev
    shared-mime-info adwaita-icon-theme
    qt6-base-dev libxcb1-dev libxcb-xfixes0-dev libsystemd-dev libseccomp-dev
    libxcb-ewmh-dev libxcb-icccm4-dev libxcb-keysyms1-dev libxcb-xtest0-dev libxcb-composite0-dev
    libxcb-damage0-dev libxcb-shm0-dev libxcb-res0-dev libxcb-randr0-dev libqt6svg6
    fonts-material-design-icons-iconfont fonts-noto-color-emoji
    xvfb xcompmgr xdotool openbox x11-utils
    dbus-daemon mpv mpv-mpris playerctl
    gcovr
    desktop-file-utils appstream
)
# --fuzz: also what the fuzz targets need (clang with its libFuzzer runtime).
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
