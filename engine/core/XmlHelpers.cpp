#include "engine/core/XmlHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/core/Log.h"
#include "framework/data/PakFile.h"
#include "framework/util/StringUtils.h"

namespace {

// Enough digits for any 64-bit value; more would overflow before they add anything.
constexpr int kMaxDigits = 18;

struct ParsedInt {
    int64_t value = 0;
    int64_t scale = 1; // 10^(digits consumed)
};

ParsedInt ParseInt(std::string_view text)
{
    ParsedInt parsed;
    bool negative = !text.empty() && text.front() == '-';
    size_t at = negative ? 1 : 0;
    for (int digits = 0; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < kMaxDigits; ++at, ++digits) {
        parsed.value = parsed.value * 10 + (text[at] - '0');
        parsed.scale *= 10;
    }
    if (negative)
        parsed.value = -parsed.value;
    return parsed;
}

struct ParsedFixed {
    int64_t intPart = 0;
    int64_t fraction = 0;
    int64_t scale = 1;
};

ParsedFixed ParseFixed(std::string_view text)
{
    ParsedFixed parsed;
    size_t dot = text.find('.');
    parsed.intPart = ParseInt(text.substr(0, dot)).value;
    if (dot != std::string_view::npos) {
        ParsedInt fraction = ParseInt(text.substr(dot + 1));
        parsed.fraction = fraction.value;
        parsed.scale = fraction.scale;
    }
    // "-0.5" has no sign left in its integer part.
    if (!text.empty() && text.front() == '-' && parsed.fraction > 0)
        parsed.fraction = -parsed.fraction;
    return parsed;
}

// Equal as soon as either text ends, so every prefix of "true" and every extension of it match.
bool MatchesTrue(std::string_view text)
{
    constexpr std::string_view kTrue = "true";
    size_t n = std::min(text.size(), kTrue.size());
    return text.substr(0, n) == kTrue.substr(0, n);
}

template <typename T>
T Clamp(int64_t value)
{
    return static_cast<T>(std::clamp<int64_t>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const char* AttributeText(pugi::xml_node node, const char* name)
{
    if (!node || !name)
        return nullptr;
    pugi::xml_attribute attribute = node.attribute(name);
    return attribute ? attribute.value() : nullptr;
}

void AppendCharacterData(pugi::xml_node node, std::string& out)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        else if (child.type() == pugi::node_element)
            AppendCharacterData(child, out);
    }
}

} // namespace

std::vector<char> ReadWholeFile(const char* path, bool& opened)
{
    std::vector<char> bytes;
    Nubra::PFILE* file = Nubra::PakFileOpen(path, "rb");
    opened = file != nullptr;
    if (!file)
        return bytes;
    Nubra::PakFileSeek(file, 0, 2);
    long size = Nubra::PakFileTell(file);
    Nubra::PakFileSeek(file, 0, 0);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        bytes.resize(Nubra::PakFileRead(bytes.data(), 1, bytes.size(), file));
    }
    Nubra::PakFileClose(file);
    return bytes;
}

XmlDocument CreateXmlDocument() { return std::make_shared<pugi::xml_document>(); }

bool LoadXmlBuffer(const void* data, size_t size, pugi::xml_document& document)
{
    auto bytes = static_cast<const unsigned char*>(data);
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    size_t skip = 0;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        encoding = pugi::encoding_utf16_le;
        skip = 2;
    } else if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        encoding = pugi::encoding_utf16_be;
        skip = 2;
    } else if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        skip = 3;
    }
    document.reset();
    // Comments and processing instructions stay in the tree, where child walks can see them.
    const unsigned options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;
    pugi::xml_parse_result result = document.load_buffer(bytes + skip, size - skip, options, encoding);
    return result.status == pugi::status_ok;
}

bool LoadXmlFile(const char* path, pugi::xml_document& document)
{
    bool opened = false;
    std::vector<char> bytes = ReadWholeFile(path, opened);
    if (!opened) {
        document.reset();
        return false;
    }
    return LoadXmlBuffer(bytes.data(), bytes.size(), document);
}

XmlDocument OpenXmlFile(const char* path)
{
    XmlDocument document = CreateXmlDocument();
    return LoadXmlFile(path, *document) ? document : nullptr;
}

XmlNodeRef OpenXmlRoot(const char* path)
{
    XmlDocument document = OpenXmlFile(path);
    return {document, document ? XmlSelectNode(*document, "root") : pugi::xml_node()};
}

bool XmlSelectNodes(pugi::xml_node node, const char* path, pugi::xpath_node_set& out)
{
    out = {};
    if (!node || !path)
        return false;
    try {
        out = node.select_nodes(path);
        return true;
    } catch (const pugi::xpath_exception& error) {
        WriteLog("WARNING: bad XML path '%s': %s", path, error.what());
        return false;
    }
}

pugi::xml_node XmlSelectNode(pugi::xml_node node, const char* path)
{
    if (!node || !path)
        return {};
    try {
        return node.select_node(path).node();
    } catch (const pugi::xpath_exception& error) {
        WriteLog("WARNING: bad XML path '%s': %s", path, error.what());
        return {};
    }
}

