#include "framework/graphics/ImageFileIO.h"

#include "platform/Files.h"

namespace ImageLib {

PakFilePtr OpenImageFile(const std::string& name) { return PakFilePtr(Nubra::PakFileOpen(name.c_str(), "rb")); }

std::optional<std::vector<uint8_t>> ReadImageFile(const std::string& name)
{
    PakFilePtr file = OpenImageFile(name);
    if (!file)
        return std::nullopt;
    constexpr size_t kChunk = 64 * 1024;
    std::vector<uint8_t> data;
    size_t got;
    do {
        size_t used = data.size();
        data.resize(used + kChunk);
        got = Nubra::PakFileRead(data.data() + used, 1, kChunk, file.get());
        data.resize(used + got);
    } while (got == kChunk);
    return data;
}

ImageOutputFile::ImageOutputFile(const std::string& name)
    : mPath(plat::ResolvePath(name)), mFile(std::fopen(mPath.c_str(), "wb"))
{
}

ImageOutputFile::~ImageOutputFile()
{
    if (!mFile)
        return;
    std::fclose(mFile);
    std::remove(mPath.c_str());
}

bool ImageOutputFile::Commit()
{
    if (!mFile)
        return false;
    bool written = std::ferror(mFile) == 0;
    written = std::fclose(mFile) == 0 && written;
    mFile = nullptr;
    if (!written)
        std::remove(mPath.c_str());
    return written;
}

} // namespace ImageLib
