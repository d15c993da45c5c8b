#pragma once
// The module's texts as the wide-character API of Windows takes them. The
// core keeps UTF-16 in std::u16string; on Windows wchar_t is the same
// 16-bit code unit, so a text passes to and from a Windows call unchanged.
#include <string>
#include <string_view>

#ifdef _WIN32
namespace norvalt {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

// NUL-terminated wide text of a string that outlives the call.
inline const wchar_t* wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}
// A writable buffer of a string that the call fills.
inline wchar_t* wideBuffer(std::u16string& text)
{
    return reinterpret_cast<wchar_t*>(text.data());
}
inline wchar_t* wideBuffer(char16_t* text)
{
    return reinterpret_cast<wchar_t*>(text);
}

// A view is not NUL-terminated: it becomes a wide string of its own.
inline std::wstring toWide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::u16string_view fromWide(const wchar_t* text)
{
    return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text)) : std::u16string_view();
}
inline std::u16string_view fromWide(const wchar_t* text, std::size_t length)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(text), length);
}
inline std::u16string fromWide(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace norvalt
#endif
