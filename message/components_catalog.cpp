#include "message/components_catalog.h"

#include <algorithm>

#include "crypto/ciphers/blowfish.h"
#include "crypto/ciphers/cast128.h"
#include "crypto/ciphers/des.h"
#include "crypto/ciphers/ice.h"
#include "crypto/ciphers/rc2.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/ciphers/rijndael.h"
#include "crypto/ciphers/serpent.h"
#include "crypto/ciphers/tea.h"
#include "crypto/ciphers/twofish.h"
#include "crypto/hashes/haval.h"
#include "crypto/hashes/md4.h"
#include "crypto/hashes/md5.h"
#include "crypto/hashes/sha1.h"
#include "crypto/hashes/sha256.h"
#include "crypto/hashes/ripemd128.h"
#include "crypto/hashes/ripemd160.h"
#include "crypto/hashes/sha512.h"
#include "crypto/hashes/tiger.h"

namespace velsor {

void CreateAlgorithmComponents(Component& owner) {
  // Ciphers, then hashes: the owner lists its components in this order.
  Component::CreateOwned<Blowfish>(owner);
  Component::CreateOwned<Cast128>(owner);
  Component::CreateOwned<Des>(owner);
  Component::CreateOwned<TripleDes>(owner);
  Component::CreateOwned<Ice>(owner);
  Component::CreateOwned<ThinIce>(owner);
  Component::CreateOwned<Ice2>(owner);
  Component::CreateOwned<Rc2>(owner);
  Component::CreateOwned<Rc4>(owner);
  Component::CreateOwned<Rijndael>(owner);
  Component::CreateOwned<Serpent>(owner);
  Component::CreateOwned<Tea>(owner);
  Component::CreateOwned<Twofish>(owner);
  Component::CreateOwned<Haval>(owner);
  Component::CreateOwned<Md4>(owner);
  Component::CreateOwned<Md5>(owner);
  Component::CreateOwned<Ripemd128>(owner);
  Component::CreateOwned<Ripemd160>(owner);
  Component::CreateOwned<Sha1>(owner);
  Component::CreateOwned<Sha256>(owner);
  Component::CreateOwned<Sha384>(owner);
  Component::CreateOwned<Sha512>(owner);
  Component::CreateOwned<Tiger>(owner);
}

namespace {

char16_t Fold(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

template <class T>
std::vector<T*> ListOf(const Component& owner) {
  std::vector<T*> found;
  for (Component* c : owner.Components()) {
    if (auto* t = dynamic_cast<T*>(c)) found.push_back(t);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const T* a, const T* b) { return AlgorithmNameLess(a->Algorithm(), b->Algorithm()); });
  return found;
}

}  // namespace

bool AlgorithmNameLess(const std::u16string& a, const std::u16string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return Fold(x) < Fold(y); });
}

std::vector<Cipher*> ListCiphers(const Component& owner) { return ListOf<Cipher>(owner); }
std::vector<Hash*> ListHashes(const Component& owner) { return ListOf<Hash>(owner); }

}  // namespace velsor
