#include "Utf16File.h"
#include "framework/data/XmlReader.h"
#include "framework/util/StringUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace Nubra;

namespace {

std::wstring Describe(const XmlElement& e)
{
    switch (e.type) {
    case XmlElement::TYPE_START: {
        std::wstring text = L"start " + e.section + L":" + e.value;
        for (const std::wstring& name : e.attributeOrder)
            text += L" " + name + L"=" + e.attributes.at(name);
        return text;
    }
    case XmlElement::TYPE_END:
        return L"end " + e.section + L":" + e.value;
    case XmlElement::TYPE_TEXT:
        return L"text " + e.value;
    case XmlElement::TYPE_INSTRUCTION:
        return L"instruction " + e.value + L"|" + e.instruction;
    case XmlElement::TYPE_COMMENT:
        return L"comment " + e.instruction;
    case XmlElement::TYPE_NONE:
        break;
    }
    return L"none";
}

// Every element the reader hands out, then the error (with its line) when it failed.
std::vector<std::wstring> ReadAll(XmlReader& reader)
{
    std::vector<std::wstring> out;
    XmlElement element;
    while (reader.NextElement(&element))
        out.push_back(Describe(element));
    if (reader.HasFailed())
        out.push_back(StrFormatW(L"error %ls at %d", reader.GetErrorText().c_str(), reader.GetCurrentLineNum()));
    return out;
}

std::vector<std::wstring> ReadAll(const std::string& bytes)
{
    XmlReader reader;
    reader.OpenBuffer(bytes);
    return ReadAll(reader);
}

using Lines = std::vector<std::wstring>;

} // namespace

TEST(XmlReader, DocumentOfOnlyACommentGivesOneCommentThenEndsCleanly)
{
    XmlReader reader;
    reader.OpenBuffer("<!-- just a note -->\n");
    EXPECT_EQ(ReadAll(reader), Lines({L"comment  just a note "}));
    EXPECT_FALSE(reader.HasFailed());
}

TEST(XmlReader, EmptyElementGivesStartAndEndWithTheSameSection)
{
    EXPECT_EQ(ReadAll(R"(<r><a x="1 > 2" y=z w/></r>)"),
              Lines({L"start :r", L"start r:a x=1 > 2 y=z w=", L"end r:a", L"end :r"}));
    EXPECT_EQ(ReadAll("<a/>"), Lines({L"start :a", L"end :a"}));
    EXPECT_EQ(ReadAll(R"(<a x="1"/><b y=2/><c z />)"),
              Lines({L"start :a x=1", L"end :a", L"start :b y=2", L"end :b", L"start :c z=", L"end :c"}));
}

TEST(XmlReader, AttributesAllowBlanksAroundEqualsAndKeepSingleQuotes)
{
    EXPECT_EQ(ReadAll(R"(<a  x = "1"  y='2' z= 3 flag></a>)"), Lines({L"start :a x=1 y='2' z=3 flag=", L"end :a"}));
}

TEST(XmlReader, RepeatedAttributeReplacesTheValueAndKeepsItsPlace)
{
    XmlReader reader;
    reader.OpenBuffer(R"(<a x="1" y="2" x="3"/>)");
    XmlElement element;
    ASSERT_TRUE(reader.NextElement(&element));
    EXPECT_EQ(element.GetAttribute(L"x"), L"3");
    EXPECT_EQ(element.attributeOrder, Lines({L"x", L"y"}));
    EXPECT_TRUE(element.HasAttribute(L"y"));
    EXPECT_EQ(element.GetAttribute(L"missing"), L"");
}

TEST(XmlReader, SectionsFollowTheOpenElements)
{
    EXPECT_EQ(ReadAll("<a>\n <b>\n  <c/>\n </b>\n</a>"),
              Lines({L"start :a", L"start a:b", L"start a/b:c", L"end a/b:c", L"end a:b", L"end :a"}));
}

TEST(XmlReader, TextDropsLeadingBlanksAndFoldsRunsOfThem)
{
    EXPECT_EQ(ReadAll("<a>\n   a   b\t\n c  </a>"), Lines({L"start :a", L"text a b c", L"end :a"}));
    EXPECT_EQ(ReadAll("<a>   </a>"), Lines({L"start :a", L"end :a"}));
}

TEST(XmlReader, EntitiesDecodeInTextAndAttributes)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"&lt;&amp;&gt;&quot;&apos;", L"<&>\"'"},
        {L"a&nbsp;b&cr;c", L"a b\nc"},
        {L"x&foo;y", L"x&y"},          // unknown: a lone ampersand
        {L"fish & chips", L"fish & chips"}, // no semicolon after it
        {L"&amp;lt;", L"&lt;"},        // decoded once
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeXmlEntities(c.in), c.out) << WStringToUtf8(c.in);
    EXPECT_EQ(ReadAll(R"(<a t="&lt;&amp;">x &gt; y&foo;</a>)"), Lines({L"start :a t=<&", L"text x > y&", L"end :a"}));
}

