#!/usr/bin/env bash
# Installs what the build, the viewer and the tests need on Debian 12, and nothing when all is
# there. Runs as root, or through sudo otherwise.
set -euo pipefail

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian package, and a file that tells it is installed (checked before asking apt).
packages=(
    "g++:/usr/bin/g++"
    "cmake:/usr/bin/cmake"
    "ninja-build:/usr/bin/ninja"
    "pkg-config:/usr/bin/pkg-config"
    "qt6-base-dev:/usr/lib/x86_64-linux-gnu/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake"
    "qt6-svg-dev:/usr/lib/x86_64-linux-gnu/cmake/Qt6Svg/Qt6SvgConfig.cmake"
    # Spreadsheet files: .xlsx through libxlsxwriter, .ods zipped with zlib.
    "libxlsxwriter-dev:/usr/include/xlsxwriter.h"
    "zlib1g-dev:/usr/include/zlib.h"
    "mdbtools:/usr/bin/mdb-export"
    "mdbtools-dev:/usr/include/mdbtools.h"
    "fonts-dejavu-core:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
    "xvfb:/usr/bin/Xvfb"
    "xauth:/usr/bin/xauth"
    "poppler-utils:/usr/bin/pdftoppm"
    "qt6-translations-l10n:/usr/share/qt6/translations/qtbase_it.qm"
    "clang-format:/usr/bin/clang-format"
    "libboost-math-dev:/usr/include/boost/math/distributions/extreme_value.hpp"
    "dpkg-dev:/usr/bin/dpkg-shlibdeps"
    "file:/usr/bin/file"
    "lintian:/usr/bin/lintian"
    "desktop-file-utils:/usr/bin/desktop-file-validate"
    "appstream:/usr/bin/appstreamcli"
    "x11-utils:/usr/bin/xprop"
    "openbox:/usr/bin/openbox"
    "man-db:/usr/bin/man"
    # The accessibility test walks the windows as screen readers see them (AT-SPI over D-Bus).
    "at-spi2-core:/usr/libexec/at-spi-bus-launcher"
    "dbus:/usr/bin/dbus-daemon"
    "python3-pyatspi:/usr/lib/python3/dist-packages/pyatspi/__init__.py"
    # The Wayland test runs the windows under weston's headless compositor, through Qt's plugin.
    "weston:/usr/bin/weston"
    "qt6-wayland:/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"
    # In the x11 run weston takes the X server's keyboard and pointer; xdotool clicks for the user.
    "xdotool:/usr/bin/xdotool"
    # The tests read spreadsheet files back with independent readers.
    "python3-openpyxl:/usr/lib/python3/dist-packages/openpyxl/__init__.py"
    "python3-odf:/usr/lib/python3/dist-packages/odf/__init__.py"
    # The hardened tests and fuzzing: clang with its sanitizers and libFuzzer.
    "clang:/usr/bin/clang++"
    "libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a"
)
missing=()
for entry in "${packages[@]}"; do
    pkg=${entry%%:*}
    file=${entry#*:}
    if [ ! -e "$file" ] && ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$pkg")
    fi
done
# Node.js and npm run the independent reader the tests compare against. A machine may already
# have a Node.js of its own (with npm inside): then Debian's npm would conflict with it.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The npm reader used as a second, independent reader in the tests.
here=$(cd "$(dirname "$0")/.." && pwd)
if [ -f "$here/tests/tools/package.json" ] && [ ! -d "$here/tests/tools/node_modules/mdb-reader" ]; then
    echo "setup: installing the npm test reader"
    (cd "$here/tests/tools" && npm install --no-audit --no-fund --silent)
fi
