#pragma once
// The names people type for ciphers and hashes: the names and ids that
// `velsor-cli list` shows, in any case and with or without dashes, and the
// common aliases (AES for Rijndael, SHA-256, ARC4, ...). A name that matches
// nothing gets the nearest one as a suggestion.

#include <string>
#include <vector>

#include "crypto/components.h"

namespace velsor::cli {

Cipher& FindCipher(const std::vector<Cipher*>& ciphers, const std::string& name);
Hash& FindHash(const std::vector<Hash*>& hashes, const std::string& name);

// AES-128, AES-192 and AES-256 name a key size, which the format takes from
// the hash: raises a usage error when the pair gives another size, naming the
// hashes that give the size asked for.
void CheckKeySizeAlias(const std::string& cipher_name, const Cipher& cipher, const Hash& hash,
                       const std::vector<Hash*>& hashes);

// The aliases a component accepts, for the list ("AES, AES-128, ...").
std::string AliasesOf(const std::u16string& algorithm);

}  // namespace velsor::cli
