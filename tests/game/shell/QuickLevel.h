#pragma once
// The shipped content with career levels that end at their first step: the day has no guests,
// so the money the test hands the board decides whether it is won. The rest of the content is
// the shipped files themselves, linked into a folder of the test's own.
#include <pugixml.hpp>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>

class QuickLevelContent {
public:
    QuickLevelContent(const std::filesystem::path& shipped, std::initializer_list<int> levels)
        : root_(std::filesystem::temp_directory_path() / ("quick_levels_" + std::to_string(getpid())))
    {
        namespace fs = std::filesystem;
        fs::remove_all(root_);
        fs::create_directories(root_ / "cfg");
        for (const fs::directory_entry& entry : fs::directory_iterator(shipped))
            if (entry.path().filename() != "cfg")
                fs::create_directory_symlink(fs::absolute(entry.path()), root_ / entry.path().filename());
        for (const fs::directory_entry& entry : fs::directory_iterator(shipped / "cfg"))
            fs::create_symlink(fs::absolute(entry.path()), root_ / "cfg" / entry.path().filename());
        for (int level : levels)
            WriteQuickLevel(shipped, level);
    }
    ~QuickLevelContent() { std::filesystem::remove_all(root_); }

    // With the trailing separator the data root wants.
    std::string Root() const { return root_.string() + "/"; }

private:
    void WriteQuickLevel(const std::filesystem::path& shipped, int level)
    {
        char name[16];
        std::snprintf(name, sizeof name, "l%03d.xml", level);
        pugi::xml_document document;
        // A day the shipped content lacks borrows the second day's scene.
        const std::filesystem::path source = shipped / "cfg" / (std::filesystem::exists(shipped / "cfg" / name) ? name : "l002.xml");
        document.load_file(source.c_str());
        pugi::xml_node queue = document.child("level").child("events_queue");
        while (queue.first_child())
            queue.remove_child(queue.first_child());
        std::filesystem::remove(root_ / "cfg" / name);
        document.save_file((root_ / "cfg" / name).c_str());
    }

    std::filesystem::path root_;
};
