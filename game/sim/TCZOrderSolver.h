#pragma once
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "game/sim/BoardObjects.h"
#include "game/sim/TCItemPart.h"

class TCItemList;

// Puts the level's parts in drawing order from their floor lines: a part whose line lies lower
// on the screen draws over the parts whose lines lie above it in the same columns; a part
// named as another's depth parent on the same object is followed by it; parts marked to be
// over everything come last.
//
// The depth map keeps, for each screen column, the rows its floor lines cross; the cell at
// (x, y) belongs to the nearest line at or above row y, the first registered on a tie.
class TCZOrderSolver : public TCZOrder {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;

    struct Cell {
        int depth = 0; // rows from the owner's line, plus one; 0 where no line lies above
        TCItemPart* owner = nullptr;
    };

    explicit TCZOrderSolver(TCItemList& items);

    // Every object registers its parts anew, then the order is built.
    void Rebuild() override;
    const std::vector<TCBoardPart*>& GetOrder() const override { return order_; }
    void Clear() override;

    // A part with a floor line (its points are kept on the screen), or one drawn after its
    // depth parent when that is a part of the same object.
    void RegisterPart(TCItemPart& part);
    void RegisterOverPart(TCItemPart& part);
    // Drawn right after its parent, wherever the parent goes.
    void RegisterChild(TCItemPart& parent, TCItemPart& child) { children_.emplace_back(&parent, &child); }
    void BuildOrder();
    // "debug_z.log" in the folder: the parts in drawing order. False when it cannot be written.
    bool DumpZOrder(const std::string& folder) const;

    // Valid once the order is built.
    Cell GetCell(int x, int y) const;
    const std::vector<TCItemPart*>& GetPartOrder() const { return parts_; }

private:
    struct Line {
        TCItemPart* part;
        TCItemPart::FloorLine points; // on the screen, ordered by x
        int floorY; // the lowest point's row
    };
    struct Crossing {
        int row;
        int line;
    };
    struct Place {
        int line = -1;
        int row = 0;
    };

    // The line nearest above row y in column x, or -1.
    Place NearestAt(int x, int y) const;
    template <class Visit>
    void ForEachColumn(const Line& line, Visit visit) const;
    // Puts each column in order of rows, then sorts the lines.
    std::vector<int> SortLines();
    void Emit(TCItemPart* part);

    TCItemList& items_;
    std::vector<Line> lines_;
    std::vector<std::vector<Crossing>> columns_; // by x, ordered by row, then registration
    std::vector<int> touched_;
    std::vector<std::pair<TCItemPart*, TCItemPart*>> children_; // (parent, child), registration order
    std::vector<TCItemPart*> over_;
    std::vector<TCItemPart*> parts_;
    std::unordered_set<TCItemPart*> emitted_;
    std::vector<TCBoardPart*> order_;
};
