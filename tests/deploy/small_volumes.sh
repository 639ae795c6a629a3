#!/usr/bin/env bash
# Test fixture: two small volumes for the package copy's fault tests, seen by
# Wine through drive Z:. "full" is a tmpfs of 1 MiB; "readonly" is a tmpfs
# holding an empty folder "inst", mounted read-only. Both belong to the user
# that runs Wine, so that the only refusal is the read-only mount.
#   small_volumes.sh mount|unmount <folder>
# Mounting needs root (or the right to mount), which the test command has:
# a volume that cannot be mounted fails this fixture, and the tests that need
# the volumes fail too.
set -u
action="$1"
dir="$2"
volumes=(full readonly)
source "$(dirname "$0")/../../scripts/wine-env.sh"
owner="uid=$(id -u "$RIG_WINE_USER"),gid=$(id -g "$RIG_WINE_USER"),mode=0755"

for volume in "${volumes[@]}"; do
    mountpoint -q "$dir/$volume" 2>/dev/null && umount "$dir/$volume"
done
[[ "$action" == mount ]] || exit 0

mkdir -p "$dir/full" "$dir/readonly"
if ! mount -t tmpfs -o "size=1m,$owner" tmpfs "$dir/full"; then
    echo "small volumes not mounted: mounting needs root" >&2
    exit 1
fi
touch "$dir/full/.small-volume"
mount -t tmpfs -o "size=64k,$owner" tmpfs "$dir/readonly" &&
    mkdir "$dir/readonly/inst" &&
    chown "$RIG_WINE_USER:" "$dir/readonly/inst" &&
    touch "$dir/readonly/.small-volume" &&
    mount -o remount,ro "$dir/readonly"
