#include "graphs/tool/graph_tool.h"

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <ostream>

#include "core/base/charset.h"
#include "graphs/graph_export.h"
#include "graphs/graph_messages.h"
#include "graphs/graph_renderer.h"
#include "graphs/qt_canvas.h"
#include "graphs/result_table.h"

namespace graphs {

namespace {

constexpr GraphColour kPalette[] = {kBlue,
                                    MakeColour(200, 0, 0),
                                    MakeColour(0, 140, 0),
                                    MakeColour(170, 0, 170),
                                    MakeColour(230, 120, 0),
                                    MakeColour(0, 150, 170)};

struct TypeName {
    const char* name;
    GraphType type;
};
constexpr TypeName kTypes[] = {{"normal", GraphType::Normal},
                               {"bar", GraphType::Bar},
                               {"line", GraphType::Line},
                               {"normal-points", GraphType::NormalPoints},
                               {"line-points", GraphType::LinePoints}};

// Header names are single-byte text; titles are drawn as UTF-8.
std::string Title(const std::string& name) {
    return charset::ToUtf8(name);
}

std::string Joined(const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& n : names) all += (all.empty() ? "" : " ") + n;
    return all;
}

}  // namespace

std::string GraphToolUsage() {
    return "usage: valdrix-graph RESULTS.PRN X Y [Y ...] -o FILE.emf|svg|png|pdf [OPTIONS]\n"
           "Draws the columns Y over the column X of a result file. A file written by a sweep\n"
           "over a second parameter gives one coloured branch per parameter value.\n"
           "options:\n"
           "  -o, --output FILE      the picture; its extension chooses the format\n"
           "  --title T              title written under the picture\n"
           "  --size WxH             pixel size of PNG and SVG output (default 960x560 for PNG;\n"
           "                         at most " +
           std::to_string(kMaxPixelsPerSide) +
           " a side)\n"
           "  --type TYPE            normal (default), bar, line, normal-points, line-points\n"
           "  -h, --help             this text\n"
           "exit status: 0 written, 1 not written (nothing to draw, or the file cannot be\n"
           "written), 2 usage error, missing file or unknown column\n";
}

GraphToolArgs ParseGraphToolArgs(const std::vector<std::string>& args) {
    GraphToolOptions o;
    std::vector<std::string> positional;
    const auto fail = [](std::string text) { return GraphToolArgs{std::nullopt, std::move(text)}; };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            o.help = true;
            return {o, {}};
        } else if (a == "-o" || a == "--output") {
            if (!value(o.output)) return fail(a + " takes a file name");
        } else if (a == "--title") {
            if (!value(o.title)) return fail("--title takes a text");
        } else if (a == "--size") {
            int w = 0, h = 0;
            char x = 0, extra = 0;
            if (!value(v) || std::sscanf(v.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 ||
                (x != 'x' && x != 'X') || w <= 0 || h <= 0) {
                return fail(tool_message::kSizeSyntax);
            }
            if (w > kMaxPixelsPerSide || h > kMaxPixelsPerSide) {
                return fail(FillIn(tool_message::kSizeTooLarge, std::to_string(kMaxPixelsPerSide)));
            }
            o.size = QSize(w, h);
        } else if (a == "--type") {
            if (!value(v)) return fail("--type takes a graph type");
            const auto* t = std::find_if(std::begin(kTypes), std::end(kTypes),
                                         [&](const TypeName& n) { return v == n.name; });
            if (t == std::end(kTypes)) return fail("unknown graph type '" + v + "'");
            o.type = t->type;
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option '" + a + "'");
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 3) return fail("expected RESULTS.PRN X Y [Y ...]");
    if (o.output.empty()) return fail("expected -o FILE");
    o.results = positional[0];
    o.x = positional[1];
    o.ys.assign(positional.begin() + 2, positional.end());
    return {o, {}};
}

int RunGraphTool(const GraphToolOptions& o, std::ostream& out, std::ostream& err) {
    if (o.help) {
        out << GraphToolUsage();
        return 0;
    }
    const QString output = QString::fromStdString(o.output);
    const std::optional<ExportFormat> format = FormatFromExtension(QFileInfo(output).suffix());
    if (!format) {
        err << "valdrix-graph: " << o.output << ": the extension must be emf, svg, png or pdf\n";
        return 2;
    }
    const std::optional<ResultHeader> header = ReadResultHeader(o.results);
    if (!header) {
        err << "valdrix-graph: cannot open results file '" << o.results << "'\n";
        return 2;
    }

    std::vector<GraphCurve> curves;
    for (std::size_t i = 0; i < o.ys.size(); ++i) {
        GraphCurve c;
        c.xName = o.x;
        c.yName = o.ys[i];
        c.xTitle = Title(o.x);
        c.yTitle = Title(o.ys[i]);
        c.title = o.title;
        c.colour = kPalette[i % std::size(kPalette)];
        curves.push_back(std::move(c));
    }
    if (const std::optional<std::string> missing = MatchCurves(header->names, curves)) {
        err << "valdrix-graph: " << o.results << " has no column '" << *missing
            << "' (columns: " << Joined(header->names) << ")\n";
        return 2;
    }
    ResultTable table;
    if (table.Read(o.results, curves).outcome != ReadOutcome::Read) {
        err << "valdrix-graph: cannot read results file '" << o.results << "'\n";
        return 2;
    }

    GraphLayout layout;
    layout.type = o.type;
    PictureContent content{
        {}, layout, {table.parameterName, table.parameterValues, table.parameterRows}};
    for (const GraphCurve& c : curves) {
        content.curves.push_back({&c, *table.Column(c.xIndex), *table.Column(c.yIndex)});
    }
    Picture picture(FontTextWidth);
    RenderPicture(picture, content);
    if (picture.Empty()) {
        err << "valdrix-graph: " << FillIn(tool_message::kNothingToDraw, o.output) << "\n";
        return 1;
    }
    if (!WritePicture(picture, output, *format, o.size)) {
        err << "valdrix-graph: cannot write '" << o.output << "'\n";
        return 1;
    }
    return 0;
}

}  // namespace graphs
