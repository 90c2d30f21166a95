#include "graphs/emf_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "graphs/graph_fonts.h"

namespace graphs {

namespace {

// Record types of the enhanced metafile format that pictures use.
enum class Emr : std::uint32_t {
    Header = 1,
    Eof = 14,
    SetMapMode = 17,
    SetBkMode = 18,
    SetTextAlign = 22,
    SetTextColor = 24,
    MoveToEx = 27,
    SelectObject = 37,
    CreatePen = 38,
    CreateBrushIndirect = 39,
    DeleteObject = 40,
    Ellipse = 42,
    Rectangle = 43,
    LineTo = 54,
    ExtCreatePen = 95,
    ExtCreateFontIndirectW = 82,
    ExtTextOutW = 84,
};

constexpr std::uint32_t kLowMetric = 2;  // 0.1 mm, y up
constexpr std::uint32_t kTransparent = 1;
constexpr std::uint32_t kAlignLeft = 0, kAlignRight = 2, kAlignCentre = 6, kAlignBaseline = 24;
constexpr std::uint32_t kPenSolid = 0, kPenDash = 1, kPenDot = 2, kPenDashDot = 3,
                        kPenDashDotDot = 4;
constexpr std::uint32_t kPenGeometric = 0x10000, kPenFlatEnds = 0x200;
constexpr std::uint32_t kBrushSolid = 0;
constexpr std::uint32_t kWeightNormal = 400, kWeightBold = 700;
constexpr std::uint8_t kVariablePitch = 2, kFamilyRoman = 0x10, kFamilySwiss = 0x20;
constexpr std::uint8_t kPanoseNoFit = 1;
constexpr std::uint32_t kGraphicsCompatible = 1;
constexpr std::uint32_t kFloatOne = 0x3F800000;  // 1.0f, the text scales
// Stock objects are named by this bit and their number.
constexpr std::uint32_t kStock = 0x80000000;
constexpr std::uint32_t kWhiteBrush = kStock | 0, kNullBrush = kStock | 5, kBlackPen = kStock | 7,
                        kNullPen = kStock | 8, kSystemFont = kStock | 13;

// The reference device the header names: a screen of 1024 by 768 pixels, 320 by 240 mm.
constexpr std::int32_t kDeviceWidth = 1024, kDeviceHeight = 768;
constexpr std::int32_t kDeviceWidthMm = 320, kDeviceHeightMm = 240;
constexpr std::uint32_t kHeaderSize = 108;        // the header with both of its extensions
constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kVersion = 0x10000;
// Application name and picture name, each ending in a zero, the pair in a second zero.
constexpr std::u16string_view kDescription{u"Valdrix\0Moj EMF\0\0", 17};
constexpr std::size_t kFaceChars = 32, kFullNameChars = 64, kStyleChars = 32;
constexpr std::uint32_t kTextHeaderSize = 76;  // an ExtTextOutW record before its characters
// The header counts the file's bytes in 32 bits: a larger picture cannot be described.
constexpr std::uint64_t kMaxFileBytes = std::numeric_limits<std::uint32_t>::max();

// The little-endian bytes of one record; its size is filled in when it is taken.
class Record {
   public:
    explicit Record(Emr type) { U32(static_cast<std::uint32_t>(type)).U32(0); }
    Record& U32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back((v >> shift) & 0xFF);
        return *this;
    }
    Record& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    Record& Byte(std::uint8_t v) {
        bytes_.push_back(v);
        return *this;
    }
    // `chars` UTF-16 units: the text, cut or padded with zeros.
    Record& Wide(std::u16string_view text, std::size_t chars) {
        for (std::size_t i = 0; i < chars; ++i) {
            const char16_t c = i < text.size() ? text[i] : u'\0';
            Byte(c & 0xFF).Byte(static_cast<std::uint8_t>(c >> 8));
        }
        return *this;
    }
    Record& PadToWord() {
        while (bytes_.size() % 4 != 0) bytes_.push_back(0);
        return *this;
    }
    const std::vector<unsigned char>& Bytes() {
        const auto size = static_cast<std::uint32_t>(bytes_.size());
        for (int k = 0; k < 4; ++k) bytes_[4 + k] = (size >> (8 * k)) & 0xFF;
        return bytes_;
    }

   private:
    std::vector<unsigned char> bytes_;
};

Record Simple(Emr type, std::uint32_t value) {
    Record r(type);
    r.U32(value);
    return r;
}

Record Box(Emr type, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    Record r(type);
    r.I32(left).I32(top).I32(right).I32(bottom);
    return r;
}

// Frame coordinates (hundredths of a millimetre) on the reference device.
std::int32_t DevicePixels(std::int32_t hundredths, std::int32_t pixels, std::int32_t mm) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(hundredths) * pixels / (mm * 100));
}

