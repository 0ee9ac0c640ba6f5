#include "game/shell/TCComix.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCMusic.h"
#include "engine/core/XmlHelpers.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/Font.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCComixObjects.h"
#include "game/shell/TCMessageBox.h"
#include "game/sim/TCBoardCore.h"
#include "platform/VirtualKeys.h"

namespace {

constexpr int kKeyC = 'C';
constexpr int kKeyF6 = plat::kVkF1 + 5;

std::unique_ptr<TCComixObject> CreateObject(const std::string& type)
{
    if (type == "pic")
        return std::make_unique<TCComixObjectPic>();
    if (type == "text")
        return std::make_unique<TCComixObjectText>();
    if (type == "sound" || type == "music")
        return std::make_unique<TCComixObjectSound>(type == "sound");
    return nullptr;
}

} // namespace

void TCComixEpisode::Update(float time)
{
    for (const auto& actor : actors)
        actor->Update(time);
}

TCComix::TCComix(TCCandyWidget* parent, TCEngine* app) : TCDialog(parent, app)
{
    SetName("comix");
    Resize(0, 0, app ? app->width : kScreenWidth, app ? app->height : kScreenHeight);
    if (app)
        DebugSettings().hooks.comixKey = [this](int key) { return visible && IsDeveloperMode() && OnDebugKey(key); };
}

TCComix::~TCComix()
{
    if (GetApp())
        DebugSettings().hooks.comixKey = nullptr;
}

bool TCComix::Load(const std::string& name)
{
    name_ = name;
    const XmlDocument document = OpenXmlFile("cfg\\comix.xml");
    if (!document)
        return false;
    const std::string path = "comixes/comix[@name=" + XmlPathLiteral(name) + "]";
    const pugi::xml_node comix = XmlSelectNode(*document, path.c_str());
    if (comix)
        LoadScene(comix);
    return bool(comix);
}

void TCComix::Reload()
{
    time_ = 0.0f;
    current_ = 0;
    Clear();
    Load(name_);
}

void TCComix::Clear()
{
    episodes_.clear();
    groups_.clear();
    byName_.clear();
    objects_.clear();
    atlas_.reset();
}

void TCComix::LoadScene(pugi::xml_node comix)
{
    std::string atlasName;
    if (XmlGetString(comix, "atlaspack", atlasName))
        atlas_ = std::make_unique<Atlas>(atlasName, imageLoader);
    clearBack_ = false;
    XmlGetBoolA(comix, "clearBack", clearBack_);
    defaultTopOffset_ = 0;
    defaultLineSpace_ = 0;
    XmlGetIntA(comix, "default_top_offset", defaultTopOffset_);
    XmlGetIntA(comix, "default_line_space", defaultLineSpace_);
    LoadObjects(comix);
    LoadEpisodes(comix);
    time_ = 0.0f;
    current_ = 0;
    if (TCComixEpisode* first = CurrentEpisode()) {
        first->start = 0.0f;
        first->Update(0.0f);
    }
}

void TCComix::LoadObjects(pugi::xml_node comix)
{
    for (pugi::xml_node node : comix.child("objects").children("object")) {
        std::string type;
        if (!XmlGetString(node, "type", type)) {
            WriteLog("WARNING: Object type not defined.");
            continue;
        }
        std::unique_ptr<TCComixObject> object = CreateObject(type);
        if (!object) {
            WriteLog("WARNING: Unknown object type '%s'.", type.c_str());
            continue;
        }
        XmlGetString(node, "name", object->name);
        if (byName_.count(object->name)) {
            WriteLog("WARNING: more then one object with name '%s'", object->name.c_str());
            continue;
        }
        object->ReadProperties(*this, node);
        byName_[object->name] = object.get();
        objects_.push_back(std::move(object));
    }
}

void TCComix::LoadGroups(pugi::xml_node comix)
{
    for (pugi::xml_node node : comix.child("objectGroups").children("group")) {
        auto group = std::make_unique<TCComixGroup>();
        std::string groupName;
        XmlGetString(node, "name", groupName);
        for (pugi::xml_node member : node.children("object")) {
            std::string objectName;
            XmlGetString(member, "name", objectName);
            if (TCComixObject* object = FindObject(objectName))
                group->push_back(object);
            else
                WriteLog("WARNING: Object with name '%s' not found. (group '%s')", objectName.c_str(), groupName.c_str());
        }
        if (groups_.count(groupName))
            WriteLog("WARNING: More then one object groups with name '%s'", groupName.c_str());
        else
            groups_[groupName] = std::move(group);
    }
}

