#pragma once

#include <QObject>

#include "platform/probe_socket.h"

namespace wardel::qt {

// The probe socket on QTcpSocket.
class QtProbeSocket : public QObject, public ProbeSocket {
    Q_OBJECT
public:
    explicit QtProbeSocket(QObject* parent = nullptr);
    void connectTo(const std::string& host, std::int32_t port) override;
    void close() override;
    int state() const override;
};

}  // namespace wardel::qt
