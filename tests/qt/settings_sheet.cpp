// The settings sheet as real widgets (offscreen): filling from the options, which user
// changes light up "Übernehmen", apply and cancel, refused numbers, the colour page and
// the filter list; and command 73 in the frame, whose apply shows at once in an open
// document window and survives a restart from the same settings file.
#include "modal_support.h"
#include "edit_view_support.h"

#include "frame/CommandRouting.h"
#include "resources/StringTable.h"
#include "settings/qt/SettingsSheet.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace varlin;
using namespace varlin::test;

namespace {

template <typename W = QWidget>
W* Item(QWidget* sheet, int id) { return sheet->findChild<W*>(QString::number(id)); }

// Shows the tab that holds a control, as the user must before reaching it.
void ShowPageOf(QWidget* sheet, QWidget* w) {
    auto* tabs = Item<QTabWidget>(sheet, 12320);
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(w)) tabs->setCurrentIndex(i);
}

void Click(QWidget* sheet, int id) {
    QWidget* w = Item(sheet, id);
    QVERIFY2(w, qPrintable(QString::number(id)));
    ShowPageOf(sheet, w);
    // Check boxes and radio buttons take clicks on their indicator and text only.
    const bool indicator = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
    QTest::mouseClick(w, Qt::LeftButton, {}, indicator ? QPoint(6, w->height() / 2) : QPoint());
}

// Replaces a field's text as the user would.
void Type(QWidget* sheet, int id, const QString& text) {
    auto* field = Item<QLineEdit>(sheet, id);
    QVERIFY2(field, qPrintable(QString::number(id)));
    ShowPageOf(sheet, field);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

void ShowPage(QWidget* sheet, int index) { Item<QTabWidget>(sheet, 12320)->setCurrentIndex(index); }
bool Checked(QWidget* sheet, int id) { return Item<QAbstractButton>(sheet, id)->isChecked(); }
bool ApplyLit(QWidget* sheet) { return Item(sheet, 12321)->isEnabled(); }

}  // namespace

class SettingsSheetTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    HeadlessHost host_;
    Options options_;
    SettingsSheetRecord record_;
    std::unique_ptr<SettingsSheet> sheet_;

    SettingsSheet* Open() {
        sheet_ = std::make_unique<SettingsSheet>(record_, QFont());
        sheet_->show();
        return sheet_.get();
    }
    std::string Stored() {
        QFile f(dir_.filePath("settings.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

private slots:
    void init() {
        SetSettingsFile(dir_.filePath("settings.ini").toStdString());
        QFile::remove(dir_.filePath("settings.ini"));
        SetAppLanguage(int(AppLanguage::German));
        host_.Reset();
        host_.writeMessagesToStderr = false;
        host_.Install();
        options_ = Options{};
        InitOptions(options_);
        record_ = SettingsSheetRecord{&options_, {}, {}, {}};
    }
    void cleanup() {
        sheet_.reset();
        SetSettingsFile("");
    }

    void fillsEveryPageFromTheOptions() {
        options_.AutoOpen = 1;
        options_.AutoDelDrag = 0;
        options_.LngLineBuffer = 4096;
        options_.CodeTable = 0;  // in no table: neither radio
        options_.VbChar = 32;
        options_.TabChar = 7;
        options_.TabDistance = 3;
        options_.LineNumbers = 0;
        options_.ColorKeywords = MakeColor(1, 2, 3);
        SettingsSheet* s = Open();
        QCOMPARE(s->windowTitle(), QString("Einstellungen"));
        QStringList titles;
        for (int i = 0; i < s->tabs()->count(); ++i) titles << s->tabs()->tabText(i);
        QCOMPARE(titles, QStringList({"&Einstellungen", "&Ansicht", "Dateifilter", "&Farben"}));
        QCOMPARE(s->tabs()->currentIndex(), 0);
        QCOMPARE(Item<QPushButton>(s, 12321)->text(), QString("Ü&bernehmen"));
        QVERIFY(!ApplyLit(s));
        const struct {
            int id;
            bool checked;
        } boxes[] = {{204, true}, {205, true}, {206, true}, {208, false}, {209, true}, {207, true}, {802, false},
                     {803, false}, {310, false}, {311, true}, {314, false}, {316, false}, {301, false},
                     {307, true}};
        for (const auto& b : boxes) QVERIFY2(Checked(s, b.id) == b.checked, qPrintable(QString::number(b.id)));
        QCOMPARE(Item<QLineEdit>(s, 402)->text(), QString("4096"));
        QCOMPARE(Item<QLineEdit>(s, 1004)->text(), QString("3"));
        QCOMPARE(Item<QLineEdit>(s, 1026)->text() + Item<QLineEdit>(s, 1027)->text() +
                     Item<QLineEdit>(s, 1028)->text(), QString("123"));
        auto* list = Item<QTableWidget>(s, 1003);
        QCOMPARE(list->rowCount(), 7);
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QString("Beschreibung"));
        QCOMPARE(list->item(6, 1)->text(), QString("*."));
    }

    void everyKindOfChangeLightsUpApply_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");  // empty: the control is clicked
        QTest::newRow("Markierte Bereiche ... löschen") << 208 << "";
        QTest::newRow("Zeilenenden beibehalten") << 209 << "";
        QTest::newRow("Pfeil") << 314 << "";
        QTest::newRow("ASCII") << 802 << "";
        QTest::newRow("Tabulatordistanz") << 1004 << "7";
        QTest::newRow("Zeilenpuffer") << 402 << "4096";
        QTest::newRow("red of Text") << 1017 << "7";
        QTest::newRow("Standard") << 1035 << "";
        QTest::newRow("Hinzufügen") << 701 << "";
    }
    void everyKindOfChangeLightsUpApply() {
        QFETCH(int, id);
        QFETCH(QString, typed);
        options_.TabChar = 32;
        SettingsSheet* s = Open();
        // Typing into the filter fields is no change until "Hinzufügen".
        Type(s, 1105, "Quellen");
        Type(s, 1104, "*.q");
        QVERIFY(!ApplyLit(s));
        if (typed.isEmpty()) Click(s, id);
        else Type(s, id, typed);
        QVERIFY(ApplyLit(s));
        Click(s, 12321);
        QVERIFY(!ApplyLit(s));
        QVERIFY(Stored().find("[Options]") != std::string::npos);
    }

    void applyReadsShownPagesAndCancelReadsNothing() {
        SettingsSheet* s = Open();
        Click(s, 205);
        options_.TabDistance = 5;   // changed elsewhere; page "&Ansicht" was never shown
        Click(s, 12321);
        QCOMPARE(options_.AutoOpen, 1);
        QCOMPARE(options_.TabDistance, 5);
        Options again;
        InitOptions(again);
        QCOMPARE(again.AutoOpen, 1);

        Click(s, 205);
        Type(s, 1004, "4");
        Click(s, 2);
        QCOMPARE(s->result(), 2);
        QCOMPARE(options_.AutoOpen, 1);
        QCOMPARE(options_.TabDistance, 5);
    }

    void codeTableZeroStoresAscii() {
        options_.CodeTable = 0;
        SettingsSheet* s = Open();
        Click(s, 204);
        Click(s, 1);
        QCOMPARE(s->result(), 1);
        QCOMPARE(options_.CodeTable, 1);
        QCOMPARE(options_.IndentMode, 0);
    }

    void refusedNumbersKeepTheSheetAndTheOptions_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("range");
        QTest::newRow("not a number") << 1004 << "abc" << "2 - 1000";
        QTest::newRow("tab distance 0") << 1004 << "0" << "2 - 1000";
        QTest::newRow("empty") << 1004 << "" << "2 - 1000";
        QTest::newRow("tiny line buffer") << 402 << "5" << "100 - 16777216";
        QTest::newRow("negative blue") << 1034 << "-1" << "0 - 999";
        QTest::newRow("red letters") << 1017 << "x" << "0 - 999";
    }
    void refusedNumbersKeepTheSheetAndTheOptions() {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(QString, range);
        const Options before = options_;
        SettingsSheet* s = Open();
        Click(s, 206);          // a change on page 1
        Type(s, id, text);
        ShowPage(s, 2);         // the refusal brings its page back
        QApplication::setActiveWindow(s);
        Click(s, 1);
        QVERIFY(s->isVisible());
        QCOMPARE(host_.messageIds, std::vector<int>({1230}));
        QVERIFY(QString::fromStdString(host_.messageTexts.back()).contains(range));
        QTRY_COMPARE(QApplication::focusWidget(), Item(s, id));
        QCOMPARE(options_.InsertMode, before.InsertMode);
        QCOMPARE(Stored(), std::string());
        QVERIFY(ApplyLit(s));
    }

    void colourPage() {
        options_.ColorText = MakeColor(10, 20, 30);
        SettingsSheet* s = Open();
        Type(s, 1017, "300");   // stored as 44
        Click(s, 1);
        QCOMPARE(options_.ColorText, MakeColor(44, 20, 30));

        // "Standard" then cancel leaves every colour; a colour chosen with "Ändern..." is
        // in the options at once and stays there after cancel.
        options_.ColorComments = MakeColor(5, 5, 5);
        const Options before = options_;
        const std::string stored = Stored();
        s = Open();
        Click(s, 1035);
        QCOMPARE(Item<QLineEdit>(s, 1017)->text(), QString("0"));
        QCOMPARE(Item<QLineEdit>(s, 1033)->text(), QString("251"));
        WhenModalShows<QColorDialog>([](QColorDialog* d) {
            d->setCurrentColor(QColor(9, 8, 7));
            d->accept();
        });
        Click(s, 1010);
        QCOMPARE(options_.ColorComments, MakeColor(9, 8, 7));
        QCOMPARE(Item<QLineEdit>(s, 1031)->text(), QString("7"));
        QVERIFY(ApplyLit(s));
        Click(s, 2);
        QCOMPARE(options_.ColorText, before.ColorText);
        QCOMPARE(options_.ColorBackground, before.ColorBackground);
        QCOMPARE(options_.ColorComments, MakeColor(9, 8, 7));
        QCOMPARE(Stored(), stored);
    }

    void filterList() {
        options_.FileNameFilter = "A|*.a|B|*.b|C|*.c|";
        SettingsSheet* s = Open();
        ShowPage(s, 2);
        auto* list = Item<QTableWidget>(s, 1003);
        auto selected = [list] { return list->selectedItems().isEmpty() ? -1 : list->selectedItems()[0]->row(); };
        auto enabled = [s](int id) { return Item(s, id)->isEnabled(); };
        QCOMPARE(selected(), 0);
        QVERIFY(enabled(2505) && !enabled(2506) && enabled(2507));   // first row: not up
        Click(s, 2506);
        QCOMPARE(list->item(0, 0)->text(), QString("A"));
        Click(s, 2507);                                             // A moves down, stays selected
        QCOMPARE(list->item(1, 0)->text(), QString("A"));
        QCOMPARE(selected(), 1);
        Click(s, 2507);
        QCOMPARE(selected(), 2);
        QVERIFY(enabled(2506) && !enabled(2507));                   // last row: not down
        Click(s, 2507);
        QCOMPARE(list->item(2, 0)->text(), QString("A"));
        Click(s, 2505);                                             // the last goes: new last selected
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(selected(), 1);

        Type(s, 1105, "Bar|s");
        Type(s, 1104, "*.x");
        Click(s, 701);
        QCOMPARE(host_.messageIds, std::vector<int>({1231}));
        QCOMPARE(list->rowCount(), 2);
        Type(s, 1105, "");                                          // empty description: taken
        Click(s, 701);
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(selected(), 2);
        Type(s, 1105, QString(99, 'd'));
        Type(s, 1104, QString(99, 'p'));
        for (int i = 0; i < 3; ++i) Click(s, 701);                  // 3 x 201 bytes pass 499
        QCOMPARE(host_.messageIds, std::vector<int>({1231, 1232}));
        QCOMPARE(list->rowCount(), 5);
        Click(s, 12321);
        QCOMPARE(options_.FileNameFilter, "B|*.b|C|*.c||*.x|" + std::string(99, 'd') + "|" +
                                              std::string(99, 'p') + "|" + std::string(99, 'd') + "|" +
                                              std::string(99, 'p') + "|");
        QVERIFY(options_.FileNameFilter.size() <= 499);
        while (list->rowCount() > 0) Click(s, 2505);                // an empty list stays sound
        QVERIFY(!enabled(2505) && !enabled(2506) && !enabled(2507));
        Click(s, 1);
        QCOMPARE(options_.FileNameFilter, std::string());
    }
};

