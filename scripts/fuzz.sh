#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: Clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, default 30 s,
# starting from the committed seed corpus. New inputs go to build/fuzz/corpus,
# a failing input to build/fuzz/artifacts. Exit status 1 when any target fails.
#   scripts/fuzz.sh [seconds-per-target] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(hex_text base64_string codec_decrypt block_modes utf_text)

# Clang 14 and its runtime (libFuzzer, the sanitizers) besides what the build needs.
scripts/setup.sh
packages=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]/%/_fuzz}"

failed=0
for t in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$t
  artifacts=build/fuzz/artifacts/$t
  mkdir -p "$corpus" "$artifacts"
  log=build/fuzz/$t.log
  echo "== $t: ${seconds} s"
  if build/fuzz/fuzz/${t}_fuzz -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "fuzz/corpus/$t" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true
  else
    failed=1
    echo "$t FAILED; the input is in $artifacts, the log in $log"
    grep -E 'fault:|ERROR|runtime error|SUMMARY' "$log" | head -5 || true
  fi
done
exit "$failed"
