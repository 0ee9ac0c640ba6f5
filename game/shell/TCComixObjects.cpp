#include "game/shell/TCComixObjects.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCMusic.h"
#include "engine/core/TCMusicChannel.h"
#include "engine/core/TCSound.h"
#include "engine/core/XmlHelpers.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/Font.h"
#include "game/shell/TCComix.h"
#include "game/shell/TCProfileStore.h"

namespace {

bool ReadClipPair(pugi::xml_node node, const char* name, int& a, int& b)
{
    Nubra::NubraVector2 pair;
    if (!XmlGetPointA(node, name, pair))
        return false;
    a = int(pair.x);
    b = int(pair.y);
    return true;
}

Nubra::Rect SourceRect(const AtlasPicture& picture)
{
    if (const AtlasRecord* record = picture.Record())
        return Nubra::Rect(record->atlasX, record->atlasY, record->width, record->height);
    const Nubra::MemoryImage* image = picture.Image();
    return image ? Nubra::Rect(0, 0, image->GetWidth(), image->GetHeight()) : Nubra::Rect();
}

Nubra::Rect FrameRect(const AtlasPicture& picture)
{
    if (const AtlasRecord* record = picture.Record())
        return Nubra::Rect(record->offsetX, record->offsetY, record->origWidth, record->origHeight);
    return SourceRect(picture);
}

Nubra::Matrix3 Translation(float x, float y)
{
    Nubra::Matrix3 m;
    m.Translate(x, y);
    return m;
}

} // namespace

void TCComixObjectPic::Load(TCComix& comix, pugi::xml_node node)
{
    XmlGetString(node, "file", file_);
    picture_.Load(comix.GetAtlas(), file_, comix.imageLoader);
    if (!picture_.Image())
        WriteLog("WARNING: Can not load %s", file_.c_str());
    XmlGetPointA(node, "pos", initial.pos);
    XmlGetPointA(node, "offset", initial.offset);
    XmlGetPointA(node, "maskStaticPos", initial.maskStaticPos);
    XmlGetColorA(node, "color", initial.color);
}

void TCComixObjectPic::ReadProperties(TCComix& comix, pugi::xml_node node)
{
    Load(comix, node);
    if (XmlGetString(node, "mask", maskFile_))
        mask_.Load(comix.GetAtlas(), maskFile_, comix.imageLoader);
    ReadCommon(comix, node);
    ResetState();
}

void TCComixObjectPic::ReadCommon(TCComix& comix, pugi::xml_node node)
{
    XmlGetBoolA(node, "centerposGlobal", initial.centerposGlobal);
    if (initial.centerposGlobal)
        initial.centerpos = Nubra::NubraVector2(float(comix.width) / 2.0f, float(comix.height) / 2.0f);
    else
        initial.centerpos = Nubra::NubraVector2(float(picture_.Width()) / 2.0f, float(picture_.Height()) / 2.0f);
    XmlGetPointA(node, "centerpos", initial.centerpos);
    XmlGetFloatA(node, "scale", initial.scale);
    XmlGetBoolA(node, "visible", initial.visible);
    XmlGetBoolA(node, "staticMask", initial.staticMask);
    XmlGetFloatA(node, "alpha", initial.alpha);
    XmlGetFloatA(node, "angle", initial.angle);
    ReadClipPair(node, "clipRectPos", initial.clip.x, initial.clip.y);
    ReadClipPair(node, "clipRectSize", initial.clip.width, initial.clip.height);
}

Nubra::Matrix3 TCComixObjectPic::Transform() const
{
    const Nubra::NubraVector2 at = state.pos + state.offset;
    Nubra::Matrix3 m;
    if (state.scale != 1.0f || state.angle != 0.0f) {
        Nubra::NubraVector2 pivot = state.centerpos;
        if (const AtlasRecord* record = picture_.Record())
            pivot = pivot - Nubra::NubraVector2(float(record->offsetX), float(record->offsetY));
        if (state.centerposGlobal)
            pivot = pivot - at;
        m.Translate(-pivot.x, -pivot.y);
        // A scale of 0 would make the picture vanish: it is taken as no scale.
        if (state.scale != 0.0f)
            m.Scale(state.scale, state.scale);
        if (state.angle != 0.0f)
            m.RotateDeg(state.angle);
        m.Translate(pivot.x, pivot.y);
    }
    m.Translate(at.x, at.y);
    return m;
}

