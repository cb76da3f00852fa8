#pragma once
// The program's algorithm components: created in one place, listed by walking
// an owner and testing membership, never by naming an algorithm.

#include <string>
#include <vector>

#include "crypto/components.h"

namespace velsor {

// Creates one instance of every cipher and hash, owned by owner.
void CreateAlgorithmComponents(Component& owner);

// The owner's ciphers (hashes), sorted by Algorithm without regard to case.
std::vector<Cipher*> ListCiphers(const Component& owner);
std::vector<Hash*> ListHashes(const Component& owner);

// Case-insensitive ordering of algorithm names, as the lists show them.
bool AlgorithmNameLess(const std::u16string& a, const std::u16string& b);

}  // namespace velsor
