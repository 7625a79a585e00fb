#!/usr/bin/env bash
# Installs what is missing, builds everything and makes the Debian package,
# build/package/altorra_<version>_amd64.deb, whose path it prints last.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
"$here/scripts/setup.sh" >&2
"$here/scripts/build.sh" >&2
rm -f "$build"/package/altorra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/package/altorra_*_amd64.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package: no package was made in $build/package" >&2
    exit 1
fi
echo "${debs[0]}"
