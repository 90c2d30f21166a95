#include "graphs/emf_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "graph_test_files.h"
#include "graphs/graph_renderer.h"  // the grid pen

using namespace graphs;

namespace {

// Record types of the enhanced metafile format used here.
constexpr std::uint32_t kHeader = 1, kEof = 14, kSetMapMode = 17, kSetBkMode = 18,
                        kSetTextAlign = 22, kMoveTo = 27, kCreatePen = 38, kEllipse = 42,
                        kRectangle = 43, kLineTo = 54, kCreateFont = 82, kTextOut = 84,
                        kExtCreatePen = 95;

struct Record {
    std::vector<unsigned char> bytes;
    std::int32_t Int(std::size_t at) const {
        std::int32_t v;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    }
    std::uint32_t Type() const { return static_cast<std::uint32_t>(Int(0)); }
    std::vector<int> Ints(std::size_t at, int n) const {
        std::vector<int> v;
        for (int i = 0; i < n; ++i) v.push_back(Int(at + 4 * i));
        return v;
    }
    std::u16string Wide(std::size_t at, std::size_t chars) const {
        std::u16string s(chars, u'\0');
        std::memcpy(s.data(), bytes.data() + at, 2 * chars);
        return s.substr(0, s.find(u'\0'));
    }
};

// Walks the record stream: each record starts with its type and size, and the sizes must tile
// the file exactly.
std::vector<Record> Parse(const std::string& path, std::size_t* fileSize = nullptr) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), {});
    std::vector<Record> records;
    std::size_t at = 0;
    while (at + 8 <= data.size()) {
        std::uint32_t size;
        std::memcpy(&size, &data[at + 4], 4);
        if (size < 8 || size % 4 != 0 || at + size > data.size()) break;
        records.push_back({{data.begin() + at, data.begin() + at + size}});
        at += size;
    }
    EXPECT_EQ(at, data.size());
    if (fileSize != nullptr) *fileSize = data.size();
    return records;
}

std::vector<const Record*> Of(const std::vector<Record>& records, std::uint32_t type) {
    std::vector<const Record*> found;
    for (const Record& r : records) {
        if (r.Type() == type) found.push_back(&r);
    }
    return found;
}

// The records of the metafile written for `p`.
std::vector<Record> Written(const Picture& p, std::size_t* fileSize = nullptr) {
    const ScratchDir dir;
    EXPECT_TRUE(WriteEmf(p, dir.File("g.emf")));
    return Parse(dir.File("g.emf"), fileSize);
}

// Address space this process has mapped, as the kernel counts it against RLIMIT_AS.
std::size_t AddressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) return std::stoul(line.substr(7)) * 1024;
    }
    return 0;
}

}  // namespace