void TCComix::LoadEpisodes(pugi::xml_node comix)
{
    LoadGroups(comix);
    for (pugi::xml_node node : comix.child("episodes").children("episode")) {
        auto episode = std::make_unique<TCComixEpisode>();
        XmlGetFloatA(node, "finish_delay", episode->finishDelay);
        for (pugi::xml_node actorNode : node.children("actor"))
            if (std::unique_ptr<TCComixActor> actor = CreateComixActor(*this, actorNode)) {
                episode->length = std::max(episode->length, actor->GetEndTime());
                episode->actors.push_back(std::move(actor));
            }
        episodes_.push_back(std::move(episode));
    }
}

TCComixObject* TCComix::FindObject(const std::string& name) const
{
    auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : found->second;
}

const TCComixGroup* TCComix::FindGroup(const std::string& name) const
{
    auto found = groups_.find(name);
    return found == groups_.end() ? nullptr : found->second.get();
}

TCComixEpisode* TCComix::CurrentEpisode() const
{
    return current_ >= 0 && size_t(current_) < episodes_.size() ? episodes_[size_t(current_)].get() : nullptr;
}

void TCComix::NextEpisode()
{
    if (TCComixEpisode* episode = CurrentEpisode())
        for (const auto& actor : episode->actors)
            actor->StopLoop();
    ++current_;
    if (TCComixEpisode* next = CurrentEpisode()) {
        next->start = time_;
        next->Update(0.0f);
    }
}

void TCComix::Skip()
{
    TCComixEpisode* episode = CurrentEpisode();
    if (!episode)
        return;
    for (const auto& actor : episode->actors)
        actor->Finish(time_);
    NextEpisode();
}

void TCComix::Step(float seconds)
{
    time_ += seconds;
    TCComixEpisode* current = CurrentEpisode();
    if (!current)
        return;
    // Earlier episodes keep running: their non-local actors go on moving.
    for (int i = 0; i <= current_; ++i)
        episodes_[size_t(i)]->Update(time_ - episodes_[size_t(i)]->start);
    if (time_ > current->start + current->finishDelay + current->length)
        NextEpisode();
}

void TCComix::Update()
{
    TCDialog::Update();
    if (!visible || IsMessageBoxOpen())
        return;
    const TCEngine* app = GetApp();
    const bool running = !paused_ && app && app->hasFocus;
    Step(running ? float(app->updatePeriod) / 1000.0f : 0.0f);
}

void TCComix::Draw(Nubra::Graphics* g)
{
    if (!visible)
        return;
    if (clearBack_) {
        g->SetColor(Nubra::Color(0, 0, 0, 255));
        g->FillRect(0, 0, width, height);
    }
    TCDialog::Draw(g);
    for (const auto& object : objects_)
        object->Draw(g);
    if (IsDeveloperMode())
        DrawDeveloperLine(g);
}

void TCComix::DrawDeveloperLine(Nubra::Graphics* g)
{
    Nubra::Font* font = DebugSettings().GetMonoFont();
    if (!font)
        return;
    char line[64];
    const int minutes = int(time_ / 60.0f);
    std::snprintf(line, sizeof line, "%0d:%05.2f %s", minutes, double(time_ - float(minutes) * 60.0f), paused_ ? "(PAUSED)" : "");
    g->SetFont(font);
    g->SetColor(Nubra::Color(255, 0, 0, 255));
    g->DrawString(Nubra::StringToWString(line), 400, font->GetHeight());
}

void TCComix::MouseDown(int, int, int, int)
{
    if (!paused_)
        Skip();
}

void TCComix::OnShow()
{
    if (GetApp())
        GetApp()->GetMusic().Change("");
    if (board_ && !boardPaused_) {
        board_->Pause();
        boardPaused_ = true;
    }
}

void TCComix::OnHide()
{
    if (board_ && boardPaused_) {
        board_->Resume();
        boardPaused_ = false;
    }
}

void TCComix::OnButtonClick(intptr_t) { Close(); }

bool TCComix::Play(const std::string& name, std::function<void()> onEnd)
{
    Clear();
    if (!Load(name))
        return false;
    onEnd_ = std::move(onEnd);
    if (parent)
        parent->BringToFront(this);
    Show();
    return true;
}

void TCComix::Close()
{
    for (const auto& object : objects_)
        object->Stop();
    Clear();
    // Always through Hide: its OnHide gives the board its pause back, whichever comix this was.
    Hide();
    if (auto onEnd = std::move(onEnd_)) {
        onEnd_ = nullptr;
        onEnd();
    }
}

bool TCComix::OnDebugKey(int key)
{
    switch (key) {
    case plat::kVkBack:
        paused_ = !paused_;
        return true;
    case kKeyF6:
        Reload();
        return true;
    case kKeyC: {
        TCEngine* app = GetApp();
        if (!app || !app->widgetManager || !app->widgetManager->mouseIn)
            return true;
        char text[32];
        std::snprintf(text, sizeof text, "%d;%d", app->widgetManager->lastMouseX, app->widgetManager->lastMouseY);
        app->CopyToClipboard(Nubra::StringToWString(text));
        return true;
    }
    default:
        return false;
    }
}
