#include "cli/commands.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "cli/cli_error.h"
#include "cli/component_names.h"
#include "cli/descriptor_input.h"
#include "cli/output_file.h"
#include "cli/passphrase.h"
#include "cli/terminal.h"
#include "cli/utf_text.h"
#include "crypto/bytes.h"
#include "message/chunk_buffer.h"
#include "message/components_catalog.h"
#include "message/hex_text.h"
#include "message/message_codec.h"
#include "message/message_stream.h"
#include "message/random_bytes.h"
#include "message/text_check.h"

namespace velsor::cli {

namespace {

std::string Narrow(const std::u16string& s) { return Utf16ToUtf8(s); }

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
  PlaintextInput(std::istream& in, bool utf16) : fIn(in), fUtf16(utf16), fBuffer(kBufferBytes) {}

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
  static constexpr std::size_t kBufferBytes = 1 << 16;

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
    if (kept > 0) std::memmove(fBuffer.Chars(), fPending.data(), kept);
    fIn.read(fBuffer.Chars() + kept, static_cast<std::streamsize>(fBuffer.Capacity() - kept));
    const auto n = static_cast<std::size_t>(fIn.gcount());
    if (n == 0) fEnd = true;
    fBuffer.Used(kept + n);
    fPending = std::string_view(fBuffer.Chars(), kept + n);
  }

  std::istream& fIn;
  bool fUtf16;
  ChunkBuffer fBuffer;
  std::string_view fPending;
  bool fEnd = false;
  uint64_t fTotal = 0;
  Utf8ToUtf16LeStream fConverter;
};

// The format has no check value: a wrong passphrase, cipher or hash decrypts
// "successfully" into meaningless units. Say so, and leave the output and the
// exit status as they are.
void WarnUnlessText(const TextCheck& check) {
  if (!check.LooksLikeText()) {
    std::cerr << "velsor-cli: this does not look like text: check the passphrase, cipher and hash" << std::endl;
  }
}

void Encrypt(const Arguments& a, Cipher& cipher, Hash& hash, std::istream& in, std::ostream& out) {
  const SecretText passphrase = ObtainPassphrase(a.passphrase, true);
  HintAtTerminal(std::cerr, "the message");
  if (in.peek() == std::char_traits<char>::eof()) throw Failure("the message is empty; there is nothing to encrypt");
  PlaintextInput input(in, a.utf16);
  // The hex text goes out in pieces as it is made; a short message goes out
  // in one write, its line break included.
  EncryptMessageStream(std::ref(input), passphrase, hash, cipher, SystemRandomBytes, [&](std::string& hex, bool last) {
    if (last) hex.push_back('\n');
    WriteResult(out, hex.data(), hex.size());
  });
}

void Decrypt(const Arguments& a, Cipher& cipher, Hash& hash, std::istream& in, std::ostream& out) {
  const SecretText passphrase = ObtainPassphrase(a.passphrase, false);
  HintAtTerminal(std::cerr, "or paste the hex text");
  auto source = [&in](char* buffer, std::size_t size) {
    in.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount());
  };
  Utf16LeToUtf8Stream converter;
  // UTF-8 goes out in pieces of kPieceBytes message bytes, so its buffer
  // stays small and in cache whatever the chunk.
  constexpr std::size_t kPieceBytes = std::size_t{128} << 10;
  ChunkBuffer text(3 * (kPieceBytes / 2) + 3);
  TextCheck check;
  DecryptMessageStream(source, passphrase, hash, cipher, [&](const uint8_t* bytes, std::size_t size, bool last) {
    // Each piece is checked and converted while it is in cache.
    std::size_t at = 0;
    do {
      const std::size_t n = std::min(kPieceBytes, size - at);
      check.AddUtf16Le(bytes + at, n);
      if (a.utf16) {
        WriteResult(out, reinterpret_cast<const char*>(bytes + at), n);
      } else {
        const std::size_t written = converter.Convert(bytes + at, n, last && at + n == size, text.Chars());
        text.Used(written);
        WriteResult(out, text.Chars(), written);
      }
      at += n;
    } while (at < size);
  });
  WarnUnlessText(check);
}

// The digest of one input in lowercase hex.
std::string DigestOf(Hash& hash, std::istream& in) {
  std::vector<uint8_t> digest(static_cast<std::size_t>(hash.HashSize() / 8));
  hash.Init();
  std::vector<char> buffer(65536);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    hash.Update(buffer.data(), static_cast<uint32_t>(in.gcount()));
  }
  hash.Final(digest.data());
  std::ostringstream hex;
  for (uint8_t b : digest) hex << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(b);
  return hex.str();
}

