#include "game/sim/TCStatusItems.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

#include "engine/core/Log.h"
#include "framework/util/StringUtils.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"

namespace {

constexpr float kWorkerStepSize = 8.333333f;
constexpr int kWorkerSteps = 12;
constexpr int kClientSteps = 9;

// Going down into a worse band runs its event on the status object.
constexpr std::array<const char*, 3> kBandFaces = {"greenidle", "yellowidle", "redidle"};
constexpr std::array<const char*, 3> kBandEvents = {"", "to_yellow", "to_red"};

int BandOf(float value, const TCStatusLevels& levels)
{
    if (value > levels.green)
        return 0;
    return value > levels.yellow ? 1 : 2;
}

void RunBandEvent(TCItem& item, int& band, int newBand)
{
    if (newBand > band)
        item.RunEvent(kBandEvents[size_t(newBand)]);
    band = newBand;
}

void Play(TCItemPart* part, const std::string& clip)
{
    if (part)
        part->PlayAnimation(clip, false);
}

} // namespace

std::string StatusOwnerName(const std::string& statusName)
{
    static constexpr std::pair<std::string_view, std::string_view> kPrefixes[] = {
        {"status_bubble_worker", "worker"},
        {"status_bubble_client", "client"},
        {"status_hp_client", "client"},
        {"status_hp_worker", "worker"},
    };
    for (const auto& [prefix, owner] : kPrefixes)
        if (statusName.starts_with(prefix))
            return std::string(owner) + statusName.substr(prefix.size());
    return {};
}

int WorkerBarStep(float value)
{
    return std::clamp(static_cast<int>(std::trunc(value / kWorkerStepSize)), 0, kWorkerSteps);
}

int ClientBarStep(float value) { return std::clamp(static_cast<int>(std::trunc(value / 10.0f)), 0, kClientSteps); }

void TCStatusItem::LoadSkin(pugi::xml_node node)
{
    TCItem::LoadSkin(node);
    owner_ = FindItemByName(StatusOwnerName(name_));
    source_ = dynamic_cast<TIStatSrc*>(owner_);
    if (!source_) {
        WriteLog("WARNING: Status '%s' has no owner", name_.c_str());
        owner_ = nullptr;
        return;
    }
    SetPosition(owner_->GetPosition());
}

void TCStatus_Bubble::LoadSkin(pugi::xml_node node)
{
    TCStatusItem::LoadSkin(node);
    bubble_ = FindPart("status_bubble");
    production_ = FindPart("status_production");
    worker_ = owner_ && name_.starts_with("status_bubble_worker");
    if (source_ && !worker_)
        source_->SetStatusBubble(this);
}

void TCStatus_Bubble::SetActive(bool active)
{
    TCItem::SetActive(active);
    // Out of sight until its owner has something to say.
    shown_ = highlighted_ = shaking_ = false;
    productionStage_ = -1.0f;
    SetVisible(false);
}

void TCStatus_Bubble::ShowProduct(const std::string& product)
{
    if (product != "scandal")
        product_ = product;
    if (source_)
        Play(bubble_, source_->GetBubbleKind() + (highlighted_ ? "_active" : ""));
    Play(production_, product);
}

void TCStatus_Bubble::Update()
{
    TCItem::Update();
    if (!active_ || !source_)
        return;
    std::string text;
    const bool wanted = source_->GetBubbleText(text) && source_->HasStatus();
    // Anything but a scandal that differs from what the bubble shows means the order moved on.
    if (shown_ && (!wanted || (text != "scandal" && text != product_)))
        Hide();
    if (shown_) {
        FollowWork();
        FollowScandal(text);
        FollowCarrier();
    } else if (wanted) {
        Show(text);
    }
}

void TCStatus_Bubble::Show(const std::string& text)
{
    shown_ = true;
    SetVisible(true);
    ShowProduct(text);
}

void TCStatus_Bubble::Hide()
{
    RunEvent("hide_product_highlight");
    RunEvent("shake_stop");
    shown_ = highlighted_ = shaking_ = false;
    productionStage_ = -1.0f;
    SetVisible(false);
}

