#include "engine/ui/WidgetEffectCallbacks.h"

#include <cmath>

#include "engine/core/EffectCallbackAccess.h"
#include "engine/core/EngineHelpers.h"
#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCText.h"

namespace {

template <class Fn>
int WithWidget(const TCCallbackRecord* record, Fn fn)
{
    auto* widget = record && record->effect ? static_cast<TCCandyWidget*>(record->effect->GetBinding(kBindWidget)) : nullptr;
    if (widget)
        fn(*widget, record->progress);
    return 1;
}

float Toward(float p) { return p * p; }
float From(float p) { return 1.0f - p * p; }

// Offset x = sign x curve(p) x distance, the distance measured by fn on the widget.
template <class Curve, class Distance>
int SlideX(const TCCallbackRecord* record, Curve curve, float sign, Distance distance)
{
    return WithWidget(record, [&](TCCandyWidget& widget, float p) { widget.SetOffsetX(int(sign * curve(p) * distance(widget))); });
}

template <class Curve, class Distance>
int SlideY(const TCCallbackRecord* record, Curve curve, Distance distance)
{
    return WithWidget(record, [&](TCCandyWidget& widget, float p) { widget.SetOffsetY(int(curve(p) * distance(widget))); });
}

float WidthOf(const TCCandyWidget& widget) { return float(widget.width); }
float HeightOf(const TCCandyWidget& widget) { return float(widget.height); }

auto Fixed(float distance)
{
    return [distance](const TCCandyWidget&) { return distance; };
}

auto Param(const TCCallbackRecord* record, const char* name, float fallback)
{
    return Fixed(ParamOr(record, name, fallback));
}

int SlideGirlX(const TCCallbackRecord* record, float (*curve)(float))
{
    return WithWidget(record, [curve](TCCandyWidget& widget, float p) {
        if (const TCCandyWidget* girl = widget.FindChild("girl_front"))
            widget.SetOffsetX(int(curve(p) * float(girl->width)));
    });
}

// 0 at both ends of the window, 1 in its middle, 0 outside it.
float Dip(float p, float start, float end)
{
    return p >= start && p <= end ? std::sin((p - start) / (end - start) * float(M_PI)) : 0.0f;
}

} // namespace

int DlgSetCenterScalePoint(const TCCallbackRecord* record)
{
    return WithWidget(record, [](TCCandyWidget& widget, float) {
        widget.SetScalePointX(widget.width / 2);
        widget.SetScalePointY(widget.height / 2);
    });
}

int Rotate360(const TCCallbackRecord* record)
{
    return WithWidget(record, [](TCCandyWidget& widget, float p) { widget.SetRotation(p * 360.0f); });
}

int SparklingStar(const TCCallbackRecord* record)
{
    return WithWidget(record, [](TCCandyWidget& widget, float) {
        // A span of 0 or less gives 0: the widget then sits at the edge.
        const int x = RandomInt(0, TCCandyWidget::kScreenWidth - widget.width);
        const int y = RandomInt(0, TCCandyWidget::kScreenHeight - widget.height);
        widget.SetOffsetX(x);
        widget.SetOffsetY(y);
        widget.SetScalePointX(x + widget.width / 2);
        widget.SetScalePointY(y + widget.height / 2);
    });
}

int DlgSetRandomRotation(const TCCallbackRecord* record)
{
    const float from = ParamOr(record, "from", 0.0f);
    const float to = ParamOr(record, "to", 0.0f);
    return WithWidget(record, [from, to](TCCandyWidget& widget, float) { widget.SetRotation(RandomFloat(from, to)); });
}

int DlgSlideDownAccel(const TCCallbackRecord* record) { return SlideY(record, Toward, HeightOf); }
int DlgSlideDownAccel485(const TCCallbackRecord* record) { return SlideY(record, Toward, Fixed(485.0f)); }
int DlgSlideRightAccel(const TCCallbackRecord* record) { return SlideX(record, Toward, 1.0f, WidthOf); }
int DlgSlideLeftAccel(const TCCallbackRecord* record) { return SlideX(record, Toward, -1.0f, WidthOf); }
int DlgSlideFromRightAccel(const TCCallbackRecord* record) { return SlideX(record, From, 1.0f, WidthOf); }
int DlgSlideFromLeftAccel(const TCCallbackRecord* record) { return SlideX(record, From, -1.0f, WidthOf); }
int DlgSlideFromBottomAccel(const TCCallbackRecord* record) { return SlideY(record, From, HeightOf); }
int DlgSlideFromBottomAccel485(const TCCallbackRecord* record) { return SlideY(record, From, Fixed(485.0f)); }

int DlgSlideUp20(const TCCallbackRecord* record)
{
    return SlideY(record, [](float p) { return -p; }, Fixed(20.0f));
}

int DlgSlideDown20(const TCCallbackRecord* record)
{
    return SlideY(record, [](float p) { return -(1.0f - p); }, Fixed(20.0f));
}

int DlgSlideRightAccelGirl(const TCCallbackRecord* record) { return SlideGirlX(record, Toward); }
int DlgSlideFromRightAccelGirl(const TCCallbackRecord* record) { return SlideGirlX(record, From); }

int DlgSlideFromLeftAccel400(const TCCallbackRecord* record)
{
    return SlideX(record, From, -1.0f, Param(record, "dlgslideoffset", 400.0f));
}

int DlgSlideLeftAccel400(const TCCallbackRecord* record)
{
    return SlideX(record, Toward, -1.0f, Param(record, "dlgslideoffset", 400.0f));
}

int DlgSlideFromLeftAccel400M(const TCCallbackRecord* record)
{
    return SlideX(record, From, 1.0f, Param(record, "dlgslideoffset", 400.0f));
}

int DlgSlideLeftAccel400M(const TCCallbackRecord* record)
{
    return SlideX(record, Toward, 1.0f, Param(record, "dlgslideoffset", 400.0f));
}

int DlgShiftDown(const TCCallbackRecord* record)
{
    return SlideY(record, [](float p) { return p; }, HeightOf);
}

int DlgShiftToRight(const TCCallbackRecord* record)
{
    const float start = ParamOr(record, "startvalue", 0.0f);
    const float end = ParamOr(record, "endvalue", 0.0f);
    return WithWidget(record, [start, end](TCCandyWidget& widget, float p) { widget.SetOffsetX(int(start + (end - start) * p)); });
}

int DlgShiftDownAccel(const TCCallbackRecord* record)
{
    const float factor = ParamOr(record, "maxdistfactor", 1.0f);
    return SlideY(record, Toward, [factor](const TCCandyWidget& widget) { return HeightOf(widget) * factor; });
}

int DlgTypeIn(const TCCallbackRecord* record)
{
    return WithWidget(record, [](TCCandyWidget& widget, float p) {
        if (TCText* text = widget.AsText())
            text->SetVisibleChars(int(p * float(text->GetDisplayedText().size())));
    });
}

int DlgUpgradeBtnBlink(const TCCallbackRecord* record)
{
    return WithWidget(record, [](TCCandyWidget& widget, float p) {
        widget.SetAlpha(1.0f - 0.5f * (Dip(p, 0.0f, 0.2f) + Dip(p, 0.3f, 0.5f)));
    });
}
