#pragma once
// The component framework: every cipher is a Cipher, every hash a Hash.
// The application holds components through these base classes only and never
// names a concrete algorithm.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/bytes.h"

namespace velsor {

// ---------------------------------------------------------------------------
// Ownership

// A component may have an owner; an owned component is destroyed with its owner
// and listed, in creation order, by the owner's Components().
class Component {
 public:
  explicit Component(Component* owner = nullptr);
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  Component* Owner() const { return fOwner; }
  const std::vector<Component*>& Components() const { return fComponents; }

  // Creates a component owned by `owner`; the owner destroys it.
  template <class T>
  static T& CreateOwned(Component& owner) {
    return *new T(&owner);
  }

 private:
  Component* fOwner;
  std::vector<Component*> fComponents;
};

// ---------------------------------------------------------------------------
// Errors

inline constexpr const char* kInvalidKeySize = "Invalid key size";
inline constexpr const char* kHashDigestAllocation = "Unable to allocate sufficient memory for hash digest";
inline constexpr const char* kCipherNotInitialized = "Cipher not initialized";
inline constexpr const char* kHashNotInitialized = "Hash not initialized";
inline constexpr const char* kStreamSizeNotPositive = "Stream size must be positive";

// The one root of every error the library raises (allocation failures aside):
// a caller catches velsor::Exception.

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class CipherError : public Exception {
 public:
  using Exception::Exception;
};
class BlockCipherError : public CipherError {
 public:
  using CipherError::CipherError;
};
class HashError : public Exception {
 public:
  using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Byte streams

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to count bytes and returns how many were delivered (fewer at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual int64_t Position() const = 0;
  virtual void SetPosition(int64_t position) = 0;
  virtual int64_t Size() const = 0;
};

// A stream over one growable buffer. Its content is wiped when it is cleared or
// destroyed, since it carries plaintext.
class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(const void* data, std::size_t size);
  ~MemoryStream() override;
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  int64_t Position() const override { return fPosition; }
  void SetPosition(int64_t position) override;
  int64_t Size() const override { return static_cast<int64_t>(fData.size()); }

  uint8_t* Memory() { return fData.data(); }
  const uint8_t* Memory() const { return fData.data(); }
  void Clear();

 private:
  SecretBytes fData;
  int64_t fPosition = 0;
};

// XORs the first count bytes of second into first.
void XorBuffer(void* first, const void* second, std::size_t count);

// ---------------------------------------------------------------------------
// Identity

// What a hash class states about itself, once: its class-level accessors
// (GetId, GetAlgorithm, GetHashSize) and its instance accessors (Id,
// Algorithm, HashSize) all read it.
struct HashIdentity {
  int32_t id;
  std::u16string_view algorithm;
  int32_t hash_bits;
};

// The same for a cipher class; the key-size rule of Cipher::Init reads the limits.
struct CipherIdentity {
  int32_t id;
  std::u16string_view algorithm;
  int32_t max_key_bits;
  int32_t min_key_bits = 8;  // at least one whole key byte
};

// ---------------------------------------------------------------------------
// Hashes

class Hash : public Component {
 public:
  using Component::Component;
  // Clears the base's own state; the chaining values and buffers of a
  // concrete hash wipe themselves.
  ~Hash() override;

  // Class-level identity of the abstract class; HashMetadata hides these with
  // the values of a concrete hash.
  static int32_t GetId() { return -1; }
  static std::u16string GetAlgorithm() { return u""; }
  static int32_t GetHashSize() { return -1; }
  static bool SelfTest() { return false; }

  // The same values through an instance (HashMetadata implements them).
  virtual int32_t Id() const = 0;
  virtual std::u16string Algorithm() const = 0;
  virtual int32_t HashSize() const = 0;
  // The class's SelfTest, reached through an instance.
  virtual bool RunSelfTest() const = 0;

  virtual void Init() = 0;
  // Writes HashSize / 8 bytes, then burns.
  virtual void Final(void* Digest) = 0;
  virtual void Burn() = 0;
  // Size 0 is a no-op whatever Buffer is (null included).
  virtual void Update(const void* Buffer, uint32_t Size) = 0;

  void UpdateStream(Stream& stream, uint32_t Size);
  void UpdateStr(const std::string& Str);
  void UpdateUnicodeStr(const std::u16string& Str);

  bool Initialized() const { return fInitialized; }