// Command 73 in the frame: the applied options show in the open window at once, and a
// new start from the same settings file has them.
class SettingsInFrameTest : public QObject {
    Q_OBJECT
private slots:
    void appliedOptionsShowAtOnceAndAfterARestart() {
        EditViewHarness h;
        QVERIFY(h.Start());
        EditView* view = h.Open("\tx\n", "tabs.c");
        QVERIFY(view);
        // Paints of the whole window, not the caret's blinking cell.
        int paints = 0;
        struct PaintCounter : QObject {
            int* count;
            QWidget* viewport;
            PaintCounter(int* c, QWidget* v) : count(c), viewport(v) {}
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint &&
                    static_cast<QPaintEvent*>(e)->rect() == viewport->rect()) ++*count;
                return false;
            }
        } counter(&paints, view->viewport());
        view->viewport()->installEventFilter(&counter);
        QTRY_VERIFY(paints > 0);
        const QImage before = view->viewport()->grab().toImage();
        SetCaret(view->window(), 0, 13);  // on the x
        // Page "&Ansicht": tab distance 4, line numbers off, "Übernehmen", then OK.
        auto answer = [&](SettingsSheet& sheet) {
            Type(&sheet, 1004, "4");
            Click(&sheet, 301);
            paints = 0;
            Click(&sheet, 12321);
            QTRY_VERIFY(paints > 0);  // repainted without anything else happening
            Click(&sheet, 1);
        };
        h.host.dialogAnswers.push_back([&](DialogId, void* record) -> int {
            SettingsSheet sheet(*static_cast<SettingsSheetRecord*>(record), QFont());
            sheet.show();
            answer(sheet);
            return sheet.result();
        });
        h.frame->RunCommand(kCmdSettings);
        QCOMPARE(h.host.dialogsWanted.back(), DialogId::Settings);
        QCOMPARE(CurrentOptions().TabDistance, 4);
        QCOMPARE(CurrentOptions().LineNumbers, 0);
        QCOMPARE(MarginWidth(view->window()), 0);
        QCOMPARE(view->window().caretCol, 4);  // still on the x

        QVERIFY(view->viewport()->grab().toImage() != before);
        h.Stop();

        // A new start from the same settings file.
        CurrentOptions() = Options{};
        QVERIFY(h.Start());
        QCOMPARE(h.app->options->TabDistance, 4);
        QCOMPARE(h.app->options->LineNumbers, 0);
        h.Stop();
        CurrentOptions() = Options{};
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        SettingsSheetTest sheet;
        status |= QTest::qExec(&sheet, argc, argv);
    }
    {
        SettingsInFrameTest frame;
        status |= QTest::qExec(&frame, argc, argv);
    }
    return status;
}

#include "settings_sheet.moc"
