#include "text/format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace norvalt {

namespace {

void appendAscii(std::u16string& out, std::string_view ascii)
{
    out.append(ascii.begin(), ascii.end());
}

std::string formatDouble(double v, std::chars_format fmt, int precision)
{
    // printf writes NaN and infinities as "nan"/"inf" with their sign.
    if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    // %f of 1e308 has 309 digits before the point; 350 covers it with any
    // precision we accept.
    if (precision < 0) precision = 6;
    if (precision > 40) precision = 40;
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, fmt, precision);
    if (res.ec != std::errc()) return "?";
    return std::string(buf, res.ptr);
}

std::string formatInteger(std::int64_t v)
{
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string formatUnsigned(std::uint64_t v, int base, bool upper)
{
    char buf[72];
    auto res = std::to_chars(buf, buf + sizeof buf, v, base);
    std::string s(buf, res.ptr);
    if (upper)
        for (char& c : s)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::int64_t asSigned(const FormatArg& a)
{
    return std::visit(
        [](const auto& v) -> std::int64_t {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::u16string_view>) return 0;
            else if constexpr (std::is_same_v<T, double>) {
                if (!(v >= -9.2e18 && v <= 9.2e18)) return 0;
                return static_cast<std::int64_t>(v);
            } else return static_cast<std::int64_t>(v);
        },
        a.value());
}

double asDouble(const FormatArg& a)
{
    return std::visit(
        [](const auto& v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::u16string_view>) return 0.0;
            else return static_cast<double>(v);
        },
        a.value());
}

} // namespace

std::u16string formatText(std::u16string_view pattern, std::initializer_list<FormatArg> args)
{
    std::u16string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    auto take = [&]() -> const FormatArg* { return next == args.end() ? nullptr : &*next++; };

    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            out.push_back(c);
            continue;
        }
        const size_t start = i;
        size_t j = i + 1;
        if (pattern[j] == u'%') {
            out.push_back(u'%');
            i = j;
            continue;
        }
        int precision = -1;
        if (pattern[j] == u'.') {
            ++j;
            if (j < pattern.size() && pattern[j] == u'*') {
                const FormatArg* p = take();
                precision = p ? static_cast<int>(asSigned(*p)) : 0;
                if (precision < 0) precision = -1;
                ++j;
            } else {
                precision = 0;
                while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9' && precision < 1000)
                    precision = precision * 10 + (pattern[j++] - u'0');
            }
        }
        // Length modifiers are accepted and ignored: the arguments carry
        // their own width.
        while (j < pattern.size() && (pattern[j] == u'l' || pattern[j] == u'h' || pattern[j] == u'z' ||
                                      pattern[j] == u'I' || pattern[j] == u'L'))
            ++j;
        if (j >= pattern.size()) {
            out.append(pattern.substr(start));
            break;
        }
        const char16_t conv = pattern[j];
        switch (conv) {
        case u's': {
            const FormatArg* a = take();
            if (a) {
                if (auto* s = std::get_if<std::u16string_view>(&a->value())) {
                    std::u16string_view text = *s;
                    if (precision >= 0 && static_cast<size_t>(precision) < text.size())
                        text = text.substr(0, precision);
                    out.append(text);
                }
            }
            break;
        }
        case u'd':
        case u'i': {
            const FormatArg* a = take();
            if (a) appendAscii(out, formatInteger(asSigned(*a)));
            break;
        }
        case u'u':
        case u'x':
        case u'X': {
            const FormatArg* a = take();
            if (a) {
                std::uint64_t v = std::visit(
                    [](const auto& x) -> std::uint64_t {
                        using T = std::decay_t<decltype(x)>;
                        if constexpr (std::is_same_v<T, std::u16string_view>) return 0;
                        else if constexpr (std::is_same_v<T, double>) return x >= 0 && x < 1.8e19 ? static_cast<std::uint64_t>(x) : 0;
                        // Negative signed values print as their 32-bit two's
                        // complement, as printf does with an int argument.
                        else if constexpr (std::is_same_v<T, std::int64_t>)
                            return x < 0 && x >= INT32_MIN ? static_cast<std::uint32_t>(x) : static_cast<std::uint64_t>(x);
                        else return x;
                    },
                    a->value());
                appendAscii(out, formatUnsigned(v, conv == u'u' ? 10 : 16, conv == u'X'));
            }
            break;
        }
        case u'f':
        case u'e':
        case u'g': {
            const FormatArg* a = take();
            if (a) {
                const auto fmt = conv == u'f' ? std::chars_format::fixed
                               : conv == u'e' ? std::chars_format::scientific
                                              : std::chars_format::general;
                int p = precision < 0 ? 6 : precision;
                if (conv == u'g' && p == 0) p = 1;
                appendAscii(out, formatDouble(asDouble(*a), fmt, p));
            }
            break;
        }
        default:
            out.append(pattern.substr(start, j - start + 1));
            break;
        }
        i = j;
    }
    return out;
}

