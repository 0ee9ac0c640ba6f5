#include "game/sim/CafeConfig.h"

#include <array>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "framework/util/StringUtils.h"

TCLevelParams gLevelParams;

namespace {

constexpr int kWorkers = 6;
constexpr int kCafes = 3;
constexpr int kBossSpeedByte = 12;
constexpr int kMoneyByte = 13;
constexpr int kFirstVisualByte = 14;
// In the order of their bytes within a cafe.
constexpr std::array<const char*, 5> kVisualObjects = {"floor", "worker_table", "bar", "decor", "client_table"};

constexpr std::array<const char*, 7> kStandClips = {"direct_green", "direct_yellow", "discontent", "go_happy",
                                                    "go_unhappy",   "idle_green",    "idle_yellow"};
constexpr std::array<const char*, 3> kSitOnlyClips = {"idle_thinking", "eating_process", "scandal"};

int VisualByteIndex(const TCUpgrade& record)
{
    if (record.minLevel < 1 || record.minLevel > kCafes)
        return -1;
    for (size_t i = 0; i < kVisualObjects.size(); ++i)
        if (record.object == kVisualObjects[i])
            return kFirstVisualByte + (record.minLevel - 1) * int(kVisualObjects.size()) + int(i);
    return -1;
}

int FunctionalByteIndex(const TCUpgrade& record, int workerIndex)
{
    if (record.object == "boss")
        return record.name == "speed" ? kBossSpeedByte : -1;
    if (record.object == "bonus")
        return record.name == "money" ? kMoneyByte : -1;
    if (workerIndex < 1 || workerIndex > kWorkers)
        return -1;
    if (record.name == "tidiness")
        return workerIndex - 1;
    if (record.name == "speed")
        return kWorkers + workerIndex - 1;
    return -1;
}

} // namespace

TCLevelParams ReadLevelParams(pugi::xml_node config)
{
    TCLevelParams params;
    const pugi::xml_node level = config.child("level");
    XmlGetInt(level, "valBonusCoin3", params.valBonusCoin3);
    XmlGetInt(level, "valBonusCoin4", params.valBonusCoin4);
    XmlGetInt(level, "valBonusCoin3Upgrade", params.valBonusCoin3Upgrade);
    XmlGetInt(level, "valBonusCoin4Upgrade", params.valBonusCoin4Upgrade);
    XmlGetFloat(level, "bonus_wstamina", params.bonusWStamina);
    XmlGetFloat(level, "bonus_cstamina", params.bonusCStamina);
    XmlGetFloat(level, "bonus_iceagetimeout", params.bonusIceAgeTimeout);
    XmlGetFloat(level, "client_pause", params.clientPause);
    return params;
}

std::vector<TCUpgrade> ReadUpgrades(pugi::xml_node config, int kind)
{
    std::vector<TCUpgrade> records;
    const char* element = kind == TCUpgrade::kFunctional ? "functional" : "visual";
    for (pugi::xml_node upgrade : config.children("upgrade")) {
        for (pugi::xml_node node : upgrade.children(element)) {
            TCUpgrade& record = records.emplace_back();
            record.kind = kind;
            XmlGetString(node, "name", record.name);
            XmlGetString(node, "object", record.object);
            XmlGetInt(node, "min_level", record.minLevel);
            XmlGetInt(node, "max_level", record.maxLevel);
            for (pugi::xml_node object : node.children("object"))
                XmlGetString(object, "name", record.items.emplace_back());
        }
    }
    return records;
}

int UpgradeByteIndex(const TCUpgrade& record, int workerIndex)
{
    switch (record.kind) {
    case TCUpgrade::kFunctional:
        return FunctionalByteIndex(record, workerIndex);
    case TCUpgrade::kVisual:
        return VisualByteIndex(record);
    default:
        return -1;
    }
}

std::vector<std::string> EventSkinTextureIds(const std::string& type, const std::string& skin)
{
    std::vector<const char*> prefixes;
    std::vector<const char*> clips(kStandClips.begin(), kStandClips.end());
    std::string head;
    if (type == "client") {
        prefixes = {"client_stand_down", "client_stand_up"};
        head = "client_stand_head";
    } else if (type == "family") {
        prefixes = {"client_sitting_up", "client_sitting_down"};
        head = "client_sitting_head";
        clips.insert(clips.end(), kSitOnlyClips.begin(), kSitOnlyClips.end());
    } else {
        return {};
    }
    std::vector<std::string> ids;
    for (const char* prefix : prefixes)
        for (const char* clip : clips)
            ids.push_back(Nubra::StrFormat("tex\\%s%stl%s", prefix, skin.c_str(), clip));
    for (const char* clip : clips)
        for (int n = 1; n <= 2; ++n)
            ids.push_back(Nubra::StrFormat("tex\\%s%stl%s%02d", head.c_str(), skin.c_str(), clip, n));
    return ids;
}

int CafeOfLevel(int level, bool survival)
{
    if (survival)
        return level;
    if (level <= 15)
        return 1;
    if (level <= 35)
        return 2;
    if (level <= 59)
        return 3;
    if (level < 100) {
        WriteLog("WARNING: Cafe Detection FAILED for level %d", level);
        return 3;
    }
    if (level < 200)
        return 1;
    if (level < 300)
        return 2;
    return 3;
}
