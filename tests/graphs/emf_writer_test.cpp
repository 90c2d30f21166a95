#include "graphs/emf_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

#include "graph_test_files.h"
#include "graphs/graph_renderer.h"

using namespace graphs;

namespace {

// Record types of the enhanced metafile format used here.
enum : std::uint32_t {
    kHeader = 1,
    kEof = 14,
    kSetMapMode = 17,
    kSetBkMode = 18,
    kSetTextAlign = 22,
    kMoveTo = 27,
    kCreatePen = 38,
    kEllipse = 42,
    kRectangle = 43,
    kLineTo = 54,
    kCreateFont = 82,
    kTextOut = 84,
};

struct Record {
    std::uint32_t type;
    std::vector<unsigned char> bytes;  // the whole record
    std::int32_t Int(std::size_t at) const {
        std::int32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    std::u16string Wide(std::size_t at, std::size_t chars) const {
        std::u16string s(chars, u'\0');
        std::memcpy(s.data(), bytes.data() + at, 2 * chars);
        return s;
    }
};

struct Metafile {
    std::size_t fileSize = 0;
    std::vector<Record> records;
    std::vector<const Record*> Of(std::uint32_t type) const {
        std::vector<const Record*> found;
        for (const Record& r : records) {
            if (r.type == type) found.push_back(&r);
        }
        return found;
    }
    std::vector<std::u16string> Texts() const {
        std::vector<std::u16string> texts;
        for (const Record* r : Of(kTextOut)) texts.push_back(r->Wide(r->Int(48), r->Int(44)));
        return texts;
    }
};

// Walks the record stream: every record gives its type and size; sizes must tile the file.
Metafile Parse(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    Metafile m;
    m.fileSize = data.size();
    std::size_t at = 0;
    while (at + 8 <= data.size()) {
        std::uint32_t type, size;
        std::memcpy(&type, &data[at], 4);
        std::memcpy(&size, &data[at + 4], 4);
        if (size < 8 || size % 4 != 0 || at + size > data.size()) {
            ADD_FAILURE() << "bad record size " << size << " at " << at;
            break;
        }
        m.records.push_back(
            {type, std::vector<unsigned char>(data.begin() + at, data.begin() + at + size)});
        at += size;
    }
    EXPECT_EQ(at, data.size());
    return m;
}

}  // namespace

TEST(EmfWriter, HeaderDescribesAFrameOf120By70MillimetresInLowMetric) {
    ScratchFolder dir("emf-header");
    Picture p;
    p.Line({0, 0}, {10, 10});
    ASSERT_TRUE(WriteEmf(p, dir.File("h.emf")));
    const Metafile m = Parse(dir.File("h.emf"));
    ASSERT_FALSE(m.records.empty());
    const Record& h = m.records.front();
    ASSERT_EQ(h.type, kHeader);
    EXPECT_EQ(h.Int(40), 0x464D4520);  // " EMF"
    EXPECT_EQ(static_cast<std::size_t>(h.Int(48)), m.fileSize);
    EXPECT_EQ(static_cast<std::size_t>(h.Int(52)), m.records.size());
    EXPECT_EQ((std::vector<int>{h.Int(24), h.Int(28), h.Int(32), h.Int(36)}),
              (std::vector<int>{-5000, -3500, 7000, 3500}));
    const std::u16string description = h.Wide(h.Int(64), h.Int(60));
    EXPECT_NE(description.find(u"Moj EMF"), std::u16string::npos);
    EXPECT_EQ(m.records.back().type, kEof);
    ASSERT_EQ(m.Of(kSetMapMode).size(), 1u);
    EXPECT_EQ(m.Of(kSetMapMode)[0]->Int(8), 2);  // MM_LOMETRIC
    EXPECT_EQ(m.Of(kSetBkMode)[0]->Int(8), 1);   // TRANSPARENT
}

TEST(EmfWriter, RecordsHoldTheShapesPensFontsAndTextsOfThePicture) {
    ScratchFolder dir("emf-records");
    Picture p;
    p.SetPen(kGridPen);
    p.Line({-380, -250}, {-380, 250});
    p.SetPen({MakeColour(10, 20, 30), PenStyle::Solid, 3});
    p.Line({-380, 250}, {0, 0});
    p.Line({0, 0}, {100, 50});  // continues from where the last line ended
    p.Rect({490, 270}, {520, 300}, kBlue, false);
    p.Circle({5, 6}, 7);
    p.SetTextAlign(TextAlign::Right);
    p.Text({430, 260}, "x10");
    p.SetFont(FontRole::Exponent);
    p.Text({425, 280}, "\xCE\xB1=-3");  // Greek alpha
    ASSERT_TRUE(WriteEmf(p, dir.File("r.emf")));
    const Metafile m = Parse(dir.File("r.emf"));

    EXPECT_EQ(m.Of(kMoveTo).size(), 1u);
    const auto lines = m.Of(kLineTo);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2]->Int(8), 100);
    EXPECT_EQ(lines[2]->Int(12), 50);

    const auto pens = m.Of(kCreatePen);
    ASSERT_GE(pens.size(), 2u);
    const auto dotted =
        std::find_if(pens.begin(), pens.end(), [](const Record* r) { return r->Int(12) == 2; });
    ASSERT_NE(dotted, pens.end());  // PS_DOT is 2
    EXPECT_EQ(static_cast<std::uint32_t>((*dotted)->Int(24)), kGridGrey);
    EXPECT_TRUE(std::any_of(pens.begin(), pens.end(), [](const Record* r) {
        return r->Int(12) == 0 && r->Int(16) == 3 &&
               static_cast<std::uint32_t>(r->Int(24)) == MakeColour(10, 20, 30);
    }));

    // With y up the top of a box is its larger y.
    ASSERT_EQ(m.Of(kRectangle).size(), 1u);
    const Record& rect = *m.Of(kRectangle)[0];
    EXPECT_EQ((std::vector<int>{rect.Int(8), rect.Int(12), rect.Int(16), rect.Int(20)}),
              (std::vector<int>{490, 300, 520, 270}));
    ASSERT_EQ(m.Of(kEllipse).size(), 1u);
    EXPECT_EQ(m.Of(kEllipse)[0]->Int(8), -2);
    EXPECT_EQ(m.Of(kEllipse)[0]->Int(12), 13);

    EXPECT_EQ(m.Texts(), (std::vector<std::u16string>{u"x10", u"\u03B1=-3"}));
    const auto aligns = m.Of(kSetTextAlign);
    EXPECT_TRUE(std::any_of(aligns.begin(), aligns.end(),
                            [](const Record* r) { return r->Int(8) == (2 | 24); }));
    std::vector<std::pair<int, std::u16string>> fonts;
    for (const Record* f : m.Of(kCreateFont)) {
        const std::u16string face = f->Wide(40, 32);
        fonts.emplace_back(f->Int(12), face.substr(0, face.find(u'\0')));
    }
    EXPECT_EQ(fonts, (std::vector<std::pair<int, std::u16string>>{{30, u"Times New Roman"},
                                                                  {15, u"Arial"}}));
}

