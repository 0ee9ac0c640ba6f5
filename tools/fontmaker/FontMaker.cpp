// Makes an image font from an installed font: draws the characters into a glyph sheet (white,
// the coverage as alpha), writes a font description for it, then loads the description back
// as an image font and checks every advance and the metrics.
//
//   fontmaker --family "Liberation Sans" --size 16 --out data/fonts/sans16
//             [--bold] [--italic] [--shadow] [--chars "characters"]
//
// writes data/fonts/sans16.png and data/fonts/sans16.txt. The characters default to printable
// ASCII and Latin-1. --shadow adds a layer "Shadow" one pixel right and down, drawn first in
// translucent black; the tag NOSHADOW turns it off.
#include "framework/graphics/ImageLib.h"
#include "framework/text/FontData.h"
#include "framework/text/ImageFont.h"
#include "framework/text/StandaloneFontHost.h"
#include "framework/text/SysFont.h"
#include "framework/util/PathUtils.h"
#include "platform/FontFace.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSheetWidth = 512;
constexpr int kGap = 1; // between cells, so that scaled glyphs do not pick up their neighbours
constexpr int kItemsPerLine = 12;

struct Options {
    std::string family;
    int pointSize = 0;
    std::string out;
    bool bold = false;
    bool italic = false;
    bool shadow = false;
    std::u32string chars;
};

// One character and where its glyph sits in the sheet.
struct Cell {
    char32_t c;
    const plat::Glyph* glyph;
    int x = 0, y = 0;
};

std::u32string DecodeUtf8(const std::string& text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        char32_t c = extra ? byte & (0x3F >> extra) : byte;
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out += c;
        i += size_t(extra) + 1;
    }
    return out;
}

std::u32string DefaultChars()
{
    std::u32string chars;
    for (char32_t c = 32; c < 127; ++c)
        chars += c;
    for (char32_t c = 160; c < 256; ++c)
        chars += c;
    return chars;
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--family" && hasValue)
            options->family = argv[++i];
        else if (arg == "--size" && hasValue)
            options->pointSize = std::atoi(argv[++i]);
        else if (arg == "--out" && hasValue)
            options->out = argv[++i];
        else if (arg == "--chars" && hasValue)
            options->chars = DecodeUtf8(argv[++i]);
        else if (arg == "--bold")
            options->bold = true;
        else if (arg == "--italic")
            options->italic = true;
        else if (arg == "--shadow")
            options->shadow = true;
        else
            return false;
    }
    if (options->chars.empty())
        options->chars = DefaultChars();
    std::sort(options->chars.begin(), options->chars.end());
    options->chars.erase(std::unique(options->chars.begin(), options->chars.end()), options->chars.end());
    // Descriptions hold 16-bit characters; control characters and the end-of-file value have
    // no place in them.
    std::erase_if(options->chars, [](char32_t c) { return c < 32 || c >= 0xFFFF; });
    return !options->family.empty() && options->pointSize > 0 && !options->out.empty();
}

// Packs the glyphs with ink in rows of the sheet; returns the sheet's height.
int Layout(std::vector<Cell>& cells)
{
    int x = 0, y = 0, rowHeight = 0;
    for (Cell& cell : cells) {
        const plat::Glyph& g = *cell.glyph;
        if (g.width == 0 || g.rows == 0)
            continue;
        if (x > 0 && x + g.width > kSheetWidth) {
            x = 0;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        cell.x = x;
        cell.y = y;
        x += g.width + kGap;
        rowHeight = std::max(rowHeight, g.rows);
    }
    return y + rowHeight;
}

bool WriteSheet(const std::string& path, const std::vector<Cell>& cells, int height)
{
    int width = 1;
    for (const Cell& cell : cells)
        width = std::max(width, cell.x + cell.glyph->width);
    auto sheet = ImageLib::Image::Create(width, std::max(height, 1));
    if (!sheet)
        return false;
    std::fill_n(sheet->GetBits(), sheet->PixelCount(), 0x00FFFFFFu);
    for (const Cell& cell : cells) {
        const plat::Glyph& g = *cell.glyph;
        for (int row = 0; row < g.rows; ++row)
            for (int col = 0; col < g.width; ++col)
                sheet->Row(cell.y + row)[cell.x + col] = (uint32_t(g.coverage[size_t(row) * g.width + col]) << 24) | 0xFFFFFF;
    }
    return ImageLib::WritePNGImage(path, *sheet);
}

// A character as a quoted token of the description language.
std::wstring Quoted(char32_t c)
{
    if (c == U'\'')
        return L"\"'\"";
    if (c == U'\\')
        return L"'\\\\'";
    return L"'" + std::wstring(1, wchar_t(c)) + L"'";
}

// "(a, b, ...)" with a line break every few items.
template <typename Format>
std::wstring List(const std::vector<Cell>& cells, Format format)
{
    std::wstring text = L"(";
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += i % kItemsPerLine == 0 ? L",\n    " : L", ";
        text += format(cells[i]);
    }
    return text + L")";
}

std::wstring Number(int value) { return std::to_wstring(value); }

