#include "platform/Utf8.h"

namespace plat {
namespace {

int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead >> 5) == 0x6)
        return 2;
    if ((lead >> 4) == 0xE)
        return 3;
    if ((lead >> 3) == 0x1E)
        return 4;
    return 0;
}

} // namespace

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const int length = SequenceLength(lead);
        if (length == 0) {
            ++at;
            continue;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        int taken = 1;
        while (taken < length && at + taken < text.size()
               && (static_cast<unsigned char>(text[at + taken]) & 0xC0) == 0x80)
            code = (code << 6) | (static_cast<unsigned char>(text[at + taken++]) & 0x3F);
        at += taken;
        if (taken == length && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
            out += code;
    }
    return out;
}

} // namespace plat
