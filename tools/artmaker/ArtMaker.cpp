// Draws the game's pictures from plain-text descriptions: people, food and drink are colour
// emoji glyphs; furniture, floors, machines and panels are drawn as shapes.
//   artmaker <output folder> <description>...   writes every picture the descriptions name
//   artmaker selftest                           checks the colour glyph path and the PNG round trip
// A description is one command a line; '#' starts a comment. Colours are hexadecimal AARRGGBB.
//   image <path> <width> <height>            starts a picture; the commands below draw into it
//   at <x> <y>                               places the following shapes relative to x, y
//   rect <x> <y> <w> <h> <radius> <colour>
//   ellipse <cx> <cy> <rx> <ry> <colour>
//   poly <colour> <x> <y> <x> <y> <x> <y> ...
//   checker <x> <y> <w> <h> <cell> <colour> <colour>
//   emoji <x> <y> <w> <h> <code point> [<tilt> [mirror]]     fitted into the box, tilt in degrees
//   person <x> <y> <w> <h> <face code point> <shirt> <trousers> <pose>
//        a figure with an emoji face; pose: stand, breathe, step1, step2, work
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/graphics/ImageLib.h"
#include "tools/artmaker/Canvas.h"
#include "tools/artmaker/EmojiStrike.h"

namespace {

constexpr const char* kEmojiFamily = "Noto Color Emoji";

class Maker {
public:
    explicit Maker(std::filesystem::path folder) : folder_(std::move(folder)) {}

    bool Run(const std::string& description);
    bool Finish() { return Flush(); }

private:
    bool Command(const std::string& kind, std::istringstream& fields);
    bool Emoji(char32_t codePoint, float x, float y, float w, float h, float tilt, bool mirror);
    bool Person(float x, float y, float w, float h, char32_t face, art::Rgba shirt, art::Rgba trousers, const std::string& pose);
    bool Flush();
    bool Fail(const std::string& message);