// The header describes a frame of 120 by 70 mm in low metric; the records hold the shapes, pens,
// fonts and texts of the picture. Readers draw a simple pen wider than one unit solid, so the
// styles of a sweep's branches would all look alike; they are written as geometric pens with
// flat ends.
TEST(EmfWriter, HeaderAndRecordsDescribeThePicture) {
    Picture p;
    p.SetPen(kGridPen);
    p.Line({-380, -250}, {-380, 250});
    p.SetPen({MakeColour(10, 20, 30), PenStyle::Solid, 3});
    p.Line({-380, 250}, {0, 0});
    p.Line({0, 0}, {100, 50});  // goes on from where the last line ended
    p.Rect({490, 270}, {520, 300}, kBlue, false);
    p.Circle({5, 6}, 7);
    for (PenStyle style :
         {PenStyle::Dashed, PenStyle::Dotted, PenStyle::DashDotted, PenStyle::DashDotDotted}) {
        p.SetPen({kBlue, style, 3});
        p.Line({0, 10}, {10, 10});
    }
    p.SetTextAlign(TextAlign::Right);
    p.Text({430, 260}, "x10");
    p.SetFont(FontRole::Exponent);
    p.Text({425, 280}, "\xCE\xB1=-3");
    std::size_t size = 0;
    const std::vector<Record> m = Written(p, &size);
    const ScratchDir dir;  // where it cannot be written it leaves nothing behind
    EXPECT_FALSE(WriteEmf(p, dir.File("no/such/folder/g.emf")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no/such/folder/g.emf.part")));

    ASSERT_GT(m.size(), 2u);
    const Record& h = m.front();
    ASSERT_EQ(h.Type(), kHeader);
    EXPECT_EQ(h.Int(40), 0x464D4520);  // " EMF"
    EXPECT_EQ(static_cast<std::size_t>(h.Int(48)), size);
    EXPECT_EQ(static_cast<std::size_t>(h.Int(52)), m.size());
    EXPECT_EQ(h.Ints(24, 4), (std::vector<int>{-5000, -3500, 7000, 3500}));
    EXPECT_EQ(h.Wide(h.Int(64) + 16, 8), u"Moj EMF");  // after "Valdrix" and its zero
    EXPECT_EQ(m.back().Type(), kEof);
    EXPECT_EQ(Of(m, kSetMapMode).at(0)->Int(8), 2);  // MM_LOMETRIC
    EXPECT_EQ(Of(m, kSetBkMode).at(0)->Int(8), 1);   // TRANSPARENT

    EXPECT_EQ(Of(m, kMoveTo).size(), 5u);  // one for each patterned line, none between joined ones
    ASSERT_EQ(Of(m, kLineTo).size(), 7u);
    EXPECT_EQ(Of(m, kLineTo)[2]->Ints(8, 2), (std::vector<int>{100, 50}));
    std::vector<std::vector<int>> pens, patterned;  // style, width, colour
    for (const Record* r : Of(m, kCreatePen)) pens.push_back({r->Int(12), r->Int(16), r->Int(24)});
    EXPECT_EQ(pens.size(), 3u);  // the opening black, the grid's dots and the solid pen
    EXPECT_NE(std::find(pens.begin(), pens.end(), std::vector<int>{2, 1, int(kGridGrey)}),
              pens.end());
    EXPECT_NE(
        std::find(pens.begin(), pens.end(), std::vector<int>{0, 3, int(MakeColour(10, 20, 30))}),
        pens.end());
    for (const Record* r : Of(m, kExtCreatePen))
        patterned.push_back({r->Int(28), r->Int(32), r->Int(40)});
    constexpr int kGeometricFlat = 0x10000 | 0x200;
    std::vector<std::vector<int>> want;
    for (int style = 1; style <= 4; ++style)
        want.push_back({kGeometricFlat | style, 3, int(kBlue)});
    EXPECT_EQ(patterned, want);
    // With y up the top of a box is its larger y.
    EXPECT_EQ(Of(m, kRectangle).at(0)->Ints(8, 4), (std::vector<int>{490, 300, 520, 270}));
    EXPECT_EQ(Of(m, kEllipse).at(0)->Ints(8, 4), (std::vector<int>{-2, 13, 12, -1}));

    std::vector<std::u16string> texts;
    for (const Record* r : Of(m, kTextOut)) texts.push_back(r->Wide(r->Int(48), r->Int(44)));
    EXPECT_EQ(texts, (std::vector<std::u16string>{u"x10", u"\u03B1=-3"}));
    const auto aligns = Of(m, kSetTextAlign);
    EXPECT_TRUE(std::any_of(aligns.begin(), aligns.end(),
                            [](const Record* r) { return r->Int(8) == (2 | 24); }));
    std::vector<std::pair<int, std::u16string>> fonts;
    for (const Record* f : Of(m, kCreateFont)) fonts.emplace_back(f->Int(12), f->Wide(40, 32));
    EXPECT_EQ(fonts, (std::vector<std::pair<int, std::u16string>>{{30, u"Times New Roman"},
                                                                  {15, u"Arial"}}));
}

TEST(EmfWriter, TextIsConvertedFromUtf8ToUtf16) {
    const std::pair<std::string, std::u16string> cases[] = {{"abc", u"abc"},
                                                            {"\xCE\xB1\xCF\x80", u"\u03B1\u03C0"},
                                                            {"\xF0\x9F\x98\x80", u"\U0001F600"},
                                                            {"a\377b", u"a\uFFFDb"},
                                                            {"\xCE", u"\uFFFD"},
                                                            {"\x80x", u"\uFFFDx"}};
    for (const auto& [utf8, utf16] : cases) EXPECT_EQ(Utf16FromUtf8(utf8), utf16) << utf8;
}

// Writing keeps one record in memory at a time: with the address space capped a little above
// what the picture itself takes, a metafile of three million lines is still written whole.
TEST(EmfWriterDeathTest, MillionsOfLinesAreWrittenWithinAFixedAllowanceOfMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory does not fit under an address-space cap";
#endif
    constexpr int kLines = 3000000;
    constexpr std::size_t kAllowance = 48u << 20;  // the file alone is 48 MB
    const ScratchDir dir;
    Picture p;
    for (int i = 0; i < kLines; ++i)
        p.Line({i % 700 - 350, i % 2}, {(i + 1) % 700 - 350, (i + 1) % 2});
    const std::string path = dir.File("big.emf");
    EXPECT_EXIT(
        {
            rlimit cap{};
            cap.rlim_cur = cap.rlim_max = AddressSpaceInUse() + kAllowance;
            setrlimit(RLIMIT_AS, &cap);
            std::_Exit(WriteEmf(p, path) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");

    std::ifstream in(path, std::ios::binary);
    Record header{std::vector<unsigned char>(144)};
    in.read(reinterpret_cast<char*>(header.bytes.data()), 144);
    EXPECT_EQ(static_cast<std::size_t>(header.Int(48)), std::filesystem::file_size(path));
    EXPECT_GT(header.Int(52), kLines);  // a LineTo for each line, and the setting up
}
