#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the format check, the tests
# offscreen (with the Wayland and HiDPI tests, which start a compositor and an X server of their
# own), the window tests once more under a real X server (xvfb-run), the Debian package's
# checks, then the hardened run (test-hardened.sh: the reader's tests under the sanitizers, each fuzz
# target for a minute). Fails when any of them fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
"$here/scripts/build.sh"
build="$here/build"

status=0
echo "test: format"
# The C++ files must match the committed .clang-format.
find "$here"/{src,tests,tools,bench} -name node_modules -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror || status=1
echo "test: offscreen"
ctest --test-dir "$build" -LE x11 -j"${JOBS:-2}" --output-on-failure || status=1
# The window tests share one X server: one at a time, so focus and activation are theirs alone.
echo "test: window tests under Xvfb"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" -L x11 --output-on-failure || status=1
"$here/scripts/test-package.sh" || status=1
"$here/scripts/test-hardened.sh" || status=1
if [ $status -ne 0 ]; then
    echo "test: FAILED"
fi
exit $status
