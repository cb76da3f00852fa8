#include "cli/commands.h"

#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>

#include "message/components_catalog.h"
#include "message/hex_text.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"
#include "cli/cli_error.h"
#include "cli/passphrase.h"
#include "cli/utf_text.h"
#include "crypto/bytes.h"

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
T& Find(const std::vector<T*>& components, const std::string& name, const std::string& kind,
        const std::string& kinds) {
  std::string wanted = Lower(name);
  if (wanted == "haval") wanted = "haval (256bit, 5 passes)";
  std::string valid;
  for (T* c : components) {
    if (Lower(Narrow(c->Algorithm())) == wanted) return *c;
    valid += (valid.empty() ? "" : ", ") + Narrow(c->Algorithm());
  }
  throw UsageError("unknown " + kind + " '" + name + "'; valid " + kinds + ": " + valid);
}

std::string ReadAll(std::istream& in) {
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Encrypt(const Arguments& a, Cipher& cipher, Hash& hash, std::istream& in, std::ostream& out) {
  std::string input = ReadAll(in);
  std::optional<std::u16string> text = a.utf16 ? Utf16LeBytesToText(input) : Utf8ToUtf16(input);
  secure_wipe(input.data(), input.size());
  if (!text) {
    throw Failure(a.utf16 ? "the input has an odd number of bytes, so it is not UTF-16LE"
                          : "the input is not valid UTF-8 (use --utf16 for raw UTF-16LE)");
  }
  if (!a.utf16) *text = ToCrLf(*text);
  if (text->empty()) throw Failure("the message is empty; there is nothing to encrypt");
  const std::u16string passphrase = ObtainPassphrase(a.passphrase_file, true);
  const std::u16string hex = EncryptMessage(*text, passphrase, hash, cipher, SystemRandomBytes);
  out << Narrow(hex) << '\n';
}

void Decrypt(const Arguments& a, Cipher& cipher, Hash& hash, std::istream& in, std::ostream& out) {
  const std::u16string hex = NormalizeHexInput(ReadAll(in));
  if (hex.empty()) throw Failure("the input holds no hex text");
  const std::u16string passphrase = ObtainPassphrase(a.passphrase_file, false);
  std::u16string text = DecryptMessage(hex, passphrase, hash, cipher);
  std::string bytes = a.utf16 ? TextToUtf16LeBytes(text) : Utf16ToUtf8(ToLf(text));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  secure_wipe(bytes.data(), bytes.size());
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
  s << "Ciphers:\n" << std::left << "  " << std::setw(5) << "id" << std::setw(28) << "name" << std::setw(10)
    << "key bits" << "block bits\n";
  for (const Cipher* c : ListCiphers(owner)) {
    const auto* block = dynamic_cast<const BlockCipher*>(c);
    s << "  " << std::setw(5) << c->Id() << std::setw(28) << Narrow(c->Algorithm()) << std::setw(10)
      << c->MaxKeySize() << (block ? std::to_string(block->BlockSize()) : std::string("stream")) << '\n';
  }
  s << "Hashes:\n"
    << "  " << std::setw(5) << "id" << std::setw(28) << "name" << "digest bits\n";
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
