#!/usr/bin/env bash
# Creates the rig's Wine prefix on demand: boots it and adds the CJK font
# replacements without which Chinese text renders as empty squares. Run by
# the user the prefix is for (scripts/as-wine-user when started as root).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX/.rig-lock"
flock 9
[[ -f "$WINEPREFIX/.rig-ready" ]] && exit 0

echo "== creating Wine prefix $WINEPREFIX" >&2
"$WINE" wineboot -i >/dev/null 2>&1 || true
reg="$(mktemp --suffix=.reg)"
{
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "SimSun" "宋体" "Microsoft YaHei"; do
        printf '"%s"="WenQuanYi Zen Hei"\r\n' "$face"
    done
} | iconv -f UTF-8 -t GB18030 >"$reg"
"$WINE" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
rm -f "$reg"
"$WINESERVER" -w
# A second fixed drive D:, as many target machines have, for folder texts
# such as D:\Tools\ and a bare drive root.
mkdir -p "$WINEPREFIX/drive_d"
ln -sfn ../drive_d "$WINEPREFIX/dosdevices/d:"
touch "$WINEPREFIX/.rig-ready"
