#!/usr/bin/env bash
# 7-Zip's compression levels on office-like data, against gzip and xz, and
# BuildArchive against the same 7zz command run by hand, in one run:
#  1. office_data.py writes SIZE_MIB of office-like data (a database dump,
#     spreadsheets, letters);
#  2. 7zz packs it (AES-256, names hidden, as Norvo_T runs it) at each level,
#     and tar piped into gzip -6 and into xz -6 packs it as references; each
#     line gives the wall time, the speed in MiB of input per second and the
#     size of the archive;
#  3. BuildArchive at the default level against 7zz by hand at that level.
#   bench/archive/run.sh [SIZE_MIB] [LEVELS]    (default 300 "1 3 5 9")
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
size_mib="${1:-300}"
read -r -a levels <<<"${2:-1 3 5 9}"
default_level="$(sed -n 's/^inline constexpr int kDefaultArchiverLevel = \([0-9]\);$/\1/p' \
  "$root/src/settings/ProviderConfig.h")"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DNORVO_BUILD_BENCH=ON \
  -DNORVO_BUILD_TESTS=OFF -DNORVO_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target archive_bench >/dev/null 2>&1
command -v 7zz >/dev/null || { echo "bench: 7zz is missing; run scripts/install-deps" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/norvo-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT
data="$work/data"
bytes="$(/usr/bin/python3 "$root/bench/archive/office_data.py" "$data" "$size_mib")"
mib() { echo "scale=1; $1 / 1048576" | bc -l; }
printf 'office-like data: %s MiB (dump %s, spreadsheets %s, texts %s MiB) on %s cores\n' "$(mib "$bytes")" \
  "$(mib "$(du -sb "$data/dump" | cut -f1)")" "$(mib "$(du -sb "$data/hojas" | cut -f1)")" \
  "$(mib "$(du -sb "$data/textos" | cut -f1)")" "$(nproc)"

# Runs the command (a shell line) and prints one line: name, wall seconds, CPU
# seconds (user + system, its children included: steadier than the wall time
# on a machine that others share), MiB of input per wall second, archive MiB
# and its share of the input.
measure() {
  local name="$1" line="$2" out="$3"
  sync
  local times real user system size
  times="$( { TIMEFORMAT='%R %U %S'; time bash -c "$line"; } 2>&1 >/dev/null | tail -n 1)"
  read -r real user system <<<"$times"
  size=$(stat -c %s "$out")
  printf '  %-18s %7.1fs wall %7.1fs CPU %6.1f MiB/s %7.1f MiB %5.1f%%\n' "$name" "$real" \
    "$(echo "$user + $system" | bc -l)" "$(echo "$bytes / 1048576 / $real" | bc -l)" "$(mib "$size")" \
    "$(echo "100 * $size / $bytes" | bc -l)"
  rm -f "$out"
  last_cpu="$(echo "$user + $system" | bc -l)"
}

echo "packing it (wall and CPU time, input speed, archive size, share of the input):"
for level in "${levels[@]}"; do
  measure "7zz -mx=$level" "cd '$data' && printf 'clave\\nclave\\n' | 7zz a -t7z -mx=$level -p -mhe=on \
    -bso0 -bsp0 '$work/out.7z' . >/dev/null" "$work/out.7z"
done
measure "tar | gzip -6" "tar -C '$data' -cf - . | gzip -6 >'$work/out.tgz'" "$work/out.tgz"
measure "tar | xz -6 -T0" "tar -C '$data' -cf - . | xz -6 -T0 >'$work/out.txz'" "$work/out.txz"

echo "BuildArchive (file list, password on standard input) against 7zz by hand, level $default_level:"
measure "7zz by hand" "cd '$data' && printf 'clave\\nclave\\n' | 7zz a -t7z -mx=$default_level -p -mhe=on \
  -bso0 -bsp0 -r '$work/out.7z' '*' >/dev/null" "$work/out.7z"
by_hand="$last_cpu"
measure "BuildArchive" "'$build/bin/archive_bench' 7zz $default_level '$data' '$work/out.7z' clave >/dev/null" \
  "$work/out.7z"
printf '  CPU time ratio BuildArchive / 7zz by hand: %.3f\n' "$(echo "$last_cpu / $by_hand" | bc -l)"
