// Throughput of every Velsor cipher (CBC encryption and decryption; RC4 as a
// stream) and hash beside the same algorithms in the peer libraries found at
// build time, and the message codec end to end beside the raw cipher.
// Benchmark names: <operation>/<row>/<implementation>/<bytes>, with operation
// one of cbc_enc, cbc_dec, stream, hash, codec_enc, codec_dec. scripts/bench.sh
// runs it and writes docs/benchmarks.md.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_cases.h"
#include "codec_bench.h"
#include "cross_check.h"

namespace velsor::bench {
namespace {

constexpr int64_t kSizes[] = {16 * 1024, 1024 * 1024};

std::vector<uint8_t> Pattern(std::size_t size) {
  std::vector<uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
  return bytes;
}

void CipherBench(benchmark::State& state, const CipherCase* c, bool encrypt) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<uint8_t> in = Pattern(size);
  std::vector<uint8_t> out(size);
  const auto run = c->start(BenchKey(), BenchIv(), encrypt);
  for (auto _ : state) {
    run->Run(in.data(), out.data(), size);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void HashBench(benchmark::State& state, const HashCase* h) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::vector<uint8_t> in = Pattern(size);
  std::vector<uint8_t> digest(h->digest_bytes);
  for (auto _ : state) {
    h->digest(in.data(), size, digest.data());
    benchmark::DoNotOptimize(digest.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void RegisterCipher(const CipherCase& c) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "/" + string.
  std::string tail = "/";
  tail += c.Row();
  tail += "/";
  tail += c.implementation;
  const auto add = [&](const std::string& name, bool encrypt) {
    auto* b = benchmark::RegisterBenchmark(name.c_str(), CipherBench, &c, encrypt);
    for (int64_t size : kSizes) b->Arg(size);
  };
  if (c.block_bytes == 0) {
    add("stream" + tail, true);
  } else {
    add("cbc_enc" + tail, true);
    add("cbc_dec" + tail, false);
  }
}

void RegisterHash(const HashCase& h) {
  auto* b = benchmark::RegisterBenchmark(("hash/" + h.algorithm + "/" + h.implementation).c_str(), HashBench, &h);
  for (int64_t size : kSizes) b->Arg(size);
}

}  // namespace
}  // namespace velsor::bench

int main(int argc, char** argv) {
  using namespace velsor::bench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  AddRegisteredCases();
  CrossCheck();
  for (const CipherCase& c : CipherCases()) RegisterCipher(c);
  for (const HashCase& h : HashCases()) RegisterHash(h);
  RegisterCodecBenchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
