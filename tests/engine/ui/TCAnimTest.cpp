#include "engine/ui/TCAnim.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "engine/core/FakeImages.h"

namespace {

TEST(TCAnim, AOneShotAnimationStopsOnItsLastTextureUntilShownAgain)
{
    fixtures::FakeImages images;
    fixtures::FakeTextureTable fake(images);
    for (const char* id : {"a", "b", "c"})
        fake.table.Add(id, std::string(id) + ".png");
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string("<anim width='8' height='8' fps='4' oneshot='1'>"
                                     "<texture texture='a'/><texture texture='b'/><texture texture='c'/></anim>"));
    TCAnim anim(nullptr);
    anim.LoadFromXml(document.first_child());
    EXPECT_EQ(images.Holders("a.png"), 0);

    anim.SetVisible(true);
    EXPECT_EQ(images.Holders("a.png"), 1);
    EXPECT_EQ(images.Holders("c.png"), 1);
    // Steps of 0.01 s against a period of 0.25 s.
    const std::pair<int, int> checkpoints[] = {{24, 0}, {26, 1}, {49, 1}, {52, 2}, {200, 2}};
    int done = 0;
    for (const auto& [steps, frame] : checkpoints) {
        for (; done < steps; ++done)
            anim.Update();
        EXPECT_EQ(anim.GetFrameIndex(), frame) << "after " << steps << " steps";
    }
    EXPECT_TRUE(anim.IsStopped());

    anim.SetVisible(false);
    EXPECT_EQ(images.Holders("b.png"), 0);
    anim.SetVisible(true);
    EXPECT_EQ(anim.GetFrameIndex(), 0);
    EXPECT_FALSE(anim.IsStopped());

    TCAnim empty(nullptr);
    ASSERT_TRUE(document.load_string("<anim fps='4' visible='1'/>"));
    empty.LoadFromXml(document.first_child());
    empty.Update();
    EXPECT_EQ(empty.GetFrameIndex(), -1);
}

} // namespace
