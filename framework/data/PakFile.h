#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace Nubra {

// An open file of the data-file layer: an archive entry (entry set, read at pos) or a loose
// file on disk (disk set).
struct PFILE {
    const void* entry = nullptr; // owned by the archive layer that opened it
    int64_t pos = 0;
    FILE* disk = nullptr;
};

// The archive-backed file layer. The engine registers its one object at start-up; without it,
// data files come from disk.
class IPakFiles {
public:
    virtual ~IPakFiles() = default;
    virtual PFILE* FOpen(const char* name, const char* mode) = 0;
    virtual int FClose(PFILE* file) = 0;
    virtual int FSeek(PFILE* file, long offset, int origin) = 0; // origin 0 start, 1 current, 2 end
    virtual long FTell(PFILE* file) = 0;
    virtual size_t FRead(void* buffer, size_t size, size_t count, PFILE* file) = 0;
    virtual unsigned FGetWC(PFILE* file) = 0; // next 16-bit unit, carriage returns skipped; 0xFFFF at the end
    virtual bool FEof(PFILE* file) = 0;
};

void SetPakInterface(IPakFiles* paks); // null unregisters
IPakFiles* GetPakInterface();

// Loose files, with data names resolved for this file system. The archive layer falls back on it.
class DiskFiles : public IPakFiles {
public:
    PFILE* FOpen(const char* name, const char* mode) override;
    int FClose(PFILE* file) override;
    int FSeek(PFILE* file, long offset, int origin) override;
    long FTell(PFILE* file) override;
    size_t FRead(void* buffer, size_t size, size_t count, PFILE* file) override;
    unsigned FGetWC(PFILE* file) override;
    bool FEof(PFILE* file) override;
};

// The file layer every data read goes through: the registered archives, else the disk.
PFILE* PakFileOpen(const char* name, const char* mode);
int PakFileClose(PFILE* file);
int PakFileSeek(PFILE* file, long offset, int origin);
long PakFileTell(PFILE* file);
size_t PakFileRead(void* buffer, size_t size, size_t count, PFILE* file);
unsigned PakFileGetWC(PFILE* file);
bool PakFileEof(PFILE* file);

} // namespace Nubra