std::u16string formatFixed(double value, int decimals)
{
    std::u16string out;
    appendAscii(out, formatDouble(value, std::chars_format::fixed, decimals));
    return out;
}

std::string formatGeneralUtf8(double value, int precision)
{
    return formatDouble(value, std::chars_format::general, precision <= 0 ? 1 : precision);
}

std::u16string formatGeneral(double value, int precision)
{
    std::u16string out;
    appendAscii(out, formatGeneralUtf8(value, precision));
    return out;
}

std::u16string formatInt(std::int64_t value)
{
    std::u16string out;
    appendAscii(out, formatInteger(value));
    return out;
}

namespace {

bool isCSpace(char32_t c)
{
    // The C library's wcstod skips what iswspace calls white space; in the
    // module's texts that is the ASCII blanks and the Unicode spaces.
    return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

template <class Char>
double parsePrefix(std::basic_string_view<Char> text, std::size_t* consumed)
{
    if (consumed) *consumed = 0;
    size_t i = 0;
    while (i < text.size() && isCSpace(static_cast<char32_t>(text[i]))) ++i;

    // Copy the candidate characters (all ASCII) into a narrow buffer for
    // from_chars, which neither skips blanks nor takes a '+' sign or "0x".
    std::string ascii;
    size_t j = i;
    while (j < text.size() && static_cast<char32_t>(text[j]) < 0x80 && ascii.size() < 1024) {
        ascii.push_back(static_cast<char>(text[j]));
        ++j;
    }
    size_t pos = 0;
    bool negative = false;
    if (pos < ascii.size() && (ascii[pos] == '+' || ascii[pos] == '-')) {
        negative = ascii[pos] == '-';
        ++pos;
    }
    double value = 0;
    const char* begin = ascii.data() + pos;
    const char* end = ascii.data() + ascii.size();
    const char* stop = nullptr;
    if (begin < end && (*begin == '+' || *begin == '-')) return 0.0;

    bool hex = end - begin >= 2 && begin[0] == '0' && (begin[1] == 'x' || begin[1] == 'X');
    if (hex) {
        auto r = std::from_chars(begin + 2, end, value, std::chars_format::hex);
        if (r.ptr != begin + 2 && r.ec != std::errc::invalid_argument) stop = r.ptr;
        else {
            // "0x" without hex digits: the "0" alone is the number.
            value = 0;
            stop = begin + 1;
        }
    } else {
        auto r = std::from_chars(begin, end, value, std::chars_format::general);
        if (r.ec == std::errc::invalid_argument) return 0.0;
        stop = r.ptr;
        if (r.ec == std::errc::result_out_of_range) {
            // Out of range: wcstod gives ±HUGE_VAL or a value rounded to zero.
            bool tiny = false;
            for (const char* p = begin; p < stop; ++p) {
                if (*p == 'e' || *p == 'E') {
                    tiny = p + 1 < stop && p[1] == '-';
                    break;
                }
            }
            value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        }
    }
    if (consumed) *consumed = i + static_cast<size_t>(stop - ascii.data());
    return negative ? -value : value;
}

} // namespace

double parseDoublePrefix(std::u16string_view text, std::size_t* consumed)
{
    return parsePrefix(text, consumed);
}

double parseDoublePrefix(std::string_view text, std::size_t* consumed)
{
    return parsePrefix(text, consumed);
}

} // namespace norvalt
