#include "framework/data/ResourceManager.h"

#include "framework/data/XmlReader.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/FontData.h"
#include "framework/text/ImageFont.h"
#include "framework/text/ImageFontHost.h"
#include "framework/text/SysFont.h"
#include "framework/util/PathUtils.h"
#include "framework/util/SectionProfiler.h"
#include "framework/util/StringUtils.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace Nubra {

namespace {

constexpr uint32_t kImageFlagMinSubdivide = 1;
constexpr uint32_t kImageFlagA4R4G4B4 = 4;
constexpr uint32_t kImageFlagA8R8G8B8 = 8;

std::string Narrow(const std::wstring& text) { return WStringToString(text); }

// Decimal; `absent` without the attribute, 0 for a value that is not a number.
int ReadInt(const XmlElement& element, const wchar_t* name, int absent)
{
    if (!element.HasAttribute(name))
        return absent;
    int value = 0;
    StringToInt(element.GetAttribute(name), &value);
    return value;
}

// Comma-separated decimals.
std::vector<int> ReadIntList(const XmlElement& element, const wchar_t* name)
{
    std::vector<int> values;
    std::wstring text = element.GetAttribute(name);
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find(L',', start), text.size());
        int value = 0;
        StringToInt(Narrow(text.substr(start, end - start)), &value);
        values.push_back(value);
        start = end + 1;
    }
    return values;
}

// Cels of an image grid: at least one, and no more than an image can have pixels across.
int ReadCelCount(const XmlElement& element, const wchar_t* name)
{
    return std::clamp(ReadInt(element, name, 1), 1, ImageLib::kMaxImageSide);
}

std::vector<std::string> SplitTags(const std::string& text)
{
    std::vector<std::string> tags;
    size_t start = 0;
    while ((start = text.find_first_not_of(", \r\n\t", start)) != std::string::npos) {
        size_t end = std::min(text.find_first_of(", \r\n\t", start), text.size());
        tags.push_back(text.substr(start, end - start));
        start = end;
    }
    return tags;
}

} // namespace

ResourceManager::ResourceManager(ImageFontHost* images, ImageHost* display) : images_(images), display_(display) {}

ResourceManager::~ResourceManager() = default;

bool ResourceManager::Fail(const std::string& text)
{
    if (hadError_)
        return false;
    error_ = text;
    if (xmlReader_ && xmlReader_->GetCurrentLineNum() > 0)
        error_ += StrFormat(" on Line %d", xmlReader_->GetCurrentLineNum());
    if (xmlReader_ && !xmlReader_->GetFileName().empty())
        error_ += " in File '" + xmlReader_->GetFileName() + "'";
    hadError_ = true;
    return false;
}

void ResourceManager::ClearError()
{
    error_.clear();
    hadError_ = false;
}

bool ResourceManager::ParseResourcesFile(const std::string& fileName)
{
    XmlReader reader;
    if (!reader.OpenFile(fileName))
        return Fail(StrFormat("Failed to open resource file: %s", fileName.c_str()));
    xmlReader_ = &reader;
    bool parsed = ReadManifest();
    xmlReader_ = nullptr;
    return parsed;
}

bool ResourceManager::ReadManifest()
{
    XmlElement element;
    while (xmlReader_->NextElement(&element)) {
        if (element.type == XmlElement::TYPE_TEXT)
            return Fail("Element Not Expected '" + Narrow(element.value) + "'");
        if (element.type != XmlElement::TYPE_START)
            continue;
        if (element.value == L"ResourceManifest" && element.section.empty())
            continue;
        if (element.value != L"Resources")
            return Fail("Invalid Section '" + Narrow(element.value) + "'");
        currentGroup_ = Narrow(element.GetAttribute(L"id"));
        if (!ParseResources())
            return false;
    }
    return !xmlReader_->HasFailed() || Fail(Narrow(xmlReader_->GetErrorText()));
}

bool ResourceManager::ParseResources()
{
    XmlElement element;
    for (;;) {
        if (!xmlReader_->NextElement(&element))
            return !xmlReader_->HasFailed() || Fail(Narrow(xmlReader_->GetErrorText()));
        if (element.type == XmlElement::TYPE_END)
            return true;
        if (element.type == XmlElement::TYPE_TEXT)
            return Fail("Element Not Expected '" + Narrow(element.value) + "'");
        if (element.type != XmlElement::TYPE_START)
            continue;
        bool parsed;
        if (element.value == L"Image")
            parsed = ParseImageResource(element);
        else if (element.value == L"Sound")
            parsed = ParseSoundResource(element);
        else if (element.value == L"Font")
            parsed = ParseFontResource(element);
        else if (element.value == L"SetDefaults")
            parsed = ParseSetDefaults(element);
        else
            return Fail("Invalid Section '" + Narrow(element.value) + "'");
        if (!parsed || !ExpectEnd())
            return false;
    }
}

