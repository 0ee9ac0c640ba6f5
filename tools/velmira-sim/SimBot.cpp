#include "tools/velmira-sim/SimBot.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

#include "game/sim/Products.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCGraph.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCPeriodItem.h"
#include "game/sim/TCPickItem.h"
#include "game/sim/TCWorker.h"
#include "game/sim/TutorialPort.h"

namespace {

// A VIP lost ends the day, so a VIP counts as this much less patient.
constexpr float kVipUrgency = 40.0f;
// What each kind of errand is worth, before the guest's urgency and the walk.
constexpr float kDeliverValue = 3.0f;
constexpr float kOrderValue = 2.0f;
constexpr float kFetchValue = 2.5f;
constexpr float kBinValue = 2.0f;
// Time spent at the object besides the walk.
constexpr float kUseSeconds = 0.5f;
constexpr float kUnreachable = 1.0e6f;
// What every guest takes in place of an order.
constexpr const char* kSpecial = "super";

struct Guest {
    const TCClient* client = nullptr;
    std::string place;
    float urgency = 0.0f;
    // Until the guest's patience runs out.
    float secondsLeft = 0.0f;
};

// Where a product comes from: a worker's table or a machine.
struct Source {
    enum State { kReady, kBusy, kIdle, kBroken };
    std::string pick;
    std::string product;
    bool worker = false;
    State state = kIdle;
    float readyIn = 0.0f;
    float tidiness = 100.0f;
    bool claimed = false;
};

struct World {
    std::array<std::string, 2> hands;
    std::array<bool, 2> handClaimed{};
    std::string bossAt;
    // Guests showing an order, and guests whose order is still to be taken, most urgent first.
    std::vector<Guest> orders;
    std::vector<Guest> newcomers;
    std::vector<Source> sources;
    bool guestsAround = false;
};

bool Clickable(const std::string& name)
{
    const TCPickItem* item = FindPickItemByName(name);
    return item && item->IsActive() && item->IsVisible() && TutorialAllowsObject(name);
}

void AddSources(World& world)
{
    for (const auto& item : GetItemList().GetItems()) {
        if (!item->IsActive() || !item->IsVisible())
            continue;
        Source source;
        if (const auto* worker = dynamic_cast<const TCWorker*>(item.get())) {
            if (!worker->GetRecord() || !worker->GetTable())
                continue;
            source.pick = worker->GetTable()->GetName();
            source.product = worker->GetRecord()->product;
            source.worker = true;
            source.tidiness = worker->GetTidiness();
            switch (worker->GetState()) {
            case TCWorker::kReady: source.state = Source::kReady; break;
            case TCWorker::kBroken: source.state = Source::kBroken; break;
            case TCWorker::kWorking:
                source.state = Source::kBusy;
                source.readyIn = worker->GetWorkProgress() * worker->GetWorkTime();
                break;
            default: source.state = Source::kIdle; break;
            }
        } else if (const auto* machine = dynamic_cast<const TCPeriodItem*>(item.get())) {
            source.pick = machine->GetName();
            source.product = machine->GetThing();
            source.state = machine->GetState() == TCPeriodItem::kReady ? Source::kReady : Source::kBusy;
            source.readyIn = std::max(0.0f, machine->GetRemainingPause());
        } else {
            continue;
        }
        if (Clickable(source.pick))
            world.sources.push_back(source);
    }
}

void AddGuests(World& world)
{
    for (const TCClient* client : GetPresentClients()) {
        world.guestsAround = true;
        if (!client->IsVisible() || client->GetState() != TCClient::kWaiting)
            continue;
        const float speed = client->GetType() ? client->GetType()->patienceSpeed : 0.0f;
        Guest guest{client, client->GetPlaceName(), client->GetPatience() - (client->IsVip() ? kVipUrgency : 0.0f),
                    speed > 0.0f ? client->GetPatience() / speed : kUnreachable};
        if (!Clickable(guest.place))
            continue;
        (client->GetWantedItem().empty() ? world.newcomers : world.orders).push_back(guest);
    }
    const auto byUrgency = [](const Guest& a, const Guest& b) { return a.urgency < b.urgency; };
    std::stable_sort(world.orders.begin(), world.orders.end(), byUrgency);
    std::stable_sort(world.newcomers.begin(), world.newcomers.end(), byUrgency);
}

std::optional<World> LookAround()
{
    const auto* boss = dynamic_cast<const TCMoveItem*>(GetItemList().GetBoss());
    const auto* hands = dynamic_cast<const TCIHands*>(boss);
    if (!boss || !hands)
        return std::nullopt;
    World world;
    world.hands = {hands->GetHandItem(TCIHands::kPrimary), hands->GetHandItem(TCIHands::kSecondary)};
    world.bossAt = boss->GetCurrentPoint();
    AddGuests(world);
    AddSources(world);
    return world;
}

// The single products an order is made of.
std::vector<std::string> Components(const std::string& order)
{
    if (!IsProductCode(order) || IsSingleProduct(order))
        return {order};
    return {order.substr(0, 2) + "00", order.substr(2, 2) + "00"};
}

int FreeHand(const World& world)
{
    for (int hand : {TCIHands::kPrimary, TCIHands::kSecondary})
        if (world.hands[hand].empty())
            return hand;
    return -1;
}

// The bin takes from the second hand while it holds anything, else from the first.
int BinnedHand(const World& world)
{
    if (!world.hands[TCIHands::kSecondary].empty())
        return TCIHands::kSecondary;
    return world.hands[TCIHands::kPrimary].empty() ? -1 : TCIHands::kPrimary;
}

// Room for a new item, when the bin would take something no order needs.
std::string MakeRoom(const World& world)
{
    const int hand = BinnedHand(world);
    return hand >= 0 && !world.handClaimed[hand] && Clickable("trash_bin") ? "trash_bin" : std::string();
}

// The best unclaimed source of a product: ready, then soonest ready, then idle, then broken; of
// equals, one that makes the product itself before one of the specials every guest takes.
Source* FindSource(World& world, const std::string& product)
{
    Source* best = nullptr;
    const auto rank = [](const Source& source) {
        return std::tuple(int(source.state), source.readyIn, source.product == kSpecial);
    };
    for (Source& source : world.sources)
        if (!source.claimed && (source.product == product || source.product == kSpecial) &&
            (!best || rank(source) < rank(*best)))
            best = &source;
    return best;
}

bool Holds(const World& world, const std::string& item) { return std::ranges::find(world.hands, item) != world.hands.end(); }

// Cleaning a broken table: a sponge from the stand first.
std::string CleanErrand(const World& world, const Source& source)
{
    if (Holds(world, "wash"))
        return source.pick;
    if (FreeHand(world) >= 0)
        return Clickable("wash_stand") ? "wash_stand" : std::string();
    return MakeRoom(world);
}

// What to do about one part of an order, now; empty when the part must wait. A product joins a
// held one only when it comes from a worker.
std::string PartErrand(World& world, const Source& source, bool mayFetch, bool joins)
{
    switch (source.state) {
    case Source::kReady:
        if (!mayFetch)
            return {};
        if (joins)
            return source.pick;
        return FreeHand(world) >= 0 ? source.pick : MakeRoom(world);
    case Source::kIdle:
        return source.pick;
    case Source::kBroken:
        return CleanErrand(world, source);
    case Source::kBusy:
        return {};
    }
    return {};
}

// A part of the order already in a hand is kept for it; the parts still missing are returned.
std::vector<std::string> ClaimHeldPart(World& world, std::vector<std::string> parts, bool& held)
{
    held = false;
    if (parts.size() < 2)
        return parts;
    for (int hand : {TCIHands::kPrimary, TCIHands::kSecondary})
        for (auto part = parts.begin(); part != parts.end(); ++part)
            if (!world.handClaimed[hand] && world.hands[hand] == *part) {
                world.handClaimed[hand] = true;
                parts.erase(part);
                held = true;
                return parts;
            }
    return parts;
}

// Works towards one shown order; the sources and hands it needs are claimed for it.
std::string OrderErrand(World& world, const Guest& guest)
{
    bool held = false;
    const std::vector<std::string> parts = ClaimHeldPart(world, Components(guest.client->GetWantedItem()), held);
    std::vector<Source*> sources;
    for (const std::string& part : parts)
        if (Source* source = FindSource(world, part)) {
            source->claimed = true;
            sources.push_back(source);
        }
    if (sources.size() != parts.size())
        return {};
    // With nothing held a machine's part goes first, then whichever is ready first.
    std::ranges::stable_sort(sources, {}, [](const Source* source) { return std::pair(source->worker, int(source->state)); });
    std::string errand;
    for (size_t i = 0; i < sources.size() && errand.empty(); ++i) {
        const bool mayFetch = held ? sources[i]->worker : i == 0 || sources[0]->worker;
        errand = PartErrand(world, *sources[i], mayFetch, held);
    }
    return errand;
}

// With nothing wanted now: keep the workers busy while guests are about, and use a held sponge.
std::string SpareErrand(World& world)
{
    for (Source& source : world.sources)
        if (!source.claimed && source.worker && source.state == Source::kBroken) {
            const std::string errand = CleanErrand(world, source);
            if (!errand.empty())
                return errand;
        }
    if (Holds(world, "wash")) {
        const Source* dirtiest = nullptr;
        for (const Source& source : world.sources)
            if (source.worker && (!dirtiest || source.tidiness < dirtiest->tidiness))
                dirtiest = &source;
        if (dirtiest)
            return dirtiest->pick;
    }
    if (world.guestsAround)
        for (const Source& source : world.sources)
            if (!source.claimed && source.worker && source.state == Source::kIdle)
                return source.pick;
    return {};
}

// Seconds of the boss's walk from one object's stand point to another's.
using WalkTime = std::function<float(const std::string& from, const std::string& to)>;

// One way to spend the boss's next walk, and what it is worth per second of walking.
struct Candidate {
    std::string target;
    float value = 0.0f;
};

// How much sooner a guest needs the boss: a guest with less patience weighs up to three times
// as much as a content one.
float Weight(const Guest& guest) { return 1.0f + std::clamp(100.0f - guest.urgency, 0.0f, 100.0f) / 50.0f; }

// The hand whose item the guest takes, kept for it; -1 when no free-to-give hand has it.
int ClaimHandFor(World& world, const Guest& guest)
{
    for (int hand : {TCIHands::kPrimary, TCIHands::kSecondary})
        if (!world.handClaimed[hand] && guest.client->WantsItem(world.hands[hand])) {
            world.handClaimed[hand] = true;
            return hand;
        }
    return -1;
}

std::vector<Candidate> Candidates(World& world, const WalkTime& walkSeconds)
{
    std::vector<Candidate> candidates;
    std::vector<const Guest*> unserved;
    // Any guest who wants what a hand holds may have it; the most urgent ones keep those hands.
    for (const Guest& guest : world.orders) {
        if (std::ranges::any_of(world.hands, [&](const std::string& item) { return guest.client->WantsItem(item); }))
            candidates.push_back({guest.place, kDeliverValue * Weight(guest)});
        ClaimHandFor(world, guest);
        unserved.push_back(&guest);
    }
    for (const Guest& guest : world.newcomers)
        candidates.push_back({guest.place, kOrderValue * Weight(guest)});
    for (const Guest* guest : unserved) {
        const std::string errand = OrderErrand(world, *guest);
        // A guest who would be gone before the product came is left to go.
        if (!errand.empty() &&
            walkSeconds(world.bossAt, errand) + walkSeconds(errand, guest->place) + kUseSeconds < guest->secondsLeft)
            candidates.push_back({errand, kFetchValue * Weight(*guest)});
    }
    // What nobody wants any more only blocks a hand; a sponge waits for a dirty table.
    const int binned = BinnedHand(world);
    if (binned >= 0 && world.hands[binned] != "wash") {
        const std::string bin = MakeRoom(world);
        if (!bin.empty())
            candidates.push_back({bin, kBinValue});
    }
    return candidates;
}

std::string Decide(World& world, const WalkTime& walkSeconds)
{
    const std::vector<Candidate> candidates = Candidates(world, walkSeconds);
    const Candidate* best = nullptr;
    float bestScore = 0.0f;
    for (const Candidate& candidate : candidates) {
        const float score = candidate.value / (walkSeconds(world.bossAt, candidate.target) + kUseSeconds);
        if (!best || score > bestScore) {
            best = &candidate;
            bestScore = score;
        }
    }
    if (best)
        return best->target;
    std::string errand = SpareErrand(world);
    if (!errand.empty())
        return errand;
    // Stand ready where the next wanted product comes out.
    for (const Source& source : world.sources)
        if (source.claimed && source.state == Source::kBusy)
            return source.pick != world.bossAt ? source.pick : std::string();
    if (FreeHand(world) < 0)
        return MakeRoom(world);
    return {};
}

} // namespace

