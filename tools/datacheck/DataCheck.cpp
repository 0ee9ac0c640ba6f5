// Checks a laid-out content pack: every name that one file gives another must exist there, and
// every level loads into the cafe board without an error in the log.
//   datacheck <pack folder>
//   datacheck <pack folder> --preview <level file> <picture.png>
//        draws the level's scene as it stands at the start, each object on its resting clip
// Reads the pack as the game does (from the folder, through the data-file layer) and lists each
// broken reference: textures, fonts, texts, effects, sounds, animation clips and their pictures,
// scene objects, configuration records, path-graph points. Exits 1 when anything is broken.
#include <pugixml.hpp>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/core/EffectFile.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/AnmFile.h"
#include "framework/data/PakFile.h"
#include "framework/graphics/ImageLib.h"
#include "game/shell/CareerProgress.h"
#include "game/shell/TCComix.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCBoardHost.h"

namespace {

constexpr int kBoardWidth = 1024;
constexpr int kBoardHeight = 768;
constexpr int kIdleSteps = 6000;

const std::set<std::string> kItemClasses = {"item", "pickable", "boss", "worker", "tray", "status_bubble", "trash_bin",
                                            "status_hp_worker", "status_hp_client", "period_item", "client", "client_sit",
                                            "item_bonus"};
const std::vector<std::string> kOrientations = {"t", "tr", "r", "br", "b", "bl", "l", "tl"};

class Checker {
public:
    int Run();
    int Preview(const std::string& levelFile, const std::string& picture);

private:
    template <typename... A>
    void Error(const char* format, A... args)
    {
        std::fprintf(stderr, "datacheck: ");
        std::fprintf(stderr, format, args...);
        std::fprintf(stderr, "\n");
        ++errors_;
    }

    bool Exists(const std::string& name);
    std::optional<pugi::xml_document> Load(const std::string& name);
    void CheckPicture(const std::string& file, const std::string& user, const std::vector<AnmFrame>& frames);
    const std::map<std::string, AnmClip>* Clips(const std::string& part);

    void ReadUi();
    void ReadConfig();
    void ReadComix();
    void CheckComixObject(const std::string& comix, pugi::xml_node object);
    void ParseComixes(const pugi::xml_document& doc);
    void CheckUiElement(pugi::xml_node element);
    void CheckLevel(const std::string& levelFile);
    void CheckEveryDayExists(const std::vector<std::string>& levels);
    void CheckScene(const std::string& level, pugi::xml_node levelRoot, pugi::xml_node sceneRoot);
    void CheckObjectClips(const std::string& level, pugi::xml_node object, pugi::xml_node levelEntry,
                          const std::set<std::string>& clientSkins, const std::set<std::string>& products);
    void NeedClip(const std::string& level, const std::string& object, const std::string& part, const std::string& clip);
    void CheckGraph(const std::string& level, pugi::xml_node sceneRoot, pugi::xml_node levelRoot);
    void CheckSupply(const std::string& level, pugi::xml_node levelRoot, pugi::xml_node sceneRoot);
    void LoadLevels(const std::vector<std::string>& levels);

    int errors_ = 0;
    std::set<std::string> textures_, fonts_, texts_, effects_, sounds_, streams_, comixes_;
    std::map<std::string, std::string> workers_; // name to product
    std::map<std::string, int> clients_; // name to the most a guest of that kind pays
    std::set<std::string> periodItems_, persons_;
    std::map<std::string, std::optional<std::map<std::string, AnmClip>>> anims_;
    std::map<std::string, std::optional<std::pair<int, int>>> pictureSizes_; // by file; empty when unreadable
};

bool Checker::Exists(const std::string& name)
{
    Nubra::PFILE* file = Nubra::PakFileOpen(name.c_str(), "rb");
    if (!file)
        return false;
    Nubra::PakFileClose(file);
    return true;
}

std::optional<pugi::xml_document> Checker::Load(const std::string& name)
{
    bool opened = false;
    const std::vector<char> bytes = ReadWholeFile(name.c_str(), opened);
    if (!opened) {
        Error("%s is missing", name.c_str());
        return std::nullopt;
    }
    std::optional<pugi::xml_document> doc(std::in_place);
    const pugi::xml_parse_result result = doc->load_buffer(bytes.data(), bytes.size());
    if (!result) {
        Error("%s: %s at byte %d", name.c_str(), result.description(), int(result.offset));
        return std::nullopt;
    }
    return doc;
}

void Checker::CheckPicture(const std::string& file, const std::string& user, const std::vector<AnmFrame>& frames)
{
    // Many clips cut one sheet: each is decoded once.
    auto [size, fresh] = pictureSizes_.try_emplace(file);
    if (fresh)
        if (const auto image = ImageLib::GetImage(file, false))
            size->second.emplace(image->GetWidth(), image->GetHeight());
    if (!size->second) {
        Error("%s: picture '%s' cannot be read", user.c_str(), file.c_str());
        return;
    }
    const auto [width, height] = *size->second;
    for (const AnmFrame& f : frames)
        if (f.srcX < 0 || f.srcY < 0 || f.srcX + f.width > width || f.srcY + f.height > height) {
            Error("%s: a frame (%d, %d, %d x %d) lies outside '%s' (%d x %d)", user.c_str(), f.srcX, f.srcY, f.width, f.height,
                  file.c_str(), width, height);
            return;
        }
}

// The clips of a part's animation file by name; null when the part has no file.
const std::map<std::string, AnmClip>* Checker::Clips(const std::string& part)
{
    auto found = anims_.find(part);
    if (found != anims_.end())
        return found->second ? &*found->second : nullptr;
    std::optional<std::map<std::string, AnmClip>>& entry = anims_[part];
    const std::string path = "anm\\" + part + ".anm";
    bool opened = false;
    const std::vector<char> bytes = ReadWholeFile(path.c_str(), opened);
    if (!opened)
        return nullptr;
    std::vector<AnmClip> clips;
    std::string error;
    if (!ParseAnm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), clips, error)) {
        Error("%s: %s", path.c_str(), error.c_str());
        return nullptr;
    }
    entry.emplace();
    for (const AnmClip& clip : clips) {
        CheckPicture(clip.file, path + " clip '" + clip.name + "'", clip.frames);
        entry->emplace(clip.name, clip);
    }
    return &*entry;
}

