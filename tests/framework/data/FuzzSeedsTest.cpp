#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make the XML reader's seed corpus.
TEST(FuzzSeeds, WriteTheXmlCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    std::filesystem::path folder = std::filesystem::path(root) / "xml";
    std::filesystem::create_directories(folder);
    const std::string seeds[] = {
        "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY e \"v>\">]>\n<ResourceManifest>\n"
        "  <Resources id=\"Init\">\n    <SetDefaults path=\"images\" idprefix=\"IMAGE_\"/>\n"
        "    <Image id=\"LOGO\" path=\"logo\" alphacolor=\"FF00FF\" rows=4 anim=\"loop\" framemap=\"0,1,2\"/>\n"
        "    <Font id=\"SYS\" path=\"!sys:Arial\" size=\"12\" bold/>\n    <!--comment-->\n  </Resources>\n"
        "</ResourceManifest>\n",
        "<a x=\"1 > 2\" y=z w/><b>text &lt;&amp;&foo; &nbsp;&cr;</b><![CDATA[<x>]]>",
        std::string("\xFF\xFE<\0a\0>\0\xAC\x20<\xD8\xB5\xDF<\0/\0a\0>\0", 22),
        "\xEF\xBB\xBF<a>caf\xC3\xA9 \xE9</a>",
    };
    int index = 0;
    for (const std::string& seed : seeds)
        std::ofstream(folder / ("seed" + std::to_string(index++)), std::ios::binary) << seed;
}
