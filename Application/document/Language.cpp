// Language: recognition by extension, the three keyword tables and the syntax classes.
// The classes read the store's language fields, which only SelectLanguage sets, so a
// document keeps its language for life (saving under another name does not change it).
#include "document/Language.h"

#include "document/LineStore.h"
#include "textutil/CodeTables.h"

#include <algorithm>
#include <cstring>

namespace varlin {

#define KW(w) {sizeof(w) - 1, w}

const KeywordEntry kKeywordsCpp[] = {
    KW("#include"), KW("#define"), KW("#if"), KW("#ifdef"), KW("#ifndef"), KW("#else"),
    KW("#endif"), KW("asm"), KW("auto"), KW("break"), KW("case"), KW("catch"), KW("char"),
    KW("class"), KW("const"), KW("continue"), KW("default"), KW("delete"), KW("do"),
    KW("double"), KW("else"), KW("enum"), KW("extern"), KW("float"), KW("for"),
    KW("friend"), KW("goto"), KW("if"), KW("inline"), KW("int"), KW("long"), KW("new"),
    KW("operator"), KW("private"), KW("protected"), KW("public"), KW("register"),
    KW("return"), KW("short"), KW("signed"), KW("sizeof"), KW("static"), KW("struct"),
    KW("switch"), KW("template"), KW("this"), KW("throw"), KW("try"), KW("typedef"),
    KW("union"), KW("unsigned"), KW("virtual"), KW("void"), KW("volatile"), KW("while"),
    {0, nullptr},
};

const KeywordEntry kKeywordsJava[] = {
    KW("abstract"), KW("boolean"), KW("break"), KW("byte"), KW("byvalue"), KW("case"),
    KW("cast"), KW("catch"), KW("char"), KW("class"), KW("const"), KW("continue"),
    KW("default"), KW("do"), KW("double"), KW("else"), KW("extends"), KW("false"),
    KW("final"), KW("finally"), KW("float"), KW("for"), KW("future"), KW("generic"),
    KW("goto"), KW("if"), KW("implements"), KW("import"), KW("inner"), KW("instanceof"),
    KW("int"), KW("interface"), KW("long"), KW("native"), KW("new"), KW("null"),
    KW("operator"), KW("outer"), KW("package"), KW("private"), KW("protected"),
    KW("public"), KW("rest"), KW("return"), KW("short"), KW("static"), KW("super"),
    KW("switch"), KW("syncronized"), KW("this"), KW("throw"), KW("throws"),
    KW("transient"), KW("true"), KW("try"), KW("var"), KW("void"), KW("volatile"),
    KW("while"),
    {0, nullptr},
};

const KeywordEntry kKeywordsDelphi[] = {
    KW("absolute"), KW("abstract"), KW("and"), KW("array"), KW("as"), KW("asm"),
    KW("assembler"), KW("at"), KW("automated"), KW("begin"), KW("case"), KW("cdecl"),
    KW("class"), KW("const"), KW("constructor"), KW("contains"), KW("default"),
    KW("destructor"), KW("dispid"), KW("dispinterface"), KW("div"), KW("do"),
    KW("downto"), KW("dynamic"), KW("else"), KW("end"), KW("except"), KW("export"),
    KW("exports"), KW("external"), KW("far"), KW("file"), KW("finalization"),
    KW("finally"), KW("for"), KW("forward"), KW("function"), KW("goto"), KW("if"),
    KW("implementation"), KW("implements"), KW("in"), KW("index"), KW("inherited"),
    KW("initialization"), KW("inline"), KW("interface"), KW("is"), KW("label"),
    KW("library"), KW("message"), KW("mod"), KW("name"), KW("near"), KW("nil"),
    KW("nodefault"), KW("not"), KW("object"), KW("of"), KW("on"), KW("or"), KW("out"),
    KW("overload"), KW("override"), KW("package"), KW("packed"), KW("pascal"),
    KW("private"), KW("procedure"), KW("program"), KW("property"), KW("protected"),
    KW("public"), KW("published"), KW("raise"), KW("read"), KW("readonly"), KW("record"),
    KW("register"), KW("reintroduce"), KW("repeat"), KW("requires"), KW("resident"),
    KW("resourcestring"), KW("safecall"), KW("set"), KW("shl"), KW("shr"), KW("stdcall"),
    KW("stored"), KW("string"), KW("then"), KW("threadvar"), KW("to"), KW("try"),
    KW("type"), KW("unit"), KW("until"), KW("uses"), KW("var"), KW("virtual"),
    KW("while"), KW("with"), KW("write"), KW("writeonly"),
    {0, nullptr},
};

#undef KW

namespace {

struct Language {
    int labelId;
    const KeywordEntry* keywords;
    const char* lineComment;
    const char* blockOpen;
    const char* blockClose;
};

constexpr const char* kRoutinePattern = "==( =!# =!. >!;";
constexpr int kOpenEnd = 5000;  // the end column of a span that runs to the end of lines

const Language kJava = {kLabelJava, kKeywordsJava, "//", "/*", "*/"};
const Language kCpp = {kLabelCpp, kKeywordsCpp, "//", "/*", "*/"};
const Language kDelphi = {kLabelDelphi, kKeywordsDelphi, "//", "(*", "*)"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

bool IsWordByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#';
}

}  // namespace

std::string FileExtension(std::string_view name) {
    std::size_t slash = name.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    std::size_t dot = base.rfind('.');
    if (dot == std::string_view::npos) return {};
    return std::string(base.substr(dot + 1, kMaxExtensionLength));
}

void SelectLanguage(LineStore& store, int flag) {
    store.highlight = flag != 0;
    store.routinePattern.clear();
    store.lineCommentMarker.clear();
    store.blockOpenMarker.clear();
    store.blockCloseMarker.clear();
    store.keywordTable = nullptr;
    store.languageLabelId = kLabelText;
    if (!store.highlight) return;

    std::string ext = FileExtension(store.FileName());
    const Language& lang = EqualsIgnoringCase(ext, "java")  ? kJava
                           : EqualsIgnoringCase(ext, "pas") ? kDelphi
                                                            : kCpp;
    store.languageLabelId = lang.labelId;
    store.keywordTable = lang.keywords;
    store.routinePattern = kRoutinePattern;
    store.lineCommentMarker = lang.lineComment;
    store.blockOpenMarker = lang.blockOpen;
    store.blockCloseMarker = lang.blockClose;
}

int GetLanguageLabelId(const LineStore& store) { return store.languageLabelId; }

bool MatchesRoutinePattern(std::string_view pattern, std::string_view text) {
    if (pattern.empty() || text.empty()) return false;
    // Groups of four: operator, negation, test character, separating blank. A group cut
    // short by the end of the pattern reads the missing characters as zero.
    auto at = [&](std::size_t i) { return i < pattern.size() ? pattern[i] : '\0'; };
    for (std::size_t pos = 0; pos < pattern.size(); pos += 4) {
        char op = at(pos), negation = at(pos + 1), test = at(pos + 2);
        bool holds;
        switch (op) {
        case '<': holds = text.front() == test; break;
        case '=': holds = text.find(test) != std::string_view::npos; break;
        case '>': holds = text.back() == test; break;
        default: return false;
        }
        if (negation == '!') holds = !holds;
        if (!holds) return false;
    }
    return true;
}

bool IsRoutineStart(const LineStore& store, int line) {
    if (!store.highlight) return false;
    std::string_view text = store.LineView(line);
    if (text.empty() || !IsAnsiAlphaNumeric(static_cast<unsigned char>(text.front())))
        return false;
    return MatchesRoutinePattern(store.routinePattern, text);
}

bool IsRoutineLine(std::string_view text) {
    return !text.empty() && IsAnsiAlphaNumeric(static_cast<unsigned char>(text.front())) &&
           text.find('(') != std::string_view::npos &&
           text.find('#') == std::string_view::npos &&
           text.find('.') == std::string_view::npos && text.back() != ';';
}

bool CommentRunAt(const LineStore& store, int line, int index, int& runLength) {
    runLength = 1;
    if (!store.highlight) return false;
    for (const CommentSpan& span : store.CommentIndex()) {
        if (line < span.startLine || line > span.endLine) continue;
        int begin = line == span.startLine ? span.startCol : 0;
        int end = line == span.endLine ? span.endCol : kOpenEnd;
        if (index >= begin && index <= end) {
            runLength = end - index + 1;
            return true;
        }
    }
    return false;
}

bool KeywordRunAt(const LineStore& store, int line, int index, int& runLength) {
    std::string_view text = store.LineView(line);
    if (!store.highlight || text.empty()) {
        runLength = kOpenEnd;
        return false;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= text.size()) return false;
    std::size_t start = static_cast<std::size_t>(index);
    if (text[start] == '"') {
        std::size_t close = text.find('"', start + 1);
        runLength = close == std::string_view::npos ? int(text.size() - start) + 1
                                                    : int(close - start) + 1;
        return false;
    }
    std::size_t end = start;
    while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end]))) ++end;
    std::size_t length = end - start;
    runLength = length == 0 ? 1 : int(length);
    if (length == 0 || !store.keywordTable) return false;
    for (const KeywordEntry* k = store.keywordTable; k->wordLength != 0; ++k) {
        if (k->wordLength == length && std::memcmp(k->word, text.data() + start, length) == 0)
            return true;
    }
    return false;
}

std::vector<std::string> ParseBracketList(std::string_view list) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos <= list.size() && !list.empty()) {
        std::size_t comma = list.find(',', pos);
        std::string_view item = list.substr(pos, comma == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : comma - pos);
        items.emplace_back(item.substr(0, kMaxBracketLength));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return items;
}

}  // namespace varlin
