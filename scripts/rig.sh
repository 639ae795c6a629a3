# Sourced: starts what the rig needs for GUI runs (Xvfb when there is no
# display), does root's share of the rig, and ends every process it started
# when the calling script exits.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

RIG_XVFB_PID=""
rig_cleanup() {
    "$RIG_ROOT/scripts/as-wine-user" "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -f "$RIG_ROOT/build/xauthority"
    [[ -n "$RIG_XVFB_PID" ]] && kill "$RIG_XVFB_PID" >/dev/null 2>&1 || true
}
trap rig_cleanup EXIT

# The Xvfb started here has no authority file, so the Wine user, as any
# local user, may connect (it listens on no network). A display given to
# root is handed to the Wine user with a copy of root's authority file.
rig_start_display() {
    if [[ -z "${DISPLAY:-}" ]]; then
        local n=99
        while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        RIG_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
    elif ((EUID == 0)) && [[ -r "${XAUTHORITY:-$HOME/.Xauthority}" ]]; then
        install -m 600 -o "$RIG_USER" "${XAUTHORITY:-$HOME/.Xauthority}" "$RIG_ROOT/build/xauthority"
        export XAUTHORITY="$RIG_ROOT/build/xauthority"
    fi
}

# rig_prepare FOLDER...: makes the folders the Windows programs write into
# (reports, screenshots). Started as root, it also does root's share of the
# rig: hands those folders, with all they hold, to the Wine user, and lets
# that user reach the checkout (a folder on the way that others may not
# enter, as /root, is opened for entering only, and said so).
rig_prepare() {
    mkdir -p "$@"
    ((EUID == 0)) || return 0
    chown -R "$RIG_USER:" "$@"
    "$RIG_ROOT/scripts/as-wine-user" test -r "$RIG_ROOT/scripts/wine-env.sh" && return 0
    local dir="" part
    local -a parts
    IFS=/ read -ra parts <<<"${RIG_ROOT#/}"
    for part in "${parts[@]}"; do
        dir="$dir/$part"
        if ! "$RIG_ROOT/scripts/as-wine-user" test -x "$dir"; then
            echo "== letting $RIG_USER enter $dir (chmod o+x)"
            chmod o+x "$dir"
        fi
    done
}
