#!/usr/bin/env bash
# Installs what is missing, builds the viewer and its sample archive, and starts it.
# Without a display the viewer runs under a virtual X server: a picture of the main window is saved
# and its path printed (SCREENSHOT=path chooses the file).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh" altorra sample_archive
viewer="$here/build/program/altorra"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$viewer"
fi

shot="${SCREENSHOT:-$here/build/screenshots/altorra.png}"
mkdir -p "$(dirname "$shot")"
echo "run: there is no DISPLAY: the viewer runs under xvfb-run and a picture of its main window is saved."
ALTORRA_SCREENSHOT="$shot" xvfb-run -a -s "-screen 0 1280x1024x24" "$viewer" >/dev/null
echo "run: screenshot of the main window: $shot"
