#include "external/paradox/ParadoxFormat.h"

#include "external/paradox/ParadoxTable.h"

namespace nc16::px {

std::string_view FieldTypeName(FieldType type) {
  switch (type) {
    case FieldType::Alpha:
      return "Alpha";
    case FieldType::Date:
      return "Date";
    case FieldType::Short:
      return "Short";
    case FieldType::Long:
      return "Long";
    case FieldType::Money:
      return "Money";
    case FieldType::Number:
      return "Number";
    case FieldType::Logical:
      return "Logical";
    case FieldType::Memo:
      return "Memo";
    case FieldType::Blob:
      return "Binary";
    case FieldType::FmtMemo:
      return "FmtMemo";
    case FieldType::Ole:
      return "OLE";
    case FieldType::Graphic:
      return "Graphic";
    case FieldType::Time:
      return "Time";
    case FieldType::Timestamp:
      return "Timestamp";
    case FieldType::AutoInc:
      return "AutoInc";
    case FieldType::BCD:
      return "BCD";
    case FieldType::Bytes:
      return "Bytes";
  }
  return "?";
}

bool IsBlobType(FieldType type) {
  return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FmtMemo ||
         type == FieldType::Ole || type == FieldType::Graphic;
}

namespace format {

namespace {
int Nibble(const uint8_t* p, int i) {
  return (i % 2) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4);
}
}  // namespace

bool DecodeBcd(const uint8_t* p, int decimals, std::string& out) {
  out.clear();
  if ((p[0] & 0x3F) != decimals || decimals > 32) return false;
  const int flip = (p[0] & 0x80) ? 0 : 0x0F;
  // Paradox keeps about 17 significant digits and leaves whatever follows them in the nibbles;
  // the first nibble that is no digit ends the number (the rest reads as zeros).
  bool stop = false;
  auto digit = [&](int i) {
    const int d = stop ? 0 : (Nibble(p, i) ^ flip);
    if (d > 9) stop = true;
    return stop ? 0 : d;
  };
  std::string digits;
  int i = 2;
  for (; i < 34 - decimals; ++i) {
    const int d = digit(i);
    if (!digits.empty() || d != 0) digits.push_back(static_cast<char>('0' + d));
  }
  if (digits.empty()) digits.push_back('0');
  std::string fraction;
  for (; i < 34; ++i) {
    const int d = digit(i);
    fraction.push_back(static_cast<char>('0' + d));
  }
  const bool zero = digits == "0" && fraction.find_first_not_of('0') == std::string::npos;
  if (flip && !zero) out.push_back('-');
  out += digits;
  if (!fraction.empty()) out += "." + fraction;
  return true;
}

bool EncodeBcd(uint8_t* p, int decimals, std::string_view text) {
  if (decimals < 0 || decimals > 32) return false;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const size_t dot = text.find('.');
  std::string_view whole = text.substr(0, dot);
  std::string_view frac = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
  if (whole.empty() && frac.empty()) return false;
  while (whole.size() > 1 && whole[0] == '0')
    whole.remove_prefix(1);
  const int int_digits = 32 - decimals;
  if (static_cast<int>(whole.size()) > int_digits) return false;
  for (char c : whole)
    if (c < '0' || c > '9') return false;
  for (char c : frac)
    if (c < '0' || c > '9') return false;
  // Digits: nibbles 2..33; the integer part right-aligned before the point.
  int nib[34] = {};
  for (size_t k = 0; k < whole.size(); ++k)
    nib[2 + int_digits - whole.size() + k] = whole[k] - '0';
  for (int k = 0; k < decimals && k < static_cast<int>(frac.size()); ++k)
    nib[2 + int_digits + k] = frac[k] - '0';
  const int flip = negative ? 0x0F : 0;
  std::memset(p, 0, 17);
  for (int i = 2; i < 34; ++i) {
    const int d = nib[i] ^ flip;
    p[i / 2] |= static_cast<uint8_t>((i % 2) ? d : (d << 4));
  }
  p[0] = static_cast<uint8_t>((negative ? 0x40 : 0xC0) | decimals);
  return true;
}

}  // namespace format
}  // namespace nc16::px