void Checker::ReadUi()
{
    const auto doc = Load("cfg\\ui.xml");
    if (!doc)
        return;
    const pugi::xml_node root = doc->child("root");
    for (pugi::xml_node texture : root.children("texture")) {
        const std::string file = texture.attribute("file").value();
        if (!Exists(file))
            Error("ui.xml: texture '%s' names the missing file '%s'", texture.attribute("id").value(), file.c_str());
        textures_.insert(texture.attribute("id").value());
    }
    for (pugi::xml_node font : root.children("font")) {
        fonts_.insert(font.attribute("name").value());
        if (std::string(font.attribute("type").value()) == "Image" && !Exists(font.attribute("face").value()))
            Error("ui.xml: font '%s' names the missing description '%s'", font.attribute("name").value(),
                  font.attribute("face").value());
    }
    for (pugi::xml_node cursor : root.children("cursors"))
        if (!textures_.count(cursor.attribute("image").value()))
            Error("ui.xml: cursor '%s' names the undeclared texture '%s'", cursor.attribute("mode").value(),
                  cursor.attribute("image").value());
    for (pugi::xml_node element : root.children("element"))
        CheckUiElement(element);
}

void Checker::CheckUiElement(pugi::xml_node element)
{
    const std::string name = element.attribute("name").value();
    for (pugi::xml_node texture : element.children("texture"))
        if (!textures_.count(texture.attribute("texture").value()))
            Error("ui.xml: '%s' uses the undeclared texture '%s'", name.c_str(), texture.attribute("texture").value());
    for (pugi::xml_node style : element.children("textattr"))
        if (style.attribute("font") && !fonts_.count(style.attribute("font").value()))
            Error("ui.xml: '%s' uses the undeclared font '%s'", name.c_str(), style.attribute("font").value());
    if (element.attribute("label") && !texts_.count(element.attribute("label").value()))
        Error("ui.xml: '%s' shows the text id '%s', which loc.xml lacks", name.c_str(), element.attribute("label").value());
    if (element.attribute("effect") && !effects_.count(element.attribute("effect").value()))
        Error("ui.xml: '%s' uses the unknown effect '%s'", name.c_str(), element.attribute("effect").value());
    for (const char* sound : {"snd_hover", "snd_click"})
        if (element.attribute(sound) && !sounds_.count(element.attribute(sound).value()))
            Error("ui.xml: '%s' plays the undeclared sound '%s'", name.c_str(), element.attribute(sound).value());
    for (pugi::xml_node child : element.children("element"))
        CheckUiElement(child);
}

void Checker::ReadConfig()
{
    const auto doc = Load("cfg\\cfg.xml");
    if (!doc)
        return;
    const pugi::xml_node root = doc->child("root");
    for (pugi::xml_node stream : root.child("music").children("stream")) {
        streams_.insert(stream.attribute("name").value());
        for (pugi::xml_node track : stream.children("track"))
            if (!Exists(track.attribute("path").value()))
                Error("cfg.xml: music '%s' names the missing file '%s'", stream.attribute("name").value(),
                      track.attribute("path").value());
    }
    // The menus and each cafe's day switch to these by name.
    for (const char* stream : {"menu", "level1", "level2", "level3"})
        if (!streams_.count(stream))
            Error("cfg.xml: no music stream '%s'", stream);
    for (pugi::xml_node sound : root.child("sounds").children("sound")) {
        sounds_.insert(sound.attribute("name").value());
        if (!Exists(sound.attribute("path").value()))
            Error("cfg.xml: sound '%s' names the missing file '%s'", sound.attribute("name").value(),
                  sound.attribute("path").value());
    }
    for (pugi::xml_node pers : root.child("perses").children("pers"))
        persons_.insert(pers.attribute("name").value());
    for (pugi::xml_node worker : root.child("workers").children("worker")) {
        const std::string product = worker.attribute("product").value();
        workers_[worker.attribute("name").value()] = product;
        if (product.size() != 4)
            Error("cfg.xml: worker '%s' makes '%s', not a four-digit product code", worker.attribute("name").value(),
                  product.c_str());
    }
    for (pugi::xml_node client : root.child("clients").children("client"))
        clients_[client.attribute("name").value()] = client.attribute("client_money01_g").as_int();
    for (pugi::xml_node item : root.child("period_items").children("period_item"))
        periodItems_.insert(item.attribute("name").value());
    if (!persons_.count("boss"))
        Error("cfg.xml: no person 'boss'");
    // The shop describes each of its wares.
    for (pugi::xml_node list : root.child("upgrade").children())
        if (const std::string id = std::string("mn09_desc_") + list.attribute("object").value() + "_" +
                                   list.attribute("name").value();
            !texts_.count(id))
            Error("cfg.xml: the upgrade '%s' of '%s' has no text '%s'", list.attribute("name").value(),
                  list.attribute("object").value(), id.c_str());
}

