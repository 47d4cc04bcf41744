#pragma once

#include <QObject>

class QSocketNotifier;

namespace miv {

// SIGINT, SIGTERM and SIGHUP (Ctrl-C, a shutdown, a closed terminal) as a Qt signal on
// the window's thread, so the program ends by its ordinary close, which unkeys the
// radio; the handler itself only writes the signal's number to a pipe. One at a time:
// the handler's pipe is process-wide, as signal dispositions are.
class ShutdownSignals final : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    // Gives the three signals back their default handling.
    ~ShutdownSignals() override;
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace miv
