// Writes and checks the game's animation files.
//   anmtool build <manifest> <file.anm>   writes the clips the manifest describes
//   anmtool check <file.anm>              reads the file as the game does and lists its clips
// A manifest is plain text, one record a line; '#' starts a comment:
//   clip <name> <sheet image> <box width> <loop: 0 looped, 1 once, 2 once backward> <fps>
//   frame <source x> <source y> <width> <height> <offset x> <offset y>
// Frames belong to the clip above them.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ui/AnmFile.h"

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "anmtool: %s\n", message.c_str());
    return 1;
}

bool ReadManifest(const std::string& path, std::vector<AnmClip>& clips, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        std::string kind;
        if (!(fields >> kind))
            continue;
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (kind == "clip") {
            AnmClip clip;
            if (!(fields >> clip.name >> clip.file >> clip.width >> clip.loop >> clip.fps)) {
                error = where + "clip <name> <sheet> <width> <loop> <fps>";
                return false;
            }
            if (clip.name.size() > 63 || clip.file.size() > 63) {
                error = where + "names are at most 63 characters";
                return false;
            }
            clips.push_back(clip);
        } else if (kind == "frame") {
            AnmFrame frame;
            if (clips.empty() || !(fields >> frame.srcX >> frame.srcY >> frame.width >> frame.height >> frame.offsetX >> frame.offsetY)) {
                error = where + "frame <x> <y> <width> <height> <offset x> <offset y>, after a clip";
                return false;
            }
            clips.back().frames.push_back(frame);
        } else {
            error = where + "unknown record '" + kind + "'";
            return false;
        }
    }
    return true;
}

int Build(const std::string& manifest, const std::string& output)
{
    std::vector<AnmClip> clips;
    std::string error;
    if (!ReadManifest(manifest, clips, error))
        return Fail(error);
    const std::vector<uint8_t> bytes = WriteAnm(clips);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return out ? 0 : Fail("cannot write " + output);
}

int Check(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Fail("cannot read " + path);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<AnmClip> clips;
    std::string error;
    if (!ParseAnm(bytes.data(), bytes.size(), clips, error))
        return Fail(path + ": " + error);
    for (const AnmClip& clip : clips)
        std::printf("%s %s width %d loop %d fps %d frames %zu\n", clip.name.c_str(), clip.file.c_str(), clip.width, clip.loop,
                    clip.fps, clip.frames.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build")
        return Build(args[1], args[2]);
    if (args.size() == 2 && args[0] == "check")
        return Check(args[1]);
    return Fail("usage: anmtool build <manifest> <file.anm> | anmtool check <file.anm>");
}
