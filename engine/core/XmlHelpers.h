#pragma once
#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/graphics/NubraVector2.h"

// The engine's access to its XML documents. Text is UTF-8 inside; wide results hold code points.
// Nothing here throws: a malformed path is logged as a "WARNING: " line and selects nothing.
// Readers return false when the attribute is missing and then leave their output untouched, so
// callers write their default first.

// Nodes do not keep their document alive: whoever keeps a node keeps its document too.
using XmlDocument = std::shared_ptr<pugi::xml_document>;

struct XmlNodeRef {
    XmlDocument document;
    pugi::xml_node node;
    explicit operator bool() const { return document && node; }
};

// The whole data file read through the file layer; opened says whether it could be opened.
std::vector<char> ReadWholeFile(const char* path, bool& opened);

XmlDocument CreateXmlDocument();
// Parses bytes that may start with a byte-order mark (UTF-8, UTF-16 LE or BE); no mark is UTF-8.
bool LoadXmlBuffer(const void* data, size_t size, pugi::xml_document& document);
// Reads the whole file through the data-file layer, then as LoadXmlBuffer.
bool LoadXmlFile(const char* path, pugi::xml_document& document);
// A loaded document, or null when the file is missing or not well-formed.
XmlDocument OpenXmlFile(const char* path);
// The "root" element of a configuration document, empty when the document is missing.
XmlNodeRef OpenXmlRoot(const char* path);

// Selections. A null node or a bad path gives the empty result.
pugi::xml_node XmlSelectNode(pugi::xml_node node, const char* path);
// False when nothing could be selected (as opposed to an empty match).
bool XmlSelectNodes(pugi::xml_node node, const char* path, pugi::xpath_node_set& out);
// A string literal for a path expression that stands for `text` exactly, whatever quotes it holds.
std::string XmlPathLiteral(std::string_view text);

using XmlNodeCallback = std::function<bool(pugi::xml_node)>;
using XmlAttributeCallback = std::function<bool(pugi::xml_attribute)>;

// Each calls back in document order until a callback returns false. They return whether the
// list was obtained at all.
bool ForEachNode(pugi::xml_node node, const char* path, const XmlNodeCallback& callback);
bool ForEachChild(pugi::xml_node node, pugi::xml_node_type type, const XmlNodeCallback& callback);
bool ForEachAttribute(pugi::xml_node node, const XmlAttributeCallback& callback);
size_t CountNodes(pugi::xml_node node, const char* path);
size_t CountChildren(pugi::xml_node node, pugi::xml_node_type type);

enum class XmlTextKind { Name = 0, Text = 1, Value = 2 };
// Text is every descendant's character data joined. False when the result is empty.
bool GetNodeText(pugi::xml_node node, XmlTextKind kind, std::string& out);
pugi::xml_attribute FindAttribute(pugi::xml_node node, const char* name);

bool XmlGetString(pugi::xml_node node, const char* name, std::string& out);
bool XmlGetWideString(pugi::xml_node node, const char* name, std::wstring& out);
// Decimal with an optional leading '-'; parsing stops at the first other character ("12ab" is 12,
// "+5" is 0). Values beyond the output's range are clamped.
bool XmlGetInt(pugi::xml_node node, const char* name, int& out);
bool XmlGetIntByName(pugi::xml_node node, const char* name, unsigned& out);
// "int.frac" without exponents; the fraction carries the sign: value = intPart + fraction / scale.
bool XmlGetFixed(pugi::xml_node node, const char* name, int64_t& intPart, int64_t& fraction, int64_t& fractionScale);
bool XmlGetFloat(pugi::xml_node node, const char* name, float& out);
// True for any prefix of "true" or text that starts with "true" (the empty text too), else the
// integer value != 0.
bool XmlGetBool(pugi::xml_node node, const char* name, bool& out);

struct XmlFlag {
    const char* name;
    unsigned value;
};
// ORs the value of every comma-separated token that names a table entry (case-insensitive) into
// out, after clearing it. False for an empty table.
bool XmlGetFlags(pugi::xml_node node, const char* name, const XmlFlag* table, size_t count, unsigned& out);

// The short forms the loaders use. XmlGetBoolA knows only numbers: "true" is false.
inline bool XmlGetFloatA(pugi::xml_node node, const char* name, float& out) { return XmlGetFloat(node, name, out); }
inline bool XmlGetIntA(pugi::xml_node node, const char* name, int& out) { return XmlGetInt(node, name, out); }
inline bool XmlGetStringA(pugi::xml_node node, const char* name, std::string& out) { return XmlGetString(node, name, out); }
bool XmlGetBoolA(pugi::xml_node node, const char* name, bool& out);
// "r;g;b" with full alpha; anything that does not give three numbers leaves out alone.
bool XmlGetColorA(pugi::xml_node node, const char* name, Nubra::Color& out);
// "x;y".
bool XmlGetPointA(pugi::xml_node node, const char* name, Nubra::NubraVector2& out);

// Formats at most 1024 characters into the attribute, adding it when the node has none.
bool XmlSetAttribute(pugi::xml_node node, const char* name, const char* format, ...) __attribute__((format(printf, 3, 4)));
// A new element inserted before `before` when given, else appended; null when parent cannot hold one.
pugi::xml_node XmlCreateElement(pugi::xml_node parent, const char* name, pugi::xml_node before = {});
