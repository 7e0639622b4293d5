// Printing without a printer: a recording job takes the text the page arithmetic puts
// out, so the positions of headers, lines and continuations, the page breaks (with the
// header-only page when the text ends at the bottom margin), the selection, the beeps,
// an abort and a job that cannot start can be checked exactly.
#include "EditTestSupport.h"
#include "editing/Printing.h"
#include "editing/Utf8Layout.h"

#include <cerrno>

namespace varlin::test {
namespace {

struct Text {
    int page, x, y;
    std::string text;
};

// A device of 85 cells of 10 pixels (80 cells of text) and rows of 10 pixels.
struct Recorder {
    PageMetrics metrics{850, 300, 10, 10};
    std::vector<Text> out;
    int page = 0;
    int startError = 0;
    int abortAfter = -1;  // lines printed before the user aborts; -1 never
    bool finished = false, aborted = false, released = false;

    PrintJob Job() {
        PrintJob j;
        j.context = this;
        j.measure = [](void* c) { return Self(c).metrics; };
        j.startDocument = [](void* c, const char* name) {
            EXPECT_STREQ(name, "VARLIN");
            return Self(c).startError;
        };
        j.startPage = [](void* c) { ++Self(c).page; };
        j.textOut = [](void* c, int x, int y, std::string_view s) {
            Self(c).out.push_back({Self(c).page, x, y, std::string(s)});
        };
        j.endPage = [](void*) {};
        j.endDocument = [](void* c) { Self(c).finished = true; return 0; };
        j.abortDocument = [](void* c) { Self(c).aborted = true; };
        j.progressAborted = [](void* c) {
            Recorder& r = Self(c);
            return r.abortAfter >= 0 && int(r.out.size()) - 2 * r.page >= r.abortAfter;
        };
        j.release = [](void* c) { Self(c).released = true; };
        return j;
    }
    static Recorder& Self(void* c) { return *static_cast<Recorder*>(c); }
    // The text lines (headers left out), in order.
    std::vector<Text> Body() const {
        std::vector<Text> body;
        for (const Text& t : out)
            if (t.y != 30) body.push_back(t);
        return body;
    }
};

struct PrintTest : EditFixture {
    Recorder device;
    void Fill(int lines) {
        for (int i = 0; i < lines; ++i) w->doc->SetLine(i, "line " + std::to_string(i));
    }
    // Print through the dialog, which takes the selection when it is offered.
    void PrintAll(bool takeSelection = true) {
        host.dialogAnswers.push_back([this, takeSelection](DialogId id, void* r) {
            EXPECT_EQ(id, DialogId::Print);
            auto* record = static_cast<PrintDialogRecord*>(r);
            record->selectionChosen = takeSelection && record->selectionOffered;
            record->job = device.Job();
            return 1;
        });
        Print(*w);
    }
};

TEST_F(PrintTest, HeaderAndPageNumberOnEveryPage) {
    // 300 pixels: text from y 60 while y + 10 stays below 260, 19 lines a page.
    Fill(40);
    w->doc->SetFileName("c:\\texte\\brief.txt");
    PrintAll();
    EXPECT_TRUE(device.finished && device.released);
    ASSERT_EQ(device.page, 3);
    for (int page = 1; page <= 3; ++page) {
        std::vector<Text> header;
        for (const Text& t : device.out)
            if (t.page == page && t.y == 30) header.push_back(t);
        ASSERT_EQ(header.size(), 2u);
        EXPECT_EQ(header[0].text, "Seite " + std::to_string(page));
        EXPECT_EQ(header[0].x, (80 - 7) * 10 + 20);
        EXPECT_EQ(header[1].text, "Datei: C:\\TEXTE\\BRIEF.TXT");
        EXPECT_EQ(header[1].x, 20);
    }
    const std::vector<Text> body = device.Body();
    ASSERT_EQ(body.size(), 40u);
    EXPECT_EQ(body[0].y, 60);
    EXPECT_EQ(body[18].y, 60 + 18 * 10);
    EXPECT_EQ(body[19].page, 2);
    EXPECT_EQ(body[19].y, 60);
}

TEST_F(PrintTest, TextEndingAtTheBottomMarginGetsAHeaderOnlyPage) {
    for (int lines : {18, 19}) {
        device = Recorder{};
        w->doc->Clear();
        Fill(lines);
        PrintAll();
        EXPECT_EQ(device.page, lines == 19 ? 2 : 1) << lines;
        EXPECT_EQ(device.out.back().page, device.page);
    }
    EXPECT_EQ(device.out.back().text, "Datei ist ohne Namen");  // page 2 holds the header only
}

TEST_F(PrintTest, WideLineContinuesIndentedByTheMargin) {
    options.LineNumbers = 1;  // margin 5
    w->doc->SetLine(0, std::string(195, 'x'));
    PrintAll();
    const std::vector<Text> body = device.Body();
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[0].text, "   1 " + std::string(75, 'x'));
    EXPECT_EQ(body[0].x, 20);
    EXPECT_EQ(body[1].text, std::string(75, 'x'));
    EXPECT_EQ(body[2].text, std::string(45, 'x'));  // 80 + 75 + 45 = 200 cells
    EXPECT_EQ(body[1].x, 20 + 5 * 10);
    EXPECT_EQ(body[2].x, 20 + 5 * 10);
    EXPECT_EQ(body[2].y, 80);
}

TEST_F(PrintTest, TabsBlanksAndOemBytesAsThePrinterShowsThem) {
    options.CodeTable = kCodeTableOem;
    options.TabDistance = 4;
    w->doc->SetLine(0, std::string("a\tb\x84"));
    PrintAll();
    EXPECT_EQ(device.Body().at(0).text, "a   b\xE4");
}

// A UTF-8 document reaches a device that draws characters as characters, each in its
// cell (a wide one in two), so that the device's font fallback can draw what its own font
// lacks; a continuation never starts inside a wide character's cells.
TEST_F(PrintTest, Utf8CharactersReachTheDeviceInTheirCells) {
    w->doc->utf8 = true;
    w->doc->SetLine(0, "a\t\xE4\xB8\xAD\xE6\x96\x87\xC3\xBC\xFF");  // a, tab, 中文, ü, a bad byte
    w->doc->SetLine(1, std::string(79, 'x') + "\xE4\xB8\xAD" + "y");  // 中 from cell 79 on
    std::vector<std::u32string> cells;
    static std::vector<std::u32string>* sink = nullptr;
    sink = &cells;
    host.dialogAnswers.push_back([this](DialogId, void* r) {
        auto* record = static_cast<PrintDialogRecord*>(r);
        record->job = device.Job();
        record->job.textOutCells = [](void*, int, int, std::u32string_view c) { sink->emplace_back(c); };
        return 1;
    });
    Print(*w);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], std::u32string(U"a       \u4E2D") + kCellWideTail + U'\u6587' + kCellWideTail + U'\u00FC' +
                            char32_t(0xFF | kCellInvalidByte));
    EXPECT_EQ(cells[1], std::u32string(79, U'x') + U'\u4E2D');  // its tail went to the next line
    EXPECT_EQ(cells[2], (std::u32string{kCellWideTail, U'y'}));
    EXPECT_TRUE(device.Body().empty());  // the header alone through textOut
}

