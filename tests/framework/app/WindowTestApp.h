#pragma once
// An application with a real (headless) window whose display answers from a script before it
// starts for real, with a widget over the whole screen that writes down the input it gets.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/app/AppTestSupport.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDInterface.h"
#include "framework/widgets/WidgetTestSupport.h"

namespace apptest {

class WindowApp : public Nubra::NubraAppBase {
public:
    explicit WindowApp(const std::string& product, bool startWindowed = true)
    {
        productName = UniqueProduct(product);
        // The headless desktop is 1024 x 768: a smaller game fits in a window.
        width = 640;
        height = 480;
        windowed = startWindowed;
        test3D = autoEnable3D = false; // the 3-D choice is the test's, not the card test's
        probe = std::make_unique<widgettest::Probe>("probe", &log, Nubra::Rect(0, 0, 640, 480));
        probe->wantsFocus = true;
        widgetManager->AddWidget(probe.get());
    }
    ~WindowApp() override { widgetManager->RemoveWidget(probe.get()); }

    bool ChangeDirHook(const std::string&) override { return true; }
    int InitDisplay() override
    {
        if (displayStarts.empty() && start3D)
            ddInterface->is3D = *start3D;
        displayStarts.push_back(ddInterface->is3D);
        if (displayResults.empty())
            return NubraAppBase::InitDisplay();
        const int result = displayResults.front();
        displayResults.pop_front();
        ddInterface->errorText = "CreateSurface: out of memory";
        return result;
    }
    void KeyDown(int key) override { log.push_back("app:keyhook " + std::to_string(key)); }
    void GotFocus() override { log.push_back("app:gotfocus"); }
    void LostFocus() override { log.push_back("app:lostfocus"); }
    void CloseRequest() override { ++closeRequests; }

    // Sends messages as the system would and replays the queue.
    void Send(const std::vector<plat::Message>& messages)
    {
        for (const plat::Message& message : messages)
            WindowProc(message);
        ProcessDeferredMessages(false);
    }

    widgettest::Log log;
    std::unique_ptr<widgettest::Probe> probe;
    std::optional<bool> start3D = false; // the display's first 3-D choice; none: as the settings have it
    std::deque<int> displayResults;      // what the display answers, in turn, before it starts for real
    std::vector<bool> displayStarts;     // the 3-D choice at each start
    int closeRequests = 0;
};

} // namespace apptest
