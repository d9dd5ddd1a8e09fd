#!/usr/bin/env bash
# Two costs of UploadToCloud, on pyftpdlib servers on loopback:
#  1. the digest proof: CPU of the upload to a server whose FEAT offers HASH
#     (the digest is computed while the file is read) against one that offers
#     no digest (size check only); medians of paired runs (bench/ftp/paired.py);
#  2. the bandwidth cap: wall time of one capped upload (ftp_max_kbps).
#   bench/upload/digest_cap.sh [DIGEST_MIB] [PAIRS] [CAP_MIB] [CAP_KBPS]   (default 1024 6 30 4000)
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
root="$bench_root"
digest_mib="${1:-1024}"
pairs="${2:-6}"
cap_mib="${3:-30}"
cap_kbps="${4:-4000}"
build_bench upload_bench
bench="$bench_build/bin/upload_bench"

work="$(bench_work_folder $((digest_mib * 4)))"
trap bench_cleanup EXIT
# Starts a server on its own folder (in this shell, so that cleanup ends it);
# its port goes to $port.
serve() {
  mkdir -p "$work/$1/bench/pc"
  /usr/bin/python3 "$root/tests/peers/ftp_server.py" --root "$work/$1" --digests "$2" >"$work/$1.port" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/$1.port" ] && break; sleep 0.1; done
  port="$(cut -d' ' -f2 "$work/$1.port")"
}
serve hash hash
hash_port="$port"
serve none none
none_port="$port"
mkdir -p "$work/local"
head -c "$((digest_mib * 1024 * 1024))" /dev/urandom >"$work/local/ARC1C001.RAR"

printf 'digest proof: UploadToCloud of %d MiB, %d pairs (CPU of the client alone)\n' "$digest_mib" "$pairs"
/usr/bin/python3 "$root/bench/ftp/paired.py" --pairs "$pairs" \
  --a "size check" "'$bench' 127.0.0.1:$none_port test secret '$work/local/' ARC1C001.RAR" \
  --b "HASH SHA-256" "'$bench' 127.0.0.1:$hash_port test secret '$work/local/' ARC1C001.RAR"
cmp "$work/local/ARC1C001.RAR" "$work/hash/bench/pc/ARC1C001.RAR"

head -c "$((cap_mib * 1024 * 1024))" /dev/urandom >"$work/local/ARC2C001.RAR"
read -r _ total_s _ pause_s < <("$bench" 127.0.0.1:"$none_port" test secret "$work/local/" ARC2C001.RAR "$cap_kbps")
cmp "$work/local/ARC2C001.RAR" "$work/none/bench/pc/ARC2C001.RAR"
transfer_s=$(echo "$total_s - $pause_s" | bc -l)
expected_s=$(echo "$cap_mib * 1024 * 1024 * 8 / ($cap_kbps * 1000)" | bc -l)
printf 'cap: %d MiB at ftp_max_kbps = %d: %.2fs without the 1 s pause (%.2fs at exactly the cap, ratio %.3f)\n' \
  "$cap_mib" "$cap_kbps" "$transfer_s" "$expected_s" "$(echo "$transfer_s / $expected_s" | bc -l)"