TEST(XmlReader, CommentsInstructionsAndDeclarations)
{
    EXPECT_EQ(ReadAll("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"v>\">]><r><!--c--><!-- a <b> --></r>"),
              Lines({L"instruction xml|xml version=\"1.0\"", L"instruction DOCTYPE|DOCTYPE r [<!ENTITY e \"v>\">]",
                     L"start :r", L"comment c", L"comment  a <b> ", L"end :r"}));
    EXPECT_EQ(ReadAll("<r><![CDATA[<x> & ]]></r>"), Lines({L"start :r", L"instruction [CDATA[|<x> & ", L"end :r"}));
}

TEST(XmlReader, ErrorsStopTheReaderWithTheirText)
{
    struct Case {
        const char* in;
        const wchar_t* last;
    } cases[] = {
        {"<a>\n<b>\n</a>", L"error End 'a' Doesn't Match Start 'b' at 3"},
        {"<a>x\x01y</a>", L"error Illegal Character at 1"},
        {"<a \x02/>", L"error Illegal Character at 1"},
        {"<a <b>", L"error Unexpected '<' at 1"},
        {"<a x=\"<\"/>", L"error Unexpected '<' at 1"},
        {"a > b", L"error Unexpected '>' at 1"},
        {"<>", L"error Unexpected '>' at 1"},
        {"</a>", L"error Unexpected End at 1"},
        {"<a>\ntext", L"error Unexpected End of File at 2"},
        {"<a x=\"1", L"error Unexpected End of File at 1"},
        {"<!-- open", L"error Unexpected End of File at 1"},
        {"<?pi", L"error Unexpected End of File at 1"},
    };
    for (const Case& c : cases) {
        Lines lines = ReadAll(c.in);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), c.last) << c.in;
    }
}

TEST(XmlReader, ControlCharactersAreAllowedInQuotesAndComments)
{
    EXPECT_EQ(ReadAll("<a x=\"\x01\"><!--\x02--></a>"),
              Lines({std::wstring(L"start :a x=\x01"), std::wstring(L"comment \x02"), L"end :a"}));
}

TEST(XmlReader, AFailedReaderStaysFailed)
{
    XmlReader reader;
    reader.OpenBuffer("</a><b/>");
    XmlElement element;
    EXPECT_FALSE(reader.NextElement(&element));
    EXPECT_FALSE(reader.NextElement(&element));
    EXPECT_EQ(reader.GetErrorText(), L"Unexpected End");
}

TEST(XmlReader, DecodesUtf8Utf16AndStrayBytesAsLatin1)
{
    struct Case {
        std::string in;
        std::wstring text;
    } cases[] = {
        {"<a>caf\xC3\xA9 \xE2\x82\xAC</a>", L"caf\u00E9 \u20AC"},
        {"\xEF\xBB\xBF<a>\xF0\x9F\x8E\xB5</a>", L"\U0001F3B5"},
        {"<a>caf\xE9 \xC3(</a>", L"caf\u00E9 \u00C3("}, // invalid sequences: Latin-1
        {"<a>\xC0\xAF\xED\xA0\x80</a>", L"\u00C0\u00AF\u00ED\u00A0\u0080"}, // overlong, surrogate
        {std::string("\xFF\xFE<\0a\0>\0\xAC\x20<\xD8\xB5\xDF<\0/\0a\0>\0", 22), L"\u20AC\U0001F3B5"},
        {std::string("\xFE\xFF\0<\0a\0>\0\xE9\0<\0/\0a\0>", 18), L"\u00E9"},
    };
    for (const Case& c : cases) {
        Lines lines = ReadAll(c.in);
        ASSERT_EQ(lines.size(), 3u) << c.in;
        EXPECT_EQ(lines[1], L"text " + c.text) << c.in;
    }
    EXPECT_EQ(ReadAll(std::string("\xFF\xFE<\0a\0>\0x", 9)).back(), L"error Illegal Character at 1");
    EXPECT_EQ(ReadAll(std::string("\xFF\xFE<\0a\0>\0\x00\xDC", 10)).back(), L"error Illegal Character at 1");
}

TEST(XmlReader, ReadsFilesAndNamesThem)
{
    fixtures::TempFolder folder("nubra_xmlreader_test");
    std::string path = folder.File("doc.xml");
    std::ofstream(path) << "<a>\n<b/>\n</a>\n";
    XmlReader reader;
    ASSERT_TRUE(reader.OpenFile(path));
    EXPECT_EQ(reader.GetFileName(), path);
    EXPECT_EQ(ReadAll(reader), Lines({L"start :a", L"start a:b", L"end a:b", L"end :a"}));
    EXPECT_EQ(reader.GetCurrentLineNum(), 4);

    XmlReader missing;
    EXPECT_FALSE(missing.OpenFile(folder.File("none.xml")));
    XmlElement element;
    EXPECT_FALSE(missing.NextElement(&element));
    EXPECT_TRUE(missing.HasFailed());
}
