// Writes and checks the game's animation files.
//   anmtool build <manifest> <file.anm>   writes the clips the manifest describes
//   anmtool pack <manifest> <folder>      writes every file the manifest's "file" records start
//   anmtool check <file.anm>              reads the file as the game does and lists its clips and frames
// A manifest is plain text, one record a line; '#' starts a comment:
//   clip <name> <sheet image> <box width> <loop: 0 looped, 1 once, 2 once backward> <fps>
//   frame <source x> <source y> <width> <height> <offset x> <offset y>
//   strip <sheet image> <frame width> <frame height>   frames of equal size side by side
//   anim <name> <loop> <fps> <cell>...     a clip of the strip's cells (0 = leftmost)
//   file <name>                            (pack only) the clips below go to <folder>/<name>.anm
//   each <variable> <value>... / end       repeats the lines between for every value, with
//                                          {variable} replaced; loops nest
// Frames belong to the clip above them.
#include <cstdio>
#include <filesystem>
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

struct Line {
    std::string where; // "manifest:number: "
    std::string text;
};

struct Output {
    std::string name;
    std::vector<AnmClip> clips;
};

struct Strip {
    std::string file;
    int width = 0;
    int height = 0;
};

std::string Replace(std::string text, const std::string& variable, const std::string& value)
{
    const std::string key = "{" + variable + "}";
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
    return text;
}

// Unrolls the "each" loops of lines [begin, end) into out; false at an unbalanced loop.
bool Expand(const std::vector<Line>& lines, size_t begin, size_t end, std::vector<Line>& out, std::string& error)
{
    for (size_t i = begin; i < end; ++i) {
        std::istringstream fields(lines[i].text);
        std::string kind;
        fields >> kind;
        if (kind == "end") {
            error = lines[i].where + "'end' without 'each'";
            return false;
        }
        if (kind != "each") {
            out.push_back(lines[i]);
            continue;
        }
        std::string variable, value;
        std::vector<std::string> values;
        fields >> variable;
        while (fields >> value)
            values.push_back(value);
        if (variable.empty() || values.empty()) {
            error = lines[i].where + "each <variable> <value>...";
            return false;
        }
        size_t close = i + 1;
        for (int depth = 1; close < end; ++close) {
            std::istringstream inner(lines[close].text);
            std::string word;
            inner >> word;
            depth += word == "each" ? 1 : word == "end" ? -1 : 0;
            if (depth == 0)
                break;
        }
        if (close >= end) {
            error = lines[i].where + "'each' without 'end'";
            return false;
        }
        for (const std::string& v : values) {
            std::vector<Line> body;
            for (size_t k = i + 1; k < close; ++k)
                body.push_back({lines[k].where, Replace(lines[k].text, variable, v)});
            if (!Expand(body, 0, body.size(), out, error))
                return false;
        }
        i = close;
    }
    return true;
}

bool ReadLines(const std::string& path, std::vector<Line>& lines, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::vector<Line> raw;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number)
        raw.push_back({path + ":" + std::to_string(number) + ": ", text.substr(0, text.find('#'))});
    return Expand(raw, 0, raw.size(), lines, error);
}

bool CheckNames(const AnmClip& clip, const std::string& where, std::string& error)
{
    if (clip.name.size() > 63 || clip.file.size() > 63) {
        error = where + "names are at most 63 characters";
        return false;
    }
    return true;
}

