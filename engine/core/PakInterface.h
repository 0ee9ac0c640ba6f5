#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/data/PakFile.h"
#include "engine/core/PakFormat.h"

// What a directory search reports of one file.
struct PakFindData {
    static constexpr uint32_t kDirectory = 0x10;
    uint32_t attributes = 0;
    uint64_t creationTime = 0, lastAccessTime = 0, lastWriteTime = 0; // FILETIME
    uint32_t size = 0;
    std::string name; // the last component only
};

struct PakFind;

// The engine's file layer: the framework's reads plus the character-wise reads and the directory
// search the engine's own loaders use.
class PakInterfaceBase : public Nubra::IPakFiles {
public:
    virtual bool AddPakFile(const std::string& path) { (void)path; return false; }
    virtual int FGetC(Nubra::PFILE* file) = 0;              // carriage returns skipped; -1 at the end
    virtual int UnGetC(int c, Nubra::PFILE* file) = 0;      // steps back; the data stays as it was
    virtual wchar_t* FGetWS(wchar_t* buffer, int count, Nubra::PFILE* file) = 0; // 16-bit units
    virtual char* FGetS(char* buffer, int count, Nubra::PFILE* file) = 0;
    // Null when nothing matches; the handle goes back through FindClose.
    virtual PakFind* FindFirstFile(const char* pattern, PakFindData* found) = 0;
    virtual bool FindNextFile(PakFind* find, PakFindData* found) = 0;
    virtual void FindClose(PakFind* find) = 0;
};

// The lookup key of a data name: a leading "<currentDir>/" dropped (ignoring case), runs of '/'
// and '\' made one '\', "." dropped, ".." taking back the component before it (none at the top),
// ASCII upper case.
std::string PakKeyOf(std::string_view name, std::string_view currentDir);

// Data files from memory-mapped pak archives, falling back on loose files. An archive added later
// replaces the entries of the same name of earlier ones. The first one constructed becomes the
// framework's file layer until it is destroyed.
//
// The archives are read-only game data: one truncated by another process while mapped makes reads
// of its entries fault (SIGBUS), which we accept.
class PakInterface : public PakInterfaceBase {
public:
    PakInterface();
    ~PakInterface() override;
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // False, with a warning in the log when the file is there, for an archive that is missing,
    // empty or malformed; a refused archive leaves the entries already known untouched.
    bool AddPakFile(const std::string& path) override;

    Nubra::PFILE* FOpen(const char* name, const char* mode) override;
    int FClose(Nubra::PFILE* file) override;
    int FSeek(Nubra::PFILE* file, long offset, int origin) override;
    long FTell(Nubra::PFILE* file) override;
    size_t FRead(void* buffer, size_t size, size_t count, Nubra::PFILE* file) override;
    unsigned FGetWC(Nubra::PFILE* file) override;
    bool FEof(Nubra::PFILE* file) override;

    int FGetC(Nubra::PFILE* file) override;
    int UnGetC(int c, Nubra::PFILE* file) override;
    wchar_t* FGetWS(wchar_t* buffer, int count, Nubra::PFILE* file) override;
    char* FGetS(char* buffer, int count, Nubra::PFILE* file) override;
    PakFind* FindFirstFile(const char* pattern, PakFindData* found) override;
    bool FindNextFile(PakFind* find, PakFindData* found) override;
    void FindClose(PakFind* find) override;

    struct Archive;
    struct Entry {
        const Archive* archive;
        PakDirEntry dir;
    };

private:
    const Entry* Lookup(std::string_view name) const;
    std::string KeyOf(std::string_view name) const;
    bool NextArchiveMatch(PakFind& find, PakFindData* found) const;

    std::vector<std::unique_ptr<Archive>> archives_;
    std::map<std::string, const Entry*> entries_;
    Nubra::DiskFiles disk_;
    bool published_ = false;
};
