// Messages by id: the type code at the start of a message text gives its kind and
// buttons; "%s" takes a text argument. Shown through the Host.
#pragma once

#include "platform/Host.h"

#include <string>

namespace varlin {

constexpr int kMessageCaptionId = 1516;  // "Varlin Fehler"

// Builds the request for a message id: kind and buttons from the type code, the text with
// its type code removed and each "%s" replaced by the next argument, or by the first when
// no further one is given (a null one by "").
MessageRequest BuildMessageRequest(int id, const char* text1 = nullptr,
                                   const char* text2 = nullptr, const char* text3 = nullptr);

// Shows the message and returns the button pressed (1 OK, 2 Cancel, 6 Yes, 7 No).
int ShowMessage(int id, const char* text1 = nullptr, const char* text2 = nullptr,
                const char* text3 = nullptr);
inline int ShowMessage(int id, const std::string& text1) { return ShowMessage(id, text1.c_str()); }

// The file-error message for a C run-time error number: 2 → 1026, 13 → 1025,
// 17 → 1027, 24 → 1028, anything else → 1020. Without an argument, errno is used.
int MessageIdForErrno(int error);
int MessageIdForErrno();

// Shows the file-error message for errno (or the given number) naming the file.
int ShowFileError(const std::string& fileName);
int ShowFileError(const std::string& fileName, int error);

}  // namespace varlin
