#!/usr/bin/env bash
# Configures and builds into build/ (Ninja). Extra arguments are build targets; none builds all.
# JOBS sets the parallel jobs (default 2).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ $# -gt 0 ]; then
    cmake --build "$build" -j"${JOBS:-2}" --target "$@"
else
    cmake --build "$build" -j"${JOBS:-2}"
fi
