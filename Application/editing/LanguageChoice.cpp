// The choice of a document's language by hand.
#include "editing/LanguageChoice.h"

#include "document/Language.h"
#include "document/Languages.h"
#include "editing/EditWindow.h"
#include "platform/Host.h"
#include "resources/StringTable.h"

#include <algorithm>

namespace varlin {
namespace {

std::string Folded(const std::string& s) {
    std::string f = s;
    for (char& c : f)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return f;
}

}  // namespace

void ChooseDocumentLanguage(EditWindow& w) {
    if (!w.doc) return;
    std::vector<LanguagePtr> languages = KnownLanguages();
    std::stable_sort(languages.begin(), languages.end(), [](const LanguagePtr& a, const LanguagePtr& b) {
        return Folded(a->label) < Folded(b->label);
    });
    LanguageChoiceRecord record;
    record.labels.push_back(LoadAppString(kLabelText));
    for (std::size_t i = 0; i < languages.size(); ++i) {
        record.labels.push_back(languages[i]->label);
        if (w.doc->highlight && languages[i] == w.doc->language) record.chosen = int(i) + 1;
    }
    const int before = record.chosen;
    if (HostRunDialog(DialogId::DocumentLanguage, &record) != 1) return;
    if (record.chosen < 0 || record.chosen >= int(record.labels.size()) || record.chosen == before) return;
    SetDocumentLanguage(*w.doc, record.chosen == 0 ? nullptr : languages[std::size_t(record.chosen) - 1]);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

}  // namespace varlin
