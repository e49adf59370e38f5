#!/usr/bin/env bash
# The switcher race: Vantorel (--desktop x11), rofi's window mode and alttab over the same 200
# real windows, on a private Xvfb display with openbox, without a compositor (root DAMAGE then
# sees every window's drawing as it happens; with one, it would time the compositor's repaint).
# Contenders take turns round-robin; a resident one (Vantorel, alttab) runs alone during its turn
# (two cannot hold Alt+Tab), is opened once unmeasured (its start-up and caches), then measured.
# rofi is what openbox starts on Alt+Tab during its turn (its rc.xml binds A-Tab to it), so its
# times run from the same keystroke; "rofi-spawn" times rofi started directly, from posix_spawn.
# Timing is build/tools/race_observer's: from the keys flushed to the window mapped, to its
# first damage, and to its last damage before 150 ms of quiet.
# Usage: scripts/race-switchers.sh [ROUNDS=30] [BUILD=build]
# Needs: Xvfb openbox rofi alttab python3 (not part of CI: slow and noisy).
set -euo pipefail
rounds=${1:-30}
build=$(realpath "${2:-build}")
observer=$build/tools/race_observer
client=$build/tools/race_client
# VANTOREL: another build of the program, e.g. to compare before and after a change.
vantorel=${VANTOREL:-$build/src/app/vantorel}
for tool in "$observer" "$client" "$vantorel"; do
    [ -x "$tool" ] || { echo "missing $tool: build the targets race_observer, race_client, vantorel" >&2; exit 2; }
done
for tool in Xvfb openbox rofi alttab python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

work=$(mktemp -d /tmp/vantorel-race.XXXXXX)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/display"
Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
read -r -t 10 number <"$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number

# openbox's own configuration, without its Alt+Tab bindings, and with Alt+Tab starting rofi.
rofi_cmd="rofi -no-config -modi window -show window"
python3 - "$work" "$rofi_cmd" <<'EOF'
import re, sys
work, rofi = sys.argv[1], sys.argv[2]
text = open('/etc/xdg/openbox/rc.xml').read()
free = re.sub(r'<keybind key="A-(S-)?Tab">[\s\S]*?</keybind>', '', text)
open(f'{work}/rc-free.xml', 'w').write(free)
bind = ('<keybind key="A-Tab"><action name="Execute"><command>%s</command></action></keybind>'
        % rofi)
open(f'{work}/rc-rofi.xml', 'w').write(free.replace('<keyboard>', '<keyboard>' + bind, 1))
EOF
cp "$work/rc-free.xml" "$work/rc.xml"
# An absolute path: with a relative one openbox falls back to its defaults.
openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
pids+=($!)

# 200 windows: 40 processes of 5, 20 classes, distinct non-ASCII titles.
for ((p = 1; p <= 40; p++)); do
    "$client" "racer$((p % 20))" "Fenêtre №$p — café" "0x$(printf '%06x' $((p * 104729 % 16777215)))" 5 &
    pids+=($!)
done
clients() { xprop -root _NET_CLIENT_LIST 2>/dev/null | tr ',' '\n' | grep -c 0x || true; }
for ((i = 0; i < 300 && $(clients) < 200; i++)); do sleep 0.1; done
[ "$(clients)" -ge 200 ] || { echo "only $(clients) windows listed" >&2; exit 1; }

# openbox reads its configuration again; waits until Alt+Tab is held (rofi) or free (the others).
use_config() {
    cp "$work/rc-$1.xml" "$work/rc.xml"
    for attempt in 1 2 3; do
        openbox --reconfigure
        for ((i = 0; i < 40; i++)); do
            if "$observer" --probe; then [ "$1" = free ] && return 0; else [ "$1" = rofi ] && return 0; fi
            sleep 0.05
        done
    done
    echo "openbox did not take the $1 configuration" >&2
    exit 1
}

mkdir -p "$work/config/vantorel" "$work/run"
chmod 700 "$work/run"
echo '{"didShowWelcome": true}' >"$work/config/vantorel/app.vantorel.Vantorel.json"
results=$work/results
: >"$results"

# A resident contender: started alone, opened once to be sure it holds its keys, then measured.
resident() {
    local name=$1 class=$2 round=$3; shift 3
    "$@" >>"$work/$name.log" 2>&1 &
    local pid=$!
    local line
    line=$("$observer" --warm-up 20 "$class" || true)
    echo "$name warm $round $line" >>"$results"
    line=$("$observer" "$class" || true)
    echo "$name measured $round $line" >>"$results"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

echo "load before: $(cat /proc/loadavg)"
echo "windows: $(clients), rounds: $rounds (+1 discarded), Xvfb 1920x1080x24, openbox, no compositor"
for ((r = 0; r <= rounds; r++)); do
    use_config free
    XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run resident vantorel vantorel "$r" \
        "$vantorel" --desktop x11
    resident alttab alttab "$r" alttab -w 1
    use_config rofi
    echo "rofi measured $r $("$observer" --escape rofi || true)" >>"$results"
    echo "rofi-spawn measured $r $("$observer" rofi -- $rofi_cmd || true)" >>"$results"
    printf '.' >&2
done
echo >&2
echo "load after: $(cat /proc/loadavg)"

python3 - "$results" <<'EOF'
import sys
rows = {}
fails = {}
for line in open(sys.argv[1]):
    f = line.split()
    name, kind, rnd = f[0], f[1], int(f[2])
    key = name if kind == 'measured' else name + ' (first open after start)'
    if len(f) < 4 or f[3] != 'ok':
        fails.setdefault(key, []).append(' '.join(f[3:]) or 'no output')
        continue
    if rnd == 0:
        continue  # the first round fills the caches
    values = dict(x.split('=') for x in f[4:])
    rows.setdefault(key, []).append(values)

def pct(xs, p):
    xs = sorted(xs)
    return xs[min(len(xs) - 1, max(0, int(round(p / 100 * len(xs) + 0.5)) - 1))]

print(f"{'contender':40} {'N':>3}  {'map p50/p90':>15}  {'first paint p50/p90':>20}  {'settled p50/p90':>16}  later frames (rounds with any)")
for key in sorted(rows):
    vs = rows[key]
    def col(m):
        xs = [float(v[m]) for v in vs]
        return f"{pct(xs, 50):7.1f}/{pct(xs, 90):7.1f}"
    later = sum(1 for v in vs if int(v['later']) > 0)
    print(f"{key:40} {len(vs):>3}  {col('map'):>15}  {col('first'):>20}  {col('settled'):>16}  {later}/{len(vs)}  size {vs[-1]['size']}")
for key, why in sorted(fails.items()):
    print(f"{key}: {len(why)} failed rounds: {sorted(set(why))}")
EOF
