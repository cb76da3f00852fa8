#!/usr/bin/env bash
# velsor-cli end to end on texts of 1, 16 and 64 MiB, encrypting and
# decrypting with RC4, Blowfish and Rijndael (hash SHA256): wall and CPU time
# with hyperfine (else repeated /usr/bin/time runs), peak RSS with /usr/bin/time, and a check that every text comes
# back byte for byte. Writes one JSON object per line to the file given.
#
#   scripts/bench-cli.sh CLI OUTPUT.jsonl [WORKDIR]
#
# scripts/bench.sh runs it after the in-process benchmarks and puts the results
# beside the raw cipher's speed in docs/benchmarks.md.
set -euo pipefail

cli=$(realpath "$1")
output=$2
work=${3:-$(mktemp -d)}
mkdir -p "$work"
: >"$output"

export VELSOR_PASSPHRASE='correct horse battery staple'
hash=SHA256
ciphers=(RC4 Blowfish Rijndael)
sizes_mib=(${VELSOR_BENCH_CLI_SIZES:-1 16 64})

# hyperfine runs per size: enough for a stable mean, few enough for 64 MiB.
runs_for() { case $1 in 1) echo 10 ;; 16) echo 5 ;; *) echo 3 ;; esac; }

# ASCII lines of 63 characters and LF: the CLI sends each LF as CR LF, so the
# message holds 2 * (bytes + lines) bytes.
make_text() {
  python3 - "$1" "$2" <<'PY'
import sys
size, path = int(sys.argv[1]), sys.argv[2]
line = bytes((ord('a') + (i * 7) % 26) for i in range(63)) + b'\n'
with open(path, 'wb') as f:
    f.write((line * (size // len(line) + 1))[:size])
PY
}

# Writes hyperfine's JSON for the command; where hyperfine is missing, the same
# fields from repeated /usr/bin/time runs.
time_runs() {  # runs command json
  if command -v hyperfine >/dev/null; then
    hyperfine --style none --warmup 1 --runs "$1" --export-json "$3" "$2" >/dev/null
    return
  fi
  local i
  for ((i = 0; i < $1; i++)); do /usr/bin/time -f '%e %U %S' sh -c "$2" 2>&1 >/dev/null | tail -1; done |
    python3 -c '
import json, sys
t = [list(map(float, l.split())) for l in sys.stdin if l.strip()]
mean = lambda k: sum(x[k] for x in t) / len(t)
json.dump({"results": [{"mean": mean(0), "min": min(x[0] for x in t), "user": mean(1), "system": mean(2),
                        "times": [x[0] for x in t]}]}, open(sys.argv[1], "w"))' "$3"
}

measure() {  # direction cipher size text input
  local direction=$1 cipher=$2 size=$3 text=$4 input=$5
  local command="'$cli' $direction -c $cipher -H $hash < '$input' > /dev/null"
  local hf="$work/times.json" rss
  time_runs "$(runs_for "$size")" "$command" "$hf"
  rss=$(/usr/bin/time -f '%M' sh -c "$command" 2>&1 >/dev/null | tail -1)
  python3 - "$hf" "$direction" "$cipher" "$size" "$text" "$rss" >>"$output" <<'PY'
import json, sys
hf, direction, cipher, size, text, rss = sys.argv[1:]
r = json.load(open(hf))["results"][0]
data = open(text, 'rb').read()
print(json.dumps({
    "direction": direction, "cipher": cipher, "text_mib": int(size),
    "message_bytes": 2 * (len(data) + data.count(b'\n')),
    "wall_mean_s": r["mean"], "wall_min_s": r["min"], "user_s": r["user"], "system_s": r["system"],
    "runs": len(r["times"]), "peak_rss_kib": int(rss)}))
PY
}

for size in "${sizes_mib[@]}"; do
  text="$work/text-$size.txt"
  make_text $((size * 1024 * 1024)) "$text"
  for cipher in "${ciphers[@]}"; do
    hex="$work/hex-$size-$cipher.txt"
    "$cli" encrypt -c "$cipher" -H "$hash" <"$text" >"$hex"
    "$cli" decrypt -c "$cipher" -H "$hash" <"$hex" | cmp -s - "$text" ||
      { echo "bench-cli: $cipher at $size MiB does not round-trip" >&2; exit 1; }
    measure encrypt "$cipher" "$size" "$text" "$text"
    measure decrypt "$cipher" "$size" "$text" "$hex"
    rm -f "$hex"
    echo "bench-cli: $cipher $size MiB done" >&2
  done
  rm -f "$text"
done
