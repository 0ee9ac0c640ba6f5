// libFuzzer harness for demo files: each input is read as a demo file of version "1.0" and,
// when it is accepted, its event stream is played to the end as playback would.
#include "framework/app/DemoFile.h"
#include "framework/app/DemoStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Nubra::DemoRecording recording;
    std::string error;
    if (!Nubra::ParseDemoFile(std::vector<uint8_t>(data, data + size), "1.0", &recording, &error))
        return 0;
    uint32_t updates = 0;
    Nubra::DemoStream player(updates);
    player.StartPlaying(recording.stream);
    while (!player.Ended()) {
        while (player.TakeDueInput()) {
        }
        // A data event: its reader takes a registry read's result bit, as the settings do.
        if (Nubra::Buffer* event = player.DueEvent(Nubra::kDemoRegistryRead)) {
            event->ReadNumBits(1, false);
            player.ConsumeEvent();
        } else if (player.Due()) {
            player.ConsumeEvent();
        } else {
            ++updates;
        }
    }
    return 0;
}
