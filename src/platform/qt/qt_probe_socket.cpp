#include "platform/qt/qt_probe_socket.h"

namespace wardel::qt {

QtProbeSocket::QtProbeSocket(QObject* parent) : QObject(parent) {}
void QtProbeSocket::connectTo(const std::string&, std::int32_t) {}
void QtProbeSocket::close() {}
int QtProbeSocket::state() const { return Closed; }

}  // namespace wardel::qt
