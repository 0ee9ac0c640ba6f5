#include "game/sim/TCItemBonus.h"

#include "framework/util/StringUtils.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"

void TCItemBonus::SetActive(bool active)
{
    TCItem::SetActive(active);
    if (!active)
        return;
    for (const auto& part : parts_) {
        part->PlayAnimation("idle", false);
        part->SetText(L"$");
        part->SetEffectVisible(false);
    }
}

void TCItemBonus::ShowMoneyPopup(const TCItem* target, const std::string& targetPart, int amount)
{
    if (amount == 0 || !target)
        return;
    const TCItemPart* at = target->FindPart(targetPart);
    if (!at)
        return;
    TCItemPart* cash = nullptr;
    for (const auto& part : parts_)
        if (part->GetName() == "cash" && !part->IsDrawable()) {
            cash = part.get();
            break;
        }
    if (!cash)
        return;
    const Nubra::Point place = target->GetScreenPoint(at->GetOffset());
    // The part is drawn from this object's own place.
    cash->SetOffset({place.x - GetPosition().x - GetOffset().x, place.y - GetPosition().y - GetOffset().y});
    cash->SetScalePointX(at->GetScalePoint().x);
    cash->SetScalePointY(at->GetScalePoint().y);
    cash->SetText(Nubra::StrFormatW(amount > 0 ? L"$%+i" : L"$%-i", amount));
    cash->RunEvent(amount > 0 ? "on_cash" : "on_penalty");
}

void ShowMoneyPopup(const TCItem* target, const std::string& targetPart, int amount)
{
    if (auto* bonus = dynamic_cast<TCItemBonus*>(GetItemList().GetBonus()))
        bonus->ShowMoneyPopup(target, targetPart, amount);
}
