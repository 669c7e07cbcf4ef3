#include "gateway_sim/gateway_simulator.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTime>
#include <QTimer>
#include <map>

namespace wardel::sim {
namespace {

constexpr qsizetype kHeadLimit = 4 * 1024 * 1024; // the I-am-alive mail carries the whole log in its URL

using Query = std::map<QByteArray, QByteArray>;

Query parseQuery(const QByteArray& query) {
    Query values;
    for (const QByteArray& pair : query.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            values[pair] = QByteArray();
        else
            values[pair.left(equals)] =
                QByteArray::fromPercentEncoding(QByteArray(pair.mid(equals + 1)).replace('+', ' '));
    }
    return values;
}

// A value as one readable piece of a printed line.
QString shownValue(const QByteArray& value) {
    QString text = QString::fromUtf8(value);
    text.replace(QLatin1String("\r"), QLatin1String("\\r")).replace(QLatin1String("\n"), QLatin1String("\\n"));
    if (text.size() > 160)
        text = text.left(160) + QLatin1String("...");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    default:
        return "Error";
    }
}

} // namespace

GatewaySimulator::GatewaySimulator(QObject* parent) : QObject(parent), server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, &GatewaySimulator::accept);
}

GatewaySimulator::~GatewaySimulator() = default;

bool GatewaySimulator::listen(quint16 port) {
    return server_->listen(QHostAddress::LocalHost, port);
}

quint16 GatewaySimulator::port() const {
    return server_->serverPort();
}

QString GatewaySimulator::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

GatewayReply GatewaySimulator::answer(const QByteArray& target) {
    const qsizetype mark = target.indexOf('?');
    const QByteArray path = mark < 0 ? target : target.left(mark);
    Query q = mark < 0 ? Query() : parseQuery(target.mid(mark + 1));
    const bool accountOk = q["email"] == account_.email && q["pwd"] == account_.password;
    const QByteArray refused = "-Invalid email or password";

    if (path == "/txgate/php/sms_logon.php") {
        if (!accountOk)
            return {200, refused, QStringLiteral("logon refused for %1").arg(shownValue(q["email"]))};
        if (misbehaviour_ == Misbehaviour::MalformedLogon)
            return {200, "Logon service busy", QStringLiteral("logon answered without credit and API id")};
        return {200, "Logon OK*" + QByteArray::number(account_.credit) + "*ok" + account_.apiId + "%",
                QStringLiteral("logon of %1, credit %2").arg(shownValue(q["email"])).arg(account_.credit)};
    }
    if (path == "/txgate/php/smstoolsen.php") {
        if (!accountOk)
            return {200, refused, QStringLiteral("SMS refused: account")};
        if (q["api_id"] != account_.apiId)
            return {200, "-Invalid api_id", QStringLiteral("SMS refused: api_id %1").arg(shownValue(q["api_id"]))};
        if (account_.credit <= 0)
            return {200, "-No SMS credit left", QStringLiteral("SMS refused: no credit")};
        --account_.credit;
        smsTexts_.append(q["text"]);
        QString note = QStringLiteral("SMS to %1 from %2: %3")
                           .arg(shownValue(q["to"]), shownValue(q["from"]), shownValue(q["text"]));
        if (q.count("email_list"))
            note += QStringLiteral(", copy to %1").arg(shownValue(q["email_list"]));
        return {200, "OK SMS accepted, credit " + QByteArray::number(account_.credit), note};
    }
    if (path == "/txgate/php/mail_alert.php" || path == "/txgate/php/mail_alert1.php") {
        if (!accountOk)
            return {200, refused, QStringLiteral("mail refused: account")};
        QString note = QStringLiteral("mail to %1").arg(shownValue(q["email_list"]));
        if (q.count("subject"))
            note += QStringLiteral(", subject %1").arg(shownValue(q["subject"]));
        return {200, "OK mail accepted", note + QStringLiteral(": %1").arg(shownValue(q["text"]))};
    }
    if (path == "/txgate/php/creditupdate.php") {
        if (creditReply_)
            return {200, *creditReply_, QStringLiteral("credit answered with %1").arg(shownValue(*creditReply_))};
        const int credit = q["email"] == account_.email ? account_.credit : 0;
        return {200, QByteArray::number(credit), QStringLiteral("credit %1").arg(credit)};
    }
    return {404, "Not Found", QStringLiteral("unknown path")};
}

void GatewaySimulator::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        pending_[socket];
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { bytesArrived(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending_.erase(socket);
            socket->deleteLater();
        });
    }
}

void GatewaySimulator::bytesArrived(QTcpSocket* socket) {
    const auto found = pending_.find(socket);
    if (found == pending_.end()) {
        socket->readAll(); // one request per connection; anything after it is not read
        return;
    }
    QByteArray& head = found->second;
    head += socket->readAll();
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0 && head.size() <= kHeadLimit)
        return;
    const QByteArray complete = end < 0 ? QByteArray() : head.left(end);
    pending_.erase(found);
    handleRequest(socket, complete);
}

void GatewaySimulator::handleRequest(QTcpSocket* socket, const QByteArray& head) {
    QList<QByteArray> lines = head.split('\n');
    for (QByteArray& line : lines)
        line = line.endsWith('\r') ? line.chopped(1) : line;
    const QByteArray requestLine = lines.isEmpty() ? QByteArray() : lines.takeFirst();
    const QList<QByteArray> parts = requestLine.split(' ');
    requestLines_.append(requestLine);
    lastHeaders_ = lines;
    emit requestReceived(requestLine);

    GatewayReply reply;
    if (parts.size() != 3)
        reply = {400, "Bad Request", QStringLiteral("malformed request")};
    else if (parts[0] != "GET")
        reply = {405, "Method Not Allowed", QStringLiteral("not a GET")};
    else
        reply = answer(parts[1]);
    if (misbehaviour_ == Misbehaviour::HugeReply)
        reply.body = QByteArray(kHugeReplyBytes, 'x');

    QString outcome = QStringLiteral("%1 %2").arg(reply.status).arg(shownValue(reply.body));
    if (misbehaviour_ == Misbehaviour::NoReply)
        outcome = QStringLiteral("(no reply)");
    else if (misbehaviour_ == Misbehaviour::SlowReply)
        outcome += QStringLiteral(" after %1 ms").arg(delayMs_);
    else if (misbehaviour_ == Misbehaviour::HugeReply)
        outcome = QStringLiteral("%1 (%2 bytes)").arg(reply.status).arg(reply.body.size());
    emit logLine(QStringLiteral("%1 %2 => %3  [%4]")
                     .arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")),
                          QString::fromLatin1(requestLine), outcome, reply.note));

    switch (misbehaviour_) {
    case Misbehaviour::NoReply:
        return;
    case Misbehaviour::SlowReply:
        QTimer::singleShot(delayMs_, socket, [this, socket, reply] { sendReply(socket, reply); });
        return;
    default:
        sendReply(socket, reply);
    }
}

void GatewaySimulator::sendReply(QTcpSocket* socket, const GatewayReply& reply) {
    QByteArray message =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) +
        "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
        "\r\nConnection: close\r\n\r\n" + reply.body;
    socket->write(message);
    socket->disconnectFromHost();
}

} // namespace wardel::sim
