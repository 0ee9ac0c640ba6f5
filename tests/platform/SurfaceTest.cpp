#include "platform/Presenter.h"
#include "platform/Surface.h"

#include <gtest/gtest.h>

#include <vector>

using plat::PixelFormat;
using plat::PixelRect;
using plat::Surface;
using plat::SurfaceLock;

namespace {

// Writes the pixels row after row through a lock.
void Paint(Surface& surface, const std::vector<uint32_t>& pixels)
{
    SurfaceLock lock;
    ASSERT_TRUE(surface.Lock(&lock));
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) {
            uint32_t value = pixels[size_t(y * surface.Width() + x)];
            uint8_t* at = lock.pixels + y * lock.pitch + x * lock.format.BytesPerPixel();
            if (lock.format.bitsPerPixel == 16)
                *reinterpret_cast<uint16_t*>(at) = uint16_t(value);
            else
                *reinterpret_cast<uint32_t*>(at) = value;
        }
    surface.Unlock();
}

std::vector<uint32_t> Row(const Surface& surface, int y)
{
    std::vector<uint32_t> row;
    for (int x = 0; x < surface.Width(); ++x)
        row.push_back(surface.PixelAt(x, y));
    return row;
}

} // namespace

TEST(Surface, LocksNestAndHandOutPaddedRowsInTheFormat)
{
    Surface surface(3, 2, PixelFormat::RGB565());
    SurfaceLock first, second;
    ASSERT_TRUE(surface.Lock(&first));
    ASSERT_TRUE(surface.Lock(&second));
    EXPECT_EQ(surface.LockCount(), 2);
    EXPECT_EQ(first.pixels, second.pixels);
    EXPECT_GT(first.pitch, 3 * 2); // rows are not packed: users must step by the pitch
    EXPECT_EQ(first.format, PixelFormat::RGB565());
    surface.Unlock();
    surface.Unlock();
    surface.Unlock(); // one too many does no harm
    EXPECT_EQ(surface.LockCount(), 0);

    surface.SetLocksFail(true);
    EXPECT_FALSE(surface.Lock(&first));
    EXPECT_EQ(surface.LockCount(), 0);
}

TEST(Surface, CopiesKeyedCopiesAndStretchesToTheNearestCornerPixel)
{
    Surface source(2, 2, PixelFormat::XRGB8888());
    // The key is compared on the colour bits only: the top byte may hold anything.
    Paint(source, {0x11000001, 0xAA00FF00, 0x00000003, 0x00000004});
    source.SetColorKey(0x0000FF00);

    Surface copy(4, 2, PixelFormat::XRGB8888());
    ASSERT_TRUE(copy.Blt({1, 0, 2, 2}, source, {0, 0, 2, 2}, false));
    EXPECT_EQ(Row(copy, 0), (std::vector<uint32_t>{0, 0x11000001, 0xAA00FF00, 0}));

    Surface keyed(2, 1, PixelFormat::XRGB8888());
    Paint(keyed, {7, 7});
    ASSERT_TRUE(keyed.Blt({0, 0, 2, 1}, source, {0, 0, 2, 1}, true));
    EXPECT_EQ(Row(keyed, 0), (std::vector<uint32_t>{0x11000001, 7}));

    Surface stretched(4, 1, PixelFormat::XRGB8888());
    ASSERT_TRUE(stretched.Blt({0, 0, 4, 1}, source, {0, 1, 2, 1}, false));
    EXPECT_EQ(Row(stretched, 0), (std::vector<uint32_t>{3, 3, 4, 4}));
}

TEST(Surface, BlitsWithinOneSurfaceReadThePictureAsItWas)
{
    Surface surface(4, 1, PixelFormat::RGB565());
    Paint(surface, {1, 2, 3, 4});
    ASSERT_TRUE(surface.Blt({1, 0, 3, 1}, surface, {0, 0, 3, 1}, false));
    EXPECT_EQ(Row(surface, 0), (std::vector<uint32_t>{1, 1, 2, 3}));
}

TEST(Surface, RefusesBusySurfacesOtherFormatsAndRectanglesOutside)
{
    Surface target(4, 4, PixelFormat::XRGB8888());
    Surface source(2, 2, PixelFormat::XRGB8888());
    Surface other(2, 2, PixelFormat::RGB565());
    SurfaceLock lock;

    EXPECT_FALSE(target.Blt({0, 0, 2, 2}, other, {0, 0, 2, 2}, false));
    EXPECT_FALSE(target.Blt({3, 3, 2, 2}, source, {0, 0, 2, 2}, false));
    EXPECT_FALSE(target.Blt({0, 0, 2, 2}, source, {1, 1, 2, 2}, false));
    EXPECT_FALSE(target.Blt({0, 0, 0, 2}, source, {0, 0, 0, 2}, false));
    ASSERT_TRUE(source.Lock(&lock));
    EXPECT_FALSE(target.Blt({0, 0, 2, 2}, source, {0, 0, 2, 2}, false));
    EXPECT_FALSE(source.Fill({0, 0, 1, 1}, 5));
    source.Unlock();

    ASSERT_TRUE(other.Fill({1, 0, 1, 2}, 0xABCD1234));
    EXPECT_EQ(Row(other, 1), (std::vector<uint32_t>{0, 0x1234}));
}

TEST(HeadlessPresenter, ShowsTheFrameScaledIntoItsPlaceAndBlackAround)
{
    plat::HeadlessPresenter presenter;
    Surface frame(2, 2, PixelFormat::XRGB8888());
    Paint(frame, {1, 2, 3, 4});
    EXPECT_FALSE(presenter.Present(frame, {0, 0, 2, 2}, {0, 0, 2, 2})); // not started

    ASSERT_TRUE(presenter.Start(2, 2, PixelFormat::XRGB8888(), 6, 4));
    ASSERT_TRUE(presenter.Present(frame, {0, 0, 2, 2}, {1, 0, 4, 4}));
    ASSERT_NE(presenter.Shown(), nullptr);
    EXPECT_EQ(Row(*presenter.Shown(), 0), (std::vector<uint32_t>{0, 1, 1, 2, 2, 0}));
    EXPECT_EQ(Row(*presenter.Shown(), 3), (std::vector<uint32_t>{0, 3, 3, 4, 4, 0}));
    EXPECT_EQ(frame.LockCount(), 0);
}
