#include "graphs/emf_writer.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "graphs/graph_fonts.h"

// libEMF's headers define min, max, TRUE and ERROR; they come last and stay in this file.
#define NOMINMAX
#include <libEMF/emf.h>

namespace graphs {

namespace {

// libEMF's WCHAR is 16 bits wide, as char16_t is.
static_assert(sizeof(WCHAR) == sizeof(char16_t));
LPCWSTR Wide(const std::u16string& s) {
    return reinterpret_cast<LPCWSTR>(s.c_str());
}

// The canvas over a metafile device context. Pens, brushes and fonts are created once each
// and selected again when needed, so a picture with thousands of segments holds few objects.
class EmfCanvas : public Canvas {
   public:
    explicit EmfCanvas(HDC dc) : dc_(dc) {
        SetMapMode(dc_, MM_LOMETRIC);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, RGB(0, 0, 0));
        SetTextAlign(TextAlign::Left);
        SetFont(FontRole::General);
        SetPen(Pen{});
    }
    ~EmfCanvas() override {
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        SelectObject(dc_, GetStockObject(WHITE_BRUSH));
        SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        for (auto& [pen, handle] : pens_) DeleteObject(handle);
        for (auto& [colour, handle] : brushes_) DeleteObject(handle);
        for (HFONT f : fonts_) {
            if (f != 0) DeleteObject(f);
        }
    }

    void SetPen(const Pen& pen) override {
        pen_ = PenHandle(pen);
        SelectObject(dc_, pen_);
    }
    void SetFont(FontRole role) override {
        HFONT& f = fonts_[static_cast<int>(role)];
        if (f == 0) {
            const FontSpec& fontStyle = FontFor(role);
            const std::u16string face = Utf16FromUtf8(fontStyle.emfFace);
            f = CreateFontW(fontStyle.height, 0, 0, 0, fontStyle.bold ? FW_BOLD : FW_NORMAL, 0, 0,
                            0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY,
                            VARIABLE_PITCH | (fontStyle.serif ? FF_ROMAN : FF_SWISS), Wide(face));
        }
        SelectObject(dc_, f);
    }
    void SetTextAlign(TextAlign align) override {
        UINT h = TA_LEFT;
        switch (align) {
            case TextAlign::Left: h = TA_LEFT; break;
            case TextAlign::Centre: h = TA_CENTER; break;
            case TextAlign::Right: h = TA_RIGHT; break;
        }
        ::SetTextAlign(dc_, h | TA_BASELINE | TA_NOUPDATECP);
    }
    void Line(Point from, Point to) override {
        if (!(at_ == from)) MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
        at_ = to;
    }
    void Rect(Point corner, Point opposite, GraphColour fill, bool outline) override {
        SelectObject(dc_, BrushHandle(fill));
        if (!outline) SelectObject(dc_, GetStockObject(NULL_PEN));
        // With y up, the larger y is the top of the rectangle.
        Rectangle(dc_, std::min(corner.x, opposite.x), std::max(corner.y, opposite.y),
                  std::max(corner.x, opposite.x), std::min(corner.y, opposite.y));
        if (!outline) SelectObject(dc_, pen_);
    }
    void Circle(Point c, int r) override {
        SelectObject(dc_, GetStockObject(NULL_BRUSH));
        Ellipse(dc_, c.x - r, c.y + r, c.x + r, c.y - r);
    }
    void Text(Point at, const std::string& utf8) override {
        if (utf8.empty()) return;
        const std::u16string text = Utf16FromUtf8(utf8);
        TextOutW(dc_, at.x, at.y, Wide(text), static_cast<int>(text.size()));
    }

   private:
    HPEN PenHandle(const Pen& pen) {
        for (auto& [p, handle] : pens_) {
            if (p == pen) return handle;
        }
        const HPEN h =
            CreatePen(pen.style == PenStyle::Dotted ? PS_DOT : PS_SOLID, pen.width, pen.colour);
        pens_.emplace_back(pen, h);
        return h;
    }
    HBRUSH BrushHandle(GraphColour colour) {
        for (auto& [c, handle] : brushes_) {
            if (c == colour) return handle;
        }
        const HBRUSH h = CreateSolidBrush(colour);
        brushes_.emplace_back(colour, h);
        return h;
    }

    HDC dc_;
    HPEN pen_ = 0;
    Point at_{kNoPoint, kNoPoint};
    std::vector<std::pair<Pen, HPEN>> pens_;
    std::vector<std::pair<GraphColour, HBRUSH>> brushes_;
    HFONT fonts_[3] = {0, 0, 0};
    static constexpr int kNoPoint = -32768;  // outside every picture: the first line moves there
};

}  // namespace

std::u16string Utf16FromUtf8(const std::string& text) {
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = lead;
        if (lead >= 0xF0 && lead < 0xF8) {
            extra = 3;
            cp = lead & 0x07;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xC0 && lead < 0xE0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0x80) {
            extra = -1;  // a continuation byte without its lead
        }
        bool ok = extra >= 0 && i + extra < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

bool WriteEmf(const Picture& picture, const std::string& path) {
    const std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    // The frame is given in hundredths of a millimetre.
    const RECT frame{-geometry::kWidth, -geometry::kHeight,
                     geometry::kWidth + 2 * geometry::kMargin, geometry::kHeight};
    // Application name and picture name, each ending in a zero, the pair in a second zero.
    static const std::u16string description(u"Valdrix\0Moj EMF\0", 16);
    const HDC dc = CreateEnhMetaFileWithFILEW(0, file, &frame, Wide(description));
    if (dc == 0) {
        std::fclose(file);
        std::remove(temporary.c_str());
        return false;
    }
    {
        EmfCanvas canvas(dc);
        picture.Play(canvas);
    }
    const HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc);
    DeleteEnhMetaFile(metafile);
    const bool written = std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace graphs