void Checker::NeedClip(const std::string& level, const std::string& object, const std::string& part, const std::string& clip)
{
    const auto* clips = Clips(part);
    if (!clips)
        Error("%s: '%s' part '%s' has no animation file", level.c_str(), object.c_str(), part.c_str());
    else if (!clips->count(clip))
        Error("%s: '%s' needs the clip '%s' in anm\\%s.anm", level.c_str(), object.c_str(), clip.c_str(), part.c_str());
}

// The clips the object's kind plays, for the skins and orientation the level gives it.
void Checker::CheckObjectClips(const std::string& level, pugi::xml_node object, pugi::xml_node levelEntry,
                               const std::set<std::string>& clientSkins, const std::set<std::string>& products)
{
    const std::string kind = object.attribute("class").value();
    const std::string name = object.attribute("name").value();
    const std::string skin = levelEntry.attribute("skin").value();
    const std::string orient = object.attribute("orient").value();
    // A part starts on its own orientation; the object's reaches it only when the level's skin is
    // applied, and a skin given later (a guest's kind) brings no orientation.
    auto startOrient = [&](pugi::xml_node part) {
        const std::string own = part.attribute("orient").value();
        return !own.empty() ? own : skin.empty() ? std::string() : orient;
    };
    // Each clip in the part's starting orientation and in the walking ones given.
    auto forParts = [&](const std::string& partName, const std::vector<std::string>& anims, const std::string& partSkin,
                        const std::vector<std::string>& walking = {}) {
        for (pugi::xml_node part : object.children("part")) {
            if (partName != part.attribute("name").value())
                continue;
            std::set<std::string> orients(walking.begin(), walking.end());
            orients.insert(partName == "checkmark" ? std::string() : startOrient(part));
            for (const std::string& o : orients)
                for (const std::string& anim : anims)
                    NeedClip(level, name, partName, partName + partSkin + o + anim);
        }
    };
    if (kind == "boss") {
        std::vector<std::string> held(products.begin(), products.end());
        held.push_back("wash");
        forParts("held_items", held, skin, kOrientations);
    }
    if (kind == "boss")
        forParts("boss",
                 {"boss_move_empty", "boss_move_second", "boss_move_full", "boss_move_full_second", "boss_idle_empty1",
                  "boss_idle_empty2", "boss_idle_second", "boss_idle_full", "boss_idle_full_second"},
                 skin, kOrientations);
    if (kind == "worker")
        forParts("worker_up",
                 {"idle_green", "idle_red", "ready_green_begin", "ready_green_end", "ready_green_action", "switch_work",
                  "switch_idle", "idle_broken_workplace", "direct_character", "cooking_idle", "cooking_process_01",
                  "cooking_process_02", "cooking_process_03"},
                 skin);
    if (kind == "client")
        for (const std::string& client : clientSkins) {
            forParts("client_stand_up",
                     {"idle_green", "idle_yellow", "discontent", "idle_thinking", "direct_green", "direct_yellow", "scandal",
                      "go_happy", "go_unhappy"},
                     client);
            forParts("client_money", {"pack"}, client);
        }
    if (kind == "client_sit") {
        // Every seat takes a member's kind, or "empty", in the seat's own orientation.
        std::set<std::string> seatSkins(clientSkins);
        seatSkins.insert("empty");
        for (pugi::xml_node part : object.children("part")) {
            const std::string partName = part.attribute("name").value();
            if (partName != "client_sitting_up" && partName != "client_sitting_down")
                continue;
            for (const std::string& seatSkin : seatSkins)
                for (const char* anim : {"idle_green", "idle_yellow", "discontent", "idle_thinking", "eating_process",
                                         "direct_green", "direct_yellow", "scandal", "go_happy", "go_unhappy"})
                    NeedClip(level, name, partName, partName + seatSkin + part.attribute("orient").value() + anim);
        }
        for (const std::string& client : clientSkins)
            forParts("client_money", {"pack"}, client);
    }
    if (kind == "period_item")
        forParts(name, {"idle", "activation", "ready", "deactivation"}, skin);
    if (kind == "tray" || kind == "trash_bin")
        forParts(name, {"idle", "activation"}, skin);
    if (kind == "status_hp_worker")
        for (int step = 0; step <= 12; ++step)
            forParts("status_hp_worker", {"point" + std::string(step < 10 ? "0" : "") + std::to_string(step) + "idle"}, "");
    if (kind == "status_hp_client") {
        for (int step = 0; step <= 9; ++step)
            forParts("status_hp_client", {"point0" + std::to_string(step) + "idle"}, "");
        forParts("status_hp_client_smile",
                 {"greenidle", "yellowidle", "redidle", "freezeidle", "vip_greenidle", "vip_yellowidle", "vip_redidle",
                  "vip_freezeidle"},
                 "");
    }
    if (kind == "status_bubble") {
        std::vector<std::string> texts(products.begin(), products.end());
        for (const char* word : {"ready", "think", "scandal", "broken", "working"})
            texts.push_back(word);
        for (const std::string& text : std::vector<std::string>(texts))
            texts.push_back(text + "_active");
        forParts("status_bubble", texts, "");
        forParts("status_production", std::vector<std::string>(products.begin(), products.end()), "");
    }
    // Checkmarks build their names without the orientation.
    forParts("checkmark", {"idle"}, skin);
    const std::string anim = levelEntry.attribute("anim").value();
    if (!anim.empty()) {
        bool played = false;
        for (pugi::xml_node part : object.children("part")) {
            const std::string partName = part.attribute("name").value();
            const auto* clips = Clips(partName);
            played = played || (clips && clips->count(partName + skin + (partName == "checkmark" ? "" : startOrient(part)) + anim));
        }
        if (!played)
            Error("%s: no part of '%s' has a clip for its animation '%s'", level.c_str(), name.c_str(), anim.c_str());
    }
}

