#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <map>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace wardel::sim {

// What the simulator can be told to do wrong, to see how Wardel copes.
enum class Misbehaviour {
    None,
    MalformedLogon, // the logon reply lacks the credit and API id fields
    NoReply,        // requests are read but never answered; the connection stays open
    SlowReply,      // every reply waits `delayMs` first
    HugeReply,      // every reply is 2 MiB long
};

// The one gateway account the simulator knows.
struct GatewayAccount {
    QByteArray email = "ops@example.com";
    QByteArray password = "secret";
    int credit = 25;
    QByteArray apiId = "42";
};

struct GatewayReply {
    int status = 200;
    QByteArray body;
    QString note; // what the request did, for the printed line
};

// A stand-in for the SMS and mail gateway: plain HTTP/1.1 on 127.0.0.1, one request per connection, the
// five endpoints with the gateway's reply grammar. The logon answers "Logon OK*<credit>*ok<api id>%" for the
// right e-mail and password and "-..." otherwise; every SMS accepted costs one credit; the credit query
// answers the count. Query values are decoded as a usual web server does: "+" is a blank, then every %XX
// escape is its byte.
class GatewaySimulator : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kHugeReplyBytes = 2 * 1024 * 1024;

    explicit GatewaySimulator(QObject* parent = nullptr);
    ~GatewaySimulator() override;

    // Listens on 127.0.0.1; port 0 picks a free one.
    bool listen(quint16 port = 0);
    quint16 port() const;
    // "http://127.0.0.1:<port>", the gateway base to build Wardel or a test client with.
    QString baseUrl() const;

    GatewayAccount& account() { return account_; }
    void setMisbehaviour(Misbehaviour misbehaviour, int delayMs = 5000) {
        misbehaviour_ = misbehaviour;
        delayMs_ = delayMs;
    }
    // The credit query answers these bytes instead of the count.
    void answerCreditWith(QByteArray body) { creditReply_ = std::move(body); }

    // The answer to one request target (path and query as on the request line); an SMS costs a credit.
    GatewayReply answer(const QByteArray& target);

    // Every request line received, in order.
    const QList<QByteArray>& requestLines() const { return requestLines_; }
    // Header lines of the most recent request.
    const QList<QByteArray>& lastHeaders() const { return lastHeaders_; }
    // The decoded text of every SMS accepted, in order.
    const QList<QByteArray>& smsTexts() const { return smsTexts_; }

signals:
    void requestReceived(const QByteArray& requestLine);
    // One line per request: the time, the request line and what was answered.
    void logLine(const QString& line);

private:
    void accept();
    void bytesArrived(QTcpSocket* socket);
    void handleRequest(QTcpSocket* socket, const QByteArray& head);
    void sendReply(QTcpSocket* socket, const GatewayReply& reply);

    QTcpServer* server_;
    GatewayAccount account_;
    Misbehaviour misbehaviour_ = Misbehaviour::None;
    int delayMs_ = 5000;
    std::optional<QByteArray> creditReply_;
    std::map<QTcpSocket*, QByteArray> pending_; // bytes of request heads not yet complete
    QList<QByteArray> requestLines_;
    QList<QByteArray> lastHeaders_;
    QList<QByteArray> smsTexts_;
};

} // namespace wardel::sim
