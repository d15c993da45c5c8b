#pragma once
// Conversion between UTF-8 (files, terminal, JSON) and the UTF-16 text that
// the core works in. Ill-formed input never fails: each maximal ill-formed
// subsequence becomes U+FFFD.
#include <string>
#include <string_view>

namespace norvalt {

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Wide text of the C++ library (UTF-16 on Windows, UTF-32 elsewhere) as
// UTF-16; a value that is no code point becomes U+FFFD.
std::u16string wideToUtf16(std::wstring_view wide);

// Convenience for literals and test data: u8"..." text as UTF-16.
inline std::u16string utf16(std::u8string_view utf8)
{
    return utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

} // namespace norvalt
