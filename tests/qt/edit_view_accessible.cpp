// A document window as accessibility clients see it through Qt's accessibility API
// (offscreen): editable text named by its title, offsets across tabs, umlauts and UTF-8,
// the caret and the marked range, editing through the interface, and the events of
// typing, movement, marking and a new name; the names of menu items, toolbar, routine list
// and status fields.
#include "edit_view_support.h"

#include "dispatch/Dispatch.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/Toolbar.h"

#include "frame/qt/FrameAccessibility.h"

#include "view/qt/EditViewAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <vector>

using namespace varlin;
using namespace varlin::test;

namespace {

// The events a client would get, as text: "insert 3 x", "remove 2 ab", "caret 4", ...
std::vector<QString>* recorded = nullptr;

void Record(QAccessibleEvent* event) {
    if (!recorded) return;
    switch (event->type()) {
    case QAccessible::TextInserted: {
        auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
        recorded->push_back(QStringLiteral("insert %1 %2").arg(e->changePosition()).arg(e->textInserted()));
        break;
    }
    case QAccessible::TextRemoved: {
        auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
        recorded->push_back(QStringLiteral("remove %1 %2").arg(e->changePosition()).arg(e->textRemoved()));
        break;
    }
    case QAccessible::TextCaretMoved:
        recorded->push_back(QStringLiteral("caret %1").arg(static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition()));
        break;
    case QAccessible::TextSelectionChanged: {
        auto* e = static_cast<QAccessibleTextSelectionEvent*>(event);
        recorded->push_back(QStringLiteral("select %1 %2").arg(e->selectionStart()).arg(e->selectionEnd()));
        break;
    }
    case QAccessible::NameChanged: recorded->push_back(QStringLiteral("name")); break;
    default: break;
    }
}

// Qt's own answers on a whole text, to hold the view's line-by-line answers against.
class WholeText : public QAccessibleTextInterface {
public:
    explicit WholeText(QString text) : text_(std::move(text)) {}
    void selection(int, int* s, int* e) const override { *s = *e = -1; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int s, int e) const override { return text_.mid(s, e - s); }
    int characterCount() const override { return static_cast<int>(text_.size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int*, int*) const override { return {}; }

private:
    QString text_;
};

}  // namespace

class EditViewAccessibleTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The offscreen platform has no client to tell; the events come here instead.
        SetAccessibleEventSink(Record);
        InstallFrameAccessibility();
    }
    void init() {
        QVERIFY(h_.Start());
        events_.clear();
        recorded = &events_;
    }
    void cleanup() {
        recorded = nullptr;
        CurrentOptions().CodeTable = kCodeTableAnsi;
        h_.Stop();
    }

    void theViewIsEditableTextNamedByItsDocument() {
        EditView* view = h_.Open("int main(void)\n{\n", "named.c");
        QVERIFY(view);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(view);
        QVERIFY(a && a->textInterface() && a->editableTextInterface());
        QCOMPARE(a->role(), QAccessible::EditableText);
        QCOMPARE(a->text(QAccessible::Name), h_.frame->currentDocument()->windowTitle());
        QVERIFY(a->text(QAccessible::Name).contains(QStringLiteral("named.c")));
        QVERIFY(a->state().editable && a->state().multiLine);
    }

    // Offsets count the characters shown: a tab is one, an ANSI or OEM umlaut one, a
    // UTF-8 character one (two beyond 16 bits); the caret walks them one by one.
    void offsetsAcrossTabsUmlautsAndUtf8() {
        struct Case {
            const char* bytes;
            int codeTable;
            bool utf8;
            QString line;
        } cases[] = {
            {"a\tb\xE4z", kCodeTableAnsi, false, QStringLiteral("a\tb\u00E4z")},
            {"a\tb\x84z", kCodeTableOem, false, QStringLiteral("a\tb\u00E4z")},
            {"\xC3\xA4\t\xF0\x9F\x98\x80z", kCodeTableAnsi, true, QString::fromUtf8("\u00E4\t\U0001F600z")},
        };
        for (const Case& c : cases) {
            CurrentOptions().CodeTable = c.codeTable;
            EditView* view = h_.Open(std::string(c.bytes) + "\nline two\n");
            QVERIFY(view);
            if (c.utf8 != view->window().doc->utf8) SetDocumentUtf8(view->window(), c.utf8);
            QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(view)->textInterface();
            const int n = static_cast<int>(c.line.size());
            QCOMPARE(t->characterCount(), n + 1 + 8);
            QCOMPARE(t->text(0, t->characterCount()), c.line + QStringLiteral("\nline two"));
            int start = -1;
            int end = -1;
            QCOMPARE(t->textAtOffset(1, QAccessible::LineBoundary, &start, &end), c.line + QLatin1Char('\n'));
            QCOMPARE(t->textAfterOffset(1, QAccessible::LineBoundary, &start, &end), QStringLiteral("line two"));
            QCOMPARE(start, n + 1);
            QCOMPARE(t->textBeforeOffset(n + 3, QAccessible::LineBoundary, &start, &end), c.line + QLatin1Char('\n'));
            QCOMPARE(t->textAtOffset(n + 6, QAccessible::WordBoundary, &start, &end), QStringLiteral("two"));
            QCOMPARE(start, n + 6);
            QCOMPARE(t->textAtOffset(1, QAccessible::CharBoundary, &start, &end), QStringLiteral("\t"));
            // Right from the start: over every character, the tab one step.
            std::vector<int> offsets{t->cursorPosition()};
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(view, Qt::Key_Right);
                offsets.push_back(t->cursorPosition());
            }
            const bool wide = c.utf8;
            QCOMPARE(offsets, (std::vector<int>{0, 1, 2, wide ? 4 : 3, wide ? 5 : 4}));
            QTest::keyClick(view, Qt::Key_Down);
            QCOMPARE(t->textAtOffset(t->cursorPosition(), QAccessible::LineBoundary, &start, &end),
                     QStringLiteral("line two"));
            // A rectangle per character: the tab is wider than the letter before it.
            QVERIFY(t->characterRect(1).width() > t->characterRect(0).width());
            QCOMPARE(t->offsetAtPoint(t->characterRect(n + 2).center()), n + 2);
            h_.frame->mdiArea()->closeAllSubWindows();
        }
    }

    // Characters, words, sentences and lines before, at and after every offset, as Qt
    // finds them in the whole text, also where the answer lies several lines away.
    void boundariesAsInTheWholeText() {
        EditView* view = h_.Open("int a; /* Gr\xF6\xDF" "e. Zwei */\n\n\n\n\tb = a;\n\n\n\n\nEnde. Mehr\n\n");
        QVERIFY(view);
        QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(view)->textInterface();
        const WholeText whole(t->text(0, t->characterCount()));
        for (auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
                          QAccessible::LineBoundary}) {
            for (int offset = 0; offset <= t->characterCount(); ++offset) {
                int s1 = 0, e1 = 0, s2 = 0, e2 = 0;
                QCOMPARE(t->textBeforeOffset(offset, type, &s1, &e1), whole.textBeforeOffset(offset, type, &s2, &e2));
                QCOMPARE(std::pair(s1, e1), std::pair(s2, e2));
                if (offset == t->characterCount() && type != QAccessible::LineBoundary) {
                    // Qt's own search never returns there; nothing is at the end.
                    QCOMPARE(t->textAtOffset(offset, type, &s1, &e1), QString());
                } else {
                    QCOMPARE(t->textAtOffset(offset, type, &s1, &e1), whole.textAtOffset(offset, type, &s2, &e2));
                    QCOMPARE(std::pair(s1, e1), std::pair(s2, e2));
                }
                QCOMPARE(t->textAfterOffset(offset, type, &s1, &e1), whole.textAfterOffset(offset, type, &s2, &e2));
                QCOMPARE(std::pair(s1, e1), std::pair(s2, e2));
            }
        }
    }

    void typingMovingAndMarkingSendEvents() {
        EditView* view = h_.Open("ab\ncd\n");
        QVERIFY(view);
        view->setFocus();
        QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(view)->textInterface();
        QCOMPARE(t->cursorPosition(), 0);
        QCoreApplication::processEvents();
        events_.clear();
        QTest::keyClick(view, Qt::Key_Right);
        QCoreApplication::processEvents();
        Type(view, QStringLiteral("x"));
        QCoreApplication::processEvents();
        QTest::keyClick(view, Qt::Key_Down);
        QCoreApplication::processEvents();
        QTest::keyClick(view, Qt::Key_Backspace);
        QCoreApplication::processEvents();
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QTest::keyClick(view, Qt::Key_Left);
        QCoreApplication::processEvents();
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        // The first change marks the title with "*", and the new name is announced.
        QCOMPARE(events_, (std::vector<QString>{"caret 1", "name", "insert 1 x", "caret 2", "caret 6", "remove 5 d", "caret 5",
                                                 "insert 5 d", "caret 6", "caret 5", "select 5 6", "caret 4"}));
        // Marked backwards, the anchor's character is in the range, as Delete would take it.
        QCOMPARE(h_.Text(), std::string("axb\ncd"));
        // A new name is told: the name is the window's title.
        events_.clear();
        SaveDocumentAs(view->window(), h_.dir.filePath("renamed.c").toStdString().c_str());
        view->RunCommand(0);  // the view notices the new name when its next command returns
        QCOMPARE(events_, std::vector<QString>{"name"});
        QVERIFY(QAccessible::queryAccessibleInterface(view)->text(QAccessible::Name).contains("renamed.c"));
    }

    void editingThroughTheInterface() {
        EditView* view = h_.Open("one two\nthree\n");
        QVERIFY(view);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(view);
        QAccessibleTextInterface* t = a->textInterface();
        t->setSelection(0, 4, 11);
        int start = -1;
        int end = -1;
        t->selection(0, &start, &end);
        QCOMPARE(std::pair(start, end), std::pair(4, 11));
        QCOMPARE(t->selectionCount(), 1);
        QCOMPARE(view->window().dragKind, static_cast<int>(kDragMarked));
        a->editableTextInterface()->replaceText(4, 11, QStringLiteral("2\t\u00E4\n3"));
        QCOMPARE(h_.Text(), std::string("one 2\t\xE4\n3ee"));
        t->setCursorPosition(1);
        QCOMPARE(view->window().caretCol, MarginWidth(view->window()) + 1);
        QCOMPARE(t->selectionCount(), 0);
        a->editableTextInterface()->deleteText(0, 4);
        QCOMPARE(h_.Text(), std::string("2\t\xE4\n3ee"));
    }

    void menuItemsAreNamedWithoutMnemonicsAndKeys() {
        EditView* view = h_.Open("x\n");
        QVERIFY(view);
        QAction* gotoLine = nullptr;
        for (QAction* item : h_.frame->findChildren<QAction*>())
            if (item->data().toInt() == 39 && item->text().contains(QLatin1Char('\t'))) gotoLine = item;
        QVERIFY(gotoLine);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(gotoLine);
        QVERIFY(item && item->actionInterface());
        QCOMPARE(item->role(), QAccessible::MenuItem);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("Sprung auf Zeile..."));
        QCOMPARE(item->text(QAccessible::Accelerator), QStringLiteral("F2 G"));
        QCOMPARE(item->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                 QStringList{QStringLiteral("F2 G")});
        QVERIFY(item->parent() && item->parent()->role() == QAccessible::PopupMenu);
    }

    // The frame's controls a screen reader would otherwise read as nothing or as a number.
    void toolbarRoutineListAndStatusFieldsAreNamed() {
        h_.Stop();
        QVERIFY(h_.Start(true));
        EditView* view = h_.Open("int main(void)\n{\n}\n");
        QVERIFY(view);
        QCOMPARE(CommandButtonText(81), QStringLiteral("Codetabelle"));
        auto* list = h_.frame->findChild<RoutineListBox*>();
        QVERIFY(list);
        QCOMPARE(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Name),
                 QStringLiteral("Liste der Unterprogramme"));
        QTest::keyClick(view, Qt::Key_F1, Qt::ShiftModifier);  // the keyboard's way into it
        QTRY_VERIFY(list->view()->isVisible());
        list->hidePopup();
        auto* status = h_.frame->findChild<StatusLine*>();
        QVERIFY(status && status->fieldLabel(506) && status->fieldLabel(500));
        QCOMPARE(QAccessible::queryAccessibleInterface(status->fieldLabel(506))->text(QAccessible::Name),
                 QString::fromUtf8("Lernmodus für Makros"));
        QCOMPARE(QAccessible::queryAccessibleInterface(status->fieldLabel(500))->text(QAccessible::Name),
                 QStringLiteral("Zeile 1"));
    }

private:
    EditViewHarness h_;
    std::vector<QString> events_;
};

QTEST_MAIN(EditViewAccessibleTest)
#include "edit_view_accessible.moc"
