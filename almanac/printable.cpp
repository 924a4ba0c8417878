#include "printable.h"

#include <algorithm>

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
    // U+202A-U+202E are E2 80 AA-AE, U+2066-U+2069 are E2 81 A6-A9.
    const unsigned char c2 = length == 3 ? static_cast<unsigned char>(text[i + 1]) : 0;
    const unsigned char c3 = length == 3 ? static_cast<unsigned char>(text[i + 2]) : 0;
    const bool bidi = c == 0xE2 && ((c2 == 0x80 && c3 >= 0xAA && c3 <= 0xAE) ||
                                    (c2 == 0x81 && c3 >= 0xA6 && c3 <= 0xA9));
    if (length == 1 && c >= 0x20 && c != 0x7F) {
      out += static_cast<char>(c);
    } else if (bidi) {
      out += fmt::format("\\u{:04x}", ((c2 & 0x3F) << 6 | (c3 & 0x3F)) + 0x2000);
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

std::string SafeMessage(std::string_view message, const std::vector<std::string>& values) {
  // The longest values first, so that a value inside another is not cut up.
  std::vector<const std::string*> order;
  for (const std::string& value : values) {
    if (!value.empty()) order.push_back(&value);
  }
  std::stable_sort(order.begin(), order.end(), [](const std::string* a, const std::string* b) {
    return a->size() > b->size();
  });
  std::string out;
  size_t plain = 0;  // start of the text since the last value
  for (size_t i = 0; i < message.size();) {
    const std::string* found = nullptr;
    for (const std::string* value : order) {
      if (message.compare(i, value->size(), *value) == 0) {
        found = value;
        break;
      }
    }
    if (found == nullptr) {
      ++i;
      continue;
    }
    out += Printable(message.substr(plain, i - plain), std::string_view::npos);
    out += Printable(*found, 40);
    i += found->size();
    plain = i;
  }
  return out + Printable(message.substr(plain), std::string_view::npos);
}

std::string Quoted(std::string_view text) {
  return "\"" + Printable(text, 40) + "\"";
}

}  // namespace orbel
