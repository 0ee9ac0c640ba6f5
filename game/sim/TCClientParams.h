#pragma once
#include <pugixml.hpp>

#include <string>

#include "game/sim/TCIdleTiming.h"

// One client type of the configuration ("clients/client"), which an arrival names as its skin.
struct TCClientParams {
    std::string name;
    TCIdleTiming idle;
    // Patience points lost per second while waiting.
    float patienceSpeed = 0.0f;
    float decisionTime = 0.0f;
    float eatingTime = 0.0f;
    int moneyGreen = 0;
    int moneyYellow = 0;
    int moneyRed = 0;
    // Charged as a negative amount when the client gives up.
    int loss = 0;
    // Patience at or below which the client makes scenes, one every scandalInterval seconds.
    float scandalLevel = 0.0f;
    float scandalInterval = 0.0f;
    float readyTime = 0.0f;
    // Patience gained when a group starts eating.
    float eatingPatience = 0.0f;
    // Set by a level's override: clients of this type arrive with startPatience.
    bool overridden = false;
    float startPatience = 100.0f;
};

// The section's values shared by every client type.
struct TCClientConfig {
    // Moods: green above greenLevel, yellow above yellowLevel; crossing any of the three levels
    // refreshes a client's look.
    float greenLevel = 0.0f;
    float yellowLevel = 0.0f;
    float redLevel = 0.0f;
    float criticalLevel = 0.0f;
    // Patience every other client loses when one makes a scene.
    float scandalEffect = 0.0f;
    float reminderTimeout = 0.0f;
    float alphaBlendTime = 0.0f;
    // Seconds the scene's bubble stays up.
    float scandalBubbleTime = 0.0f;
};

// The configuration's "clients" section; a later type of the same name replaces the earlier.
void LoadClientTypes(pugi::xml_node config);
void ClearClientTypes();
const TCClientConfig& GetClientConfig();
// The type of that name; null, with an error, when there is none.
const TCClientParams* FindClientSkin(const std::string& name);
bool IsClientSkin(const std::string& name);

// A level's "override_clients/client" values, until RestoreClientTypes gives the configuration's
// own back.
void OverrideClientTypes(pugi::xml_node level);
void RestoreClientTypes();
