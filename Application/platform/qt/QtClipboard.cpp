// The clipboard of the Qt host. Documents are bytes; other programs want text. Both are
// put on the clipboard: text as the Windows-1252 or UTF-8 reading of the bytes, and the
// bytes themselves under a private type of their kind, so that a round trip inside the
// editor loses nothing (NUL, the five bytes Windows-1252 leaves undefined and the invalid
// bytes of a UTF-8 document included); between the kinds the bytes are converted.
#include "platform/qt/QtHost.h"

#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace varlin {

const char* const kClipboardBytesMimeType = "application/x-varlin-bytes";
const char* const kClipboardUtf8MimeType = "application/x-varlin-utf8";

namespace {

const char* MimeTypeOf(ClipboardText kind) {
    return kind == ClipboardText::Utf8 ? kClipboardUtf8MimeType : kClipboardBytesMimeType;
}

}  // namespace

QString BytesToWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (unsigned char c : bytes) {
        char16_t u = c;
        if (c >= 0x80 && c < 0xA0) {
            u = AnsiGlyph(c);
            // Undefined bytes keep their C1 control code, as the system's conversion does.
            if (u == 0xFFFD) u = c;
        }
        text.append(QChar(u));
    }
    return text;
}

std::string Windows1252ToBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (QChar ch : text) {
        char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += char(u);
            continue;
        }
        char out = '?';
        for (int c = 0x80; c < 0xA0; ++c) {
            char16_t g = AnsiGlyph((unsigned char)c);
            if (g == u || (g == 0xFFFD && u == c)) {
                out = char(c);
                break;
            }
        }
        bytes += out;
    }
    return bytes;
}

QMimeData* MakeClipboardData(const std::string& bytes, ClipboardText kind) {
    auto* data = new QMimeData;
    QString text = kind == ClipboardText::Utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))
                                               : BytesToWindows1252(bytes);
#ifndef _WIN32
    // Other programs get the platform's line ends; the editor's own type keeps the bytes.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    data->setText(text);
    data->setData(MimeTypeOf(kind), QByteArray(bytes.data(), qsizetype(bytes.size())));
    return data;
}

bool ReadClipboardData(const QMimeData* data, std::string& bytes, ClipboardText kind) {
    bytes.clear();
    if (!data) return false;
    const ClipboardText other = kind == ClipboardText::Utf8 ? ClipboardText::Ansi : ClipboardText::Utf8;
    if (data->hasFormat(MimeTypeOf(kind)) || data->hasFormat(MimeTypeOf(other))) {
        const bool same = data->hasFormat(MimeTypeOf(kind));
        QByteArray raw = data->data(MimeTypeOf(same ? kind : other));
        bytes.assign(raw.constData(), std::size_t(raw.size()));
        if (!same) bytes = kind == ClipboardText::Utf8 ? AnsiToUtf8(bytes) : Utf8ToAnsi(bytes);
        return true;
    }
    if (data->hasText()) {
        if (kind == ClipboardText::Utf8) {
            const QByteArray utf8 = data->text().toUtf8();
            bytes.assign(utf8.constData(), std::size_t(utf8.size()));
        } else {
            bytes = Windows1252ToBytes(data->text());
        }
        return true;
    }
    return true;  // an empty clipboard reads as no text, which is not a failure
}

namespace {

bool SetClipboard(void*, const std::string& bytes, ClipboardText kind) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setMimeData(MakeClipboardData(bytes, kind));
    return true;
}

bool GetClipboard(void*, std::string& bytes, ClipboardText kind) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    return ReadClipboardData(clipboard->mimeData(), bytes, kind);
}

}  // namespace

// Used by QtHost.cpp when it fills the record.
void FillClipboardHooks(Host& host) {
    host.setClipboard = SetClipboard;
    host.getClipboard = GetClipboard;
}

}  // namespace varlin
