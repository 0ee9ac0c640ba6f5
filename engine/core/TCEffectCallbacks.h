#pragma once
#include <string_view>

class TCEffect;
class TCCallBackParams;

// What a control's function receives.
struct TCCallbackRecord {
    int kind = 0; // 1 point, 2 range
    int id = 0;
    TCEffect* effect = nullptr;
    int userWord = 0;
    float progress = 0.0f; // a range's fraction; for a point the position reached, in seconds
    TCCallBackParams* params = nullptr;
};

// Timer controls call the first kind; "call" messages call the second with the effect itself.
using TCControlCallback = int (*)(const TCCallbackRecord*);
using TCMessageCallback = int (*)(TCEffect*);

// The effect file names its functions; they are found in our own table. A name registered for the
// other kind of caller is refused with a warning, since it would be handed the wrong object.
TCControlCallback FindControlCallback(std::string_view name);
TCMessageCallback FindMessageCallback(std::string_view name);
