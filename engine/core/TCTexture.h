#pragma once
#include <vector>

#include "engine/core/TCTextureTable.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"

namespace Nubra {
class Graphics;
}

// The drawable unit of widgets and game objects: a rectangle of one image, or a sequence of
// images played at a frame rate, drawn through a transform.
class TCTexture {
public:
    TCTexture() = default;
    // A copy keeps the frames with their locks, the rectangle and the animation, but starts with
    // no transform and no colour of its own.
    TCTexture(const TCTexture& other);
    TCTexture& operator=(const TCTexture& other);
    virtual ~TCTexture() = default;

    // A control's "texture" element; the rectangle defaults to the widget's size.
    void LoadFromXml(pugi::xml_node node, int defaultWidth, int defaultHeight);

    // A still image in place of whatever was shown.
    void SetImage(const TCImageRef& ref);
    void SetImage(const TCImageRef& ref, const Nubra::Rect& rect);
    void SetTransform(const Nubra::Matrix3& matrix) { transform_ = matrix; }
    // Screen bounds the owner draws within; drawing is clipped to them.
    void SetClipRect(const Nubra::Rect& rect);
    // Until a colour is set, drawing keeps the colour the owner chose.
    void SetColor(const Nubra::Color& color);
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    void SetFrame(int frame) { frame_ = frame; }

    void Rewind();
    void Restart() { Rewind(); }
    bool IsPlaying() const { return playing_; }
    void LockFrames();
    void UnlockFrames();
    void LockAll() { LockFrames(); }
    void UnlockAll() { UnlockFrames(); }

    // dt in seconds; at most one frame per call.
    void Update(float dt);
    // Through the transform, in screen coordinates.
    void Draw(Nubra::Graphics* g);
    void DrawInRect(Nubra::Graphics* g) { Draw(g); }
    // Stretched into the rectangle, in the graphics' own coordinates, with neither transform
    // nor colour.
    void DrawInto(Nubra::Graphics* g, const Nubra::Rect& dest);
    void Draw(Nubra::Graphics* g, const Nubra::Rect& dest) { DrawInto(g, dest); }

    int GetFrame() const { return frame_; }
    int GetFrameCount() const { return int(frames_.size()); }
    const Nubra::Rect& GetRect() const { return rect_; }
    bool IsAdditive() const { return additive_; }
    const TCImageRef* GetCurrentFrame() const;

private:
    void CopyFrom(const TCTexture& other);
    Nubra::MemoryImage* CurrentImage();

    std::vector<TCImageRef> frames_;
    Nubra::Rect rect_;
    bool additive_ = false;
    Nubra::Matrix3 transform_;
    Nubra::Rect clip_;
    bool hasClip_ = false;
    Nubra::Color color_{0, 0, 0, 0};
    bool hasColor_ = false;
    int fps_ = 0;
    int frame_ = 0;
    int count_ = 1;
    bool oneShot_ = true;
    float time_ = 0.0f;
    bool visible_ = true;
    bool playing_ = true;
};
