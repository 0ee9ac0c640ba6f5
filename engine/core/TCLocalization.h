#pragma once
#include <map>
#include <string>

// The displayed texts of the current language by string id, read once from "cfg\loc.xml" (which
// the per-language "loc.pak" supplies).
class TCLocalization {
public:
    // A missing or unreadable file leaves the table empty. Elements without an id are skipped; of
    // two with the same id the first wins.
    bool Load(const char* path = "cfg\\loc.xml");
    // "$" and the id for an unlisted id, so a missing text shows on screen.
    std::wstring GetText(const std::string& id) const;

private:
    std::map<std::string, std::wstring> texts_;
};
