#pragma once
#include <pugixml.hpp>

#include <memory>
#include <string>

#include "engine/core/Atlas.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NubraVector2.h"
#include "framework/graphics/Rect.h"

namespace Nubra {
class Font;
class Graphics;
}

class TCComix;
class TCComixObjectPic;
class TCComixObjectSound;
class TCMusicChannel;
class TCSoundChannel;

// What the actors of a cut-scene animate on a picture.
struct TCComixPicState {
    Nubra::Color color{255, 255, 255, 255};
    Nubra::NubraVector2 pos;
    Nubra::NubraVector2 offset;
    bool centerposGlobal = false;
    Nubra::NubraVector2 centerpos;
    float scale = 1.0f;
    float alpha = 1.0f;
    bool visible = true;
    float angle = 0.0f; // degrees
    bool staticMask = false;
    Nubra::NubraVector2 maskStaticPos;
    Nubra::Rect clip{0, 0, 1024, 768};
};

// A named thing of a cut-scene's scene: a picture, a rendered text, a sound or a music track.
class TCComixObject {
public:
    virtual ~TCComixObject() = default;
    virtual void ReadProperties(TCComix&, pugi::xml_node) {}
    // Back to the state the file gave it.
    virtual void ResetState() {}
    virtual void Draw(Nubra::Graphics*) {}
    virtual TCComixObjectPic* AsPic() { return nullptr; }
    virtual TCComixObjectSound* AsSound() { return nullptr; }
    // Silences whatever it plays.
    virtual void Stop() {}

    std::string name;
};

// A picture, from the scene's atlas when it holds the file, else from its own file; optionally
// drawn through a mask.
class TCComixObjectPic : public TCComixObject {
public:
    // The picture first, then the mask and the common attributes.
    void ReadProperties(TCComix& comix, pugi::xml_node node) override;
    void ResetState() override { state = initial; }
    void Draw(Nubra::Graphics* g) override;
    TCComixObjectPic* AsPic() override { return this; }
    virtual void Load(TCComix& comix, pugi::xml_node node);

    // The drawing's transform before the picture's own atlas offset.
    Nubra::Matrix3 Transform() const;
    const AtlasPicture& Picture() const { return picture_; }

    TCComixPicState state;   // what the actors change
    TCComixPicState initial; // what the file gave

protected:
    void ReadCommon(TCComix& comix, pugi::xml_node node);

    std::string file_;
    std::string maskFile_;
    AtlasPicture picture_;
    AtlasPicture mask_;
};

// A localised text rendered once into a picture of the rectangle's size, in the object's colour.
class TCComixObjectText : public TCComixObjectPic {
public:
    TCComixObjectText() { initial.color = Nubra::Color(0, 0, 0, 255); }
    void Load(TCComix& comix, pugi::xml_node node) override;

    // Text pictures larger than this on a side are cut down to it.
    static constexpr int kMaxSide = 4096;

private:
    struct TextLayout {
        int width = 0, height = 0;
        int topOffset = 0; // below the first line's height
        int lineSpace = 0; // 0: the font's own
    };
    // White on clear, for the object's colour to tint.
    static std::unique_ptr<Nubra::MemoryImage> Render(const std::wstring& text, Nubra::Font& font, const TextLayout& layout);
};

// A sound of the sound table or the single track of a music stream. Without a channel (an
// unknown id, a stream of several tracks) it does nothing.
class TCComixObjectSound : public TCComixObject {
public:
    explicit TCComixObjectSound(bool isSound);
    ~TCComixObjectSound() override;

    void ReadProperties(TCComix& comix, pugi::xml_node node) override;
    TCComixObjectSound* AsSound() override { return this; }
    void Stop() override;

    void Play();
    void SetPan(float pan);
    // In percent of the player's sound (or music) volume; silent while the player mutes.
    void SetVolume(float percent);
    bool HasChannel() const { return sound_ || music_; }

private:
    bool isSound_;
    std::string soundId_;
    std::unique_ptr<TCSoundChannel> sound_;
    TCMusicChannel* music_ = nullptr; // the music player's
};
