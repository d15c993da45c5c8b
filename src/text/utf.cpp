#include "text/utf.h"

namespace norvalt {

namespace {

constexpr char16_t replacement = 0xFFFD;

void appendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::u16string utf8ToUtf16(std::string_view in)
{
    std::u16string out;
    out.reserve(in.size());
    const auto* s = reinterpret_cast<const unsigned char*>(in.data());
    const size_t n = in.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        // Lead byte: length and the allowed range of the second byte
        // (Unicode's table of well-formed sequences), so that overlong
        // forms and surrogates are rejected at the first bad byte.
        size_t len = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t cp = 0;
        if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; }
        else if (b == 0xE0) { len = 3; lo = 0xA0; cp = b & 0x0F; }
        else if (b >= 0xE1 && b <= 0xEC) { len = 3; cp = b & 0x0F; }
        else if (b == 0xED) { len = 3; hi = 0x9F; cp = b & 0x0F; }
        else if (b >= 0xEE && b <= 0xEF) { len = 3; cp = b & 0x0F; }
        else if (b == 0xF0) { len = 4; lo = 0x90; cp = b & 0x07; }
        else if (b >= 0xF1 && b <= 0xF3) { len = 4; cp = b & 0x07; }
        else if (b == 0xF4) { len = 4; hi = 0x8F; cp = b & 0x07; }
        if (len == 0) {
            out.push_back(replacement);
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k < len && i + k < n; ++k) {
            const unsigned char c = s[i + k];
            const unsigned char min = k == 1 ? lo : 0x80;
            const unsigned char max = k == 1 ? hi : 0xBF;
            if (c < min || c > max) break;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (k < len) {
            out.push_back(replacement);
            i += k;
            continue;
        }
        appendCodePoint(out, cp);
        i += len;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view in)
{
    std::string out;
    out.reserve(in.size() * 3 / 2);
    for (size_t i = 0; i < in.size(); ++i) {
        const char16_t u = in[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (in[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, replacement);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::u16string wideToUtf16(std::wstring_view wide)
{
    std::u16string out;
    out.reserve(wide.size());
    for (const wchar_t c : wide) {
        const auto code = static_cast<char32_t>(c);
        if constexpr (sizeof(wchar_t) == 2) out.push_back(static_cast<char16_t>(code));
        else if (code <= 0x10FFFF) appendCodePoint(out, code);
        else out.push_back(replacement);
    }
    return out;
}

} // namespace norvalt