float SimBot::WalkSeconds(const std::string& from, const std::string& to)
{
    if (from == to)
        return 0.0f;
    const auto key = std::pair(from, to);
    auto found = distances_.find(key);
    if (found == distances_.end()) {
        float length = kUnreachable;
        const TCGraph* graph = gGameBoard ? gGameBoard->GetGraph("boss") : nullptr;
        TCGraphData route;
        if (graph) {
            route.CopyFrom(graph->GetMerged());
            if (route.FindRoute(from, to)) {
                length = 0.0f;
                for (const TCGraphSegment& segment : route.GetSegments())
                    length += segment.length;
            }
        }
        found = distances_.emplace(key, length).first;
    }
    const auto* boss = dynamic_cast<const TCMoveItem*>(GetItemList().GetBoss());
    const float speed = boss ? boss->GetMoveSpeed() : 0.0f;
    return speed > 0.0f ? found->second / speed : kUnreachable;
}

std::string SimBot::ChooseErrand()
{
    std::optional<World> world = LookAround();
    if (!world)
        return {};
    return Decide(*world, [this](const std::string& from, const std::string& to) { return WalkSeconds(from, to); });
}

void SimBot::Step(TCBoard_Game3& board)
{
    const auto* boss = dynamic_cast<const TCMoveItem*>(GetItemList().GetBoss());
    if (!boss || !boss->GetTargets().empty() || boss->IsBusy())
        return;
    const std::string errand = ChooseErrand();
    if (errand.empty())
        return;
    if (TCPickItem* item = FindPickItemByName(errand))
        board.ClickItem(*item);
}
