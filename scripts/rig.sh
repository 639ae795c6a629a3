# Sourced: starts what the rig needs for GUI runs (Xvfb when there is no
# display) and ends every process it started when the calling script exits.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

RIG_XVFB_PID=""
rig_cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    [[ -n "$RIG_XVFB_PID" ]] && kill "$RIG_XVFB_PID" >/dev/null 2>&1 || true
}
trap rig_cleanup EXIT

rig_start_display() {
    if [[ -z "${DISPLAY:-}" ]]; then
        local n=99
        while [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        RIG_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
    fi
}
