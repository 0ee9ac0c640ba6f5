#include "framework/data/DescParser.h"

#include "Utf16File.h"
#include "framework/util/StringUtils.h"

#include <gtest/gtest.h>

using namespace Nubra;

namespace {

// Records every statement as "line: (command, parameters...)"; the command "Fail" fails.
class RecordingParser : public DescParser {
public:
    bool HandleCommand(const ListDataElement& params) override
    {
        statements.push_back(std::to_wstring(currentLineNum) + L": " + DataElementToString(&params));
        auto& command = static_cast<const SingleDataElement*>(params[0])->value;
        return command != L"Fail" || Error(L"failed");
    }

    std::vector<std::wstring> statements;
};

using Statements = std::vector<std::wstring>;

struct DescParserTest : ::testing::Test {
    fixtures::TempFolder folder{"nubra_desc_test"};
    RecordingParser parser;

    bool Load(const std::wstring& text)
    {
        return parser.LoadDescriptor(fixtures::WriteUtf16File(folder.File("desc.txt"), text));
    }

    // Tokenises and dereferences `text` as one list.
    bool Dereference(const std::wstring& text, ListDataElement* out)
    {
        ListDataElement tokens;
        size_t pos = 0;
        return parser.TokenizeStatement(text, &tokens, false, &pos) && parser.DereferenceList(&tokens, out);
    }

    SingleDataElement Token(const std::wstring& text) { return SingleDataElement(text); }
};

} // namespace

TEST_F(DescParserTest, ReadsStatementsWithTheLineEachBeganOn)
{
    struct Case {
        const wchar_t* text;
        Statements expected;
    } cases[] = {
        {L"", {}},
        {L"# only a comment\r\n\r\n   \n# another\n", {}},
        {L"\xFEFF" L"Last 1, 2", {L"1: (Last, 1, 2)"}}, // byte-order mark, no final ';'
        {L"A 1;\n\n\nB (x\n  y);C", {L"1: (A, 1)", L"4: (B, (x, y))", L"5: (C)"}},
        {L"Say 'a;b' \"c;d\";", {L"1: (Say, 'a;b', \"c;d\")"}},
        {L"Say 'it''s';", {L"1: (Say, 'it''s')"}},
        {L"Say 'a\\'b' x\\ y;", {L"1: (Say, 'a'b', x y)"}}, // escaped quote toggles nothing
        {L"A 1;\n# A 2;\nB 3;", {L"1: (A, 1)", L"3: (B, 3)"}},
        {L"Say \"it's\";", {L"1: (Say, \"it's\")"}},
    };
    for (const auto& c : cases) {
        parser.statements.clear();
        EXPECT_TRUE(Load(c.text)) << NubraStringToString(c.text);
        EXPECT_EQ(parser.statements, c.expected) << NubraStringToString(c.text);
        EXPECT_EQ(parser.currentLineNum, 0);
        EXPECT_TRUE(parser.currentLine.empty());
    }
}

TEST_F(DescParserTest, UnindentedLinesStartStatementsWithSeparatorFlagTwo)
{
    parser.cmdSep = DescParser::CMDSEP_NO_INDENT;
    EXPECT_TRUE(Load(L"A 1\n  2; 3\nB\n\tC\n# note\nD"));
    EXPECT_EQ(parser.statements, (Statements{L"1: (A, 1, 2;, 3)", L"3: (B, C)", L"6: (D)"}));
}

TEST_F(DescParserTest, StopsAtTheFirstFailingStatement)
{
    EXPECT_FALSE(Load(L"A;\nFail 1;\nB;"));
    EXPECT_EQ(parser.statements, (Statements{L"1: (A)", L"2: (Fail, 1)"}));
    EXPECT_EQ(parser.error, L"failed");
    EXPECT_FALSE(parser.LoadDescriptor(folder.File("missing.txt")));
}

TEST_F(DescParserTest, MalformedStatementsReportTheirError)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* error;
    } cases[] = {
        {L"Say 'open", L"Unterminated Single Quotes"},
        {L"Say \"open", L"Unterminated Double Quotes"},
        {L"Say (1, (2)", L"Unterminated List"},
        {L"Say word(1)", L"Unexpected List Start"},
        {L"Say 1)", L"Unexpected List End"},
        {L"(Say) 1", L"Missing Command"},
        {L"Say (a, b, (c, nothing))", nullptr}, // tokenising alone never dereferences
        {L"Say 'ends in a backslash\\", L"Unterminated Single Quotes"},
    };
    for (const auto& c : cases) {
        parser.error.clear();
        EXPECT_EQ(Load(c.text), c.error == nullptr) << NubraStringToString(c.text);
        EXPECT_EQ(parser.error, c.error ? c.error : L"") << NubraStringToString(c.text);
    }
}

TEST_F(DescParserTest, TrailingBackslashAndDeepNestingNeitherCrashNorHang)
{
    ListDataElement tokens;
    size_t pos = 0;
    EXPECT_TRUE(parser.TokenizeStatement(L"Say x\\", &tokens, false, &pos));
    EXPECT_EQ(parser.DataElementToString(&tokens), L"(Say, x)");

    EXPECT_FALSE(Load(L"Say " + std::wstring(200000, L'(')));
    EXPECT_EQ(parser.error, L"List Nested Too Deeply");

    std::wstring deepest = L"Say " + std::wstring(DescParser::kMaxListDepth, L'(') +
                           std::wstring(DescParser::kMaxListDepth, L')');
    EXPECT_TRUE(Load(deepest));
}

