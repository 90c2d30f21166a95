#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/base/core_state.h"
#include "core/base/special_values.h"
#include "core/lang/code_string.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

// A user function NAME is a file NAME.FUN in the document's folder: the first word is the
// number of arguments k (1 to 4), the rest of the file one relation in which %1..%k stand for
// the arguments of the call. A call is compiled by compiling the body in place, with copies
// of the argument codes where %k stands.

namespace {

constexpr int kMaxArguments = 4;

// Reads the file, at most up to the size bound (a file that grows while it is read is cut
// there, and then refused by the caller as too large).
bool ReadWholeFile(const std::string& path, std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char buffer[4096];
    std::size_t n;
    while (text.size() <= kMaxDocumentBytes && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        text.append(buffer, n);
    }
    std::fclose(f);
    return true;
}

// The first word of the file as a count of arguments (0 when it is not a whole number);
// bodyStart is set just past the word.
int ArgumentCount(std::string_view text, std::size_t& bodyStart) {
    std::size_t i = 0;
    while (i < text.size() && IsBlankChar(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlankChar(static_cast<unsigned char>(text[i]))) ++i;
    bodyStart = i;
    int k = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + i;
    const auto [end, ec] = std::from_chars(first, last, k);
    if (ec != std::errc() || end != last) return 0;
    return k;
}

void FreeLists(CoreState& s, std::vector<CodeNode*>& lists) {
    for (CodeNode* list : lists) FreeList(s.pool, list);
    lists.clear();
}

// Reads the k arguments after the '(' of the call, each into a list of its own, and the
// closing ')' (taken on trust, like the ')' after a built-in function's argument).
std::vector<CodeNode*> ReadArguments(CoreState& s, int k) {
    ParserState& p = s.parser;
    std::vector<CodeNode*> args;
    NextChar(s);  // the '('
    for (int i = 1; i <= k && !p.error; ++i) {
        args.push_back(ParseSubRelation(s));
        if (p.error) break;
        if (i < k) {
            if (p.ch != ',') {
                ParseError(s, parser_message::kCommaExpected);
                break;
            }
            NextChar(s);
        }
    }
    if (!p.error) NextChar(s);
    return args;
}

// The reader's place in the equation text while a body is read.
struct ReaderPlace {
    std::string_view input;
    std::size_t pos;
    unsigned char ch;
    bool textRemains;
    bool skipped;
    int charCount;
};

ReaderPlace SavePlace(const ParserState& p) {
    return {p.input, p.pos, p.ch, p.textRemains, p.skipped, p.charCount};
}

void RestorePlace(ParserState& p, const ReaderPlace& r) {
    p.input = r.input;
    p.pos = r.pos;
    p.ch = r.ch;
    p.textRemains = r.textRemains;
    p.skipped = r.skipped;
    p.charCount = r.charCount;
}

}  // namespace

std::string FunctionPathPrefix(const std::string& baseName) {
    const std::size_t slash = baseName.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : baseName.substr(0, slash + 1);
}

bool CallUserFunction(CoreState& s, const std::string& name) {
    ParserState& p = s.parser;
    const std::string path = p.functionPath + name + ".FUN";
    switch (CheckInputFile(path, kMaxDocumentBytes)) {
        case InputFileState::kOk: break;
        case InputFileState::kMissing:
        case InputFileState::kFolder: return false;  // no function file: NAME is a variable
        case InputFileState::kNotPlain:
        case InputFileState::kTooLarge:
            // A device or an oversized file is never read: it could hold no usable body.
            ParseError(s, parser_message::kFunctionFileError);
            return true;
    }
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    if (text.size() > kMaxDocumentBytes) {
        ParseError(s, parser_message::kFunctionFileError);
        return true;
    }

    std::size_t bodyStart = 0;
    const int k = ArgumentCount(text, bodyStart);
    if (k < 1 || k > kMaxArguments) {
        ParseError(s, parser_message::kFunctionError + name + "\"");
        Emit(s, kKindConst, kSubUndefined, 0, kUndefinedValue);
        return true;
    }
    std::vector<CodeNode*> args = ReadArguments(s, k);
    if (p.error) {
        FreeLists(s, args);
        return true;
    }

    const ReaderPlace place = SavePlace(p);
    if (p.functionDepth == 0) p.functionCallPosition = p.charCount;
    ++p.functionDepth;
    std::swap(p.args, args);  // args now holds the arguments of an enclosing body, if any

    StartReading(s, std::string_view(text).substr(bodyStart));
    Relation(s);
    // Anything after the body's relation but an end mark is a fault of the file.
    if (!p.error && p.textRemains && p.ch != ';') {
        ParseError(s, parser_message::kFunctionFileError);
    }

    std::swap(p.args, args);
    --p.functionDepth;
    RestorePlace(p, place);
    FreeLists(s, args);
    return true;
}
