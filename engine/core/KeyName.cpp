#include "engine/core/KeyName.h"

namespace {

struct NamedKey {
    int code;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {1, "LBUTTON"}, {2, "RBUTTON"}, {3, "CANCEL"}, {4, "MBUTTON"}, {5, "XBUTTON1"}, {6, "XBUTTON2"},
    {8, "BACK"}, {9, "TAB"}, {12, "CLEAR"}, {13, "RETURN"}, {16, "SHIFT"}, {17, "CONTROL"}, {18, "MENU"},
    {19, "PAUSE"}, {20, "CAPITAL"}, {21, "KANA"}, {23, "JUNJA"}, {24, "FINAL"}, {25, "KANJI"}, {27, "ESCAPE"},
    {28, "CONVERT"}, {29, "NONCONVERT"}, {30, "ACCEPT"}, {31, "MODECHANGE"}, {32, "SPACE"}, {33, "PRIOR"},
    {34, "NEXT"}, {35, "END"}, {36, "HOME"}, {37, "LEFT"}, {38, "UP"}, {39, "RIGHT"}, {40, "DOWN"},
    {41, "SELECT"}, {42, "PRINT"}, {43, "EXECUTE"}, {44, "SNAPSHOT"}, {45, "INSERT"}, {46, "DELETE"},
    {47, "HELP"}, {91, "LWIN"}, {92, "RWIN"}, {93, "APPS"}, {95, "SLEEP"}, {106, "MULTIPLY"}, {107, "ADD"},
    {108, "SEPARATOR"}, {109, "SUBTRACT"}, {110, "DECIMAL"}, {111, "DIVIDE"}, {144, "NUMLOCK"}, {145, "SCROLL"},
    {160, "LSHIFT"}, {161, "RSHIFT"}, {162, "LCONTROL"}, {163, "RCONTROL"}, {164, "LMENU"}, {165, "RMENU"},
    {166, "BROWSER_BACK"}, {167, "BROWSER_FORWARD"}, {168, "BROWSER_REFRESH"}, {169, "BROWSER_STOP"},
    {170, "BROWSER_SEARCH"}, {171, "BROWSER_FAVORITES"}, {172, "BROWSER_HOME"}, {173, "VOLUME_MUTE"},
    {174, "VOLUME_DOWN"}, {175, "VOLUME_UP"}, {176, "MEDIA_NEXT_TRACK"}, {177, "MEDIA_PREV_TRACK"},
    {178, "MEDIA_STOP"}, {226, "OEM_102"}, {229, "PROCESSKEY"}, {231, "PACKET"}, {246, "ATTN"},
    {247, "CRSEL"}, {248, "EXSEL"}, {249, "EREOF"}, {250, "PLAY"}, {251, "ZOOM"}, {252, "NONAME"},
    {253, "PA1"}, {254, "OEM_CLEAR"},
};

constexpr int kNumpad0 = 96, kF1 = 112, kF24 = 135;

} // namespace

std::string KeyName(int virtualKey)
{
    // Letters, digits and the punctuation keys show as the character of their code.
    if ((virtualKey >= 48 && virtualKey <= 90) || (virtualKey >= 179 && virtualKey <= 224))
        return std::string(1, char(virtualKey));
    if (virtualKey >= kNumpad0 && virtualKey < kNumpad0 + 10)
        return "NUMPAD" + std::to_string(virtualKey - kNumpad0);
    if (virtualKey >= kF1 && virtualKey <= kF24)
        return "F" + std::to_string(virtualKey - kF1 + 1);
    for (const NamedKey& key : kNamedKeys)
        if (key.code == virtualKey)
            return key.name;
    return "unknown";
}
