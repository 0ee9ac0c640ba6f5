#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace ImageLib {
class Image;
}

namespace Nubra {

class MemoryImage;

// The bytes one image holds, form by form.
struct ImageMemoryUse {
    int64_t bits = 0;
    int64_t surface = 0;
    int64_t palette = 0;
    int64_t native = 0;
    int64_t rlAlpha = 0;
    int64_t rlAdditive = 0;
    int64_t texture = 0;

    static ImageMemoryUse Of(const MemoryImage& image);
    int64_t Total() const { return bits + surface + palette + native + rlAlpha + rlAdditive + texture; }
    ImageMemoryUse& operator+=(const ImageMemoryUse& other);
};

// Fills `thumbnail` with the nearest pixels of a width x height picture; an empty picture
// gives a transparent thumbnail.
void DrawThumbnail(const uint32_t* pixels, int width, int height, ImageLib::Image& thumbnail);

// Writes the developer's image memory report into `folder`, which must exist: the page
// "imagelist.html" with one row per image, largest first (equal sizes in the order given), and
// for row i "img%04d.png" (the picture) and "thumb%04d.jpg" (a 64 x 64 preview). Files that
// cannot be written are left out.
void WriteImageMemoryReport(const std::vector<MemoryImage*>& images, const std::string& folder, std::time_t when);

} // namespace Nubra
