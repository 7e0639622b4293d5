// The dialog-control helpers on a real dialog (offscreen): controls found by their ids,
// radio groups that can be cleared although Qt keeps exclusive groups checked, texts in
// both codes and cut buffers, the number rules, colour triples and the colour dialog.
#include "modal_support.h"
#include "editing/qt/SortDialog.h"
#include "platform/qt/DialogControls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>
#include <functional>

using namespace varlin;

using varlin::test::WhenModalShows;

namespace {

// Control ids of the test dialog.
enum : int {
    kBox = 101,
    kTriBox = 102,
    kRadioA = 201,  // 201..203: auto-exclusive radios in a group box
    kRadioC = 203,
    kGroupedA = 211,  // 211..213: radios of an exclusive QButtonGroup
    kGroupedC = 213,
    kField = 301,
    kRed = 302,
    kGreen = 303,
    kBlue = 304,
    kEditableCombo = 305,
    kListCombo = 306,
    kLabel = 307,
    kPlain = 308,
    kMissing = 999,
};

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// A dialog built the way ours are: every control named by its decimal id.
struct TestDialog : QDialog {
    QButtonGroup grouped;

    TestDialog() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Named(new QCheckBox("box"), kBox));
        auto* tri = Named(new QCheckBox("tri"), kTriBox);
        tri->setTristate(true);
        layout->addWidget(tri);
        auto* radios = new QGroupBox("radios");
        auto* radioLayout = new QVBoxLayout(radios);
        for (int id = kRadioA; id <= kRadioC; ++id) radioLayout->addWidget(Named(new QRadioButton("r"), id));
        layout->addWidget(radios);
        for (int id = kGroupedA; id <= kGroupedC; ++id) {
            auto* radio = Named(new QRadioButton("g"), id);
            grouped.addButton(radio);
            layout->addWidget(radio);
        }
        for (int id : {kField, kRed, kGreen, kBlue}) layout->addWidget(Named(new QLineEdit, id));
        auto* editable = Named(new QComboBox, kEditableCombo);
        editable->setEditable(true);
        layout->addWidget(editable);
        auto* list = Named(new QComboBox, kListCombo);
        list->addItems({"eins", "zwei"});
        layout->addWidget(list);
        layout->addWidget(Named(new QLabel("label"), kLabel));
        layout->addWidget(Named(new QPlainTextEdit, kPlain));
    }
};

// The text of a control as QString, so that a failed comparison shows both values.
QString Text(QWidget* dialog, int id) { return QString::fromStdString(GetItemText(dialog, id)); }

const std::string kUmlautText = "Gr\xC3\xB6\xC3\x9F" "e";  // "Größe" in UTF-8

}  // namespace

class DialogControlsTest : public QObject {
    Q_OBJECT
private slots:
    void checkBoxesKeepTheirStates() {
        TestDialog d;
        QCOMPARE(GetButtonCheck(&d, kBox), 0);
        SetButtonCheck(&d, kBox, 1);
        QCOMPARE(GetButtonCheck(&d, kBox), 1);
        SetButtonCheck(&d, kBox, 0);
        QCOMPARE(GetButtonCheck(&d, kBox), 0);
        SetButtonCheck(&d, kTriBox, 2);
        QCOMPARE(GetButtonCheck(&d, kTriBox), 2);
        SetButtonCheck(&d, kTriBox, 1);
        QCOMPARE(GetButtonCheck(&d, kTriBox), 1);
        // A missing control reads as unchecked and setting it is harmless.
        SetButtonCheck(&d, kMissing, 1);
        QCOMPARE(GetButtonCheck(&d, kMissing), 0);
        QCOMPARE(GetButtonCheck(nullptr, kBox), 0);
    }

