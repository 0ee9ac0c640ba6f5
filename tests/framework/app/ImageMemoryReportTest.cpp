// The developer's image memory report: the page against golden copies, the row order, the
// thumbnails and the files beside the page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/app/ImageMemoryReport.h"
#include "framework/app/NubraAppBase.h"
#include "Utf16File.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/TextureData.h"
#include "framework/util/PathUtils.h"
#include "framework/widgets/WidgetManager.h"

namespace {

using Nubra::MemoryImage;
namespace fs = std::filesystem;

constexpr std::time_t kReportTime = 1700000000; // Tue Nov 14 22:13:20 2023 UTC

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Golden(const std::string& name)
{
    const char* root = std::getenv("NUBRA_TEST_DATA");
    return ReadText(std::string(root ? root : ".") + "/framework/app/golden/" + name);
}

// An image of its own (no application) holding opaque pixels numbered from `first`.
std::unique_ptr<MemoryImage> Numbered(int width, int height, uint32_t first = 0)
{
    auto image = std::make_unique<MemoryImage>(nullptr);
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | (first + uint32_t(i));
    image->SetBits(pixels.data(), width, height, true);
    return image;
}

class ImageMemoryReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }

    std::string Write(const std::vector<MemoryImage*>& images)
    {
        Nubra::WriteImageMemoryReport(images, folder.File(""), kReportTime);
        return ReadText(folder.File("imagelist.html"));
    }

    fixtures::TempFolder folder{"image_report"};
};

TEST_F(ImageMemoryReportTest, AnEmptyRegistryGivesTheFrameAndZeroTotals)
{
    EXPECT_EQ(Write({}), Golden("imagelist_empty.html"));
}

TEST_F(ImageMemoryReportTest, EveryFormOfAnImageHasItsCell)
{
    auto bitsOnly = Numbered(100, 50);
    bitsOnly->filePath = "ui\\button.png";

    auto palettised = Numbered(100, 50);
    for (int i = 0; i < 100 * 50; ++i)
        palettised->bits[i] = 0xFF000000u | (i % 7);
    ASSERT_TRUE(palettised->Palletize());

    Nubra::TextureData textures;
    textures.textureMemory = 4096;
    textures.format = 2;
    auto textured = Numbered(4, 4);
    textured->d3dData = &textures;
    textured->SetOptionFlag(true);
    textured->SetImageMode(true, true);

    Nubra::NativeDisplay display;
    display.SetPixelFormat(32, 0xFF0000, 0xFF00, 0xFF);
    auto cached = Numbered(10, 10);
    cached->GetNativeAlphaData(&display);
    cached->GetRLAlphaData();
    cached->GetRLAdditiveData(&display);

    auto empty = std::make_unique<MemoryImage>(nullptr);

    const std::string page = Write({empty.get(), cached.get(), textured.get(), palettised.get(), bitsOnly.get()});
    textured->d3dData = nullptr;
    EXPECT_EQ(page, Golden("imagelist_forms.html"));

    // An empty image gets a thumbnail but no picture, which no writer takes.
    EXPECT_TRUE(fs::exists(folder.File("thumb0004.jpg")));
    EXPECT_FALSE(fs::exists(folder.File("img0004.png")));
}

TEST_F(ImageMemoryReportTest, EqualSizesKeepTheirOrderAndEachRowHasItsFiles)
{
    std::vector<std::unique_ptr<MemoryImage>> images;
    std::vector<MemoryImage*> order;
    for (int i = 0; i < 11; ++i) {
        images.push_back(Numbered(3, 2, uint32_t(i) << 8));
        images.back()->filePath = "tile" + std::to_string(i);
        order.push_back(images.back().get());
    }
    auto larger = Numbered(4, 4);
    larger->filePath = "large";
    order.push_back(larger.get());

    const std::string page = Write(order);
    size_t at = page.find("large");
    for (int i = 0; i < 11; ++i) {
        size_t next = page.find("<TD>tile" + std::to_string(i) + "</TD>");
        ASSERT_NE(next, std::string::npos);
        EXPECT_GT(next, at) << "tile" << i;
        at = next;
    }
    EXPECT_NE(page.find("<TD><A HREF=img0011.png><IMG SRC=thumb0011.jpg WIDTH=64 HEIGHT=64></A></TD>\n"
                        "<TD ALIGN=RIGHT>3 x 2<BR>24 bytes</TD>\n<TD>mBits<BR>24</TD>\n"),
              std::string::npos);

    // Row 4 is the fourth tile, written in full.
    auto picture = ImageLib::GetPNGImage(folder.File("img0004.png"));
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(std::equal(picture->GetBits(), picture->GetBits() + 6, images[3]->bits.get()));
    EXPECT_TRUE(fs::exists(folder.File("thumb0010.jpg")));
    EXPECT_TRUE(fs::exists(folder.File("img0010.png")));
}

