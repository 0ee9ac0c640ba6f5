#include "framework/graphics/Graphics.h"

#include "framework/text/Font.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Nubra {

namespace {

Image& EmptyImage()
{
    static Image empty;
    return empty;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return 0;
}

// The colour of the escape whose caret is at `caret`: "^oldclr^" names the old colour, any
// other escape starting with 'o' black, else six hex digits of red, green and blue.
Color EscapeColor(const std::wstring& text, size_t caret, int oldColor)
{
    if (text[caret + 1] == L'o')
        return text.compare(caret + 1, 6, L"oldclr") == 0 ? Color(oldColor) : Color(0, 0, 0);
    auto component = [&](size_t at) { return HexDigit(text[at]) * 16 + HexDigit(text[at + 1]); };
    return Color(component(caret + 1), component(caret + 3), component(caret + 5));
}

// Orders the end points along one axis (a; b is the other) and cuts the line to the pixels
// low .. high - 1 of that axis; false when it lies wholly outside them.
bool ClipAxis(double& a1, double& b1, double& a2, double& b2, double low, double high)
{
    if (a1 > a2) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    if (a1 < low) {
        if (a2 < low)
            return false;
        b1 += (low - a1) * (b2 - b1) / (a2 - a1);
        a1 = low;
    }
    if (high <= a2) {
        if (high <= a1)
            return false;
        b2 += (high - 1 - a2) * (b2 - b1) / (a2 - a1);
        a2 = high - 1;
    }
    return true;
}

} // namespace

Graphics::Graphics(Image* image)
{
    destImage = image ? image : &EmptyImage();
    clipRect = Rect(0, 0, destImage->GetWidth(), destImage->GetHeight());
    is3D = destImage->Check3D();
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other) {}

Graphics* Graphics::Create() const { return new Graphics(*this); }

void Graphics::PushState() { savedStates_.push_back(*this); }

void Graphics::PopState()
{
    if (savedStates_.empty())
        return;
    static_cast<GraphicsState&>(*this) = savedStates_.back();
    savedStates_.pop_back();
}

void Graphics::Translate(int dx, int dy)
{
    transX += float(dx);
    transY += float(dy);
}

void Graphics::TranslateF(float dx, float dy)
{
    transX += dx;
    transY += dy;
}

void Graphics::SetScale(float sx, float sy, float originX, float originY)
{
    scaleX = sx;
    scaleY = sy;
    scaleOrigX = originX;
    scaleOrigY = originY;
}

void Graphics::SetClipRect(int x, int y, int width, int height)
{
    clipRect = Rect(DestX(x), DestY(y), width, height)
                   .Intersection(Rect(0, 0, destImage->GetWidth(), destImage->GetHeight()));
}

void Graphics::ClipRect(int x, int y, int width, int height)
{
    clipRect = clipRect.Intersection(Rect(DestX(x), DestY(y), width, height));
}

void Graphics::FillRect(int x, int y, int width, int height)
{
    if (color.alpha == 0)
        return;
    Rect dest = Rect(DestX(x), DestY(y), width, height).Intersection(clipRect);
    if (dest.width > 0 && dest.height > 0)
        destImage->FillRect(dest, color, drawMode);
}

void Graphics::DrawRect(int x, int y, int width, int height)
{
    if (color.alpha == 0)
        return;
    Rect outline(DestX(x), DestY(y), width + 1, height + 1);
    if (outline.Intersection(clipRect) == outline) {
        destImage->DrawRect(Rect(outline.x, outline.y, width, height), color, drawMode);
        return;
    }
    FillRect(x, y, width + 1, 1);
    FillRect(x, y + height, width + 1, 1);
    FillRect(x, y + 1, 1, height - 1);
    FillRect(x + width, y + 1, 1, height - 1);
}

void Graphics::DrawLine(int startX, int startY, int endX, int endY)
{
    double x1 = double(startX) + transX, y1 = double(startY) + transY;
    double x2 = double(endX) + transX, y2 = double(endY) + transY;
    if (ClipLine(x1, y1, x2, y2))
        destImage->DrawLine(x1, y1, x2, y2, color, drawMode);
}

bool Graphics::ClipLine(double& x1, double& y1, double& x2, double& y2) const
{
    return ClipAxis(x1, y1, x2, y2, clipRect.x, double(clipRect.x) + clipRect.width) &&
           ClipAxis(y1, x1, y2, x2, clipRect.y, double(clipRect.y) + clipRect.height);
}

void Graphics::DrawString(const std::wstring& text, int x, int y)
{
    if (font)
        font->DrawString(this, x, y, text, color, clipRect);
}

