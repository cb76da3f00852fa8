// Throughput of every cipher (CBC, as messages use it) and every hash, and of
// a whole message through the codec. Run: cmake --preset bench && cmake --build
// --preset bench && build/bench/bench/velsor_bench

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "message/components_catalog.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"

namespace velsor {
namespace {

std::string Name(const std::u16string& s) { return std::string(s.begin(), s.end()); }

Component& Catalog() {
  static Component owner;
  static const bool created = (CreateAlgorithmComponents(owner), true);
  (void)created;
  return owner;
}

void CipherCbc(benchmark::State& state, Cipher* cipher) {
  std::vector<uint8_t> key(256, 0x42), iv(16, 0x24), data(static_cast<std::size_t>(state.range(0)), 0x5A);
  const auto bits = static_cast<uint32_t>(std::min(cipher->MaxKeySize(), 256));
  cipher->Init(key.data(), bits, iv.data());
  for (auto _ : state) {
    cipher->Encrypt(data.data(), data.data(), static_cast<uint32_t>(data.size()));
    benchmark::DoNotOptimize(data.data());
  }
  cipher->Burn();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void HashUpdate(benchmark::State& state, Hash* hash) {
  std::vector<uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5A);
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash->HashSize() / 8));
  for (auto _ : state) {
    hash->Init();
    hash->Update(data.data(), static_cast<uint32_t>(data.size()));
    hash->Final(digest.data());
    benchmark::DoNotOptimize(digest.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void CodecRoundTrip(benchmark::State& state, Cipher* cipher, Hash* hash) {
  const std::u16string text(static_cast<std::size_t>(state.range(0)), u'x');
  for (auto _ : state) {
    const auto hex = EncryptMessage(text, u"passphrase", *hash, *cipher, SystemRandomBytes);
    benchmark::DoNotOptimize(DecryptMessage(hex, u"passphrase", *hash, *cipher));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0) * 2);
}

const bool kRegistered = [] {
  for (Cipher* c : ListCiphers(Catalog())) {
    benchmark::RegisterBenchmark(("CBC/" + Name(c->Algorithm())).c_str(), CipherCbc, c)->Arg(1 << 20);
  }
  for (Hash* h : ListHashes(Catalog())) {
    benchmark::RegisterBenchmark(("Hash/" + Name(h->Algorithm())).c_str(), HashUpdate, h)->Arg(1 << 20);
  }
  Cipher* first_cipher = ListCiphers(Catalog()).front();
  Hash* first_hash = ListHashes(Catalog()).front();
  benchmark::RegisterBenchmark("Codec/RoundTrip", CodecRoundTrip, first_cipher, first_hash)->Arg(4096);
  return true;
}();

}  // namespace
}  // namespace velsor
