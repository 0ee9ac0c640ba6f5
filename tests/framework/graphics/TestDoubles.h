#pragma once
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/TextureData.h"
#include "framework/text/Font.h"
#include "framework/util/StringUtils.h"

#include <set>
#include <string>
#include <vector>

namespace NubraTest {

using namespace Nubra;

// An application's image registry without a window.
struct FakeImageHost : ImageHost {
    std::set<MemoryImage*> images;
    bool accelerated = false;
    NativeDisplay* display = nullptr;
    int cleanupRequests = 0;

    void AddMemoryImage(MemoryImage* image) override { images.insert(image); }
    void RemoveMemoryImage(MemoryImage* image) override
    {
        images.erase(image);
        Remove3DData(image);
    }
    void Remove3DData(MemoryImage* image) override
    {
        delete image->d3dData;
        image->d3dData = nullptr;
    }
    bool Is3DAccelerated() override { return accelerated; }
    NativeDisplay* GetNativeDisplay() override { return display; }
    void RequestSharedImageCleanup() override { ++cleanupRequests; }
};

// Installs a host as the application's for the life of a test.
struct ScopedImageHost {
    FakeImageHost host;
    ScopedImageHost() { SetImageHost(&host); }
    ~ScopedImageHost() { SetImageHost(nullptr); }
};

inline std::string Str(const Rect& r) { return StrFormat("%d,%d,%d,%d", r.x, r.y, r.width, r.height); }
inline std::string Str(const Color& c) { return StrFormat("%08x", c.ToInt()); }

// An image that logs the drawing operations that reach it.
struct SpyImage : Image {
    std::vector<std::string> calls;

    SpyImage(int w, int h)
    {
        width = w;
        height = h;
    }

    void FillRect(const Rect& r, const Color& c, int mode) override
    {
        calls.push_back(StrFormat("FillRect %s %s %d", Str(r).c_str(), Str(c).c_str(), mode));
    }
    void DrawRect(const Rect& r, const Color& c, int mode) override
    {
        calls.push_back(StrFormat("DrawRect %s %s %d", Str(r).c_str(), Str(c).c_str(), mode));
    }
    void DrawLine(double x1, double y1, double x2, double y2, const Color& c, int mode) override
    {
        calls.push_back(StrFormat("DrawLine %g,%g %g,%g %s %d", x1, y1, x2, y2, Str(c).c_str(), mode));
    }
    void Blt(Image* image, int x, int y, const Rect& src, const Color& c, int mode) override
    {
        calls.push_back(StrFormat("Blt %p %d,%d %s %s %d", (void*)image, x, y, Str(src).c_str(), Str(c).c_str(), mode));
    }
    void StretchBlt(Image* image, const Rect& dest, const Rect& src, const Rect& clip, const Color& c, int mode,
                    bool fast) override
    {
        calls.push_back(StrFormat("StretchBlt %p %s %s %s %s %d %d", (void*)image, Str(dest).c_str(),
                                  Str(src).c_str(), Str(clip).c_str(), Str(c).c_str(), mode, fast));
    }
    void StretchBltMirror(Image* image, const Rect& dest, const Rect& src, const Rect& clip, const Color& c,
                          int mode, bool fast) override
    {
        calls.push_back(StrFormat("StretchBltMirror %p %s %s %s %s %d %d", (void*)image, Str(dest).c_str(),
                                  Str(src).c_str(), Str(clip).c_str(), Str(c).c_str(), mode, fast));
    }
    void BltMatrix(Image* image, float x, float y, const Matrix3& m, const Rect& clip, const Color& c, int mode,
                   const Rect& src, bool blend, const ImageMask* mask) override
    {
        calls.push_back(StrFormat("BltMatrix %p %g,%g m02=%g %s %s %d %s %d mask=%p", (void*)image, x, y,
                                  m.m[0][2], Str(clip).c_str(), Str(c).c_str(), mode, Str(src).c_str(), blend,
                                  mask ? (void*)mask->image : nullptr));
    }
};

// Every character is `advance` pixels wide; logs what it draws.
struct FixedWidthFont : Font {
    struct Draw {
        std::wstring text;
        int x, y;
        uint32_t color;
    };
    int advance;
    std::vector<Draw> draws;

    explicit FixedWidthFont(int advance = 10) : advance(advance)
    {
        ascent = 8;
        height = 12;
        lineSpacingOffset = 2; // lines 14 apart, descent 4
    }
    int StringWidth(const std::wstring& text) override { return int(text.size()) * advance; }
    void DrawString(Graphics*, int x, int y, const std::wstring& text, const Color& color, const Rect&) override
    {
        draws.push_back({text, x, y, color.ToInt()});
    }
    Font* Duplicate() override { return new FixedWidthFont(*this); }
};

} // namespace NubraTest