bool ResourceManager::ExpectEnd()
{
    XmlElement element;
    if (!xmlReader_->NextElement(&element))
        return Fail(xmlReader_->HasFailed() ? Narrow(xmlReader_->GetErrorText()) : "Unexpected element found.");
    return element.type == XmlElement::TYPE_END || Fail("Unexpected element found.");
}

bool ResourceManager::ParseCommonResource(const XmlElement& element, std::unique_ptr<BaseRes>& res, ResMap& map)
{
    lastFailureWasDuplicate_ = false;
    if (!element.HasAttribute(L"path"))
        return Fail("No path specified.");
    std::string path = Narrow(element.GetAttribute(L"path"));
    res->fromProgram = path.starts_with("!program");
    res->path = path.starts_with("!") ? path : defaultPath_ + path;
    std::string id = element.HasAttribute(L"id") ? Narrow(element.GetAttribute(L"id")) : GetFileName(path, true);
    res->id = defaultIdPrefix_ + id;
    res->resGroup = currentGroup_;
    res->attributes = element.attributes;
    if (map.count(res->id)) {
        lastFailureWasDuplicate_ = true;
        return Fail("Resource already defined.");
    }
    groupMap_[currentGroup_].push_back(res.get());
    std::string key = res->id;
    map[key] = std::move(res);
    return true;
}

ResourceManager::BaseRes* ResourceManager::FileRecord(const XmlElement& element, std::unique_ptr<BaseRes> res,
                                                      ResMap& map)
{
    BaseRes* filed = res.get();
    if (ParseCommonResource(element, res, map))
        return filed;
    if (!lastFailureWasDuplicate_ || !allowRedefinition_)
        return nullptr;
    ClearError();
    BaseRes* existing = map.at(res->id).get();
    existing->path = res->path;
    existing->attributes = res->attributes;
    return existing;
}

bool ResourceManager::ParseSoundResource(const XmlElement& element)
{
    (void)element;
    return true;
}

bool ResourceManager::ParseImageResource(const XmlElement& element)
{
    auto* res = static_cast<ImageRes*>(FileRecord(element, std::make_unique<ImageRes>(), imageMap_));
    if (!res)
        return false;
    auto has = [&](const wchar_t* name) { return element.HasAttribute(name); };
    auto path = [&](const wchar_t* name) { return has(name) ? defaultPath_ + Narrow(element.GetAttribute(name)) : ""; };
    bool accelerated = display_ && display_->Is3DAccelerated();
    res->palletize = !has(L"nopal");
    res->a4r4g4b4 = has(L"a4r4g4b4");
    res->a8r8g8b8 = has(L"a8r8g8b8");
    res->ddSurface = has(L"ddsurface");
    res->minSubdivide = has(L"minsubdivide");
    res->useAlpha = !has(L"noalpha");
    res->purgeBits = has(L"nobits") || (has(L"nobits3d") && accelerated) || (has(L"nobits2d") && !accelerated);
    res->alphaImage = path(L"alphaimage");
    res->alphaGridImage = path(L"alphagrid");
    unsigned color = 0xFFFFFF;
    if (has(L"alphacolor"))
        std::swscanf(element.GetAttribute(L"alphacolor").c_str(), L"%x", &color);
    res->alphaColor = color;
    res->variant = element.GetAttribute(L"variant");
    res->rows = ReadCelCount(element, L"rows");
    res->cols = ReadCelCount(element, L"cols");

    res->animInfo = AnimInfo();
    if (!has(L"anim"))
        return true;
    static const std::pair<const wchar_t*, AnimInfo::Type> kTypes[] = {
        {L"none", AnimInfo::None}, {L"once", AnimInfo::Once}, {L"pingpong", AnimInfo::PingPong}, {L"loop", AnimInfo::Loop}};
    auto type = std::find_if(std::begin(kTypes), std::end(kTypes),
                             [&](const auto& entry) { return element.GetAttribute(L"anim") == entry.first; });
    if (type == std::end(kTypes))
        return Fail("Invalid animation type.");
    res->animInfo.animType = type->second;
    if (type->second == AnimInfo::None)
        return true;
    res->animInfo.frameDelay = ReadInt(element, L"framedelay", 0);
    std::vector<int> delays = ReadIntList(element, L"perframedelay");
    for (size_t frame = 0; frame < delays.size(); ++frame)
        res->animInfo.SetPerFrameDelay(int(frame), delays[frame]);
    std::vector<int> frameMap = ReadIntList(element, L"framemap");
    res->animInfo.frameMap.assign(frameMap.begin(), frameMap.end());
    res->animInfo.Compute(std::max(res->rows, res->cols), ReadInt(element, L"begindelay", 0),
                          ReadInt(element, L"enddelay", 0));
    return true;
}