TEST(ImageThumbnail, PixelsAreSampledAtTheCentresOfTheirCells)
{
    auto image = Numbered(640, 480);
    ImageLib::Image thumbnail(64, 64);
    Nubra::DrawThumbnail(image->bits.get(), 640, 480, thumbnail);
    auto source = [&](int x, int y) { return image->bits[size_t(y) * 640 + x]; };
    EXPECT_EQ(thumbnail.Row(0)[0], source(5, 3));
    EXPECT_EQ(thumbnail.Row(63)[63], source(635, 476));
    EXPECT_EQ(thumbnail.Row(10)[1], source(15, 78));

    // A picture smaller than the thumbnail repeats its pixels.
    auto small = Numbered(2, 1);
    Nubra::DrawThumbnail(small->bits.get(), 2, 1, thumbnail);
    EXPECT_EQ(thumbnail.Row(40)[31], small->bits[0]);
    EXPECT_EQ(thumbnail.Row(40)[32], small->bits[1]);

    Nubra::DrawThumbnail(nullptr, 0, 0, thumbnail);
    EXPECT_EQ(thumbnail.Row(0)[0], 0u);
}

// The data folder of the application's files moved to a folder of the test's own.
class ApplicationFiles : public ::testing::Test {
protected:
    ApplicationFiles() { Nubra::SetAppDataFolder(data.File("")); }
    ~ApplicationFiles() override { Nubra::SetAppDataFolder(previous_); }

    fixtures::TempFolder data{"image_files_app"};

private:
    const std::string previous_ = Nubra::GetAppDataFolder();
};

TEST_F(ApplicationFiles, TheImageReportGoesIntoAFreshDumpFolder)
{
    fs::create_directories(data.File("_dump"));
    std::ofstream(data.File("_dump/stale.txt")) << "old";
    {
        Nubra::NubraAppBase app;
        MemoryImage image(&app);
        image.Create(8, 8);
        image.GetBits();
        app.DumpProgramInfo();
        EXPECT_EQ(app.imageRegistry.size(), 1u); // the report's copies are gone again
    }

    EXPECT_FALSE(fs::exists(data.File("_dump/stale.txt")));
    const std::string page = ReadText(data.File("_dump/imagelist.html"));
    EXPECT_NE(page.find("Total Image Allocation: 256 bytes<BR>"), std::string::npos);
    EXPECT_TRUE(fs::exists(data.File("_dump/img0000.png")));
    EXPECT_TRUE(fs::exists(data.File("_dump/thumb0000.jpg")));
}

TEST_F(ApplicationFiles, ADumpFolderThatIsALinkKeepsWhatItLinksTo)
{
    fixtures::TempFolder elsewhere("image_report_elsewhere");
    std::ofstream(elsewhere.File("keep.txt")) << "mine";
    fs::create_directory_symlink(elsewhere.File(""), data.File("_dump"));
    {
        Nubra::NubraAppBase app;
        app.DumpProgramInfo();
    }
    EXPECT_EQ(ReadText(elsewhere.File("keep.txt")), "mine");
}

TEST_F(ApplicationFiles, ScreenshotsTakeTheNextFreeNumberAndShowEveryPixelOpaque)
{
    Nubra::NubraAppBase app;
    EXPECT_FALSE(app.TakeScreenshot()); // no screen yet
    MemoryImage screen(&app);
    const uint32_t pixels[] = {0x00112233, 0x80445566, 0xFF778899, 0x00000000};
    screen.SetBits(pixels, 2, 2, true);
    app.widgetManager->screenImage = &screen;
    fs::create_directories(data.File("_screenshots"));
    std::ofstream(data.File("_screenshots/0.png")) << "taken earlier";

    ASSERT_TRUE(app.TakeScreenshot());
    ASSERT_TRUE(app.TakeScreenshot());
    EXPECT_EQ(ReadText(data.File("_screenshots/0.png")), "taken earlier");
    EXPECT_TRUE(fs::exists(data.File("_screenshots/2.png")));
    auto shot = ImageLib::GetPNGImage(data.File("_screenshots/1.png"));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(shot->GetBits(), shot->GetBits() + 4),
              (std::vector<uint32_t>{0xFF112233, 0xFF445566, 0xFF778899, 0xFF000000}));
    app.widgetManager->screenImage = nullptr;
}

} // namespace
