#!/usr/bin/env bash
# Checks the installed viewer as a user gets it: makes the Debian package, checks it with lintian,
# desktop-file-validate and appstreamcli, unpacks it into a temporary root and starts the unpacked
# viewer from its bin link under Xvfb, where it must find its archive and show its windows. Then
# installs it with dpkg into a root of its own, puts another archive where the README says, and
# reinstalls, upgrades to a rebuilt higher version, removes and purges: that archive must stay
# byte-identical after each step and the installed viewer must read it. Also installs with cmake
# under a prefix of its own. Fails on the first fault, saying which.
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

# The viewer's windows that read the archive, saved (under an X server): the main window and the
# information window (without an archive a small message box would be saved instead).
save_shots() {
    for of in "" informazioni; do
        shot="$2/shot-${of:-main}.png"
        ALTORRA_SCREENSHOT="$shot" ALTORRA_SCREENSHOT_OF="$of" timeout 120 "$1" >/dev/null ||
            fail "the viewer did not save its ${of:-main} window"
        echo "${of:-main} $(png_size "$shot")" >>"$2/sizes"
    done
}
if [ "${1:-}" = "--shots" ]; then
    save_shots "$2" "$3"
    exit 0
fi

check_sizes() {
    while read -r window width height; do
        case "$window" in
            main) minimum="748 554" ;;
            informazioni) minimum="608 422" ;;
        esac
        read -r mw mh <<<"$minimum"
        [ "$width" -ge "$mw" ] && [ "$height" -ge "$mh" ] ||
            fail "$1: the $window window is $width x $height, smaller than $mw x $mh (archive not found?)"
    done <"$2/sizes"
}

# The part that needs an X server: run by this script under xvfb-run.
if [ "${1:-}" = "--under-x" ]; then
    viewer=$2
    out=$3
    wmclass=$4
    save_shots "$viewer" "$out"
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
# The package owns nothing where the archive goes: the program folder's orbeni.mdb and cartograf
# are links to /var/lib/altorra, which holds no file of the package; the sample is read-only data.
for name in orbeni.mdb cartograf; do
    [ "$(readlink "$program/$name")" = "../../../var/lib/altorra/$name" ] ||
        fail "usr/lib/altorra/$name is not a link to /var/lib/altorra/$name"
done
dpkg-deb -c "$deb" >"$work/contents"
! grep -q ' \./var/' "$work/contents" || fail "the package holds files under /var"
[ -f "$root/usr/share/altorra/sample/orbeni.mdb" ] && [ -f "$root/usr/share/altorra/sample/cartograf/r_1000.jpg" ] ||
    fail "no sample archive in usr/share/altorra/sample"
# The unpacked package has no postinst to fill the location: the test's own copy of the sample.
mkdir -p "$root/var/lib/altorra"
cp -R "$root/usr/share/altorra/sample/." "$root/var/lib/altorra/"
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
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" --under-x "$link" "$work" "$wmclass"
check_sizes unpacked "$work"

echo "test-package: install, reinstall, upgrade and remove with dpkg in a root of its own"
# dpkg's own root: its database holds only this package, the maintainer scripts run outside a
# chroot with DPKG_ROOT naming the root, and the libraries come from this system.
droot="$work/dpkg-root"
mkdir -p "$droot/var/lib/dpkg/info" "$droot/var/lib/dpkg/updates"
touch "$droot/var/lib/dpkg/status"
in_root() {
    dpkg --root="$droot" --force-script-chrootless --force-not-root --force-depends --log=/dev/null "$@" \
        >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg $*"; }
}
archive="$droot/var/lib/altorra"
installed="$droot/usr/lib/altorra"
# Every file of the archive location with its checksum, links and folders included.
archive_sums() {
    (cd "$archive" && find . -mindepth 1 -type f -print0 | sort -z | xargs -0 -r sha256sum &&
        find . -mindepth 1 -printf '%y %m %p %l\n' | sort)
}
# A higher version of the same package, rebuilt from the same tree.
upgrade="$version+1"
(cd "$build" && cpack -G DEB -B "$work/rebuilt" -D CPACK_PACKAGE_VERSION="$upgrade" >/dev/null) ||
    fail "cpack could not rebuild the package as $upgrade"
rebuilt="$work/rebuilt/altorra_${upgrade}_amd64.deb"
[ -f "$rebuilt" ] || fail "no rebuilt package $rebuilt"

in_root -i "$deb"
cmp -s "$archive/orbeni.mdb" "$droot/usr/share/altorra/sample/orbeni.mdb" &&
    diff -r "$archive/cartograf" "$droot/usr/share/altorra/sample/cartograf" >/dev/null ||
    fail "the first install did not copy the sample into an empty /var/lib/altorra"

# The region's archive, as a user puts it where the README says: another archive (Jet 3, other
# rows), a picture of its own beside the generated ones, and a name in upper case.
"$build/tools/samplegen" "$work/region" --jet3 --rows 4321 --quiet
cp "$work/region/cartograf/r_1000.jpg" "$work/region/cartograf/S_9999.JPG"
rm -rf "${archive:?}"/*
cp -R "$work/region/." "$archive/"
archive_sums >"$work/region.sums"
region_rows=$("$build/program/altorra-query" "$work/region/orbeni.mdb" database1 | sha256sum)

# After each step: the archive byte for byte as the user left it, and, while the package is
# installed, the viewer and the query tool reading it through the program folder.
check_step() {
    archive_sums >"$work/after.sums"
    diff -u "$work/region.sums" "$work/after.sums" >&2 || fail "$1 changed the archive in /var/lib/altorra"
    [ "$2" = installed ] || return 0
    rows=$("$installed/altorra-query" "$installed/orbeni.mdb" database1 | sha256sum) ||
        fail "$1: the installed query tool cannot read the archive"
    [ "$rows" = "$region_rows" ] || fail "$1: the program folder's archive is not the region's"
    mkdir -p "$work/shots-$1"
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" --shots "$droot/usr/bin/altorra" "$work/shots-$1"
    check_sizes "$1" "$work/shots-$1"
}
check_step placed installed
in_root -i "$deb"
check_step reinstall installed
in_root -i "$rebuilt"
[ "$(dpkg-query --admindir="$droot/var/lib/dpkg" -W -f='${Version}' altorra)" = "$upgrade" ] ||
    fail "the upgrade to $upgrade did not happen"
check_step upgrade installed
in_root -r altorra
[ ! -e "$installed/altorra" ] || fail "removing the package left the viewer"
check_step remove removed
in_root -i "$deb"
check_step install-again installed
in_root --purge altorra
check_step purge removed

echo "test-package: cmake --install under a prefix of its own"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
help=$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/altorra" --help) || fail "installed altorra --help"
grep -qxF "  $(readlink -f "$prefix/lib/altorra")" <<<"$help" || fail "the installed viewer names another folder"
[ -f "$prefix/lib/altorra/orbeni.mdb" ] && [ -L "$prefix/lib/altorra/orbeni.mdb" ] ||
    fail "cmake --install put no archive behind the program folder's link"
cmp -s "$prefix/var/lib/altorra/orbeni.mdb" "$prefix/share/altorra/sample/orbeni.mdb" ||
    fail "cmake --install did not fill the archive location from the sample"
# Installing again leaves an archive that is there alone.
echo "region" >"$prefix/var/lib/altorra/orbeni.mdb"
cmake --install "$build" --prefix "$prefix" >/dev/null
[ "$(cat "$prefix/var/lib/altorra/orbeni.mdb")" = region ] || fail "cmake --install replaced the archive"

echo "test-package: passed"
