// The UTF-8 codec of the layer, whose ANSI code page is UTF-8: text in
// windows and controls is UTF-8, and edit controls count in code points; and
// the layer's case-insensitive names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace standin {
namespace internal {

// A stray byte that starts no valid sequence decodes as one code point of its
// own value.
std::vector<uint32_t> DecodeUtf8(const std::string& s);
std::string EncodeUtf8(uint32_t cp);
size_t Utf8Length(const std::string& s);            // in code points
size_t Utf8Offset(const std::string& s, size_t n);  // byte offset of code point n

// ASCII letters lower-cased, every other byte as it is: how class names,
// template names and profile sections and keys compare.
std::string Lower(const std::string& s);

}  // namespace internal
}  // namespace standin