void Checker::CheckScene(const std::string& level, pugi::xml_node levelRoot, pugi::xml_node sceneRoot)
{
    std::set<std::string> names;
    for (pugi::xml_node object : sceneRoot.child("objects").children("object"))
        names.insert(object.attribute("name").value());
    // What the level's clients are and ask for, so that their pictures and bubbles exist.
    std::set<std::string> clientSkins, products;
    for (pugi::xml_node event : levelRoot.child("events_queue").children("time_point")) {
        for (const char* person : {"person1", "person2", "person3", "person4"})
            if (event.attribute(person)) {
                clientSkins.insert(event.attribute(person).value());
                if (!clients_.count(event.attribute(person).value()))
                    Error("%s: an event names the client kind '%s', which cfg.xml lacks", level.c_str(),
                          event.attribute(person).value());
            }
        for (pugi::xml_node param : event.children("param"))
            products.insert(param.attribute("name").value());
    }
    // Survival: the guests the stages draw, what their order templates offer, and who joins.
    std::set<std::string> templates;
    for (pugi::xml_node tmpl : levelRoot.child("templates").children("order_template")) {
        templates.insert(tmpl.attribute("name").value());
        for (pugi::xpath_node order : tmpl.select_nodes(".//order"))
            products.insert(order.node().attribute("name").value());
    }
    for (pugi::xml_node stage : levelRoot.child("stages").children("stage")) {
        for (pugi::xml_node type : stage.children("time_point_template")) {
            for (const char* person : {"person1", "person2", "person3", "person4"})
                if (type.attribute(person)) {
                    clientSkins.insert(type.attribute(person).value());
                    if (!clients_.count(type.attribute(person).value()))
                        Error("%s: a stage names the client kind '%s', which cfg.xml lacks", level.c_str(),
                              type.attribute(person).value());
                }
            if (!templates.count(type.attribute("order_template").value()))
                Error("%s: a stage names the order template '%s', which the level lacks", level.c_str(),
                      type.attribute("order_template").value());
        }
        for (pugi::xml_node joiner : stage.children("object")) {
            const char* name = joiner.attribute("name").value();
            if (!names.count(name) || !levelRoot.child("objects").find_child_by_attribute("object", "name", name))
                Error("%s: stage %s brings '%s', which the scene or the level's list lacks", level.c_str(),
                      stage.attribute("num").value(), name);
        }
    }
    for (pugi::xml_node entry : levelRoot.child("objects").children("object"))
        if (!names.count(entry.attribute("name").value()))
            Error("%s: lists the object '%s', which the scene lacks", level.c_str(), entry.attribute("name").value());
    for (pugi::xml_node object : sceneRoot.child("objects").children("object")) {
        const std::string kind = object.attribute("class").value();
        const std::string name = object.attribute("name").value();
        if (!kItemClasses.count(kind))
            Error("%s: object '%s' has the unknown class '%s'", level.c_str(), name.c_str(), kind.c_str());
        if (kind == "worker") {
            if (!workers_.count(name))
                Error("%s: worker '%s' has no record in cfg.xml", level.c_str(), name.c_str());
            const std::string suffix = name.substr(6);
            if (!names.count("table" + suffix))
                Error("%s: worker '%s' has no table '%s'", level.c_str(), name.c_str(), ("table" + suffix).c_str());
            if (workers_.count(name))
                products.insert(workers_[name]);
            for (const std::string& status : {"status_bubble_worker" + suffix, "status_hp_worker" + suffix})
                if (!names.count(status))
                    Error("%s: worker '%s' has no '%s'", level.c_str(), name.c_str(), status.c_str());
        }
        if (kind == "client" && !names.count("client_place" + name.substr(6)))
            Error("%s: client '%s' has no place '%s'", level.c_str(), name.c_str(), ("client_place" + name.substr(6)).c_str());
        if (kind == "period_item") {
            if (!periodItems_.count(name))
                Error("%s: periodic item '%s' has no period_items record", level.c_str(), name.c_str());
            products.insert(object.attribute("thing").value());
        }
        if (kind == "boss" && !persons_.count(name))
            Error("%s: '%s' has no person record", level.c_str(), name.c_str());
        if (object.attribute("effect") && !effects_.count(object.attribute("effect").value()))
            Error("%s: '%s' uses the unknown effect '%s'", level.c_str(), name.c_str(), object.attribute("effect").value());
        for (pugi::xml_node part : object.children("part")) {
            const std::string partName = part.attribute("name").value();
            if (part.attribute("effect") && !effects_.count(part.attribute("effect").value()))
                Error("%s: '%s' part '%s' uses the unknown effect '%s'", level.c_str(), name.c_str(), partName.c_str(),
                      part.attribute("effect").value());
            for (const char* font : {"font", "sub_font"})
                if (part.attribute(font) && !fonts_.count(part.attribute(font).value()))
                    Error("%s: '%s' part '%s' uses the undeclared font '%s'", level.c_str(), name.c_str(), partName.c_str(),
                          part.attribute(font).value());
            // The money texts draw only text.
            if (partName != "cash" && !Clips(partName))
                Error("%s: '%s' part '%s' has no animation file", level.c_str(), name.c_str(), partName.c_str());
            for (int i = 0; i < 3; ++i) {
                const int x = part.attribute(("order" + std::to_string(i) + "_x").c_str()).as_int();
                const int y = part.attribute(("order" + std::to_string(i) + "_y").c_str()).as_int();
                if (x < 0 || y < 0 || x >= kBoardWidth || y >= kBoardHeight)
                    Error("%s: '%s' part '%s' stands outside the board at (%d, %d)", level.c_str(), name.c_str(),
                          partName.c_str(), x, y);
            }
        }
    }
    for (const std::string& product : products) {
        if (product.size() != 4 && product != "wash" && product != "super")
            Error("%s: '%s' is not a four-digit product code", level.c_str(), product.c_str());
    }
    // The sponge and the special are held, never ordered.
    products.erase("wash");
    products.erase("super");
    for (pugi::xml_node object : sceneRoot.child("objects").children("object")) {
        const pugi::xml_node entry = levelRoot.child("objects").find_child_by_attribute("object", "name", object.attribute("name").value());
        if (entry)
            CheckObjectClips(level, object, entry, clientSkins, products);
    }
}

