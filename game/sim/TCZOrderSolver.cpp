#include "game/sim/TCZOrderSolver.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <queue>

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "framework/app/NubraAppBase.h"
#include "game/sim/TCItem.h"
#include "game/sim/TCItemList.h"

namespace {

std::string PartPath(const TCItemPart& part) { return part.GetOwner().GetName() + ":" + part.GetName(); }

} // namespace

TCZOrderSolver::TCZOrderSolver(TCItemList& items) : items_(items), columns_(kWidth) {}

void TCZOrderSolver::Clear()
{
    for (int x : touched_)
        columns_[size_t(x)].clear();
    touched_.clear();
    lines_.clear();
    children_.clear();
    over_.clear();
    parts_.clear();
    order_.clear();
}

void TCZOrderSolver::Rebuild()
{
    Clear();
    for (const auto& item : items_.GetItems())
        item->RegisterZOrder(*this);
    BuildOrder();
    if (IsDeveloperMode() && DebugSettings().AutoDumpZOrder)
        DumpZOrder(Nubra::gNubraAppBase ? Nubra::gNubraAppBase->GetAppDataFolder() : ".");
}

void TCZOrderSolver::RegisterOverPart(TCItemPart& part) { over_.push_back(&part); }

template <class Visit>
void TCZOrderSolver::ForEachColumn(const Line& line, Visit visit) const
{
    for (int segment = 0; segment < 2; ++segment) {
        const Nubra::Point left = line.points[size_t(segment)], right = line.points[size_t(segment) + 1];
        for (int x = left.x; x < right.x; ++x)
            visit(x, left.y + (x - left.x) * (right.y - left.y) / (right.x - left.x));
    }
}

void TCZOrderSolver::RegisterPart(TCItemPart& part)
{
    const std::string& parent = part.GetZParentName();
    if (!parent.empty()) {
        TCItemPart* found = part.GetOwner().FindPart(parent);
        if (found && found != &part) {
            children_.emplace_back(found, &part);
            return;
        }
    }
    // Kept on the screen, so a walker at its edge still has its place in depth.
    Line line{&part, part.GetFloorLine(), 0};
    for (Nubra::Point& point : line.points) {
        point.x = std::clamp(point.x, 0, kWidth - 1);
        point.y = std::clamp(point.y, 0, kHeight - 1);
        line.floorY = std::max(line.floorY, point.y);
    }
    std::sort(line.points.begin(), line.points.end(), [](Nubra::Point a, Nubra::Point b) { return a.x < b.x; });
    const int index = int(lines_.size());
    lines_.push_back(line);
    ForEachColumn(line, [this, index](int x, int y) {
        std::vector<Crossing>& column = columns_[size_t(x)];
        if (column.empty())
            touched_.push_back(x);
        column.push_back({y, index});
    });
}

TCZOrderSolver::Place TCZOrderSolver::NearestAt(int x, int y) const
{
    if (x < 0 || x >= kWidth || y < 0)
        return {};
    const std::vector<Crossing>& column = columns_[size_t(x)];
    auto above = std::upper_bound(column.begin(), column.end(), y,
                                  [](int row, const Crossing& crossing) { return row < crossing.row; });
    if (above == column.begin())
        return {};
    const int row = std::prev(above)->row;
    // Of lines on the same row the first registered holds the cell.
    const auto first = std::lower_bound(column.begin(), above, row,
                                        [](const Crossing& crossing, int r) { return crossing.row < r; });
    return {first->line, row};
}

TCZOrderSolver::Cell TCZOrderSolver::GetCell(int x, int y) const
{
    const Place place = NearestAt(x, std::min(y, kHeight - 1));
    if (place.line < 0)
        return {};
    return {y - place.row + 1, lines_[size_t(place.line)].part};
}

// Each line goes after the nearest line above it in every column it crosses, read one row
// above its own, where its own cells do not hide the others. Free lines go highest first,
// then in registration order; a cycle is broken the same way.
std::vector<int> TCZOrderSolver::SortLines()
{
    const size_t count = lines_.size();
    std::vector<std::vector<int>> after(count);
    std::vector<int> waiting(count, 0);
    // A repeated edge only counts twice on both sides; most repeats come from the next column.
    std::vector<int> lastBehind(count, -1);
    for (int x : touched_) {
        std::vector<Crossing>& column = columns_[size_t(x)];
        std::sort(column.begin(), column.end(),
                  [](const Crossing& a, const Crossing& b) { return a.row != b.row ? a.row < b.row : a.line < b.line; });
        // Of lines on one row the first registered holds the cells below.
        size_t run = 0;
        int behind = -1;
        for (size_t k = 0; k < column.size(); ++k) {
            if (k > 0 && column[k].row != column[k - 1].row) {
                behind = column[run].line;
                run = k;
            }
            const int front = column[k].line;
            if (behind < 0 || lastBehind[size_t(front)] == behind)
                continue;
            lastBehind[size_t(front)] = behind;
            after[size_t(behind)].push_back(front);
            ++waiting[size_t(front)];
        }
    }
    auto later = [this](int a, int b) {
        const int ya = lines_[size_t(a)].floorY, yb = lines_[size_t(b)].floorY;
        return ya != yb ? ya > yb : a > b;
    };
    std::priority_queue<int, std::vector<int>, decltype(later)> ready(later);
    for (size_t i = 0; i < count; ++i)
        if (waiting[i] == 0)
            ready.push(int(i));
    std::vector<int> sorted;
    std::vector<bool> done(count, false);
    sorted.reserve(count);
    while (sorted.size() < count) {
        int next = -1;
        if (!ready.empty()) {
            next = ready.top();
            ready.pop();
        } else {
            for (size_t i = 0; i < count; ++i)
                if (!done[i] && (next < 0 || later(next, int(i))))
                    next = int(i);
        }
        if (done[size_t(next)])
            continue;
        done[size_t(next)] = true;
        sorted.push_back(next);
        for (int successor : after[size_t(next)])
            if (--waiting[size_t(successor)] == 0 && !done[size_t(successor)])
                ready.push(successor);
    }
    return sorted;
}

void TCZOrderSolver::Emit(TCItemPart* part)
{
    if (!emitted_.insert(part).second)
        return;
    parts_.push_back(part);
    for (const auto& [parent, child] : children_)
        if (parent == part)
            Emit(child);
}

void TCZOrderSolver::BuildOrder()
{
    parts_.clear();
    emitted_.clear();
    for (int line : SortLines())
        Emit(lines_[size_t(line)].part);
    for (TCItemPart* part : over_)
        Emit(part);
    for (const auto& [parent, child] : children_) {
        if (emitted_.count(child))
            continue;
        WriteLog("WARNING: Invalid part (no zorder, no zparent): <%s:%s>", child->GetOwner().GetName().c_str(),
                 child->GetName().c_str());
        Emit(child);
    }
    order_.assign(parts_.begin(), parts_.end());
}

bool TCZOrderSolver::DumpZOrder(const std::string& folder) const
{
    const std::string path = (std::filesystem::path(folder) / "debug_z.log").string();
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    std::fputs("============================================\n ZOrder\n", file);
    for (const TCItemPart* part : parts_)
        std::fprintf(file, "Object: <%s>\n", PartPath(*part).c_str());
    return std::fclose(file) == 0;
}