TEST_F(DescParserTest, UnquotingDropsTheQuotesAndHalvesDoubledOnes)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"plain", L"plain"}, {L"'it''s'", L"it's"}, {L"\"say \"\"hi\"\"\"", L"say \"hi\""},
        {L"''", L""},         {L"''''", L"'"},       {L"'a'b", L"ab"},
        {L"\"it's\"", L"it's"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescParser::Unquote(c.text), c.expected) << NubraStringToString(c.text);
}

TEST_F(DescParserTest, VectorsConvertListsAndListDefines)
{
    ListDataElement list;
    size_t pos = 0;
    ASSERT_TRUE(parser.TokenizeStatement(L"(1, 0x10, -3) (1, (2)) ('a', \"b c\")", &list, false, &pos));

    std::vector<int> ints;
    EXPECT_TRUE(parser.DataToIntVector(list[0], &ints));
    EXPECT_EQ(ints, (std::vector<int>{1, 16, -3}));
    EXPECT_FALSE(parser.DataToIntVector(list[1], &ints));
    EXPECT_FALSE(parser.DataToIntVector(list[2], &ints));
    std::vector<double> doubles;
    EXPECT_FALSE(parser.DataToDoubleVector(list[0], &doubles)); // 0x10 is no decimal number
    std::vector<std::wstring> strings;
    EXPECT_TRUE(parser.DataToStringVector(list[2], &strings));
    EXPECT_EQ(strings, (std::vector<std::wstring>{L"a", L"b c"}));

    parser.SetDefine(L"sizes", list[0]->Duplicate());
    auto name = Token(L"SIZES");
    EXPECT_TRUE(parser.DataToIntVector(&name, &ints));
    EXPECT_EQ(ints, (std::vector<int>{1, 16, -3}));
    ListDataElement copy;
    EXPECT_TRUE(parser.DataToList(&name, &copy));
    EXPECT_EQ(parser.DataElementToString(&copy), L"(1, 0x10, -3)");

    auto unknown = Token(L"foo");
    EXPECT_FALSE(parser.DataToIntVector(&unknown, &ints));
    EXPECT_EQ(parser.error, L"Unable to Dereference \"foo\"");
    EXPECT_TRUE(ints.empty());
    EXPECT_FALSE(parser.DataToList(&unknown, &copy));
}

TEST_F(DescParserTest, OnlyBareNamesAreLookedUpAsDefines)
{
    parser.SetDefine(L"x", new SingleDataElement(L"'ex'"));
    parser.SetDefine(L"5", new SingleDataElement(L"five")); // no literal may name a define
    parser.SetDefine(L"pair", new SingleDataElement(L"unused"));
    parser.SetDefine(L"PAIR", new SingleDataElement(L"replaced"));

    ListDataElement out;
    ASSERT_TRUE(Dereference(L"(X, 5, '5', \"x\", -x, (pair))", &out));
    EXPECT_EQ(parser.DataElementToString(&out), L"(('ex', 5, 5, x, -x, (replaced)))");

    std::wstring text;
    auto name = Token(L"x"), quoted = Token(L"'x'"), bare = Token(L"nothing"), list = Token(L"pair");
    EXPECT_TRUE(parser.DataToString(&name, &text));
    EXPECT_EQ(text, L"ex");
    EXPECT_TRUE(parser.DataToString(&quoted, &text));
    EXPECT_EQ(text, L"x");
    EXPECT_TRUE(parser.DataToString(&bare, &text));
    EXPECT_EQ(text, L"nothing");
    EXPECT_FALSE(parser.DataToString(&out, &text));

    EXPECT_FALSE(Dereference(L"(1, nothing)", &out));
    EXPECT_EQ(parser.error, L"Unable to Dereference \"nothing\"");
}

TEST_F(DescParserTest, DefinesBuiltFromDefinesStayBounded)
{
    parser.SetDefine(L"deep", new SingleDataElement(L"0"));
    for (int i = 0; i < DescParser::kMaxListDepth - 1; ++i) {
        ListDataElement out;
        ASSERT_TRUE(Dereference(L"(deep)", &out));
        parser.SetDefine(L"deep", out[0]->Duplicate());
    }
    ListDataElement out;
    EXPECT_FALSE(Dereference(L"((deep))", &out));
    EXPECT_EQ(parser.error, L"List Nested Too Deeply");

    parser.SetDefine(L"wide", new SingleDataElement(L"0"));
    bool grew = true;
    for (int i = 0; i < 20 && grew; ++i) {
        ListDataElement doubled;
        grew = Dereference(L"(wide, wide)", &doubled);
        if (grew)
            parser.SetDefine(L"wide", doubled[0]->Duplicate());
    }
    EXPECT_FALSE(grew);
    EXPECT_EQ(parser.error, L"List Too Large");
    EXPECT_LE(ElementCount(*parser.FindDefine(L"wide")), DescParser::kMaxListElements);
}

TEST(DataElementTest, ListCopiesAreDeep)
{
    ListDataElement inner;
    inner.Add(new SingleDataElement(L"a"));
    ListDataElement outer;
    outer.Add(inner.Duplicate());
    outer.Add(new SingleDataElement(L"b"));

    ListDataElement copy = outer;
    static_cast<SingleDataElement*>(static_cast<ListDataElement*>(copy[0])->elements[0].get())->value = L"changed";
    EXPECT_EQ(static_cast<SingleDataElement*>(static_cast<ListDataElement*>(outer[0])->elements[0].get())->value, L"a");
    EXPECT_EQ(NestingDepth(outer), 2);
    EXPECT_EQ(ElementCount(outer), 4u);
}
