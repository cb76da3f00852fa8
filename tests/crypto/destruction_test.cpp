// Destroying a component leaves nothing of its key, its message or its state
// behind. Each component is built in storage the test owns, used (a key in
// place and a message encrypted, or a digest left half done), destroyed, and
// its bytes compared with those of an instance that was only built and
// destroyed: any byte that differs depends on the key, the data or the state.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "crypto/ciphers/blowfish.h"
#include "crypto/ciphers/cast128.h"
#include "crypto/ciphers/des.h"
#include "crypto/ciphers/ice.h"
#include "crypto/ciphers/rc2.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/ciphers/rijndael.h"
#include "crypto/ciphers/serpent.h"
#include "crypto/ciphers/tea.h"
#include "crypto/ciphers/twofish.h"
#include "crypto/hashes/haval.h"
#include "crypto/hashes/md4.h"
#include "crypto/hashes/md5.h"
#include "crypto/hashes/ripemd128.h"
#include "crypto/hashes/ripemd160.h"
#include "crypto/hashes/sha1.h"
#include "crypto/hashes/sha256.h"
#include "crypto/hashes/sha512.h"
#include "crypto/hashes/tiger.h"

namespace velsor {
namespace {

constexpr uint8_t kFill = 0xC3;  // the storage's bytes before construction

// Key bytes 0x11, 0x22, ...; message bytes that are not a block multiple.
std::vector<uint8_t> KeyOfBits(int32_t bits) {
  std::vector<uint8_t> key(static_cast<std::size_t>(bits / 8));
  for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(0x11 * (i + 1));
  return key;
}

// Builds a C in storage; with a key size, sets the key and the chaining mode,
// encrypts a message and leaves the state as it is; then destroys it.
template <class C>
void UseCipher(std::byte* storage, int32_t key_bits) {
  auto* cipher = new (storage) C();
  if (key_bits > 0) {
    const std::vector<uint8_t> key = KeyOfBits(key_bits);
    cipher->Init(key.data(), static_cast<uint32_t>(key_bits), nullptr);
    std::vector<uint8_t> message(37, 0x5A);
    cipher->Encrypt(message.data(), message.data(), static_cast<uint32_t>(message.size()));
    cipher->SetCancelByCallingThread(true);
  }
  cipher->~C();
}

// The same for a hash: Init and a part of a message, no Final.
template <class H>
void UseHash(std::byte* storage, int32_t message_bytes) {
  auto* hash = new (storage) H();
  if (message_bytes > 0) {
    hash->Init();
    const std::vector<uint8_t> message(static_cast<std::size_t>(message_bytes), 0xA7);
    hash->Update(message.data(), static_cast<uint32_t>(message.size()));
  }
  hash->~H();
}

struct Case {
  const char* name;
  std::size_t size;
  void (*use)(std::byte*, int32_t);
  std::vector<int32_t> workloads;  // key sizes (ciphers) or message lengths (hashes)
};

template <class C>
Case CipherCase(const char* name, std::vector<int32_t> key_sizes) {
  return {name, sizeof(C), &UseCipher<C>, std::move(key_sizes)};
}

template <class H>
Case HashCase(const char* name) {
  // Lengths that leave different fill counts and bit lengths behind.
  return {name, sizeof(H), &UseHash<H>, {3, 200}};
}

std::vector<std::byte> StorageAfter(const Case& c, int32_t workload) {
  std::vector<std::byte> storage(c.size + alignof(std::max_align_t));
  std::memset(storage.data(), kFill, storage.size());
  c.use(storage.data(), workload);
  return storage;
}

TEST(Destruction, LeavesNoKeyMessageOrStateBehind) {
  // Key sizes that give different round counts where the cipher has them.
  const Case cases[] = {
      CipherCase<Rijndael>("Rijndael", {128, 256}),
      CipherCase<Blowfish>("Blowfish", {64, 448}),
      CipherCase<Twofish>("Twofish", {128, 256}),
      CipherCase<Serpent>("Serpent", {128, 256}),
      CipherCase<Des>("DES", {64}),
      CipherCase<TripleDes>("3DES", {128, 192}),
      CipherCase<Cast128>("CAST-128", {40, 128}),
      CipherCase<ThinIce>("Thin Ice", {64}),
      CipherCase<Ice>("Ice", {64}),
      CipherCase<Ice2>("Ice2", {128}),
      CipherCase<Rc2>("RC2", {64, 1024}),
      CipherCase<Rc4>("RC4", {40, 2048}),
      CipherCase<Tea>("Tea", {128}),
      HashCase<Md4>("MD4"),
      HashCase<Md5>("MD5"),
      HashCase<Sha1>("SHA1"),
      HashCase<Sha256>("SHA256"),
      HashCase<Sha384>("SHA384"),
      HashCase<Sha512>("SHA512"),
      HashCase<Ripemd128>("RipeMD-128"),
      HashCase<Ripemd160>("RipeMD-160"),
      HashCase<Haval>("Haval"),
      HashCase<Tiger>("Tiger"),
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::byte> untouched = StorageAfter(c, 0);
    for (const int32_t workload : c.workloads) {
      SCOPED_TRACE(workload);
      const std::vector<std::byte> used = StorageAfter(c, workload);
      for (std::size_t i = 0; i < c.size; ++i) {
        if (used[i] != untouched[i]) {
          ADD_FAILURE() << "byte " << i << " of " << c.size << " differs after destruction";
          break;
        }
      }
    }
  }
}

}  // namespace
}  // namespace velsor
