#!/usr/bin/env bash
# Configures and builds into build/ (Ninja). Extra arguments are build targets; none builds all.
# JOBS sets the parallel jobs (default 2).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build"
if [ ! -f "$build/build.ninja" ]; then
    launcher=()
    # ccache, where installed, only speeds up rebuilds; nothing needs it.
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
fi
if [ $# -gt 0 ]; then
    cmake --build "$build" -j"${JOBS:-2}" --target "$@"
else
    cmake --build "$build" -j"${JOBS:-2}"
fi
