// Support for the search tests: a headless window (from the editing tests' fixture) with a
// settings file of its own, so that the stored search starts empty in every test, and
// helpers that read the document and the stored request back.
#pragma once

#include "editing/EditTestSupport.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"
#include "search/FindReplace.h"
#include "search/SearchEngine.h"

#include <string>

namespace varlin::test {

struct SearchFixture : EditFixture {
    TestFolder folder;

    void SetUp() override {
        EditFixture::SetUp();
        SetSettingsFile(folder.File("settings.ini"));
    }
    void TearDown() override {
        SetSettingsFile("");
        EditFixture::TearDown();
    }

    // The document's lines joined by '\n', without the cursor.
    std::string Text() const {
        std::string out;
        for (int i = 0; i < w->LineCount(); ++i) {
            if (i > 0) out += '\n';
            out += w->doc->LineView(i);
        }
        return out;
    }

    FindSettings Stored() const {
        FindSettings s;
        LoadFindSettings(s);
        return s;
    }

    // Queues an answer for the next dialog: `fill` edits the record, `result` is returned.
    template <typename F>
    void AnswerDialog(int result, F fill) {
        host.dialogAnswers.push_back([result, fill](DialogId id, void* record) {
            fill(id, *static_cast<FindSettings*>(record));
            return result;
        });
    }
    // The question's answer by button: 2303 ("&Alles ersetzen") sets ReplaceAll and ends
    // with 2301, as the dialog does.
    void AnswerQuestion(int button) {
        AnswerDialog(button == 2303 ? 2301 : button, [button](DialogId id, FindSettings& s) {
            EXPECT_EQ(id, DialogId::ReplaceQuestion);
            if (button == 2303) s.ReplaceAll = 1;
        });
    }
};

}  // namespace varlin::test