    void radioGroupsCanBeSetReadAndCleared_data() {
        QTest::addColumn<int>("first");
        QTest::newRow("auto-exclusive radios") << int(kRadioA);
        QTest::newRow("exclusive button group") << int(kGroupedA);
    }
    void radioGroupsCanBeSetReadAndCleared() {
        QFETCH(int, first);
        const int last = first + 2;
        TestDialog d;
        QCOMPARE(GetCheckedRadio(&d, first, last), first);  // none checked
        SetButtonCheck(&d, first + 1, 1);
        QCOMPARE(GetCheckedRadio(&d, first, last), first + 1);
        SetButtonCheck(&d, last, 1);
        QCOMPARE(GetCheckedRadio(&d, first, last), last);
        QCOMPARE(GetButtonCheck(&d, first + 1), 0);
        // A range that leaves the checked button out reads as its first id.
        QCOMPARE(GetCheckedRadio(&d, first, first + 1), first);
        // Qt alone would keep the last button of an exclusive group checked.
        SetButtonCheck(&d, last, 0);
        QCOMPARE(GetButtonCheck(&d, last), 0);
        QCOMPARE(GetCheckedRadio(&d, first, last), first);
        // The group stays exclusive afterwards.
        SetButtonCheck(&d, first, 1);
        SetButtonCheck(&d, first + 1, 1);
        QCOMPARE(GetButtonCheck(&d, first), 0);
    }

    void helpersReachTheControlsOfOurDialogs() {
        SortDialogRecord record{1};
        SortDialog dialog(record);
        QCOMPARE(GetCheckedRadio(&dialog, 2401, 2402), 2402);
        SetButtonCheck(&dialog, 2401, 1);
        QCOMPARE(GetCheckedRadio(&dialog, 2401, 2402), 2401);
        QVERIFY(!GetItemText(&dialog, 1).empty());  // the OK button's text
    }

    void textsRoundTripThroughEveryKindOfControl_data() {
        QTest::addColumn<int>("id");
        QTest::newRow("line edit") << int(kField);
        QTest::newRow("editable combo box") << int(kEditableCombo);
        QTest::newRow("label") << int(kLabel);
        QTest::newRow("plain text edit") << int(kPlain);
        QTest::newRow("check box") << int(kBox);
        QTest::newRow("list combo box, an entry") << int(kListCombo);
    }
    void textsRoundTripThroughEveryKindOfControl() {
        QFETCH(int, id);
        TestDialog d;
        const std::string text = id == kListCombo ? "zwei" : kUmlautText;
        QVERIFY(SetItemText(&d, id, text));
        QCOMPARE(Text(&d, id), QString::fromStdString(text));
    }

    void textsThatCannotBeSet() {
        TestDialog d;
        QVERIFY(!SetItemText(&d, kListCombo, "drei"));
        QCOMPARE(Text(&d, kListCombo), QString("eins"));
        QVERIFY(!SetItemText(&d, kMissing, "x"));
        QCOMPARE(Text(&d, kMissing), QString());
    }

    void ansiTextsAreDocumentBytes() {
        TestDialog d;
        const std::string bytes = "\xE4\x80 \x9F";  // ä, euro sign, blank, Y with diaeresis
        QVERIFY(SetItemText(&d, kField, bytes, TextCode::Ansi));
        QCOMPARE(d.findChild<QLineEdit*>("301")->text(), QString::fromUtf8("\xC3\xA4\xE2\x82\xAC \xC5\xB8"));
        QCOMPARE(QByteArray::fromStdString(GetItemText(&d, kField, TextCode::Ansi)), QByteArray::fromStdString(bytes));
    }

