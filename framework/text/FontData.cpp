#include "framework/text/FontData.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/text/ImageFontHost.h"
#include "framework/util/PathUtils.h"
#include "framework/util/StringUtils.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace Nubra {

int ClampToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp<double>(std::trunc(value), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

const CharData& FontLayer::GetCharData(wchar_t c) const
{
    static const CharData kNone;
    auto it = charData.find(c);
    return it == charData.end() ? kNone : it->second;
}

int FontLayer::GetKerning(wchar_t c, wchar_t next) const
{
    const auto& kerning = GetCharData(c).kerningOffsets;
    auto it = kerning.find(next);
    return it == kerning.end() ? 0 : it->second;
}

namespace {

const std::wstring& TextOf(const DataElement* element) { return static_cast<const SingleDataElement*>(element)->value; }

// One statement being executed: its parameters and whether one of them had the wrong kind.
// A wrong item is skipped, the others still applied, and the statement then fails.
struct Statement {
    FontData& font;
    const ListDataElement& params;
    bool invalidType = false;

    const DataElement* Param(size_t i) const { return params[i + 1]; }

    bool Invalid() // for a handler that can go no further: the statement fails afterwards
    {
        invalidType = true;
        return true;
    }

    bool WrongItem() // for a parameter that cannot be applied
    {
        invalidType = true;
        return false;
    }

    FontLayer* Layer(size_t i)
    {
        FontLayer* layer = nullptr;
        if (!font.GetLayer(Param(i), &layer))
            invalidType = true;
        return layer;
    }

    bool Int(size_t i, int* out)
    {
        const DataElement* param = Param(i);
        if (param->isList || !StringToInt(TextOf(param), out))
            return WrongItem();
        return true;
    }

    bool Name(size_t i, std::wstring* out)
    {
        const DataElement* param = Param(i);
        if (param->isList)
            return WrongItem();
        *out = TextOf(param);
        return true;
    }

    // A packed 0xAARRGGBB number, or a list of four fractions of full intensity.
    bool ColorParam(size_t i, Color* out)
    {
        const DataElement* param = Param(i);
        if (!param->isList && IsImmediateValue(TextOf(param))) {
            int packed = 0;
            if (!Int(i, &packed))
                return false;
            *out = Color(packed);
            return true;
        }
        std::vector<double> parts;
        if (!font.DataToDoubleVector(param, &parts) || parts.size() != 4)
            return WrongItem();
        *out = Color(TruncToInt(parts[0] * 255), TruncToInt(parts[1] * 255), TruncToInt(parts[2] * 255),
                     TruncToInt(parts[3] * 255));
        return true;
    }

    // A list of lists of `size` integers; a malformed inner list becomes an empty one.
    bool IntTuples(size_t i, size_t size, std::vector<std::vector<int>>* out)
    {
        ListDataElement list;
        if (!font.DataToList(Param(i), &list))
            return false;
        out->assign(list.Size(), {});
        for (size_t k = 0; k < list.Size(); ++k)
            if (!font.DataToIntVector(list[k], &(*out)[k]) || (*out)[k].size() != size)
                (*out)[k].clear();
        return true;
    }

    // Applies values[k] to the text keys[k] (of keyLength characters) for every k; false
    // after an error was reported. Keys of another length are wrong items.
    template <typename Value>
    bool ForEachKey(const std::vector<std::wstring>& keys, const std::vector<Value>& values, size_t keyLength,
                    const std::function<bool(const std::wstring&, const Value&)>& apply)
    {
        if (keys.size() != values.size())
            return font.Error(L"List Size Mismatch");
        for (size_t k = 0; k < keys.size(); ++k) {
            if (keys[k].size() != keyLength)
                invalidType = true;
            else if (!apply(keys[k], values[k]))
                return false;
        }
        return true;
    }
};

using Handler = bool (*)(Statement&);

bool Define(Statement& s)
{
    std::wstring name;
    if (!s.Name(0, &name) || IsImmediateValue(name))
        return s.Invalid();
    const DataElement* value = s.Param(1);
    std::unique_ptr<DataElement> stored;
    if (value->isList) {
        auto list = std::make_unique<ListDataElement>();
        if (!s.font.DereferenceList(static_cast<const ListDataElement*>(value), list.get()))
            return false;
        stored = std::move(list);
    } else if (const DataElement* define = s.font.FindDefine(TextOf(value))) {
        stored.reset(define->Duplicate());
    } else {
        stored.reset(value->Duplicate());
    }
    s.font.SetDefine(name, stored.release());
    return true;
}

// Rectangles side by side: (x, y, w0, h), (x + w0, y, w1, h), ...
bool CreateHorzSpanRectList(Statement& s)
{
    std::wstring name;
    std::vector<int> rect, widths;
    if (!s.Name(0, &name))
        return true;
    if (!s.font.DataToIntVector(s.Param(1), &rect) || rect.size() != 4 || !s.font.DataToIntVector(s.Param(2), &widths))
        return s.Invalid();
    auto list = std::make_unique<ListDataElement>();
    int64_t x = rect[0];
    for (int width : widths) {
        auto* item = new ListDataElement;
        list->Add(item);
        for (int64_t part : {x, int64_t(rect[1]), int64_t(width), int64_t(rect[3])})
            item->Add(new SingleDataElement(std::to_wstring(ClampToInt(part))));
        x += width;
    }
    s.font.SetDefine(name, list.release());
    return true;
}

bool SetDefaultPointSize(Statement& s)
{
    s.Int(0, &s.font.defaultPointSize);
    return true;
}

bool AddLayer(Statement& s, const std::wstring& name, const FontLayer& model)
{
    std::string key = Upper(WStringToString(name));
    if (s.font.fontLayerMap.count(key))
        return s.font.Error(L"Layer Already Exists");
    s.font.fontLayers.push_back(model);
    s.font.fontLayerMap[key] = &s.font.fontLayers.back();
    return true;
}

bool CreateLayer(Statement& s)
{
    std::wstring name;
    if (!s.Name(0, &name))
        return true;
    return AddLayer(s, name, FontLayer(&s.font));
}

bool CreateLayerFrom(Statement& s)
{
    std::wstring name;
    FontLayer* model = s.Layer(1);
    if (!model || !s.Name(0, &name))
        return true;
    return AddLayer(s, name, *model);
}

bool AppendTags(Statement& s, std::vector<std::string> FontLayer::*tags)
{
    FontLayer* layer = s.Layer(0);
    std::vector<std::wstring> names;
    if (!layer)
        return true;
    if (!s.font.DataToStringVector(s.Param(1), &names))
        return s.Invalid();
    for (const auto& name : names)
        (layer->*tags).push_back(Upper(WStringToString(name)));
    return true;
}

bool LayerRequireTags(Statement& s) { return AppendTags(s, &FontLayer::requiredTags); }
bool LayerExcludeTags(Statement& s) { return AppendTags(s, &FontLayer::excludedTags); }

bool LayerPointRange(Statement& s)
{
    if (FontLayer* layer = s.Layer(0)) {
        s.Int(1, &layer->minPointSize);
        s.Int(2, &layer->maxPointSize);
    }
    return true;
}

template <int FontLayer::*field>
bool SetLayerInt(Statement& s)
{
    if (FontLayer* layer = s.Layer(0))
        s.Int(1, &(layer->*field));
    return true;
}

bool LayerSetImage(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    std::wstring file;
    if (!layer)
        return true;
    if (!s.font.DataToString(s.Param(1), &file))
        return s.Invalid();
    if (!s.font.app)
        return s.font.Error(L"Failed to Load Image");
    std::string path = GetFullPath(WStringToString(file), GetFileDir(s.font.sourceFile));
    bool created = false;
    SharedImageRef image = s.font.app->GetSharedImage(path, "", &created);
    MemoryImage* sheet = image;
    if (!sheet)
        return s.font.Error(L"Failed to Load Image");
    if (created)
        sheet->Palletize();
    layer->image = image;
    return true;
}

bool LayerSetDrawMode(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    int mode = 0;
    if (layer && s.Int(1, &mode)) {
        if (mode == 0 || mode == 1)
            layer->drawMode = mode;
        else
            s.invalidType = true;
    }
    return true;
}

bool SetLayerColor(Statement& s, Color FontLayer::*field)
{
    if (FontLayer* layer = s.Layer(0))
        s.ColorParam(1, &(layer->*field));
    return true;
}

bool LayerSetColorMult(Statement& s) { return SetLayerColor(s, &FontLayer::colorMult); }
bool LayerSetColorAdd(Statement& s) { return SetLayerColor(s, &FontLayer::colorAdd); }

bool LayerSetOffset(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    std::vector<int> offset;
    if (!layer)
        return true;
    if (!s.font.DataToIntVector(s.Param(1), &offset) || offset.size() != 2)
        return s.Invalid();
    layer->offsetX = offset[0];
    layer->offsetY = offset[1];
    return true;
}

// Reads the characters (parameter 1) and their values (parameter 2, by `read`) and applies
// each value to its character of the layer.
template <typename Value>
bool ForEachChar(Statement& s, FontLayer* layer, const std::function<bool(std::vector<Value>*)>& read,
                 const std::function<bool(CharData&, const Value&)>& apply)
{
    std::vector<std::wstring> chars;
    std::vector<Value> values;
    if (!s.font.DataToStringVector(s.Param(1), &chars) || !read(&values))
        return s.Invalid();
    return s.ForEachKey<Value>(chars, values, 1, [&](const std::wstring& key, const Value& value) {
        return apply(layer->charData[key[0]], value);
    });
}

template <int CharData::*field>
bool SetCharInts(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    if (!layer)
        return true;
    return ForEachChar<int>(
        s, layer, [&](std::vector<int>* values) { return s.font.DataToIntVector(s.Param(2), values); },
        [](CharData& data, const int& value) {
            data.*field = value;
            return true;
        });
}

bool LayerSetCharOffsets(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    if (!layer)
        return true;
    return ForEachChar<std::vector<int>>(
        s, layer, [&](std::vector<std::vector<int>>* offsets) { return s.IntTuples(2, 2, offsets); },
        [&](CharData& data, const std::vector<int>& offset) {
            if (offset.empty()) {
                s.invalidType = true;
                return true;
            }
            data.offset = Point(offset[0], offset[1]);
            return true;
        });
}

bool LayerSetImageMap(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    if (!layer)
        return true;
    MemoryImage* sheet = layer->image;
    if (!sheet)
        return s.font.Error(L"Layer image not set");
    bool applied = ForEachChar<std::vector<int>>(
        s, layer, [&](std::vector<std::vector<int>>* rects) { return s.IntTuples(2, 4, rects); },
        [&](CharData& data, const std::vector<int>& r) {
            if (r.empty()) {
                s.invalidType = true;
                return true;
            }
            // Negative sizes would make the blitters read outside the sheet, like rectangles
            // reaching out of it.
            if (r[0] < 0 || r[1] < 0 || r[2] < 0 || r[3] < 0 || int64_t(r[0]) + r[2] > sheet->GetWidth() ||
                int64_t(r[1]) + r[3] > sheet->GetHeight())
                return s.font.Error(L"Image rectangle out of bounds");
            data.imageRect = Rect(r[0], r[1], r[2], r[3]);
            return true;
        });
    if (!applied)
        return false;
    int64_t measured = 0;
    for (wchar_t c = 0; c < 256; ++c) {
        const CharData& data = layer->GetCharData(c);
        measured = std::max<int64_t>(measured, int64_t(data.imageRect.height) + data.offset.y);
    }
    layer->defaultHeight = ClampToInt(measured);
    return true;
}

bool LayerSetKerningPairs(Statement& s)
{
    FontLayer* layer = s.Layer(0);
    std::vector<std::wstring> pairs;
    std::vector<int> offsets;
    if (!layer)
        return true;
    if (!s.font.DataToStringVector(s.Param(1), &pairs) || !s.font.DataToIntVector(s.Param(2), &offsets))
        return s.Invalid();
    return s.ForEachKey<int>(pairs, offsets, 2, [&](const std::wstring& pair, const int& offset) {
        layer->charData[pair[0]].kerningOffsets[pair[1]] = int8_t(uint8_t(offset & 0xFF));
        return true;
    });
}

bool Ignore(Statement&) { return true; }

struct Command {
    int paramCount; // -1: any
    Handler run;
};

const std::map<std::wstring, Command>& Commands()
{
    static const std::map<std::wstring, Command> commands = [] {
        const std::pair<const wchar_t*, Command> table[] = {
            {L"Define", {2, Define}},
            {L"CreateHorzSpanRectList", {3, CreateHorzSpanRectList}},
            {L"SetDefaultPointSize", {1, SetDefaultPointSize}},
            {L"CreateLayer", {1, CreateLayer}},
            {L"CreateLayerFrom", {2, CreateLayerFrom}},
            {L"LayerRequireTags", {2, LayerRequireTags}},
            {L"LayerExcludeTags", {2, LayerExcludeTags}},
            {L"LayerPointRange", {3, LayerPointRange}},
            {L"LayerSetPointSize", {2, SetLayerInt<&FontLayer::pointSize>}},
            {L"LayerSetHeight", {2, SetLayerInt<&FontLayer::height>}},
            {L"LayerSetImage", {2, LayerSetImage}},
            {L"LayerSetDrawMode", {2, LayerSetDrawMode}},
            {L"LayerSetColorMult", {2, LayerSetColorMult}},
            {L"LayerSetColorAdd", {2, LayerSetColorAdd}},
            {L"LayerSetAscent", {2, SetLayerInt<&FontLayer::ascent>}},
            {L"LayerSetAscentPadding", {2, SetLayerInt<&FontLayer::ascentPadding>}},
            {L"LayerSetLineSpacingOffset", {2, SetLayerInt<&FontLayer::lineSpacingOffset>}},
            {L"LayerSetOffset", {2, LayerSetOffset}},
            {L"LayerSetCharWidths", {3, SetCharInts<&CharData::width>}},
            {L"LayerSetSpacing", {2, SetLayerInt<&FontLayer::spacing>}},
            {L"LayerSetImageMap", {3, LayerSetImageMap}},
            {L"LayerSetCharOffsets", {3, LayerSetCharOffsets}},
            {L"LayerSetKerningPairs", {3, LayerSetKerningPairs}},
            {L"LayerSetBaseOrder", {2, SetLayerInt<&FontLayer::baseOrder>}},
            {L"LayerSetCharOrders", {3, SetCharInts<&CharData::order>}},
            {L"LayerSetCharOffsetsShift", {-1, Ignore}},
        };
        std::map<std::wstring, Command> byName;
        for (const auto& [name, command] : table)
            byName.emplace(Upper(std::wstring(name)), command);
        return byName;
    }();
    return commands;
}

} // namespace

bool FontData::Load(ImageFontHost* host, const std::string& fileName)
{
    if (initialized)
        return false;
    app = host;
    fontErrorHeader = L"Font Descriptor Error in " + StringToWString(fileName) + L"\r\n";
    sourceFile = fileName;
    initialized = LoadDescriptor(fileName);
    return true;
}

bool FontData::HandleCommand(const ListDataElement& params)
{
    auto it = Commands().find(Upper(TextOf(params[0])));
    if (it == Commands().end())
        return Error(L"Unknown Command");
    const Command& command = it->second;
    if (command.paramCount >= 0 && params.Size() != size_t(command.paramCount) + 1)
        return Error(L"Invalid Number of Parameters");
    Statement statement{*this, params};
    if (!command.run(statement))
        return false;
    if (statement.invalidType)
        return Error(L"Invalid Paramater Type");
    return true;
}

bool FontData::Error(const std::wstring& text)
{
    DescParser::Error(text);
    if (!app)
        return false;
    std::wstring message = fontErrorHeader + text;
    if (currentLineNum > 0)
        message += L" on Line " + StrFormatW(L"%d:\r\n\r\n", currentLineNum) + currentLine;
    app->PopupW(message);
    return false;
}

bool FontData::GetLayer(const DataElement* element, FontLayer** layer)
{
    *layer = nullptr;
    if (element->isList)
        return false;
    auto it = fontLayerMap.find(Upper(WStringToString(TextOf(element))));
    if (it == fontLayerMap.end())
        return Error(L"Undefined Layer");
    *layer = it->second;
    return true;
}

void FontData::DeRef()
{
    if (--refCount <= 0)
        delete this;
}

} // namespace Nubra
