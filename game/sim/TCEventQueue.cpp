#include "game/sim/TCEventQueue.h"

#include <algorithm>

#include "engine/core/GameClock.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TutorialPort.h"
#include "platform/CRand.h"

namespace {

constexpr const char* kPersonAttributes[4] = {"person1", "person2", "person3", "person4"};

int QueueOfType(const std::string& type)
{
    if (type == "client")
        return 0;
    if (type == "family")
        return 1;
    return -1;
}

void ReadPersons(pugi::xml_node node, std::array<std::string, 4>& persons)
{
    for (size_t i = 0; i < persons.size(); ++i)
        XmlGetString(node, kPersonAttributes[i], persons[i]);
}

float ReadProb(pugi::xml_node node)
{
    float prob = 0.0f;
    XmlGetFloat(node, "prob", prob);
    return prob;
}

// The first entry whose weight exceeds what is left of r. A draw at the very top of the range
// passes every entry; it then falls to the last entry that can be drawn at all.
template <typename Entry>
const Entry* PickByWeight(const std::vector<Entry>& entries, float r)
{
    const Entry* fallback = nullptr;
    for (const Entry& entry : entries) {
        if (entry.prob > r)
            return &entry;
        r -= entry.prob;
        if (entry.prob > 0.0f)
            fallback = &entry;
    }
    return fallback;
}

} // namespace

TCEventQueue::TCEventQueue()
{
    uniform_ = [] { return static_cast<float>(plat::CRand()) / static_cast<float>(plat::kCRandMax); };
    for (int q = 0; q < kQueueCount; ++q)
        cursor_[q] = events_[q].end();
}

TCEventQueue::~TCEventQueue() = default;

void TCEventQueue::SetUniform(Uniform uniform) { uniform_ = std::move(uniform); }

void TCEventQueue::Load(pugi::xml_node level)
{
    if (mode_ == kSurvival)
        LoadSurvival(level);
    else
        LoadCareer(level);
}

void TCEventQueue::LoadCareer(pugi::xml_node level)
{
    ForEachNode(level, "events_queue/time_point", [this](pugi::xml_node node) {
        auto event = std::make_unique<TCEvent>();
        float time = 0.0f;
        XmlGetFloat(node, "time", time);
        event->time = time;
        XmlGetString(node, "type", event->type);
        ReadPersons(node, event->persons);
        int vip = 0;
        XmlGetInt(node, "isVip", vip);
        event->vip = vip != 0;
        for (pugi::xml_node param : node.children("param")) {
            std::string name;
            XmlGetString(param, "name", name);
            event->orders.push_back(name);
        }
        const int queue = QueueOfType(event->type);
        if (queue >= 0)
            events_[queue].push_back(std::move(event));
        return true;
    });
    for (int q = 0; q < kQueueCount; ++q)
        cursor_[q] = events_[q].begin();
}

void TCEventQueue::DropEvents(const std::function<bool(const TCEvent&)>& drop)
{
    for (int q = 0; q < kQueueCount; ++q) {
        events_[q].remove_if([&drop](const std::unique_ptr<TCEvent>& event) { return drop(*event); });
        cursor_[q] = events_[q].begin();
        taken_[q] = 0;
    }
}

void TCEventQueue::LoadSurvival(pugi::xml_node level)
{
    // The level thread's generator is already seeded from the run's seed.
    LoadTemplates(level);
    LoadStages(level);
    if (stages_.empty())
        WriteLog("ERROR: Survival level has no stages");
    RestartStages();
    // The first arrival of each queue, the dispatcher's choice first.
    const int first = ChooseQueue() == 1 ? 1 : 0;
    for (int queue : {first, 1 - first})
        if (std::unique_ptr<TCEvent> event = Generate(queue))
            events_[queue].push_back(std::move(event));
    for (int q = 0; q < kQueueCount; ++q)
        cursor_[q] = events_[q].begin();
}

void TCEventQueue::LoadTemplates(pugi::xml_node level)
{
    ForEachNode(level, "templates/order_template", [this](pugi::xml_node node) {
        std::string name;
        XmlGetString(node, "name", name);
        OrderTemplate& entry = templates_[name];
        for (auto [sideName, side] : {std::pair{"stand", &entry.stand}, std::pair{"sit", &entry.sit}}) {
            const pugi::xml_node sideNode = node.child(sideName);
            side->prob = ReadProb(sideNode);
            for (pugi::xml_node listNode : sideNode.children("order_list")) {
                OrderList list;
                list.prob = ReadProb(listNode);
                for (pugi::xml_node orderNode : listNode.children("order")) {
                    Order order;
                    XmlGetString(orderNode, "name", order.name);
                    order.prob = ReadProb(orderNode);
                    list.total += order.prob;
                    list.orders.push_back(order);
                }
                side->total += list.prob;
                side->lists.push_back(std::move(list));
            }
        }
        return true;
    });
}

