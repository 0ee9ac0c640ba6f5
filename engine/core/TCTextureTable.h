#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "framework/graphics/Rect.h"
#include "framework/graphics/SharedImage.h"

namespace pugi {
class xml_node;
}

// Reads an image file for the texture table; an empty handle when it cannot be read.
using TCImageLoader = std::function<Nubra::SharedImageRef(const std::string& file)>;

// The application's shared image of the file.
Nubra::SharedImageRef LoadSharedImage(const std::string& file);

// One declared image, in memory exactly while someone holds a count on it. The loading threads
// and the main thread count at the same time, so counting, loading and freeing share a lock.
class TCImageDesc {
public:
    TCImageDesc(std::string file, const TCImageLoader& loader) : file_(std::move(file)), loader_(loader) {}
    TCImageDesc(const TCImageDesc&) = delete;
    TCImageDesc& operator=(const TCImageDesc&) = delete;

    void AddRef();
    void Release();
    // The whole image; empty, with a warning, while it is not loaded.
    Nubra::Rect GetRect() const;
    Nubra::MemoryImage* GetImage() const;
    const std::string& GetFile() const { return file_; }
    int32_t GetRefCount() const;

private:
    const std::string file_;
    const TCImageLoader& loader_;
    mutable std::mutex mutex_;
    Nubra::SharedImageRef image_;
    int32_t count_ = 0;
};

// A handle on a declared image; a locked handle holds one count on it.
class TCImageRef {
public:
    TCImageRef() = default;
    explicit TCImageRef(TCImageDesc* desc) : desc_(desc) {}
    // Copies take the description, and a count when the other holds one.
    TCImageRef(const TCImageRef& other);
    TCImageRef& operator=(const TCImageRef& other);
    ~TCImageRef() { Unlock(); }

    void Lock();
    void Unlock();
    // Locks first, so the image stays until the handle unlocks.
    Nubra::MemoryImage* GetImage();
    void Reset();

    TCImageDesc* GetDesc() const { return desc_; }
    bool IsLocked() const { return locked_; }
    explicit operator bool() const { return desc_ != nullptr; }

private:
    TCImageDesc* desc_ = nullptr;
    bool locked_ = false;
};

// The images "cfg\ui.xml" declares by id. Filled once on the loading thread; lookups after that
// only read it.
class TCTextureTable {
public:
    explicit TCTextureTable(TCImageLoader loader = LoadSharedImage) : loader_(std::move(loader)) {}
    // Descriptions and handles point into the table.
    TCTextureTable(const TCTextureTable&) = delete;
    TCTextureTable& operator=(const TCTextureTable&) = delete;

    // The "texture" children of the root whose file exists; an id already known keeps its file.
    void Load(pugi::xml_node root);
    // False when the id is known already.
    bool Add(const std::string& id, const std::string& file);
    // An unlocked handle; null for an unknown id.
    TCImageRef Find(const std::string& id);

private:
    TCImageLoader loader_;
    std::map<std::string, TCImageDesc> descs_;
};

// The engine's table while it exists.
extern TCTextureTable* gTextureTable;
TCImageRef FindTexture(const std::string& id);