 protected:
  bool fInitialized = false;
};

// The accessors every concrete component shares, class-level and instance,
// read from Derived's one descriptor kIdentity and its static SelfTest.
template <class Derived, class Base>
class ComponentMetadata : public Base {
 public:
  using Base::Base;
  static int32_t GetId() { return Derived::kIdentity.id; }
  static std::u16string GetAlgorithm() { return std::u16string(Derived::kIdentity.algorithm); }

  int32_t Id() const override { return GetId(); }
  std::u16string Algorithm() const override { return GetAlgorithm(); }
  bool RunSelfTest() const override { return Derived::SelfTest(); }
};

// The identity of a concrete hash, written once:
//   class Sha1 final : public HashMetadata<Sha1, ...> {
//     static constexpr HashIdentity kIdentity{kIdSha1, u"SHA1", 160};
//     static bool SelfTest();
template <class Derived, class Base>
class HashMetadata : public ComponentMetadata<Derived, Base> {
 public:
  using ComponentMetadata<Derived, Base>::ComponentMetadata;
  static int32_t GetHashSize() { return Derived::kIdentity.hash_bits; }
  int32_t HashSize() const override { return GetHashSize(); }
};

// A hash class as a value: its descriptor, its self-test and its factory.
struct HashClassInfo {
  const HashIdentity* identity;
  bool (*self_test)();
  std::unique_ptr<Hash> (*create)(Component* owner);
};

template <class H>
std::unique_ptr<Hash> CreateHash(Component* owner) {
  return std::make_unique<H>(owner);
}

template <class H>
inline constexpr HashClassInfo kHashClassOf{&H::kIdentity, &H::SelfTest, &CreateHash<H>};

// A reference to a hash class: its class-level operations and a factory.
class HashClass {
 public:
  template <class H>
  static HashClass Of() {
    return HashClass(kHashClassOf<H>);
  }

  int32_t GetId() const { return fClass->identity->id; }
  std::u16string GetAlgorithm() const { return std::u16string(fClass->identity->algorithm); }
  int32_t GetHashSize() const { return fClass->identity->hash_bits; }
  bool SelfTest() const { return fClass->self_test(); }
  // A new instance. With an owner it is also listed among the owner's
  // components, and destroying it first unlinks it; the pointer must not
  // outlive the owner.
  std::unique_ptr<Hash> Create(Component* owner = nullptr) const { return fClass->create(owner); }

 private:
  explicit HashClass(const HashClassInfo& info) : fClass(&info) {}
  const HashClassInfo* fClass;
};

// ---------------------------------------------------------------------------
// Ciphers

class Cipher;
using ProgressEvent = std::function<void(Component* sender, int32_t progress)>;

class Cipher : public Component {
 public:
  explicit Cipher(Component* owner = nullptr) : Component(owner) {}
  // Clears the base's own state; key schedules wipe themselves.
  ~Cipher() override;

  // Class-level identity of the abstract class; CipherMetadata hides these
  // with the values of a concrete cipher.
  static int32_t GetId() { return -1; }
  static std::u16string GetAlgorithm() { return u""; }
  static int32_t GetMaxKeySize() { return -1; }
  static bool SelfTest() { return false; }

  virtual int32_t Id() const = 0;
  virtual std::u16string Algorithm() const = 0;
  virtual int32_t MaxKeySize() const = 0;
  // The smallest key size in bits that Init accepts.
  virtual int32_t MinKeySize() const = 0;
  // The class's SelfTest, reached through an instance.
  virtual bool RunSelfTest() const = 0;