// Every edge joins two known points (the graph's own or an object's stand point), no edge has
// length 0, and the boss reaches every stand point from where it starts.
void Checker::CheckGraph(const std::string& level, pugi::xml_node sceneRoot, pugi::xml_node levelRoot)
{
    std::map<std::string, std::pair<int, int>> points;
    std::vector<std::pair<std::string, std::string>> edges;
    for (pugi::xml_node root : {sceneRoot, levelRoot})
        for (pugi::xml_node graph : root.child("graphs").children("graph")) {
            if (std::string(graph.attribute("name").value()) != "boss")
                continue;
            for (pugi::xml_node point : graph.child("points").children("point"))
                points.try_emplace(point.attribute("name").value(), point.attribute("x").as_int(), point.attribute("y").as_int());
            for (pugi::xml_node edge : graph.child("edges").children("edge"))
                edges.emplace_back(edge.attribute("p1").value(), edge.attribute("p2").value());
        }
    std::string start;
    for (pugi::xml_node object : sceneRoot.child("objects").children("object")) {
        if (std::string(object.attribute("name").value()) == "boss")
            start = object.attribute("start_point").value();
        for (pugi::xml_node point : object.children("point"))
            if (std::string(point.attribute("owner").value()) == "boss")
                points.try_emplace(object.attribute("name").value(), point.attribute("offs_x").as_int(),
                                   point.attribute("offs_y").as_int());
    }
    if (edges.empty())
        return;
    for (const auto& [name, at] : points)
        if (at.first < 0 || at.second < 0 || at.first >= kBoardWidth || at.second >= kBoardHeight)
            Error("%s: graph point '%s' lies outside the board", level.c_str(), name.c_str());
    std::map<std::string, std::set<std::string>> next;
    for (const auto& [a, b] : edges) {
        if (!points.count(a) || !points.count(b)) {
            Error("%s: edge '%s'-'%s' names an unknown point", level.c_str(), a.c_str(), b.c_str());
            continue;
        }
        if (points[a] == points[b])
            Error("%s: edge '%s'-'%s' has length 0", level.c_str(), a.c_str(), b.c_str());
        next[a].insert(b);
        next[b].insert(a);
    }
    if (!points.count(start)) {
        Error("%s: the boss starts at '%s', which the graph lacks", level.c_str(), start.c_str());
        return;
    }
    std::set<std::string> reached = {start};
    std::vector<std::string> open = {start};
    while (!open.empty()) {
        const std::string at = open.back();
        open.pop_back();
        for (const std::string& n : next[at])
            if (reached.insert(n).second)
                open.push_back(n);
    }
    for (const auto& [name, at] : points)
        if (!reached.count(name))
            Error("%s: the boss cannot reach '%s'", level.c_str(), name.c_str());
}

// A day can be won only when what its guests ask for is made by what the level puts in play,
// families find a table, and the goals lie within what the guests pay at their happiest.
void Checker::CheckSupply(const std::string& level, pugi::xml_node levelRoot, pugi::xml_node sceneRoot)
{
    const pugi::xml_node listed = levelRoot.child("objects");
    std::set<std::string> made, baked; // by anything; by a worker
    bool tables = false;
    for (pugi::xml_node object : sceneRoot.child("objects").children("object")) {
        const std::string name = object.attribute("name").value();
        if (!listed.find_child_by_attribute("object", "name", name.c_str()))
            continue;
        const std::string kind = object.attribute("class").value();
        if (kind == "worker" && workers_.count(name)) {
            made.insert(workers_[name]);
            baked.insert(workers_[name]);
        } else if (kind == "period_item")
            made.insert(object.attribute("thing").value());
        tables = tables || kind == "client_sit";
    }
    const auto need = [&](const std::string& code) {
        // A code holds one product, or two side by side: "0103" is coffee and cake.
        const std::string first = code.substr(0, 2) + "00";
        const std::string second = code.size() >= 4 && code.substr(2, 2) != "00" ? code.substr(2, 2) + "00" : "";
        for (const std::string& product : {first, second})
            if (!product.empty() && !made.count(product))
                Error("%s: a guest asks for '%s', which nothing in the level makes", level.c_str(), product.c_str());
        // Two products become one only as a worker hands over the second: two machines' never do.
        if (!second.empty() && made.count(first) && made.count(second) && !baked.count(first) && !baked.count(second))
            Error("%s: a guest asks for '%s', but no worker makes either half to join them", level.c_str(), code.c_str());
    };
    const auto seat = [&](pugi::xml_node arrival) {
        if (std::string_view(arrival.attribute("type").value()) == "family" && !tables)
            Error("%s: a family comes, but the level has no family table", level.c_str());
    };
    std::map<std::string, int> pays = clients_;
    for (pugi::xml_node client : levelRoot.child("override_clients").children("client"))
        if (client.attribute("client_money01_g"))
            pays[client.attribute("name").value()] = client.attribute("client_money01_g").as_int();
    int payable = 0;
    for (pugi::xml_node event : levelRoot.child("events_queue").children("time_point")) {
        seat(event);
        int orders = 0;
        for (pugi::xml_node param : event.children("param")) {
            need(param.attribute("name").value());
            ++orders;
        }
        // Every order served is paid for; a family pays as its happiest member would.
        int most = 0;
        for (const char* person : {"person1", "person2", "person3", "person4"})
            most = std::max(most, pays[event.attribute(person).value()]);
        payable += most * orders;
    }
    for (pugi::xpath_node order : levelRoot.select_nodes("templates/order_template//order"))
        need(order.node().attribute("name").value());
    for (pugi::xpath_node type : levelRoot.select_nodes("stages/stage/time_point_template"))
        seat(type.node());
    if (levelRoot.child("stages"))
        return;
    for (const char* goal : {"normal", "expert"})
        if (levelRoot.child("params").attribute(goal).as_int() > payable)
            Error("%s: the %s goal %d is more than all its guests pay (%d)", level.c_str(), goal,
                  levelRoot.child("params").attribute(goal).as_int(), payable);
}

