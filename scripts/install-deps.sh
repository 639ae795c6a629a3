#!/usr/bin/env bash
# Installs everything the build, the Wine rig and the tests need on a fresh
# Debian machine (run as root). Does nothing when all is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ git
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
    wine64 xvfb fonts-wqy-zenhei imagemagick locales googletest python3
    clang clang-format libclang-rt-14-dev
    osslsigncode openssl python3-jsonschema python3-yaml
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes the ANSI code page from the Unix locale: 936 from zh_CN.UTF-8
# (the rig's own), and for the runs on other systems' code pages 1252 from
# en_US.UTF-8 and 932 from ja_JP.UTF-8 (scripts/wine-env.sh, RIG_LOCALE).
for name in zh_CN en_US ja_JP; do
    if ! locale -a 2>/dev/null | grep -qi "^$name\.utf-\?8\$"; then
        echo "== generating the $name.UTF-8 locale"
        localedef -i "$name" -f UTF-8 "$name.UTF-8"
    fi
done

# The unprivileged user that runs Wine when the rig is started as root (see
# scripts/wine-env.sh): root would write read-only files Windows refuses.
source "$(dirname "$0")/wine-env.sh"
if ((EUID == 0)) && ! id -u "$RIG_USER" >/dev/null 2>&1; then
    echo "== creating the user $RIG_USER"
    useradd --system --user-group --create-home --home-dir "/var/lib/$RIG_USER" \
        --shell /usr/sbin/nologin --comment "runs Wine for the SetUp.exe tests" "$RIG_USER"
fi
