#include "cross_check.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bench_cases.h"

namespace velsor::bench {
namespace {

// Block ciphers in two calls of uneven length (whole blocks), since the chain
// must carry across calls. A stream cipher in one call: Velsor's RC4 restarts
// its indices at every call, which the message format depends on.
constexpr std::size_t kFirst = 4096, kSecond = 1024 + 512;

std::vector<uint8_t> Transform(const CipherCase& c, bool encrypt, const std::vector<uint8_t>& in) {
  std::vector<uint8_t> out(in.size());
  const auto run = c.start(BenchKey(), BenchIv(), encrypt);
  if (c.block_bytes == 0) {
    run->Run(in.data(), out.data(), in.size());
  } else {
    run->Run(in.data(), out.data(), kFirst);
    run->Run(in.data() + kFirst, out.data() + kFirst, kSecond);
  }
  return out;
}

// "match", "differs as expected: <why>", or "MISMATCH ...".
std::string Verdict(bool same, const std::string& differs, const std::string& what) {
  if (same) return differs.empty() ? "match" : "match (though noted: " + differs + ")";
  return differs.empty() ? "MISMATCH: " + what : "differs as expected: " + differs;
}

void Report(const std::string& kind, const std::string& row, const std::string& implementation,
            const std::string& verdict) {
  benchmark::AddCustomContext("check " + kind + " " + row + " " + implementation, verdict);
  if (verdict.rfind("MISMATCH", 0) == 0) {
    std::fprintf(stderr, "cross-check %s %s %s: %s\n", kind.c_str(), row.c_str(), implementation.c_str(),
                 verdict.c_str());
  }
}

void CheckCiphers() {
  std::vector<uint8_t> plain(kFirst + kSecond);
  for (std::size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7 + 3);
  for (const CipherCase& velsor : CipherCases()) {
    if (velsor.implementation != "velsor") continue;
    const std::vector<uint8_t> expected = Transform(velsor, true, plain);
    for (const CipherCase& peer : CipherCases()) {
      if (peer.implementation == "velsor" || peer.Row() != velsor.Row()) continue;
      std::string verdict;
      try {
        const bool enc_same = Transform(peer, true, plain) == expected;
        const bool dec_same = Transform(peer, false, expected) == plain;
        verdict = Verdict(enc_same && dec_same, peer.differs,
                          std::string(enc_same ? "" : "encryption differs ") + (dec_same ? "" : "decryption differs"));
      } catch (const std::exception& e) {
        verdict = std::string("MISMATCH: ") + e.what();
      }
      Report("cipher", peer.Row(), peer.implementation, verdict);
    }
  }
}

void CheckHashes() {
  // Long enough for several blocks and a partial last one.
  std::vector<uint8_t> data(4096 + 77);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 5 + 1);
  for (const HashCase& velsor : HashCases()) {
    if (velsor.implementation != "velsor") continue;
    std::vector<uint8_t> expected(velsor.digest_bytes);
    velsor.digest(data.data(), data.size(), expected.data());
    for (const HashCase& peer : HashCases()) {
      if (peer.implementation == "velsor" || peer.algorithm != velsor.algorithm) continue;
      std::vector<uint8_t> digest(peer.digest_bytes);
      peer.digest(data.data(), data.size(), digest.data());
      Report("hash", peer.algorithm, peer.implementation, Verdict(digest == expected, peer.differs, "digest differs"));
    }
  }
}

}  // namespace

void CrossCheck() {
  CheckCiphers();
  CheckHashes();
}

}  // namespace velsor::bench
