#include "printable.h"

#include <fmt/format.h>

namespace orbel {

std::string Printable(std::string_view text, size_t maxCharacters) {
  std::string out;
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++characters) {
    if (characters == maxCharacters) return out + "...";
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // The length of a well-formed UTF-8 sequence starting here, or 0.
    size_t length = c < 0x80                 ? 1
                    : c >= 0xC2 && c <= 0xDF ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        length = 0;
      }
    }
    // C1 controls (U+0080 to U+009F) act on terminals like escape sequences.
    const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (length == 1 && c >= 0x20 && c != 0x7F) {
      out += static_cast<char>(c);
    } else if (length > 1 && !c1) {
      out.append(text.substr(i, length));
    } else if (c == '\n' || c == '\t' || c == '\r') {
      out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
    } else {
      out += fmt::format("\\x{:02x}", c1 ? 0x80 + (text[i + 1] & 0x1F) : c);
      if (c1) ++i;
    }
    i += length > 1 && !c1 ? length : 1;
  }
  return out;
}

std::string Quoted(std::string_view text) {
  return "\"" + Printable(text, 40) + "\"";
}

}  // namespace orbel
