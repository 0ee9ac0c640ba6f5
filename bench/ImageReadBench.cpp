// Reading TGA and GIF files whose picture is small beside the file: the time and the peak heap
// of one read should follow the picture, not the file. A plain read of the whole file is the
// yardstick for the large TGA.
#include "framework/graphics/ImageLib.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace {

// Heap in use and its peak, through operator new, as the readers and their containers allocate.
std::atomic<size_t> heapInUse{0};
std::atomic<size_t> heapPeak{0};

void* Allocate(size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    size_t now = heapInUse += malloc_usable_size(block);
    size_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return block;
}

void Release(void* block)
{
    if (!block)
        return;
    heapInUse -= malloc_usable_size(block);
    std::free(block);
}

} // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }

namespace {

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& out, unsigned value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

// One frame of 8-bit codes stored as 9-bit literals, a clear code before the table would grow.
Bytes GIFFrame(int width, int height)
{
    Bytes frame{0x2C};
    PutU16(frame, 0);
    PutU16(frame, 0);
    PutU16(frame, unsigned(width));
    PutU16(frame, unsigned(height));
    frame.push_back(0);
    frame.push_back(8);
    Bytes codes;
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](unsigned code) {
        bits |= code << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8)
            codes.push_back(uint8_t(bits));
    };
    for (int i = 0; i < width * height; ++i) {
        if (i % 254 == 0)
            put(256);
        put(unsigned(i * 7 + i / width) & 0xFF);
    }
    put(257);
    if (count > 0)
        codes.push_back(uint8_t(bits));
    for (size_t at = 0; at < codes.size(); at += 255) {
        size_t length = std::min<size_t>(255, codes.size() - at);
        frame.push_back(uint8_t(length));
        frame.insert(frame.end(), codes.begin() + long(at), codes.begin() + long(at + length));
    }
    frame.push_back(0);
    return frame;
}

// An animated GIF: the first frame, then more of them until the file has the given size.
Bytes AnimatedGIF(int width, int height, size_t fileSize)
{
    Bytes file{'G', 'I', 'F', '8', '9', 'a'};
    PutU16(file, unsigned(width));
    PutU16(file, unsigned(height));
    file.insert(file.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i)
        file.insert(file.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)});
    Bytes frame = GIFFrame(width, height);
    do
        file.insert(file.end(), frame.begin(), frame.end());
    while (file.size() + frame.size() <= fileSize);
    file.push_back(0x3B);
    return file;
}

// A 32-bit top-left TGA, with padding after the pixels up to the given size.
Bytes PaddedTGA(int width, int height, size_t fileSize)
{
    Bytes file{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PutU16(file, unsigned(width));
    PutU16(file, unsigned(height));
    file.insert(file.end(), {32, 0x28});
    for (int i = 0; i < width * height * 4; ++i)
        file.push_back(uint8_t(i * 13));
    file.resize(std::max(file.size(), fileSize), 0);
    return file;
}

struct Case {
    std::string name;
    std::string extension;
    Bytes (*make)(int, int, size_t);
    int width;
    int height;
    size_t fileSize;
};

const Case kCases[] = {
    {"gif/320x200/first-of-0.75MB", ".gif", AnimatedGIF, 320, 200, 750 * 1024},
    {"gif/320x200/first-of-64MB", ".gif", AnimatedGIF, 320, 200, 64u << 20},
    {"tga/1024x900/3.6MB", ".tga", PaddedTGA, 1024, 900, 0},
    {"tga/200x32/padded-to-64MB", ".tga", PaddedTGA, 200, 32, 64u << 20},
};

std::string WriteCase(const Case& c, size_t index)
{
    std::string path = (std::filesystem::temp_directory_path() /
                        ("nubra-imagebench-" + std::to_string(::getpid()) + "-" + std::to_string(index) + c.extension))
                           .string();
    Bytes data = c.make(c.width, c.height, c.fileSize);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path;
}

void ReadImage(benchmark::State& state, const std::string& path)
{
    heapPeak = heapInUse.load();
    size_t before = heapInUse.load();
    for (auto _ : state) {
        ImageLib::ImagePtr image = ImageLib::GetImage(path, false);
        if (!image)
            state.SkipWithError("no picture");
        benchmark::DoNotOptimize(image.get());
    }
    state.counters["peak_MiB"] = double(heapPeak.load() - before) / (1 << 20);
    state.counters["file_MiB"] = double(std::filesystem::file_size(path)) / (1 << 20);
}

// The yardstick: one fread of the whole file into a buffer of its size.
void PlainRead(benchmark::State& state, const std::string& path)
{
    size_t size = std::filesystem::file_size(path);
    std::vector<uint8_t> buffer(size);
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "rb");
        size_t got = std::fread(buffer.data(), 1, size, file);
        std::fclose(file);
        benchmark::DoNotOptimize(got);
        benchmark::ClobberMemory();
    }
    state.counters["file_MiB"] = double(size) / (1 << 20);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> paths;
    for (const Case& c : kCases) {
        paths.push_back(WriteCase(c, paths.size()));
        benchmark::RegisterBenchmark(("read/" + c.name).c_str(), ReadImage, paths.back())->Unit(benchmark::kMillisecond);
        if (c.extension == ".tga" && c.fileSize == 0)
            benchmark::RegisterBenchmark(("plain-fread/" + c.name).c_str(), PlainRead, paths.back())->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string& path : paths)
        std::filesystem::remove(path);
    return 0;
}
