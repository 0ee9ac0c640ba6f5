#include "framework/util/StringUtils.h"

#include "platform/DebugOut.h"
#include "platform/Utf8.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace Nubra {
namespace {

constexpr int kFormatLocalCount = 160;
constexpr int kFormatMaxCount = 1310720;

int FormatInto(char* buffer, size_t count, const char* format, va_list args)
{
    return std::vsnprintf(buffer, count, format, args);
}

int FormatInto(wchar_t* buffer, size_t count, const wchar_t* format, va_list args)
{
    return std::vswprintf(buffer, count, format, args);
}

// Formats into a local buffer first and only allocates for longer texts. vswprintf does not
// report the length it needs, so the heap buffer doubles until the text fits; every attempt
// formats from its own copy of the arguments.
template <typename Char>
std::basic_string<Char> GrowingFormat(const Char* format, va_list args)
{
    Char local[kFormatLocalCount + 1];
    va_list attempt;
    va_copy(attempt, args);
    int length = FormatInto(local, kFormatLocalCount + 1, format, attempt);
    va_end(attempt);
    if (length >= 0 && length <= kFormatLocalCount)
        return std::basic_string<Char>(local, size_t(length));

    int count = kFormatLocalCount;
    std::vector<Char> heap;
    do {
        count = (length > count && sizeof(Char) == 1) ? std::min(length, kFormatMaxCount) : count * 2;
        heap.assign(size_t(count) + 1, Char(0));
        va_copy(attempt, args);
        length = FormatInto(heap.data(), heap.size(), format, attempt);
        va_end(attempt);
    } while ((length < 0 || length > count) && count < kFormatMaxCount);
    if (length < 0 || length > count)
        length = count; // beyond the limit: what fitted
    return std::basic_string<Char>(heap.data(), size_t(length));
}

template <typename Char>
bool ParseInt(const std::basic_string<Char>& text, int* out)
{
    *out = 0;
    if (text.empty())
        return false;
    size_t i = 0;
    bool negative = text[0] == '-';
    if (negative)
        i = 1;
    bool hex = false;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        Char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if ((c == 'x' || c == 'X') && !hex && i == size_t(negative) + 1 && text[i - 1] == '0') {
            hex = true;
            continue;
        } else
            return false;
        value = value * (hex ? 16 : 10) + digit;
        if (value > (hex ? int64_t(0xFFFFFFFF) : int64_t(0x80000000)))
            return false;
    }
    if (!hex && !negative && value > 0x7FFFFFFF)
        return false;
    int32_t result = hex ? int32_t(uint32_t(value)) : int32_t(negative ? -value : value);
    *out = hex && negative ? int32_t(0u - uint32_t(result)) : result;
    return true;
}

} // namespace

std::string VFormat(const char* format, va_list args) { return GrowingFormat(format, args); }
std::wstring VFormatW(const wchar_t* format, va_list args) { return GrowingFormat(format, args); }

std::string StrFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string result = VFormat(format, args);
    va_end(args);
    return result;
}

std::wstring StrFormatW(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring result = VFormatW(format, args);
    va_end(args);
    return result;
}

std::wstring StringToWString(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        wide[i] = wchar_t(static_cast<unsigned char>(text[i]));
    return wide;
}

std::wstring StringToNubraString(const std::string& text) { return StringToWString(text); }

std::string WStringToString(const std::wstring& text)
{
    std::string narrow(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<uint32_t>(text[i]);
        narrow[i] = c <= 0xFF ? char(static_cast<unsigned char>(c)) : '?';
    }
    return narrow;
}

std::string NubraStringToString(const std::wstring& text) { return WStringToString(text); }

std::string WStringToUtf8(const std::wstring& text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (wchar_t wide : text) {
        auto c = static_cast<uint32_t>(wide);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            utf8 += char(c);
        } else if (c < 0x800) {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += char(0xE0 | (c >> 12));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        } else {
            utf8 += char(0xF0 | (c >> 18));
            utf8 += char(0x80 | ((c >> 12) & 0x3F));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::wstring Utf8ToWString(const std::string& text)
{
    std::u32string codes = plat::DecodeUtf8(text);
    return std::wstring(codes.begin(), codes.end());
}

std::string Upper(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

std::wstring Upper(const std::wstring& text)
{
    std::wstring result = text;
    for (wchar_t& c : result)
        c = wchar_t(std::towupper(wint_t(c)));
    return result;
}

std::string Trim(const std::string& text)
{
    auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    size_t begin = 0, end = text.size();
    while (begin < end && space(text[begin]))
        ++begin;
    while (end > begin && space(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool StringToInt(const std::string& text, int* out) { return ParseInt(text, out); }
bool StringToInt(const std::wstring& text, int* out) { return ParseInt(text, out); }

bool StringToDouble(const std::wstring& text, double* out)
{
    *out = 0.0;
    if (text.empty())
        return false;
    // Check the syntax here, then let from_chars convert with correct rounding.
    std::string whole, fraction;
    bool negative = text[0] == L'-', seenPoint = false;
    for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'.' && !seenPoint)
            seenPoint = true;
        else if (c >= L'0' && c <= L'9')
            (seenPoint ? fraction : whole) += char(c);
        else
            return false;
    }
    std::string number = (whole.empty() ? "0" : whole) + "." + (fraction.empty() ? "0" : fraction);
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    *out = negative ? -value : value;
    return true;
}

bool HexStringToUInt(const std::string& text, unsigned* out)
{
    unsigned value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = unsigned(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = unsigned(c - 'A' + 10);
        else {
            *out = 0;
            return false;
        }
        value = value * 16 + digit;
    }
    *out = value;
    return true;
}

bool IsImmediateValue(const std::wstring& token)
{
    if (token.empty())
        return false;
    wchar_t c = token[0];
    return (c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || c == L'\'' || c == L'"';
}

std::wstring CommaSeparate(int64_t value)
{
    std::wstring digits = std::to_wstring(value);
    std::wstring result;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result += L',';
        result += digits[i];
    }
    return result;
}

int StrFindNoCase(const char* text, const char* pattern)
{
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    for (int start = 0; text[start]; ++start) {
        int i = 0;
        while (pattern[i] && text[start + i] && lower(text[start + i]) == lower(pattern[i]))
            ++i;
        if (!pattern[i])
            return start;
    }
    return -1;
}

void OutputDebug(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = VFormatW(format, args);
    va_end(args);
    plat::DebugOut(WStringToString(text));
}

std::string GetDirectXErrorString(long result)
{
    switch (static_cast<uint32_t>(result)) {
    case 0x80004005: return "DSERR_GENERIC";
    case 0x80004002: return "DSERR_NOINTERFACE";
    case 0x80004001: return "DDERR_UNSUPPORTED";
    case 0x80040110: return "DSERR_NOAGGREGATION";
    case 0x80070057: return "DDERR_INVALIDPARAMS";
    case 0x8007000E: return "E_OUTOFMEMORY";
    case 0x800401F0: return "DDERR_NOTINITIALIZED";
    default: {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%x", static_cast<uint32_t>(result));
        return hex;
    }
    }
}

bool CheckFor98Mill() { return false; }
bool CheckForVista() { return true; }

} // namespace Nubra