void Checker::ReadComix()
{
    if (!Exists("cfg\\comix.xml"))
        return;
    const auto doc = Load("cfg\\comix.xml");
    if (!doc)
        return;
    for (pugi::xml_node comix : doc->child("comixes").children("comix")) {
        const std::string name = comix.attribute("name").value();
        if (!comixes_.insert(name).second)
            Error("comix.xml: two strips are named '%s'", name.c_str());
        // Pictures of an atlas are looked up there first; such a strip's files are not checked.
        if (!comix.attribute("atlaspack"))
            for (pugi::xml_node object : comix.child("objects").children("object"))
                CheckComixObject(name, object);
    }
    ParseComixes(*doc);
}

void Checker::CheckComixObject(const std::string& comix, pugi::xml_node object)
{
    const std::string type = object.attribute("type").value();
    const char* name = object.attribute("name").value();
    for (const char* file : {"file", "mask"})
        if (object.attribute(file) && !Exists(object.attribute(file).value()))
            Error("comix.xml: '%s' object '%s' names the missing picture '%s'", comix.c_str(), name, object.attribute(file).value());
    if (type == "text" && !texts_.count(object.attribute("string_id").value()))
        Error("comix.xml: '%s' object '%s' shows the text id '%s', which loc.xml lacks", comix.c_str(), name,
              object.attribute("string_id").value());
    if (type == "text" && !fonts_.count(object.attribute("font").value()))
        Error("comix.xml: '%s' object '%s' uses the undeclared font '%s'", comix.c_str(), name, object.attribute("font").value());
    if (type == "sound" && !sounds_.count(object.attribute("sound_id").value()))
        Error("comix.xml: '%s' object '%s' plays the undeclared sound '%s'", comix.c_str(), name,
              object.attribute("sound_id").value());
    if (type == "music" && !streams_.count(object.attribute("sound_id").value()))
        Error("comix.xml: '%s' object '%s' plays the undeclared music '%s'", comix.c_str(), name,
              object.attribute("sound_id").value());
}

// The player's own parser reads each strip: what it warns of (bad groups, actors, values) is an
// error here, apart from the pictures and fonts, which it cannot reach without the game.
void Checker::ParseComixes(const pugi::xml_document& doc)
{
    const std::string logFile = (std::filesystem::temp_directory_path() / ("datacheck-comix-" + std::to_string(::getpid()) + ".log")).string();
    std::filesystem::remove(logFile);
    SetDeveloperMode(true);
    SetLogFile(logFile);
    for (pugi::xml_node node : doc.child("comixes").children("comix")) {
        WriteLog("datacheck: strip %s", node.attribute("name").value());
        TCComix comix(nullptr, nullptr);
        comix.imageLoader = [](const std::string&) { return std::make_unique<Nubra::MemoryImage>(); };
        comix.LoadScene(node);
    }
    SetDeveloperMode(false);
    std::ifstream log(logFile);
    std::string line, current;
    while (std::getline(log, line)) {
        if (line.starts_with("datacheck: strip "))
            current = line.substr(17);
        else if (line.starts_with("WARNING") && !line.starts_with("WARNING: Can not load"))
            Error("comix.xml: '%s': %s", current.c_str(), line.c_str());
    }
    std::filesystem::remove(logFile);
}

