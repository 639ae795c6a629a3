# Sourced: the environment of the project's Wine rig.
# An isolated 64-bit prefix inside the build tree, code page 936, no
# Mono/Gecko prompts, no debug chatter.
RIG_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$RIG_ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
