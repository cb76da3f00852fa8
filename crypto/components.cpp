#include "crypto/components.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "crypto/base64.h"
#include "crypto/bytes.h"

namespace velsor {

// ---------------------------------------------------------------------------
// Component

Component::Component(Component* owner) : fOwner(owner) {
  if (fOwner != nullptr) fOwner->fComponents.push_back(this);
}

Component::~Component() {
  // Owned components go first, newest first, each unlinking itself from this list.
  while (!fComponents.empty()) delete fComponents.back();
  if (fOwner != nullptr) {
    auto& siblings = fOwner->fComponents;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

// ---------------------------------------------------------------------------
// MemoryStream

MemoryStream::MemoryStream(const void* data, std::size_t size)
    : fData(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

MemoryStream::~MemoryStream() { Clear(); }

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  const int64_t available = std::max<int64_t>(0, Size() - fPosition);
  const std::size_t n = static_cast<std::size_t>(std::min<int64_t>(available, static_cast<int64_t>(count)));
  if (n > 0) std::memcpy(buffer, fData.data() + fPosition, n);
  fPosition += static_cast<int64_t>(n);
  return n;
}

void MemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  const std::size_t end = static_cast<std::size_t>(fPosition) + count;
  if (end > fData.size()) fData.resize(end);  // a buffer it outgrows is wiped by the allocator
  std::memcpy(fData.data() + fPosition, buffer, count);
  fPosition = static_cast<int64_t>(end);
}

void MemoryStream::SetPosition(int64_t position) { fPosition = std::max<int64_t>(0, position); }

void MemoryStream::Clear() {
  secure_wipe(fData.data(), fData.size());
  fData.clear();
  fPosition = 0;
}

void XorBuffer(void* first, const void* second, std::size_t count) {
  uint8_t* a = static_cast<uint8_t*>(first);
  const uint8_t* b = static_cast<const uint8_t*>(second);
  for (std::size_t i = 0; i < count; ++i) a[i] ^= b[i];
}

// ---------------------------------------------------------------------------
// Hash

Hash::~Hash() { secure_wipe(&fInitialized, sizeof fInitialized); }

void Hash::UpdateStream(Stream& stream, uint32_t Size) {
  constexpr uint32_t kPiece = 8192;
  SecretArray<uint8_t, kPiece> buffer;
  for (uint32_t i = 0; i < Size / kPiece; ++i) {
    const std::size_t n = stream.Read(buffer.data(), kPiece);
    Update(buffer.data(), static_cast<uint32_t>(n));
  }
  if (Size % kPiece != 0) {
    const std::size_t n = stream.Read(buffer.data(), Size % kPiece);
    Update(buffer.data(), static_cast<uint32_t>(n));
  }
}

void Hash::UpdateStr(const std::string& Str) { Update(Str.data(), static_cast<uint32_t>(Str.size())); }

void Hash::UpdateUnicodeStr(const std::u16string& Str) {
  const SecretBytes bytes = Utf16LeBytes(Str);
  Update(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

// ---------------------------------------------------------------------------
// Cipher

Cipher::~Cipher() {
  secure_wipe(&fInitialized, sizeof fInitialized);
  secure_wipe(&fCancelByCallingThread, sizeof fCancelByCallingThread);
}

void Cipher::Init(const void* Key, uint32_t Size, const void* InitVector) {
  (void)InitVector;
  if (fInitialized) Burn();
  const auto bits = static_cast<int64_t>(Size);
  if (Size == 0 || Size % 4 != 0 || bits < MinKeySize() || bits > MaxKeySize()) {
    throw CipherError(kInvalidKeySize);
  }
  fInitialized = true;
  try {
    ScheduleKey(Key, Size);
  } catch (...) {
    Burn();
    throw;
  }
}

void Cipher::Burn() { fInitialized = false; }

void Cipher::InitFromDigest(const HashClass& hash_type, const std::function<void(Hash&)>& feed) {
  if (fInitialized) Burn();
  std::vector<uint8_t> digest;
  try {
    const int32_t hash_bits = hash_type.GetHashSize();
    digest.assign(static_cast<std::size_t>(std::max(hash_bits, 0) / 8), 0);
    {
      const std::unique_ptr<Hash> hash = hash_type.Create(this);
      hash->Init();
      feed(*hash);
      hash->Final(digest.data());
    }
    const int32_t key_bits = std::min(MaxKeySize(), hash_bits);
    Init(digest.data(), static_cast<uint32_t>(key_bits), nullptr);
    secure_wipe(digest.data(), digest.size(), 0xFF);
  } catch (...) {
    secure_wipe(digest.data(), digest.size(), 0xFF);
    throw CipherError(kHashDigestAllocation);
  }
}

void Cipher::InitStr(const std::string& Key, const HashClass& HashType) {
  InitFromDigest(HashType, [&Key](Hash& hash) { hash.UpdateStr(Key); });
}

void Cipher::InitUnicodeStr(const std::u16string& Key, const HashClass& HashType) {
  InitFromDigest(HashType, [&Key](Hash& hash) { hash.UpdateUnicodeStr(Key); });
}

uint32_t Cipher::EncryptStream(Stream& InStream, Stream& OutStream, int64_t Size) {
  return ProcessStream(InStream, OutStream, Size, true);
}

uint32_t Cipher::DecryptStream(Stream& InStream, Stream& OutStream, int64_t Size) {
  return ProcessStream(InStream, OutStream, Size, false);
}

uint32_t Cipher::ProcessStream(Stream& in, Stream& out, int64_t size, bool encrypt) {
  // Without a positive size no chunk length can be formed.
  if (size <= 0) throw CipherError(kStreamSizeNotPositive);
  const int64_t chunk = std::min<int64_t>(size, kStreamChunk);
  const int64_t chunks = size / chunk;
  SecretBytes buffer(static_cast<std::size_t>(chunk));  // plaintext passes through it

  auto transform = [&](std::size_t n) {
    if (encrypt) {
      Encrypt(buffer.data(), buffer.data(), static_cast<uint32_t>(n));
    } else {
      Decrypt(buffer.data(), buffer.data(), static_cast<uint32_t>(n));
    }
  };

  uint32_t result = 0;
  for (int64_t i = 1; i <= chunks; ++i) {
    const std::size_t n = in.Read(buffer.data(), static_cast<std::size_t>(chunk));
    result += static_cast<uint32_t>(n);
    transform(n);
    out.Write(buffer.data(), n);
    if (fCancelByCallingThread) break;
    if (fOnProgressEvent) {
      // i x 100 wraps as a 32-bit unsigned product; the quotient rounds half to even.
      const uint32_t percent_times_n = static_cast<uint32_t>(i) * 100U;
      const double progress = std::nearbyint(static_cast<double>(percent_times_n) / static_cast<double>(chunks));
      fOnProgressEvent(this, static_cast<int32_t>(progress));
    }
  }
  const int64_t remainder = size % chunk;
  if (remainder != 0) {
    const std::size_t n = in.Read(buffer.data(), static_cast<std::size_t>(remainder));
    result += static_cast<uint32_t>(n);
    transform(n);
    out.Write(buffer.data(), n);
  }
  return result;
}

uint32_t Cipher::PartialEncryptStream(MemoryStream& AStream, uint32_t Size) {
  const uint32_t n = std::min(Size, kPartialStreamLimit);
  Encrypt(AStream.Memory(), AStream.Memory(), n);
  return n;
}

uint32_t Cipher::PartialDecryptStream(MemoryStream& AStream, uint32_t Size) {
  const uint32_t n = std::min(Size, kPartialStreamLimit);
  Decrypt(AStream.Memory(), AStream.Memory(), n);
  return n;
}

// ---------------------------------------------------------------------------
// String encryption: the bytes go through the cipher, the ciphertext travels as Base64.

namespace {

using Transform = void (*)(Cipher&, void*, uint32_t);

std::string EncryptToBase64(Cipher& cipher, const std::string& plain, Transform transform) {
  SecretBytes bytes(plain.begin(), plain.end());
  transform(cipher, bytes.data(), static_cast<uint32_t>(bytes.size()));
  return Base64EncodeText(bytes.data(), bytes.size());
}

std::string DecryptFromBase64(Cipher& cipher, const std::string& text, Transform transform) {
  std::string bytes = Base64DecodeAnsi(text);
  transform(cipher, bytes.data(), static_cast<uint32_t>(bytes.size()));
  return bytes;
}

std::u16string EncryptUnicodeToBase64(Cipher& cipher, const std::u16string& plain, Transform transform) {
  SecretBytes bytes = Utf16LeBytes(plain);
  transform(cipher, bytes.data(), static_cast<uint32_t>(bytes.size()));
  const std::string text = Base64EncodeText(bytes.data(), bytes.size());
  return std::u16string(text.begin(), text.end());
}

std::u16string DecryptUnicodeFromBase64(Cipher& cipher, const std::u16string& text, Transform transform) {
  SecretBytes bytes = Utf16LeBytes(Base64DecodeUnicode(text));
  transform(cipher, bytes.data(), static_cast<uint32_t>(bytes.size()));
  return Utf16LeText(bytes.data(), bytes.size());
}

void CipherEncrypt(Cipher& c, void* p, uint32_t n) { c.Encrypt(p, p, n); }
void CipherDecrypt(Cipher& c, void* p, uint32_t n) { c.Decrypt(p, p, n); }
void BlockEncryptCFB8(Cipher& c, void* p, uint32_t n) { static_cast<BlockCipher&>(c).EncryptCFB8bit(p, p, n); }
void BlockDecryptCFB8(Cipher& c, void* p, uint32_t n) { static_cast<BlockCipher&>(c).DecryptCFB8bit(p, p, n); }

}  // namespace

std::string Cipher::EncryptString(const std::string& Str) { return EncryptToBase64(*this, Str, CipherEncrypt); }
std::string Cipher::DecryptString(const std::string& Str) { return DecryptFromBase64(*this, Str, CipherDecrypt); }
std::u16string Cipher::EncryptUnicodeString(const std::u16string& Str) {
  return EncryptUnicodeToBase64(*this, Str, CipherEncrypt);
}
std::u16string Cipher::DecryptUnicodeString(const std::u16string& Str) {
  return DecryptUnicodeFromBase64(*this, Str, CipherDecrypt);
}

// ---------------------------------------------------------------------------
// BlockCipher

void BlockCipher::Encrypt(const void* Indata, void* Outdata, uint32_t Size) {
  switch (fCipherMode) {
    case cmCBC: return EncryptCBC(Indata, Outdata, Size);
    case cmCFB8bit: return EncryptCFB8bit(Indata, Outdata, Size);
    case cmCFBblock: return EncryptCFBblock(Indata, Outdata, Size);
    case cmOFB: return EncryptOFB(Indata, Outdata, Size);
    case cmCTR: return EncryptCTR(Indata, Outdata, Size);
  }
}

void BlockCipher::Decrypt(const void* Indata, void* Outdata, uint32_t Size) {
  switch (fCipherMode) {
    case cmCBC: return DecryptCBC(Indata, Outdata, Size);
    case cmCFB8bit: return DecryptCFB8bit(Indata, Outdata, Size);
    case cmCFBblock: return DecryptCFBblock(Indata, Outdata, Size);
    case cmOFB: return DecryptOFB(Indata, Outdata, Size);
    case cmCTR: return DecryptCTR(Indata, Outdata, Size);
  }
}

std::string BlockCipher::EncryptString(const std::string& Str) { return EncryptToBase64(*this, Str, BlockEncryptCFB8); }
std::string BlockCipher::DecryptString(const std::string& Str) {
  return DecryptFromBase64(*this, Str, BlockDecryptCFB8);
}
std::u16string BlockCipher::EncryptUnicodeString(const std::u16string& Str) {
  return EncryptUnicodeToBase64(*this, Str, BlockEncryptCFB8);
}
std::u16string BlockCipher::DecryptUnicodeString(const std::u16string& Str) {
  return DecryptUnicodeFromBase64(*this, Str, BlockDecryptCFB8);
}

BlockCipher::~BlockCipher() { secure_wipe(&fCipherMode, sizeof fCipherMode); }

void BlockCipher::CheckInitialized() const {
  if (!fInitialized) throw BlockCipherError(kCipherNotInitialized);
}

}  // namespace velsor