    void textIntoABufferIsCutAndTerminated_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("expected");
        // "Größe": the cut never leaves half of ö or ß behind.
        QTest::newRow("size 1") << 1 << QByteArray("");
        QTest::newRow("size 3") << 3 << QByteArray("Gr");
        QTest::newRow("size 4, inside ö") << 4 << QByteArray("Gr");
        QTest::newRow("size 5") << 5 << QByteArray("Gr\xC3\xB6");
        QTest::newRow("size 6, inside ß") << 6 << QByteArray("Gr\xC3\xB6");
        QTest::newRow("room for all") << 20 << QByteArray(kUmlautText.c_str());
    }
    void textIntoABufferIsCutAndTerminated() {
        QFETCH(int, size);
        QFETCH(QByteArray, expected);
        TestDialog d;
        SetItemText(&d, kField, kUmlautText);
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        QCOMPARE(GetItemText(&d, kField, buffer, size), int(expected.size()));
        QCOMPARE(QByteArray(buffer), expected);
        QCOMPARE(buffer[size], 'x');  // nothing written beyond the size
    }

    void noBufferNoWrite() {
        TestDialog d;
        SetItemText(&d, kField, "abc");
        char buffer[4] = {'x', 'x', 'x', 'x'};
        QCOMPARE(GetItemText(&d, kField, nullptr, 4), 0);
        QCOMPARE(GetItemText(&d, kField, buffer, 0), 0);
        QCOMPARE(buffer[0], 'x');
    }

    // The number rules themselves are the core's (ParseItemInt, ValidateIntText) and
    // tested there; these cases show that the control's text is what they read.
    void numbersAreReadFromTheControl() {
        TestDialog d;
        SetItemText(&d, kField, "  42abc");
        QCOMPARE(GetItemInt(&d, kField), 42);
        QVERIFY(SetItemInt(&d, kField, -2147483647 - 1));
        QCOMPARE(Text(&d, kField), QString("-2147483648"));
        QCOMPARE(GetItemInt(&d, kField), -2147483647 - 1);
        QCOMPARE(GetItemInt(&d, kMissing), 0);
    }

    void validationOfNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<int>("highest");
        QTest::addColumn<int>("valid");
        QTest::newRow("below the bounds") << "-5" << 1 << 10 << 0;
        QTest::newRow("letter after digits") << "12a" << 1 << 10 << 0;
        QTest::newRow("empty, 0 outside") << "" << 1 << 10 << 0;
        QTest::newRow("empty, 0 inside") << "" << -3 << 3 << 1;
        QTest::newRow("highest bound") << "10" << 1 << 10 << 1;
    }
    void validationOfNumbers() {
        QFETCH(QString, text);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        QFETCH(int, valid);
        TestDialog d;
        SetItemText(&d, kField, text.toStdString());
        QCOMPARE(ValidateItemInt(&d, kField, lowest, highest), valid);
    }

    void coloursAreThreeControlsOfEightBits() {
        TestDialog d;
        SetItemColor(&d, kRed, kGreen, kBlue, MakeColor(255, 251, 240));
        QCOMPARE(Text(&d, kRed), QString("255"));
        QCOMPARE(Text(&d, kGreen), QString("251"));
        QCOMPARE(Text(&d, kBlue), QString("240"));
        QCOMPARE(GetItemColor(&d, kRed, kGreen, kBlue), MakeColor(255, 251, 240));
        SetItemText(&d, kRed, "300");
        SetItemText(&d, kGreen, "-1");
        SetItemText(&d, kBlue, "256");
        QCOMPARE(GetItemColor(&d, kRed, kGreen, kBlue), MakeColor(44, 255, 0));
    }

    void editColorTripleTakesTheChosenColour() {
        TestDialog d;
        SetItemColor(&d, kRed, kGreen, kBlue, MakeColor(10, 20, 30));
        QColor shown;
        WhenModalShows<QColorDialog>([&shown](QColorDialog* dialog) {
            shown = dialog->currentColor();
            dialog->setCurrentColor(QColor(200, 100, 50));
            dialog->accept();
        });
        Color chosen = 0x123456;
        QCOMPARE(EditColorTriple(&d, kRed, kGreen, kBlue, &chosen), kColorChosen);
        QCOMPARE(shown, QColor(10, 20, 30));  // started from the controls
        QCOMPARE(chosen, MakeColor(200, 100, 50));
        QCOMPARE(Text(&d, kRed), QString("200"));
        QCOMPARE(Text(&d, kGreen), QString("100"));
        QCOMPARE(Text(&d, kBlue), QString("50"));
    }

    void editColorTripleCancelledChangesNothing() {
        TestDialog d;
        SetItemColor(&d, kRed, kGreen, kBlue, MakeColor(10, 20, 30));
        WhenModalShows<QColorDialog>([](QColorDialog* dialog) {
            dialog->setCurrentColor(QColor(200, 100, 50));
            dialog->reject();
        });
        Color chosen = 0x123456;
        QCOMPARE(EditColorTriple(&d, kRed, kGreen, kBlue, &chosen), kColorCancelled);
        QCOMPARE(chosen, Color(0x123456));
        QCOMPARE(GetItemColor(&d, kRed, kGreen, kBlue), MakeColor(10, 20, 30));
    }
};

QTEST_MAIN(DialogControlsTest)
#include "dialog_controls.moc"