// "digest  name" lines as sha256sum writes them: standard input when no file
// is named or the name is "-". A file that cannot be read is reported and the
// others are still hashed; the exit status then says so.
void Digest(Hash& hash, const std::vector<std::string>& files, std::istream& in, std::ostream& out) {
  if (files.empty()) {
    out << DigestOf(hash, in) << "  -\n";
    return;
  }
  std::size_t unreadable = 0;
  for (const std::string& name : files) {
    if (name == "-") {
      out << DigestOf(hash, in) << "  -\n";
      continue;
    }
    const int fd = OpenForReading(name.c_str());
    try {
      if (fd < 0) throw Failure("cannot read '" + name + "': " + std::strerror(errno));
      DescriptorInput buffer(fd, "'" + name + "'");
      std::istream file(&buffer);
      file.exceptions(std::ios::badbit);
      out << DigestOf(hash, file) << "  " << name << '\n';
    } catch (const CliError& e) {
      out.flush();
      std::cerr << "velsor-cli: " << e.what() << std::endl;
      ++unreadable;
    }
    if (fd >= 0) CloseDescriptor(fd);
  }
  if (unreadable > 0) throw Failure(std::to_string(unreadable) + " of the files could not be read");
}

void List(const Component& owner, std::ostream& out) {
  std::ostringstream s;
  s << "Ciphers:\n"
    << std::left << "  " << std::setw(5) << "id" << std::setw(28) << "name" << std::setw(14) << "max key bits"
    << std::setw(12) << "block bits"
    << "aliases\n";
  for (const Cipher* c : ListCiphers(owner)) {
    const auto* block = dynamic_cast<const BlockCipher*>(c);
    s << "  " << std::setw(5) << c->Id() << std::setw(28) << Narrow(c->Algorithm()) << std::setw(14) << c->MaxKeySize()
      << std::setw(12) << (block ? std::to_string(block->BlockSize()) : std::string("stream"))
      << AliasesOf(c->Algorithm()) << '\n';
  }
  s << "Hashes:\n"
    << "  " << std::setw(5) << "id" << std::setw(28) << "name" << std::setw(14) << "digest bits"
    << "aliases\n";
  for (const Hash* h : ListHashes(owner)) {
    s << "  " << std::setw(5) << h->Id() << std::setw(28) << Narrow(h->Algorithm()) << std::setw(14) << h->HashSize()
      << AliasesOf(h->Algorithm()) << '\n';
  }
  s << "The key is the hash's digest, cut to the cipher's largest key: its size is the\n"
       "smaller of the two (Rijndael with SHA256: 256 bits; with MD5: 128 bits), whatever\n"
       "name selects the cipher. AES-128, AES-192 and AES-256 are accepted only with a\n"
       "hash that gives that size.\n";
  // Rows without aliases end in the column's padding: drop it.
  std::string table = s.str();
  for (std::size_t at = table.find(" \n"); at != std::string::npos; at = table.find(" \n")) table.erase(at, 1);
  out << table;
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
    case Command::kHelp: out << (a.help_topic ? CommandHelp(*a.help_topic) : kUsage); return;
    case Command::kVersion: out << "velsor-cli " << VELSOR_VERSION << '\n'; return;
    case Command::kList: return List(owner, out);
    case Command::kSelfTest: return SelfTest(owner, out);
    case Command::kDigest: return Digest(FindHash(ListHashes(owner), a.hash), a.files, in, out);
    case Command::kEncrypt:
    case Command::kDecrypt: {
      Cipher& cipher = FindCipher(ListCiphers(owner), a.cipher);
      Hash& hash = FindHash(ListHashes(owner), a.hash);
      CheckKeySizeAlias(a.cipher, cipher, hash, ListHashes(owner));
      try {
        std::optional<OutputFile> file;
        if (a.output) file.emplace(*a.output);
        std::ostream& target = file ? file->Stream() : out;
        if (a.command == Command::kEncrypt) {
          Encrypt(a, cipher, hash, in, target);
        } else {
          Decrypt(a, cipher, hash, in, target);
        }
        if (file) file->Commit();
        return;
      } catch (const CliError&) {
        throw;
      } catch (const std::exception& e) {
        throw Failure(e.what());
      }
    }
  }
}

}  // namespace velsor::cli