void TCEventQueue::LoadStages(pugi::xml_node level)
{
    ForEachNode(level, "stages/stage", [this](pugi::xml_node node) {
        Stage stage;
        XmlGetInt(node, "points", stage.points);
        for (pugi::xml_node typeNode : node.children("time_point_template")) {
            ClientType type;
            XmlGetString(typeNode, "type", type.type);
            ReadPersons(typeNode, type.persons);
            if (type.persons[0].empty())
                WriteLog("WARNING: Client skin not defined!");
            type.prob = ReadProb(typeNode);
            XmlGetFloat(typeNode, "time_min", type.timeMin);
            XmlGetFloat(typeNode, "time_max", type.timeMax);
            XmlGetString(typeNode, "order_template", type.orderTemplate);
            // A type that can never be drawn would only make empty arrivals.
            if (type.prob <= 0.0f) {
                WriteLog("WARNING: Client type '%s' has no probability and never comes", type.type.c_str());
                continue;
            }
            if (!templates_.count(type.orderTemplate))
                WriteLog("WARNING: Order template '%s' not found", type.orderTemplate.c_str());
            const int queue = type.type == "family" ? 1 : 0;
            stage.weight[queue] += type.prob;
            stage.types[queue].push_back(std::move(type));
        }
        stages_.push_back(std::move(stage));
        return true;
    });
}

bool TCEventQueue::AdvanceTime()
{
    if (TutorialForbids(kTutorialActionRun))
        return false;
    time_.Add(gFrameTime);
    return true;
}

bool TCEventQueue::IsQueueExhausted(int queue) const { return cursor_[queue] == events_[queue].end(); }

bool TCEventQueue::IsExhausted() const { return IsQueueExhausted(0) && IsQueueExhausted(1); }

const TCEvent* TCEventQueue::GetDueEvent(int queue) const
{
    if (IsQueueExhausted(queue) || (*cursor_[queue])->time > time_.Seconds())
        return nullptr;
    return cursor_[queue]->get();
}

void TCEventQueue::PopEvent(int queue)
{
    EventList& events = events_[queue];
    if (mode_ != kSurvival) {
        if (!IsQueueExhausted(queue)) {
            ++cursor_[queue];
            ++taken_[queue];
        }
        return;
    }
    if (!events.empty())
        events.pop_front();
    if (std::unique_ptr<TCEvent> event = Generate(queue))
        events.push_back(std::move(event));
    cursor_[queue] = events.begin();
}

float TCEventQueue::GetProgress() const
{
    const size_t size = events_[0].size() + events_[1].size();
    if (size == 0)
        return 0.0f;
    return static_cast<float>(taken_[0] + taken_[1]) / static_cast<float>(size);
}

float TCEventQueue::Draw(float low, float high) { return low + (high - low) * uniform_(); }

int TCEventQueue::ChooseQueue()
{
    if (stage_ >= stages_.size())
        return -1;
    const Stage& stage = stages_[stage_];
    const float total = stage.weight[0] + stage.weight[1];
    if (total <= 0.0f)
        return -1;
    float r = Draw(0.0f, total);
    WriteLog("Event_rand = %f", r);
    if (stage.weight[0] > r)
        return 0;
    r -= stage.weight[0];
    return stage.weight[1] > r ? 1 : -1;
}

std::unique_ptr<TCEvent> TCEventQueue::Generate(int queue)
{
    if (stage_ >= stages_.size())
        return nullptr;
    const Stage& stage = stages_[stage_];
    const ClientType* type = PickByWeight(stage.types[queue], Draw(0.0f, stage.weight[queue]));
    // Only types that can be drawn are kept, so none here means the stage has no such clients.
    if (!type)
        return nullptr;
    auto event = std::make_unique<TCEvent>();
    event->type = type->type;
    event->persons = type->persons;
    event->time = time_.Seconds() + Draw(type->timeMin, type->timeMax);
    DrawOrders(*type, *event);
    return event;
}

void TCEventQueue::DrawOrders(const ClientType& type, TCEvent& event)
{
    const auto found = templates_.find(type.orderTemplate);
    if (found == templates_.end())
        return;
    const OrderTemplate& orders = found->second;
    const float r1 = Draw(0.0f, orders.stand.prob + orders.sit.prob);
    // Every client orders something, however low the draw.
    DrawSide(orders.stand, true, event);
    if (r1 > orders.stand.prob)
        DrawSide(orders.sit, false, event);
}

void TCEventQueue::DrawSide(const OrderSide& side, bool atLeastOne, TCEvent& event)
{
    float r2 = Draw(0.0f, side.total);
    bool first = true;
    for (const OrderList& list : side.lists) {
        if (!(r2 > 0.0f || (first && atLeastOne)))
            break;
        first = false;
        if (const Order* order = PickByWeight(list.orders, Draw(0.0f, list.total)))
            event.orders.push_back(order->name);
        r2 -= list.prob;
    }
}

bool TCEventQueue::HasThreshold() const { return mode_ == kSurvival && !stages_.empty(); }

void TCEventQueue::NextThreshold()
{
    if (stages_.empty())
        return;
    // The step of the last day is taken before the previous threshold is overwritten; after the
    // last stage the days keep growing by it.
    const int step = current_ - previous_;
    previous_ = current_;
    if (stage_ + 1 < stages_.size()) {
        ++stage_;
        current_ = stages_[stage_].points;
        return;
    }
    const int grow = step > 0 ? step : stages_.back().points;
    current_ += std::max(grow, 1);
}

void TCEventQueue::RestartStages()
{
    stage_ = 0;
    previous_ = 0;
    current_ = stages_.empty() ? 0 : stages_.front().points;
}

void TCEventQueue::Reset()
{
    time_.Reset();
    for (int q = 0; q < kQueueCount; ++q) {
        cursor_[q] = events_[q].begin();
        taken_[q] = 0;
    }
    RestartStages();
}

void TCEventQueue::Clear()
{
    for (int q = 0; q < kQueueCount; ++q) {
        events_[q].clear();
        cursor_[q] = events_[q].end();
        taken_[q] = 0;
    }
    templates_.clear();
    stages_.clear();
    time_.Reset();
    RestartStages();
}
