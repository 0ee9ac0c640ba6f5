#pragma once
#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <vector>

class TCIUpgrade;

// The configuration's "level" values that the mini-game's bonuses and the clients read; 0 when
// the configuration leaves one out.
struct TCLevelParams {
    int valBonusCoin3 = 0;
    int valBonusCoin4 = 0;
    int valBonusCoin3Upgrade = 0;
    int valBonusCoin4Upgrade = 0;
    float bonusWStamina = 0.0f;
    float bonusCStamina = 0.0f;
    float bonusIceAgeTimeout = 0.0f;
    float clientPause = 0.0f;
};
extern TCLevelParams gLevelParams;
TCLevelParams ReadLevelParams(pugi::xml_node config);

// One upgrade the shop can sell. Functional upgrades act on a worker, the boss or the money
// bonus; visual ones switch the skins of named scene items. The range is of cafe numbers.
struct TCUpgrade {
    enum Kind { kFunctional = 1, kVisual = 2 };
    std::string name;
    std::string object;
    TCIUpgrade* target = nullptr;
    std::vector<std::string> items;
    int kind = 0;
    int minLevel = 0;
    int maxLevel = 0;
    uint8_t* owned = nullptr;
};

constexpr int kUpgradeBytes = 29;

// The "upgrade/functional" and "upgrade/visual" elements, each list in file order.
std::vector<TCUpgrade> ReadUpgrades(pugi::xml_node config, int kind);

// The owned byte an upgrade uses, given the index (1..6) of the worker it names, 0 for none;
// -1 for a record that matches no byte, which then can never be owned.
int UpgradeByteIndex(const TCUpgrade& record, int workerIndex);

// The texture ids of a queued guest's skin: "client" for one standing, "family" for a seated
// group's member; none for any other type.
std::vector<std::string> EventSkinTextureIds(const std::string& type, const std::string& skin);

// The cafe (1..3) a level is played in.
int CafeOfLevel(int level, bool survival);
