#!/usr/bin/env bash
# Installs the Debian packages the kit needs to build, test, fuzz and run its demo.
# Idempotent: only missing packages are installed, and apt-get runs only when one is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build make pkg-config
    libfltk1.3-dev libgl-dev libglu1-mesa-dev libegl-dev libx11-dev libxtst-dev libpng-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth libgl1-mesa-dri libegl-mesa0
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