void Checker::CheckLevel(const std::string& levelFile)
{
    const auto levelDoc = Load(levelFile);
    if (!levelDoc)
        return;
    const pugi::xml_node levelRoot = levelDoc->child("level");
    // The career map and the briefing introduce each day; survival has its own briefing.
    const int number = std::stoi(levelFile.substr(5, 3));
    char id[32];
    std::vector<std::string> intros;
    if (levelFile[4] == 'e') {
        std::snprintf(id, sizeof id, "ebreif_text_l%02d", number);
        intros.push_back(id);
    } else {
        std::snprintf(id, sizeof id, "breif_l%d", number);
        intros.push_back(id);
        std::snprintf(id, sizeof id, "breif_text_l%02d", number);
        intros.push_back(id);
    }
    for (const std::string& intro : intros)
        if (!texts_.count(intro))
            Error("%s: no text '%s' introduces the day", levelFile.c_str(), intro.c_str());
    for (pugi::xml_node worker : levelRoot.child("override_workers").children("worker"))
        if (!workers_.count(worker.attribute("name").value()))
            Error("%s: overrides the unknown worker '%s'", levelFile.c_str(), worker.attribute("name").value());
    for (pugi::xml_node client : levelRoot.child("override_clients").children("client"))
        if (!clients_.count(client.attribute("name").value()))
            Error("%s: overrides the unknown client kind '%s'", levelFile.c_str(), client.attribute("name").value());
    for (const char* comix : {"onstart_comix", "onfinish_comix"})
        if (levelRoot.attribute(comix) && !comixes_.count(levelRoot.attribute(comix).value()))
            Error("%s: %s names '%s', which comix.xml lacks", levelFile.c_str(), comix, levelRoot.attribute(comix).value());
    const std::string scene = levelRoot.attribute("doc").value();
    const auto sceneDoc = Load(scene);
    if (!sceneDoc)
        return;
    CheckScene(levelFile, levelRoot, sceneDoc->child("root"));
    CheckGraph(levelFile, sceneDoc->child("root"), levelRoot);
    CheckSupply(levelFile, levelRoot, sceneDoc->child("root"));
}

// A missing career day is a locked hole in the career map, and a missing survival level a cafe
// the survival screen cannot start.
void Checker::CheckEveryDayExists(const std::vector<std::string>& levels)
{
    const auto has = [&levels](const char* format, int number) {
        char name[32];
        std::snprintf(name, sizeof name, format, number);
        return std::find(levels.begin(), levels.end(), name) != levels.end();
    };
    const int lastDay = CafeLevelOffset(3) + CafeDayCount(3);
    for (int day = 1; day <= lastDay; ++day)
        if (!has("cfg\\l%03d.xml", day))
            Error("the career has no day %d (cfg\\l%03d.xml)", day, day);
    for (int cafe = 1; cafe <= 3; ++cafe)
        if (!has("cfg\\e%03d.xml", cafe))
            Error("survival has no level for cafe %d (cfg\\e%03d.xml)", cafe, cafe);
}

// Loads every level into the cafe board as the game does and reports what the loaders log as an
// error.
void Checker::LoadLevels(const std::vector<std::string>& levels)
{
    const std::string logFile = (std::filesystem::temp_directory_path() / ("datacheck-" + std::to_string(::getpid()) + ".log")).string();
    std::filesystem::remove(logFile);
    SetDeveloperMode(true);
    SetLogFile(logFile);
    LoadEffects();
    {
        TCHeadlessBoardHost host;
        TCBoard_Game3 board(host);
        if (!board.LoadBoardConfig())
            Error("cfg.xml: the cafe board cannot read it");
        for (const std::string& level : levels) {
            const bool survival = level[4] == 'e';
            WriteLog("datacheck: loading %s", level.c_str());
            board.StartLevelLoad(std::stoi(level.substr(5, 3)), survival);
            if (!board.IsRunning())
                Error("%s: the board did not start the level", level.c_str());
            // A minute of the day with nobody clicking: guests come, wait and leave.
            for (int step = 0; step < kIdleSteps && board.IsRunning(); ++step)
                board.Update();
        }
        board.Shutdown();
    }
    ReleaseEffects();
    SetDeveloperMode(false);
    std::ifstream log(logFile);
    std::string line, current = "cfg.xml";
    while (std::getline(log, line)) {
        if (line.starts_with("datacheck: loading "))
            current = line.substr(19);
        else if (line.starts_with("ERROR") || line.find("Critical") != std::string::npos)
            Error("%s: loading logs '%s'", current.c_str(), line.c_str());
    }
    std::filesystem::remove(logFile);
}

int Checker::Run()
{
    if (const auto loc = Load("cfg\\loc.xml"))
        for (pugi::xml_node text : loc->child("root").children("loc"))
            texts_.insert(text.attribute("id").value());
    if (const auto effects = Load("cfg\\effect.xml"))
        for (pugi::xml_node effect : effects->child("effects").children("effect"))
            effects_.insert(effect.attribute("name").value());
    ReadConfig();
    ReadUi();
    ReadComix();
    std::vector<std::string> levels;
    for (const auto& entry : std::filesystem::directory_iterator("cfg")) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 8 && (name[0] == 'l' || name[0] == 'e') && name.substr(4) == ".xml")
            levels.push_back("cfg\\" + name);
    }
    CheckEveryDayExists(levels);
    for (const std::string& level : levels)
        CheckLevel(level);
    LoadLevels(levels);
    std::printf("datacheck: %zu levels, %d broken references\n", levels.size(), errors_);
    return errors_ == 0 ? 0 : 1;
}

// The clip an object rests on at the start of a day, for a part that has one.
std::string RestingClip(const std::string& kind, const std::string& part, const std::string& levelAnim,
                        const std::string& clientSkin)
{
    if (part == "checkmark" || part.starts_with("status_hp_worker_back") || part == "status_hp_client_back")
        return "idle";
    if (part == "status_hp_worker")
        return "point12idle";
    if (part == "status_hp_client")
        return "point09idle";
    if (part == "status_hp_client_smile")
        return "greenidle";
    if (part == "status_bubble" || part == "status_production")
        return "0100";
    if (part == "client_money")
        return "pack";
    if (kind == "worker")
        return "idle_green";
    if (kind == "client" || kind == "client_sit")
        return clientSkin.empty() ? "" : "idle_green";
    return levelAnim;
}

