#pragma once
// The report page speaks to a person with a printout, not to one in front of the wizard: its
// messages drop the wizard's advice about pages and buttons, and use one spelling of the
// katakana (the full-width one the page uses, where the system's messages use half-width).

#include <string>
#include <string_view>
#include <vector>

namespace nc16 {

// UTF-8 text with every half-width katakana (U+FF61 to U+FF9F) in its full-width form, a voiced
// or semi-voiced sound mark joined with the kana before it ("ﾃﾞｰﾀ" becomes "データ").
std::string WidenKatakana(std::string_view utf8);

// A CP932 message as the page shows it: its lines (UTF-8, full-width katakana) without the
// wizard's advice to choose again or to press a button.
std::vector<std::string> ReportLines(std::string_view cp932);

}  // namespace nc16
