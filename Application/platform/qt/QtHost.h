// The Qt host: fills the Host record with real windows (message boxes, file dialogs, the
// dialogs that later parts register by DialogId, wait cursor, beep, clipboard, Escape
// polling, printed lines). Installed once at start-up by the frame; tests install it too.
#pragma once

#include "platform/Host.h"

#include <QString>

#include <functional>
#include <string>

class QMimeData;
class QWidget;

namespace varlin {

// Installs the Qt host as the program's host. Dialogs and message boxes are owned by
// the parent window (the frame), or by the active window when none is set.
void InstallQtHost(QWidget* parent = nullptr);
void SetQtHostParent(QWidget* parent);
QWidget* QtHostParent();

// A dialog that a later part provides: runs modally over the parent on the record the
// core passed and returns 1 for OK, 2 (or 0) for cancel.
using QtDialogRunner = std::function<int(QWidget* parent, void* record)>;
void RegisterQtDialog(DialogId id, QtDialogRunner runner);

// The Qt form of a filter list as FileNameFilter keeps it ("Desc|pattern|Desc|pattern|").
QString QtFileFilter(const std::string& filter);

// The clipboard's form of document bytes: text (the bytes read as Windows-1252) and the
// raw bytes under a private type, which reading prefers.
extern const char* const kClipboardBytesMimeType;
QMimeData* MakeClipboardData(const std::string& bytes, ClipboardText kind = ClipboardText::Ansi);
bool ReadClipboardData(const QMimeData* data, std::string& bytes, ClipboardText kind = ClipboardText::Ansi);
QString BytesToWindows1252(const std::string& bytes);
std::string Windows1252ToBytes(const QString& text);

// Escape polling. While a poll runs, windows repaint but every user input is swallowed;
// Escape is noted. Polls closer together than the interval (milliseconds) return at once.
void SetEscapePollInterval(int milliseconds);
bool QtHostPollEscape();
// True while a poll processes events: queued work of the frame must wait for the loop.
bool QtHostInsideEscapePoll();

}  // namespace varlin
