// wardel-gateway-sim: the SMS and mail gateway on 127.0.0.1, for watching Wardel's alerts go out.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "gateway_sim/gateway_simulator.h"

namespace {

void print(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    using wardel::sim::Misbehaviour;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wardel-gateway-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A local stand-in for Wardel's SMS and mail gateway."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("port"), QStringLiteral("TCP port on 127.0.0.1 (0: any free port)."));
    const QCommandLineOption email(QStringLiteral("email"), QStringLiteral("Account e-mail."), QStringLiteral("email"),
                                   QStringLiteral("ops@example.com"));
    const QCommandLineOption password(QStringLiteral("password"), QStringLiteral("Account password."),
                                      QStringLiteral("password"), QStringLiteral("secret"));
    const QCommandLineOption credit(QStringLiteral("credit"), QStringLiteral("SMS credit at start."),
                                    QStringLiteral("count"), QStringLiteral("25"));
    const QCommandLineOption apiId(QStringLiteral("api-id"), QStringLiteral("API id the logon hands out."),
                                   QStringLiteral("id"), QStringLiteral("42"));
    const QCommandLineOption misbehave(
        QStringLiteral("misbehave"),
        QStringLiteral("none, malformed-logon, no-reply, slow (see --delay-ms) or huge (2 MiB replies)."),
        QStringLiteral("how"), QStringLiteral("none"));
    const QCommandLineOption delay(QStringLiteral("delay-ms"), QStringLiteral("Delay of a slow reply."),
                                   QStringLiteral("ms"), QStringLiteral("5000"));
    parser.addOptions({email, password, credit, apiId, misbehave, delay});
    parser.process(app);

    bool portOk = false;
    const QStringList positional = parser.positionalArguments();
    const uint port = positional.size() == 1 ? positional[0].toUInt(&portOk) : 0;
    const std::map<QString, Misbehaviour> kinds = {{QStringLiteral("none"), Misbehaviour::None},
                                                   {QStringLiteral("malformed-logon"), Misbehaviour::MalformedLogon},
                                                   {QStringLiteral("no-reply"), Misbehaviour::NoReply},
                                                   {QStringLiteral("slow"), Misbehaviour::SlowReply},
                                                   {QStringLiteral("huge"), Misbehaviour::HugeReply}};
    const auto kind = kinds.find(parser.value(misbehave));
    if (!portOk || port > 65535 || kind == kinds.end())
        parser.showHelp(2);

    wardel::sim::GatewaySimulator simulator;
    simulator.account().email = parser.value(email).toUtf8();
    simulator.account().password = parser.value(password).toUtf8();
    simulator.account().credit = parser.value(credit).toInt();
    simulator.account().apiId = parser.value(apiId).toUtf8();
    simulator.setMisbehaviour(kind->second, parser.value(delay).toInt());
    QObject::connect(&simulator, &wardel::sim::GatewaySimulator::logLine, &print);
    if (!simulator.listen(static_cast<quint16>(port))) {
        print(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(port));
        return 1;
    }
    print(QStringLiteral("Textora gateway simulator on %1 - account %2 / %3, credit %4, API id %5, misbehaving: %6")
              .arg(simulator.baseUrl(), parser.value(email), parser.value(password))
              .arg(simulator.account().credit)
              .arg(parser.value(apiId), parser.value(misbehave)));
    return QCoreApplication::exec();
}
