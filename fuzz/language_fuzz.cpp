// The language definition reader: the input is a definition file, followed after a line
// "---" by sample text. Whatever the file holds, reading it ends with a definition or an
// error that names a line of the file; a definition then colours and scans the sample
// (comment index, keyword and string runs, routine rule with its name) without a fault,
// every comment span and run stays on its line, and a routine's name is a part of its line.
#include "FuzzSupport.h"

#include "document/Language.h"
#include "document/LanguageDefinition.h"
#include "document/LineStore.h"

#include <algorithm>

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietHost();
    std::string_view input(reinterpret_cast<const char*>(data), data ? size : 0);
    const std::size_t cut = input.find("\n---\n");
    const std::string_view definition = input.substr(0, cut);
    const std::string_view sample = cut == std::string_view::npos ? definition : input.substr(cut + 5);

    DefinitionError error;
    std::shared_ptr<const LanguageDefinition> d = ParseLanguageDefinition(definition, error);
    if (!d) {
        const long lines = long(std::count(definition.begin(), definition.end(), '\n')) + 1;
        if (error.line < 0 || error.line > lines || error.reasonId < kReasonNoEquals || error.reasonId > kReasonUnreadable)
            fuzz::Fail("an error that names no line of the file or no reason");
        return 0;
    }
    if (d->name.empty() || d->label.empty()) fuzz::Fail("a definition without name or label");

    LineStore store;
    SetDocumentLanguage(store, d);
    int count = 0;
    for (std::size_t pos = 0; pos <= sample.size() && count < 200;) {
        std::size_t end = sample.find('\n', pos);
        if (end == std::string_view::npos) end = sample.size();
        store.SetLine(count++, sample.substr(pos, end - pos));
        pos = end + 1;
    }
    store.BuildCommentIndex(0, count);
    for (int line = 0; line < count; ++line) {
        const std::string_view text = store.LineView(line);
        std::string name;
        if (IsDocumentRoutineLine(store, text, &name) && text.find(name) == std::string_view::npos)
            fuzz::Fail("a routine's name is not a part of its line");
        if (IsRoutineStart(store, line) != (d->routineRule ? IsDocumentRoutineLine(store, text)
                                                           : IsPrototypeHead(store, line)))
            fuzz::Fail("the painter's routine start differs from the rule");
        for (int index = 0; index < int(text.size());) {
            int commentRun = 0, keywordRun = 0;
            const bool comment = CommentRunAt(store, line, index, commentRun);
            KeywordRunAt(store, line, index, keywordRun);
            const int run = comment ? commentRun : keywordRun;
            if (run < 1) fuzz::Fail("a run that does not move on");
            index += run;
        }
    }
    return 0;
}
