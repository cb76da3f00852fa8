#include "crypto/block_modes.h"

#include <cstring>

namespace velsor {

template <std::size_t B>
BlockModes<B>::BlockModes(Component* owner) : BlockCipher(owner) {
  IV.Wipe(0xFF);
  CV.Wipe(0xFF);
}

template <std::size_t B>
void BlockModes<B>::Init(const void* Key, uint32_t Size, const void* InitVector) {
  // Burns an old key, checks the size and builds the schedule: the IV
  // derivation below encrypts with the new key.
  Cipher::Init(Key, Size, InitVector);
  if (InitVector == nullptr) {
    IV.Wipe(0);
    EncryptECB(IV.data(), IV.data());
  } else {
    std::memcpy(IV.data(), InitVector, B);
  }
  Reset();
}

template <std::size_t B>
void BlockModes<B>::Burn() {
  IV.Wipe(0xFF);
  CV.Wipe(0xFF);
  BlockCipher::Burn();
}

template <std::size_t B>
void BlockModes<B>::CheckChain() const {
  if (!fInitialized) throw BlockCipherError(kCipherNotInitialized);
}

template <std::size_t B>
void BlockModes<B>::Reset() {
  CheckChain();
  CV = IV;
}

template <std::size_t B>
void BlockModes<B>::SetIV(const void* Value) {
  CheckChain();
  std::memcpy(IV.data(), Value, B);
  Reset();
}

template <std::size_t B>
void BlockModes<B>::GetIV(void* Value) {
  CheckChain();
  std::memcpy(Value, CV.data(), B);
}

// CBC: each block is XORed with CV and encrypted; the ciphertext becomes CV.
// A final partial block is XORed with E(CV), which stays in CV, so the
// ciphertext keeps the length of the plaintext.
template <std::size_t B>
void BlockModes<B>::EncryptCBC(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  for (uint32_t n = Size / B; n > 0; --n, in += B, out += B) {
    std::memmove(out, in, B);
    XorBuffer(out, CV.data(), B);
    EncryptECB(out, out);
    std::memcpy(CV.data(), out, B);
  }
  if (const uint32_t r = Size % B; r > 0) {
    EncryptECB(CV.data(), CV.data());
    std::memmove(out, in, r);
    XorBuffer(out, CV.data(), r);
  }
}

template <std::size_t B>
void BlockModes<B>::DecryptCBC(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  uint8_t saved[B];
  for (uint32_t n = Size / B; n > 0; --n, in += B, out += B) {
    std::memcpy(saved, in, B);  // saved first, so that in-place decryption works
    std::memmove(out, in, B);
    DecryptECB(out, out);
    XorBuffer(out, CV.data(), B);
    std::memcpy(CV.data(), saved, B);
  }
  secure_wipe(saved, B);
  if (const uint32_t r = Size % B; r > 0) {
    EncryptECB(CV.data(), CV.data());
    std::memmove(out, in, r);
    XorBuffer(out, CV.data(), r);
  }
}

// CFB with 8-bit feedback: one block encryption per byte; CV shifts left by
// one byte and takes the ciphertext byte at its end.
template <std::size_t B>
void BlockModes<B>::EncryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  uint8_t temp[B];
  for (uint32_t k = 0; k < Size; ++k) {
    EncryptECB(CV.data(), temp);
    out[k] = static_cast<uint8_t>(in[k] ^ temp[0]);
    std::memmove(CV.data(), CV.data() + 1, B - 1);
    CV[B - 1] = out[k];
  }
  secure_wipe(temp, B);
}

template <std::size_t B>
void BlockModes<B>::DecryptCFB8bit(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  const uint8_t* in = static_cast<const uint8_t*>(Indata);
  uint8_t* out = static_cast<uint8_t*>(Outdata);
  uint8_t temp[B];
  for (uint32_t k = 0; k < Size; ++k) {
    const uint8_t cipher_byte = in[k];
    EncryptECB(CV.data(), temp);
    out[k] = static_cast<uint8_t>(cipher_byte ^ temp[0]);
    std::memmove(CV.data(), CV.data() + 1, B - 1);
    CV[B - 1] = cipher_byte;
  }
  secure_wipe(temp, B);
}

// CFB with full-block feedback: CV := E(CV), XOR, and the ciphertext block
// becomes CV. A final partial block uses the first bytes of E(CV).
template <std::size_t B>
void BlockModes<B>::CFBblock(const uint8_t* in, uint8_t* out, uint32_t size, bool encrypt) {
  uint8_t saved[B];
  for (uint32_t n = size / B; n > 0; --n, in += B, out += B) {
    std::memcpy(saved, in, B);
    EncryptECB(CV.data(), CV.data());
    std::memmove(out, in, B);
    XorBuffer(out, CV.data(), B);
    std::memcpy(CV.data(), encrypt ? out : saved, B);
  }
  secure_wipe(saved, B);
  if (const uint32_t r = size % B; r > 0) {
    EncryptECB(CV.data(), CV.data());
    std::memmove(out, in, r);
    XorBuffer(out, CV.data(), r);
  }
}

template <std::size_t B>
void BlockModes<B>::EncryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  CFBblock(static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata), Size, true);
}

template <std::size_t B>
void BlockModes<B>::DecryptCFBblock(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  CFBblock(static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata), Size, false);
}

// OFB (CV := E(CV)) and CTR (E(CV), then CV + 1) only generate a key stream,
// so encryption and decryption are the same operation.
template <std::size_t B>
void BlockModes<B>::KeystreamMode(const uint8_t* in, uint8_t* out, uint32_t size, bool counter) {
  uint8_t stream[B];
  for (uint32_t done = 0; done < size; done += B) {
    const uint32_t n = size - done < B ? size - done : static_cast<uint32_t>(B);
    if (counter) {
      EncryptECB(CV.data(), stream);
      IncrementCounter();
    } else {
      EncryptECB(CV.data(), CV.data());
      std::memcpy(stream, CV.data(), B);
    }
    std::memmove(out + done, in + done, n);
    XorBuffer(out + done, stream, n);
  }
  secure_wipe(stream, B);
}

template <std::size_t B>
void BlockModes<B>::EncryptOFB(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  KeystreamMode(static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata), Size, false);
}

template <std::size_t B>
void BlockModes<B>::DecryptOFB(const void* Indata, void* Outdata, uint32_t Size) {
  EncryptOFB(Indata, Outdata, Size);
}

template <std::size_t B>
void BlockModes<B>::EncryptCTR(const void* Indata, void* Outdata, uint32_t Size) {
  CheckChain();
  KeystreamMode(static_cast<const uint8_t*>(Indata), static_cast<uint8_t*>(Outdata), Size, true);
}

template <std::size_t B>
void BlockModes<B>::DecryptCTR(const void* Indata, void* Outdata, uint32_t Size) {
  EncryptCTR(Indata, Outdata, Size);
}

// CV as one big-endian counter; all-0xFF wraps to zero.
template <std::size_t B>
void BlockModes<B>::IncrementCounter() {
  for (std::size_t i = B; i-- > 0;) {
    if (++CV[i] != 0) break;
  }
}

template class BlockModes<8>;
template class BlockModes<16>;

}  // namespace velsor
