#include "cli/commands.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/cli_error.h"
#include "cli/passphrase.h"
#include "cli/utf_text.h"
#include "crypto/bytes.h"
#include "message/components_catalog.h"
#include "message/hex_text.h"
#include "message/message_codec.h"
#include "message/message_stream.h"
#include "message/random_bytes.h"

namespace velsor::cli {

namespace {

std::string Narrow(const std::u16string& s) { return Utf16ToUtf8(s); }

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Finds a component by the name the lists show, in any case; "Haval" alone
// names the Haval hash.
template <class T>
T& Find(const std::vector<T*>& components, const std::string& name, const std::string& kind, const std::string& kinds) {
  std::string wanted = Lower(name);
  if (wanted == "haval") wanted = "haval (256bit, 5 passes)";
  std::string valid;
  for (T* c : components) {
    if (Lower(Narrow(c->Algorithm())) == wanted) return *c;
    valid += (valid.empty() ? "" : ", ") + Narrow(c->Algorithm());
  }
  throw UsageError("unknown " + kind + " '" + name + "'; valid " + kinds + ": " + valid);
}

// Writes one piece of the result and makes sure it reached the file.
void WriteResult(std::ostream& out, const char* data, std::size_t size) {
  errno = 0;
  out.write(data, static_cast<std::streamsize>(size));
  out.flush();
  if (!out)
    throw Failure(std::string("cannot write the result: ") + (errno != 0 ? std::strerror(errno) : "write error"));
}

// The message bytes of the input, in pieces: UTF-8 turned into UTF-16LE with
// CR LF, or UTF-16LE as it is.
class PlaintextInput {
 public:
  PlaintextInput(std::istream& in, bool utf16) : fIn(in), fUtf16(utf16), fBuffer(kBufferBytes, '\0') {}

  std::size_t operator()(uint8_t* out, std::size_t size) {
    if (fUtf16) return ReadRaw(out, size);
    std::size_t written = 0;
    while (written + 2 <= size) {
      if (fPending.empty() && !fConverter.HasCarry()) {
        if (fEnd) break;
        Refill();
        continue;
      }
      const std::size_t n = fConverter.Convert(fPending, out + written, size - written, fEnd);
      written += n;
      if (n == 0) {
        if (fEnd) break;
        Refill();  // a sequence continues in the next bytes
      }
    }
    return written;
  }

 private:
  static constexpr std::size_t kBufferBytes = 1 << 20;

  std::size_t ReadRaw(uint8_t* out, std::size_t size) {
    fIn.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
    const auto n = static_cast<std::size_t>(fIn.gcount());
    fTotal += n;
    if (n < size && fTotal % 2 != 0) throw Failure("the input has an odd number of bytes, so it is not UTF-16LE");
    return n;
  }

  // Keeps the unread bytes and appends what the input has next.
  void Refill() {
    const std::size_t kept = fPending.size();
    if (kept > 0) std::memmove(fBuffer.data(), fPending.data(), kept);
    fIn.read(fBuffer.data() + kept, static_cast<std::streamsize>(fBuffer.size() - kept));
    const auto n = static_cast<std::size_t>(fIn.gcount());
    if (n == 0) fEnd = true;
    fPending = std::string_view(fBuffer.data(), kept + n);
  }