TEST_F(PrintTest, SelectionPrintsWholeLinesAndOnlyAFinishedRange) {
    Fill(10);
    StartDrag(*w, kDragMarked, 3, 3, 5, 2);
    PrintAll();
    const std::vector<Text> body = device.Body();
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[0].text, "line 3");
    EXPECT_EQ(body[2].text, "line 5");

    device = Recorder{};
    PrintAll(/*takeSelection=*/false);
    EXPECT_EQ(device.Body().size(), 10u);

    device = Recorder{};
    StartDrag(*w, kDragMouse, 3, 3, 5, 2);  // still being drawn: the selection beeps
    host.dialogAnswers.push_back([this](DialogId, void* r) {
        auto* record = static_cast<PrintDialogRecord*>(r);
        record->selectionChosen = true;
        record->job = device.Job();
        return 1;
    });
    const int beeps = host.beeps;
    Print(*w);
    EXPECT_EQ(host.beeps, beeps + 1);
    EXPECT_TRUE(device.out.empty());
    EXPECT_TRUE(device.released);
}

TEST_F(PrintTest, EmptyDocumentCancelAbortAndFailureEndTheJobCleanly) {
    Print(*w);  // no lines: a beep, no dialog
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(host.dialogsWanted.empty());

    Fill(100);
    Print(*w);  // no queued answer: the dialog is cancelled
    EXPECT_EQ(host.dialogsWanted.size(), 1u);

    device.abortAfter = 30;
    PrintAll();
    EXPECT_TRUE(device.aborted);
    EXPECT_FALSE(device.finished);
    EXPECT_EQ(device.Body().size(), 30u);
    EXPECT_TRUE(host.messageIds.empty());  // the user's abort is quiet

    device = Recorder{};
    device.startError = ENOENT;
    host.dialogAnswers.push_back([this](DialogId, void* r) {
        auto* record = static_cast<PrintDialogRecord*>(r);
        record->job = device.Job();
        record->job.outputName = "/nowhere/out.pdf";
        return 1;
    });
    Print(*w);
    EXPECT_EQ(host.messageIds, std::vector<int>{1031});
    EXPECT_TRUE(device.out.empty());
    EXPECT_TRUE(device.released);
}

}  // namespace
}  // namespace varlin::test
