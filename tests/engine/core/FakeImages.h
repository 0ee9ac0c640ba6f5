#pragma once
// Images for the texture table without an application: each file name gets a solid picture of
// its own, held in a shared record so that the table's counts can be watched.
#include <map>
#include <memory>
#include <string>

#include "engine/core/TCTextureTable.h"
#include "framework/graphics/MemoryImage.h"

namespace fixtures {

class FakeImages {
public:
    // Pictures of this size and colour for every file loaded from now on.
    int width = 8;
    int height = 8;
    uint32_t argb = 0xFFFFFFFF;

    TCImageLoader Loader()
    {
        return [this](const std::string& file) {
            ++loads[file];
            Entry& entry = entries_[file];
            if (!entry.picture) {
                entry.picture = std::make_unique<Nubra::MemoryImage>();
                entry.picture->Create(width, height);
                uint32_t* bits = entry.picture->GetBits();
                for (int i = 0; i < width * height; ++i)
                    bits[i] = argb;
                entry.picture->BitsChanged();
            }
            entry.record.image = entry.picture.get();
            return Nubra::SharedImageRef(&entry.record);
        };
    }

    // Handles still out on the file's picture.
    int Holders(const std::string& file) { return entries_[file].record.refCount; }

    std::map<std::string, int> loads;

private:
    struct Entry {
        std::unique_ptr<Nubra::MemoryImage> picture;
        Nubra::SharedImage record;
    };
    std::map<std::string, Entry> entries_;
};

// A table of the fake images, current while it lives.
class FakeTextureTable {
public:
    explicit FakeTextureTable(FakeImages& images) : table(images.Loader())
    {
        previous_ = gTextureTable;
        gTextureTable = &table;
    }
    ~FakeTextureTable() { gTextureTable = previous_; }
    FakeTextureTable(const FakeTextureTable&) = delete;
    FakeTextureTable& operator=(const FakeTextureTable&) = delete;

    TCTextureTable table;

private:
    TCTextureTable* previous_;
};

} // namespace fixtures
