#include "framework/data/XmlReader.h"

#include "framework/graphics/ImageFileIO.h"
#include "framework/util/StringUtils.h"

#include <algorithm>
#include <utility>

namespace Nubra {

namespace {

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsControl(int c) { return c >= 0 && c < ' ' && !IsSpace(c); }

bool EndsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::wstring FirstWord(const std::wstring& text)
{
    auto end = std::find_if(text.begin(), text.end(), IsSpace);
    return std::wstring(text.begin(), end);
}

std::wstring Join(const std::vector<std::wstring>& names)
{
    std::wstring path;
    for (const std::wstring& name : names)
        path += (path.empty() ? L"" : L"/") + name;
    return path;
}

} // namespace

void XmlElement::AddAttribute(const std::wstring& name, const std::wstring& value)
{
    if (attributes.insert_or_assign(name, value).second)
        attributeOrder.push_back(name);
}

std::wstring XmlElement::GetAttribute(const std::wstring& name) const
{
    auto found = attributes.find(name);
    return found == attributes.end() ? std::wstring() : found->second;
}

std::wstring DecodeXmlEntities(const std::wstring& text)
{
    static const std::pair<const wchar_t*, wchar_t> kEntities[] = {
        {L"lt", L'<'},    {L"amp", L'&'},   {L"gt", L'>'}, {L"quot", L'"'},
        {L"apos", L'\''}, {L"nbsp", L' '}, {L"cr", L'\n'},
    };
    std::wstring out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t amp = text.find(L'&', pos);
        size_t semicolon = amp == std::wstring::npos ? amp : text.find(L';', amp);
        if (semicolon == std::wstring::npos) {
            out.append(text, pos);
            break;
        }
        out.append(text, pos, amp - pos);
        std::wstring name = text.substr(amp + 1, semicolon - amp - 1);
        wchar_t decoded = L'&';
        for (const auto& [entity, c] : kEntities)
            if (name == entity)
                decoded = c;
        out += decoded;
        pos = semicolon + 1;
    }
    return out;
}

bool XmlReader::OpenFile(const std::string& fileName)
{
    std::optional<std::vector<uint8_t>> data = ImageLib::ReadImageFile(fileName);
    SetSource(data ? std::string(data->begin(), data->end()) : std::string());
    fileName_ = fileName;
    if (!data)
        return Fail(L"Can't Open File");
    return true;
}

void XmlReader::OpenBuffer(const std::string& bytes)
{
    SetSource(bytes);
    fileName_.clear();
}

void XmlReader::SetSource(std::string bytes)
{
    bytes_ = std::move(bytes);
    pos_ = 0;
    encoding_ = Encoding::Utf8;
    if (bytes_.starts_with("\xEF\xBB\xBF"))
        pos_ = 3;
    else if (bytes_.starts_with("\xFF\xFE"))
        encoding_ = Encoding::Utf16LE, pos_ = 2;
    else if (bytes_.starts_with("\xFE\xFF"))
        encoding_ = Encoding::Utf16BE, pos_ = 2;
    pushedBack_.clear();
    lineNum_ = 1;
    openElements_.clear();
    errorText_.clear();
    hasFailed_ = false;
}

bool XmlReader::Fail(const std::wstring& text)
{
    errorText_ = text;
    hasFailed_ = true;
    return false;
}

bool XmlReader::FailOnMissing(int c) { return Fail(c == kEnd ? L"Unexpected End of File" : L"Illegal Character"); }

int XmlReader::GetChar()
{
    int c;
    if (!pushedBack_.empty()) {
        c = pushedBack_.back();
        pushedBack_.pop_back();
    } else {
        c = DecodeChar();
    }
    if (c == '\n')
        ++lineNum_;
    return c;
}

void XmlReader::PutBack(wchar_t c)
{
    if (c == L'\n')
        --lineNum_;
    pushedBack_.push_back(c);
}

void XmlReader::PutBack(const std::wstring& text)
{
    for (auto c = text.rbegin(); c != text.rend(); ++c)
        PutBack(*c);
}

