#include "platform/Messages.h"

#include "resources/StringTable.h"

#include <cerrno>
#include <cstring>

namespace varlin {
namespace {

struct TypeCode {
    const char* code;
    MessageKind kind;
    MessageButtons buttons;
};

// Longest codes first, so that "?YNC" and "?YND" are not read as "?YN".
const TypeCode kTypeCodes[] = {
    {"?YNC", MessageKind::Question, MessageButtons::YesNoCancel},
    {"?YND", MessageKind::Question, MessageButtons::YesNoDiscard},
    {"?YN", MessageKind::Question, MessageButtons::YesNo},
    {"!OC", MessageKind::Information, MessageButtons::OkCancel},
    {"!YN", MessageKind::Information, MessageButtons::YesNo},
    {"!", MessageKind::Information, MessageButtons::Ok},
    {"s", MessageKind::Error, MessageButtons::Ok},
};

// Splits the type code off a message text; a text without one is shown as information.
std::string StripTypeCode(const std::string& raw, MessageRequest& request) {
    for (const TypeCode& tc : kTypeCodes) {
        std::size_t n = std::strlen(tc.code);
        if (raw.compare(0, n, tc.code) == 0 && raw.size() > n && raw[n] == ' ') {
            request.kind = tc.kind;
            request.buttons = tc.buttons;
            return raw.substr(n + 1);
        }
    }
    request.kind = MessageKind::Information;
    request.buttons = MessageButtons::Ok;
    return raw;
}

// Each "%s" takes the next given argument; once they run out (or with one argument
// only) it takes the first again, so a one-argument text may name its file twice.
std::string FillArguments(const std::string& text, const char* const (&arguments)[3]) {
    std::string out;
    out.reserve(text.size() + (arguments[0] ? std::strlen(arguments[0]) : 0));
    int next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            const char* argument = next < 3 && arguments[next] ? arguments[next] : arguments[0];
            if (argument) out += argument;
            ++next;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

MessageRequest BuildMessageRequest(int id, const char* text1, const char* text2,
                                   const char* text3) {
    MessageRequest request;
    request.id = id;
    request.caption = LoadAppString(kMessageCaptionId);
    const char* raw = FindAppString(id);
    std::string body = raw ? StripTypeCode(raw, request) : std::to_string(id);
    if (!raw) request.kind = MessageKind::Error;
    const char* const arguments[3] = {text1, text2, text3};
    request.text = FillArguments(body, arguments);
    return request;
}

int ShowMessage(int id, const char* text1, const char* text2, const char* text3) {
    return HostShowMessage(BuildMessageRequest(id, text1, text2, text3));
}

int MessageIdForErrno(int error) {
    switch (error) {
    case ENOENT: return 1026;
    case EACCES: return 1025;
    case EEXIST: return 1027;
    case EMFILE: return 1028;
    default: return 1020;
    }
}

int MessageIdForErrno() { return MessageIdForErrno(errno); }

int ShowFileError(const std::string& fileName, int error) {
    return ShowMessage(MessageIdForErrno(error), fileName.c_str());
}

int ShowFileError(const std::string& fileName) { return ShowFileError(fileName, errno); }

}  // namespace varlin