  std::istream& fIn;
  bool fUtf16;
  SecretNarrow fBuffer;
  std::string_view fPending;
  bool fEnd = false;
  uint64_t fTotal = 0;
  Utf8ToUtf16LeStream fConverter;
};

void Encrypt(const Arguments& a, Cipher& cipher, Hash& hash, std::istream& in, std::ostream& out) {
  const auto passphrase = ObtainPassphrase(a.passphrase_file, true);
  if (in.peek() == std::char_traits<char>::eof()) throw Failure("the message is empty; there is nothing to encrypt");
  PlaintextInput input(in, a.utf16);
  // Each chunk's hex text is written when it is complete; a one-chunk message
  // goes out in one write, its line break included.
  EncryptMessageStream(std::ref(input), passphrase, hash, cipher, SystemRandomBytes, [&](std::string& hex, bool last) {
    if (last) hex.push_back('\n');
    WriteResult(out, hex.data(), hex.size());
  });
}

void Decrypt(const Arguments& a, Cipher& cipher, Hash& hash, std::istream& in, std::ostream& out) {
  const auto passphrase = ObtainPassphrase(a.passphrase_file, false);
  auto source = [&in](char* buffer, std::size_t size) {
    in.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount());
  };
  Utf16LeToUtf8Stream converter;
  SecretNarrow text;
  DecryptMessageStream(source, passphrase, hash, cipher, [&](const uint8_t* bytes, std::size_t size, bool last) {
    if (a.utf16) return WriteResult(out, reinterpret_cast<const char*>(bytes), size);
    if (text.size() < 3 * (size / 2) + 3) text.resize(3 * (size / 2) + 3);
    WriteResult(out, text.data(), converter.Convert(bytes, size, last, text.data()));
  });
}

void Digest(Hash& hash, std::istream& in, std::ostream& out) {
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash.HashSize() / 8));
  hash.Init();
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    hash.Update(buffer, static_cast<uint32_t>(in.gcount()));
  }
  hash.Final(digest.data());
  std::ostringstream hex;
  for (uint8_t b : digest) hex << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(b);
  out << hex.str() << '\n';
}

void List(const Component& owner, std::ostream& out) {
  std::ostringstream s;
  s << "Ciphers:\n"
    << std::left << "  " << std::setw(5) << "id" << std::setw(28) << "name" << std::setw(10) << "key bits"
    << "block bits\n";
  for (const Cipher* c : ListCiphers(owner)) {
    const auto* block = dynamic_cast<const BlockCipher*>(c);
    s << "  " << std::setw(5) << c->Id() << std::setw(28) << Narrow(c->Algorithm()) << std::setw(10) << c->MaxKeySize()
      << (block ? std::to_string(block->BlockSize()) : std::string("stream")) << '\n';
  }
  s << "Hashes:\n"
    << "  " << std::setw(5) << "id" << std::setw(28) << "name"
    << "digest bits\n";
  for (const Hash* h : ListHashes(owner)) {
    s << "  " << std::setw(5) << h->Id() << std::setw(28) << Narrow(h->Algorithm()) << h->HashSize() << '\n';
  }
  out << s.str();
}

void SelfTest(const Component& owner, std::ostream& out) {
  std::ostringstream s;
  bool all = true;
  auto report = [&](const std::u16string& name, bool ok) {
    s << std::left << std::setw(28) << Narrow(name) << (ok ? "ok" : "FAILED") << '\n';
    all = all && ok;
  };
  for (const Cipher* c : ListCiphers(owner)) report(c->Algorithm(), c->RunSelfTest());
  for (const Hash* h : ListHashes(owner)) report(h->Algorithm(), h->RunSelfTest());
  out << s.str();
  if (!all) throw Failure("a self-test failed");
}

}  // namespace

void RunCommand(const Arguments& a, std::istream& in, std::ostream& out) {
  Component owner;
  CreateAlgorithmComponents(owner);
  switch (a.command) {
    case Command::kHelp: out << kUsage; return;
    case Command::kVersion: out << "velsor-cli " << VELSOR_VERSION << '\n'; return;
    case Command::kList: return List(owner, out);
    case Command::kSelfTest: return SelfTest(owner, out);
    case Command::kDigest: return Digest(Find(ListHashes(owner), a.hash, "hash", "hashes"), in, out);
    case Command::kEncrypt:
    case Command::kDecrypt: {
      Cipher& cipher = Find(ListCiphers(owner), a.cipher, "cipher", "ciphers");
      Hash& hash = Find(ListHashes(owner), a.hash, "hash", "hashes");
      try {
        if (a.command == Command::kEncrypt) return Encrypt(a, cipher, hash, in, out);
        return Decrypt(a, cipher, hash, in, out);
      } catch (const CliError&) {
        throw;
      } catch (const std::exception& e) {
        throw Failure(e.what());
      }
    }
  }
}

}  // namespace velsor::cli
