#include "platform/Clipboard.h"

#include <SDL.h>

namespace plat {

bool SetClipboardText(const std::string& utf8) { return SDL_SetClipboardText(utf8.c_str()) == 0; }

std::string GetClipboardText()
{
    char* text = SDL_GetClipboardText();
    std::string result = text ? text : "";
    SDL_free(text);
    return result;
}

} // namespace plat
