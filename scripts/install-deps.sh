#!/usr/bin/env bash
# Installs the Debian 12 packages Orvane builds, tests and runs with; skips what is already there.
set -euo pipefail

packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev
          qt6-base-dev libgl-dev xvfb xauth clang libclang-rt-14-dev
          # The Statistics window's charts; Qt Charts' CMake files need the OpenGL module's.
          qt6-charts-dev libqt6opengl6-dev
          # Test dependency: reads our capture files and exports as Wireshark does.
          tshark)
if [ "${ORVANE_WITH_SCREENSHOTS:-0}" = 1 ]; then packages+=(imagemagick x11-apps); fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

command="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
        sudo sh -c "$command"
        exit 0
    fi
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run as root:  $command" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
sh -c "$command"
