#include "graphs/text_layout.h"

#include <algorithm>
#include <cmath>

#include "graphs/graph_fonts.h"

namespace graphs {

namespace {

// A font's cell height split at the baseline, as the faces the pictures use divide theirs.
constexpr double kAscentShare = 0.8;

constexpr char kEllipsis[] = "\xE2\x80\xA6";

bool Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t CodePoints(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return !Continuation(c); }));
}

}  // namespace

double EstimatedTextWidth(FontRole font, const std::string& utf8) {
    return 0.5 * FontFor(font).height * static_cast<double>(CodePoints(utf8));
}

double Ascent(FontRole font) {
    return kAscentShare * FontFor(font).height;
}

double Descent(FontRole font) {
    return (1.0 - kAscentShare) * FontFor(font).height;
}

Box TextBox(Point at, TextAlign align, FontRole font, double width) {
    double left = at.x;
    if (align == TextAlign::Centre) left -= width / 2;
    if (align == TextAlign::Right) left -= width;
    return {left, at.y - Descent(font), left + width, at.y + Ascent(font)};
}

// The longest start of the text that fits with the ellipsis, cut between characters. Widths
// grow with the text, so the cut is found by halving.
std::string FitText(const Canvas& canvas, FontRole font, const std::string& text, double room) {
    if (canvas.TextWidth(font, text) <= room) return text;
    std::vector<std::size_t> cuts;  // where each character starts
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!Continuation(text[i])) cuts.push_back(i);
    }
    const auto fits = [&](std::size_t cut) {
        return canvas.TextWidth(font, text.substr(0, cut) + kEllipsis) <= room;
    };
    std::size_t lo = 0, hi = cuts.empty() ? 0 : cuts.size() - 1;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        if (fits(cuts[mid])) {
            lo = mid;
        } else {
            hi = mid - 1;
        }
    }
    return text.substr(0, cuts.empty() ? 0 : cuts[lo]) + kEllipsis;
}

double MarginStart(double width, double left) {
    return std::max<double>(std::min<double>(left, margin::kRight - width), margin::kFarLeft);
}

std::vector<int> Stack(const std::vector<StackItem>& items, int start, int step, int limit,
                       const std::vector<Box>& obstacles) {
    std::vector<int> places;
    const bool up = step > 0;
    int at = start;
    for (const StackItem& item : items) {
        // Each move passes an obstacle for good, so this ends within as many moves as there
        // are obstacles.
        for (bool moved = true; moved;) {
            moved = false;
            const Box box{item.left, at - item.below, item.right, at + item.above};
            for (const Box& o : obstacles) {
                if (!box.Overlaps(o)) continue;
                at = up ? static_cast<int>(std::ceil(o.top + item.below))
                        : static_cast<int>(std::floor(o.bottom - item.above));
                moved = true;
                break;
            }
        }
        if (up ? at + item.above > limit : at - item.below < limit) break;
        places.push_back(at);
        at += step;
    }
    return places;
}

std::vector<bool> LabelsShown(const std::vector<Box>& labels, const std::vector<double>& k,
                              const std::vector<Box>& placed) {
    const std::size_t n = labels.size();
    std::vector<bool> shown(n, false);
    for (long stride = 1; stride <= static_cast<long>(std::max<std::size_t>(n, 1)); ++stride) {
        for (std::size_t i = 0; i < n; ++i) {
            shown[i] = std::fmod(std::fabs(k[i]), static_cast<double>(stride)) == 0.0;
        }
        bool clear = true;
        const Box* last = nullptr;
        for (std::size_t i = 0; i < n && clear; ++i) {
            if (!shown[i]) continue;
            if (last != nullptr && labels[i].Grown(kClearance).Overlaps(*last)) clear = false;
            last = &labels[i];
        }
        if (clear) break;
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (const Box& p : placed) {
            if (labels[i].Overlaps(p)) shown[i] = false;
        }
    }
    return shown;
}

}  // namespace graphs
