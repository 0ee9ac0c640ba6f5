#include "framework/data/DescParser.h"

#include "framework/data/PakFile.h"
#include "framework/util/StringUtils.h"

#include <utility>

namespace Nubra {
namespace {

constexpr unsigned kEndOfFile = 0xFFFF;
constexpr unsigned kByteOrderMark = 0xFEFF;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }
bool IsQuote(wchar_t c) { return c == L'\'' || c == L'"'; }

const std::wstring& TextOf(const DataElement* element) { return static_cast<const SingleDataElement*>(element)->value; }

bool ConvertString(const std::wstring& text, std::wstring* out)
{
    *out = text;
    return true;
}

} // namespace

bool DescParser::Error(const std::wstring& text)
{
    error = text;
    return false;
}

DataElement* DescParser::FindDefine(const std::wstring& name)
{
    auto it = defineMap.find(Upper(name));
    return it == defineMap.end() ? nullptr : it->second.get();
}

void DescParser::SetDefine(const std::wstring& name, DataElement* value) { defineMap[Upper(name)].reset(value); }

bool DescParser::LoadDescriptor(const std::string& fileName)
{
    error.clear();
    currentLineNum = 0;
    currentLine.clear();
    PFILE* file = PakFileOpen(fileName.c_str(), "rb");
    if (!file)
        return false;
    bool ok = ReadStatements(file);
    currentLine.clear();
    currentLineNum = 0;
    PakFileClose(file);
    return ok;
}

bool DescParser::ReadStatements(PFILE* file)
{
    int lineCount = 0;
    bool atLineStart = true, indented = false, inComment = false;
    bool inSingle = false, inDouble = false, escapePending = false;
    bool firstUnit = true;
    auto append = [&](wchar_t c) {
        if (currentLine.empty()) {
            if (IsBlank(c))
                return; // a statement starts at its first word, so errors name that line
            currentLineNum = lineCount + 1;
        }
        currentLine += c;
    };

    while (!PakFileEof(file)) {
        unsigned unit = PakFileGetWC(file);
        if (unit == kEndOfFile)
            break;
        if (std::exchange(firstUnit, false) && unit == kByteOrderMark)
            continue; // editors put one before 16-bit text
        auto c = wchar_t(unit);
        if (c == L'\r')
            continue;
        if (inComment) {
            if (c == L'\n') {
                ++lineCount;
                inComment = false;
                atLineStart = true;
                indented = false;
            }
            continue;
        }
        if (atLineStart) {
            if (c == L' ' || c == L'\t') {
                indented = true;
                continue;
            }
            if (c == L'\n') {
                ++lineCount;
                indented = false;
                continue;
            }
            atLineStart = false;
            if ((cmdSep & CMDSEP_NO_INDENT) && !indented && !FinishStatement())
                return false;
            if (c == L'#') {
                inComment = true;
                continue;
            }
        }
        if (c == L'\n') {
            ++lineCount;
            atLineStart = true;
            indented = false;
        }

        bool quoted = inSingle || inDouble;
        if (escapePending) {
            // Kept for the tokeniser, which drops the '\'; an escaped quote toggles nothing.
            escapePending = false;
            append(L'\\');
            append(c);
        } else if (quoted && c == L'\\') {
            escapePending = true;
        } else if (!quoted && c == L';' && (cmdSep & CMDSEP_SEMICOLON)) {
            if (!FinishStatement())
                return false;
        } else {
            if (c == L'\'' && !inDouble)
                inSingle = !inSingle;
            else if (c == L'"' && !inSingle)
                inDouble = !inDouble;
            append(c);
        }
    }
    return FinishStatement();
}

bool DescParser::FinishStatement()
{
    if (currentLine.empty())
        return true;
    bool ok = ExecuteStatement(currentLine);
    currentLine.clear();
    return ok;
}

bool DescParser::ExecuteStatement(const std::wstring& statement)
{
    ListDataElement params;
    size_t pos = 0;
    if (!TokenizeStatement(statement, &params, false, &pos))
        return false;
    if (params.Size() == 0)
        return true;
    if (params[0]->isList)
        return Error(L"Missing Command");
    return HandleCommand(params);
}

bool DescParser::TokenizeStatement(const std::wstring& text, ListDataElement* result, bool inList, size_t* pos)
{
    return Tokenize(text, result, inList ? 1 : 0, pos);
}

bool DescParser::Tokenize(const std::wstring& text, ListDataElement* result, int depth, size_t* pos)
{
    SingleDataElement* token = nullptr;
    bool inSingle = false, inDouble = false;
    auto append = [&](wchar_t c) {
        if (!token) {
            token = new SingleDataElement;
            result->Add(token);
        }
        token->value += c;
    };

    while (*pos < text.size()) {
        wchar_t c = text[(*pos)++];
        if (c == L'\\') {
            if (*pos < text.size()) // a '\' ending the text escapes nothing
                append(text[(*pos)++]);
            continue;
        }
        if (c == L'\'' && !inDouble)
            inSingle = !inSingle;
        else if (c == L'"' && !inSingle)
            inDouble = !inDouble;
        else if (inSingle || inDouble) {
            // quoted text is one token
        } else if (IsBlank(c) || c == L',') {
            token = nullptr;
            continue;
        } else if (c == L'(') {
            if (token)
                return Error(L"Unexpected List Start");
            if (depth >= kMaxListDepth)
                return Error(L"List Nested Too Deeply");
            auto* list = new ListDataElement;
            result->Add(list);
            if (!Tokenize(text, list, depth + 1, pos))
                return false;
            continue;
        } else if (c == L')') {
            if (depth > 0)
                return true;
            return Error(L"Unexpected List End");
        }
        append(c);
    }
    if (inSingle)
        return Error(L"Unterminated Single Quotes");
    if (inDouble)
        return Error(L"Unterminated Double Quotes");
    if (depth > 0)
        return Error(L"Unterminated List");
    return true;
}