  // Burns a key still in place, checks Size (bits: a multiple of 4 between
  // MinKeySize and MaxKeySize), marks the component initialised and calls
  // ScheduleKey. A refused size leaves the component uninitialised.
  virtual void Init(const void* Key, uint32_t Size, const void* InitVector);
  // Every concrete cipher wipes its key schedule, then calls the base, which
  // clears fInitialized.
  virtual void Burn() = 0;
  virtual void Reset() {}
  virtual void Encrypt(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void Decrypt(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual std::string EncryptString(const std::string& Str);
  virtual std::string DecryptString(const std::string& Str);
  virtual std::u16string EncryptUnicodeString(const std::u16string& Str);
  virtual std::u16string DecryptUnicodeString(const std::u16string& Str);

  // Key set-up from the digest of a string; any failure inside becomes
  // CipherError "Unable to allocate sufficient memory for hash digest".
  void InitStr(const std::string& Key, const HashClass& HashType);
  void InitUnicodeStr(const std::u16string& Key, const HashClass& HashType);

  // Size bytes from InStream through Encrypt (Decrypt) into OutStream, in
  // chunks of at most 8 MiB with a progress report after each whole chunk.
  // Returns the number of bytes read. Size 0 raises before anything is read.
  uint32_t EncryptStream(Stream& InStream, Stream& OutStream, int64_t Size);
  uint32_t DecryptStream(Stream& InStream, Stream& OutStream, int64_t Size);
  // Transforms the first min(Size, 16384) bytes of the stream's memory in place.
  uint32_t PartialEncryptStream(MemoryStream& AStream, uint32_t Size);
  uint32_t PartialDecryptStream(MemoryStream& AStream, uint32_t Size);

  bool Initialized() const { return fInitialized; }
  const ProgressEvent& OnProgressEvent() const { return fOnProgressEvent; }
  void SetOnProgressEvent(ProgressEvent handler) { fOnProgressEvent = std::move(handler); }
  bool CancelByCallingThread() const { return fCancelByCallingThread; }
  void SetCancelByCallingThread(bool value) { fCancelByCallingThread = value; }

  static constexpr uint32_t kStreamChunk = 8388608;  // 8 MiB
  static constexpr uint32_t kPartialStreamLimit = 16384;

 protected:
  // Builds the key schedule from Key (Size bits, already checked); the
  // component is initialised while it runs. If it throws, Init burns.
  virtual void ScheduleKey(const void* Key, uint32_t Size) = 0;

  bool fInitialized = false;

 private:
  void InitFromDigest(const HashClass& hash_type, const std::function<void(Hash&)>& feed);
  uint32_t ProcessStream(Stream& in, Stream& out, int64_t size, bool encrypt);

  bool fCancelByCallingThread = false;
  ProgressEvent fOnProgressEvent;
};

// The identity of a concrete cipher, written once:
//   class Rc4 final : public CipherMetadata<Rc4, Cipher> {
//     static constexpr CipherIdentity kIdentity{kIdRc4, u"RC4", 2048};
//     static bool SelfTest();
template <class Derived, class Base>
class CipherMetadata : public ComponentMetadata<Derived, Base> {
 public:
  using ComponentMetadata<Derived, Base>::ComponentMetadata;
  static int32_t GetMaxKeySize() { return Derived::kIdentity.max_key_bits; }
  int32_t MaxKeySize() const override { return GetMaxKeySize(); }
  int32_t MinKeySize() const override { return Derived::kIdentity.min_key_bits; }
};

// ---------------------------------------------------------------------------
// Block ciphers

enum ChainMode : uint8_t { cmCBC = 0, cmCFB8bit = 1, cmCFBblock = 2, cmOFB = 3, cmCTR = 4 };

// The abstract block cipher. The block-size bases BlockCipher64 and
// BlockCipher128 (block_modes.h) hold IV and CV and implement the modes once;
// a concrete cipher supplies ScheduleKey, EncryptECB, DecryptECB and Burn.
class BlockCipher : public Cipher {
 public:
  explicit BlockCipher(Component* owner = nullptr) : Cipher(owner) {}
  ~BlockCipher() override;

  static int32_t GetBlockSize() { return -1; }
  virtual int32_t BlockSize() const = 0;

  ChainMode CipherMode() const { return fCipherMode; }
  void SetCipherMode(ChainMode mode) { fCipherMode = mode; }

  // Dispatch on CipherMode, read at every call.
  void Encrypt(const void* Indata, void* Outdata, uint32_t Size) override;
  void Decrypt(const void* Indata, void* Outdata, uint32_t Size) override;
  // Always CFB with 8-bit feedback, whatever CipherMode says.
  std::string EncryptString(const std::string& Str) override;
  std::string DecryptString(const std::string& Str) override;
  std::u16string EncryptUnicodeString(const std::u16string& Str) override;
  std::u16string DecryptUnicodeString(const std::u16string& Str) override;

  virtual void SetIV(const void* Value) = 0;
  virtual void GetIV(void* Value) = 0;
  virtual void EncryptECB(const void* Indata, void* Outdata) = 0;
  virtual void DecryptECB(const void* Indata, void* Outdata) = 0;
  virtual void EncryptCBC(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void DecryptCBC(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void EncryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void DecryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void EncryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void DecryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void EncryptOFB(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void DecryptOFB(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void EncryptCTR(const void* Indata, void* Outdata, uint32_t Size) = 0;
  virtual void DecryptCTR(const void* Indata, void* Outdata, uint32_t Size) = 0;

 protected:
  // Raises "Cipher not initialized" unless a key is in place; every concrete
  // EncryptECB / DecryptECB starts with it.
  void CheckInitialized() const;

 private:
  ChainMode fCipherMode = cmCBC;
};

}  // namespace velsor
