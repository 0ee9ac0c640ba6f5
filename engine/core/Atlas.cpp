#include "engine/core/Atlas.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "engine/core/XmlHelpers.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/MemoryImage.h"

std::unique_ptr<Nubra::MemoryImage> LoadAppImage(const std::string& file)
{
    if (!Nubra::gNubraAppBase)
        return nullptr;
    return std::unique_ptr<Nubra::MemoryImage>(Nubra::gNubraAppBase->GetImage(file, true));
}

Atlas::Atlas(const std::string& baseName, const TCImageFileLoader& loader)
{
    const XmlDocument document = OpenXmlFile((baseName + "_atlaspack.xml").c_str());
    const pugi::xml_node content = document ? XmlSelectNode(*document, "atlas_content") : pugi::xml_node();
    if (!content)
        return;
    int count = 0;
    XmlGetInt(content, "atlas_count", count);
    for (int i = 0; i < count; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "_%02d.png", i);
        images_.push_back(loader(baseName + file));
    }
    ForEachNode(content, "image", [this](pugi::xml_node node) {
        std::string name;
        XmlGetString(node, "name", name);
        AtlasRecord record;
        record.atlas = this;
        XmlGetInt(node, "atlas", record.image);
        XmlGetInt(node, "offsetX", record.offsetX);
        XmlGetInt(node, "offsetY", record.offsetY);
        XmlGetInt(node, "W", record.width);
        XmlGetInt(node, "H", record.height);
        XmlGetInt(node, "atlasX", record.atlasX);
        XmlGetInt(node, "atlasY", record.atlasY);
        XmlGetInt(node, "origW", record.origWidth);
        XmlGetInt(node, "origH", record.origHeight);
        records_.emplace(name, record);
        return true;
    });
}

Atlas::~Atlas() = default;

const AtlasRecord* Atlas::Find(const std::string& name) const
{
    auto found = records_.find(name);
    return found == records_.end() ? nullptr : &found->second;
}

Nubra::MemoryImage* Atlas::GetImage(int index) const
{
    // The index comes from the file; a damaged one names no image.
    if (index < 0 || index >= int(images_.size()))
        return nullptr;
    return images_[index].get();
}

AtlasPicture::AtlasPicture() = default;
AtlasPicture::~AtlasPicture() = default;

void AtlasPicture::Load(const Atlas* atlas, const std::string& name, const TCImageFileLoader& loader)
{
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return c == '\\' ? '/' : char(std::tolower(c)); });
    record_ = atlas ? atlas->Find(key) : nullptr;
    standalone_.reset();
    if (!record_)
        standalone_ = loader(key);
}

int AtlasPicture::Width() const
{
    if (standalone_)
        return standalone_->GetWidth();
    return record_ ? record_->origWidth : 0;
}

int AtlasPicture::Height() const
{
    if (standalone_)
        return standalone_->GetHeight();
    return record_ ? record_->origHeight : 0;
}

Nubra::MemoryImage* AtlasPicture::Image() const
{
    if (standalone_)
        return standalone_.get();
    return record_ ? record_->atlas->GetImage(record_->image) : nullptr;
}