void BlendOver(ImageLib::Image& canvas, const ImageLib::Image& sheet, const AnmFrame& frame, int x, int y)
{
    for (int row = 0; row < frame.height; ++row)
        for (int col = 0; col < frame.width; ++col) {
            const int tx = x + col, ty = y + row;
            if (tx < 0 || ty < 0 || tx >= canvas.GetWidth() || ty >= canvas.GetHeight())
                continue;
            const uint32_t src = sheet.Row(frame.srcY + row)[frame.srcX + col];
            uint32_t& dst = canvas.Row(ty)[tx];
            const uint32_t a = src >> 24;
            uint32_t out = 0xFF000000;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t blended = (((src >> shift) & 0xFF) * a + ((dst >> shift) & 0xFF) * (255 - a)) / 255;
                out |= blended << shift;
            }
            dst = out;
        }
}

int Checker::Preview(const std::string& levelFile, const std::string& picture)
{
    const auto levelDoc = Load(levelFile);
    const auto sceneDoc = levelDoc ? Load(levelDoc->child("level").attribute("doc").value()) : std::nullopt;
    if (!sceneDoc)
        return 1;
    const pugi::xml_node levelRoot = levelDoc->child("level");
    const pugi::xml_node sceneRoot = sceneDoc->child("root");
    std::string clientSkin = levelRoot.child("events_queue").child("time_point").attribute("person1").value();
    std::map<std::string, std::pair<int, int>> positions, graphPoints;
    for (pugi::xml_node point : sceneRoot.child("graphs").child("graph").child("points").children("point"))
        graphPoints[point.attribute("name").value()] = {point.attribute("x").as_int(), point.attribute("y").as_int()};
    for (pugi::xml_node object : sceneRoot.child("objects").children("object"))
        positions[object.attribute("name").value()] = {object.attribute("pos_x").as_int(), object.attribute("pos_y").as_int()};

    struct Drawn {
        int depth; // the floor line's lowest row; z-over parts come last
        int order;
        const AnmClip* clip;
        int x, y;
    };
    std::vector<Drawn> drawn;
    for (pugi::xml_node object : sceneRoot.child("objects").children("object")) {
        const std::string name = object.attribute("name").value();
        const pugi::xml_node entry = levelRoot.child("objects").find_child_by_attribute("object", "name", name.c_str());
        if (!entry)
            continue;
        const std::string kind = object.attribute("class").value();
        auto [x, y] = positions[name];
        // Status items stand at their owner's place; the boss at its start point.
        for (const char* prefix : {"status_bubble_", "status_hp_"}) {
            const std::string rest = name.starts_with(prefix) ? name.substr(std::string(prefix).size()) : "";
            for (const char* owner : {"worker", "client"})
                if (rest.starts_with(std::string(owner)) || rest.starts_with(std::string("hp_") + owner))
                    std::tie(x, y) = positions[std::string(owner) + rest.substr(rest.find(owner) + std::string(owner).size())];
        }
        if (kind == "boss")
            std::tie(x, y) = graphPoints[object.attribute("start_point").value()];
        const std::string skin = kind == "client" || kind == "client_sit" ? clientSkin : entry.attribute("skin").value();
        const std::string orient = object.attribute("orient").value();
        int order = 0;
        for (pugi::xml_node part : object.children("part")) {
            const std::string partName = part.attribute("name").value();
            const std::string anim = RestingClip(kind, partName, entry.attribute("anim").value(), clientSkin);
            const auto* clips = Clips(partName);
            const std::string partOrient = part.attribute("orient") ? part.attribute("orient").value() : orient;
            const std::string clipName = partName + skin + (partName == "checkmark" ? "" : partOrient) + anim;
            if (anim.empty() || !clips || !clips->count(clipName))
                continue;
            int depth = std::max({part.attribute("order0_y").as_int(), part.attribute("order1_y").as_int(),
                                  part.attribute("order2_y").as_int()});
            if (kind == "boss")
                depth = y;
            if (part.attribute("zover").as_bool())
                depth = kBoardHeight + 1;
            drawn.push_back({depth, order++, &clips->at(clipName), x + part.attribute("offs_x").as_int(),
                             y + part.attribute("offs_y").as_int()});
        }
    }
    // Parts drawn relative to a parent follow it; the others go by their floor line.
    std::stable_sort(drawn.begin(), drawn.end(), [](const Drawn& a, const Drawn& b) { return a.depth < b.depth; });
    ImageLib::Image canvas(kBoardWidth, kBoardHeight);
    for (const Drawn& d : drawn) {
        const auto sheet = ImageLib::GetImage(d.clip->file, false);
        if (sheet && !d.clip->frames.empty())
            BlendOver(canvas, *sheet, d.clip->frames[0], d.x + d.clip->frames[0].offsetX, d.y + d.clip->frames[0].offsetY);
    }
    return ImageLib::WritePNGImage(picture, canvas) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const bool preview = argc == 5 && std::string(argv[2]) == "--preview";
    if (argc != 2 && !preview) {
        std::fprintf(stderr, "usage: datacheck <pack folder> [--preview <level file> <picture.png>]\n");
        return 2;
    }
    const std::string picture = preview ? std::filesystem::absolute(argv[4]).string() : "";
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error) {
        std::fprintf(stderr, "datacheck: cannot enter %s\n", argv[1]);
        return 2;
    }
    return preview ? Checker().Preview(argv[3], picture) : Checker().Run();
}