std::string XmlPathLiteral(std::string_view text)
{
    if (text.find('"') == std::string_view::npos)
        return "\"" + std::string(text) + "\"";
    if (text.find('\'') == std::string_view::npos)
        return "'" + std::string(text) + "'";
    // Both quote kinds: the path language has no escapes, so join the pieces around each '"'.
    std::string joined = "concat(";
    size_t start = 0;
    for (size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"', start)) {
        joined += "\"" + std::string(text.substr(start, quote - start)) + "\", '\"', ";
        start = quote + 1;
    }
    joined += "\"" + std::string(text.substr(start)) + "\")";
    return joined;
}

bool ForEachNode(pugi::xml_node node, const char* path, const XmlNodeCallback& callback)
{
    pugi::xpath_node_set nodes;
    if (!XmlSelectNodes(node, path, nodes))
        return false;
    for (const pugi::xpath_node& item : nodes)
        if (!callback(item.node()))
            break;
    return true;
}

bool ForEachChild(pugi::xml_node node, pugi::xml_node_type type, const XmlNodeCallback& callback)
{
    if (!node)
        return false;
    for (pugi::xml_node child : node.children())
        if (child.type() == type && !callback(child))
            break;
    return true;
}

bool ForEachAttribute(pugi::xml_node node, const XmlAttributeCallback& callback)
{
    if (!node)
        return false;
    for (pugi::xml_attribute attribute : node.attributes())
        if (!callback(attribute))
            break;
    return true;
}

size_t CountNodes(pugi::xml_node node, const char* path)
{
    pugi::xpath_node_set nodes;
    XmlSelectNodes(node, path, nodes);
    return nodes.size();
}

size_t CountChildren(pugi::xml_node node, pugi::xml_node_type type)
{
    size_t count = 0;
    for (pugi::xml_node child : node.children())
        count += child.type() == type;
    return count;
}

bool GetNodeText(pugi::xml_node node, XmlTextKind kind, std::string& out)
{
    if (!node)
        return false;
    std::string text;
    switch (kind) {
    case XmlTextKind::Name:
        text = node.name();
        break;
    case XmlTextKind::Text:
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text = node.value();
        else
            AppendCharacterData(node, text);
        break;
    case XmlTextKind::Value:
        text = node.value();
        break;
    }
    if (text.empty())
        return false;
    out = std::move(text);
    return true;
}

pugi::xml_attribute FindAttribute(pugi::xml_node node, const char* name)
{
    return node && name ? node.attribute(name) : pugi::xml_attribute();
}

bool XmlGetString(pugi::xml_node node, const char* name, std::string& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = text;
    return true;
}

bool XmlGetWideString(pugi::xml_node node, const char* name, std::wstring& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = Nubra::Utf8ToWString(text);
    return true;
}

bool XmlGetInt(pugi::xml_node node, const char* name, int& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = Clamp<int>(ParseInt(text).value);
    return true;
}

bool XmlGetIntByName(pugi::xml_node node, const char* name, unsigned& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = Clamp<unsigned>(ParseInt(text).value);
    return true;
}

bool XmlGetFixed(pugi::xml_node node, const char* name, int64_t& intPart, int64_t& fraction, int64_t& fractionScale)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    ParsedFixed parsed = ParseFixed(text);
    intPart = parsed.intPart;
    fraction = parsed.fraction;
    fractionScale = parsed.scale;
    return true;
}

bool XmlGetFloat(pugi::xml_node node, const char* name, float& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    ParsedFixed parsed = ParseFixed(text);
    out = static_cast<float>(static_cast<double>(parsed.intPart) +
                             static_cast<double>(parsed.fraction) / static_cast<double>(parsed.scale));
    return true;
}

bool XmlGetBool(pugi::xml_node node, const char* name, bool& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = MatchesTrue(text) || ParseInt(text).value != 0;
    return true;
}

bool XmlGetBoolA(pugi::xml_node node, const char* name, bool& out)
{
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = ParseInt(text).value != 0;
    return true;
}

bool XmlGetFlags(pugi::xml_node node, const char* name, const XmlFlag* table, size_t count, unsigned& out)
{
    if (!table || count == 0)
        return false;
    const char* text = AttributeText(node, name);
    if (!text)
        return false;
    out = 0;
    std::string_view rest = text;
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string_view token = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (token.empty())
            continue;
        for (size_t i = 0; i < count; ++i)
            if (table[i].name && EqualNoCase(token, table[i].name))
                out |= table[i].value;
    }
    return true;
}

bool XmlGetColorA(pugi::xml_node node, const char* name, Nubra::Color& out)
{
    const char* text = AttributeText(node, name);
    int red, green, blue;
    if (!text || std::sscanf(text, "%d;%d;%d", &red, &green, &blue) != 3)
        return false;
    out = Nubra::Color(red, green, blue, 255);
    return true;
}

bool XmlGetPointA(pugi::xml_node node, const char* name, Nubra::NubraVector2& out)
{
    const char* text = AttributeText(node, name);
    float x, y;
    if (!text || std::sscanf(text, "%f;%f", &x, &y) != 2)
        return false;
    out = {x, y};
    return true;
}

bool XmlSetAttribute(pugi::xml_node node, const char* name, const char* format, ...)
{
    if (!node || !name || !format)
        return false;
    char text[1025];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    return attribute && attribute.set_value(text);
}

pugi::xml_node XmlCreateElement(pugi::xml_node parent, const char* name, pugi::xml_node before)
{
    if (!parent || !name)
        return {};
    return before ? parent.insert_child_before(name, before) : parent.append_child(name);
}