bool XmlReader::Match(const std::wstring& text)
{
    std::wstring read;
    for (wchar_t expected : text) {
        int c = GetChar();
        if (c >= 0)
            read += wchar_t(c);
        if (c != int(expected)) {
            PutBack(read);
            return false;
        }
    }
    return true;
}

int XmlReader::DecodeChar()
{
    if (pos_ >= bytes_.size())
        return kEnd;
    return encoding_ == Encoding::Utf8 ? DecodeUtf8() : DecodeUtf16();
}

int XmlReader::DecodeUtf8()
{
    auto byte = [this](size_t at) { return unsigned(uint8_t(bytes_[at])); };
    unsigned first = byte(pos_);
    size_t length = first >= 0xF0 && first <= 0xF4 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 1;
    if (first >= 0xF5)
        length = 1;
    if (length > 1 && pos_ + length <= bytes_.size()) {
        unsigned code = first & (0x7F >> length);
        bool valid = true;
        for (size_t i = 1; i < length && valid; ++i) {
            valid = (byte(pos_ + i) & 0xC0) == 0x80;
            code = code << 6 | (byte(pos_ + i) & 0x3F);
        }
        static const unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= kSmallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (valid) {
            pos_ += length;
            return int(code);
        }
    }
    ++pos_; // plain ASCII, or a byte outside any valid sequence: Latin-1
    return int(first);
}

int XmlReader::DecodeUtf16()
{
    auto unit = [this]() -> int {
        if (pos_ + 2 > bytes_.size()) {
            pos_ = bytes_.size();
            return kIllegal;
        }
        unsigned a = uint8_t(bytes_[pos_]), b = uint8_t(bytes_[pos_ + 1]);
        pos_ += 2;
        return int(encoding_ == Encoding::Utf16LE ? a | b << 8 : a << 8 | b);
    };
    int high = unit();
    if (!IsHighSurrogate(char32_t(high)) && !IsLowSurrogate(char32_t(high)))
        return high;
    if (IsLowSurrogate(char32_t(high)) || pos_ >= bytes_.size())
        return kIllegal;
    int low = unit();
    if (!IsLowSurrogate(char32_t(low)))
        return kIllegal;
    return int(JoinSurrogates(char32_t(high), char32_t(low)));
}

bool XmlReader::NextElement(XmlElement* element)
{
    if (hasFailed_)
        return false;
    *element = XmlElement();
    element->section = Join(openElements_);
    return ReadText(element);
}

bool XmlReader::ReadText(XmlElement* element)
{
    std::wstring text;
    bool pendingSpace = false;
    for (;;) {
        int c = GetChar();
        if (c == kEnd && openElements_.empty() && text.empty())
            return false; // the end of the document
        if (c == kEnd && openElements_.empty())
            break;
        if (c == kEnd)
            return Fail(L"Unexpected End of File");
        if (c == kIllegal || IsControl(c))
            return Fail(L"Illegal Character");
        if (c == '<' && text.empty())
            return ReadMarkup(element);
        if (c == '<') {
            PutBack(L'<');
            break;
        }
        if (c == '>')
            return Fail(L"Unexpected '>'");
        if (IsSpace(c)) {
            pendingSpace = !text.empty();
            continue;
        }
        if (pendingSpace)
            text += L' ';
        pendingSpace = false;
        text += wchar_t(c);
    }
    element->type = XmlElement::TYPE_TEXT;
    element->value = DecodeXmlEntities(text);
    return true;
}

bool XmlReader::ReadMarkup(XmlElement* element)
{
    if (Match(L"!--")) {
        element->type = XmlElement::TYPE_COMMENT;
        return ReadUntil(L"-->", &element->instruction);
    }
    if (Match(L"![CDATA[")) {
        element->type = XmlElement::TYPE_INSTRUCTION;
        element->value = L"[CDATA[";
        return ReadUntil(L"]]>", &element->instruction);
    }
    bool processing = Match(L"?");
    if (!processing && !Match(L"!"))
        return ReadTag(element);
    element->type = XmlElement::TYPE_INSTRUCTION;
    if (!(processing ? ReadUntil(L"?>", &element->instruction) : ReadDeclaration(&element->instruction)))
        return false;
    element->value = FirstWord(element->instruction);
    return true;
}

