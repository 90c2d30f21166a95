#!/usr/bin/env bash
# Installs the Debian packages the build needs. Quiet and quick when they are all present.
set -euo pipefail
# coinor-libipopt-dev, libcminpack-dev and libsundials-dev are for the benchmarks only (the
# constrained peer, MINPACK's lmder, the peer of the fits, and KINSOL, the sparse peer, in
# bench/). dpkg-dev and file make the Debian package
# (make package: dpkg-shlibdeps finds its dependencies); appstream, desktop-file-utils,
# shared-mime-info and groff-base check what it installs and its manual pages.
packages=(g++ make cmake ninja-build libgtest-dev libbenchmark-dev libeigen3-dev libboost-dev
          libsuitesparse-dev
          coinor-libipopt-dev pkg-config libcminpack-dev libsundials-dev
          qt6-base-dev qt6-svg-dev libgl-dev libemf-dev emf2svg fonts-dejavu-core fonts-liberation2
          imagemagick
          dpkg-dev file appstream desktop-file-utils shared-mime-info groff-base)
# Packages only some targets need (make fuzz: clang and its fuzzer runtime), named by them.
read -r -a extra <<< "${VALDRIX_EXTRA_DEPS:-}"
packages+=("${extra[@]}")
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