void Graphics::DrawImage(Image* image, int x, int y)
{
    if (image)
        DrawImage(image, x, y, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

void Graphics::DrawImage(Image* image, int x, int y, const Rect& src)
{
    // A source outside the image would make the blitters read outside its pixels.
    if (!image || src.x < 0 || src.y < 0 || src.x + src.width > image->GetWidth() ||
        src.y + src.height > image->GetHeight())
        return;
    int dx = DestX(x), dy = DestY(y);
    if (scaleX == 1.0f && scaleY == 1.0f) {
        Rect dest = Rect(dx, dy, src.width, src.height).Intersection(clipRect);
        if (dest.width < 1 || dest.height < 1)
            return;
        Rect cut(src.x + dest.x - dx, src.y + dest.y - dy, dest.width, dest.height);
        destImage->Blt(image, dest.x, dest.y, cut, ImageColor(), drawMode);
        return;
    }
    Rect dest(int(std::floor((float(dx) - scaleOrigX) * scaleX) + scaleOrigX),
              int(std::floor((float(dy) - scaleOrigY) * scaleY) + scaleOrigY),
              int(std::ceil(float(src.width) * scaleX)), int(std::ceil(float(src.height) * scaleY)));
    destImage->StretchBlt(image, dest, src, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImage(Image* image, int x, int y, int width, int height)
{
    if (image)
        DrawImage(image, Rect(x, y, width, height), Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

void Graphics::DrawImage(Image* image, const Rect& destRect, const Rect& srcRect)
{
    DrawImageMirror(image, destRect, srcRect, false);
}

void Graphics::DrawImageMirror(Image* image, const Rect& destRect, const Rect& srcRect, bool mirror)
{
    if (!image)
        return;
    Rect dest(DestX(destRect.x), DestY(destRect.y), destRect.width, destRect.height);
    if (mirror)
        destImage->StretchBltMirror(image, dest, srcRect, clipRect, ImageColor(), drawMode, fastStretch);
    else
        destImage->StretchBlt(image, dest, srcRect, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& srcRect, float x, float y)
{
    if (image)
        destImage->BltMatrix(image, x, y, matrix, clipRect, ImageColor(), drawMode, srcRect, linearBlend, &mask);
}

void Graphics::DrawImageBox(const Rect& destRect, Image* image)
{
    if (image)
        DrawImageBox(Rect(0, 0, image->GetWidth(), image->GetHeight()), destRect, image);
}

void Graphics::DrawImageBox(const Rect& s, const Rect& d, Image* image)
{
    if (!image || s.width < 1 || s.height < 1)
        return;
    const int cw = s.width / 3, ch = s.height / 3;
    const int mw = s.width - 2 * cw, mh = s.height - 2 * ch;
    const int rightX = d.x + d.width - cw, bottomY = d.y + d.height - ch;
    const int midSrcX = s.x + cw, midSrcY = s.y + ch;
    const int farSrcX = s.x + cw + mw, farSrcY = s.y + ch + mh;

    DrawImage(image, d.x, d.y, Rect(s.x, s.y, cw, ch));
    DrawImage(image, rightX, d.y, Rect(farSrcX, s.y, cw, ch));
    DrawImage(image, d.x, bottomY, Rect(s.x, farSrcY, cw, ch));
    DrawImage(image, rightX, bottomY, Rect(farSrcX, farSrcY, cw, ch));

    const int tilesAcross = std::max(0, int(std::ceil(double(d.width - 2 * cw) / mw)));
    const int tilesDown = std::max(0, int(std::ceil(double(d.height - 2 * ch) / mh)));

    Graphics edges(*this);
    edges.ClipRect(d.x + cw, d.y, d.width - 2 * cw, d.height);
    for (int i = 0; i < tilesAcross; ++i) {
        edges.DrawImage(image, d.x + cw + i * mw, d.y, Rect(midSrcX, s.y, mw, ch));
        edges.DrawImage(image, d.x + cw + i * mw, bottomY, Rect(midSrcX, farSrcY, mw, ch));
    }

    Graphics sides(*this);
    sides.ClipRect(d.x, d.y + ch, d.width, d.height - 2 * ch);
    for (int j = 0; j < tilesDown; ++j) {
        sides.DrawImage(image, d.x, d.y + ch + j * mh, Rect(s.x, midSrcY, cw, mh));
        sides.DrawImage(image, rightX, d.y + ch + j * mh, Rect(farSrcX, midSrcY, cw, mh));
    }

    Graphics centre(*this);
    centre.ClipRect(d.x + cw, d.y + ch, d.width - 2 * cw, d.height - 2 * ch);
    for (int i = 0; i < tilesAcross; ++i)
        for (int j = 0; j < tilesDown; ++j)
            centre.DrawImage(image, d.x + cw + i * mw, d.y + ch + j * mh, Rect(midSrcX, midSrcY, mw, mh));
}

int Graphics::WriteString(const std::wstring& text, int x, int y, int width, int justification, bool draw,
                          int offset, int length, int oldColor)
{
    if (!font)
        return 0;
    if (oldColor == -1)
        oldColor = int(color.ToInt());
    if (draw) {
        int measured = WriteString(text, x, y, width, -1, false, offset, length, oldColor);
        if (justification == 1)
            x += width - measured;
        else if (justification == 0)
            x += (width - measured) / 2;
    }

    size_t start = size_t(std::max(offset, 0));
    size_t end = length < 0 ? text.size() : std::min(start + size_t(length), text.size());
    std::wstring segment;
    int written = 0;
    auto flush = [&] {
        if (draw && !segment.empty())
            DrawString(segment, x + written, y);
        written += font->StringWidth(segment);
        segment.clear();
    };

    for (size_t i = start; i < end; ++i) {
        wchar_t c = text[i];
        if (c != L'^' || !writeColoredString) {
            segment += c;
        } else if (i + 1 < end && text[i + 1] == L'^') {
            segment += L'^';
            ++i;
        } else if (end - i < 8) {
            break; // a cut-off escape ends the text
        } else {
            Color escape = EscapeColor(text, i, oldColor);
            flush();
            if (draw)
                color = Color(escape, color.alpha);
            i += 7;
        }
    }
    flush();
    return written;
}

bool Graphics::IsLineVisible(int y, int lineSpacing) const
{
    if (clipRect.width <= 0 || clipRect.height <= 0)
        return false; // measuring on the empty image
    int screenY = DestY(y);
    return screenY >= clipRect.y && screenY < clipRect.y + clipRect.height + lineSpacing;
}

int Graphics::WriteWordWrapped(const Rect& rect, const std::wstring& text, int lineSpacing, int justification,
                               int* maxWidth, int maxChars, int* lastWidth)
{
    if (!font)
        return 0;
    const Color originalColor = color;
    // Opaque colours lose their alpha byte so that opaque white does not read as "current colour".
    uint32_t packed = color.ToInt();
    const int oldColor = int((packed >> 24) == 0xFF ? packed & 0xFFFFFF : packed);
    const int textEnd = maxChars < 0 ? int(text.size()) : std::min(maxChars, int(text.size()));
    if (lineSpacing == -1)
        lineSpacing = font->GetLineSpacing();

    int indent = lastWidth ? *lastWidth : 0;
    int yOffset = 0;
    int widest = 0, lastLineWidth = 0;
    bool anyLine = false;
    // Every line is measured, so the widths hold whatever the clip; only visible lines draw.
    auto writeLine = [&](int from, int to) {
        int lineY = rect.y + yOffset;
        anyLine = true;
        lastLineWidth = WriteString(text, rect.x + indent, lineY, rect.width, justification,
                                    IsLineVisible(lineY, lineSpacing), from, to - from, oldColor);
        widest = std::max(widest, lastLineWidth);
    };

    int lineStart = 0, lastSpace = -1, lineWidth = indent;
    bool lineFeed = false;
    wchar_t previous = 0;
    int i = 0;
    while (i < textEnd) {
        wchar_t c = text[i];
        int next = i + 1;
        if (c == L'^' && writeColoredString) {
            if (next < textEnd && text[next] == L'^') {
                ++next;
            } else {
                i += 8; // an escape takes no room
                continue;
            }
        } else if (c == L' ') {
            lastSpace = i;
        } else if (c == L'\n') {
            lastSpace = i;
            lineFeed = true;
        }
        lineWidth += font->CharWidthKern(c, previous);
        previous = c;

        if (lineFeed || lineWidth > rect.width) {
            if (lastSpace >= 0) {
                writeLine(lineStart, lastSpace);
                next = lastSpace + 1;
                if (text[lastSpace] != L'\n')
                    while (next < textEnd && text[next] == L' ')
                        ++next;
            } else {
                // A word wider than the line gets a line of its own, at least one character.
                next = i == lineStart ? next : i;
                writeLine(lineStart, next);
            }
            lineStart = next;
            lastSpace = -1;
            lineWidth = 0;
            lineFeed = false;
            indent = 0;
            previous = 0;
            yOffset += lineSpacing;
        }
        i = next;
    }
    // The rest makes the last line; nothing left makes one only after a line feed or for an
    // empty text, so a text that ends at a wrap gains no blank line.
    bool endsInLineFeed = textEnd > 0 && text[textEnd - 1] == L'\n';
    if (lineStart < textEnd || endsInLineFeed || !anyLine) {
        writeLine(lineStart, textEnd);
        yOffset += lineSpacing;
    }

    if (maxWidth)
        *maxWidth = widest;
    if (lastWidth)
        *lastWidth = lastLineWidth;
    color = originalColor;
    return yOffset - lineSpacing + font->GetDescent();
}

int Graphics::WriteWordWrapped(const std::wstring& text, int x, int y, int width, int lineSpacing,
                               int justification, int* maxWidth)
{
    if (!font)
        return 0;
    // y is the top of the text; the first form takes the first line's baseline.
    int firstBaseline = y + (font->GetAscent() - font->GetAscentPadding());
    return WriteWordWrapped(Rect(x, firstBaseline, width, 0), text, lineSpacing, justification, maxWidth);
}

int Graphics::GetWordWrappedHeight(int width, const std::wstring& text, int lineSpacing, int* maxWidth)
{
    Graphics measure;
    measure.font = font;
    return measure.WriteWordWrapped(Rect(0, 0, width, 0), text, lineSpacing, -1, maxWidth);
}

} // namespace Nubra
