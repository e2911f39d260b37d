// The configuration file as an operator may have edited it: its bytes are written to a file and
// read as start-up reads it, then the server table and the hunt list are made from it. Reading
// the text without the file must give the same data, and every hunt entry must reach the host
// and port of its row.

#include "FuzzCheck.h"
#include "app/ProgramConfig.h"
#include "app/ServerTable.h"
#include "app/TextFile.h"
#include "connection/CoreAddress.h"
#include "connection/CoreConnector.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace corvane;

namespace {

bool sameData(const ProgramData& a, const ProgramData& b) {
    return a.strPanelName == b.strPanelName && a.strUserName == b.strUserName &&
           a.strUserPassword == b.strUserPassword && a.strPrimaryHost == b.strPrimaryHost &&
           a.intPrimaryPort == b.intPrimaryPort && a.collServerEntries == b.collServerEntries &&
           a.intMeterServerPort == b.intMeterServerPort && a.boolFullScreen == b.boolFullScreen &&
           a.panelScale == b.panelScale;
}

bool holdsLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n'));
}

void checkHuntList(const ProgramData& data) {
    const QList<ServerRow> table = PrepareConnectList(data.collServerEntries, data.strPrimaryHost,
                                                      QString::number(data.intPrimaryPort));
    const quint16 corePort = data.intPrimaryPort > 0 ? static_cast<quint16>(data.intPrimaryPort)
                                                     : CoreConnector::kDefaultCorePort;
    const QStringList hosts = HuntHosts(table, corePort);
    FUZZ_CHECK(hosts.size() == table.size(), "a row without a hunt entry");
    FUZZ_CHECK(table.size() <= kMaxServerRows + 1, "the server table outgrew its bound");
    if (!data.strPrimaryHost.isEmpty()) {
        FUZZ_CHECK(!table.isEmpty() && table[0].host == data.strPrimaryHost,
                   "the configured Core is not tried first");
    }
    for (qsizetype i = 0; i < table.size(); ++i) {
        bool ok = false;
        const uint port = table[i].port.trimmed().toUInt(&ok, 10);
        const auto plain = CoreAddress::parse(table[i].host, 1);
        const auto other = CoreAddress::parse(table[i].host, 2);
        // A host that names no port of its own, on a row with a port of its own. Brackets
        // are no part of a host name: such text is refused whichever way it is written.
        if (!ok || port == 0 || port > 65535 || !plain || !other || plain->port == other->port ||
            plain->host.contains(QLatin1Char('[')) || plain->host.contains(QLatin1Char(']'))) {
            continue;
        }
        const auto reached = CoreAddress::parse(hosts[i], corePort);
        FUZZ_CHECK(reached.has_value(), qPrintable(hosts[i]));
        FUZZ_CHECK(reached->host == plain->host, "the hunt entry names another host");
        FUZZ_CHECK(reached->port == port, "the hunt entry reaches another port");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("CVMiniConfig.txt"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "no scratch file");
        FUZZ_CHECK(file.write(bytes) == bytes.size(), "scratch file not written");
    }

    ProgramData fromFile;
    int alwaysOnTop = 0;
    const ConfigOutcome outcome = LoadProgramData(path, fromFile, [&] { ++alwaysOnTop; });
    if (size == 0) {
        FUZZ_CHECK(outcome == ConfigOutcome::Empty, "an empty file is not reported");
        return 0;
    }
    FUZZ_CHECK(outcome == ConfigOutcome::Loaded, "a file with text was not read");

    ProgramData fromText;
    int alwaysOnTopAgain = 0;
    ParseProgramData(DecodeTextFile(bytes), fromText, [&] { ++alwaysOnTopAgain; });
    FUZZ_CHECK(sameData(fromFile, fromText), "the file and its text read differently");
    FUZZ_CHECK(alwaysOnTop == alwaysOnTopAgain, "always-on-top asked for differently");

    for (const QString* value : {&fromFile.strPanelName, &fromFile.strUserName,
                                 &fromFile.strUserPassword, &fromFile.strPrimaryHost}) {
        FUZZ_CHECK(!holdsLineBreak(*value), "a value runs over its line");
        FUZZ_CHECK(*value == value->trimmed(), "a value keeps blanks around it");
    }
    FUZZ_CHECK(fromFile.intPrimaryPort >= 0 && fromFile.intPrimaryPort <= 65535, "Core port");
    FUZZ_CHECK(fromFile.intMeterServerPort >= 1, "meter server port");
    FUZZ_CHECK(fromFile.collServerEntries.size() <= 2, "more than two server entries");
    checkHuntList(fromFile);
    return 0;
}
