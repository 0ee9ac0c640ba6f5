#include "engine/core/TCTextureTable.h"

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "framework/app/NubraAppBase.h"
#include "framework/data/PakFile.h"
#include "framework/graphics/MemoryImage.h"

TCTextureTable* gTextureTable = nullptr;

Nubra::SharedImageRef LoadSharedImage(const std::string& file)
{
    if (!Nubra::gNubraAppBase)
        return {};
    return Nubra::gNubraAppBase->GetSharedImage(file, "", nullptr);
}

void TCImageDesc::AddRef()
{
    std::lock_guard lock(mutex_);
    if (count_++ == 0)
        image_ = loader_(file_);
}

void TCImageDesc::Release()
{
    std::lock_guard lock(mutex_);
    if (count_ > 0 && --count_ == 0)
        image_.Release();
}

Nubra::MemoryImage* TCImageDesc::GetImage() const
{
    std::lock_guard lock(mutex_);
    return image_;
}

int32_t TCImageDesc::GetRefCount() const
{
    std::lock_guard lock(mutex_);
    return count_;
}

Nubra::Rect TCImageDesc::GetRect() const
{
    const Nubra::MemoryImage* image = GetImage();
    if (!image) {
        WriteLog("WARNING: Trying to call TCImageDesc::GetRect() with empty image. File: '%s'", file_.c_str());
        return {};
    }
    return {0, 0, image->GetWidth(), image->GetHeight()};
}

TCImageRef::TCImageRef(const TCImageRef& other) : desc_(other.desc_)
{
    if (other.locked_)
        Lock();
}

TCImageRef& TCImageRef::operator=(const TCImageRef& other)
{
    if (this == &other)
        return *this;
    Unlock();
    desc_ = other.desc_;
    if (other.locked_)
        Lock();
    return *this;
}

void TCImageRef::Lock()
{
    if (locked_ || !desc_)
        return;
    locked_ = true;
    desc_->AddRef();
}

void TCImageRef::Unlock()
{
    if (!locked_)
        return;
    locked_ = false;
    desc_->Release();
}

Nubra::MemoryImage* TCImageRef::GetImage()
{
    Lock();
    return desc_ ? desc_->GetImage() : nullptr;
}

void TCImageRef::Reset()
{
    Unlock();
    desc_ = nullptr;
}

void TCTextureTable::Load(pugi::xml_node root)
{
    // Only direct children: control textures nested deeper use the same tag.
    ForEachNode(root, "texture", [this](pugi::xml_node node) {
        std::string id, file;
        XmlGetString(node, "id", id);
        XmlGetString(node, "file", file);
        if (Nubra::PFILE* probe = Nubra::PakFileOpen(file.c_str(), "r")) {
            Nubra::PakFileClose(probe);
            Add(id, file);
        }
        return true;
    });
}

bool TCTextureTable::Add(const std::string& id, const std::string& file)
{
    return descs_.try_emplace(id, file, loader_).second;
}

TCImageRef TCTextureTable::Find(const std::string& id)
{
    auto found = descs_.find(id);
    return found == descs_.end() ? TCImageRef() : TCImageRef(&found->second);
}

TCImageRef FindTexture(const std::string& id) { return gTextureTable ? gTextureTable->Find(id) : TCImageRef(); }