bool ResourceManager::ParseFontResource(const XmlElement& element)
{
    auto* res = static_cast<FontRes*>(FileRecord(element, std::make_unique<FontRes>(), fontMap_));
    if (!res)
        return false;
    res->imagePath = Narrow(element.GetAttribute(L"image"));
    res->tags = Narrow(element.GetAttribute(L"tags"));
    res->sysFont = res->path.starts_with("!sys:");
    res->size = ReadInt(element, L"size", 0);
    res->bold = res->sysFont && element.HasAttribute(L"bold");
    res->italic = res->sysFont && element.HasAttribute(L"italic");
    res->shadow = res->sysFont && element.HasAttribute(L"shadow");
    res->underline = res->sysFont && element.HasAttribute(L"underline");
    if (res->sysFont && !element.HasAttribute(L"size"))
        return Fail("SysFont needs point size");
    return true;
}

bool ResourceManager::ParseSetDefaults(const XmlElement& element)
{
    if (element.HasAttribute(L"path"))
        defaultPath_ = AddTrailingSlash(RemoveTrailingSlash(Narrow(element.GetAttribute(L"path"))));
    if (element.HasAttribute(L"idprefix"))
        defaultIdPrefix_ = RemoveTrailingSlash(Narrow(element.GetAttribute(L"idprefix")));
    return true;
}

void ResourceManager::DeleteMap(ResMap& map, const std::string& group)
{
    for (auto& entry : map)
        if (group.empty() || entry.second->resGroup == group)
            entry.second->DeleteResource();
}

void ResourceManager::DeleteResources(const std::string& group)
{
    // The records stay filed and listed, so that the group can be loaded again.
    DeleteMap(imageMap_, group);
    DeleteMap(soundMap_, group);
    DeleteMap(fontMap_, group);
    if (group.empty())
        loadedGroups_.clear();
    else
        loadedGroups_.erase(group);
}

void ResourceManager::StartLoadResources(const std::string& group)
{
    ClearError();
    currentGroup_ = group;
    loadList_ = &groupMap_[group];
    loadIt_ = loadList_->begin();
}

bool ResourceManager::LoadNextResource()
{
    if (hadError_ || !loadList_)
        return false;
    while (loadIt_ != loadList_->end()) {
        BaseRes* res = *loadIt_++;
        if (res->fromProgram || res->IsLoaded())
            continue;
        if (res->type == BaseRes::TYPE_IMAGE)
            return DoLoadImage(static_cast<ImageRes*>(res));
        if (res->type == BaseRes::TYPE_FONT)
            return DoLoadFont(static_cast<FontRes*>(res));
    }
    return false;
}

bool ResourceManager::LoadResources(const std::string& group)
{
    ClearError();
    StartLoadResources(group);
    while (LoadNextResource()) {
    }
    if (hadError_)
        return false;
    loadedGroups_.insert(group);
    return true;
}

bool ResourceManager::ApplyAlphaImage(ImageRes* res, MemoryImage* image, const std::string& alphaPath, bool grid)
{
    ImageLib::ImagePtr alpha = ImageLib::GetImage(alphaPath, false);
    if (!alpha)
        return Fail(StrFormat("Failed to load image: %s", alphaPath.c_str()));
    int across = grid ? res->cols : 1;
    int down = grid ? res->rows : 1;
    if (alpha->GetWidth() * across != image->width || alpha->GetHeight() * down != image->height)
        return Fail(StrFormat(grid ? "GridAlphaImage size mismatch between %s and %s"
                                   : "AlphaImage size mismatch between %s and %s",
                              res->path.c_str(), alphaPath.c_str()));
    // The alpha picture's grey (its blue byte) becomes the alpha of every cel.
    uint32_t* bits = image->GetBits();
    for (int y = 0; y < image->height; ++y) {
        const uint32_t* alphaRow = alpha->Row(y % alpha->GetHeight());
        for (int x = 0; x < image->width; ++x, ++bits)
            *bits = (*bits & 0x00FFFFFF) | alphaRow[x % alpha->GetWidth()] << 24;
    }
    image->BitsChanged();
    return true;
}

