// The hand-over's socket on Qt's local sockets: the second start's side (blocking, before
// any window exists) and the running frame's server, which takes requests only from the
// user it runs as.
#pragma once

#include "frame/HandOver.h"

#include <QObject>

#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

namespace varlin {

struct HandOverOutcome {
    bool reached = false;  // a frame took the request
    int status = 0;        // the exit status for the start: 0, or 1 (--wait: changes discarded)
};

// Sends the request to the frame at socketPath. Not reached when no socket of the user's
// own is there or nobody listens (a frame that crashed left it). With request.wait it
// returns only after the frame's done answer; a frame that goes away meanwhile gives 1.
HandOverOutcome HandOverToFrame(const std::string& socketPath, const HandOverRequest& request);

class FrameServer : public QObject {
    Q_OBJECT
public:
    // Sends the done answer with an exit status to a waiting start (nothing when it left).
    using Reply = std::function<void(int status)>;
    using Handler = std::function<void(HandOverRequest request, Reply reply)>;

    explicit FrameServer(Handler handler, QObject* parent = nullptr);
    ~FrameServer() override;

    // Listens at path, taking the place of a socket left there by a frame that ended
    // (the caller holds the frame's lock, so no living frame serves it). False with the
    // reason in error.
    bool Listen(const std::string& path, std::string& error);

private:
    void Accept();
    void Read(QLocalSocket* socket);

    Handler handler_;
    QLocalServer* server_;
    std::string path_;
};

}  // namespace varlin
