// libFuzzer harness for font descriptions: each input is a description file, loaded as an
// image font whose every layer image is one small sheet, then measured and drawn at two sizes.
#include "FuzzInput.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/ImageFont.h"
#include "framework/text/ImageFontHost.h"

#include <string>

namespace {

// Serves one 32 x 32 sheet of varied alpha for any file name; pop-ups go nowhere.
class OneSheetHost : public Nubra::ImageFontHost {
public:
    OneSheetHost()
    {
        sheet_.Create(32, 32);
        uint32_t* bits = sheet_.GetBits();
        for (uint32_t i = 0; i < 32 * 32; ++i)
            bits[i] = ((i * 37) & 0xFF) << 24 | 0xFFFFFF;
        sheet_.BitsChanged();
        shared_.image = &sheet_;
    }

    Nubra::SharedImageRef GetSharedImage(const std::string&, const std::string&, bool* created) override
    {
        *created = false;
        return Nubra::SharedImageRef(&shared_);
    }
    void PopupW(const std::wstring&) override {}

private:
    Nubra::MemoryImage sheet_;
    Nubra::SharedImage shared_;
};

void MeasureAndDraw(Nubra::ImageFont& font, Nubra::Graphics& g)
{
    const std::wstring sample = L"AVA fox, \u00C4 0123 'x' \"y\" \\";
    font.StringWidth(sample);
    font.GetLineSpacing();
    font.DrawString(&g, 2, 20, sample, Nubra::Color(200, 100, 50), Nubra::Rect());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = fuzz::InputPath(".txt");
    static OneSheetHost host;
    if (!fuzz::WriteInput(path, data, size))
        return 0;

    Nubra::MemoryImage canvas;
    canvas.Create(64, 32);
    Nubra::Graphics g(&canvas);
    Nubra::ImageFont font(&host, path);
    MeasureAndDraw(font, g);
    font.SetScale(1.5);
    font.SetPointSize(font.GetDefaultPointSize() + 3);
    font.AddTag("bold");
    MeasureAndDraw(font, g);
    return 0;
}
