#include "cli/component_names.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "cli/cli_error.h"
#include "message/message_codec.h"

namespace velsor::cli {

namespace {

struct Alias {
  const char* alias;      // as shown in the help and the list
  const char* algorithm;  // the component's Algorithm name
  int key_bits;           // the key size the alias names, 0 for none
};

constexpr Alias kAliases[] = {
    {"AES", "Rijndael", 0},
    {"AES-128", "Rijndael", 128},
    {"AES-192", "Rijndael", 192},
    {"AES-256", "Rijndael", 256},
    {"TripleDES", "3DES", 0},
    {"DES3", "3DES", 0},
    {"CAST5", "Cast128", 0},
    {"CAST-128", "Cast128", 0},
    {"ARC4", "RC4", 0},
    {"SHA-1", "SHA1", 0},
    {"SHA-256", "SHA256", 0},
    {"SHA-384", "SHA384", 0},
    {"SHA-512", "SHA512", 0},
    {"RIPEMD160", "RipeMD-160", 0},
    {"RIPEMD128", "RipeMD-128", 0},
    {"Haval", "Haval (256bit, 5 passes)", 0},
};

std::string Ascii(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Lowercase without the separators people vary: "SHA-256", "sha_256" and
// "Sha 256" are one name.
std::string Folded(std::string_view name) {
  std::string folded;
  for (char c : name) {
    if (c == '-' || c == '_' || c == ' ') continue;
    folded.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return folded;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

const Alias* AliasNamed(const std::string& name) {
  for (const Alias& alias : kAliases) {
    if (Folded(alias.alias) == Folded(name)) return &alias;
  }
  return nullptr;
}

template <class T>
T& Find(const std::vector<T*>& components, const std::string& name, const char* kind, const char* kinds) {
  const bool numeric = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
  const Alias* alias = AliasNamed(name);
  const std::string wanted = Folded(alias != nullptr ? alias->algorithm : name);
  for (T* c : components) {
    if ((numeric && name.size() < 6 && c->Id() == std::atoi(name.c_str())) || Folded(Ascii(c->Algorithm())) == wanted) {
      return *c;
    }
  }
  // The nearest name or alias, when it is near enough to be a typo.
  std::string nearest;
  std::size_t best = wanted.size() / 3 + 1;
  auto consider = [&](const std::string& candidate, const std::string& shown) {
    const std::size_t distance = EditDistance(wanted, Folded(candidate));
    if (distance <= best && (distance < best || nearest.empty())) {
      best = distance;
      nearest = shown;
    }
  };
  std::string valid;
  for (T* c : components) {
    consider(Ascii(c->Algorithm()), Ascii(c->Algorithm()));
    valid += (valid.empty() ? "" : ", ") + Ascii(c->Algorithm());
  }
  for (const Alias& a : kAliases) {
    for (T* c : components) {
      if (Ascii(c->Algorithm()) == a.algorithm) consider(a.alias, a.alias);
    }
  }
  if (!nearest.empty())
    throw UsageError(std::string("unknown ") + kind + " '" + name + "'; did you mean " + nearest + "?");
  throw UsageError(std::string("unknown ") + kind + " '" + name + "'; valid " + kinds + ": " + valid +
                   " (names, ids and aliases: velsor-cli list)");
}

}  // namespace

Cipher& FindCipher(const std::vector<Cipher*>& ciphers, const std::string& name) {
  return Find(ciphers, name, "cipher", "ciphers");
}

Hash& FindHash(const std::vector<Hash*>& hashes, const std::string& name) {
  return Find(hashes, name, "hash", "hashes");
}

void CheckKeySizeAlias(const std::string& cipher_name, const Cipher& cipher, const Hash& hash,
                       const std::vector<Hash*>& hashes) {
  const Alias* alias = AliasNamed(cipher_name);
  if (alias == nullptr || alias->key_bits == 0) return;
  const int32_t bits = EffectiveKeySize(cipher, hash);
  if (bits == alias->key_bits) return;
  std::string fitting;
  for (const Hash* h : hashes) {
    if (EffectiveKeySize(cipher, *h) == alias->key_bits)
      fitting += (fitting.empty() ? "" : ", ") + Ascii(h->Algorithm());
  }
  throw UsageError("'" + cipher_name + "' names a " + std::to_string(alias->key_bits) + "-bit key, but " +
                   Ascii(cipher.Algorithm()) + " with " + Ascii(hash.Algorithm()) + " uses a " + std::to_string(bits) +
                   "-bit key (the hash decides the key size): use -c AES, or one of " + fitting);
}

std::string AliasesOf(const std::u16string& algorithm) {
  std::string aliases;
  for (const Alias& alias : kAliases) {
    if (Ascii(algorithm) == alias.algorithm) aliases += (aliases.empty() ? "" : ", ") + std::string(alias.alias);
  }
  return aliases;
}

}  // namespace velsor::cli