void TCStatus_Bubble::FollowScandal(const std::string& text)
{
    const bool scandal = text == "scandal";
    if (scandal && !shaking_) {
        RunEvent("shake_start");
        shaking_ = true;
        if (source_->HasStatus())
            ShowProduct(text);
    } else if (!scandal && shaking_) {
        RunEvent("shake_stop");
        shaking_ = false;
        ShowProduct(text);
    }
}

void TCStatus_Bubble::FollowCarrier()
{
    const auto* hands = dynamic_cast<const TCIHands*>(GetItemList().GetBoss());
    const bool carried = hands && !product_.empty() &&
                         (hands->GetHandItem(TCIHands::kPrimary) == product_ ||
                          hands->GetHandItem(TCIHands::kSecondary) == product_);
    if (carried == highlighted_)
        return;
    highlighted_ = carried;
    RunEvent(carried ? "product_highlight" : "hide_product_highlight");
    ShowProduct(product_);
}

void TCStatus_Bubble::FollowWork()
{
    if (!worker_)
        return;
    const float progress = source_->GetWorkProgress();
    if (progress < 0.0f) {
        productionStage_ = -1.0f;
        return;
    }
    const bool starting = productionStage_ < 0.0f;
    productionStage_ = std::clamp(1.0f - progress, kMinStage, 1.0f);
    // The stage moves every frame of a work: the log hears of a work's start only.
    if (starting)
        WriteLog("worker '%s', animStage = %f", owner_->GetName().c_str(), double(productionStage_));
}

void TCStatus_HP_Client::LoadSkin(pugi::xml_node node)
{
    TCStatusItem::LoadSkin(node);
    bar_ = FindPart("status_hp_client");
    back_ = FindPart("status_hp_client_back");
    smile_ = FindPart("status_hp_client_smile");
}

void TCStatus_HP_Client::SetActive(bool active)
{
    TCItem::SetActive(active);
    if (!active)
        return;
    value_ = 100.0f;
    step_ = -1;
    band_ = 0;
    face_.clear();
    shown_ = owner_ && owner_->IsActive();
    if (shown_)
        Play(back_, "idle");
    else
        SetVisible(false);
}

void TCStatus_HP_Client::Update()
{
    TCItem::Update();
    if (!active_ || !source_)
        return;
    float value = 0.0f;
    if (!source_->GetStatusValue(value)) {
        if (shown_)
            SetVisible(false);
        shown_ = false;
        return;
    }
    if (!shown_) {
        shown_ = true;
        SetVisible(true);
    }
    value_ = value;
    if (const int step = ClientBarStep(value); step != step_) {
        step_ = step;
        Play(bar_, Nubra::StrFormat("point0%didle", step));
    }
    const int band = BandOf(value, source_->GetStatusLevels());
    RunBandEvent(*this, band_, band);
    std::string face = source_->IsStatusFrozen() ? "freezeidle" : kBandFaces[size_t(band)];
    if (source_->IsVip())
        face = "vip_" + face;
    if (face != face_) {
        face_ = face;
        Play(smile_, face);
    }
}

void TCStatus_HP_Worker::LoadSkin(pugi::xml_node node)
{
    TCStatusItem::LoadSkin(node);
    bar_ = FindPart("status_hp_worker");
    back_ = FindPart("status_hp_worker_back");
}

void TCStatus_HP_Worker::SetActive(bool active)
{
    TCItem::SetActive(active);
    step_ = -1;
    band_ = 0;
}

void TCStatus_HP_Worker::Update()
{
    TCItem::Update();
    if (!visible_ || !source_)
        return;
    if (back_ && back_->GetCurrentClip() != back_->ClipName("idle"))
        Play(back_, "idle");
    float value = 0.0f;
    if (!source_->GetStatusValue(value))
        return;
    value_ = value;
    if (const int step = WorkerBarStep(value); step != step_) {
        step_ = step;
        Play(bar_, Nubra::StrFormat("point%02didle", step));
    }
    RunBandEvent(*this, band_, BandOf(value, source_->GetStatusLevels()));
}
