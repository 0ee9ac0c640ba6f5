#pragma once
#include "framework/data/PakFile.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// File access shared by the image readers and writers.
namespace ImageLib {

struct PakFileCloser {
    void operator()(Nubra::PFILE* file) const { Nubra::PakFileClose(file); }
};
using PakFilePtr = std::unique_ptr<Nubra::PFILE, PakFileCloser>;

// Opens a data file for reading through the data-file layer; null when it exists nowhere.
PakFilePtr OpenImageFile(const std::string& name);

// The whole contents of a data file; nothing when it cannot be opened.
std::optional<std::vector<uint8_t>> ReadImageFile(const std::string& name);

// A plain file being written. Unless Commit succeeds, the destructor closes and removes it, so a
// failed write leaves no half-written picture behind.
class ImageOutputFile {
public:
    explicit ImageOutputFile(const std::string& name);
    ~ImageOutputFile();
    ImageOutputFile(const ImageOutputFile&) = delete;
    ImageOutputFile& operator=(const ImageOutputFile&) = delete;

    FILE* Get() const { return mFile; } // null when the file could not be created
    bool Commit();                      // closes; false when the data did not all reach the file

private:
    std::string mPath;
    FILE* mFile;
};

} // namespace ImageLib
