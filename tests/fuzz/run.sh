#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang into BUILD_DIR and runs each for
# FUZZ_SECONDS (20) on a copy of its seeds. An input that breaks a target is
# kept in BUILD_DIR/faults, and the run fails.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed, the fuzz targets are skipped"
    exit 0
fi
targets=(fuzz_request fuzz_number fuzz_load fuzz_save)
cmake -S "$here/../.." -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DBRUNILLA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
# The targets' record directories, in memory, and gone even after a crash.
TMPDIR=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
status=0
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target log=$build/$target.log faults=$build/faults/$target-
    rm -rf "$corpus" && mkdir -p "$corpus" "$build/faults"
    cp -r "$here/seeds/$target/." "$corpus"
    if "$build/tests/fuzz/$target" -max_total_time="${FUZZ_SECONDS:-20}" -timeout=10 \
        -artifact_prefix="$faults" "$corpus" >"$log" 2>&1; then
        echo "$target: $(tail -n 1 "$log")"
    else
        status=1
        echo "$target: FAULT, see $log$(grep -o '; Test unit written to .*' "$log" || true)"
    fi
done
exit $status
