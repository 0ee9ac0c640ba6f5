#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "game/sim/ServeCounterparts.h"
#include "game/sim/TCPickItem.h"
#include "game/sim/TutorialPort.h"

namespace simtest {

// A board that also writes the boss's rush chain into the trace and owns the upgrades it is told.
class ServeBoard : public RecordingBoard {
public:
    ServeBoard(TCBoardHost& host, Trace& trace) : RecordingBoard(host, trace), rushTrace_(trace) {}
    void CountRushServe() override { rushTrace_.push_back("rush serve"); }
    void ResetRushBonus() override { rushTrace_.push_back("rush reset"); }
    bool IsUpgradeActive(const std::string& object, const std::string& name) const override
    {
        return bossSpeedOwned && object == "boss" && name == "speed";
    }
    bool bossSpeedOwned = false;

private:
    Trace& rushTrace_;
};

class RecordingTutorial : public TCTutorialPort {
public:
    explicit RecordingTutorial(Trace& trace) : trace_(trace) { SetTutorialPort(this); }
    ~RecordingTutorial() override { SetTutorialPort(nullptr); }
    void ApplyRule(int event) override { trace_.push_back("tutorial " + std::to_string(event)); }
    bool IsObjectAllowed(const std::string& name) const override { return allowed.empty() || allowed == name; }
    std::string allowed;

private:
    Trace& trace_;
};

// A client that waits for `wanted` ("" for no order shown) and takes it from the boss's hands.
class FakeClient : public TCItem, public TCIBossClient {
public:
    bool IsWaiting() const override { return waiting; }
    const std::string& GetWantedItem() const override { return wanted; }
    bool WantsItem(const std::string& item, const std::string& second) const override
    {
        return !wanted.empty() && (item == wanted || second == wanted);
    }
    std::string wanted;
    bool waiting = true;
};

// A worker whose product waits in its slot while `ready`; its own commit goes idle first.
class FakeWorker : public TCItem, public TCIBossWorker {
public:
    bool IsProductReady() const override { return ready; }
    const std::string& GetProductSlot() const override { return slot; }
    void SetProductSlot(const std::string& product) override { slot = product; }
    bool OnUse(TCItem*, bool testOnly) override
    {
        if (!testOnly)
            ready = false;
        return true;
    }
    bool ready = false;
    std::string slot;
};

// Objects made from a line of scene XML into the run's list, each in play.
inline TCItem* AddObject(std::unique_ptr<TCItem> item, const std::string& xml)
{
    pugi::xml_document node;
    EXPECT_TRUE(node.load_string(xml.c_str()));
    item->LoadFromXml(node.first_child());
    return GetItemList().Add(std::move(item));
}

} // namespace simtest
