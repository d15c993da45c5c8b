#pragma once
// printf-style formatting of the string table's patterns and of numbers,
// independent of any C runtime locale: the decimal separator is always a
// point. Supported conversions: %s (text), %d and %i (signed), %u, %x, %X,
// %f, %e, %g with an optional precision ".N" or ".*" (taken from the
// argument list), and %%. Flags and widths are not used by the module's
// texts and are not supported; an unknown conversion is copied as it stands.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace norvalt {

class FormatArg {
public:
    FormatArg(int v) : value_(static_cast<std::int64_t>(v)) {}
    FormatArg(long v) : value_(static_cast<std::int64_t>(v)) {}
    FormatArg(long long v) : value_(static_cast<std::int64_t>(v)) {}
    FormatArg(unsigned v) : value_(static_cast<std::uint64_t>(v)) {}
    FormatArg(unsigned long v) : value_(static_cast<std::uint64_t>(v)) {}
    FormatArg(unsigned long long v) : value_(static_cast<std::uint64_t>(v)) {}
    FormatArg(double v) : value_(v) {}
    FormatArg(std::u16string_view v) : value_(v) {}
    FormatArg(const std::u16string& v) : value_(std::u16string_view(v)) {}
    FormatArg(const char16_t* v) : value_(std::u16string_view(v)) {}

    const auto& value() const { return value_; }

private:
    std::variant<std::int64_t, std::uint64_t, double, std::u16string_view> value_;
};

// Formats pattern with args; missing arguments format as nothing, surplus
// arguments are ignored, an argument of the wrong type is converted.
std::u16string formatText(std::u16string_view pattern, std::initializer_list<FormatArg> args);

template <class... Args>
std::u16string format(std::u16string_view pattern, const Args&... args)
{
    return formatText(pattern, {FormatArg(args)...});
}

// "%.<decimals>f"
std::u16string formatFixed(double value, int decimals);
// "%.<precision>g"
std::u16string formatGeneral(double value, int precision);
std::string formatGeneralUtf8(double value, int precision);
// "%d"
std::u16string formatInt(std::int64_t value);

// Reads a number as the C library's wcstod does, without its locale: leading
// white space skipped, then the longest prefix that forms a decimal or
// hexadecimal floating number, "inf", "infinity" or "nan"; 0 when nothing
// fits. `consumed` (if given) receives the number of code units used, 0
// when nothing fits.
double parseDoublePrefix(std::u16string_view text, std::size_t* consumed = nullptr);
double parseDoublePrefix(std::string_view text, std::size_t* consumed = nullptr);

} // namespace norvalt
