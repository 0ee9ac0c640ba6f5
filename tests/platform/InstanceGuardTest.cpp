#include "platform/InstanceGuard.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Files.h"

namespace {

std::string Product(const char* name) { return std::string("Guard") + name + "-" + std::to_string(getpid()); }

TEST(InstanceGuard, OnlyOneCopyHoldsTheProductUntilItLetsGo)
{
    const std::string product = Product("Hold");
    plat::InstanceGuard first, second;
    EXPECT_TRUE(first.Acquire(product));
    EXPECT_FALSE(second.Acquire(product));
    first.Release();
    EXPECT_TRUE(second.Acquire(product));
}

TEST(InstanceGuard, NotificationsReachTheRunningCopyInOrder)
{
    const std::string product = Product("Notify");
    EXPECT_FALSE(plat::InstanceGuard::NotifyRunning(product, 0, 0)); // nobody runs yet

    plat::InstanceGuard running;
    ASSERT_TRUE(running.Acquire(product));
    EXPECT_TRUE(plat::InstanceGuard::NotifyRunning(product, 0, 0));
    EXPECT_TRUE(plat::InstanceGuard::NotifyRunning(product, 7, -3));
    int32_t type = -1, parameter = -1;
    ASSERT_TRUE(running.Receive(&type, &parameter));
    EXPECT_EQ(type, 0);
    EXPECT_EQ(parameter, 0);
    ASSERT_TRUE(running.Receive(&type, &parameter));
    EXPECT_EQ(type, 7);
    EXPECT_EQ(parameter, -3);
    EXPECT_FALSE(running.Receive(&type, &parameter));
}

TEST(InstanceGuard, MalformedDatagramsAreDropped)
{
    const std::string product = Product("Malformed");
    plat::InstanceGuard running;
    ASSERT_TRUE(running.Acquire(product));

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = plat::RuntimeDir() + product + ".notify";
    std::strcpy(address.sun_path, path.c_str());
    int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    const char shortOne[3] = {1, 2, 3};
    const char longOne[12] = {};
    sendto(fd, shortOne, sizeof(shortOne), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    sendto(fd, longOne, sizeof(longOne), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    close(fd);
    ASSERT_TRUE(plat::InstanceGuard::NotifyRunning(product, 5, 6));

    int32_t type = 0, parameter = 0;
    ASSERT_TRUE(running.Receive(&type, &parameter));
    EXPECT_EQ(type, 5);
    EXPECT_EQ(parameter, 6);
    EXPECT_FALSE(running.Receive(&type, &parameter));
}

TEST(InstanceGuard, ALeftoverSocketOfADeadCopyDoesNotDeafenTheNextOne)
{
    const std::string product = Product("Leftover");
    std::string path = plat::RuntimeDir() + product + ".notify";
    std::fclose(std::fopen(path.c_str(), "w"));

    plat::InstanceGuard running;
    ASSERT_TRUE(running.Acquire(product));
    ASSERT_TRUE(plat::InstanceGuard::NotifyRunning(product, 0, 1));
    int32_t type = -1, parameter = -1;
    EXPECT_TRUE(running.Receive(&type, &parameter));
    EXPECT_EQ(parameter, 1);
}

} // namespace