Record Header(std::uint64_t bytes, std::uint32_t records, std::uint32_t handles) {
    constexpr std::int32_t left = -geometry::kWidth, bottom = -geometry::kHeight;
    constexpr std::int32_t right = geometry::kWidth + 2 * geometry::kMargin,
                           top = geometry::kHeight;
    Record r(Emr::Header);
    r.I32(DevicePixels(left, kDeviceWidth, kDeviceWidthMm))
        .I32(DevicePixels(bottom, kDeviceHeight, kDeviceHeightMm))
        .I32(DevicePixels(right, kDeviceWidth, kDeviceWidthMm))
        .I32(DevicePixels(top, kDeviceHeight, kDeviceHeightMm));
    r.I32(left).I32(bottom).I32(right).I32(top);
    r.U32(kSignature).U32(kVersion).U32(static_cast<std::uint32_t>(bytes)).U32(records);
    r.U32(handles);  // a 16-bit count and 16 reserved bits
    r.U32(static_cast<std::uint32_t>(kDescription.size())).U32(kHeaderSize).U32(0);
    r.I32(kDeviceWidth).I32(kDeviceHeight).I32(kDeviceWidthMm).I32(kDeviceHeightMm);
    r.U32(0).U32(0).U32(0);  // no pixel format, no OpenGL
    r.I32(kDeviceWidthMm * 1000).I32(kDeviceHeightMm * 1000);
    r.Wide(kDescription, kDescription.size()).PadToWord();
    return r;
}

// Records go to the file one by one as the picture plays, so writing holds one record in
// memory however long the picture is.
class RecordFile {
   public:
    explicit RecordFile(FILE* file) : file_(file) {}
    void Write(Record record) {
        const std::vector<unsigned char>& bytes = record.Bytes();
        bytes_ += bytes.size();
        ++records_;
        if (bytes_ > kMaxFileBytes) failed_ = true;
        if (!failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
            failed_ = true;
    }
    // The header goes first with its counts unknown, and again over itself at the end.
    bool Rewind(Record header) {
        if (failed_ || std::fseek(file_, 0, SEEK_SET) != 0) return false;
        const std::vector<unsigned char>& bytes = header.Bytes();
        return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
    }
    std::uint64_t Bytes() const { return bytes_; }
    std::uint32_t Records() const { return records_; }

   private:
    FILE* file_;
    std::uint64_t bytes_ = 0;
    std::uint32_t records_ = 0;
    bool failed_ = false;
};

// The canvas over a metafile. Pens, brushes and fonts are created once each and selected
// again when needed, so a picture with thousands of segments holds few objects.
class EmfCanvas : public Canvas {
   public:
    explicit EmfCanvas(RecordFile& out) : out_(out) {
        out_.Write(Simple(Emr::SetMapMode, kLowMetric));
        out_.Write(Simple(Emr::SetBkMode, kTransparent));
        out_.Write(Simple(Emr::SetTextColor, kBlack));
        SetTextAlign(TextAlign::Left);
        SetFont(FontRole::General);
        SetPen(Pen{});
    }

    // Selects the stock objects again and deletes the picture's own, as a device context is
    // left before it closes. Returns the handle count the header declares.
    std::uint32_t Finish() {
        out_.Write(Simple(Emr::SelectObject, kBlackPen));
        out_.Write(Simple(Emr::SelectObject, kWhiteBrush));
        out_.Write(Simple(Emr::SelectObject, kSystemFont));
        for (std::uint32_t h = 1; h < nextHandle_; ++h) out_.Write(Simple(Emr::DeleteObject, h));
        return nextHandle_;
    }

    void SetPen(const Pen& pen) override {
        pen_ = PenHandle(pen);
        out_.Write(Simple(Emr::SelectObject, pen_));
    }
    void SetFont(FontRole role) override {
        std::uint32_t& f = fonts_[static_cast<int>(role)];
        if (f == 0) f = CreateFont(FontFor(role));
        out_.Write(Simple(Emr::SelectObject, f));
    }
    void SetTextAlign(TextAlign align) override {
        std::uint32_t h = kAlignLeft;
        switch (align) {
            case TextAlign::Left: h = kAlignLeft; break;
            case TextAlign::Centre: h = kAlignCentre; break;
            case TextAlign::Right: h = kAlignRight; break;
        }
        out_.Write(Simple(Emr::SetTextAlign, h | kAlignBaseline));
    }
    void Line(Point from, Point to) override {
        if (at_ != from) out_.Write(Point2(Emr::MoveToEx, from));
        out_.Write(Point2(Emr::LineTo, to));
        at_ = to;
    }
    void Rect(Point corner, Point opposite, GraphColour fill, bool outline) override {
        out_.Write(Simple(Emr::SelectObject, BrushHandle(fill)));
        if (!outline) out_.Write(Simple(Emr::SelectObject, kNullPen));
        // With y up, the larger y is the top of the rectangle.
        out_.Write(Box(Emr::Rectangle, std::min(corner.x, opposite.x),
                       std::max(corner.y, opposite.y), std::max(corner.x, opposite.x),
                       std::min(corner.y, opposite.y)));
        if (!outline) out_.Write(Simple(Emr::SelectObject, pen_));
    }
    void Circle(Point c, int r) override {
        out_.Write(Simple(Emr::SelectObject, kNullBrush));
        out_.Write(Box(Emr::Ellipse, c.x - r, c.y + r, c.x + r, c.y - r));
    }
    void Text(Point at, const std::string& utf8) override {
        if (utf8.empty()) return;
        const std::u16string text = Utf16FromUtf8(utf8);
        Record r(Emr::ExtTextOutW);
        r.I32(0).I32(0).I32(-1).I32(-1);  // bounds not computed
        r.U32(kGraphicsCompatible).U32(kFloatOne).U32(kFloatOne);
        r.I32(at.x).I32(at.y).U32(static_cast<std::uint32_t>(text.size())).U32(kTextHeaderSize);
        r.U32(0).I32(0).I32(0).I32(-1).I32(-1);   // no options, no clipping rectangle
        r.U32(0);                                 // no spacing array
        r.Wide(text, (text.size() + 3) / 4 * 4);  // characters in whole groups of four
        out_.Write(std::move(r));
    }

