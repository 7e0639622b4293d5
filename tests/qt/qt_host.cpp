// The Qt host with real widgets (offscreen): message boxes answered by a timer that
// presses their buttons, the clipboard round trip of every byte, Escape polling that
// swallows all other input, file filters and the remembered folder of the file dialog.
#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace varlin;

namespace {

// Runs `answer` on the first modal widget of type T that appears (it retries until one is up).
template <class T>
void WhenModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        }
    });
    timer->start();
}

QStringList ButtonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) texts << b->text();
    texts.sort();
    return texts;
}

}  // namespace

class QtHostTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        settings_ = dir_.filePath("settings.ini").toStdString();
        SetSettingsFile(settings_);
        InstallQtHost();
        SetEscapePollInterval(0);
    }
    void cleanupTestCase() { SetSettingsFile(""); }

    void messageBox_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("result");
        using K = MessageKind;
        using B = MessageButtons;
        QTest::newRow("error OK") << int(K::Error) << int(B::Ok) << int(QMessageBox::Critical)
                                  << QStringList{"OK"} << "OK" << 1;
        QTest::newRow("info OK Cancel") << int(K::Information) << int(B::OkCancel)
                                        << int(QMessageBox::Information)
                                        << QStringList{"Abbrechen", "OK"} << "Abbrechen" << 2;
        QTest::newRow("info Yes No") << int(K::Information) << int(B::YesNo)
                                     << int(QMessageBox::Information)
                                     << QStringList{"&Ja", "&Nein"} << "&Ja" << 6;
        QTest::newRow("question Yes No") << int(K::Question) << int(B::YesNo)
                                         << int(QMessageBox::Question)
                                         << QStringList{"&Ja", "&Nein"} << "&Nein" << 7;
        QTest::newRow("question Yes No Cancel")
            << int(K::Question) << int(B::YesNoCancel) << int(QMessageBox::Question)
            << QStringList{"&Ja", "&Nein", "Abbrechen"} << "&Nein" << 7;
        QTest::newRow("Escape cancels") << int(K::Question) << int(B::YesNoCancel)
                                        << int(QMessageBox::Question)
                                        << QStringList{"&Ja", "&Nein", "Abbrechen"} << "Esc" << 2;
        QTest::newRow("Escape on OK") << int(K::Error) << int(B::Ok) << int(QMessageBox::Critical)
                                      << QStringList{"OK"} << "Esc" << 1;
    }
    void messageBox() {
        QFETCH(int, kind);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(QStringList, texts);
        QFETCH(QString, press);
        QFETCH(int, result);
        MessageRequest request;
        request.kind = MessageKind(kind);
        request.buttons = MessageButtons(buttons);
        request.caption = "Varlin Fehler";
        request.text = "Zeile 1\nZeile 2";

        QString seenTitle, seenText;
        QStringList seenButtons;
        int seenIcon = -1;
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenButtons = ButtonTexts(box);
            seenIcon = int(box->icon());
            if (press == "Esc") {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == press) b->click();
            }
        });
        QCOMPARE(HostShowMessage(request), result);
        QCOMPARE(seenTitle, QString("Varlin Fehler"));
        QCOMPARE(seenText, QString::fromStdString(request.text));
        QCOMPARE(seenButtons, texts);
        QCOMPARE(seenIcon, icon);
    }

    void messageByIdShowsArgument() {
        QString seen;
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            seen = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(ShowMessage(1026, "/tmp/fehlt.c"), 1);
        QVERIFY2(seen.contains("/tmp/fehlt.c"), qPrintable(seen));
        QVERIFY(!seen.contains("%s"));
    }

    void clipboardRoundTripOfEveryByte() {
        std::string all;
        for (int c = 0; c < 256; ++c) all += char(c);
        all += all;  // twice, so that NUL in the middle is covered too
        QVERIFY(HostSetClipboard(all));
        std::string back;
        QVERIFY(HostGetClipboard(back));
        QCOMPARE(back.size(), all.size());
        QVERIFY(back == all);
        // Other programs read the Windows-1252 text of the bytes.
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(kClipboardBytesMimeType));
        QString text = data->text();
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0xE4), QChar(0x00E4));
        QCOMPARE(text.at(0x09), QChar('\t'));
        QCOMPARE(text.at(0x81), QChar(0x81));
    }

    void clipboardTextOfOtherPrograms() {
        QGuiApplication::clipboard()->setText(QString::fromUtf8("€ä\r\nx→"));
        std::string bytes;
        QVERIFY(HostGetClipboard(bytes));
        QCOMPARE(QByteArray::fromStdString(bytes), QByteArray("\x80\xE4\r\nx?"));
        // Ours go out with the platform's line ends, and come back as they were.
        QVERIFY(HostSetClipboard("a\r\nb\r\n"));
#ifndef _WIN32
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->text(), QString("a\nb\n"));
#endif
        QVERIFY(HostGetClipboard(bytes));
        QCOMPARE(bytes, std::string("a\r\nb\r\n"));
    }

    void textConversionIsExactForEveryByte() {
        for (int c = 0; c < 256; ++c) {
            std::string one(1, char(c));
            QCOMPARE(int((unsigned char)Windows1252ToBytes(BytesToWindows1252(one))[0]), c);
        }
    }

    void escapePollSwallowsInputAndNotesEscape() {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        auto* button = new QPushButton("x", &window);
        button->move(0, 40);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&] { ++clicks; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
        QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        QPoint centre = button->rect().center();
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre),
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        bool paintedMeanwhile = false;
        QTimer::singleShot(0, [&] { paintedMeanwhile = QtHostInsideEscapePoll(); });
        QVERIFY(HostPollEscape());
        QVERIFY(paintedMeanwhile);  // other work (timers, painting) went on during the poll
        QCOMPARE(edit->text(), QString());
        QCOMPARE(clicks, 0);
        QVERIFY(!HostPollEscape());  // the Escape counts once
        // After the loop, input works again.
        QTest::keyClick(edit, Qt::Key_B);
        QCOMPARE(edit->text(), QString("b"));
    }

    void fileFilterForQt() {
        std::string filter = "Alle Dateien (*.*)|*.*|C Quellen (*.c)|*.c|Mehrere|*.c;*.h|Ohne|";
        QCOMPARE(QtFileFilter(filter),
                 QString("Alle Dateien (*);;C Quellen (*.c);;Mehrere (*.c *.h)"));
        QCOMPARE(QtFileFilter(""), QString());
    }

    void fileDialogRemembersFolder() {
        QTemporaryDir folder;
        QString file = folder.filePath("eins.c");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        Korvel_WriteStringToHKCU("LastUsed", "OpenFile", folder.filePath("anders.c").toStdString());
        QString startedIn;
        QString title;
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            startedIn = dialog->directory().absolutePath();
            title = dialog->windowTitle();
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        FileDialogRequest request;
        request.mode = FileDialogMode::OpenMany;
        request.titleId = 1501;
        request.filter = "C Quellen (*.c)|*.c|";
        request.registryValue = "OpenFile";
        std::vector<std::string> names;
        QVERIFY(HostAskFileNames(request, names));
        QCOMPARE(startedIn, QDir(folder.path()).absolutePath());
        QCOMPARE(title, QString::fromUtf8("Öffnen"));
        QCOMPARE(names.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(names[0]), file);
        QCOMPARE(QString::fromStdString(Korvel_ReadStringFromHKCU("LastUsed", "OpenFile", "")), file);
    }

    // The list of files in the user interface's language (sizes and dates as it writes
    // them, not as the system's locale would), with room for every column.
    void fileDialogSpeaksTheProgramsLanguage() {
        QTemporaryDir folder;
        const QString file = folder.filePath("eins.c");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2000, 'x'));
        const QDateTime stamp(QDate(2026, 12, 7), QTime(13, 4));
        f.flush();
        QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        f.close();
        Korvel_WriteStringToHKCU("LastUsed", "OpenFile", file.toStdString());
        for (int language : {49, 44}) {
            SetAppLanguage(language);
            const QLocale locale(language == 49 ? QLocale::German : QLocale::English,
                                 language == 49 ? QLocale::Germany : QLocale::UnitedStates);
            QStringList row;
            QList<int> widths;
            QList<int> texts;
            int width = 0;
            WhenModal<QFileDialog>([&](QFileDialog* dialog) {
                auto* list = dialog->findChild<QTreeView*>("treeView");
                QTRY_VERIFY(list && list->model()->rowCount(list->rootIndex()) == 1);
                const QModelIndex first = list->model()->index(0, 0, list->rootIndex());
                for (int column = 0; column < 4; ++column) {
                    row << list->model()->data(first.siblingAtColumn(column)).toString();
                    widths << list->header()->sectionSize(column);
                    texts << list->fontMetrics().horizontalAdvance(row.back());
                }
                width = dialog->width();
                dialog->reject();
            });
            std::vector<std::string> names;
            FileDialogRequest request;
            request.registryValue = "OpenFile";
            QVERIFY(!HostAskFileNames(request, names));
            QCOMPARE(row.size(), 4);
            QCOMPARE(row[1], locale.formattedDataSize(2000));
            QCOMPARE(row[3], locale.toString(stamp, QLocale::ShortFormat));
            for (int column = 1; column < 4; ++column)
                QVERIFY2(widths[column] > texts[column], qPrintable(row[column]));
            QVERIFY(width >= 760);
        }
        SetAppLanguage(49);
    }

    void fileDialogCancelled() {
        WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        std::vector<std::string> names{"alt"};
        QVERIFY(!HostAskFileNames(FileDialogRequest{}, names));
        QVERIFY(names.empty());
    }

    void registeredDialogGetsTheRecord() {
        int record = 5;
        RegisterQtDialog(DialogId::Goto, [](QWidget*, void* r) {
            *static_cast<int*>(r) += 1;
            return 1;
        });
        QCOMPARE(HostRunDialog(DialogId::Goto, &record), 1);
        QCOMPARE(record, 6);
        QCOMPARE(HostRunDialog(DialogId::Sort, &record), 2);  // nobody provides it yet
    }

    void waitCursorNests() {
        HostSetWaitCursor(true);
        HostSetWaitCursor(true);
        HostSetWaitCursor(false);
        QVERIFY(QApplication::overrideCursor() != nullptr);
        HostSetWaitCursor(false);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        HostSetWaitCursor(false);  // one too many is harmless
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

private:
    QTemporaryDir dir_;
    std::string settings_;
};

QTEST_MAIN(QtHostTest)
#include "qt_host.moc"
