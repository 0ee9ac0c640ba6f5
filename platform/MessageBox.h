#pragma once
#include <string>
#include <vector>

namespace plat {

enum class MsgBoxButtons { Ok, OkCancel, YesNo, CloseNow }; // CloseNow: one "Close Now" button, answering Ok
enum class MsgBoxIcon { None, Information, Warning, Error, Question };
enum class MsgBoxResult { Ok, Cancel, Yes, No };

// A modal system message box. Texts are UTF-8.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual MsgBoxResult Show(const std::string& title, const std::string& text, MsgBoxButtons buttons,
                              MsgBoxIcon icon) = 0;
};

IMessageBox& MessageBoxService();
void SetMessageBoxService(IMessageBox* service); // null restores the SDL one

inline MsgBoxResult ShowMessageBox(const std::string& title, const std::string& text,
                                   MsgBoxButtons buttons = MsgBoxButtons::Ok, MsgBoxIcon icon = MsgBoxIcon::None)
{
    return MessageBoxService().Show(title, text, buttons, icon);
}

// Records every box and answers from a queue (then with the first button).
class FakeMessageBox : public IMessageBox {
public:
    struct Shown {
        std::string title, text;
        MsgBoxButtons buttons;
        MsgBoxIcon icon;
    };

    MsgBoxResult Show(const std::string& title, const std::string& text, MsgBoxButtons buttons,
                      MsgBoxIcon icon) override;

    std::vector<Shown> shown;
    std::vector<MsgBoxResult> answers;
};

} // namespace plat