    // The texts were placed when the picture was recorded; the metafile only names the faces.
    double TextWidth(FontRole font, const std::string& utf8) const override {
        return EstimatedTextWidth(font, utf8);
    }

   private:
    static Record Point2(Emr type, Point p) {
        Record r(type);
        r.I32(p.x).I32(p.y);
        return r;
    }
    // Readers draw a simple pen wider than one unit solid whatever its style, so wide patterned
    // pens are geometric ones with flat ends, as the other devices draw them.
    std::uint32_t PenHandle(const Pen& pen) {
        for (const auto& [p, handle] : pens_) {
            if (p == pen) return handle;
        }
        const std::uint32_t h = nextHandle_++;
        if (pen.style != PenStyle::Solid && pen.width > 1) {
            Record r(Emr::ExtCreatePen);
            r.U32(h).U32(0).U32(0).U32(0).U32(0);  // no brush bitmap
            r.U32(kPenGeometric | kPenFlatEnds | EmfStyle(pen.style)).U32(pen.width);
            r.U32(kBrushSolid).U32(pen.colour).U32(0).U32(0);  // no hatch, no own dashes
            out_.Write(std::move(r));
        } else {
            Record r(Emr::CreatePen);
            r.U32(h).U32(EmfStyle(pen.style)).I32(pen.width).I32(0).U32(pen.colour);
            out_.Write(std::move(r));
        }
        pens_.emplace_back(pen, h);
        return h;
    }
    static std::uint32_t EmfStyle(PenStyle style) {
        switch (style) {
            case PenStyle::Solid: return kPenSolid;
            case PenStyle::Dotted: return kPenDot;
            case PenStyle::Dashed: return kPenDash;
            case PenStyle::DashDotted: return kPenDashDot;
            case PenStyle::DashDotDotted: return kPenDashDotDot;
        }
        return kPenSolid;
    }
    std::uint32_t BrushHandle(GraphColour colour) {
        for (const auto& [c, handle] : brushes_) {
            if (c == colour) return handle;
        }
        const std::uint32_t h = nextHandle_++;
        Record r(Emr::CreateBrushIndirect);
        r.U32(h).U32(kBrushSolid).U32(colour).U32(0);
        out_.Write(std::move(r));
        brushes_.emplace_back(colour, h);
        return h;
    }
    std::uint32_t CreateFont(const FontSpec& face) {
        const std::uint32_t h = nextHandle_++;
        Record r(Emr::ExtCreateFontIndirectW);
        r.U32(h).I32(face.height).I32(0).I32(0).I32(0);
        r.U32(face.bold ? kWeightBold : kWeightNormal);
        r.Byte(0).Byte(0).Byte(0).Byte(0);  // not italic, underlined or struck out; ANSI
        r.Byte(0).Byte(0).Byte(0);          // default precision, clipping and quality
        r.Byte(kVariablePitch | (face.serif ? kFamilyRoman : kFamilySwiss));
        r.Wide(Utf16FromUtf8(face.emfFace), kFaceChars);
        r.Wide({}, kFullNameChars).Wide({}, kStyleChars);
        for (int i = 0; i < 6; ++i) r.U32(0);  // version, style size, match, vendor, culture
        for (int i = 0; i < 10; ++i) r.Byte(kPanoseNoFit);
        r.PadToWord();
        out_.Write(std::move(r));
        return h;
    }

    RecordFile& out_;
    std::uint32_t nextHandle_ = 1;  // handle 0 is the metafile itself
    std::uint32_t pen_ = 0;         // the selected pen
    std::optional<Point> at_;       // the current position, once a line has set it
    std::vector<std::pair<Pen, std::uint32_t>> pens_;
    std::vector<std::pair<GraphColour, std::uint32_t>> brushes_;
    std::uint32_t fonts_[3] = {0, 0, 0};
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
    RecordFile out(file);
    out.Write(Header(0, 0, 0));
    std::uint32_t handles = 0;
    {
        EmfCanvas canvas(out);
        picture.Play(canvas);
        handles = canvas.Finish();
    }
    Record eof(Emr::Eof);
    eof.U32(0).U32(16).U32(20);  // no palette; the record's own size last
    out.Write(std::move(eof));
    const bool written =
        out.Rewind(Header(out.Bytes(), out.Records(), handles)) && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace graphs
