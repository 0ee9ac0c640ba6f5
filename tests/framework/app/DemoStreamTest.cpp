// The demo event stream: gaps and fillers, the shared layout of the input commands, and when
// playback finds an event due.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app/DemoStream.h"

namespace {

using Nubra::Buffer;
using Nubra::DemoEvent;
using Nubra::DemoStream;

// The stream's bits as '0'/'1' in stream order.
std::string Bits(const Buffer& buffer)
{
    std::string bits;
    for (size_t i = 0; i < buffer.GetDataBits(); ++i)
        bits += (buffer.GetDataPtr()[i / 8] >> (i % 8)) & 1 ? '1' : '0';
    return bits;
}

// n bits of value, lowest first.
std::string Field(uint32_t value, int n)
{
    std::string bits;
    for (int i = 0; i < n; ++i)
        bits += (value >> i) & 1 ? '1' : '0';
    return bits;
}

std::string Header(uint32_t gap, int command) { return Field(gap, 4) + "0" + Field(uint32_t(command), 5); }

// A recorder and a player over one update counter.
struct Streams {
    uint32_t updates = 0;
    DemoStream recorder{updates};
    DemoStream player{updates};

    void Replay()
    {
        updates = 0;
        player.StartPlaying(recorder.Data());
    }
};

TEST(DemoStream, LongGapsAreFilledAndEventsOfOneUpdateHaveGapZero)
{
    Streams s;
    s.recorder.StartRecording();
    s.updates = 40;
    s.recorder.BeginEvent(Nubra::kDemoClose);
    s.recorder.BeginEvent(Nubra::kDemoMouseEnter);
    const std::string filler = Header(15, Nubra::kDemoFiller);
    EXPECT_EQ(Bits(s.recorder.Data()),
              filler + filler + Header(10, Nubra::kDemoClose) + Header(0, Nubra::kDemoMouseEnter));
}

TEST(DemoStream, EachEventIsDueAtTheUpdateItWasRecordedAt)
{
    Streams s;
    s.recorder.StartRecording();
    const uint32_t at[] = {0, 0, 3, 40, 41};
    for (uint32_t update : at) {
        s.updates = update;
        s.recorder.Write({false, Nubra::kDemoKeyDown, {int32_t(update)}});
    }

    s.Replay();
    std::vector<uint32_t> playedAt;
    for (; s.updates < 60; ++s.updates)
        while (std::optional<DemoEvent> event = s.player.TakeDueInput()) {
            EXPECT_EQ(uint32_t(event->values[0]), s.updates);
            playedAt.push_back(s.updates);
        }
    EXPECT_EQ(playedAt, std::vector<uint32_t>(std::begin(at), std::end(at)));
    EXPECT_TRUE(s.player.Ended());
}

TEST(DemoStream, EveryInputCommandReadsBackAsWritten)
{
    const DemoEvent events[] = {
        {true, Nubra::kDemoMouseStep, {-31, 31}},
        {true, Nubra::kDemoMouseStep, {5, -1}},
        {true, Nubra::kDemoMouseButton, {1, -2}},
        {true, Nubra::kDemoMouseButton, {0, 3}},
        {false, Nubra::kDemoMouseAt, {4095, 0}},
        {false, Nubra::kDemoActivation, {1, 0}},
        {false, Nubra::kDemoMinimized, {1, 0}},
        {false, Nubra::kDemoKeyDown, {0xDD, 0}},
        {false, Nubra::kDemoKeyUp, {13, 0}},
        {false, Nubra::kDemoChar, {0xE9, 0}},
        {false, Nubra::kDemoChar, {0x263A, 0}},
        {false, Nubra::kDemoWheel, {-3, 0}},
        {false, Nubra::kDemoScreenSettings, {1, 144}},
        {false, Nubra::kDemoMouseLeave, {0, 0}},
    };
    Streams s;
    s.recorder.StartRecording();
    for (const DemoEvent& event : events)
        s.recorder.Write(event);

    s.Replay();
    for (const DemoEvent& expected : events) {
        std::optional<DemoEvent> got = s.player.TakeDueInput();
        ASSERT_TRUE(got) << expected.command;
        EXPECT_EQ(got->mouse, expected.mouse);
        EXPECT_EQ(got->command, expected.command);
        EXPECT_EQ(got->values[0], expected.values[0]) << expected.command;
        EXPECT_EQ(got->values[1], expected.values[1]) << expected.command;
    }
    EXPECT_FALSE(s.player.TakeDueInput());
}

TEST(DemoStream, MinimisedAndScreenSettingsKeepTheirFlagsInWholeBytes)
{
    Streams s;
    s.recorder.StartRecording();
    s.recorder.Write({false, Nubra::kDemoMinimized, {1, 0}});
    s.recorder.Write({false, Nubra::kDemoScreenSettings, {0, 60}});
    EXPECT_EQ(Bits(s.recorder.Data()), Header(0, Nubra::kDemoMinimized) + Field(1, 8)
                                           + Header(0, Nubra::kDemoScreenSettings) + Field(0, 8) + Field(60, 8));
}

TEST(DemoStream, DataEventsWaitForTheirReaderAndInputBehindThemWaitsToo)
{
    Streams s;
    s.recorder.StartRecording();
    s.recorder.BeginEvent(Nubra::kDemoRegistryWrite).WriteNumBits(1, 1);
    s.recorder.Write({false, Nubra::kDemoKeyDown, {65, 0}});

    s.Replay();
    EXPECT_FALSE(s.player.TakeDueInput()) << "the registry write is next";
    EXPECT_EQ(s.player.DueEvent(Nubra::kDemoRegistryRead), nullptr);
    Buffer* write = s.player.DueEvent(Nubra::kDemoRegistryWrite);
    ASSERT_NE(write, nullptr);
    EXPECT_EQ(write->ReadNumBits(1, false), 1);
    s.player.ConsumeEvent();
    std::optional<DemoEvent> key = s.player.TakeDueInput();
    ASSERT_TRUE(key);
    EXPECT_EQ(key->values[0], 65);
}

TEST(DemoStream, DamageEndsThePlaybackInsteadOfPlayingGarbage)
{
    struct Case {
        const char* what;
        std::string bits;
        int played;
    };
    const Case cases[] = {
        // A file holds whole bytes: the last one's padding is no event.
        {"padding after an event", Header(0, Nubra::kDemoClose) + "000000", 1},
        {"a payload cut short", Header(0, Nubra::kDemoMouseAt) + Field(100, 12), 0},
        {"a command nobody reads", Header(0, 27), 0},
    };
    for (const Case& c : cases) {
        Buffer recorded;
        for (char bit : c.bits)
            recorded.WriteNumBits(bit == '1', 1);
        uint32_t updates = 0;
        DemoStream player(updates);
        player.StartPlaying(recorded);
        int played = 0;
        while (player.TakeDueInput())
            ++played;
        EXPECT_EQ(played, c.played) << c.what;
        EXPECT_TRUE(player.Ended()) << c.what;
        EXPECT_FALSE(player.Due()) << c.what;
    }
}

} // namespace
