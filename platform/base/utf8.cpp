#include "utf8.h"

#include <utf8cpp/utf8.h>  // utfcpp

#include <iterator>

namespace standin {
namespace internal {

namespace {

// Length in bytes of the character starting at s[i]: a valid UTF-8 sequence
// counts whole, a stray byte counts as one character of its own.
size_t CharLength(const std::string& s, size_t i, uint32_t* cp) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  int extra = c < 0x80             ? 0
              : (c & 0xE0) == 0xC0 ? 1
              : (c & 0xF0) == 0xE0 ? 2
              : (c & 0xF8) == 0xF0 ? 3
                                   : -1;
  *cp = c;
  if (extra <= 0 || i + extra >= s.size()) return 1;
  uint32_t value = c & (0x3Fu >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80) return 1;
    value = (value << 6) | (next & 0x3Fu);
  }
  *cp = value;
  return static_cast<size_t>(extra) + 1;
}

}  // namespace

std::vector<uint32_t> DecodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < s.size();) {
    uint32_t cp = 0;
    i += CharLength(s, i, &cp);
    out.push_back(cp);
  }
  return out;
}

std::string EncodeUtf8(uint32_t cp) {
  std::string out;
  utf8::unchecked::append(cp, std::back_inserter(out));
  return out;
}

size_t Utf8Length(const std::string& s) {
  return DecodeUtf8(s).size();
}

size_t Utf8Offset(const std::string& s, size_t n) {
  size_t i = 0;
  for (; i < s.size() && n > 0; --n) {
    uint32_t cp = 0;
    i += CharLength(s, i, &cp);
  }
  return i;
}

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace internal
}  // namespace standin
