#include "framework/data/PakFile.h"

#include "platform/Files.h"

#include <atomic>

namespace Nubra {
namespace {

std::atomic<IPakFiles*> registered{nullptr};

IPakFiles& Layer()
{
    static DiskFiles disk;
    IPakFiles* paks = registered.load(std::memory_order_acquire);
    return paks ? *paks : disk;
}

} // namespace

void SetPakInterface(IPakFiles* paks) { registered.store(paks, std::memory_order_release); }
IPakFiles* GetPakInterface() { return registered.load(std::memory_order_acquire); }

PFILE* DiskFiles::FOpen(const char* name, const char* mode)
{
    FILE* disk = plat::OpenFile(name, mode);
    return disk ? new PFILE{nullptr, 0, disk} : nullptr;
}

int DiskFiles::FClose(PFILE* file)
{
    if (file && file->disk)
        std::fclose(file->disk);
    delete file;
    return 0;
}

int DiskFiles::FSeek(PFILE* file, long offset, int origin)
{
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < 0 || origin > 2)
        return -1;
    return std::fseek(file->disk, offset, kWhence[origin]);
}

long DiskFiles::FTell(PFILE* file) { return std::ftell(file->disk); }

size_t DiskFiles::FRead(void* buffer, size_t size, size_t count, PFILE* file)
{
    return std::fread(buffer, size, count, file->disk);
}

unsigned DiskFiles::FGetWC(PFILE* file)
{
    unsigned unit;
    do
        unit = plat::ReadU16LE(file->disk);
    while (unit == '\r');
    return unit;
}

bool DiskFiles::FEof(PFILE* file)
{
    int c = std::fgetc(file->disk);
    if (c == EOF)
        return true;
    std::ungetc(c, file->disk);
    return false;
}

PFILE* PakFileOpen(const char* name, const char* mode) { return Layer().FOpen(name, mode); }
int PakFileClose(PFILE* file) { return Layer().FClose(file); }
int PakFileSeek(PFILE* file, long offset, int origin) { return Layer().FSeek(file, offset, origin); }
long PakFileTell(PFILE* file) { return Layer().FTell(file); }
size_t PakFileRead(void* buffer, size_t size, size_t count, PFILE* file) { return Layer().FRead(buffer, size, count, file); }
unsigned PakFileGetWC(PFILE* file) { return Layer().FGetWC(file); }
bool PakFileEof(PFILE* file) { return Layer().FEof(file); }

} // namespace Nubra
