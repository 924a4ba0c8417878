// A reference model of GetDlgItemInt, written from Win32's rules, shared by
// the fuzz targets that check the stand-in layer's reading and the dialog:
//  - leading blanks are skipped; a signed reading takes one minus sign;
//  - then at least one decimal digit, and after the digits only blanks;
//  - the number must fit: 0..4294967295 unsigned, -2147483648..2147483647
//    signed; anything else reads 0 and reports "not translated".
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzz {

struct IntReading {
  uint32_t value;
  bool translated;
};

// The digits are compared as a text with the largest value allowed, so no
// arithmetic can overflow.
inline IntReading ReadDialogInt(const std::string& text, bool is_signed) {
  const IntReading refused{0, false};
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return refused;
  bool negative = false;
  if (is_signed && text[i] == '-') {
    negative = true;
    ++i;
  }
  const size_t digits_end = std::min(text.find_first_not_of("0123456789", i), text.size());
  std::string digits = text.substr(i, digits_end - i);
  if (digits.empty() || text.find_first_not_of(' ', digits_end) != std::string::npos) {
    return refused;
  }
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  const std::string largest = !is_signed ? "4294967295" : negative ? "2147483648" : "2147483647";
  if (digits.size() > largest.size() || (digits.size() == largest.size() && digits > largest)) {
    return refused;
  }
  const uint32_t magnitude = static_cast<uint32_t>(std::strtoull(digits.c_str(), nullptr, 10));
  return IntReading{negative ? 0u - magnitude : magnitude, true};
}

}  // namespace fuzz
