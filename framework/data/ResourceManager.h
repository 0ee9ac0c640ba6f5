#pragma once
#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/SharedImage.h"
#include "framework/text/Font.h"

#include <cstdint>
#include <exception>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace Nubra {

class Font;
class ImageFontHost;
class ImageHost;
class MemoryImage;
class XmlElement;
class XmlReader;

// What a throwing getter of the resource manager reports.
class ResourceManagerException : public std::exception {
public:
    explicit ResourceManagerException(const std::string& text) : text_(text) {}
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

// Images, fonts and sounds described in XML, filed by id and by group; a group's images and
// fonts load on request and are handed out by id. A resource file looks like
//   <ResourceManifest>
//     <Resources id="Init">
//       <SetDefaults path="images" idprefix="IMAGE_"/>
//       <Image path="logo" rows="4" anim="loop"/>
//       <Font id="TITLE" path="!sys:Arial" size="14" bold/>
//     </Resources>
//   </ResourceManifest>
// Failures return false and keep the first error's text, which names the line and file while
// a file is being read.
class ResourceManager {
public:
    struct BaseRes {
        enum Type { TYPE_IMAGE = 0, TYPE_FONT = 1, TYPE_SOUND = 2 };

        virtual ~BaseRes() = default;
        virtual void DeleteResource() {} // releases what was loaded
        virtual bool IsLoaded() const = 0;

        int32_t type = TYPE_IMAGE;
        std::string id;
        std::string resGroup;
        std::string path; // with the default path in front
        std::map<std::wstring, std::wstring> attributes; // as the element gave them
        bool fromProgram = false; // made by the program ("!program..."), never loaded from a file
    };

    struct ImageRes : BaseRes {
        ImageRes() { type = TYPE_IMAGE; }
        void DeleteResource() override { image.Release(); }
        bool IsLoaded() const override { return image.GetImage() != nullptr; }

        SharedImageRef image;
        bool palletize = true;
        bool a4r4g4b4 = false;
        bool a8r8g8b8 = false;
        bool ddSurface = false;
        bool purgeBits = false;
        bool minSubdivide = false;
        bool useAlpha = true;
        std::string alphaImage;
        uint32_t alphaColor = 0xFFFFFF; // of pictures that exist only as alpha
        std::wstring variant;
        std::string alphaGridImage; // one cel's alpha, repeated over the grid
        int32_t rows = 1;
        int32_t cols = 1;
        AnimInfo animInfo; // animType None: no animation
    };

    struct FontRes : BaseRes {
        FontRes() { type = TYPE_FONT; }
        void DeleteResource() override { font.reset(); }
        bool IsLoaded() const override { return font != nullptr; }

        std::unique_ptr<Font> font;
        std::string imagePath;
        std::string tags;
        bool sysFont = false;
        int32_t size = 0;
        bool bold = false;
        bool italic = false;
        bool shadow = false;
        bool underline = false;
    };

    using ResMap = std::map<std::string, std::unique_ptr<BaseRes>>;
    using ResList = std::list<BaseRes*>;

    // `images` gives the shared images and hosts the image fonts; `display` tells whether
    // drawing is accelerated. Both must outlive the manager.
    ResourceManager(ImageFontHost* images, ImageHost* display);
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;
    virtual ~ResourceManager();

    // Reads every <Resources id="group"> section of the file's <ResourceManifest>.
    bool ParseResourcesFile(const std::string& fileName);

    virtual void DeleteResources(const std::string& group); // "": every group
    virtual bool LoadNextResource();
    virtual void StartLoadResources(const std::string& group);
    virtual bool LoadResources(const std::string& group);
    virtual SharedImageRef GetImageThrow(const std::string& id);
    virtual int32_t GetSoundThrow(const std::string& id); // sounds are never filed: -1
    virtual Font* GetFontThrow(const std::string& id);

    bool IsGroupLoaded(const std::string& group) const { return loadedGroups_.count(group) != 0; }
    const std::string& GetErrorText() const { return error_; }
    bool HadError() const { return hadError_; }
    void SetAllowMissingProgramImages(bool allow) { allowMissingProgramImages_ = allow; }
    // A second definition of an id then updates the first instead of failing.
    void SetAllowRedefinitions(bool allow) { allowRedefinition_ = allow; }

protected:
    // Files the record (taking it) under its id and group; on failure the caller keeps it.
    virtual bool ParseCommonResource(const XmlElement& element, std::unique_ptr<BaseRes>& res, ResMap& map);
    virtual bool ParseSoundResource(const XmlElement& element);
    virtual bool ParseImageResource(const XmlElement& element);
    virtual bool ParseFontResource(const XmlElement& element);
    virtual bool ParseSetDefaults(const XmlElement& element);
    // Reads the current section's elements up to its end.
    virtual bool ParseResources();
    virtual void DeleteMap(ResMap& map, const std::string& group);
    virtual bool DoLoadImage(ImageRes* res);
    virtual bool DoLoadFont(FontRes* res);
    virtual void ResourceLoadedHook(BaseRes* res) { (void)res; }

    // Keeps the first error only; returns false.
    bool Fail(const std::string& text);
    void ClearError();

private:
    // Files a new record, or with redefinitions allowed hands back the existing one of its id
    // updated from the element; null on failure.
    BaseRes* FileRecord(const XmlElement& element, std::unique_ptr<BaseRes> res, ResMap& map);
    bool ReadManifest();
    // After an element's start: its end must follow at once.
    bool ExpectEnd();
    bool ApplyAlphaImage(ImageRes* res, MemoryImage* image, const std::string& alphaPath, bool grid);

    ImageFontHost* images_;
    ImageHost* display_;
    std::set<std::string> loadedGroups_;
    ResMap imageMap_;
    ResMap soundMap_;
    ResMap fontMap_;
    XmlReader* xmlReader_ = nullptr; // while a file is read
    std::string error_;
    bool hadError_ = false;
    std::string currentGroup_;
    std::string defaultPath_;
    std::string defaultIdPrefix_;
    bool allowMissingProgramImages_ = false;
    bool allowRedefinition_ = false;
    bool lastFailureWasDuplicate_ = false;
    std::map<std::string, ResList> groupMap_;
    ResList* loadList_ = nullptr;
    ResList::iterator loadIt_;
};

} // namespace Nubra
