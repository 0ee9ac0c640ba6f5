// The tutorials built into the game: the first level's walkthrough and the bonus explanations.
#include "game/sim/TCTutorialScript.h"

namespace {

using Rule = TCTutorialRule;

void ResetRushTime(TCTutorialScript& script) { script.ResetRushTime(); }
void FadeOut(TCTutorialScript& script) { script.StartPointerFadeOut(); }
void ResetScene(TCTutorialScript& script) { script.ResetScene(); }
void FadeIn(TCTutorialScript& script) { script.StartPointerFadeIn(); }

// A broken rush chain during the serving lesson: the message goes, the object is taken back and
// the lesson starts over.
constexpr Rule ChainBroke(std::string_view message, std::string_view object)
{
    return {.trigger = kTutorialRushReset, .close = message, .removeClickable = object, .next = 42};
}

constexpr Rule kAlt35[] = {ChainBroke("tutorial20a2", "table02")};
constexpr Rule kAlt36[] = {ChainBroke("tutorial20a3", "table03")};
constexpr Rule kAlt37[] = {ChainBroke("tutorial20a4", "client_place01")};
constexpr Rule kAlt38[] = {ChainBroke("tutorial20a5", "client_place02")};
constexpr Rule kAlt39[] = {ChainBroke("tutorial20a6", "client_place03")};
constexpr Rule kAlt40[] = {ChainBroke("tutorial20a7", "client_sit_place02")};
constexpr Rule kAlt41[] = {ChainBroke("tutorial20a8", "client_sit_place01")};

// One more client arrives and the doors close again until the next tick.
constexpr Rule kLetOneIn = {.trigger = kTutorialClientSpawned, .forbid = {kTutorialActionArrivals}};
constexpr Rule kOpenDoors = {.trigger = kTutorialTick, .allow = {kTutorialActionArrivals}};

constexpr Rule kMainScript[] = {
    /* 0 */ {.trigger = kTutorialTick,
             .forbid = {kTutorialActionPatience, kTutorialActionBonusPieces, kTutorialActionWork, kTutorialActionTidinessDown},
             .removeClickable = "table01;table02;table03;client_place01;client_place02;client_place03;"
                                "client_sit_place01;client_sit_place02;trash_bin;wash_stand"},
    /* 1 */
    {.trigger = kTutorialClientSpawned, .show = "tutorial1", .forbid = {kTutorialActionArrivals}, .addClickable = "client_place01"},
    /* 2 */ {.trigger = kTutorialTargetGiven, .close = "tutorial1", .removeClickable = "client_place01"},
    /* 3 */ {.trigger = kTutorialOrderShown, .show = "tutorial2"},
    /* 4 */ {.trigger = kTutorialTick, .show = "tutorial3", .addClickable = "table01"},
    /* 5 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial4",
     .close = "tutorial2;tutorial3",
     .addClickable = "table02",
     .removeClickable = "table01"},
    /* 6 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial5",
     .close = "tutorial4",
     .addClickable = "table03",
     .removeClickable = "table02"},
    /* 7 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial6",
     .close = "tutorial5",
     .allow = {kTutorialActionWork, kTutorialActionTidinessDown, kTutorialActionTidinessUp},
     .removeClickable = "table03"},
    /* 8 */ {.trigger = kTutorialProductReady, .show = "tutorial7", .close = "tutorial6", .addClickable = "table01"},
    /* 9 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial8",
     .close = "tutorial7",
     .addClickable = "client_place01",
     .removeClickable = "table01"},
    /* 10 */ {.trigger = kTutorialTargetGiven, .close = "tutorial8", .removeClickable = "client_place01"},
    /* 11 */ {.trigger = kTutorialClientLeft, .show = "tutorial9"},
    /* 12 */
    {.trigger = kTutorialDialogClosed, .show = "tutorial10", .close = "tutorial9", .addClickable = "wash_stand"},
    /* 13 */
    {.trigger = kTutorialExchange,
     .show = "tutorial11",
     .close = "tutorial10",
     .addClickable = "table01",
     .removeClickable = "wash_stand"},
    /* 14 */
    {.trigger = kTutorialExchange, .close = "tutorial11", .allow = {kTutorialActionArrivals}, .removeClickable = "table01"},
    /* 15 */
    {.trigger = kTutorialClientSpawned, .show = "tutorial12", .forbid = {kTutorialActionArrivals}, .addClickable = "client_place02"},
    /* 16 */
    {.trigger = kTutorialOrderShown, .show = "tutorial13", .close = "tutorial12", .removeClickable = "client_place02"},
    /* 17 */ {.trigger = kTutorialTick, .show = "tutorial14", .addClickable = "table02"},
    /* 18 */
    {.trigger = kTutorialExchange,
     .show = "tutorial15",
     .close = "tutorial14",
     .addClickable = "table03",
     .removeClickable = "table02"},
    /* 19 */
    {.trigger = kTutorialExchange,
     .show = "tutorial16",
     .close = "tutorial15;tutorial13",
     .addClickable = "client_place02",
     .removeClickable = "table03"},
    /* 20 */ {.trigger = kTutorialTargetGiven, .show = "tutorial17", .close = "tutorial16"},
    /* 21 */
    {.trigger = kTutorialDialogClosed,
     .show = "tutorial18",
     .close = "tutorial16;tutorial17",
     .removeClickable = "client_place02"},
    /* 22 */
    {.trigger = kTutorialDialogClosed, .show = "tutorial19", .close = "tutorial18", .allow = {kTutorialActionArrivals}},
    /* 23 */ kLetOneIn,
    /* 24 */ kOpenDoors,
    /* 25 */ kLetOneIn,
    /* 26 */ kOpenDoors,
    /* 27 */ kLetOneIn,
    /* 28 */ kOpenDoors,
    /* 29 */ kLetOneIn,
    /* 30 */ kOpenDoors,
    /* 31 */ {.trigger = kTutorialClientSpawned},
    /* 32 */ {.trigger = kTutorialTick, .show = "tutorial20"},
    /* 33 */
    {.trigger = kTutorialDialogClosed,
     .show = "tutorial20a;tutorial20a1",
     .close = "tutorial19;tutorial20",
     .allow = {kTutorialActionBonusPieces},
     .addClickable = "table01"},
    /* 34 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a2",
     .close = "tutorial20a1",
     .addClickable = "table02",
     .removeClickable = "table01",
     .callback = ResetRushTime},
    /* 35 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a3",
     .close = "tutorial20a2",
     .addClickable = "table03",
     .removeClickable = "table02",
     .alternatives = kAlt35},
    /* 36 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a4",
     .close = "tutorial20a3",
     .addClickable = "client_place01",
     .removeClickable = "table03",
     .alternatives = kAlt36},
    /* 37 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a5",
     .close = "tutorial20a4",
     .addClickable = "client_place02",
     .removeClickable = "client_place01",
     .alternatives = kAlt37},
    /* 38 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a6",
     .close = "tutorial20a5",
     .addClickable = "client_place03",
     .removeClickable = "client_place02",
     .alternatives = kAlt38},
    /* 39 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a7",
     .close = "tutorial20a6",
     .addClickable = "client_sit_place02",
     .removeClickable = "client_place03",
     .alternatives = kAlt39},
    /* 40 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial20a8",
     .close = "tutorial20a7",
     .addClickable = "client_sit_place01",
     .removeClickable = "client_sit_place02",
     .alternatives = kAlt40},
    /* 41 */
    {.trigger = kTutorialTargetGiven,
     .show = "tutorial21a",
     .close = "tutorial20a8;tutorial20a",
     .removeClickable = "client_sit_place01",
     .next = 46,
     .alternatives = kAlt41},
    /* 42 */ {.trigger = kTutorialTick, .close = "tutorial20a", .callback = FadeOut},
    /* 43 */ {.trigger = kTutorialFadeOutDone, .show = "tutorial21b", .callback = ResetScene},
    /* 44 */ {.trigger = kTutorialDialogClosed, .close = "tutorial21b", .callback = FadeIn},
    /* 45 */
    {.trigger = kTutorialFadeInDone, .show = "tutorial20a;tutorial20a1", .addClickable = "table01", .next = 34},
    /* 46 */ {.trigger = kTutorialTick, .show = "tutorial22", .piece = 4},
    /* 47 */ {.trigger = kTutorialBonusReady, .show = "tutorial23", .close = "tutorial22;tutorial21a"},
    /* 48 */ {.trigger = kTutorialDialogClosed, .show = "tutorial24", .close = "tutorial23"},
    /* 49 */ {.trigger = kTutorialDialogClosed, .close = "tutorial24"},
};
static_assert(std::size(kMainScript) == 50);

constexpr int kMainBonusKinds[] = {0, 2, 2, 1, 2, 0};

// The game waits while the bonus is explained.
constexpr Rule BonusShow(std::string_view message)
{
    return {.trigger = kTutorialTick, .show = message, .forbid = {kTutorialActionRun}};
}
constexpr Rule BonusClose(std::string_view message)
{
    return {.trigger = kTutorialDialogClosed, .close = message, .allow = {kTutorialActionRun}};
}

constexpr Rule kCoin[] = {BonusShow("tutorial_bonus_coin"), BonusClose("tutorial_bonus_coin")};
constexpr Rule kHappy[] = {BonusShow("tutorial_bonus_happy"), BonusClose("tutorial_bonus_happy")};
constexpr Rule kSpeed[] = {BonusShow("tutorial_bonus_speed"), BonusClose("tutorial_bonus_speed")};
constexpr Rule kIce[] = {BonusShow("tutorial_bonus_ice"), BonusClose("tutorial_bonus_ice")};

const TCTutorialScriptDef kScripts[kTutorialScriptCount] = {
    {kMainScript, kMainBonusKinds}, {kCoin, {}}, {kHappy, {}}, {{}, {}}, {kSpeed, {}}, {kIce, {}},
};

} // namespace

const TCTutorialScriptDef& GetTutorialScript(int index) { return kScripts[index]; }
