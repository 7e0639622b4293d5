// What a new user trips over, tried with keys and the mouse on the frame with its real
// dialogs and message boxes: Save As and F2 Y onto an existing file, the print dialog's page
// range, a UTF-8 file with a damaged byte, the range in the status line, the texts of
// the dialogs (cut, garbled, in the wrong language) and the settings sheet's Alt+B.
#include "edit_view_support.h"
#include "modal_support.h"

#include "editing/Printing.h"
#include "editing/qt/QtPrinting.h"
#include "frame/KeyTable.h"
#include "frame/qt/GuiMain.h"
#include "frame/qt/KeyAssignmentDialog.h"
#include "frame/qt/LanguageDialog.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/TranslationDialog.h"
#include "macro/DllTest.h"
#include "macro/qt/DllTestDialog.h"
#include "platform/TempFiles.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QAbstractSpinBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>

using namespace varlin;
using namespace varlin::test;

class NewUserRoadsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(h_.Start(true));
        SetTemporaryBase(h_.dir.path().toStdString());
        InstallFrameParts(*h_.frame);
        InstallQtHost(h_.frame.get());
        h_.frame->RefreshMenu();
    }
    void cleanup() {
        SetAppLanguage(49);
        UseQtTranslation(49);
        h_.host.Install();
        h_.Stop();
    }

    // Ctrl+Alt+S, the name of an existing file, Return: the question in the program's
    // words; No shows the dialog again (Escape there keeps the file), Yes replaces it.
    void saveAsOntoAnExistingFileAsksFirst() {
        const QString existing = h_.dir.filePath("existing.txt");
        WriteFile(existing, "keep\n");
        EditView* view = h_.Open("new text\n");
        QVERIFY(view);
        QString question;
        for (const QString answer : {"&Nein", "&Ja"}) {
            WhenModalShows<QFileDialog>([existing, answer, &question](QFileDialog* dialog) {
                WhenModalShows<QMessageBox>([answer, &question](QMessageBox* box) {
                    question = box->text();
                    if (answer == "&Nein") WhenModalShows<QFileDialog>([](QFileDialog* again) {
                        QTest::keyClick(again, Qt::Key_Escape);
                    });
                    for (QAbstractButton* b : box->buttons())
                        if (b->text() == answer) QTest::mouseClick(b, Qt::LeftButton);
                });
                auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                name->setText(existing);  // typed, the completer's popup would take the Return
                QTest::keyClick(name, Qt::Key_Return);
            });
            QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
            QVERIFY2(question.contains("Die Datei besteht bereits"), qPrintable(question));
            QCOMPARE(ReadFile(existing), QByteArray(answer == "&Nein" ? "keep\n" : "new text\n"));
        }
    }

    // F2 Y names an existing macro file: the same question; No and Escape keep the file.
    void savingTheLearnedMacroOntoAnExistingFileAsksFirst() {
        const QString existing = h_.dir.filePath("existing.vlm");
        WriteFile(existing, "Macro \"keep\"\n");
        EditView* view = h_.Open("text\n");
        QVERIFY(view);
        Type(view, {}, Qt::Key_F2);
        Type(view, "l", Qt::Key_L);
        Type(view, "a", Qt::Key_A);
        Type(view, {}, Qt::Key_F2);
        Type(view, "l", Qt::Key_L);
        QString question;
        WhenModalShows<QFileDialog>([existing, &question](QFileDialog* dialog) {
            WhenModalShows<QMessageBox>([&question](QMessageBox* box) {
                question = box->text();
                WhenModalShows<QFileDialog>([](QFileDialog* again) { QTest::keyClick(again, Qt::Key_Escape); });
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == "&Nein") QTest::mouseClick(b, Qt::LeftButton);
            });
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText(existing);
            QTest::keyClick(name, Qt::Key_Return);
        });
        Type(view, {}, Qt::Key_F2);
        Type(view, "y", Qt::Key_Y);
        QVERIFY2(question.contains("Die Datei besteht bereits"), qPrintable(question));
        QCOMPARE(ReadFile(existing), QByteArray("Macro \"keep\"\n"));
    }

    // F2 D: the dialog has no page range to offer (it prints all or the selection).
    void printDialogOffersNoPageRange() {
        EditView* view = h_.Open("a\nb\n");
        QStringList enabledRangeWidgets;
        bool shown = false;
        WhenModalShows<QPrintDialog>([&](QPrintDialog* dialog) {
            shown = true;
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                const QString name = w->objectName();
                if ((name.contains("page", Qt::CaseInsensitive) && name.contains("range", Qt::CaseInsensitive)) ||
                    name == "printRange" || name == "from" || name == "to" || name == "pagesRadioButton" ||
                    name == "pagesLineEdit") {
                    if (w->isEnabled() && w->isVisibleTo(dialog)) enabledRangeWidgets << name;
                }
            }
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        Type(view, {}, Qt::Key_F2);
        Type(view, "d", Qt::Key_D);
        QVERIFY(shown);
        QVERIFY2(enabledRangeWidgets.isEmpty(), qPrintable(enabledRangeWidgets.join(", ")));
    }

    // A UTF-8 file with one damaged byte opens as UTF-8 (the byte shown as it is); the code
    // field says on its tip that a click changes the reading. Shift+Down twice from the
    // first line shows the range as drawn.
    void aDamagedUtf8FileStaysUtf8AndTheRangeReadsAsDrawn() {
        EditView* view = h_.Open("Gr\xC3\xBC\xC3\x9F" "e\n\xFC und \xC3\xA4\nx\n");
        QVERIFY(view);
        QVERIFY(view->window().doc->utf8);
        StatusLine* status = FrameAreaOf(*h_.frame)->statusLine();
        QCOMPARE(status->fieldText(504), QString("Code UTF-8"));
        QVERIFY(status->findChild<QLabel*>("StatusField504")->toolTip().contains("Klicken"));
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(status->fieldText(503), QString("1/1 bis 3/1"));
    }

    // Printed to a PDF, a UTF-8 document's characters are its characters, not '?'.
    void printedUtf8TextKeepsItsCharacters() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("unavailable here: pdftotext");
        h_.Open("\xC3\xBC \xE2\x82\xAC \xE4\xB8\xAD \xCE\xA9\n");
        const std::string pdf = h_.dir.filePath("out.pdf").toStdString();
        PrintJob job;
        QCOMPARE(OpenPdfPrintJob(pdf, job), 0);
        QCOMPARE(PrintLines(h_.Current()->window(), job, 0, 0), PrintResult::Printed);
        job.release(job.context);
        QProcess text;
        text.start("pdftotext", {QString::fromStdString(pdf), "-"});
        QVERIFY(text.waitForFinished(20000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QString::fromUtf8("\xC3\xBC \xE2\x82\xAC")) && printed.contains(QChar(0x3A9)) &&
                     !printed.contains('?'),
                 qPrintable(printed));
    }

    // The settings sheet: Alt+B is "Ü&bernehmen"; a red of 300 is stored as 44 and the
    // field then shows 44.
    void settingsApplyWithAltBAndShowWhatWasStored() {
        QString label, shown;
        bool enabledBefore = false, enabledAfter = true;
        WhenModalShows<QDialog>([&](QDialog* sheet) {
            QApplication::setActiveWindow(sheet);  // a window manager would; Alt+B is the window's
            auto* red = sheet->findChild<QLineEdit*>("1017");
            auto* apply = sheet->findChild<QPushButton*>("12321");
            sheet->findChild<QTabWidget*>("12320")->setCurrentIndex(3);
            red->selectAll();
            QTest::keyClicks(red, "300");
            enabledBefore = apply->isEnabled();
            label = apply->text();
            QTest::keyClick(sheet, Qt::Key_B, Qt::AltModifier);
            for (int wait = 0; wait < 100 && apply->isEnabled(); ++wait) QTest::qWait(10);  // an animated click
            shown = red->text();
            enabledAfter = apply->isEnabled();
            QTest::keyClick(sheet, Qt::Key_Escape);
        });
        h_.frame->RunCommand(73);
        QCOMPARE(label, QString::fromUtf8("Ü&bernehmen"));
        QVERIFY(enabledBefore);
        QVERIFY(!enabledAfter);
        QCOMPARE(shown, QString("44"));
        QCOMPARE(ColorRed(h_.app->options->ColorText), 44);
    }

    // Texts that were cut or garbled: the DLL test's labels, the translation assistance's
    // key column, the key list's command rows and its right edge.
    void dialogTextsAreWholeAndReadable() {
        DllTestRecord record;
        DllTestDialog dll(record, h_.frame.get());
        dll.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dll));
        // Room beyond the measured text: drawn, the underline of "&T" costs the kerning of "Te".
        for (QLabel* label : {dll.findChild<QLabel*>("1003"), dll.findChild<QLabel*>("1005")}) {
            const int text = label->fontMetrics().horizontalAdvance(label->text().remove('&'));
            QVERIFY2(label->width() >= text + 3, qPrintable(label->text()));
        }

        TranslationDialog assistance(h_.frame.get());
        assistance.show();
        QVERIFY(QTest::qWaitForWindowExposed(&assistance));
        auto* texts = assistance.findChild<QTableWidget*>("texts");
        QVERIFY(texts->columnWidth(0) <= 120);
        QVERIFY(texts->columnWidth(1) >= 250);

        KeyTable keys;
        FillF3Table(keys);
        keys.entries[5].commandId = 40;
        KeyAssignmentRecord assignment{&keys, "F3"};
        KeyAssignmentDialog list(assignment, h_.frame.get());
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto* rows = list.findChild<QTableWidget*>("1036");
        QCOMPARE(rows->item(5, 1)->text(), QString("Befehl 40"));
        QVERIFY(!rows->item(5, 2)->text().isEmpty());
        const QHeaderView* header = rows->horizontalHeader();
        QCOMPARE(header->sectionPosition(2) + header->sectionSize(2), rows->viewport()->width());
    }

    // In English the file dialog's filter list is English too.
    void theEnglishOpenDialogFiltersInEnglish() {
        SetAppLanguage(44);
        QStringList filters;
        WhenModalShows<QFileDialog>([&filters](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::keyClick(h_.frame.get(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY2(!filters.isEmpty() && filters.front().startsWith("All files"), qPrintable(filters.join("; ")));
    }

private:
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray ReadFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    EditViewHarness h_;
};

QTEST_MAIN(NewUserRoadsTest)
#include "new_user_roads.moc"
