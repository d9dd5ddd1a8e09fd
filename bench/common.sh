# Shared by the bench scripts (sourced): the Release build of the bench
# programs and a work folder.
# shellcheck shell=bash

bench_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_build="$bench_root/build-bench"

# Builds the given targets in a Release build of their own (build-bench).
build_bench() {
  cmake -S "$bench_root" -B "$bench_build" -DCMAKE_BUILD_TYPE=Release -DNORVO_BUILD_BENCH=ON \
    -DNORVO_BUILD_TESTS=OFF -DNORVO_BUILD_GUI=OFF >/dev/null
  cmake --build "$bench_build" -j2 --target "$@" >/dev/null 2>&1
}

# Prints a new work folder: in memory (/dev/shm) when it has room for NEED_MIB,
# which keeps the disk's noise out of the timings, else under TMPDIR.
bench_work_folder() {
  local need_mib="$1" base="${TMPDIR:-/tmp}" free_mib
  free_mib=$(df -m --output=avail /dev/shm 2>/dev/null | tail -1 || echo 0)
  if [ "${free_mib:-0}" -gt "$need_mib" ]; then base=/dev/shm; fi
  mktemp -d -p "$base" norvo-bench-XXXXXX
}

# The background servers a script starts (pids+=($!)); bench_cleanup, set as
# the EXIT trap, stops them and removes the work folder $work.
pids=()
bench_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "${work:-}"
}
