#include "framework/app/ImageMemoryReport.h"

#include <algorithm>
#include <fstream>
#include <memory>

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextureData.h"
#include "framework/util/StringUtils.h"

namespace Nubra {
namespace {

constexpr int kThumbnailSide = 64;
constexpr int64_t kPaletteBytes = 1024;

std::string Number(int64_t value) { return WStringToString(CommaSeparate(value)); }

const char* TextureFormatName(int32_t format)
{
    switch (format) {
    case 1: return "A8R8G8B8";
    case 2: return "A4R4G4B4";
    case 4: return "R5G6B5";
    case 8: return "Palette8";
    default: return "";
    }
}

std::string PartCell(const char* label, int64_t bytes)
{
    return bytes ? std::string(label) + "<BR>" + Number(bytes) : "&nbsp;";
}

std::string FlagCell(const char* label, bool set) { return set ? label : "&nbsp;"; }

// Every line is flushed as it is written. A page that cannot be opened takes nothing.
class Page {
public:
    explicit Page(const std::string& path) : out_(path, std::ios::binary | std::ios::trunc) {}

    void Write(const std::string& text)
    {
        if (out_)
            out_ << text;
    }
    void Line(const std::string& text)
    {
        Write(text + "\n");
        if (out_)
            out_.flush();
    }
    void Cell(const std::string& content) { Line("<TD>" + content + "</TD>"); }

private:
    std::ofstream out_;
};

std::string LocalTimeText(std::time_t when)
{
    std::tm local{};
    char text[64] = {};
    if (!localtime_r(&when, &local) || !asctime_r(&local, text))
        return "\n";
    return text; // ends in its own line feed
}

struct ReportRow {
    MemoryImage* image;
    ImageMemoryUse use;
};

void WriteRow(Page& page, const ReportRow& row, const std::string& img, const std::string& thumb)
{
    const MemoryImage& image = *row.image;
    const ImageMemoryUse& use = row.use;
    page.Line("<TR>");
    page.Line("<TD><A HREF=" + img + "><IMG SRC=" + thumb + " WIDTH=" + Number(kThumbnailSide)
              + " HEIGHT=" + Number(kThumbnailSide) + "></A></TD>");
    page.Line("<TD ALIGN=RIGHT>" + StrFormat("%d x %d<BR>%s bytes", image.width, image.height, Number(use.Total()).c_str())
              + "</TD>");
    page.Cell(PartCell("mBits", use.bits));
    page.Cell(PartCell("Palletized", use.palette));
    page.Cell(PartCell("DDSurface", use.surface));
    page.Cell(image.d3dData ? std::string("Texture<BR>") + TextureFormatName(image.d3dData->format) + "<BR>"
                                  + Number(use.texture)
                            : "&nbsp;");
    page.Cell(FlagCell("Volatile", image.optionFlag));
    page.Cell(FlagCell("Forced", image.forcedMode));
    page.Cell(FlagCell("HasAlpha", image.hasAlpha));
    page.Cell(FlagCell("HasTrans", image.hasTrans));
    page.Cell(PartCell("NativeAlpha", use.native));
    page.Cell(PartCell("RLAlpha", use.rlAlpha));
    page.Cell(PartCell("RLAdditive", use.rlAdditive));
    page.Cell(image.filePath.empty() ? "&nbsp;" : image.filePath);
    page.Line("</TR>");
}

// The thumbnail and the full picture, both from a copy, so that rebuilding the pixels leaves
// the image itself as it was.
void WritePictures(const MemoryImage& image, ImageLib::Image& thumbnail, const std::string& imgPath,
                   const std::string& thumbPath)
{
    MemoryImage copy(image);
    const uint32_t* pixels = copy.GetBits();
    DrawThumbnail(pixels, copy.width, copy.height, thumbnail);
    ImageLib::WriteJPEGImage(thumbPath, thumbnail);
    if (auto full = ImageLib::Image::Create(copy.width, copy.height)) {
        std::copy_n(pixels, full->PixelCount(), full->GetBits());
        ImageLib::WritePNGImage(imgPath, *full);
    }
}

void WriteTotals(Page& page, const ImageMemoryUse& sums)
{
    page.Line("<TD>Totals</TD>");
    for (int64_t sum : {sums.Total(), sums.bits, sums.palette, sums.surface, sums.texture})
        page.Cell(Number(sum));
    for (int i = 0; i < 4; ++i)
        page.Cell("&nbsp;");
    for (int64_t sum : {sums.native, sums.rlAlpha, sums.rlAdditive})
        page.Cell(Number(sum));
    page.Cell("&nbsp;");
    page.Line("</TABLE></CENTER></BODY></HTML>");
}

} // namespace

ImageMemoryUse ImageMemoryUse::Of(const MemoryImage& image)
{
    const int64_t n = int64_t(std::max(image.width, 0)) * int64_t(std::max(image.height, 0));
    ImageMemoryUse use;
    use.bits = image.bits ? 4 * n : 0;
    use.surface = image.HasDisplaySurface() ? 4 * n : 0;
    use.palette = image.colorTable ? n + kPaletteBytes : 0;
    if (image.nativeAlphaData)
        use.native = image.colorTable ? kPaletteBytes : 4 * n;
    use.rlAlpha = image.rlAlphaData ? n : 0;
    use.rlAdditive = image.rlAdditiveData ? n : 0;
    use.texture = image.d3dData ? image.d3dData->textureMemory : 0;
    return use;
}

ImageMemoryUse& ImageMemoryUse::operator+=(const ImageMemoryUse& other)
{
    bits += other.bits;
    surface += other.surface;
    palette += other.palette;
    native += other.native;
    rlAlpha += other.rlAlpha;
    rlAdditive += other.rlAdditive;
    texture += other.texture;
    return *this;
}

void DrawThumbnail(const uint32_t* pixels, int width, int height, ImageLib::Image& thumbnail)
{
    const int side = thumbnail.GetWidth();
    uint32_t* out = thumbnail.GetBits();
    if (!pixels || width <= 0 || height <= 0) {
        std::fill_n(out, thumbnail.PixelCount(), 0u);
        return;
    }
    for (int y = 0; y < thumbnail.GetHeight(); ++y) {
        const int64_t row = int64_t((y + 0.5) * height) / side;
        for (int x = 0; x < side; ++x) {
            const int64_t column = int64_t((x + 0.5) * width) / side;
            *out++ = pixels[row * width + column];
        }
    }
}

void WriteImageMemoryReport(const std::vector<MemoryImage*>& images, const std::string& folder, std::time_t when)
{
    std::vector<ReportRow> rows;
    ImageMemoryUse sums;
    for (MemoryImage* image : images) {
        rows.push_back({image, ImageMemoryUse::Of(*image)});
        sums += rows.back().use;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ReportRow& a, const ReportRow& b) { return a.use.Total() > b.use.Total(); });

    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    Page page(dir + "imagelist.html");
    page.Line("<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>" + LocalTimeText(when) + "</B></FONT><BR>");
    page.Write("Total Image Allocation: " + Number(sums.Total()) + " bytes<BR>");
    page.Write("<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>");

    ImageLib::Image thumbnail(kThumbnailSide, kThumbnailSide);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string img = StrFormat("img%04d.png", int(i));
        const std::string thumb = StrFormat("thumb%04d.jpg", int(i));
        WriteRow(page, rows[i], img, thumb);
        WritePictures(*rows[i].image, thumbnail, dir + img, dir + thumb);
    }
    WriteTotals(page, sums);
}

} // namespace Nubra
