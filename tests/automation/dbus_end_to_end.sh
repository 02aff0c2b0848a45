#!/bin/bash
# Drives a running ploxwin through the command server with gdbus on a private session bus.
# Exits 77 (skipped) when no bus can be started; every wait is bounded.
set -u
PROGRAM=${1:?usage: dbus_end_to_end.sh PLOXWIN}

for tool in dbus-run-session gdbus timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (packages dbus-daemon, libglib2.0-bin)"
        exit 77
    fi
done

if [ -z "${PLOX_INSIDE_BUS:-}" ]; then
    if ! timeout -k 2 10 dbus-run-session -- true >/dev/null 2>&1; then
        echo "SKIP: no session bus could be started"
        exit 77
    fi
    PLOX_INSIDE_BUS=1 exec timeout -k 5 120 dbus-run-session -- bash "$0" "$PROGRAM"
fi

work=$(mktemp -d)
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$app_pid" ] && wait "$app_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Temporary files of the copies (their extracted-files lists) go with the work folder.
export QT_QPA_PLATFORM=offscreen PLOXWIN_CONFIG_DIR="$work/config" TMPDIR="$work"
printf '1 2\r\n2 4\r\n3 9\r\n' > "$work/a.dat"

call() { # topic text -> the answer as gdbus prints it
    timeout 20 gdbus call --session --timeout 15 --dest org.hexwold.PloxWin \
        --object-path /PloxWin --method org.hexwold.PloxWin.Execute "$1" "$2" 2>&1
}
passed=0
failures=0
expect() { # what answer
    if [ "$2" = "$3" ]; then
        echo "ok: $1"
        passed=$((passed + 1))
    else
        echo "FAIL: $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}

"$PROGRAM" --answer-messages 1500 > "$work/out" 2> "$work/err" &
app_pid=$!
for _ in $(seq 100); do
    gdbus call --session --timeout 2 --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.hexwold.PloxWin 2>/dev/null |
        grep -q true && break
    sleep 0.2
done

expect "Data adds a series" "(uint32 32768,)" "$(call Data "COLUMNX 0, COLUMNY 1, OPEN $work/a.dat")"
expect "AxisSet" "(uint32 32768,)" "$(call AxisSet "XSCALE 0 10 2 5, YSCALETYPE log")"
expect "Refresh" "(uint32 32768,)" "$(call Refresh "")"
expect "unknown topic" "(uint32 0,)" "$(call Anything "Refresh")"
expect "Pause is no topic" "(uint32 0,)" "$(call Pause "")"

big=$(head -c 100000 /dev/zero | tr '\0' 'x')
expect "a 100 kB item list" "(uint32 32768,)" "$(call Data "XTRANS $big, COLUMNX 1")"

# The message of the failed open stays up for 1.5 s; an execute meanwhile is refused as busy.
call OpenQvp "$work/missing.qvp" > "$work/open" &
opener=$!
sleep 0.6
expect "nested execute is busy" "(uint32 16384,)" "$(call Refresh "")"
wait $opener
expect "OpenQvp of a missing file" "(uint32 0,)" "$(cat "$work/open")"
expect "the open error was shown" 1 "$(grep -c "missing.qvp が見つかりません。" "$work/err")"
expect "after the busy spell" "(uint32 32768,)" "$(call Refresh "")"

# A second copy answers on a name of its own and shares the first one's list.
"$PROGRAM" --answer-messages 0 > /dev/null 2>&1 &
second=$!
found=
for _ in $(seq 50); do
    found=$(gdbus call --session --timeout 2 --dest org.freedesktop.DBus \
        --object-path /org/freedesktop/DBus --method org.freedesktop.DBus.ListNames 2>/dev/null |
        grep -o "org.hexwold.PloxWin.Copy$second")
    [ -n "$found" ] && break
    sleep 0.2
done
expect "second copy's name" "org.hexwold.PloxWin.Copy$second" "$found"
first_list=$(timeout 10 gdbus call --session --timeout 5 --dest org.hexwold.PloxWin \
    --object-path /PloxWin --method org.hexwold.PloxWin.ExtractedList 2>&1)
second_list=$(timeout 10 gdbus call --session --timeout 5 --dest "org.hexwold.PloxWin.Copy$second" \
    --object-path /PloxWin --method org.hexwold.PloxWin.ExtractedList 2>&1)
case "$first_list" in
"('/"*"/QVD"*) expect "shared extracted-files list" "$first_list" "$second_list" ;;
*) expect "first copy's list" "a path" "$first_list" ;;
esac
kill "$second" 2>/dev/null
wait "$second" 2>/dev/null

# Without a session bus the program says so and runs on.
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus timeout 60 "$PROGRAM" --answer-messages 0 \
    --screenshot "$work/shot.png" > /dev/null 2> "$work/nobus"
expect "runs on without a bus" 0 "$?"
expect "says there is no bus" 1 "$(grep -c "Could not connect to the D-Bus session bus." "$work/nobus")"

echo "$passed passed, $failures failed"
[ $failures -eq 0 ]
