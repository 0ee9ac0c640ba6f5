#include "framework/raster/SWTriFillerTable.h"

#include "framework/raster/SWTriFillers.h"

#include <cstddef>
#include <utility>

namespace Nubra {
namespace {

constexpr SWTri_Format kBlockFormats[4] = {SWTri_Format::ARGB8888, SWTri_Format::RGB888, SWTri_Format::RGB565,
                                           SWTri_Format::RGB555};

enum class Kind { Empty, NoFill, Filler };

// Which filler an entry holds: its kind, and for a filler the format and bits it is made for.
struct Entry {
    Kind kind;
    SWTri_Format format;
    bool T, A, V, C, B;
    constexpr bool operator==(const Entry&) const = default;
};

constexpr Entry EntryAt(int index)
{
    const SWTri_Format F = kBlockFormats[index >> 5];
    const bool T = index & 16, A = index & 8, V = index & 4, C = index & 2, B = index & 1;
    if (!T) // without a texture only V and C matter
        return V ? Entry{Kind::Filler, F, false, false, true, C, false} : Entry{Kind::NoFill, F, 0, 0, 0, 0, 0};
    if (B && !A) // the driver sets A whenever B is set with a texture
        return Entry{Kind::Empty, F, 0, 0, 0, 0, 0};
    if (F == SWTri_Format::RGB888 && !A && !V && !C) // the opaque copy never reads the destination
        return Entry{Kind::Filler, SWTri_Format::ARGB8888, true, false, false, false, false};
    return Entry{Kind::Filler, F, T, A, V, C, B};
}

template <int Index>
constexpr SWTri_FillerFn FillerAt()
{
    constexpr Entry e = EntryAt(Index);
    if constexpr (e.kind == Kind::Filler)
        return &SWTri_Fill<e.format, e.T, e.A, e.V, e.C, e.B>;
    else if constexpr (e.kind == Kind::NoFill)
        return &SWTri_NoFill;
    else
        return nullptr;
}

template <int... I>
constexpr SWTri_FillerTable MakeTable(std::integer_sequence<int, I...>)
{
    return {FillerAt<I>()...};
}

constexpr SWTri_FillerTable kTable = MakeTable(std::make_integer_sequence<int, 128>{});

constexpr int CountEntries(Kind kind)
{
    int n = 0;
    for (int i = 0; i < 128; ++i)
        n += EntryAt(i).kind == kind;
    return n;
}

constexpr int CountDistinctFillers()
{
    int n = 0;
    for (int i = 0; i < 128; ++i) {
        bool seen = EntryAt(i).kind != Kind::Filler;
        for (int j = 0; j < i && !seen; ++j)
            seen = EntryAt(j) == EntryAt(i);
        n += !seen;
    }
    return n;
}

static_assert(CountEntries(Kind::Empty) == 16);
static_assert(CountEntries(Kind::Filler) + CountEntries(Kind::NoFill) == 112);
static_assert(CountDistinctFillers() == 55);
static_assert(EntryAt(48) == EntryAt(16) && EntryAt(101) == EntryAt(100) && EntryAt(15) == EntryAt(6));

} // namespace

void SWTri_NoFill(const SWTri_FixedVertex*, uint8_t*, int32_t, const SWTri_TextureInfo*, const SWTri_ConstColor*) {}

const SWTri_FillerTable& SWTri_Fillers() { return kTable; }

void SWTri_InitFillerTable() {}

int SWTri_FillerIndex(SWTri_Format format, bool T, bool A, bool V, bool C, bool B)
{
    int base = 0;
    switch (format) {
    case SWTri_Format::ARGB8888: base = 0; break;
    case SWTri_Format::RGB888: base = 32; break;
    case SWTri_Format::RGB565: base = 64; break;
    case SWTri_Format::RGB555: base = 96; break;
    default: return -1;
    }
    return base | int(T) << 4 | int(A) << 3 | int(V) << 2 | int(C) << 1 | int(B);
}

void SWTri_SelectFiller(bool T, bool A, bool V, bool C, const SWTri_FixedVertex* vertices, uint8_t* dest,
                        int32_t pitch, const SWTri_TextureInfo* texture, const SWTri_ConstColor* color,
                        SWTri_Format format, bool B, const SWTri_FillerTable& table)
{
    const int index = SWTri_FillerIndex(format, T, A, V, C, B);
    if (index >= 0 && table[std::size_t(index)])
        table[std::size_t(index)](vertices, dest, pitch, texture, color);
}

} // namespace Nubra
