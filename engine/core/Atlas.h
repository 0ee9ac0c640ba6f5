#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Nubra {
class MemoryImage;
}

// Reads an image file whole; null when it cannot be read.
using TCImageFileLoader = std::function<std::unique_ptr<Nubra::MemoryImage>(const std::string& file)>;

// The application's own copy of the file's picture.
std::unique_ptr<Nubra::MemoryImage> LoadAppImage(const std::string& file);

class Atlas;

// Where one picture lies in an atlas; fields the file leaves out are 0.
struct AtlasRecord {
    const Atlas* atlas = nullptr;
    int image = 0; // index among the atlas's images
    int offsetX = 0, offsetY = 0;
    int width = 0, height = 0;
    int atlasX = 0, atlasY = 0;
    int origWidth = 0, origHeight = 0;
};

// Many small pictures packed into a few images, as "<base>_atlaspack.xml" describes them. A
// missing description gives an empty atlas.
class Atlas {
public:
    explicit Atlas(const std::string& baseName, const TCImageFileLoader& loader = LoadAppImage);
    ~Atlas();

    const AtlasRecord* Find(const std::string& name) const;
    // Null for an index the atlas does not have.
    Nubra::MemoryImage* GetImage(int index) const;

private:
    std::vector<std::unique_ptr<Nubra::MemoryImage>> images_;
    std::map<std::string, AtlasRecord> records_;
};

// One picture, from an atlas when it holds the name, else from its own file.
class AtlasPicture {
public:
    AtlasPicture();
    ~AtlasPicture();

    // The name is matched lower-cased with '/' separators.
    void Load(const Atlas* atlas, const std::string& name, const TCImageFileLoader& loader = LoadAppImage);
    int Width() const;
    int Height() const;
    Nubra::MemoryImage* Image() const;
    const AtlasRecord* Record() const { return record_; }

private:
    const AtlasRecord* record_ = nullptr;
    std::unique_ptr<Nubra::MemoryImage> standalone_;
};
