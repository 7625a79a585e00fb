#!/bin/sh
# scripts/compare-readers.sh FOLDER [BUILD-DIR]
# Reads back every table of every Access file (.mdb, .accdb) in FOLDER with our reader and with
# mdb-reader (tests/tools/node_modules, installed by scripts/setup.sh) and compares every cell.
set -eu
folder=${1:?uso: scripts/compare-readers.sh CARTELLA [CARTELLA-DI-BUILD]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build}
cmake --build "$build" --target jetdump >/dev/null
find "$folder" -type f \( -iname '*.mdb' -o -iname '*.accdb' \) -size +0 | sort | tr '\n' '\0' |
    (cd "$root/tests/tools" && xargs -0 node compare_readers.mjs "$build/tests/tools/jetdump")
