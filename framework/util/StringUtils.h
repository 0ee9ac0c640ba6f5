#pragma once
#include <cstdarg>
#include <cstdint>
#include <string>

namespace Nubra {

// printf-style formatting. Texts up to 160 characters are formatted without a heap buffer.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormat(const char* format, va_list args);
std::wstring StrFormatW(const wchar_t* format, ...);
std::wstring VFormatW(const wchar_t* format, va_list args);

// Narrow text is Latin-1: each byte widens to one character, and narrowing is the exact inverse
// ('?' for characters above 0xFF).
std::wstring StringToWString(const std::string& text);
std::wstring StringToNubraString(const std::string& text);
std::string WStringToString(const std::wstring& text);
std::string NubraStringToString(const std::wstring& text);
// For the system's interfaces, which take UTF-8; a character that is no Unicode scalar value
// becomes U+FFFD.
std::string WStringToUtf8(const std::wstring& text);
// The inverse, for text the system hands over; malformed bytes are dropped.
std::wstring Utf8ToWString(const std::string& text);

// UTF-16 surrogate pairs, for text stored or typed in 16-bit units.
constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr char32_t JoinSurrogates(char32_t high, char32_t low) { return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00); }

std::string Upper(const std::string& text);
std::wstring Upper(const std::wstring& text);
std::string Trim(const std::string& text);

// Decimal, or hexadecimal after "0x"; an optional leading '-'. False (and 0) on anything else
// or on a value outside 32 bits; a lone "-" is 0 and true.
bool StringToInt(const std::string& text, int* out);
bool StringToInt(const std::wstring& text, int* out);
// Optional '-', digits, at most one '.'. False (and 0.0) on anything else or an empty text.
bool StringToDouble(const std::wstring& text, double* out);
// The whole text as hexadecimal digits; "" is 0 and true.
bool HexStringToUInt(const std::string& text, unsigned* out);

bool IsImmediateValue(const std::wstring& token);
// 1234567 -> "1,234,567".
std::wstring CommaSeparate(int64_t value);
// Index of the first case-insensitive occurrence of pattern, or -1.
int StrFindNoCase(const char* text, const char* pattern);

// Wide formatting, sent narrowed to the debugger output.
void OutputDebug(const wchar_t* format, ...);

// The symbolic name of a display result code, or its hexadecimal digits.
std::string GetDirectXErrorString(long result);

// Operating-system checks of a Windows program; constant answers here.
bool CheckFor98Mill();
bool CheckForVista();

} // namespace Nubra
