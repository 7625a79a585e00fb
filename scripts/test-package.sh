#!/usr/bin/env bash
# Checks the installed viewer as a user gets it: makes the Debian package, checks it with lintian,
# desktop-file-validate and appstreamcli, unpacks it into a temporary root and starts the unpacked
# viewer from its bin link under Xvfb, where it must find its archive and show its windows. Also
# installs with cmake under a prefix of its own. Fails on the first fault, saying which.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"

fail() {
    echo "test-package: FAILED: $*" >&2
    exit 1
}

# Width and height of a PNG picture, from its header.
png_size() {
    local bytes
    bytes=($(od -An -tu1 -j16 -N8 "$1"))
    [ ${#bytes[@]} -eq 8 ] || return 1
    echo "$(((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3])) \
$(((bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7]))"
}

# The part that needs an X server: run by this script under xvfb-run.
if [ "${1:-}" = "--under-x" ]; then
    viewer=$2
    out=$3
    wmclass=$4
    # The main window, and the information window, which reads the archive's texts (without the
    # archive a small message box would be saved instead).
    for of in "" informazioni; do
        shot="$out/shot-${of:-main}.png"
        ALTORRA_SCREENSHOT="$shot" ALTORRA_SCREENSHOT_OF="$of" timeout 120 "$viewer" >/dev/null ||
            fail "the viewer did not save its ${of:-main} window"
        echo "${of:-main} $(png_size "$shot")" >>"$out/sizes"
    done
    # The window manager groups windows by their class: the desktop entry must name the same one.
    "$viewer" &
    pid=$!
    class=""
    for _ in $(seq 1 300); do
        class=$(xprop -name "Altorra della Regione Sorvane" WM_CLASS 2>/dev/null) && break
        sleep 0.1
    done
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    case "$class" in
        *", \"$wmclass\"") ;;
        *) fail "the main window's WM_CLASS is '$class', the desktop entry says '$wmclass'" ;;
    esac
    exit 0
fi

deb=$("$here/scripts/package.sh" | tail -n 1)
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "altorra_${version}_amd64.deb" ] || fail "package named $(basename "$deb")"
echo "test-package: $deb"

echo "test-package: lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$deb" "$root"
program="$root/usr/lib/altorra"

echo "test-package: desktop entry, metainfo, icons, manual pages"
desktop="$root/usr/share/applications/altorra.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
exec_command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_command" ] || fail "the desktop entry starts '$exec_command', which the package lacks"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "${metainfo[0]}" >/dev/null || fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "${metainfo[0]}" || fail "the metainfo has no release $version"
for size in 16 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/altorra.png"
    [ "$(png_size "$icon")" = "$size $size" ] || fail "icon $icon is not $size x $size"
done
grep -q "<svg" "$root/usr/share/icons/hicolor/scalable/apps/altorra.svg" || fail "no scalable icon"
for page in altorra altorra-query; do
    file="$root/usr/share/man/man1/$page.1.gz"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
done

echo "test-package: the bin link and the program folder"
link="$root/usr/bin/altorra"
[ -L "$link" ] || fail "usr/bin/altorra is not a link"
[ "$(readlink -f "$link")" = "$(readlink -f "$program/altorra")" ] || fail "usr/bin/altorra points elsewhere"
[ -f "$program/orbeni.mdb" ] && [ -d "$program/cartograf" ] || fail "no sample archive in the program folder"
# --help needs no display and names the folder of the real executable, not the link's.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$link" --help) || fail "altorra --help"
grep -qxF "  $(readlink -f "$program")" <<<"$help" || fail "altorra --help names another program folder"
[ "$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$link" --version)" = "Altorra $version" ] || fail "altorra --version"
status=0
env -u DISPLAY QT_QPA_PLATFORM=xcb "$link" --bogus 2>"$work/usage" || status=$?
[ $status -eq 2 ] && [ "$(wc -l <"$work/usage")" -eq 1 ] || fail "an unknown argument is not refused"
status=0
env -u DISPLAY QT_QPA_PLATFORM=xcb "$link" --help more 2>/dev/null || status=$?
[ $status -eq 2 ] || fail "--help with another argument is not refused"
"$root/usr/bin/altorra-query" --help >/dev/null || fail "altorra-query --help"

echo "test-package: the unpacked viewer under Xvfb"
wmclass=$(sed -n 's/^StartupWMClass=//p' "$desktop")
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --under-x "$link" "$work" "$wmclass"
while read -r window width height; do
    case "$window" in
        main) minimum="748 554" ;;
        informazioni) minimum="608 422" ;;
    esac
    read -r mw mh <<<"$minimum"
    [ "$width" -ge "$mw" ] && [ "$height" -ge "$mh" ] ||
        fail "the $window window is $width x $height, smaller than $mw x $mh (archive not found?)"
done <"$work/sizes"

echo "test-package: cmake --install under a prefix of its own"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
help=$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/altorra" --help) || fail "installed altorra --help"
grep -qxF "  $(readlink -f "$prefix/lib/altorra")" <<<"$help" || fail "the installed viewer names another folder"
[ -f "$prefix/lib/altorra/orbeni.mdb" ] || fail "cmake --install put no archive in the program folder"

echo "test-package: passed"
