// Both ends of the hand-over socket. The frame checks the peer's user on every
// connection (the folder's rights keep others out already; this holds also where a
// folder was made by someone who could), reads one request within a few seconds and
// answers at once, so that the second start ends without waiting for the frame's work.
#include "frame/qt/FrameSocket.h"

#include "platform/RuntimeFolder.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <sys/socket.h>
#include <unistd.h>

namespace varlin {
namespace {

constexpr int kConnectMs = 2000;
constexpr int kAcceptedMs = 30000;   // the frame answers from its event loop
constexpr int kRequestMs = 5000;     // a start that sends no whole request is dropped
constexpr const char* kBufferProperty = "varlinRequest";

bool PeerIsThisUser(QLocalSocket* socket) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    const int fd = int(socket->socketDescriptor());
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == ::geteuid();
}

}  // namespace

HandOverOutcome HandOverToFrame(const std::string& socketPath, const HandOverRequest& request) {
    HandOverOutcome outcome;
    if (!IsOwnSocket(socketPath)) return outcome;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(kConnectMs)) return outcome;
    const std::string bytes = EncodeRequest(request);
    socket.write(bytes.data(), qint64(bytes.size()));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kConnectMs)) return outcome;
    }
    const QByteArray accepted(kAcceptedReply.data(), qsizetype(kAcceptedReply.size()));
    QByteArray answer;
    for (;;) {
        answer += socket.readAll();
        if (answer.startsWith(accepted)) break;
        if (!socket.waitForReadyRead(kAcceptedMs) && socket.bytesAvailable() == 0) return outcome;
    }
    outcome.reached = true;
    if (!request.wait) return outcome;
    for (;;) {
        if (std::optional<int> status = ReadDoneReply(answer.toStdString())) {
            outcome.status = *status;
            return outcome;
        }
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) break;
        if (!socket.waitForReadyRead(-1) && socket.bytesAvailable() == 0) break;
        answer += socket.readAll();
    }
    outcome.status = 1;  // the frame went away before the documents were closed
    return outcome;
}

FrameServer::FrameServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &FrameServer::Accept);
}

FrameServer::~FrameServer() {
    server_->close();  // removes the socket file
}

bool FrameServer::Listen(const std::string& path, std::string& error) {
    QLocalServer::removeServer(QString::fromStdString(path));
    if (!server_->listen(QString::fromStdString(path))) {
        error = path + ": " + server_->errorString().toStdString();
        return false;
    }
    path_ = path;
    return true;
}

void FrameServer::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsThisUser(socket)) {
            socket->abort();
            continue;
        }
        QPointer<QLocalSocket> guard(socket);
        QTimer::singleShot(kRequestMs, socket, [guard] {
            if (guard && guard->property(kBufferProperty).isValid()) guard->abort();
        });
        socket->setProperty(kBufferProperty, QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void FrameServer::Read(QLocalSocket* socket) {
    const QVariant buffered = socket->property(kBufferProperty);
    if (!buffered.isValid()) return;  // the request is in; later bytes mean nothing
    const QByteArray bytes = buffered.toByteArray() + socket->readAll();
    HandOverRequest request;
    switch (DecodeRequest(std::string_view(bytes.constData(), std::size_t(bytes.size())), request)) {
    case Decoded::Incomplete:
        socket->setProperty(kBufferProperty, bytes);
        return;
    case Decoded::Bad:
        socket->abort();
        return;
    case Decoded::Complete:
        break;
    }
    socket->setProperty(kBufferProperty, QVariant());
    socket->write(kAcceptedReply.data(), qint64(kAcceptedReply.size()));
    socket->flush();
    const bool wait = request.wait;
    QPointer<QLocalSocket> guard(socket);
    Reply reply = [guard](int status) {
        if (!guard) return;
        const std::string done = DoneReply(status);
        guard->write(done.data(), qint64(done.size()));
        guard->flush();
        guard->disconnectFromServer();
    };
    if (!wait) socket->disconnectFromServer();
    handler_(std::move(request), wait ? std::move(reply) : Reply());
}

}  // namespace varlin