bool ResourceManager::DoLoadImage(ImageRes* res)
{
    SectionProfiler::Scope section("ResourceManager:GetImage");
    // Only this thread's picture reading takes the colour: another thread may load at once.
    ImageLib::ScopedAlphaOnlyColor alphaColor(res->alphaColor);
    bool created = false;
    SharedImageRef shared = images_->GetSharedImage(res->path, Narrow(res->variant), &created);
    MemoryImage* image = shared.GetImage();
    if (!image)
        return Fail(StrFormat("Failed to load image: %s", res->path.c_str()));
    if (created) {
        if (!res->alphaImage.empty() && !ApplyAlphaImage(res, image, res->alphaImage, false))
            return false;
        if (!res->alphaGridImage.empty() && !ApplyAlphaImage(res, image, res->alphaGridImage, true))
            return false;
        image->CommitBits();
        image->purgeRequested = res->purgeBits;
        if (res->palletize) {
            SectionProfiler::Scope palletize("ResourceManager:Palletize");
            image->Palletize();
        }
    }
    if (res->a4r4g4b4)
        image->d3dFlags |= kImageFlagA4R4G4B4;
    if (res->a8r8g8b8)
        image->d3dFlags |= kImageFlagA8R8G8B8;
    if (res->minSubdivide)
        image->d3dFlags |= kImageFlagMinSubdivide;
    if (res->animInfo.animType != AnimInfo::None)
        image->animInfo = std::make_unique<AnimInfo>(res->animInfo);
    image->numRows = res->rows;
    image->numCols = res->cols;
    if (res->purgeBits)
        image->PurgeBits();
    res->image = shared;
    ResourceLoadedHook(res);
    return true;
}

bool ResourceManager::DoLoadFont(FontRes* res)
{
    SectionProfiler::Scope section("ResourceManager:DoLoadFont");
    std::unique_ptr<Font> font;
    if (res->sysFont) {
        auto sysFont = std::make_unique<SysFont>(res->path.substr(5), res->size, res->bold, res->italic, res->underline);
        sysFont->drawShadow = res->shadow;
        font = std::move(sysFont);
    } else if (!res->imagePath.empty()) {
        return Fail(StrFormat("Failed to load font: %s", res->path.c_str()));
    } else if (res->path.starts_with("!ref:")) {
        std::string refId = res->path.substr(5);
        auto found = fontMap_.find(refId);
        auto* ref = found == fontMap_.end() ? nullptr : static_cast<FontRes*>(found->second.get());
        if (!ref || !ref->font)
            return Fail("Ref font not found: " + refId);
        font.reset(ref->font->Duplicate());
    } else {
        auto imageFont = std::make_unique<ImageFont>(images_, res->path);
        if (!imageFont->fontData->initialized)
            return Fail(StrFormat("Failed to load font: %s", res->path.c_str()));
        font = std::move(imageFont);
    }
    if (auto* imageFont = dynamic_cast<ImageFont*>(font.get())) {
        for (const std::string& tag : SplitTags(res->tags))
            imageFont->AddTag(tag);
        imageFont->Prepare();
    }
    res->font = std::move(font);
    ResourceLoadedHook(res);
    return true;
}

SharedImageRef ResourceManager::GetImageThrow(const std::string& id)
{
    auto found = imageMap_.find(id);
    if (found != imageMap_.end()) {
        auto* res = static_cast<ImageRes*>(found->second.get());
        if (res->IsLoaded())
            return res->image;
        if (res->fromProgram && allowMissingProgramImages_)
            return SharedImageRef();
    }
    // The exception names this resource even when an earlier error is the one kept.
    std::string text = StrFormat("Image resource not found: %s", id.c_str());
    Fail(text);
    throw ResourceManagerException(text);
}

int32_t ResourceManager::GetSoundThrow(const std::string& id)
{
    (void)id;
    return -1;
}

Font* ResourceManager::GetFontThrow(const std::string& id)
{
    auto found = fontMap_.find(id);
    if (found != fontMap_.end())
        if (Font* font = static_cast<FontRes*>(found->second.get())->font.get())
            return font;
    std::string text = StrFormat("Font resource not found: %s", id.c_str());
    Fail(text);
    throw ResourceManagerException(text);
}

} // namespace Nubra
