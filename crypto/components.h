#pragma once
// The component framework: every cipher is a Cipher, every hash a Hash.
// The application holds components through these base classes only and never
// names a concrete algorithm.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

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
  std::vector<uint8_t> fData;
  int64_t fPosition = 0;
};

// XORs the first count bytes of second into first.
void XorBuffer(void* first, const void* second, std::size_t count);

// ---------------------------------------------------------------------------
// Hashes

class Hash : public Component {
 public:
  using Component::Component;
  ~Hash() override = default;

  // Class-level identity; concrete hashes hide these with their own values.
  static int32_t GetId() { return -1; }
  static std::u16string GetAlgorithm() { return u""; }
  static int32_t GetHashSize() { return -1; }
  static bool SelfTest() { return false; }

  // The same values through an instance (HashMetadata implements them).
  virtual int32_t Id() const { return GetId(); }
  virtual std::u16string Algorithm() const { return GetAlgorithm(); }
  virtual int32_t HashSize() const { return GetHashSize(); }
  // The class's SelfTest, reached through an instance.
  virtual bool RunSelfTest() const { return SelfTest(); }

  virtual void Init() {}
  // Writes HashSize / 8 bytes, then burns.
  virtual void Final(void* Digest) { (void)Digest; }
  virtual void Burn() {}
  virtual void Update(const void* Buffer, uint32_t Size) {
    (void)Buffer;
    (void)Size;
  }

  void UpdateStream(Stream& stream, uint32_t Size);
  void UpdateStr(const std::string& Str);
  void UpdateUnicodeStr(const std::u16string& Str);

  bool Initialized() const { return fInitialized; }

 protected:
  bool fInitialized = false;
};

// Fills in the instance accessors of a concrete hash from its class-level
// operations: class Sha1 final : public HashMetadata<Sha1, Hash> { ... }.
template <class Derived, class Base>
class HashMetadata : public Base {
 public:
  using Base::Base;
  int32_t Id() const override { return Derived::GetId(); }
  std::u16string Algorithm() const override { return Derived::GetAlgorithm(); }
  int32_t HashSize() const override { return Derived::GetHashSize(); }
  bool RunSelfTest() const override { return Derived::SelfTest(); }
};

// A reference to a hash class: its class-level operations and a factory.
class HashClass {
 public:
  template <class H>
  static HashClass Of() {
    return HashClass(&H::GetId, &H::GetAlgorithm, &H::GetHashSize, &H::SelfTest,
                     [](Component* owner) -> Hash* { return new H(owner); });
  }

  int32_t GetId() const { return fGetId(); }
  std::u16string GetAlgorithm() const { return fGetAlgorithm(); }
  int32_t GetHashSize() const { return fGetHashSize(); }
  bool SelfTest() const { return fSelfTest(); }
  // A new instance owned by `owner` (destroyed with it), or unowned when null:
  // the caller then deletes it.
  Hash* Create(Component* owner) const { return fCreate(owner); }

  HashClass(int32_t (*getId)(), std::u16string (*getAlgorithm)(), int32_t (*getHashSize)(),
            bool (*selfTest)(), Hash* (*create)(Component*))
      : fGetId(getId),
        fGetAlgorithm(getAlgorithm),
        fGetHashSize(getHashSize),
        fSelfTest(selfTest),
        fCreate(create) {}

 private:
  int32_t (*fGetId)();
  std::u16string (*fGetAlgorithm)();
  int32_t (*fGetHashSize)();
  bool (*fSelfTest)();
  Hash* (*fCreate)(Component*);
};

// ---------------------------------------------------------------------------
// Ciphers

class Cipher;
using ProgressEvent = std::function<void(Component* Sender, int32_t progress)>;

class Cipher : public Component {
 public:
  explicit Cipher(Component* owner = nullptr) : Component(owner) {}
  ~Cipher() override;

  static int32_t GetId() { return -1; }
  static std::u16string GetAlgorithm() { return u""; }
  static int32_t GetMaxKeySize() { return -1; }
  static bool SelfTest() { return false; }