    std::filesystem::path folder_;
    std::string where_;
    std::string path_;
    std::optional<art::Canvas> canvas_;
    std::unique_ptr<art::EmojiStrike> strike_;
    std::map<char32_t, art::ColourGlyph> glyphs_;
};

bool Maker::Fail(const std::string& message)
{
    std::fprintf(stderr, "artmaker: %s%s\n", where_.c_str(), message.c_str());
    return false;
}

template <typename... T>
bool Read(std::istringstream& fields, T&... values)
{
    return bool((fields >> ... >> values));
}

bool ReadColour(std::istringstream& fields, art::Rgba& colour)
{
    std::string text;
    if (!(fields >> text) || text.size() != 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    colour = art::Rgba::FromArgb(uint32_t(std::stoul(text, nullptr, 16)));
    return true;
}

bool ReadCodePoint(std::istringstream& fields, char32_t& codePoint)
{
    std::string text;
    if (!(fields >> text) || text.empty() || text.size() > 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    codePoint = char32_t(std::stoul(text, nullptr, 16));
    return true;
}

bool Maker::Run(const std::string& description)
{
    std::ifstream in(description);
    if (!in)
        return Fail("cannot read " + description);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        where_ = description + ":" + std::to_string(number) + ": ";
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string kind;
        if ((fields >> kind) && !Command(kind, fields))
            return false;
    }
    where_.clear();
    return true;
}

bool Maker::Command(const std::string& kind, std::istringstream& fields)
{
    if (kind == "image") {
        int width = 0, height = 0;
        std::string path;
        if (!Flush())
            return false;
        if (!Read(fields, path, width, height) || !ImageLib::WithinImageLimits(width, height) || width <= 0 || height <= 0)
            return Fail("image <path> <width> <height>");
        path_ = path;
        canvas_.emplace(width, height);
        return true;
    }
    if (!canvas_)
        return Fail("'" + kind + "' before the first image");
    float x = 0, y = 0, w = 0, h = 0, r = 0;
    art::Rgba a, b;
    if (kind == "at") {
        if (!Read(fields, x, y))
            return Fail("at <x> <y>");
        canvas_->SetOrigin(x, y);
    } else if (kind == "rect") {
        if (!Read(fields, x, y, w, h, r) || !ReadColour(fields, a))
            return Fail("rect <x> <y> <w> <h> <radius> <colour>");
        canvas_->FillRoundRect(x, y, w, h, r, a);
    } else if (kind == "ellipse") {
        if (!Read(fields, x, y, w, h) || !ReadColour(fields, a))
            return Fail("ellipse <cx> <cy> <rx> <ry> <colour>");
        canvas_->FillEllipse(x, y, w, h, a);
    } else if (kind == "poly") {
        std::vector<float> points;
        if (!ReadColour(fields, a))
            return Fail("poly <colour> <x> <y> ...");
        while (fields >> x)
            points.push_back(x);
        if (points.size() < 6 || points.size() % 2 != 0)
            return Fail("poly needs at least three x y pairs");
        canvas_->FillPolygon(points, a);
    } else if (kind == "checker") {
        if (!Read(fields, x, y, w, h, r) || !ReadColour(fields, a) || !ReadColour(fields, b))
            return Fail("checker <x> <y> <w> <h> <cell> <colour> <colour>");
        canvas_->FillChecker(x, y, w, h, r, a, b);
    } else if (kind == "emoji") {
        char32_t codePoint = 0;
        if (!Read(fields, x, y, w, h) || !ReadCodePoint(fields, codePoint))
            return Fail("emoji <x> <y> <w> <h> <code point> [<tilt> [mirror]]");
        float tilt = 0;
        std::string mirror;
        fields >> tilt >> mirror;
        return Emoji(codePoint, x, y, w, h, tilt, mirror == "mirror");
    } else if (kind == "person") {
        char32_t face = 0;
        std::string pose;
        if (!Read(fields, x, y, w, h) || !ReadCodePoint(fields, face) || !ReadColour(fields, a) || !ReadColour(fields, b) ||
            !(fields >> pose))
            return Fail("person <x> <y> <w> <h> <face> <shirt> <trousers> <pose>");
        return Person(x, y, w, h, face, a, b, pose);
    } else {
        return Fail("unknown command '" + kind + "'");
    }
    return true;
}

bool Maker::Emoji(char32_t codePoint, float x, float y, float w, float h, float tilt, bool mirror)
{
    if (!strike_) {
        std::string error;
        strike_ = art::EmojiStrike::Open(kEmojiFamily, error);
        if (!strike_)
            return Fail(error + " (Debian package fonts-noto-color-emoji)");
    }
    auto found = glyphs_.find(codePoint);
    if (found == glyphs_.end()) {
        art::ColourGlyph glyph;
        if (!strike_->Render(codePoint, glyph)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%X", unsigned(codePoint));
            return Fail(std::string("no colour glyph for U+") + hex);
        }
        found = glyphs_.emplace(codePoint, std::move(glyph)).first;
    }
    canvas_->DrawPicture(found->second.pixels, found->second.width, found->second.height, x, y, w, h, tilt, mirror);
    return true;
}

// A figure standing in its box: legs, body and arms drawn as shapes, the emoji as the head.
// The poses move the legs and lift the body, which is all a walk or a breath needs at this size.
bool Maker::Person(float x, float y, float w, float h, char32_t face, art::Rgba shirt, art::Rgba trousers, const std::string& pose)
{
    float lift = 0, leftLeg = 0, rightLeg = 0, armRaise = 0, tilt = 0;
    if (pose == "breathe") {
        lift = h * 0.015f;
    } else if (pose == "step1") {
        lift = h * 0.03f, leftLeg = -w * 0.08f, rightLeg = w * 0.08f, tilt = -4;
    } else if (pose == "step2") {
        lift = h * 0.03f, leftLeg = w * 0.08f, rightLeg = -w * 0.08f, tilt = 4;
    } else if (pose == "work") {
        armRaise = h * 0.08f;
    } else if (pose != "stand") {
        return Fail("unknown pose '" + pose + "'");
    }
    const float cx = x + w / 2;
    const float legTop = y + h * 0.68f - lift;
    const float legWidth = w * 0.14f;
    const art::Rgba shoe = art::Rgba::FromArgb(0xFF2A2220);
    const art::Rgba skin = art::Rgba::FromArgb(0xFFF2C7A0);
    canvas_->FillEllipse(cx, y + h - h * 0.02f, w * 0.3f, h * 0.03f, art::Rgba::FromArgb(0x40000000));
    for (float offset : {-w * 0.1f + leftLeg, w * 0.1f + rightLeg}) {
        canvas_->FillRoundRect(cx + offset - legWidth / 2, legTop, legWidth, y + h * 0.95f - legTop, legWidth / 3, trousers);
        canvas_->FillEllipse(cx + offset, y + h * 0.955f, legWidth * 0.75f, h * 0.025f, shoe);
    }
    const float bodyTop = y + h * 0.4f - lift;
    canvas_->FillRoundRect(cx - w * 0.26f, bodyTop, w * 0.52f, legTop - bodyTop + h * 0.03f, w * 0.12f, shirt);
    for (float side : {-1.0f, 1.0f}) {
        const float armX = cx + side * w * 0.3f;
        canvas_->FillRoundRect(armX - w * 0.06f, bodyTop + h * 0.03f - armRaise, w * 0.12f, h * 0.22f, w * 0.06f, shirt);
        canvas_->FillEllipse(armX, bodyTop + h * 0.25f - armRaise, w * 0.055f, w * 0.055f, skin);
    }
    const float head = std::min(w * 0.62f, h * 0.42f);
    return Emoji(face, cx - head / 2, bodyTop - head * 0.88f, head, head, tilt, false);
}

bool Maker::Flush()
{
    if (!canvas_)
        return true;
    const std::filesystem::path path = folder_ / path_;
    std::filesystem::create_directories(path.parent_path());
    const auto image = canvas_->ToImage();
    canvas_.reset();
    if (!ImageLib::WritePNGImage(path.string(), *image))
        return Fail("cannot write " + path.string());
    return true;
}

// A new folder of this run's own under the temporary folder, removed with what it holds at the
// end: runs at once (parallel builds, several work trees) keep out of each other's way.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "artmaker-selftest-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Renders an apple in the folder and checks what a broken colour path would get wrong: grey or
// empty pixels, an opaque background, a picture that does not survive the PNG round trip.
int SelfTestIn(const std::filesystem::path& folder)
{
    const std::string description = (folder / "apple.txt").string();
    std::ofstream(description) << "image apple.png 48 48\nemoji 0 0 48 48 1F34E\n";
    Maker maker(folder);
    if (!maker.Run(description) || !maker.Finish())
        return 1;
    const auto image = ImageLib::GetPNGImage((folder / "apple.png").string());
    if (!image || image->GetWidth() != 48 || image->GetHeight() != 48)
        return std::fprintf(stderr, "artmaker: the picture did not read back\n"), 1;
    int opaque = 0, coloured = 0;
    for (size_t i = 0; i < image->PixelCount(); ++i) {
        const uint32_t p = image->GetBits()[i];
        const int r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
        opaque += (p >> 24) == 0xFF;
        coloured += (p >> 24) > 0x80 && std::max({r, g, b}) - std::min({r, g, b}) > 64;
    }
    const uint32_t corner = image->GetBits()[0];
    if (corner >> 24 != 0)
        return std::fprintf(stderr, "artmaker: the background is not transparent\n"), 1;
    if (opaque < 200 || coloured < 100)
        return std::fprintf(stderr, "artmaker: the glyph came out empty or grey (%d opaque, %d coloured)\n", opaque, coloured), 1;
    return 0;
}

int SelfTest()
{
    const ScratchFolder folder;
    if (folder.Path().empty())
        return std::fprintf(stderr, "artmaker: no folder for the self-test\n"), 1;
    return SelfTestIn(folder.Path());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "selftest")
        return SelfTest();
    if (argc < 3) {
        std::fprintf(stderr, "usage: artmaker <output folder> <description>... | artmaker selftest\n");
        return 2;
    }
    Maker maker(argv[1]);
    for (int i = 2; i < argc; ++i)
        if (!maker.Run(argv[i]))
            return 1;
    return maker.Finish() ? 0 : 1;
}
