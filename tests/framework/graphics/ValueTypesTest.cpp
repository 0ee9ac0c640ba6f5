#include "TestDoubles.h"

#include "framework/graphics/AnimInfo.h"
#include "framework/graphics/SharedImage.h"

#include <gtest/gtest.h>

using namespace NubraTest;

TEST(Color, PacksAsARGBWithoutMaskingTheComponents)
{
    Color packed(0x80FF0000);
    EXPECT_EQ(packed, Color(255, 0, 0, 128));
    EXPECT_EQ(packed.ToInt(), 0x80FF0000u);

    EXPECT_EQ(Color(), Color(0, 0, 0, 255));
    EXPECT_EQ(Color(1, 2, 3).GetAlpha(), 255);
    EXPECT_EQ(Color(packed, 255), Color(255, 0, 0, 255)); // the opaque copy drops the alpha
    EXPECT_EQ(Color(256, 0, 0, 0).ToInt(), 0x01000000u); // red spills into alpha
    EXPECT_NE(Color(1, 2, 3, 4), Color(1, 2, 3, 5));
    EXPECT_EQ(Color::White.ToInt(), 0xFFFFFFFFu);
    EXPECT_EQ(Color::Black.ToInt(), 0xFF000000u);
}

TEST(Rect, IntersectionKeepsTouchingEdgesAndEmptiesDisjointRectangles)
{
    struct Row {
        Rect other, expected;
    } rows[] = {
        {{10, 0, 10, 10}, {10, 0, 0, 10}}, // touching on the right: zero width at the edge
        {{0, 10, 10, 10}, {0, 10, 10, 0}}, // touching below: zero height
        {{11, 0, 10, 10}, {0, 0, 0, 0}},
        {{0, 11, 10, 10}, {0, 0, 0, 0}},
        {{5, -5, 10, 10}, {5, 0, 5, 5}},
        {{2, 3, 4, 5}, {2, 3, 4, 5}},
    };
    const Rect base(0, 0, 10, 10);
    for (const Row& row : rows) {
        EXPECT_EQ(base.Intersection(row.other), row.expected) << Str(row.other);
        DRect expected(row.expected.x, row.expected.y, row.expected.width, row.expected.height);
        EXPECT_EQ(DRect(0, 0, 10, 10).Intersection(DRect(row.other.x, row.other.y, row.other.width, row.other.height)),
                  expected)
            << Str(row.other);
    }
    EXPECT_EQ(DRect(0, 0, 1.5, 1).Intersection(DRect(1, 0, 1, 1)), DRect(1, 0, 0.5, 1));
}

TEST(AnimInfo, ComputeTurnsCelsIntoFramesWithDelays)
{
    AnimInfo pingPong;
    pingPong.animType = AnimInfo::PingPong;
    pingPong.frameDelay = 0;
    pingPong.Compute(4, 0, 0);
    EXPECT_EQ(pingPong.frameMap, (std::vector<int32_t>{0, 1, 2, 3, 2, 1}));
    EXPECT_EQ(pingPong.numCels, 6);
    EXPECT_EQ(pingPong.frameDelay, 1);
    EXPECT_EQ(pingPong.totalAnimTime, 6);

    AnimInfo once;
    once.animType = AnimInfo::Once;
    once.frameDelay = 10;
    once.Compute(3, 50, 0);
    EXPECT_EQ(once.perFrameDelay, (std::vector<int32_t>{50, 10, 10}));
    EXPECT_EQ(once.totalAnimTime, 70);

    AnimInfo ending; // an end delay alone reaches the last frame; the others take the frame delay
    ending.frameDelay = 5;
    ending.Compute(3, 0, 20);
    EXPECT_EQ(ending.perFrameDelay, (std::vector<int32_t>{5, 5, 20}));
    EXPECT_EQ(ending.totalAnimTime, 30);

    AnimInfo explicitDelays; // delays past the last frame are dropped
    explicitDelays.SetPerFrameDelay(3, 7);
    explicitDelays.Compute(2, 0, 0);
    EXPECT_EQ(explicitDelays.perFrameDelay, (std::vector<int32_t>{1, 1}));

    AnimInfo none;
    none.frameDelay = 4;
    none.Compute(0, 0, 0);
    EXPECT_EQ(none.numCels, 1);
    EXPECT_EQ(none.totalAnimTime, 4);
    EXPECT_TRUE(none.frameMap.empty());
}

TEST(SharedImageRef, EachHolderCountsOnceAndTheLastReleaseAsksForCleanup)
{
    ScopedImageHost app;
    SharedImage record;
    record.image = new MemoryImage();
    {
        SharedImageRef first(&record);
        SharedImageRef second(first);
        SharedImageRef third;
        third = second;
        EXPECT_EQ(record.refCount, 3);
        EXPECT_EQ(third.GetImage(), record.image);
        EXPECT_EQ(static_cast<MemoryImage*>(third), record.image);

        third = third; // keeps its reference
        EXPECT_EQ(record.refCount, 3);
        second.Release();
        third.Release();
        EXPECT_EQ(app.host.cleanupRequests, 0);
    }
    EXPECT_EQ(record.refCount, 0);
    EXPECT_EQ(app.host.cleanupRequests, 1);
    EXPECT_EQ(app.host.images.count(record.image), 1u); // freeing is the application's job
    delete record.image;
}

TEST(SharedImageRef, OnlyTheHandleThatOwnsAnImageDeletesIt)
{
    ScopedImageHost app;
    auto* own = new MemoryImage();
    SharedImageRef owner;
    owner = own;
    EXPECT_EQ(owner.operator->(), own);
    {
        SharedImageRef alias(owner);
        EXPECT_EQ(static_cast<MemoryImage*>(alias), own);
        SharedImageRef assigned;
        assigned = owner; // takes no image that is not shared
        EXPECT_EQ(static_cast<MemoryImage*>(assigned), nullptr);
    }
    EXPECT_EQ(app.host.images.count(own), 1u); // the alias left it alone

    owner = own; // the same image again: still owned, not freed
    EXPECT_EQ(app.host.images.count(own), 1u);
    owner.Release();
    EXPECT_EQ(app.host.images.count(own), 0u);
    EXPECT_EQ(static_cast<MemoryImage*>(owner), nullptr);
}
