// The status line in the frame (offscreen): its fields and widths, texts without and
// with a document, the modal help text of menu items, clicks that run the tied commands,
// and the status configuration (command 83) with the line at the top or hidden.
#include "editing/EditWindow.h"
#include "frame/Application.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/StatusConfigDialog.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/Toolbar.h"
#include "frame/qt/ToolbarFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QCheckBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace varlin;

class StatusLineTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetSettingsFile(dir_.filePath("settings.ini").toStdString()); }
    void cleanupTestCase() { SetSettingsFile(""); }

    void init() {
        QFile::remove(dir_.filePath("settings.ini"));
        app_ = std::make_unique<Application>();
        QVERIFY(InitApplication(*app_, {}, dir_.path().toStdString()) == 1);
        app_->options->CodeTable = 2;
        app_->options->InsertMode = 1;
        app_->options->LineNumbers = 1;
        host_ = std::make_unique<HeadlessHost>();
        host_->writeMessagesToStderr = false;
        host_->Install();
        commands_.clear();
        FrameHooks hooks;
        hooks.documentCommand = [this](QMdiSubWindow*, int id) { commands_.push_back(id); };
        frame_ = std::make_unique<MainFrame>(*app_, hooks);
        area_ = InstallToolbarAndStatusLine(*frame_);
        frame_->resize(1000, 600);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        line_ = area_->statusLine();
    }
    void cleanup() {
        SetStatusConfigDialogHandler(nullptr);
        SetActiveEditWindow(nullptr);
        frame_.reset();
        app_.reset();
    }

    void fieldsInOrderWithTheirWidths() {
        QList<int> order;
        for (QObject* child : line_->children()) {
            if (auto* f = qobject_cast<StatusFieldLabel*>(child)) order << f->field();
        }
        QCOMPARE(order, (QList<int>{500, 501, 502, 503, 504, 505, 506, 507, 508}));
        // 503 is defined widest (160), 505 narrowest (20); a field is never narrower than
        // its definition asks.
        QVERIFY(line_->fieldLabel(503)->minimumWidth() > line_->fieldLabel(500)->minimumWidth());
        QVERIFY(line_->fieldLabel(505)->minimumWidth() < line_->fieldLabel(506)->minimumWidth());
        QVERIFY(line_->fieldLabel(505)->width() >= line_->fieldLabel(505)->minimumWidth());
    }

    void withoutDocument() {
        for (int f : {500, 501, 502, 503, 505, 506}) QCOMPARE(line_->fieldText(f), QString());
        QCOMPARE(line_->fieldText(504), QString("Code ANSI"));
        QCOMPARE(line_->fieldText(507), QString("INS"));
        QCOMPARE(line_->fieldText(508), QString("Text"));
    }

    void activeDocumentIsShown() {
        EditWindow w;
        for (int i = 0; i < 7; ++i) w.doc->SetLine(i, "0123456789");
        w.caretLine = 2;
        w.caretCol = MarginWidth(w);  // the first text column, behind the line numbers
        SetDragFromMacro(w, 3, 5, 7, 1);
        SetActiveEditWindow(&w);
        AddDocument();
        frame_->hooks().refreshStatus();
        QCOMPARE(line_->fieldText(500), QString("Zeile 3"));
        QCOMPARE(line_->fieldText(501), QString("Spalte 1"));
        QCOMPARE(line_->fieldText(502), QString("Zeilen 7"));
        QCOMPARE(line_->fieldText(503), QString("3/5 bis 7/1"));
        QCOMPARE(line_->fieldText(508), QString("C/C++"));  // colouring on, no Java or Delphi name
        // One field at a time, as the document window asks for it.
        w.caretLine = 6;
        frame_->hooks().refreshStatusField(500);
        QCOMPARE(line_->fieldText(500), QString("Zeile 7"));
        // Without a document window in the frame the document's fields go blank.
        frame_->mdiArea()->closeAllSubWindows();
        frame_->hooks().refreshStatusField(0);
        QCOMPARE(line_->fieldText(500), QString());
        QCOMPARE(line_->fieldText(503), QString());
    }

    void menuHelpCoversTheFields() {
        frame_->statusBar()->showMessage("Hilfetext");
        QCOMPARE(line_->currentMessage(), QString("Hilfetext"));
        QVERIFY(!line_->fieldLabel(500)->isVisible());
        frame_->statusBar()->clearMessage();
        QCOMPARE(line_->currentMessage(), QString());
        QVERIFY(line_->fieldLabel(500)->isVisible());
    }

    void clickRunsTheTiedCommand() {
        AddDocument();
        QTest::mouseClick(line_->fieldLabel(504), Qt::LeftButton);  // code table: the frame's cycle
        QCOMPARE(app_->options->CodeTable, 1);
        QCOMPARE(line_->fieldText(504), QString("Code ASCII"));
        QTest::mouseClick(line_->fieldLabel(500), Qt::LeftButton);  // go to: the document's
        QTest::mouseClick(line_->fieldLabel(501), Qt::LeftButton);
        QTest::mouseClick(line_->fieldLabel(502), Qt::LeftButton);  // none tied
        QTest::mouseClick(line_->fieldLabel(507), Qt::LeftButton);  // insert mode
        // Go to reaches the document once it has an operation; until then the clicks beep.
        const std::vector<int> expected =
            frame_->HasOperation(39) ? std::vector<int>{39, 39} : std::vector<int>{};
        QCOMPARE(commands_, expected);
        QCOMPARE(app_->options->InsertMode, 0);
        QCOMPARE(line_->fieldText(507), QString());
        QTest::mouseClick(line_->fieldLabel(500), Qt::RightButton);
        QCOMPARE(commands_, expected);
    }

    void configurationAtTheTopWithFewerFields() {
        SetStatusConfigDialogHandler([](StatusConfigDialog& d) {
            d.fieldBox(504)->setChecked(false);
            d.fieldBox(506)->setChecked(false);
            d.SetLocation(kStatusTop);
            d.accept();
            return int(QDialog::Accepted);
        });
        frame_->RunCommand(83);
        QCOMPARE(line_->fieldLabel(504), static_cast<StatusFieldLabel*>(nullptr));
        QVERIFY(line_->fieldLabel(505));
        // The status line is the upper strip, the buttons below it, the documents below both.
        const QRect status = line_->geometry();
        const QRect bar = area_->toolbar()->geometry();
        const QRect docs = area_->mdiArea()->geometry();
        QCOMPARE(status.top(), 0);
        QCOMPARE(status.width(), area_->width());
        QVERIFY(status.bottom() < bar.top());
        QVERIFY(bar.bottom() < docs.top());
        StatusConfig stored = LoadStatusConfig();
        QCOMPARE(stored.location, int(kStatusTop));
        QCOMPARE(stored.shownFields, (std::vector<int>{500, 501, 502, 503, 505, 507, 508}));
        // A field that comes back shows the current text at once.
        SetStatusConfigDialogHandler([](StatusConfigDialog& d) {
            d.fieldBox(504)->setChecked(true);
            d.accept();
            return int(QDialog::Accepted);
        });
        frame_->RunCommand(83);
        QCOMPARE(line_->fieldText(504), QString("Code ANSI"));
    }

    void hiddenStatusLineGivesItsSpaceAway() {
        StatusConfig c = area_->statusConfig();
        c.location = kStatusHidden;
        area_->ApplyStatus(c);
        QVERIFY(!line_->isVisible());
        QCOMPARE(area_->mdiArea()->geometry().bottom(), area_->rect().bottom());
    }

private:
    void AddDocument() {
        auto* doc = new QWidget;
        QMdiSubWindow* w = frame_->mdiArea()->addSubWindow(doc);
        w->show();
        frame_->mdiArea()->setActiveSubWindow(w);
    }

    QTemporaryDir dir_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<HeadlessHost> host_;
    std::unique_ptr<MainFrame> frame_;
    FrameArea* area_ = nullptr;
    StatusLine* line_ = nullptr;
    std::vector<int> commands_;
};

QTEST_MAIN(StatusLineTest)
#include "status_line.moc"