void TCComixObjectPic::Draw(Nubra::Graphics* g)
{
    Nubra::MemoryImage* image = picture_.Image();
    if (!state.visible || !image)
        return;
    const Nubra::Matrix3 m = Transform();
    if (Nubra::MemoryImage* maskImage = mask_.Image()) {
        g->mask.image = maskImage;
        g->mask.source = SourceRect(mask_);
        g->mask.position = FrameRect(mask_);
        g->mask.matrix = state.staticMask ? Translation(state.maskStaticPos.x, state.maskStaticPos.y) : m;
    }
    const Nubra::Rect clip = g->GetClipRect();
    const bool colorize = g->GetColorizeImages();
    const Nubra::Color color = g->GetColor();
    g->SetClipRect(state.clip.Intersection(Nubra::Rect(0, 0, g->destImage ? g->destImage->GetWidth() : 0,
                                                       g->destImage ? g->destImage->GetHeight() : 0)));
    g->SetColorizeImages(true);
    const int alpha = std::clamp(int(state.alpha * 255.0f), 0, 255);
    g->SetColor(Nubra::Color(state.color.red, state.color.green, state.color.blue, alpha));
    const Nubra::Rect frame = FrameRect(picture_);
    const Nubra::Matrix3 local = picture_.Record() ? m * Translation(float(frame.x), float(frame.y)) : m;
    g->DrawImageF(image, local, SourceRect(picture_), 0.0f, 0.0f);
    g->mask = Nubra::ImageMask();
    g->SetColor(color);
    g->SetColorizeImages(colorize);
    g->clipRect = clip;
}

void TCComixObjectText::Load(TCComix& comix, pugi::xml_node node)
{
    std::string textId, fontName;
    XmlGetString(node, "string_id", textId);
    XmlGetString(node, "font", fontName);
    Nubra::NubraVector2 p1(0.0f, 0.0f), p2(100.0f, 100.0f);
    XmlGetPointA(node, "rect_p1", p1);
    XmlGetPointA(node, "rect_p2", p2);
    TextLayout layout{int(p2.x - p1.x), int(p2.y - p1.y), comix.GetDefaultTopOffset(), comix.GetDefaultLineSpace()};
    XmlGetIntA(node, "top_offset", layout.topOffset);
    XmlGetIntA(node, "line_space", layout.lineSpace);
    initial.pos = Nubra::NubraVector2();
    initial.offset = p1;
    XmlGetColorA(node, "color", initial.color);

    TCEngine* app = comix.GetApp();
    Nubra::Font* font = app ? app->GetFont(fontName) : nullptr;
    if (!font) {
        WriteLog("WARNING: Can not load %s", fontName.c_str());
        return;
    }
    if (layout.width <= 0 || layout.height <= 0) {
        WriteLog("WARNING: text '%s' has no room (%d x %d)", name.c_str(), layout.width, layout.height);
        return;
    }
    std::unique_ptr<Nubra::MemoryImage> image = Render(app->GetLocalization().GetText(textId), *font, layout);
    picture_.Load(nullptr, textId, [&image](const std::string&) { return std::move(image); });
}

std::unique_ptr<Nubra::MemoryImage> TCComixObjectText::Render(const std::wstring& text, Nubra::Font& font,
                                                              const TextLayout& layout)
{
    auto image = std::make_unique<Nubra::MemoryImage>();
    image->Create(std::min(layout.width, kMaxSide), std::min(layout.height, kMaxSide));
    image->Clear();
    Nubra::Graphics g(image.get());
    g.SetFont(&font);
    g.SetColor(Nubra::Color(255, 255, 255, 255));
    g.WriteWordWrapped(Nubra::Rect(0, font.GetHeight() + layout.topOffset, image->GetWidth(), image->GetHeight()), text,
                       layout.lineSpace == 0 ? -1 : layout.lineSpace);
    return image;
}

TCComixObjectSound::TCComixObjectSound(bool isSound) : isSound_(isSound) {}

TCComixObjectSound::~TCComixObjectSound() = default;

void TCComixObjectSound::ReadProperties(TCComix&, pugi::xml_node node)
{
    XmlGetString(node, "sound_id", soundId_);
    if (isSound_)
        sound_ = CreateSoundChannel(soundId_);
    else if (gTCEngine)
        music_ = gTCEngine->GetMusic().GetSingleTrack(soundId_);
}

void TCComixObjectSound::Play()
{
    if (sound_)
        sound_->Play();
    else if (music_)
        music_->Play(false);
}

void TCComixObjectSound::Stop()
{
    if (sound_)
        sound_->Stop();
    else if (music_)
        music_->Stop(false);
}

void TCComixObjectSound::SetPan(float pan)
{
    if (sound_)
        sound_->SetPan(pan);
    else if (music_)
        music_->SetPan(pan);
}

void TCComixObjectSound::SetVolume(float percent)
{
    const TCPrefHeader& prefs = TheProfileStore().Header();
    if (sound_)
        sound_->SetVolume(prefs.muted ? 0.0f : percent * float(prefs.soundVolume) / 100.0f);
    else if (music_)
        music_->SetVolume(prefs.muted ? 0 : int(percent * float(prefs.musicVolume) / 100.0f));
}
