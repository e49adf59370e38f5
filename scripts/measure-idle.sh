#!/usr/bin/env bash
# How often the playground wakes and how much memory it holds, the pointer still, on a private
# Xvfb display: at rest with no panel, then (with --preview) with the pointer resting on the
# first Dock tile so that its preview panel shows live windows.
#
#   scripts/measure-idle.sh [--preview] [--world FILE] [--seconds N] [--binary PATH]
#
# Wake-ups are the context switches of all the process's threads (/proc/PID/task/*/status)
# over the measured span, then per thread name (threads that came and went during the span
# count from zero); memory is VmRSS from /proc/PID/status at its end.
set -euo pipefail

binary=build/src/app/vantorel
world=""
seconds=20
preview=false
while [ $# -gt 0 ]; do
    case "$1" in
        --preview) preview=true ;;
        --world) world="$2"; shift ;;
        --seconds) seconds="$2"; shift ;;
        --binary) binary="$2"; shift ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
[ -x "$binary" ] || { echo "no $binary: build it first" >&2; exit 2; }

work=$(mktemp -d)
display=":$((90 + RANDOM % 400))"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# A private configuration, runtime folder and settings: nothing of the user's is read or written.
mkdir -p "$work/config/vantorel" "$work/runtime" && chmod 700 "$work/runtime"
# Past the first launch: the welcome window would otherwise cover the desktop (and count as a
# second window below).
echo '{"didShowWelcome": true}' >"$work/config/vantorel/app.vantorel.Vantorel.json"
args=(--playground --dir "$work/desktop")
[ -n "$world" ] && args+=(--world "$world")
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work" \
    "$binary" "${args[@]}" >"$work/log" 2>&1 &
app=$!
pids+=("$app")

window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name "simulated desktop" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the playground's window did not appear" >&2; cat "$work/log" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
# A pointer that comes to rest before the Dock is read is never seen to move onto it.
for _ in $(seq 100); do grep -q "Coordinator started" "$work/log" && break; sleep 0.1; done

# Off the Dock, then (for the preview) onto the first tile, and left there.
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 3))
if $preview; then
    # The first tile of a one-application Dock sits in the middle of the bottom edge.
    xdotool mousemove $((X + WIDTH / 2 - 10)) $((Y + HEIGHT - 40))
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 36))
fi
sleep 3

# One line per thread: its id, its name, and its context switches so far.
thread_switches() {
    for task in /proc/"$app"/task/*; do
        local name
        name=$(cat "$task/comm" 2>/dev/null) || continue
        [ "${task##*/}" = "$app" ] && name="main thread"
        awk -v tid="${task##*/}" -v name="$name" '
            /^(non)?voluntary_ctxt_switches:/ { n += $2 }
            END { printf "%s\t%s\t%d\n", tid, name, n }' "$task/status" 2>/dev/null || true
    done
}

switches() {
    local total=0 n
    for status in /proc/"$app"/task/*/status; do
        while read -r key n; do
            case "$key" in
                voluntary_ctxt_switches:|nonvoluntary_ctxt_switches:) total=$((total + n)) ;;
            esac
        done <"$status" 2>/dev/null || true
    done
    echo "$total"
}
rss() { awk '/^VmRSS:/ { print $2 }' /proc/"$app"/status; }

# The panel is a window of its own: shown or not, say so.
windows=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)
if $preview && [ "$windows" -lt 2 ]; then
    echo "no preview panel appeared" >&2
    exit 1
fi

before=$(switches)
threads_before=$(thread_switches)
sleep "$seconds"
after=$(switches)
threads_after=$(thread_switches)
kb=$(rss)
threads=$(ls /proc/"$app"/task | wc -l)
state="idle, no panel"
$preview && state="pointer resting on the first Dock tile, preview shown"
awk -v w=$((after - before)) -v s="$seconds" -v kb="$kb" -v t="$threads" -v st="$state" 'BEGIN {
    printf "%s: %d wake-ups in %d s = %.2f/s (%d threads); resident %.1f MiB\n", st, w, s, w / s, t, kb / 1024
}'
# By thread name, most wake-ups first.
awk -F'\t' -v s="$seconds" '
    NR == FNR { seen[$1] = $3; next }
    { by[$2] += $3 - ($1 in seen ? seen[$1] : 0); count[$2]++ }
    END { for (name in by) printf "%10.2f/s  %s (%d thread(s))\n", by[name] / s, name, count[name] }
' <(printf '%s\n' "$threads_before") <(printf '%s\n' "$threads_after") | sort -rn -k1,1
