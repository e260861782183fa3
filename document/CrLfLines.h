#pragma once
// Rewrites text, piece by piece, so that every line ends with CR LF: a CR, an LF or a CR LF
// becomes CR LF, and the text's last line gets one too. The document's text for encryption is
// written this way (TXmlSaveDoc::GetXmlText, and the encrypted output streamed as it is built).

#include <string>
#include <string_view>

namespace nc16 {

class CrLfLines {
 public:
  // Appends `piece` rewritten to `out`. A CR LF split between two pieces stays one line end.
  void Append(std::string& out, std::string_view piece);
  // Appends the CR LF that ends the last line, unless the text already ends with one.
  void Finish(std::string& out);

 private:
  bool after_cr_ = false;     // the last byte taken was a CR
  bool at_line_end_ = false;  // the last bytes given out were CR LF
};

}  // namespace nc16