bool XmlReader::ReadUntil(const std::wstring& terminator, std::wstring* body)
{
    for (;;) {
        int c = GetChar();
        if (c < 0)
            return FailOnMissing(c);
        *body += wchar_t(c);
        if (EndsWith(*body, terminator)) {
            body->resize(body->size() - terminator.size());
            return true;
        }
    }
}

// <!NAME ...> up to the '>' that stands outside quotes and brackets.
bool XmlReader::ReadDeclaration(std::wstring* body)
{
    int depth = 0;
    wchar_t quote = 0;
    for (;;) {
        int c = GetChar();
        if (c < 0)
            return FailOnMissing(c);
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = wchar_t(c);
        else if (c == '[')
            ++depth;
        else if (c == ']')
            --depth;
        else if (c == '>' && depth <= 0)
            return true;
        *body += wchar_t(c);
    }
}

bool XmlReader::ReadTag(XmlElement* element)
{
    enum class State { Name, Between, AttrName, AfterAttrName, AfterEquals, Value, Quoted };
    State state = State::Name;
    std::wstring name, attrName, attrValue;
    bool empty = false;
    auto enterAttribute = [&] {
        element->AddAttribute(DecodeXmlEntities(attrName), DecodeXmlEntities(attrValue));
        attrName.clear();
        attrValue.clear();
    };
    for (;;) {
        int c = GetChar();
        if (c < 0)
            return FailOnMissing(c);
        if (c == '<')
            return Fail(L"Unexpected '<'");
        if (state == State::Quoted) {
            if (c == '"') {
                enterAttribute();
                state = State::Between;
            } else {
                attrValue += wchar_t(c);
            }
            continue;
        }
        if (IsControl(c))
            return Fail(L"Illegal Character");
        if (c == '/' && !(state == State::Name && name.empty())) {
            int next = GetChar();
            if (next < 0)
                return FailOnMissing(next);
            PutBack(wchar_t(next));
            if (next == '>') {
                empty = true;
                continue;
            }
        }
        if (c == '>') {
            if (state != State::Name && state != State::Between)
                enterAttribute();
            return FinishTag(element, name, empty);
        }
        switch (state) {
        case State::Name:
            if (IsSpace(c))
                state = State::Between;
            else
                name += wchar_t(c);
            break;
        case State::Between:
            if (!IsSpace(c)) {
                attrName = wchar_t(c);
                state = State::AttrName;
            }
            break;
        case State::AttrName:
            if (IsSpace(c))
                state = State::AfterAttrName;
            else if (c == '=')
                state = State::AfterEquals;
            else
                attrName += wchar_t(c);
            break;
        case State::AfterAttrName:
            if (c == '=') {
                state = State::AfterEquals;
            } else if (!IsSpace(c)) {
                enterAttribute(); // a name without a value
                attrName = wchar_t(c);
                state = State::AttrName;
            }
            break;
        case State::AfterEquals:
            if (c == '"') {
                state = State::Quoted;
            } else if (!IsSpace(c)) {
                attrValue = wchar_t(c);
                state = State::Value;
            }
            break;
        case State::Value:
            if (IsSpace(c)) {
                enterAttribute();
                state = State::Between;
            } else {
                attrValue += wchar_t(c);
            }
            break;
        case State::Quoted:
            break;
        }
    }
}

bool XmlReader::FinishTag(XmlElement* element, const std::wstring& name, bool empty)
{
    if (name.empty() || name == L"/")
        return Fail(L"Unexpected '>'");
    if (name[0] != L'/') {
        element->type = XmlElement::TYPE_START;
        element->value = name;
        openElements_.push_back(name);
        if (empty)
            PutBack(L"</" + name + L">");
        return true;
    }
    std::wstring endName = name.substr(1);
    if (openElements_.empty())
        return Fail(L"Unexpected End");
    if (endName != openElements_.back())
        return Fail(L"End '" + endName + L"' Doesn't Match Start '" + openElements_.back() + L"'");
    openElements_.pop_back();
    element->type = XmlElement::TYPE_END;
    element->value = endName;
    element->section = Join(openElements_);
    element->attributes.clear();
    element->attributeOrder.clear();
    return true;
}

} // namespace Nubra