  virtual int32_t Id() const { return GetId(); }
  virtual std::u16string Algorithm() const { return GetAlgorithm(); }
  virtual int32_t MaxKeySize() const { return GetMaxKeySize(); }
  // The class's SelfTest, reached through an instance.
  virtual bool RunSelfTest() const { return SelfTest(); }

  // Burns a key still in place, checks Size (bits: non-zero, a multiple of 4,
  // at most MaxKeySize) and marks the component initialised. Concrete ciphers
  // call this first, then set up their key.
  virtual void Init(const void* Key, uint32_t Size, const void* InitVector);
  virtual void Burn();
  virtual void Reset() {}
  virtual void Encrypt(const void* Indata, void* Outdata, uint32_t Size);
  virtual void Decrypt(const void* Indata, void* Outdata, uint32_t Size);
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
  const ProgressEvent& OnProgressEvent() const { return FOnProgressEvent; }
  void SetOnProgressEvent(ProgressEvent handler) { FOnProgressEvent = std::move(handler); }
  bool CancelByCallingThread() const { return _CancelByCallingThread; }
  void SetCancelByCallingThread(bool value) { _CancelByCallingThread = value; }

  static constexpr uint32_t kStreamChunk = 8388608;      // 8 MiB
  static constexpr uint32_t kPartialStreamLimit = 16384;

 protected:
  bool fInitialized = false;

 private:
  void InitFromDigest(const HashClass& HashType, const std::function<void(Hash&)>& feed);
  uint32_t ProcessStream(Stream& InStream, Stream& OutStream, int64_t Size, bool encrypt);

  bool _CancelByCallingThread = false;
  ProgressEvent FOnProgressEvent;
};

// Fills in the instance accessors of a concrete cipher from its class-level
// operations: class Rc4 final : public CipherMetadata<Rc4, Cipher> { ... }.
template <class Derived, class Base>
class CipherMetadata : public Base {
 public:
  using Base::Base;
  int32_t Id() const override { return Derived::GetId(); }
  std::u16string Algorithm() const override { return Derived::GetAlgorithm(); }
  int32_t MaxKeySize() const override { return Derived::GetMaxKeySize(); }
  bool RunSelfTest() const override { return Derived::SelfTest(); }
};

// ---------------------------------------------------------------------------
// Block ciphers

enum ChainMode : uint8_t { cmCBC = 0, cmCFB8bit = 1, cmCFBblock = 2, cmOFB = 3, cmCTR = 4 };

// The abstract block cipher. The block-size bases BlockCipher64 and
// BlockCipher128 (block_modes.h) hold IV and CV and implement the modes;
// a concrete cipher supplies ScheduleKey, EncryptECB, DecryptECB and Burn.
class BlockCipher : public Cipher {
 public:
  explicit BlockCipher(Component* owner = nullptr) : Cipher(owner) {}

  static int32_t GetBlockSize() { return -1; }
  virtual int32_t BlockSize() const { return GetBlockSize(); }

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

  virtual void SetIV(const void* Value) { (void)Value; }
  virtual void GetIV(void* Value) { (void)Value; }
  virtual void EncryptECB(const void* Indata, void* Outdata) {
    (void)Indata;
    (void)Outdata;
  }
  virtual void DecryptECB(const void* Indata, void* Outdata) {
    (void)Indata;
    (void)Outdata;
  }
  virtual void EncryptCBC(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void DecryptCBC(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void EncryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void DecryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void EncryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void DecryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void EncryptOFB(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void DecryptOFB(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void EncryptCTR(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }
  virtual void DecryptCTR(const void* Indata, void* Outdata, uint32_t Size) { Ignore(Indata, Outdata, Size); }

 protected:
  // Builds the key schedule from Key (Size in bits); called by Init after the
  // size check, with the component already initialised.
  virtual void ScheduleKey(const void* Key, uint32_t Size) {
    (void)Key;
    (void)Size;
  }
  // Raises "Cipher not initialized" unless a key is in place; every concrete
  // EncryptECB / DecryptECB starts with it.
  void CheckInitialized() const;

 private:
  static void Ignore(const void*, void*, uint32_t) {}
  ChainMode fCipherMode = cmCBC;
};

}  // namespace velsor
