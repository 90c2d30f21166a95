#include "graphs/picture.h"

namespace graphs {

namespace {

struct Player {
    Canvas& c;
    void operator()(const op::SetPen& o) const { c.SetPen(o.pen); }
    void operator()(const op::SetFont& o) const { c.SetFont(o.font); }
    void operator()(const op::SetTextAlign& o) const { c.SetTextAlign(o.align); }
    void operator()(const op::Line& o) const { c.Line(o.from, o.to); }
    void operator()(const op::Rect& o) const { c.Rect(o.corner, o.opposite, o.fill, o.outline); }
    void operator()(const op::Circle& o) const { c.Circle(o.centre, o.radius); }
    void operator()(const op::Text& o) const { c.Text(o.at, o.text); }
};

}  // namespace

void Picture::Play(Canvas& target) const {
    const Player player{target};
    for (const PictureOp& o : ops_) std::visit(player, o);
}

}  // namespace graphs
