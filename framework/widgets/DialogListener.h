#pragma once

namespace Nubra {

// What a dialog tells its owner about its buttons (1000 yes/ok, 1001 no/cancel).
class DialogListener {
public:
    virtual ~DialogListener() = default;

    virtual void DialogButtonPress(int dialogId, int buttonId)
    {
        (void)dialogId;
        (void)buttonId;
    }
    virtual void DialogButtonDepress(int dialogId, int buttonId)
    {
        (void)dialogId;
        (void)buttonId;
    }
};

} // namespace Nubra
