// Times the built client as an operator meets it: the program runs in a folder of its own,
// offscreen, logged in to a small Core served here; the Core delivers a panel of mixed controls
// as one command-43 frame, and the time runs from the last byte of that frame handed to the
// network to the panel's load command (command 44, "Bench.MainForm") arriving back. Resident
// memory of the client is read before the delivery and after the panel has settled.
//
//   program_load_timer [--client PATH] [--sizes 1000,4000,10000] [--runs 3] [--settle-ms 1500]

#include "MixedPanel.h"

#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/ReceiveBuffer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <functional>
#include <optional>

#include <unistd.h>

using namespace corvane;

namespace {

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

void pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
}

// Resident memory of a process in kB, from the kernel's status file.
qint64 residentKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// Processor time of a process so far, in milliseconds: on a busy machine it shows the work
// done apart from the wait for a processor.
double cpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return -1;
    }
    const double ticks = fields[11].toDouble() + fields[12].toDouble(); // utime, stime
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The Core side: accepts the login, records the frames the client sends.
class TimingCore {
public:
    TimingCore() {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                m_socket = socket;
                QObject::connect(socket, &QTcpSocket::readyRead, [this] { read(); });
                QObject::connect(socket, &QTcpSocket::bytesWritten, [this] {
                    if (m_socket->bytesToWrite() == 0 && m_sending) {
                        m_sending = false;
                        m_lastByteNs = m_clock.nsecsElapsed();
                    }
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
        m_clock.start();
    }

    quint16 port() const { return m_server.serverPort(); }
    bool panelRequested() const { return m_panelRequested; }
    std::optional<qint64> lastByteNs() const { return m_lastByteNs; }
    std::optional<qint64> loadCommandNs() const { return m_loadCommandNs; }

    void deliver(const QString& definition) {
        m_lastByteNs.reset();
        m_loadCommandNs.reset();
        m_sending = true;
        m_socket->write(BuildFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                                   QStringLiteral("Bench") +
                                       modClientProtocolConsts::strFieldSeparator + definition)
                            .toUtf8());
    }

private:
    void read() {
        const QString text = m_decoder(m_socket->readAll());
        for (const QString& frame : m_buffer.append(text)) {
            if (frame.size() < kFrameHeaderLength) {
                continue;
            }
            const int command = frame.at(2).unicode();
            const QString payload = frame.mid(kFrameHeaderLength);
            if (command == Command::Login) {
                m_socket->write(BuildFrame(Command::Login, modClientProtocolConsts::strNoAddress,
                                           QStringLiteral("Yes"))
                                    .toUtf8());
            } else if (command == Command::PanelDefinition) {
                m_panelRequested = true;
            } else if (command == Command::ControlCommand &&
                       payload.startsWith(QLatin1String("Bench.MainForm"))) {
                m_loadCommandNs = m_clock.nsecsElapsed();
            }
        }
    }

    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    ReceiveBuffer m_buffer;
    QElapsedTimer m_clock;
    bool m_panelRequested = false;
    bool m_sending = false;
    std::optional<qint64> m_lastByteNs;
    std::optional<qint64> m_loadCommandNs;
};

struct Result {
    double ms = 0;
    double cpuMs = 0;
    qint64 busyUntilMs = 0; // after the load command
    double idleMs = 0;      // from the last byte until the client fell idle
    qint64 rssBeforeKb = 0;
    qint64 rssAtLoadKb = 0;
    qint64 rssSettledKb = 0;
};

std::optional<Result> runOnce(const QString& client, int controls, int settleMs, QTextStream& err) {
    TimingCore core;
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("CVMiniConfig.txt")));
    if (!config.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    config.write("primaryserverip=127.0.0.1\r\nprimaryserverport=" +
                 QByteArray::number(core.port()) + "\r\npanelname=Bench\r\n");
    config.close();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(client, QStringList());
    const auto stop = [&] {
        process.terminate(); // lets a profiler wrapped around the client write its data
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    };
    if (!process.waitForStarted(10000) || !waitFor([&] { return core.panelRequested(); }, 20000)) {
        err << "the client did not ask for its panel" << Qt::endl;
        stop();
        return std::nullopt;
    }
    pump(500); // let start-up finish before memory is read
    Result result;
    result.rssBeforeKb = residentKb(process.processId());
    const double cpuBefore = cpuMs(process.processId());
    const QString definition = bench::MixedPanelDefinition(controls);
    core.deliver(definition);
    if (!waitFor([&] { return core.loadCommandNs().has_value(); }, 120000)) {
        err << "no load command within 120 s" << Qt::endl;
        stop();
        return std::nullopt;
    }
    result.rssAtLoadKb = residentKb(process.processId());
    result.cpuMs = cpuMs(process.processId()) - cpuBefore;
    result.ms = static_cast<double>(*core.loadCommandNs() - core.lastByteNs().value_or(0)) / 1e6;
    // Settled: every control shown and painted, the client idle (it uses next to no processor
    // time for a while); at least settleMs after the load command.
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    double lastCpu = cpuMs(process.processId());
    qint64 quietSinceMs = -1;
    while (sinceLoad.elapsed() < 120000) {
        pump(50);
        const double cpu = cpuMs(process.processId());
        const qint64 now = sinceLoad.elapsed();
        if (cpu - lastCpu > 15) {
            quietSinceMs = -1;
            result.busyUntilMs = now;
        } else if (quietSinceMs < 0) {
            quietSinceMs = now;
        }
        lastCpu = cpu;
        if (quietSinceMs >= 0 && now - quietSinceMs >= 300 && now >= settleMs) {
            break;
        }
    }
    result.idleMs = result.ms + static_cast<double>(result.busyUntilMs);
    result.rssSettledKb = residentKb(process.processId());
    stop();
    return result;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Times a panel delivery to the running client, last byte to load "
                       "command, and its memory per control."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("client"), QStringLiteral("The client program."),
                      QStringLiteral("path"), QStringLiteral(CORVANE_MINI_EXE)});
    parser.addOption({QStringLiteral("sizes"), QStringLiteral("Panel sizes, comma-separated."),
                      QStringLiteral("list"), QStringLiteral("1000,4000,10000")});
    parser.addOption({QStringLiteral("runs"),
                      QStringLiteral("Runs per size (the median is "
                                     "reported)."),
                      QStringLiteral("n"), QStringLiteral("3")});
    parser.addOption({QStringLiteral("settle-ms"),
                      QStringLiteral("Least wait after the load command before memory is read "
                                     "again; the wait goes on until the client is idle."),
                      QStringLiteral("ms"), QStringLiteral("1500")});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
    const int settleMs = std::max(0, parser.value(QStringLiteral("settle-ms")).toInt());
    out << "controls  load_ms(median)  us/control  cpu_ms  idle_ms  runs_ms"
           "                  rss_kB/control (at load, settled)"
        << Qt::endl;
    for (const QString& sizeText : parser.value(QStringLiteral("sizes")).split(QLatin1Char(','))) {
        const int controls = sizeText.trimmed().toInt();
        if (controls <= 0) {
            continue;
        }
        QList<Result> results;
        for (int run = 0; run < runs; ++run) {
            if (auto result =
                    runOnce(parser.value(QStringLiteral("client")), controls, settleMs, err)) {
                results.append(*result);
            }
        }
        if (results.isEmpty()) {
            return 1;
        }
        std::sort(results.begin(), results.end(),
                  [](const Result& a, const Result& b) { return a.ms < b.ms; });
        const Result& median = results[results.size() / 2];
        QStringList all;
        for (const Result& r : results) {
            all << QString::number(r.ms, 'f', 0);
        }
        const auto perControl = [&](qint64 kb) {
            return QString::number(static_cast<double>(kb - median.rssBeforeKb) / controls, 'f', 1);
        };
        out << QString::number(controls).leftJustified(10)
            << QString::number(median.ms, 'f', 1).leftJustified(17)
            << QString::number(median.ms * 1000 / controls, 'f', 1).leftJustified(12)
            << QString::number(median.cpuMs, 'f', 0).leftJustified(8)
            << QString::number(median.idleMs, 'f', 0).leftJustified(9)
            << all.join(QLatin1Char(' ')).leftJustified(25) << perControl(median.rssAtLoadKb)
            << ", " << perControl(median.rssSettledKb) << Qt::endl;
    }
    return 0;
}
