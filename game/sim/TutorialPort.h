#pragma once
#include <string>

// What the game tells the tutorial beyond its action gate (TutorialForbids): what just happened,
// by number, and whether an object may be clicked. Without a tutorial the events go nowhere and
// every object may be clicked.
enum TCTutorialEvent {
    kTutorialTick = 0,
    kTutorialClientSpawned = 1,
    kTutorialTargetGiven = 2,
    kTutorialClientLeft = 3,
    kTutorialOrderShown = 4,
    kTutorialTrayUsed = 5,
    kTutorialBonusReady = 6,
    kTutorialWorkStarted = 7,
    kTutorialProductReady = 8,
    kTutorialRushReset = 9,
    kTutorialExchange = 10,
    kTutorialDialogClosed = 11,
    kTutorialFadeOutDone = 12,
    kTutorialFadeInDone = 13,
};

// The actions the tutorial may forbid (asked through TutorialForbids).
enum TCTutorialAction {
    kTutorialActionPatience = 1,
    kTutorialActionTidinessUp = 2,
    kTutorialActionTidinessDown = 3,
    kTutorialActionWork = 4,
    kTutorialActionArrivals = 5,
    kTutorialActionBonusPieces = 6,
    kTutorialActionRun = 7,
};

class TCTutorialPort {
public:
    virtual ~TCTutorialPort() = default;
    virtual void ApplyRule(int event) = 0;
    virtual bool IsObjectAllowed(const std::string& name) const = 0;
};

// The running tutorial (not owned), or null.
void SetTutorialPort(TCTutorialPort* port);
void ApplyTutorialRule(int event);
bool TutorialAllowsObject(const std::string& name);
