#include "game/sim/TCClientParams.h"

#include <map>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"

namespace {

// What an override replaces, kept to be given back.
struct Kept {
    float patienceSpeed = 0.0f;
    int moneyGreen = 0, moneyYellow = 0, moneyRed = 0, loss = 0;
};

struct ClientType {
    TCClientParams params;
    Kept kept;
};

struct ClientTypes {
    TCClientConfig config;
    std::map<std::string, ClientType> types;
};

ClientTypes& Types()
{
    static ClientTypes types;
    return types;
}

TCClientParams ReadClientType(pugi::xml_node node)
{
    TCClientParams params;
    XmlGetString(node, "name", params.name);
    ReadIdleTiming(node, "idle_restart_time_min", "idle_restart_time_max", params.idle);
    XmlGetFloat(node, "client_patience_speed", params.patienceSpeed);
    XmlGetFloat(node, "client_decision_timeout", params.decisionTime);
    XmlGetFloat(node, "client_eating_time", params.eatingTime);
    XmlGetInt(node, "client_money01_g", params.moneyGreen);
    XmlGetInt(node, "client_money01_y", params.moneyYellow);
    XmlGetInt(node, "client_money01_r", params.moneyRed);
    XmlGetInt(node, "client_losses_money", params.loss);
    XmlGetFloat(node, "client_scandal_level", params.scandalLevel);
    XmlGetFloat(node, "client_scandal_timeout", params.scandalInterval);
    XmlGetFloat(node, "client_bonus_timeout", params.readyTime);
    XmlGetFloat(node, "client_bonus_time_effect", params.eatingPatience);
    return params;
}

void Override(ClientType& type, pugi::xml_node node)
{
    TCClientParams& params = type.params;
    // A second override in one level must not take the first one's values as the originals.
    if (!params.overridden)
        type.kept = {params.patienceSpeed, params.moneyGreen, params.moneyYellow, params.moneyRed, params.loss};
    params.overridden = true;
    XmlGetFloat(node, "client_patience_speed", params.patienceSpeed);
    XmlGetInt(node, "client_money01_g", params.moneyGreen);
    XmlGetInt(node, "client_money01_y", params.moneyYellow);
    XmlGetInt(node, "client_money01_r", params.moneyRed);
    XmlGetInt(node, "client_losses_money", params.loss);
    params.startPatience = 100.0f;
    XmlGetFloat(node, "client_start_stamina", params.startPatience);
}

} // namespace

void LoadClientTypes(pugi::xml_node config)
{
    const pugi::xml_node section = config.child("clients");
    if (!section) {
        WriteLog("WARNING: The configuration has no 'clients'");
        return;
    }
    TCClientConfig& shared = Types().config;
    XmlGetFloat(section, "patience_g_level", shared.greenLevel);
    XmlGetFloat(section, "patience_y_level", shared.yellowLevel);
    XmlGetFloat(section, "patience_r_level", shared.redLevel);
    XmlGetFloat(section, "patience_critical", shared.criticalLevel);
    XmlGetFloat(section, "scandal_effect", shared.scandalEffect);
    XmlGetFloat(section, "client_reminder_timeout", shared.reminderTimeout);
    XmlGetFloat(section, "client_alpha_blend_time", shared.alphaBlendTime);
    XmlGetFloat(section, "client_scandal_bubble_present", shared.scandalBubbleTime);
    for (pugi::xml_node node : section.children("client")) {
        TCClientParams params = ReadClientType(node);
        Types().types[params.name] = {params, {}};
    }
}

void ClearClientTypes() { Types() = {}; }

const TCClientConfig& GetClientConfig() { return Types().config; }

const TCClientParams* FindClientSkin(const std::string& name)
{
    const auto found = Types().types.find(name);
    if (found == Types().types.end()) {
        WriteLog("ERROR: Undefined client skin name: '%s'", name.c_str());
        return nullptr;
    }
    return &found->second.params;
}

bool IsClientSkin(const std::string& name) { return Types().types.contains(name); }

void OverrideClientTypes(pugi::xml_node level)
{
    for (pugi::xml_node node : level.child("override_clients").children("client")) {
        std::string name;
        XmlGetString(node, "name", name);
        const auto found = Types().types.find(name);
        if (found == Types().types.end())
            WriteLog("WARNING: Level overrides the unknown client type '%s'", name.c_str());
        else
            Override(found->second, node);
    }
}

void RestoreClientTypes()
{
    for (auto& [name, type] : Types().types) {
        TCClientParams& params = type.params;
        if (!params.overridden)
            continue;
        params.patienceSpeed = type.kept.patienceSpeed;
        params.moneyGreen = type.kept.moneyGreen;
        params.moneyYellow = type.kept.moneyYellow;
        params.moneyRed = type.kept.moneyRed;
        params.loss = type.kept.loss;
        // A later level without overrides lets its clients arrive with the event's patience.
        params.overridden = false;
    }
}