std::wstring Description(const Options& options, const plat::FontFace& face, const std::vector<Cell>& cells,
                         const std::string& sheetName)
{
    std::vector<Cell> inked;
    std::copy_if(cells.begin(), cells.end(), std::back_inserter(inked),
                 [](const Cell& cell) { return cell.glyph->width > 0 && cell.glyph->rows > 0; });
    auto chars = [](const Cell& cell) { return Quoted(cell.c); };
    const std::wstring size = Number(options.pointSize);

    std::wstring text = L"# " + std::wstring(options.family.begin(), options.family.end()) + L" " + size +
                        L" points, made by fontmaker\n";
    text += L"SetDefaultPointSize " + size + L";\n";
    text += L"CreateLayer Main;\n";
    text += L"LayerSetImage Main '" + std::wstring(sheetName.begin(), sheetName.end()) + L"';\n";
    text += L"LayerSetPointSize Main " + size + L";\n";
    text += L"LayerSetAscent Main " + Number(face.Ascent()) + L";\n";
    text += L"LayerSetHeight Main " + Number(face.Ascent() + face.Descent()) + L";\n";
    text += L"LayerSetCharWidths Main\n    " + List(cells, chars) + L"\n    " +
            List(cells, [](const Cell& cell) { return Number(cell.glyph->advance); }) + L";\n";
    text += L"LayerSetImageMap Main\n    " + List(inked, chars) + L"\n    " + List(inked, [](const Cell& cell) {
                return L"(" + Number(cell.x) + L", " + Number(cell.y) + L", " + Number(cell.glyph->width) + L", " +
                       Number(cell.glyph->rows) + L")";
            }) + L";\n";
    // A glyph's cell is its ink: it sits `left` right of the pen and its top `top` above the
    // baseline, which the layer puts `ascent` below the line's top.
    text += L"LayerSetCharOffsets Main\n    " + List(inked, chars) + L"\n    " + List(inked, [&](const Cell& cell) {
                return L"(" + Number(cell.glyph->left) + L", " + Number(face.Ascent() - cell.glyph->top) + L")";
            }) + L";\n";
    if (options.shadow) {
        text += L"CreateLayerFrom Shadow Main;\n";
        text += L"LayerSetOffset Shadow (1, 1);\n";
        text += L"LayerSetColorMult Shadow (0, 0, 0, 0.6);\n";
        text += L"LayerSetBaseOrder Shadow -1;\n";
        text += L"LayerExcludeTags Shadow ('NOSHADOW');\n";
    }
    return text;
}

bool WriteUtf16(const std::string& path, const std::wstring& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (wchar_t c : text)
        out.put(char(c & 0xFF)).put(char((c >> 8) & 0xFF));
    return bool(out.flush());
}

// Reads the description back as the game would and compares it with the face.
bool Verify(const std::string& path, const plat::FontFace& face, const std::vector<Cell>& cells)
{
    Nubra::StandaloneFontHost host;
    Nubra::ImageFont font(&host, path);
    if (!font.fontData->initialized) {
        std::fprintf(stderr, "fontmaker: %s does not load\n", path.c_str());
        return false;
    }
    bool ok = font.GetAscent() == face.Ascent() && font.GetHeight() == face.Ascent() + face.Descent();
    std::wstring all;
    int advances = 0;
    for (const Cell& cell : cells) {
        ok = ok && font.CharWidth(wchar_t(cell.c)) == cell.glyph->advance;
        all += wchar_t(cell.c);
        advances += cell.glyph->advance;
    }
    ok = ok && font.StringWidth(all) == advances;
    if (!ok)
        std::fprintf(stderr, "fontmaker: %s measures differently from the face\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: fontmaker --family NAME --size POINTS --out PATH [--bold] [--italic] "
                             "[--shadow] [--chars CHARACTERS]\n");
        return 2;
    }
    auto face = plat::FontFace::Open(options.family, Nubra::SysFont::PointsToPixels(options.pointSize, 96),
                                     options.bold, options.italic);
    if (!face) {
        std::fprintf(stderr, "fontmaker: no font face could be loaded\n");
        return 1;
    }

    std::vector<Cell> cells;
    for (char32_t c : options.chars)
        cells.push_back({c, &face->GlyphFor(c)});
    int sheetHeight = Layout(cells);

    const std::string sheetPath = options.out + ".png", descPath = options.out + ".txt";
    if (!Nubra::GetFileDir(options.out).empty())
        Nubra::MkDir(Nubra::GetFileDir(options.out));
    if (!WriteSheet(sheetPath, cells, sheetHeight) ||
        !WriteUtf16(descPath, Description(options, *face, cells, Nubra::GetFileName(sheetPath)))) {
        std::fprintf(stderr, "fontmaker: cannot write %s\n", options.out.c_str());
        return 1;
    }
    if (!Verify(descPath, *face, cells))
        return 1;
    std::printf("fontmaker: %s (%s) as %s and %s, %zu characters\n", face->FamilyName().c_str(),
                face->FilePath().c_str(), sheetPath.c_str(), descPath.c_str(), cells.size());
    return 0;
}
