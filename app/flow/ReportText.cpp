#include "app/flow/ReportText.h"

#include <array>

#include "platform/Cp932.h"

namespace nc16 {
namespace {

// The full-width forms of U+FF61 to U+FF9F, in order.
constexpr std::array<char32_t, 63> kFullWidth = {
    U'。', U'「', U'」', U'、', U'・', U'ヲ', U'ァ', U'ィ', U'ゥ', U'ェ', U'ォ', U'ャ', U'ュ',
    U'ョ', U'ッ', U'ー', U'ア', U'イ', U'ウ', U'エ', U'オ', U'カ', U'キ', U'ク', U'ケ', U'コ',
    U'サ', U'シ', U'ス', U'セ', U'ソ', U'タ', U'チ', U'ツ', U'テ', U'ト', U'ナ', U'ニ', U'ヌ',
    U'ネ', U'ノ', U'ハ', U'ヒ', U'フ', U'ヘ', U'ホ', U'マ', U'ミ', U'ム', U'メ', U'モ', U'ヤ',
    U'ユ', U'ヨ', U'ラ', U'リ', U'ル', U'レ', U'ロ', U'ワ', U'ン', U'゛', U'゜'};

constexpr char32_t kVoiced = 0xFF9E, kSemiVoiced = 0xFF9F;

// The kana with the mark joined, or 0 when the two do not join.
char32_t Joined(char32_t kana, char32_t mark) {
  const bool ka_to = kana >= U'カ' && kana <= U'ト' && kana != U'ッ';
  const bool ha_ho = kana >= U'ハ' && kana <= U'ホ' && (kana - U'ハ') % 3 == 0;
  if (mark == kVoiced) {
    if (kana == U'ウ') return U'ヴ';
    // Each voiced form follows its kana (カガ キギ … ツヅ テデ トド, ハバパ …).
    if (ka_to || ha_ho) return kana + 1;
  }
  if (mark == kSemiVoiced && ha_ho) return kana + 2;
  return 0;
}

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
    for (int k = 1; k < n && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(c);
    i += static_cast<size_t>(n);
  }
  return out;
}

void Encode(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// The wizard's advice that has no place on paper, and what a sentence of advice becomes.
constexpr std::string_view kAdvice[] = {"もう一度、選び直してください。", "[次へ]をｸﾘｯｸ"};
constexpr std::string_view kConvertThenChoose =
    "最新版のミルベク給与でコンバート後、もう一度、選び直してください。";
constexpr std::string_view kConvert = "最新版のミルベク給与でコンバートしてください。";

}  // namespace

std::string WidenKatakana(std::string_view utf8) {
  const std::u32string text = Decode(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xFF61 && c <= 0xFF9F) {
      c = kFullWidth[c - 0xFF61];
      if (i + 1 < text.size()) {
        if (const char32_t joined = Joined(c, text[i + 1])) {
          c = joined;
          ++i;
        }
      }
    }
    Encode(out, c);
  }
  return out;
}

std::vector<std::string> ReportLines(std::string_view cp932) {
  std::vector<std::string> lines;
  std::string line;
  auto flush = [&] {
    if (line == kConvertThenChoose) line = kConvert;
    bool advice = line.empty();
    for (std::string_view a : kAdvice)
      advice = advice || line.find(a) != std::string::npos;
    if (!advice) lines.push_back(WidenKatakana(line));
    line.clear();
  };
  for (char c : Cp932ToUtf8(cp932)) {
    if (c == '\r' || c == '\n') {
      flush();
    } else {
      line += c;
    }
  }
  flush();
  return lines;
}

}  // namespace nc16
