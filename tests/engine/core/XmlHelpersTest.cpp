#include "engine/core/XmlHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/core/Log.h"
#include "Utf16File.h"

namespace {

// A document parsed from text, for the reader tests.
XmlDocument Parse(const std::string& text)
{
    XmlDocument document = CreateXmlDocument();
    EXPECT_TRUE(LoadXmlBuffer(text.data(), text.size(), *document)) << text;
    return document;
}

pugi::xml_node Element(const XmlDocument& document) { return document->document_element(); }

// One element whose attribute "v" holds `value`.
XmlDocument WithValue(const std::string& value)
{
    XmlDocument document = CreateXmlDocument();
    document->append_child("e").append_attribute("v").set_value(value.c_str());
    return document;
}

std::string Encode(const std::u32string& text, const std::string& form)
{
    std::string bytes;
    auto unit16 = [&](unsigned u) {
        if (form == "utf16le")
            bytes += {char(u & 0xFF), char(u >> 8)};
        else
            bytes += {char(u >> 8), char(u & 0xFF)};
    };
    if (form == "utf8bom")
        bytes = "\xEF\xBB\xBF";
    if (form == "utf16le")
        bytes = "\xFF\xFE";
    if (form == "utf16be")
        bytes = "\xFE\xFF";
    for (char32_t c : text) {
        if (form.starts_with("utf16")) {
            if (c >= 0x10000) {
                unit16(0xD800 + ((c - 0x10000) >> 10));
                unit16(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                unit16(c);
            }
        } else if (c < 0x80) {
            bytes += char(c);
        } else if (c < 0x800) {
            bytes += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            bytes += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
        } else {
            bytes += {char(0xF0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3F)), char(0x80 | ((c >> 6) & 0x3F)),
                      char(0x80 | (c & 0x3F))};
        }
    }
    return bytes;
}

TEST(XmlHelpers, EveryByteOrderMarkLoadsTheSameDocumentFromAFile)
{
    const std::u32string text = U"<root><item name=\"Caf\u00e9 \U0001D11E\">x<b>y</b></item></root>";
    fixtures::TempFolder folder("xml_boms");
    for (const char* form : {"utf8", "utf8bom", "utf16le", "utf16be"}) {
        SCOPED_TRACE(form);
        const std::string path = folder.File(std::string(form) + ".xml");
        std::ofstream(path, std::ios::binary) << Encode(text, form);

        XmlDocument document = OpenXmlFile(path.c_str());
        ASSERT_TRUE(document);
        pugi::xml_node item = XmlSelectNode(Element(document), "item");
        std::wstring name;
        EXPECT_TRUE(XmlGetWideString(item, "name", name));
        EXPECT_EQ(name, L"Caf\u00e9 \U0001D11E");
        std::string content;
        EXPECT_TRUE(GetNodeText(item, XmlTextKind::Text, content));
        EXPECT_EQ(content, "xy");
    }
}

TEST(XmlHelpers, MissingShortAndMalformedFilesFailWithoutADocument)
{
    EXPECT_EQ(OpenXmlFile("no/such/file.xml"), nullptr);

    pugi::xml_document document;
    const unsigned char halfMark[] = {0xEF, 0xBB};
    EXPECT_FALSE(LoadXmlBuffer(halfMark, sizeof halfMark, document));
    const unsigned char oddUtf16[] = {0xFF, 0xFE, '<', 0, 'a', 0, '/', 0, '>'};
    EXPECT_FALSE(LoadXmlBuffer(oddUtf16, sizeof oddUtf16, document));
    const std::string unclosed = "<root><a></root>";
    EXPECT_FALSE(LoadXmlBuffer(unclosed.data(), unclosed.size(), document));
}

TEST(XmlHelpers, NumbersParseAsTheLoadersExpect)
{
    struct IntCase {
        const char* text;
        int expected;
    };
    for (const IntCase& c : std::vector<IntCase>{{"12ab", 12}, {"+5", 0}, {"-7", -7}, {"", 0}, {"-", 0},
                                                 {"99999999999", INT_MAX}, {"-99999999999", INT_MIN}}) {
        int value = 1234;
        EXPECT_TRUE(XmlGetInt(Element(WithValue(c.text)), "v", value));
        EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
    }

    struct FloatCase {
        const char* text;
        float expected;
    };
    for (const FloatCase& c : std::vector<FloatCase>{{"3", 3.0f},
                                                     {"-2.25", -2.25f},
                                                     {"1.05", 1.05f},
                                                     {"-0.5", -0.5f},
                                                     {"-1.5", -1.5f},
                                                     {"1e3", 1.0f},
                                                     {"2.5px", 2.5f},
                                                     {"0.12345678901234567890123", 0.12345679f}}) {
        float value = 99.0f;
        EXPECT_TRUE(XmlGetFloat(Element(WithValue(c.text)), "v", value));
        EXPECT_FLOAT_EQ(value, c.expected) << '"' << c.text << '"';
    }

    unsigned count = 0;
    EXPECT_TRUE(XmlGetIntByName(Element(WithValue("-3")), "v", count));
    EXPECT_EQ(count, 0u);
}

TEST(XmlHelpers, BooleansCompareWithTrueThenAsNumbers)
{
    struct Case {
        const char* text;
        bool full;    // XmlGetBool
        bool numeric; // XmlGetBoolA
    };
    for (const Case& c : std::vector<Case>{{"1", true, true},
                                           {"2", true, true},
                                           {"0", false, false},
                                           {"TRUE", false, false},
                                           {"", true, false},
                                           {"tr", true, false},
                                           {"true", true, false},
                                           {"trueX", true, false},
                                           {"yes", false, false},
                                           {"false", false, false}}) {
        XmlDocument document = WithValue(c.text);
        bool full = !c.full, numeric = !c.numeric;
        EXPECT_TRUE(XmlGetBool(Element(document), "v", full));
        EXPECT_TRUE(XmlGetBoolA(Element(document), "v", numeric));
        EXPECT_EQ(full, c.full) << '"' << c.text << '"';
        EXPECT_EQ(numeric, c.numeric) << '"' << c.text << '"';
    }
}

TEST(XmlHelpers, LongTextsArriveWhole)
{
    const std::string text(5000, 'x');
    std::wstring wide;
    std::string narrow;
    EXPECT_TRUE(XmlGetWideString(Element(WithValue(text)), "v", wide));
    EXPECT_TRUE(XmlGetStringA(Element(WithValue(text)), "v", narrow));
    EXPECT_EQ(wide, std::wstring(5000, L'x'));
    EXPECT_EQ(narrow, text);
}

TEST(XmlHelpers, ColoursAndPointsNeedEveryComponent)
{
    const Nubra::Color untouched(9, 9, 9, 9);
    Nubra::Color colour = untouched;
    EXPECT_FALSE(XmlGetColorA(Element(WithValue("255;0")), "v", colour));
    EXPECT_EQ(colour, untouched);
    EXPECT_TRUE(XmlGetColorA(Element(WithValue("1;2;3")), "v", colour));
    EXPECT_EQ(colour, Nubra::Color(1, 2, 3, 255));

    Nubra::NubraVector2 point(7, 7);
    EXPECT_FALSE(XmlGetPointA(Element(WithValue("1.5")), "v", point));
    EXPECT_EQ(point, Nubra::NubraVector2(7, 7));
    EXPECT_TRUE(XmlGetPointA(Element(WithValue("1.5;-2")), "v", point));
    EXPECT_EQ(point, Nubra::NubraVector2(1.5f, -2.0f));
}

TEST(XmlHelpers, AMissingAttributeOrNodeLeavesEveryOutputAlone)
{
    XmlDocument document = WithValue("1");
    for (pugi::xml_node node : {Element(document), pugi::xml_node()}) {
        std::string text = "keep";
        std::wstring wide = L"keep";
        int number = 5;
        unsigned unsignedNumber = 5;
        float real = 5;
        bool flag = true, flagA = true;
        int64_t whole = 5, fraction = 5, scale = 5;
        unsigned flags = 5;
        const XmlFlag table[] = {{"a", 1}};
        Nubra::Color colour(1, 1, 1, 1);
        Nubra::NubraVector2 point(1, 1);
        EXPECT_FALSE(XmlGetString(node, "missing", text));
        EXPECT_FALSE(XmlGetWideString(node, "missing", wide));
        EXPECT_FALSE(XmlGetInt(node, "missing", number));
        EXPECT_FALSE(XmlGetIntByName(node, "missing", unsignedNumber));
        EXPECT_FALSE(XmlGetFloat(node, "missing", real));
        EXPECT_FALSE(XmlGetFixed(node, "missing", whole, fraction, scale));
        EXPECT_FALSE(XmlGetBool(node, "missing", flag));
        EXPECT_FALSE(XmlGetBoolA(node, "missing", flagA));
        EXPECT_FALSE(XmlGetFlags(node, "missing", table, 1, flags));
        EXPECT_FALSE(XmlGetColorA(node, "missing", colour));
        EXPECT_FALSE(XmlGetPointA(node, "missing", point));
        EXPECT_EQ(text, "keep");
        EXPECT_EQ(wide, L"keep");
        EXPECT_EQ(number, 5);
        EXPECT_EQ(unsignedNumber, 5u);
        EXPECT_EQ(flags, 5u);
        EXPECT_TRUE(whole == 5 && fraction == 5 && scale == 5);
        EXPECT_EQ(real, 5.0f);
        EXPECT_TRUE(flag && flagA);
        EXPECT_EQ(colour, Nubra::Color(1, 1, 1, 1));
        EXPECT_EQ(point, Nubra::NubraVector2(1, 1));
    }
}

TEST(XmlHelpers, FlagsMatchWholeTokensOnly)
{
    const XmlFlag table[] = {{"left", 1}, {"right", 2}, {"top", 4}};
    unsigned flags = 99;
    EXPECT_TRUE(XmlGetFlags(Element(WithValue("LEFT,,top,")), "v", table, 3, flags));
    EXPECT_EQ(flags, 5u);
    EXPECT_TRUE(XmlGetFlags(Element(WithValue("le,rightish")), "v", table, 3, flags));
    EXPECT_EQ(flags, 0u);
    EXPECT_FALSE(XmlGetFlags(Element(WithValue("left")), "v", table, 0, flags));
}

class XmlSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetLogFile(folder_.File("xml.log"));
        SetDeveloperMode(true);
    }
    void TearDown() override
    {
        SetDeveloperMode(false);
        SetLogFile("tarrow.log");
    }
    std::string Log() const
    {
        std::ifstream in(folder_.File("xml.log"));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fixtures::TempFolder folder_{"xml_selection"};
    XmlDocument document_ = Parse("<root><s id='1'/><s id='2'/><!--c--><s id='3'/>text</root>");
};

