// The not-text hint: real texts in many scripts pass, the meaningless results
// of a wrong passphrase, hash or cipher do not.

#include "message/text_check.h"

#include <gtest/gtest.h>

#include <string>

#include "message/components_catalog.h"
#include "message/message_codec.h"

namespace velsor {
namespace {

TEST(LooksLikeText, RealTextsInManyScriptsPass) {
  struct Case {
    const char* name;
    std::u16string text;
  };
  const Case cases[] = {
      {"empty", u""},
      {"English, CR LF and a tab", u"Meet at noon.\r\n\tBring the keys, the map & 2 \"spare\" batteries!\r\n"},
      {"German and French", u"Grüße aus Köln; à bientôt, garçon! Œuvre, naïve, déjà vu, 12 €."},
      {"Russian", u"Съешь же ещё этих мягких французских булок, да выпей чаю."},
      {"Greek", u"Ξεσκεπάζω την ψυχοφθόρα βδελυγμία."},
      {"Chinese", u"我们明天中午在火车站见面，别忘了带钥匙。"},
      {"Japanese", u"いろはにほへと　ちりぬるを、東京駅で会いましょう。カタカナも。"},
      {"Korean", u"다람쥐 헌 쳇바퀴에 타고파. 내일 정오에 만나요."},
      {"Arabic", u"نص حكيم له سر قاطع وذو شأن عظيم مكتوب على ثوب أخضر ومغلف بجلد أزرق"},
      {"Hebrew", u"דג סקרן שט בים מאוכזב ולפתע מצא חברה"},
      {"Hindi", u"ऋषियों को सताने वाले दुष्ट राक्षसों के राजा रावण का सर्वनाश करने वाले विष्णुवतार"},
      {"Thai", u"เป็นมนุษย์สุดประเสริฐเลิศคุณค่า"},
      {"emoji: faces, skin tone, family, flags, keycap",
       u"See you 😀👍🏽 👨‍👩‍👧‍👦 🇩🇪🇯🇵 🏴󠁧󠁢󠁥󠁮󠁧󠁿 1️⃣ ❤️ "
       u"🎉"},
      {"maths and CJK extension B", u"∀x ∈ ℝ: x² ≥ 0 ⇒ √(x²) = |x|; 𠀋𡈽𡌛 𝔘𝔫𝔦𝔠𝔬𝔡𝔢"},
      {"one stray escape in a long line", u"\x1b[1mbold\x1b[0m is how a terminal writes it, seen in a copied log line"},
      {"one private-use icon among 32 characters", u"Sent from my phone \uF8FF, see you then"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(LooksLikeText(c.text));
  }
}

TEST(LooksLikeText, BrokenOrControlHeavyUnitsFail) {
  struct Case {
    const char* name;
    std::u16string text;
  };
  const char16_t high = 0xD83D;
  const char16_t low = 0xDE00;
  const Case cases[] = {
      {"lone high surrogate at the end", u"A long enough line of ordinary text " + std::u16string(1, high)},
      {"lone low surrogate", u"text " + std::u16string(1, low) + u" more text, and more, and more"},
      {"pair in the wrong order", u"ab" + std::u16string{low, high} + u"cd"},
      {"code unit 0 in a short text", std::u16string(u"abc\0def", 7)},
      {"C1 controls", u"abc\u0085\u0090def"},
      {"private use", u"\uE000\uE123 hello"},
      {"noncharacter", u"hello\uFFFE"},
      {"two controls in a 40-character line", u"\x01 forty characters of otherwise text \x02"},
      {"plane 5 code point", u"x\U00050000y"},
      {"supplementary private use", u"x\U000F0000y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(LooksLikeText(c.text));
  }
}

TEST(TextCheck, PiecesGiveTheVerdictOfTheWhole) {
  // Split at every position, a surrogate pair's halves included.
  struct Case {
    const char* name;
    std::u16string text;
    bool text_like;
  };
  const Case cases[] = {
      {"emoji pairs", u"😀👍🏽🇩🇪 ok", true},
      {"high surrogate then a letter", u"ab" + std::u16string(1, char16_t{0xD83D}) + u"c", false},
      {"ends in a high surrogate", u"abc" + std::u16string(1, char16_t{0xD83D}), false},
      {"private use", u"\uE000 x", false},
  };
  for (const auto& c : cases) {
    for (std::size_t split = 0; split <= c.text.size(); ++split) {
      SCOPED_TRACE(std::string(c.name) + ", split at " + std::to_string(split));
      TextCheck check;
      check.Add(std::u16string_view(c.text).substr(0, split));
      check.Add(std::u16string_view(c.text).substr(split));
      EXPECT_EQ(check.LooksLikeText(), c.text_like);
    }
  }
}

TEST(TextCheck, TheVerdictHoldsAnywhereInALongText) {
  // The rule: no unpaired surrogate, and at most one unusual code point in 32.
  const auto plain = [](std::size_t n) {
    std::u16string text;
    while (text.size() < n) text += u"Grüße, 我们 meet\r\n\t";
    return text.substr(0, n);
  };
  const std::u16string pair = u"\U0001F600";
  const std::u16string high(1, char16_t{0xD83D});
  const std::u16string low(1, char16_t{0xDE00});
  struct Case {
    const char* name;
    std::u16string text;
    bool text_like;
  };
  const Case cases[] = {
      {"plain units only", plain(200), true},
      {"a pair across the 32nd unit", plain(31) + pair + plain(60), true},
      {"a lone high surrogate as the 32nd unit", plain(31) + high + plain(60), false},
      {"a lone low surrogate as the 33rd unit", plain(32) + low + plain(60), false},
      {"a lone high surrogate as the last unit", plain(95) + high, false},
      {"2 controls in 64 code points", plain(40) + u"\x01" + plain(22) + u"\x7F", true},
      {"3 controls in 66 code points", u"\x01" + plain(31) + u"\x02" + plain(31) + u"\x1B" + plain(1), false},
      {"private use and noncharacters deep in the text", plain(40) + u"\uE000\uFDD0\uFFFF" + plain(30), false},
      {"a no-break space and CJK compatibility forms are usual", plain(40) + u"\u00A0\uF900\uFDF0\uFFFD" + plain(40),
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LooksLikeText(c.text), c.text_like);
    for (std::size_t split = 1; split < c.text.size(); split += 7) {
      TextCheck check;
      check.Add(std::u16string_view(c.text).substr(0, split));
      check.Add(std::u16string_view(c.text).substr(split));
      EXPECT_EQ(check.LooksLikeText(), c.text_like) << "split at " << split;
    }
  }
}

// Salt and IV bytes from a counter, so every run decrypts the same envelopes.
void CountingRandom(void* out, std::size_t size) {
  static uint8_t next = 0;
  auto* bytes = static_cast<uint8_t*>(out);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = next += 37;
}

// Component names are ASCII.
template <class T>
std::string Name(const T& component) {
  const std::u16string name = component.Algorithm();
  return std::string(name.begin(), name.end());
}

const std::u16string kMessage =
    u"Dear Ana,\r\nthe meeting moves to Thursday at 10:30 in room 4B. Please bring the signed contract "
    u"and the keys.\r\nGrüße, Jürgen 😀";

TEST(LooksLikeText, WrongPassphraseResultsOfEveryPairFail) {
  Component owner;
  CreateAlgorithmComponents(owner);
  for (Cipher* cipher : ListCiphers(owner)) {
    for (Hash* hash : ListHashes(owner)) {
      SCOPED_TRACE(Name(*cipher) + " with " + Name(*hash));
      const std::u16string hex = EncryptMessage(kMessage, u"correct horse", *hash, *cipher, CountingRandom);
      EXPECT_TRUE(LooksLikeText(DecryptMessage(hex, u"correct horse", *hash, *cipher)));
      EXPECT_FALSE(LooksLikeText(DecryptMessage(hex, u"correct horsf", *hash, *cipher)));
    }
  }
}

TEST(LooksLikeText, WrongCipherOrHashResultsFail) {
  Component owner;
  CreateAlgorithmComponents(owner);
  const std::vector<Cipher*> ciphers = ListCiphers(owner);
  const std::vector<Hash*> hashes = ListHashes(owner);
  // Each cipher's message read with the next cipher in the list (block sizes
  // and the stream cipher mixed), and each hash's with the next hash.
  for (std::size_t i = 0; i < ciphers.size(); ++i) {
    Cipher& made = *ciphers[i];
    Cipher& read = *ciphers[(i + 1) % ciphers.size()];
    Hash& hash = *hashes[i % hashes.size()];
    Hash& other_hash = *hashes[(i + 1) % hashes.size()];
    SCOPED_TRACE(Name(made) + " read as " + Name(read));
    const std::u16string hex = EncryptMessage(kMessage, u"correct horse", hash, made, CountingRandom);
    EXPECT_FALSE(LooksLikeText(DecryptMessage(hex, u"correct horse", hash, read)));
    EXPECT_FALSE(LooksLikeText(DecryptMessage(hex, u"correct horse", other_hash, made)));
  }
}

}  // namespace
}  // namespace velsor
