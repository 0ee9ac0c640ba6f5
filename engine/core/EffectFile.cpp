#include "engine/core/EffectFile.h"

#include <cstring>
#include <map>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/TCCallBackParams.h"
#include "engine/core/TCEffect.h"
#include "engine/core/XmlHelpers.h"

float gDebriefingFirstAchievementDelay = 2.0f;
float gDebriefingNextAchievementDelay = 1.0f;
float gMatch3EffectFlyTime = 1.0f;
float gMatch3PosX = 512.0f;

namespace {

constexpr const char* kEffectFile = "cfg\\effect.xml";

XmlDocument& EffectDocument()
{
    static XmlDocument document;
    return document;
}

pugi::xml_node EffectsRoot()
{
    const XmlDocument& document = EffectDocument();
    return document ? document->child("effects") : pugi::xml_node();
}

const std::map<std::string, float*>& EffectConstants()
{
    static const std::map<std::string, float*> constants = {
        {"DebriefingFirstAchievementDelay", &gDebriefingFirstAchievementDelay},
        {"DebriefingNextAchievementDelay", &gDebriefingNextAchievementDelay},
        {"Match3EffectFlyTime", &gMatch3EffectFlyTime},
        {"Match3PosX", &gMatch3PosX},
    };
    return constants;
}

TCParamType ParamType(const std::string& word)
{
    if (word == "int")
        return TCParamType::Int;
    if (word == "bool")
        return TCParamType::Bool;
    return TCParamType::Float;
}

} // namespace

bool LoadEffects()
{
    EffectDocument() = OpenXmlFile(kEffectFile);
    if (!EffectsRoot()) {
        WriteLog("WARNING: no effects in \"%s\"", kEffectFile);
        return false;
    }
    return true;
}

void LoadEffectConstants()
{
    const XmlDocument document = OpenXmlFile(kEffectFile);
    if (!document)
        return;
    ForEachNode(*document, "effects/constants/const", [](pugi::xml_node node) {
        std::string name;
        float value = 0.0f;
        const auto found = XmlGetString(node, "name", name) ? EffectConstants().find(name) : EffectConstants().end();
        if (found != EffectConstants().end() && XmlGetFloat(node, "val", value))
            *found->second = value;
        return true;
    });
}

void LoadCallbackParamTable()
{
    TCCallbackParamTable& table = GetCallbackParamTable();
    ForEachNode(EffectsRoot(), "callback_params/function", [&table](pugi::xml_node function) {
        std::string functionName;
        if (!XmlGetString(function, "name", functionName))
            return true;
        std::vector<TCCallbackParamDef>& params = table[functionName];
        for (pugi::xml_node param : function.children("param")) {
            TCCallbackParamDef def;
            std::string type;
            if (!XmlGetString(param, "name", def.name))
                continue;
            if (XmlGetString(param, "type", type))
                def.type = ParamType(type);
            params.push_back(def);
        }
        return true;
    });
}

void ReleaseEffects()
{
    EffectDocument().reset();
    ClearCallbackParamTable();
}

std::unique_ptr<TCEffect> CreateEffect(const char* name)
{
    for (pugi::xml_node node : EffectsRoot().children("effect")) {
        if (std::strcmp(node.attribute("name").value(), name) != 0)
            continue;
        auto effect = std::make_unique<TCEffect>(name);
        effect->LoadFromXml(node);
        return effect;
    }
    WriteLog("WARNING: no effect \"%s\" in \"%s\"", name, kEffectFile);
    return nullptr;
}
