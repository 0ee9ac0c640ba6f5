#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

namespace {

struct Recording : Nubra::Widget {
    Recording(std::string name, std::vector<std::string>* visits) : name(std::move(name)), visits(visits) {}
    void Update() override
    {
        Widget::Update();
        visits->push_back(name);
        if (onUpdate)
            onUpdate();
    }
    std::string name;
    std::vector<std::string>* visits;
    std::function<void()> onUpdate;
};

TEST(WidgetTree, RemovingTheNextSiblingDuringAnUpdateNeitherSkipsNorRepeats)
{
    Nubra::WidgetManager manager(nullptr);
    std::vector<std::string> visits;
    Recording a("a", &visits), b("b", &visits), c("c", &visits);
    manager.AddWidget(&a);
    manager.AddWidget(&b);
    manager.AddWidget(&c);
    a.onUpdate = [&] { manager.RemoveWidget(&b); };
    manager.UpdateFrame();
    EXPECT_EQ(visits, (std::vector<std::string>{"a", "c"}));

    // Removing itself and re-adding in front: visited once per step.
    visits.clear();
    a.onUpdate = [&] {
        manager.RemoveWidget(&a);
        manager.AddWidget(&a);
    };
    manager.UpdateFrame();
    EXPECT_EQ(visits, (std::vector<std::string>{"a", "c"}));
}

TEST(WidgetTree, ADestroyedWidgetLeavesItsParent)
{
    Nubra::WidgetManager manager(nullptr);
    std::vector<std::string> visits;
    Recording parent("parent", &visits);
    manager.AddWidget(&parent);
    {
        Recording child("child", &visits);
        parent.AddWidget(&child);
        EXPECT_EQ(child.manager, &manager);
    }
    EXPECT_TRUE(parent.children.empty());
    manager.UpdateFrame();
    EXPECT_EQ(visits, std::vector<std::string>{"parent"});
}

TEST(WidgetTree, UpdatesMarkDirtyOnlyWhenAskedAndDrawingClearsIt)
{
    Nubra::WidgetManager manager(nullptr);
    std::vector<std::string> visits;
    Recording quiet("quiet", &visits), busy("busy", &visits);
    manager.AddWidget(&quiet);
    manager.AddWidget(&busy);
    EXPECT_TRUE(manager.DrawScreen()); // newly added widgets are dirty
    EXPECT_FALSE(manager.UpdateFrame());
    EXPECT_FALSE(manager.DrawScreen());

    busy.flagsAddMask = Nubra::kWidgetMarkDirtyEveryUpdate;
    EXPECT_TRUE(manager.UpdateFrame());
    EXPECT_TRUE(busy.dirty);
    EXPECT_FALSE(quiet.dirty);
    EXPECT_TRUE(manager.DrawScreen());
    EXPECT_FALSE(busy.dirty);
}

} // namespace
