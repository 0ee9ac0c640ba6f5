#include "game/sim/Products.h"

#include <algorithm>

#include "engine/core/EngineHelpers.h"
#include "engine/core/Log.h"
#include "game/sim/ServeCounterparts.h"
#include "game/sim/TCItemList.h"

bool IsProductCode(const std::string& code)
{
    return code.size() == 4 && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsEmptyProduct(const std::string& code) { return code.empty() || code == "0000"; }

bool IsSingleProduct(const std::string& code)
{
    return IsProductCode(code) && code.compare(0, 2, "00") != 0 && code.compare(2, 2, "00") == 0;
}

std::string CombineProducts(const std::string& a, const std::string& b)
{
    if (IsEmptyProduct(a))
        return b;
    if (IsEmptyProduct(b))
        return a;
    for (const std::string* code : {&a, &b})
        if (!IsProductCode(*code))
            WriteLog("WARNING: Product code '%s' is not four digits and joins with nothing", code->c_str());
    if (!IsSingleProduct(a) || !IsSingleProduct(b))
        return {};
    return OrderPairId(a.substr(0, 2) + b.substr(0, 2), false);
}

bool IsProductWanted(const std::string& product)
{
    for (const auto& item : GetItemList().GetItems()) {
        const auto* client = dynamic_cast<const TCIBossClient*>(item.get());
        if (client && client->IsWaiting() && client->WantsItem(product, "0"))
            return true;
    }
    return false;
}

std::string JoinForClient(const std::string& held, const std::string& product)
{
    if (!IsSingleProduct(held) || !IsSingleProduct(product))
        return {};
    std::string joined = CombineProducts(held, product);
    return IsProductWanted(joined) ? joined : std::string();
}
