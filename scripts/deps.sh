#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when one is missing, so
# that a machine that already has them is not sent to the package servers.
set -euo pipefail

packages=(cmake make g++ qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools
          libqt5xml5 libgtest-dev libgmock-dev fonts-dejavu-core
          mosquitto mosquitto-clients libmosquitto-dev openssl
          libgeographiclib-dev libeigen3-dev
          gdal-bin python3-jsonschema)
for option in "$@"; do
    case "$option" in
        --with-benchmarks) packages+=(libbenchmark-dev libspdlog-dev valgrind) ;;
        --with-fuzzers) packages+=(clang-14 libclang-rt-14-dev) ;;
        --with-coverage) packages+=(gcovr) ;;
        --with-network) packages+=(jq) ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# The tests parse Cursor-on-Target with an npm package (tests/interop/cotparser);
# a Node.js installed from elsewhere serves as well as Debian's.
command -v npm >/dev/null 2>&1 || missing+=(nodejs npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