std::wstring DescParser::Unquote(const std::wstring& text)
{
    if (text.empty() || !IsQuote(text[0]))
        return text;
    const wchar_t quote = text[0];
    std::wstring result;
    bool inside = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != quote)
            result += text[i];
        else if (inside && i + 1 < text.size() && text[i + 1] == quote)
            result += text[++i];
        else
            inside = !inside;
    }
    return result;
}

bool DescParser::DataToString(const DataElement* source, std::wstring* out)
{
    out->clear();
    if (!source || source->isList)
        return false;
    const std::wstring& text = TextOf(source);
    if (!IsImmediateValue(text)) {
        if (const DataElement* define = FindDefine(text)) {
            if (define->isList)
                return false;
            *out = Unquote(TextOf(define));
            return true;
        }
    }
    *out = Unquote(text);
    return true;
}

bool DescParser::DataToList(const DataElement* source, ListDataElement* out)
{
    out->elements.clear();
    if (!source)
        return false;
    if (source->isList)
        return DereferenceList(static_cast<const ListDataElement*>(source), out);
    const DataElement* define = FindDefine(TextOf(source));
    if (!define || !define->isList)
        return false;
    *out = *static_cast<const ListDataElement*>(define);
    return true;
}

bool DescParser::ListItems(const DataElement* source, ListDataElement* scratch, const ListDataElement** items)
{
    if (!source)
        return false;
    if (source->isList) {
        *items = scratch;
        return DereferenceList(static_cast<const ListDataElement*>(source), scratch);
    }
    const std::wstring& name = TextOf(source);
    const DataElement* define = FindDefine(name);
    if (!define)
        return Error(L"Unable to Dereference \"" + name + L"\"");
    if (!define->isList)
        return false;
    *items = static_cast<const ListDataElement*>(define); // stored already dereferenced
    return true;
}

template <typename T, typename Convert>
bool DescParser::DataToVector(const DataElement* source, std::vector<T>* out, Convert convert)
{
    out->clear();
    ListDataElement scratch;
    const ListDataElement* items = nullptr;
    if (!ListItems(source, &scratch, &items))
        return false;
    out->reserve(items->Size());
    for (const auto& item : items->elements) {
        T value;
        if (item->isList || !convert(TextOf(item.get()), &value))
            return false;
        out->push_back(std::move(value));
    }
    return true;
}

bool DescParser::DataToStringVector(const DataElement* source, std::vector<std::wstring>* out)
{
    return DataToVector(source, out, ConvertString);
}

bool DescParser::DataToIntVector(const DataElement* source, std::vector<int>* out)
{
    return DataToVector(source, out, [](const std::wstring& text, int* value) { return StringToInt(text, value); });
}

bool DescParser::DataToDoubleVector(const DataElement* source, std::vector<double>* out)
{
    return DataToVector(source, out, StringToDouble);
}

std::wstring DescParser::DataElementToString(const DataElement* element)
{
    if (!element->isList)
        return TextOf(element);
    std::wstring text = L"(";
    const auto& items = static_cast<const ListDataElement*>(element)->elements;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += L", ";
        text += DataElementToString(items[i].get());
    }
    return text + L")";
}

bool DescParser::DereferenceList(const ListDataElement* source, ListDataElement* result)
{
    size_t budget = kMaxListElements;
    return Dereference(*source, result, 1, &budget);
}

// `depth` counts the lists around the items of `source`, its own included; `budget` the
// elements the whole result may still take. Both keep defines built from defines bounded.
bool DescParser::Dereference(const ListDataElement& source, ListDataElement* result, int depth, size_t* budget)
{
    for (const auto& item : source.elements) {
        if (*budget == 0)
            return Error(L"List Too Large");
        if (item->isList) {
            auto* list = new ListDataElement;
            result->Add(list);
            --*budget;
            if (!Dereference(*static_cast<const ListDataElement*>(item.get()), list, depth + 1, budget))
                return false;
            continue;
        }
        const std::wstring& text = TextOf(item.get());
        if (IsImmediateValue(text)) {
            result->Add(new SingleDataElement(IsQuote(text[0]) ? Unquote(text) : text));
            --*budget;
            continue;
        }
        const DataElement* define = FindDefine(text);
        if (!define)
            return Error(L"Unable to Dereference \"" + text + L"\"");
        size_t count = ElementCount(*define);
        if (count > *budget)
            return Error(L"List Too Large");
        if (depth + NestingDepth(*define) > kMaxListDepth)
            return Error(L"List Nested Too Deeply");
        result->Add(define->Duplicate());
        *budget -= count;
    }
    return true;
}

} // namespace Nubra
