# Sourced: the environment of the project's Wine rig.
# The tests and the main job never run Wine as root: root may write a
# read-only file, and a refusal Windows gives would go unseen. Started as
# root, the rig runs Wine as the unprivileged RIG_USER (made by
# install-deps.sh, switched to by scripts/as-wine-user); started by anyone
# else, as that user. Each user has its own isolated 64-bit prefix inside
# the build tree, since Wine takes only a prefix its user owns. Code page
# 936, no Mono/Gecko prompts, no debug chatter. Wine takes the ANSI code page
# from the Unix locale when a program is started from Unix (a Windows
# program's children keep its code page): RIG_LOCALE names another locale for
# one run, e.g. en_US.UTF-8 for code page 1252 or ja_JP.UTF-8 for 932.
RIG_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RIG_USER=wine-rig
if ((EUID == 0)); then RIG_WINE_USER="$RIG_USER"; else RIG_WINE_USER="$(id -un)"; fi
export WINEPREFIX="${WINEPREFIX:-$RIG_ROOT/build/wineprefix-$RIG_WINE_USER}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG="${RIG_LOCALE:-zh_CN.UTF-8}"
export LC_ALL="$LANG"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
