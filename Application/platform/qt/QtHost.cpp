// The Qt host's windows: message boxes with the type code's kind and buttons, the file
// dialogs with the filter lists of the options and the remembered folder, the registered
// dialogs, wait cursor, beep and the lines a macro prints.
#include "platform/qt/QtHost.h"

#include "platform/Registry.h"
#include "platform/qt/FileDialogFit.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <map>

namespace varlin {

void FillClipboardHooks(Host& host);  // QtClipboard.cpp

namespace {

constexpr const char* kLastUsedKey = "LastUsed";
constexpr int kTitleStringId = 1713;

QPointer<QWidget> g_parent;
int g_waitCursorDepth = 0;

std::map<DialogId, QtDialogRunner>& DialogRunners() {
    static std::map<DialogId, QtDialogRunner> runners;
    return runners;
}

bool English() { return GetAppLanguage() == int(AppLanguage::English); }

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error: return QMessageBox::Critical;
    case MessageKind::Question: return QMessageBox::Question;
    case MessageKind::Information: break;
    }
    return QMessageBox::Information;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    const char* german;
    const char* english;
    int result;
};

constexpr ButtonSpec kOk = {QMessageBox::Ok, "OK", "OK", IdOk};
constexpr ButtonSpec kCancel = {QMessageBox::Cancel, "Abbrechen", "Cancel", IdCancel};
constexpr ButtonSpec kYes = {QMessageBox::Yes, "&Ja", "&Yes", IdYes};
constexpr ButtonSpec kNo = {QMessageBox::No, "&Nein", "&No", IdNo};
constexpr ButtonSpec kDiscard = {QMessageBox::Discard, "&Verwerfen", "&Discard", IdDiscard};

// The buttons of a kind, and which of them Escape presses.
std::vector<ButtonSpec> ButtonsOf(MessageButtons buttons, int& escapeIndex) {
    switch (buttons) {
    case MessageButtons::OkCancel: escapeIndex = 1; return {kOk, kCancel};
    case MessageButtons::YesNo: escapeIndex = 1; return {kYes, kNo};
    case MessageButtons::YesNoCancel: escapeIndex = 2; return {kYes, kNo, kCancel};
    case MessageButtons::YesNoDiscard: escapeIndex = 1; return {kYes, kNo, kDiscard};
    case MessageButtons::Ok: break;
    }
    escapeIndex = 0;
    return {kOk};
}

int ShowMessageBox(void*, const MessageRequest& request) {
    QMessageBox box(QtHostParent());
    box.setIcon(IconOf(request.kind));
    std::string caption = request.caption.empty() ? LoadAppString(1516) : request.caption;
    box.setWindowTitle(Text(caption));
    box.setText(Text(request.text));
    box.setTextFormat(Qt::PlainText);
    int escapeIndex = 0;
    std::vector<ButtonSpec> specs = ButtonsOf(request.buttons, escapeIndex);
    QMessageBox::StandardButtons all;
    for (const ButtonSpec& s : specs) all |= s.button;
    box.setStandardButtons(all);
    for (const ButtonSpec& s : specs) {
        box.button(s.button)->setText(QString::fromUtf8(English() ? s.english : s.german));
    }
    box.setDefaultButton(specs.front().button);
    box.setEscapeButton(specs[std::size_t(escapeIndex)].button);
    int pressed = box.exec();
    for (const ButtonSpec& s : specs) {
        if (pressed == s.button) return s.result;
    }
    return specs[std::size_t(escapeIndex)].result;
}

void Beep(void*) { QApplication::beep(); }

// The folder to start in: the remembered value is the last chosen file (or a folder).
QString StartFolder(const std::string& registryValue) {
    if (registryValue.empty()) return QString();
    QString last = Text(Korvel_ReadStringFromHKCU(kLastUsedKey, registryValue, ""));
    if (last.isEmpty()) return QString();
    QFileInfo info(last);
    if (info.isDir()) return info.absoluteFilePath();
    return info.absolutePath();
}

bool AskFileNames(void*, const FileDialogRequest& request, std::vector<std::string>& names) {
    QString title = request.titleId ? Text(LoadAppString(request.titleId)) : QString();
    QFileDialog dialog(QtHostParent(), title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    FitFileDialog(dialog);
    // The question before an existing file is replaced is the program's own, in its
    // language and also for names given by other hosts (HostAskFileNames).
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    switch (request.mode) {
    case FileDialogMode::Open: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case FileDialogMode::OpenMany: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case FileDialogMode::Save:
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        break;
    }
    QString filter = QtFileFilter(request.filter);
    if (!filter.isEmpty()) dialog.setNameFilter(filter);
    QString folder = StartFolder(request.registryValue);
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!request.initialName.empty()) dialog.selectFile(Text(request.initialName));
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    for (const QString& name : chosen) names.push_back(QDir::toNativeSeparators(name).toStdString());
    if (!request.registryValue.empty()) {
        Korvel_WriteStringToHKCU(kLastUsedKey, request.registryValue, names.front());
    }
    return true;
}

int RunDialog(void*, DialogId id, void* record) {
    auto it = DialogRunners().find(id);
    if (it == DialogRunners().end() || !it->second) return 2;
    return it->second(QtHostParent(), record);
}

void SetWaitCursor(void*, bool on) {
    if (on) {
        if (g_waitCursorDepth++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (g_waitCursorDepth > 0) {
        if (--g_waitCursorDepth == 0) QApplication::restoreOverrideCursor();
    }
}

bool PollEscape(void*) { return QtHostPollEscape(); }

void PrintLine(void*, const std::string& line) {
    QMessageBox box(QMessageBox::Information, Text(LoadAppString(kTitleStringId)), Text(line),
                    QMessageBox::Ok, QtHostParent());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// "*.*" means every file to the user of these lists; on this platform that is "*".
QString QtPattern(const QString& pattern) {
    QStringList parts = pattern.split(';', Qt::SkipEmptyParts);
    for (QString& p : parts) {
        p = p.trimmed();
        if (p == "*.*") p = "*";
    }
    return parts.join(' ');
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
    const QStringList tokens = Text(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < tokens.size(); i += 2) {
        QString description = tokens[i].trimmed();
        QString pattern = tokens[i + 1].trimmed();
        if (pattern.isEmpty()) continue;
        // The description usually shows the pattern in parentheses already; Qt reads the
        // patterns from the last parentheses, so they are replaced by the working form.
        QString shown = "(" + pattern + ")";
        if (description.endsWith(shown)) description.chop(shown.size());
        description = description.trimmed();
        entries << QStringLiteral("%1 (%2)").arg(description, QtPattern(pattern));
    }
    return entries.join(";;");
}

void SetQtHostParent(QWidget* parent) { g_parent = parent; }

QWidget* QtHostParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (g_parent) return g_parent.data();
    return QApplication::activeWindow();
}

void RegisterQtDialog(DialogId id, QtDialogRunner runner) { DialogRunners()[id] = std::move(runner); }

void InstallQtHost(QWidget* parent) {
    SetQtHostParent(parent);
    Host host;
    host.showMessage = ShowMessageBox;
    host.beep = Beep;
    host.askFileNames = AskFileNames;
    host.runDialog = RunDialog;
    host.setWaitCursor = SetWaitCursor;
    host.pollEscape = PollEscape;
    host.printLine = PrintLine;
    FillClipboardHooks(host);
    InstallHost(host);
}

}  // namespace varlin
