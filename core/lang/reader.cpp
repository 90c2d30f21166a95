#include <array>
#include <cstdio>
#include <string>

#include "core/base/core_state.h"
#include "core/base/text_file.h"
#include "core/lang/lang_messages.h"
#include "core/lang/parser.h"

namespace {

enum : unsigned char {
    kBlank = 1,
    kIdentifierStart = 2,
    kIdentifierBody = 4,
    kPrimaryStart = 8,
    kRelation = 16,
};

constexpr std::array<unsigned char, 256> BuildClasses() {
    std::array<unsigned char, 256> t{};
    for (int c : {0x09, 0x20, 0x0A, 0x0D, 0xB1, 0xB2, 0xDB}) t[c] |= kBlank;
    // Greek letters of the editor font that have no Latin look-alike.
    constexpr unsigned char kGreek[] = {0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8,
                                        0xEB, 0xEC, 0xED, 0xEE, 0xF1, 0xF3, 0xF4, 0xF5,
                                        0xF6, 0xF7, 0xF8, 0xF9, 0xC3, 0xC4, 0xC8, 0xCB,
                                        0xCE, 0xD0, 0xD3, 0xD6, 0xD8, 0xD9, 0x8A};
    for (int c = 'a'; c <= 'z'; ++c) t[c] |= kIdentifierStart | kIdentifierBody | kPrimaryStart;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] |= kIdentifierStart | kIdentifierBody | kPrimaryStart;
    for (int c = '0'; c <= '9'; ++c) t[c] |= kIdentifierBody | kPrimaryStart;
    t['_'] |= kIdentifierStart | kIdentifierBody | kPrimaryStart;
    for (unsigned char c : kGreek) t[c] |= kIdentifierStart | kIdentifierBody | kPrimaryStart;
    for (int c : {'[', ']', '\'', '"', '?'}) t[c] |= kIdentifierBody | kPrimaryStart;
    // pi, the polar mark, the designation mark and one more symbol continue names.
    for (int c : {0xF0, 0x9F, 0xA2, 0x9C}) t[c] |= kIdentifierBody | kPrimaryStart;
    constexpr int kOtherPrimaryStarts[] = {'+', '-', '.', '%', '<', '>', '@', 0xB0, 0xDF};
    for (int c : kOtherPrimaryStarts) t[c] |= kPrimaryStart;
    constexpr int kRelations[] = {'=', '<', '>', 0x85, 0xBB, 0xF2, 0xF3};
    for (int c : kRelations) t[c] |= kRelation;
    return t;
}

constexpr std::array<unsigned char, 256> kClasses = BuildClasses();

// Collects a name inside a comment; the last one stays in the current-name buffer.
void ReadCommentName(ParserState& p, unsigned char first) {
    std::string name(1, static_cast<char>(first));
    while (p.pos < p.input.size() && IsIdentifierBody(static_cast<unsigned char>(p.input[p.pos]))) {
        name += p.input[p.pos++];
        ++p.charCount;
    }
    p.currentName = name;
}

}  // namespace

bool IsBlankChar(unsigned char c) {
    return kClasses[c] & kBlank;
}
bool IsIdentifierStart(unsigned char c) {
    return kClasses[c] & kIdentifierStart;
}
bool IsIdentifierBody(unsigned char c) {
    return kClasses[c] & kIdentifierBody;
}
bool IsPrimaryStart(unsigned char c) {
    return kClasses[c] & kPrimaryStart;
}
bool IsRelationChar(unsigned char c) {
    return kClasses[c] & kRelation;
}
bool IsName(std::string_view text) {
    if (text.empty() || !IsIdentifierStart(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text.substr(1)) {
        if (!IsIdentifierBody(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

void LoadSource(CoreState& s) {
    std::string& text = s.parser.source;
    text.clear();
    TextFile& f = s.files.work;
    if (f.stream == nullptr) return;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.stream)) > 0) text.append(buffer, n);
}

void StartReading(CoreState& s, std::string_view text) {
    ParserState& p = s.parser;
    p.input = text;
    p.pos = 0;
    p.charCount = 0;
    p.textRemains = true;
    NextChar(s);
}

void NextChar(CoreState& s) {
    ParserState& p = s.parser;
    p.skipped = false;
    while (p.pos < p.input.size()) {
        const auto c = static_cast<unsigned char>(p.input[p.pos++]);
        ++p.charCount;
        if (IsBlankChar(c) || c == '}') {
            p.skipped = true;
            continue;
        }
        if (c == '{') {
            p.skipped = true;
            while (p.pos < p.input.size()) {
                const auto d = static_cast<unsigned char>(p.input[p.pos++]);
                ++p.charCount;
                if (d == '}') break;
                if (IsIdentifierStart(d)) ReadCommentName(p, d);
            }
            continue;
        }
        p.ch = c;
        return;
    }
    p.textRemains = false;
    p.ch = kEndOfText;
}

void PushBack(CoreState& s) {
    ParserState& p = s.parser;
    if (p.pos > 0) {
        --p.pos;
        --p.charCount;
    }
}

void ParseError(CoreState& s, const std::string& message) {
    ParserState& p = s.parser;
    if (!p.error) {
        // Inside a function body the text positions are the body's; the user is shown the
        // call instead. Code grown past the bound of one equation is no fault of the file
        // and keeps its own message (a recursive body is, and is reported as one).
        const bool bound = message == parser_message::kEquationTooLong;
        if (p.functionDepth > 0) {
            s.message = bound ? message : parser_message::kFunctionFileError;
            p.errorPosition = p.functionCallPosition;
        } else {
            s.message = message;
            p.errorPosition = p.charCount;
        }
    }
    p.error = true;
}
