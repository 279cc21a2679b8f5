#!/bin/sh
# Makes the Wine prefix of the tests (WINEPREFIX) on first use, headless, and keeps a
# wineserver running for the test programs that follow.
set -eu
# shellcheck source=wine_probe.sh
. "$(dirname "$0")/wine_probe.sh"
wine_probe
mkdir -p "$WINEPREFIX"
unset DISPLAY WAYLAND_DISPLAY
# The lock (fd 9) is closed for everything started here, or a lingering wineserver would hold it.
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Without a display wineboot shows no dialog; mono and gecko are not installed
  # (WINEDLLOVERRIDES), so nothing waits for an answer.
  timeout 240 "$WINELOADER" wineboot --init </dev/null 9>&-
  wineserver -w 9>&-
fi
# A server that outlives each program by a minute: one start for all the tests.
setsid wineserver -p60 </dev/null >/dev/null 2>&1 9>&- &
echo "wine prefix $WINEPREFIX ready"
