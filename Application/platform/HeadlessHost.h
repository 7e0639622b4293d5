// HeadlessHost: the Host without windows, for tests and batch mode. Messages go to
// standard error as "varlin: <id> <text>", questions are answered from a queue (or a
// default answer), dialogs get what the caller queued or are cancelled, the clipboard is
// a byte string, and every message id and beep is recorded for tests to read back.
#pragma once

#include "platform/Host.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace varlin {

struct HeadlessHost {
    // How questions without a queued answer are answered.
    enum class DefaultAnswer { FirstButton, Yes, No, Cancel };

    DefaultAnswer defaultAnswer = DefaultAnswer::FirstButton;
    bool writeMessagesToStderr = true;
    bool traceBeeps = false;          // write "beep" to standard error for every beep
    std::deque<int> answers;          // queued button results for the next messages
    // Queued dialog handlers: each gets the record and returns the dialog result.
    std::deque<std::function<int(DialogId, void*)>> dialogAnswers;
    // Answers the dialogs that find no queued handler (batch mode's --print-to); without
    // it they are cancelled.
    std::function<int(DialogId, void*)> dialogHandler;
    std::deque<std::vector<std::string>> fileNameAnswers;  // queued file-dialog results
    std::string clipboard;
    ClipboardText clipboardKind = ClipboardText::Ansi;  // how the bytes read
    bool clipboardFails = false;
    int escapeAfterPolls = -1;        // > 0: Escape is "pressed" once this many polls happen
    std::vector<std::string> printedLines;
    bool printToStdout = false;

    // What happened, for tests.
    std::vector<int> messageIds;
    std::vector<std::string> messageTexts;
    std::vector<DialogId> dialogsWanted;
    int beeps = 0;
    int errorMessages = 0;            // messages of kind Error shown

    // A Host whose hooks call this object.
    Host MakeHost();
    // Installs this object as the program's host.
    void Install();
    void Reset();
};

}  // namespace varlin