TEST_F(XmlSelection, ForEachNodeVisitsInOrderAndStopsAtTheFirstFalse)
{
    std::vector<int> seen;
    EXPECT_TRUE(ForEachNode(Element(document_), "s", [&](pugi::xml_node node) {
        seen.push_back(node.attribute("id").as_int());
        return seen.size() < 2;
    }));
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    EXPECT_EQ(CountNodes(Element(document_), "s"), 3u);
    EXPECT_TRUE(ForEachNode(Element(document_), "nothing", [](pugi::xml_node) { return true; }));
    EXPECT_FALSE(ForEachNode(pugi::xml_node(), "s", [](pugi::xml_node) { return true; }));
}

TEST_F(XmlSelection, AMalformedPathSelectsNothingAndLogsAWarning)
{
    bool called = false;
    EXPECT_FALSE(ForEachNode(Element(document_), "s[@id=", [&](pugi::xml_node) { return called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(CountNodes(Element(document_), "s[@id="), 0u);
    EXPECT_FALSE(XmlSelectNode(Element(document_), "]["));
    EXPECT_TRUE(Log().starts_with("WARNING: ")) << Log();
}

TEST_F(XmlSelection, ChildrenAreFilteredByType)
{
    EXPECT_EQ(CountChildren(Element(document_), pugi::node_element), 3u);
    EXPECT_EQ(CountChildren(Element(document_), pugi::node_comment), 1u);
    std::vector<std::string> values;
    EXPECT_TRUE(ForEachChild(Element(document_), pugi::node_pcdata, [&](pugi::xml_node node) {
        values.push_back(node.value());
        return true;
    }));
    EXPECT_EQ(values, (std::vector<std::string>{"text"}));

    std::vector<std::string> names;
    ForEachAttribute(Parse("<e a='1' b='2' c='3'/>")->document_element(), [&](pugi::xml_attribute attribute) {
        names.push_back(attribute.name());
        return names.size() < 2;
    });
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
}

TEST(XmlHelpers, NamesInPathsMatchExactlyWhateverQuotesTheyHold)
{
    XmlDocument document = Parse(R"(<r><e name="plain"/><e name="it's"/><e name='say "hi"'/><e name='a"b&apos;c"'/></r>)");
    for (const char* name : {"plain", "it's", "say \"hi\"", "a\"b'c\""}) {
        const std::string path = "e[@name=" + XmlPathLiteral(name) + "]";
        pugi::xml_node found = XmlSelectNode(Element(document), path.c_str());
        EXPECT_STREQ(found.attribute("name").value(), name) << path;
    }
    const std::string injected = "e[@name=" + XmlPathLiteral("\" or \"1\"=\"1") + "]";
    EXPECT_EQ(CountNodes(Element(document), injected.c_str()), 0u);
}

TEST(XmlHelpers, NodeTextKinds)
{
    XmlDocument document = Parse("<a>x<b>y</b><![CDATA[z]]><c/></a>");
    std::string text = "keep";
    EXPECT_TRUE(GetNodeText(Element(document), XmlTextKind::Name, text));
    EXPECT_EQ(text, "a");
    EXPECT_TRUE(GetNodeText(Element(document), XmlTextKind::Text, text));
    EXPECT_EQ(text, "xyz");
    EXPECT_TRUE(GetNodeText(Element(document).first_child(), XmlTextKind::Value, text));
    EXPECT_EQ(text, "x");
    text = "keep";
    EXPECT_FALSE(GetNodeText(Element(document), XmlTextKind::Value, text));
    EXPECT_FALSE(GetNodeText(XmlSelectNode(Element(document), "c"), XmlTextKind::Text, text));
    EXPECT_EQ(text, "keep");
}

TEST(XmlHelpers, WritersSetAttributesAndPlaceElements)
{
    XmlDocument document = Parse("<r><last/></r>");
    pugi::xml_node root = Element(document);
    EXPECT_TRUE(XmlSetAttribute(root, "n", "%d-%s", 7, "x"));
    EXPECT_TRUE(XmlSetAttribute(root, "n", "%s", std::string(2000, 'y').c_str()));
    EXPECT_EQ(std::string(root.attribute("n").value()), std::string(1024, 'y'));
    EXPECT_EQ(std::distance(root.attributes_begin(), root.attributes_end()), 1);
    EXPECT_FALSE(XmlSetAttribute(pugi::xml_node(), "n", "x"));

    XmlCreateElement(root, "first", root.child("last"));
    XmlCreateElement(root, "end");
    std::vector<std::string> order;
    for (pugi::xml_node child : root.children())
        order.push_back(child.name());
    EXPECT_EQ(order, (std::vector<std::string>{"first", "last", "end"}));
    EXPECT_FALSE(XmlCreateElement(pugi::xml_node(), "x"));
}

TEST(XmlHelpers, AHeldNodeKeepsItsDocumentAlive)
{
    XmlNodeRef held;
    {
        XmlDocument document = Parse("<root><effect name='fade'/></root>");
        held = {document, XmlSelectNode(Element(document), "effect")};
    }
    ASSERT_TRUE(held);
    EXPECT_STREQ(held.node.attribute("name").value(), "fade");
}

} // namespace
