// The resource manager over real files in a folder of the test's own: pictures written as PNG,
// an image font description, and resource files parsed from XML.
#include "framework/data/ResourceManager.h"
#include "framework/text/FontFixtures.h"
#include "framework/text/SysFont.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>

using namespace Nubra;

namespace {

// Counts how often each file is loaded into a new shared image.
struct CountingHost : fixtures::FakeFontHost {
    SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override
    {
        SharedImageRef image = StandaloneFontHost::GetSharedImage(fileName, variant, created);
        if (*created)
            ++loads[fileName];
        return image;
    }

    std::map<std::string, int> loads;
};

struct ResourceManagerTest : ::testing::Test {
    fixtures::TempFolder folder{"nubra_resources_test"};
    CountingHost host;
    NubraTest::FakeImageHost display;
    ResourceManager resources{&host, &display};

    // A picture of one colour, or of the given pixels in one row.
    void Picture(const std::string& name, int width, int height, uint32_t color)
    {
        ImageLib::Image picture(width, height);
        std::fill(picture.GetBits(), picture.GetBits() + picture.PixelCount(), color);
        ASSERT_TRUE(ImageLib::WritePNGImage(folder.File(name), picture));
    }
    std::string File(const std::string& name) const { return folder.File(name); }

    // Writes "res.xml": a manifest with group "G" holding the body after defaults that point
    // at the folder, and parses it.
    bool Parse(const std::string& body)
    {
        std::ofstream(File("res.xml")) << "<ResourceManifest>\n<Resources id=\"G\">\n<SetDefaults path=\""
                                       << File("") << "\"/>\n"
                                       << body << "\n</Resources>\n</ResourceManifest>\n";
        return resources.ParseResourcesFile(File("res.xml"));
    }
    bool ParseAndLoad(const std::string& body) { return Parse(body) && resources.LoadResources("G"); }

