#!/usr/bin/env bash
# CPU use of the whole stopky program against the device simulator: connected and idle, then
# with the running clock counting. Prints figures; asserts nothing.
#   bench/stopky_process_cpu.sh [seconds per phase, default 10] [build dir, default ./build]
# Offscreen by default; QT_QPA_PLATFORM=xcb under xvfb-run draws to a real X server.
set -euo pipefail
secs=${1:-10}
build=$(cd "${2:-$(dirname "$0")/../build}" && pwd)
work=$(mktemp -d)
trap 'kill $sim $stopky 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} QX_CONFIG_DIR=$work XDG_RUNTIME_DIR=$work
chmod 700 "$work"
printf '[Cas]\nTyp=466\n' > "$work/qx.ini"
mkfifo "$work/cmd"
"$build/tools/qx-sim" --version 466 < "$work/cmd" > "$work/sim.out" 2>&1 &
sim=$!
exec 3> "$work/cmd"
for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
port=$(head -1 "$work/sim.out")
(cd "$work" && exec "$build/stopky/stopky" --port "$port") > "$work/stopky.out" 2>&1 &
stopky=$!
echo "greet 0x0A 1 0xAE" >&3
sleep 2

ticks() { awk '{print $14 + $15}' "/proc/$stopky/stat"; }
hz=$(getconf CLK_TCK)
measure() {
  local a b
  a=$(ticks); sleep "$secs"; b=$(ticks)
  awk -v t=$((b - a)) -v hz="$hz" -v s="$secs" -v name="$1" \
    'BEGIN { printf "%-34s %6.2f %% of a core (%d ticks of 1/%d s in %d s)\n", name, 100 * t / hz / s, t, hz, s }'
}
echo "stopky $(basename "$build") $QT_QPA_PLATFORM, $secs s per phase"
measure "connected, idle:"
echo "reset" >&3
echo "start" >&3
sleep 0.5
measure "running clock counting:"
echo "attack L 12.345 13.456" >&3
sleep 0.5
measure "after the result, idle:"
echo "quit" >&3
