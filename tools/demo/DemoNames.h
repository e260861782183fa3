#pragma once
// Japanese names, readings and places for the demo data, as CP932 texts.

#include <string>
#include <string_view>

#include "tools/demo/DemoRandom.h"

namespace nc16::demo {

struct NameParts {
  std::string name;  // kanji, e.g. 山田
  std::string kana;  // half-width katakana reading, e.g. ﾔﾏﾀﾞ
};

NameParts PickFamilyName(DemoRandom& rng);
NameParts PickGivenName(DemoRandom& rng, bool male);

// "family　given" with a full-width blank, and the reading "ﾌｱﾐﾘ ｷﾞﾌﾞﾝ" with a half-width one.
NameParts FullName(const NameParts& family, const NameParts& given);

struct Address {
  std::string yubin;  // "123-4567"
  std::string addr1;  // prefecture, city and district
  std::string addr2;  // block number and building
};
Address PickAddress(DemoRandom& rng);

// A 12-digit individual number with a valid check digit.
std::string MakeIndividualNumber(DemoRandom& rng);

// The check digit of an individual number from its first 11 digits.
char IndividualNumberCheckDigit(std::string_view first_eleven);

}  // namespace nc16::demo