    MemoryImage* Image(const std::string& id) { return resources.GetImageThrow(id); }
};

TEST_F(ResourceManagerTest, IdsComeFromThePrefixAndTheFileName)
{
    Picture("logo.png", 2, 2, 0xFF102030);
    std::ofstream(File("res.xml")) << "<ResourceManifest><Resources id=\"G\">\n"
                                   << "<SetDefaults path=\"" << File("") << "//\" idprefix=\"IMG_\\\"/>\n"
                                   << "<Image path=\"logo.png\"/>\n<Image id=\"SECOND\" path=\"logo\"/>\n"
                                   << "<Image path=\"!program:canvas\"/>\n</Resources></ResourceManifest>";
    ASSERT_TRUE(resources.ParseResourcesFile(File("res.xml"))) << resources.GetErrorText();
    ASSERT_TRUE(resources.LoadResources("G")) << resources.GetErrorText();
    EXPECT_TRUE(resources.IsGroupLoaded("G"));
    EXPECT_EQ(Image("IMG_logo")->filePath, File("logo.png")); // exactly one slash after the folder
    EXPECT_EQ(Image("IMG_SECOND")->filePath, File("logo"));
    EXPECT_EQ(host.loads.count("!program:canvas"), 0u); // made by the program, never loaded
    EXPECT_THROW(resources.GetImageThrow("IMG_!program:canvas"), ResourceManagerException);
    resources.SetAllowMissingProgramImages(true);
    EXPECT_EQ(Image("IMG_!program:canvas"), nullptr);
}

TEST_F(ResourceManagerTest, AnErrorNamesItsLineAndFile)
{
    std::ofstream out(File("res.xml"));
    out << "<ResourceManifest>\n<Resources id=\"G\">\n";
    for (int line = 3; line < 12; ++line)
        out << "<!-- line " << line << " -->\n";
    out << "<Image id=\"nopath\"/>\n</Resources>\n</ResourceManifest>\n";
    out.close();
    EXPECT_FALSE(resources.ParseResourcesFile(File("res.xml")));
    EXPECT_EQ(resources.GetErrorText(), "No path specified. on Line 12 in File '" + File("res.xml") + "'");
    EXPECT_TRUE(resources.HadError());

    ResourceManager other(&host, &display);
    EXPECT_FALSE(other.ParseResourcesFile(File("none.xml")));
    EXPECT_EQ(other.GetErrorText(), "Failed to open resource file: " + File("none.xml"));
}

TEST_F(ResourceManagerTest, ParseErrors)
{
    struct Case {
        const char* body;
        const char* error;
    } cases[] = {
        {"<Image path=\"a\"/>\n<Image path=\"a\"/>", "Resource already defined. on Line 5"},
        {"<Image path=\"a\" anim=\"bounce\"/>", "Invalid animation type. on Line 4"},
        {"<Font path=\"!sys:Arial\"/>", "SysFont needs point size on Line 4"},
        {"<Foo/>", "Invalid Section 'Foo' on Line 4"},
        {"stray words <Image path=\"a\"/>", "Element Not Expected 'stray words' on Line 4"},
        {"<Image path=\"a\">\n<Image path=\"b\"/></Image>", "Unexpected element found. on Line 5"},
        {"<Image path=\"a\"><!-- no --></Image>", "Unexpected element found. on Line 4"},
        {"<Image path=\"a\">", "End 'Resources' Doesn't Match Start 'Image' on Line 5"},
    };
    for (const Case& c : cases) {
        ResourceManager fresh(&host, &display);
        std::ofstream(File("res.xml")) << "<ResourceManifest>\n<Resources id=\"G\">\n<SetDefaults path=\"x\"/>\n"
                                       << c.body << "\n</Resources>\n</ResourceManifest>\n";
        EXPECT_FALSE(fresh.ParseResourcesFile(File("res.xml")));
        EXPECT_EQ(fresh.GetErrorText(), std::string(c.error) + " in File '" + File("res.xml") + "'") << c.body;
    }
    std::ofstream(File("res.xml")) << "<ResourceManifest><Other/></ResourceManifest>";
    EXPECT_FALSE(resources.ParseResourcesFile(File("res.xml")));
    EXPECT_EQ(resources.GetErrorText(), "Invalid Section 'Other' on Line 1 in File '" + File("res.xml") + "'");
}

TEST_F(ResourceManagerTest, AnimationsAndCelGrids)
{
    Picture("strip.png", 4, 4, 0xFF00FF00);
    ASSERT_TRUE(ParseAndLoad(R"(<Image id="LOOP" path="strip" rows="4" cols="1" anim="loop"/>
        <Image id="ONCE" path="strip" variant="b" rows="3" anim="once" framedelay="5" perframedelay="0,20"
               framemap="2,1,0,1" enddelay="9"/>
        <Image id="PING" path="strip" variant="c" cols="3" anim="pingpong"/>
        <Image id="STILL" path="strip" variant="d" rows="2" anim="none"/>
        <Image id="HUGE" path="strip" variant="e" rows="2000000000" cols="0" anim="loop" enddelay="5"/>)"))
        << resources.GetErrorText();
    MemoryImage* loop = Image("LOOP");
    ASSERT_TRUE(loop->animInfo);
    EXPECT_EQ(loop->animInfo->animType, AnimInfo::Loop);
    EXPECT_EQ(loop->animInfo->numCels, 4);
    EXPECT_EQ(loop->numRows, 4);
    EXPECT_EQ(loop->numCols, 1);

    const AnimInfo& once = *Image("ONCE")->animInfo;
    EXPECT_EQ(once.numCels, 4);
    EXPECT_EQ(once.perFrameDelay, std::vector<int32_t>({5, 20, 5, 9}));
    EXPECT_EQ(once.totalAnimTime, 39);
    EXPECT_EQ(Image("PING")->animInfo->frameMap, std::vector<int32_t>({0, 1, 2, 1}));
    EXPECT_EQ(Image("STILL")->animInfo, nullptr);
    EXPECT_EQ(Image("STILL")->numRows, 2);
    // Cel counts stay within what an image can hold.
    EXPECT_EQ(Image("HUGE")->numRows, ImageLib::kMaxImageSide);
    EXPECT_EQ(Image("HUGE")->numCols, 1);
}

TEST_F(ResourceManagerTest, GroupsLoadEachImageOnceAndHandOutByIdOnly)
{
    Picture("a.png", 2, 2, 0xFF0000FF);
    Picture("b.png", 2, 2, 0xFFFF0000);
    ASSERT_TRUE(Parse("<Image path=\"a\"/><Image path=\"b\"/><Sound path=\"click\"/>"));
    ASSERT_TRUE(resources.LoadResources("G"));
    ASSERT_TRUE(resources.LoadResources("G"));
    EXPECT_EQ(host.loads, (std::map<std::string, int>{{File("a"), 1}, {File("b"), 1}}));
    EXPECT_EQ(resources.GetSoundThrow("click"), -1);
    EXPECT_TRUE(resources.LoadResources("unknown"));

    try {
        resources.GetImageThrow("x");
        FAIL() << "no exception";
    } catch (const ResourceManagerException& e) {
        EXPECT_STREQ(e.what(), "Image resource not found: x");
    }
    // Only the first error is kept, but each exception names its own resource.
    try {
        resources.GetFontThrow("y");
        FAIL() << "no exception";
    } catch (const ResourceManagerException& e) {
        EXPECT_STREQ(e.what(), "Font resource not found: y");
    }
    EXPECT_EQ(resources.GetErrorText(), "Image resource not found: x");

    resources.DeleteResources("G");
    EXPECT_FALSE(resources.IsGroupLoaded("G"));
    EXPECT_THROW(resources.GetImageThrow("a"), ResourceManagerException);
    ASSERT_TRUE(resources.LoadResources("G")); // a deleted group loads again
    EXPECT_EQ(Image("a")->GetBits()[0], 0xFF0000FFu);
}

TEST_F(ResourceManagerTest, AFailedLoadKeepsWhatLoadedBeforeIt)
{
    Picture("a.png", 2, 2, 0xFF0000FF);
    ASSERT_TRUE(Parse("<Image path=\"a\"/><Image path=\"missing\"/>"));
    EXPECT_FALSE(resources.LoadResources("G"));
    EXPECT_EQ(resources.GetErrorText(), "Failed to load image: " + File("missing"));
    EXPECT_FALSE(resources.IsGroupLoaded("G"));
    EXPECT_NE(Image("a"), nullptr);
}

TEST_F(ResourceManagerTest, RedefinitionUpdatesTheFirstRecordWhenAllowed)
{
    Picture("a.png", 2, 2, 0xFF0000FF);
    Picture("b.png", 2, 2, 0xFFFF0000);
    const std::string body = "<Image id=\"PIC\" path=\"a\" nopal/><Image id=\"PIC\" path=\"b\" rows=\"2\"/>";
    EXPECT_FALSE(Parse(body));
    EXPECT_TRUE(resources.GetErrorText().starts_with("Resource already defined."));

    ResourceManager lenient(&host, &display);
    lenient.SetAllowRedefinitions(true);
    std::ofstream(File("res.xml")) << "<Resources id=\"G\"><SetDefaults path=\"" << File("") << "\"/>" << body
                                   << "</Resources>";
    ASSERT_TRUE(lenient.ParseResourcesFile(File("res.xml"))) << lenient.GetErrorText();
    ASSERT_TRUE(lenient.LoadResources("G")) << lenient.GetErrorText();
    MemoryImage* image = lenient.GetImageThrow("PIC");
    EXPECT_EQ(image->filePath, File("b"));
    EXPECT_EQ(image->numRows, 2);
    EXPECT_NE(image->colorTable, nullptr); // "nopal" went with the first definition
    EXPECT_EQ(host.loads.count(File("a")), 0u);
}

TEST_F(ResourceManagerTest, ImageOptionsReachTheImage)
{
    Picture("a.png", 2, 2, 0xFF0000FF);
    display.accelerated = true;
    ASSERT_TRUE(ParseAndLoad(R"(<Image id="PAL" path="a"/>
        <Image id="FLAGS" path="a" variant="1" nopal a4r4g4b4 a8r8g8b8 minsubdivide nobits2d/>
        <Image id="GONE" path="a" variant="2" nobits3d/>)"))
        << resources.GetErrorText();
    EXPECT_NE(Image("PAL")->colorTable, nullptr);
    EXPECT_FALSE(Image("PAL")->purgeRequested);
    MemoryImage* flags = Image("FLAGS");
    EXPECT_EQ(flags->colorTable, nullptr);
    EXPECT_EQ(flags->d3dFlags, 8u | 4u | 1u);
    EXPECT_FALSE(flags->purgeRequested); // nobits2d only without acceleration
    EXPECT_TRUE(Image("GONE")->purgeRequested);
}

TEST_F(ResourceManagerTest, AlphaImagesAndGridsGiveTheAlphaChannel)
{
    ImageLib::Image colour(4, 2);
    for (size_t i = 0; i < colour.PixelCount(); ++i)
        colour.GetBits()[i] = 0xFF000000 | uint32_t(i);
    ASSERT_TRUE(ImageLib::WritePNGImage(File("pic.png"), colour));
    ImageLib::Image grid(2, 2);
    for (size_t i = 0; i < grid.PixelCount(); ++i)
        grid.GetBits()[i] = 0xFF000000 | uint32_t(0x10 * (i + 1)) * 0x010101;
    ASSERT_TRUE(ImageLib::WritePNGImage(File("grid.png"), grid));
    Picture("full.png", 4, 2, 0xFF808080);
    ASSERT_TRUE(ParseAndLoad(R"(<Image id="GRID" path="pic" cols="2" alphagrid="grid.png" nopal/>
        <Image id="FULL" path="pic" variant="f" alphaimage="full.png" nopal/>)"))
        << resources.GetErrorText();
    std::vector<uint32_t> alphas;
    for (int i = 0; i < 8; ++i)
        alphas.push_back(Image("GRID")->GetBits()[i] >> 24);
    EXPECT_EQ(alphas, std::vector<uint32_t>({0x10, 0x20, 0x10, 0x20, 0x30, 0x40, 0x30, 0x40}));
    EXPECT_EQ(Image("GRID")->GetBits()[5], 0x40000005u);
    EXPECT_TRUE(Image("GRID")->hasAlpha);
    EXPECT_EQ(Image("FULL")->GetBits()[3], 0x80000003u);

    struct Case {
        const char* body;
        std::string error;
    } cases[] = {
        {R"(<Image path="pic" alphaimage="grid.png"/>)",
         "AlphaImage size mismatch between " + File("pic") + " and " + File("grid.png")},
        {R"(<Image path="pic" alphagrid="grid.png" cols="4"/>)",
         "GridAlphaImage size mismatch between " + File("pic") + " and " + File("grid.png")},
        {R"(<Image path="pic" alphaimage="none.png"/>)", "Failed to load image: " + File("none.png")},
    };
    for (const Case& c : cases) {
        CountingHost freshHost;
        ResourceManager fresh(&freshHost, &display);
        std::ofstream(File("res.xml")) << "<Resources id=\"G\"><SetDefaults path=\"" << File("") << "\"/>" << c.body
                                       << "</Resources>";
        ASSERT_TRUE(fresh.ParseResourcesFile(File("res.xml")));
        EXPECT_FALSE(fresh.LoadResources("G"));
        EXPECT_EQ(fresh.GetErrorText(), c.error);
    }
}

TEST_F(ResourceManagerTest, AlphaColourColoursPicturesThatAreOnlyAlpha)
{
    Picture("_glow.png", 1, 1, 0xFF808080);
    ASSERT_TRUE(ParseAndLoad(R"(<Image id="RED" path="glow" alphacolor="FF0000" nopal/>
        <Image id="WHITE" path="glow" variant="w" nopal/>)"))
        << resources.GetErrorText();
    EXPECT_EQ(Image("RED")->GetBits()[0], 0x80FF0000u);
    EXPECT_EQ(Image("WHITE")->GetBits()[0], 0x80FFFFFFu);
    EXPECT_EQ(ImageLib::GetAlphaOnlyColor(), 0xFFFFFFu);
}

TEST_F(ResourceManagerTest, FontsFromTheSystemFromDescriptionsAndByReference)
{
    fixtures::WriteGlyphSheet(File("sheet.png"));
    fixtures::WriteUtf16File(File("font.txt"), fixtures::kMainFont);
    ASSERT_TRUE(ParseAndLoad(R"(<Font id="SYS" path="!sys:Liberation Sans" size="12" bold shadow/>
        <Font id="COPY" path="!ref:SYS"/>
        <Font id="MAIN" path="font.txt" tags="bold, it"/>)"))
        << resources.GetErrorText();
    auto* sys = dynamic_cast<SysFont*>(resources.GetFontThrow("SYS"));
    ASSERT_NE(sys, nullptr);
    EXPECT_TRUE(sys->drawShadow);
    EXPECT_GT(sys->GetHeight(), 0);
    Font* copy = resources.GetFontThrow("COPY");
    EXPECT_NE(copy, sys);
    EXPECT_EQ(copy->GetHeight(), sys->GetHeight());
    auto* main = dynamic_cast<ImageFont*>(resources.GetFontThrow("MAIN"));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->tags, std::vector<std::string>({"BOLD", "IT"}));
    EXPECT_EQ(main->StringWidth(L"AB"), 15);
    EXPECT_THROW(resources.GetFontThrow("NONE"), ResourceManagerException);
}

TEST_F(ResourceManagerTest, FontLoadErrors)
{
    fixtures::WriteUtf16File(File("bad.txt"), L"NoSuchCommand;");
    struct Case {
        const char* body;
        std::string error;
    } cases[] = {
        {R"(<Font path="!ref:nope"/>)", "Ref font not found: nope"},
        {R"(<Font id="SELF" path="!ref:SELF"/>)", "Ref font not found: SELF"},
        {R"(<Font path="font.txt" image="sheet"/>)", "Failed to load font: " + File("font.txt")},
        {R"(<Font path="bad.txt"/>)", "Failed to load font: " + File("bad.txt")},
    };
    for (const Case& c : cases) {
        CountingHost freshHost;
        ResourceManager fresh(&freshHost, &display);
        std::ofstream(File("res.xml")) << "<Resources id=\"G\"><SetDefaults path=\"" << File("") << "\"/>" << c.body
                                       << "</Resources>";
        ASSERT_TRUE(fresh.ParseResourcesFile(File("res.xml"))) << fresh.GetErrorText();
        EXPECT_FALSE(fresh.LoadResources("G"));
        EXPECT_EQ(fresh.GetErrorText(), c.error);
    }
}

} // namespace