TEST(EmfWriter, ARenderedGraphWritesOneRecordPerLineAndText) {
    ScratchFolder dir("emf-graph");
    GraphCurve c;
    c.xName = c.xTitle = "a";
    c.yName = c.yTitle = "r";
    const std::vector<float> x{0.1f, 0.5f, 1.0f, 1.5f}, y{2, 8, 9, 1.5f};
    Picture p;
    RenderPicture(p, {{{&c, x, y}}, {}, {}});
    ASSERT_TRUE(WriteEmf(p, dir.File("g.emf")));
    const Metafile m = Parse(dir.File("g.emf"));
    const auto count = [&](auto pred) {
        return std::count_if(p.Ops().begin(), p.Ops().end(), pred);
    };
    EXPECT_EQ(static_cast<long>(m.Of(kLineTo).size()),
              count([](const PictureOp& o) { return std::holds_alternative<op::Line>(o); }));
    EXPECT_EQ(static_cast<long>(m.Texts().size()), count([](const PictureOp& o) {
                  const auto* t = std::get_if<op::Text>(&o);
                  return t != nullptr && !t->text.empty();
              }));
}

TEST(EmfWriter, AFileThatCannotBeWrittenLeavesNothingBehind) {
    ScratchFolder dir("emf-fail");
    EXPECT_FALSE(WriteEmf(Picture{}, dir.File("no/such/folder/g.emf")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no/such/folder/g.emf.part")));
}

TEST(EmfWriter, TextIsConvertedFromUtf8ToUtf16) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"abc", u"abc"},
        {"\xCE\xB1\xCF\x80", u"\u03B1\u03C0"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"\xCE", u"\uFFFD"},
        {"\x80x", u"\uFFFDx"},
    };
    for (const auto& [utf8, utf16] : cases) EXPECT_EQ(Utf16FromUtf8(utf8), utf16) << utf8;
}
