#include "codec_bench.h"

#include <benchmark/benchmark.h>
#include <time.h>

#include <string>
#include <vector>

#include "bench_cases.h"
#include "message/components_catalog.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"

namespace velsor::bench {
namespace {

constexpr const char16_t* kPassphrase = u"correct horse battery staple";
constexpr const char* kCiphers[] = {"RC4", "Blowfish", "Rijndael"};
constexpr const char* kHash = "SHA256";
constexpr int64_t kTextSizes[] = {1 << 20, 16 << 20};

template <class T>
T* Find(const std::vector<T*>& components, const std::string& row) {
  for (T* c : components) {
    if (RowName(c->Algorithm()) == row) return c;
  }
  return nullptr;
}

// Lines of 62 letters and CR LF, as a long memo holds them.
std::u16string Text(std::size_t length) {
  std::u16string text(length, u'a');
  for (std::size_t i = 0; i < length; ++i) {
    text[i] = (i % 64 == 62) ? u'\r' : (i % 64 == 63) ? u'\n' : static_cast<char16_t>(u'a' + (i * 7) % 26);
  }
  return text;
}

// This thread's CPU time, user and kernel (page faults count): on a shared
// machine it leaves out the time other processes hold the core.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void CodecBench(benchmark::State& state, const std::string& cipher_row, bool encrypt) {
  Cipher* cipher = Find(ListCiphers(VelsorCatalog()), cipher_row);
  Hash* hash = Find(ListHashes(VelsorCatalog()), kHash);
  if (!cipher || !hash) {
    state.SkipWithError("component not in the catalog");
    return;
  }
  const std::u16string text = Text(static_cast<std::size_t>(state.range(0)));
  const std::size_t message_bytes = 2 * text.size();
  const std::u16string hex = encrypt ? u"" : EncryptMessage(text, kPassphrase, *hash, *cipher, SystemRandomBytes);
  const std::vector<uint8_t> raw_in(message_bytes, 0x61);
  std::vector<uint8_t> raw_out(message_bytes);
  const auto key_bits = static_cast<uint32_t>(EffectiveKeySize(*cipher, *hash));

  double codec_seconds = 0, raw_seconds = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    cipher->Init(BenchKey(), key_bits, BenchIv());
    if (encrypt) {
      cipher->Encrypt(raw_in.data(), raw_out.data(), static_cast<uint32_t>(message_bytes));
    } else {
      cipher->Decrypt(raw_in.data(), raw_out.data(), static_cast<uint32_t>(message_bytes));
    }
    cipher->Burn();
    benchmark::DoNotOptimize(raw_out.data());
    benchmark::ClobberMemory();
    const double t1 = ThreadSeconds();
    if (encrypt) {
      benchmark::DoNotOptimize(EncryptMessage(text, kPassphrase, *hash, *cipher, SystemRandomBytes));
    } else {
      benchmark::DoNotOptimize(DecryptMessage(hex, kPassphrase, *hash, *cipher));
    }
    const double t2 = ThreadSeconds();
    raw_seconds += t1 - t0;
    codec_seconds += t2 - t1;
    state.SetIterationTime(t2 - t1);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * message_bytes));
  state.counters["x_raw"] = codec_seconds / raw_seconds;
  state.counters["raw_MBps"] = static_cast<double>(state.iterations() * message_bytes) / raw_seconds / 1e6;
}

}  // namespace

void RegisterCodecBenchmarks() {
  for (const char* row : kCiphers) {
    for (const bool encrypt : {true, false}) {
      const std::string name = std::string(encrypt ? "codec_enc/" : "codec_dec/") + row + "/velsor";
      auto* b = benchmark::RegisterBenchmark(name.c_str(), CodecBench, std::string(row), encrypt);
      for (int64_t size : kTextSizes) b->Arg(size);
      b->UseManualTime()->Unit(benchmark::kMillisecond);
    }
  }
}

}  // namespace velsor::bench
