// Recognition of UTF-8 documents after a load.
#include "document/DocumentEncoding.h"

#include "textutil/Utf8.h"

namespace varlin {

bool LinesLookLikeUtf8(const LineStore& store) {
    const int count = store.GetLineCount();
    if (count == 0) return false;
    if (store.LineView(0).starts_with(kUtf8Bom)) return true;
    Utf8Tally tally;
    for (int i = 0; i < count; ++i) {
        const std::string_view line = store.LineView(i);
        tally.Add(line.data(), line.size());
    }
    return tally.Mostly();
}

void RecognizeEncoding(LineStore& store, bool detect, const char* block, std::size_t size) {
    if (!detect)
        store.utf8 = false;
    else if (block)
        store.utf8 = store.GetLineCount() > 0 && LooksLikeUtf8(block, size);
    else
        store.utf8 = LinesLookLikeUtf8(store);
}

}  // namespace varlin
