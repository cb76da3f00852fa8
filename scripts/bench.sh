#!/usr/bin/env bash
# Builds the bench preset, runs velsor_bench (every cipher and hash beside
# OpenSSL, Nettle and libgcrypt, and the codec beside the raw cipher) and
# velsor-cli end to end (scripts/bench-cli.sh), then writes docs/benchmarks.md
# and the headline rows of the README's benchmark section.
#
#   scripts/bench.sh [--quick] [--no-cli] [--filter=REGEX]
#
# --quick: fewer and shorter repetitions and CLI texts of 1 and 16 MiB only, to
# check the harness; the committed table comes from a full run.
# --filter=REGEX: runs only the matching benchmarks (e.g. '^codec_') and keeps
# the earlier run's results for the others.
# Benchmarks are not tests: CI never runs this.
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=5 min_time=0.3 cli=1 cli_sizes="1 16 64" filter=""
for arg in "$@"; do
  case $arg in
    --quick) repetitions=2 min_time=0.05 cli_sizes="1 16" ;;
    --no-cli) cli=0 ;;
    --filter=*) filter=${arg#--filter=} ;;
    *) echo "usage: scripts/bench.sh [--quick] [--no-cli] [--filter=REGEX]" >&2; exit 2 ;;
  esac
done

# The peers and the CLI tools, beside what the build needs.
scripts/setup.sh pkg-config libssl-dev nettle-dev libgcrypt20-dev hyperfine time python3

if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}; fi
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target velsor_bench velsor-cli

out=build/bench/results
mkdir -p "$out"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
results=("$out/velsor_bench.json")
if [ -n "$filter" ] && [ -f "$out/velsor_bench.json" ]; then
  mv "$out/velsor_bench.json" "$out/velsor_bench.earlier.json"
  results=("$out/velsor_bench.earlier.json" "$out/velsor_bench.json")
fi
build/bench/bench/velsor_bench --benchmark_repetitions="$repetitions" --benchmark_min_time="$min_time" \
  ${filter:+--benchmark_filter="$filter"} \
  --benchmark_out="$out/velsor_bench.json" --benchmark_out_format=json | tee "$out/velsor_bench.txt"
rm -f "$out/cli.jsonl"
if [ "$cli" = 1 ]; then
  VELSOR_BENCH_CLI_SIZES=$cli_sizes scripts/bench-cli.sh build/bench/cli/velsor-cli "$out/cli.jsonl" "$out/cli-work"
fi
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

bench_args=()
for r in "${results[@]}"; do bench_args+=(--bench "$r"); done
scripts/bench_report.py "${bench_args[@]}" --cli "$out/cli.jsonl" --out docs/benchmarks.md \
  --readme README.md \
  --note "Load average (1, 5, 15 min) before the run: $load_before; after: $load_after. The machine is shared: \
the ratios, measured in the same run, carry more weight than the absolute figures.\
${filter:+ Benchmarks matching '$filter' and velsor-cli are from this run, the others from the run before.}"
echo "Wrote docs/benchmarks.md"
