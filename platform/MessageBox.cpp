#include "platform/MessageBox.h"

#include <SDL.h>

#include "platform/Replaceable.h"

namespace plat {
namespace {

MsgBoxResult FirstButton(MsgBoxButtons buttons) { return buttons == MsgBoxButtons::YesNo ? MsgBoxResult::Yes : MsgBoxResult::Ok; }

Uint32 IconFlag(MsgBoxIcon icon)
{
    switch (icon) {
    case MsgBoxIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MsgBoxIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

class SdlMessageBox : public IMessageBox {
public:
    MsgBoxResult Show(const std::string& title, const std::string& text, MsgBoxButtons buttons,
                      MsgBoxIcon icon) override
    {
        if (Headless())
            return Unseen(title, text, buttons);
        std::vector<SDL_MessageBoxButtonData> data;
        switch (buttons) {
        case MsgBoxButtons::Ok: data = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, int(MsgBoxResult::Ok), "OK"}}; break;
        case MsgBoxButtons::OkCancel:
            data = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, int(MsgBoxResult::Ok), "OK"},
                    {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, int(MsgBoxResult::Cancel), "Cancel"}};
            break;
        case MsgBoxButtons::CloseNow:
            data = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, int(MsgBoxResult::Ok), "Close Now"}};
            break;
        case MsgBoxButtons::YesNo:
            data = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, int(MsgBoxResult::Yes), "Yes"},
                    {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, int(MsgBoxResult::No), "No"}};
            break;
        }
        SDL_MessageBoxData box{IconFlag(icon), nullptr, title.c_str(), text.c_str(), int(data.size()), data.data(), nullptr};
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) != 0 || pressed < 0)
            return Unseen(title, text, buttons);
        return static_cast<MsgBoxResult>(pressed);
    }

private:
    static bool Headless()
    {
        const char* driver = SDL_getenv("SDL_VIDEODRIVER");
        return driver && SDL_strcmp(driver, "dummy") == 0;
    }

    // No display to show it on: say it on the console and take the default answer.
    static MsgBoxResult Unseen(const std::string& title, const std::string& text, MsgBoxButtons buttons)
    {
        SDL_Log("%s: %s", title.c_str(), text.c_str());
        return FirstButton(buttons);
    }
};

IMessageBox& SdlBox()
{
    static SdlMessageBox box;
    return box;
}

constinit Replaceable<IMessageBox> current(SdlBox);

} // namespace

IMessageBox& MessageBoxService() { return current.Get(); }

void SetMessageBoxService(IMessageBox* service) { current.Set(service); }

MsgBoxResult FakeMessageBox::Show(const std::string& title, const std::string& text, MsgBoxButtons buttons,
                                  MsgBoxIcon icon)
{
    shown.push_back({title, text, buttons, icon});
    if (answers.empty())
        return FirstButton(buttons);
    MsgBoxResult answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

} // namespace plat
