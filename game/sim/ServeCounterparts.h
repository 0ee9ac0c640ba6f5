#pragma once
#include <string>

// A client as the boss serves it at its place.
class TCIBossClient {
public:
    virtual ~TCIBossClient() = default;
    // Waiting for its order (and patience falling).
    virtual bool IsWaiting() const = 0;
    // The order it shows; empty while it shows none.
    virtual const std::string& GetWantedItem() const = 0;
    // Whether it would take either item for its order.
    virtual bool WantsItem(const std::string& item, const std::string& second) const = 0;
};

// A worker as the boss serves it at its table.
class TCIBossWorker {
public:
    virtual ~TCIBossWorker() = default;
    // A finished product waits in the item slot.
    virtual bool IsProductReady() const = 0;
    virtual const std::string& GetProductSlot() const = 0;
    virtual void SetProductSlot(const std::string& product) = 0;
};
