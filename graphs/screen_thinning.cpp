#include "graphs/screen_thinning.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace graphs {

int PixelGrid::Column(int x) const {
    return static_cast<int>(std::floor(left + (x - geometry::kFrameLeft) * scale));
}

std::pair<int, int> PixelGrid::Nearest(Point p) const {
    return {static_cast<int>(std::lround(left + (p.x - geometry::kFrameLeft) * scale)),
            static_cast<int>(std::lround(top + (geometry::kFrameTop - p.y) * scale))};
}

// Offsets that differ by whole pixels are added to fractions differently rounded; a point that
// a billionth of a pixel moves into the next column is drawn the same either way.
bool PixelGrid::ThinsLike(const PixelGrid& other) const {
    constexpr double kSame = 1e-9;
    const auto samePhase = [](double a, double b) {
        const double d = std::abs(a - b);
        return std::abs(d - std::round(d)) < kSame;
    };
    return std::abs(scale - other.scale) < kSame && samePhase(left, other.left) &&
           samePhase(top, other.top);
}

namespace {

// Vertices of a chain of joined lines that share one pixel column.
struct ColumnGroup {
    int column = 0;
    std::size_t count = 0;  // vertices seen, 0 when the group is empty
    Point first, low, high, last;
    std::size_t lowAt = 0, highAt = 0;  // their places in the group, to keep the order
};

struct CircleKey {
    int column, row, radius;
    friend bool operator==(const CircleKey&, const CircleKey&) = default;
};

struct CircleKeyHash {
    std::size_t operator()(const CircleKey& k) const {
        const auto mix = [](std::uint64_t h, int v) {
            return (h ^ static_cast<std::uint32_t>(v)) * 0x100000001B3ULL;
        };
        return static_cast<std::size_t>(
            mix(mix(mix(0xCBF29CE484222325ULL, k.column), k.row), k.radius));
    }
};

class Thinner {
   public:
    Thinner(Picture& out, const PixelGrid& grid) : out_(out), grid_(grid) {}

    void operator()(const op::Line& o) {
        if (!chainOpen_ || !(chainEnd_ == o.from)) {
            EndChain();
            chainOpen_ = true;
            AddVertex(o.from);
        }
        AddVertex(o.to);
        chainEnd_ = o.to;
    }
    void operator()(const op::Circle& o) {
        const auto [column, row] = grid_.Nearest(o.centre);
        if (circleKeys_.insert({column, row, o.radius}).second) {
            circles_.push_back(o);
        }
    }
    void operator()(const op::Rect& o) {
        Flush();
        const bool flat = o.corner.x == o.opposite.x || o.corner.y == o.opposite.y;
        if (!o.outline && flat) return;
        out_.Rect(o.corner, o.opposite, o.fill, o.outline);
    }
    void operator()(const op::SetPen& o) {
        Flush();
        out_.SetPen(o.pen);
    }
    void operator()(const op::SetFont& o) {
        Flush();
        out_.SetFont(o.font);
    }
    void operator()(const op::SetTextAlign& o) {
        Flush();
        out_.SetTextAlign(o.align);
    }
    void operator()(const op::Text& o) {
        Flush();
        out_.Text(o.at, o.text);
    }

    // Draws what is held back: the open chain, a pending stem, the circles of the pen.
    void Flush() {
        EndChain();
        EndStem();
        for (const op::Circle& c : circles_) out_.Circle(c.centre, c.radius);
        circles_.clear();
        circleKeys_.clear();
    }

   private:
    void AddVertex(Point p) {
        const int column = grid_.Column(p.x);
        ColumnGroup& g = group_;
        if (g.count > 0 && column != g.column) EndGroup();
        if (g.count == 0) {
            g = ColumnGroup{column, 1, p, p, p, p, 0, 0};
            return;
        }
        // Picture y points up, rows down: the lowest value is the bottom of the column.
        if (p.y < g.low.y) {
            g.low = p;
            g.lowAt = g.count;
        }
        if (p.y > g.high.y) {
            g.high = p;
            g.highAt = g.count;
        }
        g.last = p;
        ++g.count;
    }

    void EndGroup() {
        ColumnGroup& g = group_;
        if (g.count == 0) return;
        const std::size_t lastAt = g.count - 1;
        Keep(g.first);
        const bool lowFirst = g.lowAt <= g.highAt;
        const Point a = lowFirst ? g.low : g.high, b = lowFirst ? g.high : g.low;
        const std::size_t aAt = lowFirst ? g.lowAt : g.highAt;
        const std::size_t bAt = lowFirst ? g.highAt : g.lowAt;
        if (aAt != 0 && aAt != lastAt) Keep(a);
        if (bAt != 0 && bAt != lastAt && bAt != aAt) Keep(b);
        if (lastAt != 0) Keep(g.last);
        g.count = 0;
    }

    // A kept vertex of the chain. The first line is held back until the chain shows whether
    // it is a single line, which may join the stem before it.
    void Keep(Point p) {
        switch (kept_) {
            case 0: first_ = p; break;
            case 1: second_ = p; break;
            case 2:
                EndStem();
                out_.Line(first_, second_);
                [[fallthrough]];
            default: out_.Line(second_, p); second_ = p;
        }
        ++kept_;
    }

    void EndChain() {
        if (!chainOpen_) return;
        EndGroup();
        if (kept_ == 2) {
            if (first_.x == second_.x) {
                AddStem(first_.x, std::min(first_.y, second_.y), std::max(first_.y, second_.y));
            } else {
                EndStem();
                out_.Line(first_, second_);
            }
        }
        kept_ = 0;
        chainOpen_ = false;
    }

    void AddStem(int x, int low, int high) {
        if (stem_ && stem_->x == x && low <= stem_->high && high >= stem_->low) {
            stem_->low = std::min(stem_->low, low);
            stem_->high = std::max(stem_->high, high);
            return;
        }
        EndStem();
        stem_ = Stem{x, low, high};
    }

    void EndStem() {
        if (!stem_) return;
        out_.Line({stem_->x, stem_->low}, {stem_->x, stem_->high});
        stem_.reset();
    }

    struct Stem {
        int x, low, high;
    };

    Picture& out_;
    const PixelGrid& grid_;
    bool chainOpen_ = false;
    Point chainEnd_;
    ColumnGroup group_;
    std::size_t kept_ = 0;  // vertices of the chain kept so far
    Point first_, second_;  // the first two; later, second_ is the last one drawn to
    std::optional<Stem> stem_;
    std::vector<op::Circle> circles_;
    std::unordered_set<CircleKey, CircleKeyHash> circleKeys_;
};

}  // namespace

Picture ThinForScreen(const Picture& picture, const PixelGrid& grid) {
    Picture out;
    Thinner thinner(out, grid);
    for (const PictureOp& o : picture.Ops()) std::visit(thinner, o);
    thinner.Flush();
    return out;
}

const Picture& ScreenCopy::For(const std::shared_ptr<const Picture>& picture,
                               const PixelGrid& grid) {
    if (picture != source_ || !grid.ThinsLike(grid_)) {
        thinned_ = ThinForScreen(*picture, grid);
        source_ = picture;
        grid_ = grid;
    }
    return thinned_;
}

}  // namespace graphs