// Reads the records into outputs; a manifest without "file" records gives one unnamed output.
bool ReadManifest(const std::string& path, std::vector<Output>& outputs, std::string& error)
{
    std::vector<Line> lines;
    if (!ReadLines(path, lines, error))
        return false;
    outputs.assign(1, Output{});
    Strip strip;
    for (const Line& line : lines) {
        std::istringstream fields(line.text);
        std::string kind;
        if (!(fields >> kind))
            continue;
        std::vector<AnmClip>& clips = outputs.back().clips;
        if (kind == "file") {
            Output next;
            if (!(fields >> next.name)) {
                error = line.where + "file <name>";
                return false;
            }
            outputs.push_back(next);
        } else if (kind == "clip") {
            AnmClip clip;
            if (!(fields >> clip.name >> clip.file >> clip.width >> clip.loop >> clip.fps)) {
                error = line.where + "clip <name> <sheet> <width> <loop> <fps>";
                return false;
            }
            if (!CheckNames(clip, line.where, error))
                return false;
            clips.push_back(clip);
        } else if (kind == "frame") {
            AnmFrame frame;
            if (clips.empty() || !(fields >> frame.srcX >> frame.srcY >> frame.width >> frame.height >> frame.offsetX >> frame.offsetY)) {
                error = line.where + "frame <x> <y> <width> <height> <offset x> <offset y>, after a clip";
                return false;
            }
            clips.back().frames.push_back(frame);
        } else if (kind == "strip") {
            if (!(fields >> strip.file >> strip.width >> strip.height) || strip.width <= 0 || strip.height <= 0) {
                error = line.where + "strip <sheet> <frame width> <frame height>";
                return false;
            }
        } else if (kind == "anim") {
            AnmClip clip;
            int cell = 0;
            if (strip.file.empty() || !(fields >> clip.name >> clip.loop >> clip.fps)) {
                error = line.where + "anim <name> <loop> <fps> <cell>..., after a strip";
                return false;
            }
            clip.file = strip.file;
            clip.width = strip.width;
            while (fields >> cell)
                clip.frames.push_back({cell * strip.width, 0, strip.width, strip.height, 0, 0});
            if (clip.frames.empty() || !fields.eof()) {
                error = line.where + "anim needs its cells as numbers";
                return false;
            }
            if (!CheckNames(clip, line.where, error))
                return false;
            clips.push_back(clip);
        } else {
            error = line.where + "unknown record '" + kind + "'";
            return false;
        }
    }
    return true;
}

bool WriteFile(const std::string& output, const std::vector<AnmClip>& clips)
{
    const std::vector<uint8_t> bytes = WriteAnm(clips);
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

int Build(const std::string& manifest, const std::string& output)
{
    std::vector<Output> outputs;
    std::string error;
    if (!ReadManifest(manifest, outputs, error))
        return Fail(error);
    if (outputs.size() != 1)
        return Fail(manifest + ": 'file' records need 'anmtool pack'");
    return WriteFile(output, outputs[0].clips) ? 0 : Fail("cannot write " + output);
}

int Pack(const std::string& manifest, const std::string& folder)
{
    std::vector<Output> outputs;
    std::string error;
    if (!ReadManifest(manifest, outputs, error))
        return Fail(error);
    if (!outputs[0].clips.empty())
        return Fail(manifest + ": clips before the first 'file' record");
    std::filesystem::create_directories(folder);
    for (size_t i = 1; i < outputs.size(); ++i) {
        const std::string path = (std::filesystem::path(folder) / (outputs[i].name + ".anm")).string();
        if (!WriteFile(path, outputs[i].clips))
            return Fail("cannot write " + path);
    }
    return 0;
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
    for (const AnmClip& clip : clips) {
        std::printf("%s %s width %d loop %d fps %d frames %zu\n", clip.name.c_str(), clip.file.c_str(), clip.width, clip.loop,
                    clip.fps, clip.frames.size());
        for (const AnmFrame& f : clip.frames)
            std::printf("  %d %d %d %d %d %d\n", f.srcX, f.srcY, f.width, f.height, f.offsetX, f.offsetY);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "build")
        return Build(args[1], args[2]);
    if (args.size() == 3 && args[0] == "pack")
        return Pack(args[1], args[2]);
    if (args.size() == 2 && args[0] == "check")
        return Check(args[1]);
    return Fail("usage: anmtool build <manifest> <file.anm> | anmtool pack <manifest> <folder> | anmtool check <file.anm>");
}
