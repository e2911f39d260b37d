#include "app/CommandLine.h"
#include "app/ProgramConfig.h"
#include "app/ServerTable.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

ProgramData parse(const QString& text, int* alwaysOnTopCalls = nullptr) {
    ProgramData data;
    ParseProgramData(text, data, [&] {
        if (alwaysOnTopCalls) {
            ++*alwaysOnTopCalls;
        }
    });
    return data;
}

} // namespace

TEST(ProgramConfig, ReadsKeysWithoutRegardToCaseOrBlanks) {
    const ProgramData data = parse("PrimaryServerIP = 10.0.0.5 \r\n"
                                   "primaryserverport=5200\r\n"
                                   "PANELNAME=Studio A\r\n"
                                   "username=a=b\r\n"
                                   "userpassword= ab=cd= \r\n"
                                   "nonsense line\r\n"
                                   "unknownkey=1\r\n");
    EXPECT_EQ(data.strPrimaryHost, "10.0.0.5");
    EXPECT_EQ(data.intPrimaryPort, 5200);
    EXPECT_EQ(data.strPanelName, "Studio A");
    // A value is everything after the first "=", blanks around it removed.
    EXPECT_EQ(data.strUserName, "a=b");
    EXPECT_EQ(data.strUserPassword, "ab=cd=");
    EXPECT_EQ(data.collServerEntries, QStringList({"10.0.0.5|||5200"}));
}

TEST(ProgramConfig, LaterLinesWinAndEntriesNeedHostAndPort) {
    const ProgramData data = parse("primaryserverip=A\r\nprimaryserverip=B\r\n"
                                   "primaryserverport=5200\r\n"
                                   "backupserverip=C\r\n"); // backup without a port
    EXPECT_EQ(data.strPrimaryHost, "B");
    EXPECT_EQ(data.collServerEntries, QStringList({"B|||5200"}));

    const ProgramData both = parse("primaryserverip=A\r\nprimaryserverport=5200\r\n"
                                   "backupserverip=B\r\nbackupserverport=5300\r\n");
    EXPECT_EQ(both.collServerEntries, QStringList({"A|||5200", "B|||5300"}));
}

TEST(ProgramConfig, AFileWithoutThePrimaryHostEmptiesTheDefault) {
    const ProgramData data = parse("panelname=P\r\n");
    EXPECT_EQ(data.strPrimaryHost, "");
    EXPECT_EQ(data.intPrimaryPort, 0); // no number at the start of the empty text
    EXPECT_TRUE(data.collServerEntries.isEmpty());
}

TEST(ProgramConfig, BareLineFeedsEndLinesToo) {
    // A hand-edited file with line-feed line ends must not connect elsewhere.
    const ProgramData data = parse("primaryserverip=10.1.1.1\nprimaryserverport=5300\n"
                                   "panelname=Main\n");
    EXPECT_EQ(data.strPrimaryHost, "10.1.1.1");
    EXPECT_EQ(data.intPrimaryPort, 5300);
    EXPECT_EQ(data.strPanelName, "Main");
}

TEST(ProgramConfig, APortOutOfRangeEndsTheReadingButKeepsWhatWasRead) {
    const ProgramData data = parse("primaryserverip=A\r\nprimaryserverport=99999\r\n");
    EXPECT_EQ(data.strPrimaryHost, "A");
    EXPECT_EQ(data.intPrimaryPort, 5200);
    EXPECT_EQ(data.collServerEntries, QStringList({"A|||99999"}));

    // Every TCP port is a port, also above 32767.
    EXPECT_EQ(parse("primaryserverip=A\r\nprimaryserverport=49152\r\n").intPrimaryPort, 49152);
}

TEST(ProgramConfig, MeterServerPortIsOptional) {
    EXPECT_EQ(parse("panelname=P\r\n").intMeterServerPort, 9501);
    EXPECT_EQ(parse("MeterServerPort = 49501\r\n").intMeterServerPort, 49501);
    // Anything that is not a port leaves the usual one and ends nothing.
    for (const char* bad : {"0", "65536", "-1", "95.5", "port", ""}) {
        const ProgramData data =
            parse(QStringLiteral("meterserverport=%1\r\npanelname=P\r\n").arg(QLatin1String(bad)));
        EXPECT_EQ(data.intMeterServerPort, 9501) << bad;
        EXPECT_EQ(data.strPanelName, "P");
    }
}

// How web views draw: three words in any case; anything else keeps the automatic choice.
TEST(ProgramConfig, WebRenderingIsAutoSoftwareOrOpenGl) {
    EXPECT_EQ(parse("panelname=P\r\n").webRendering, WebRendering::Automatic);
    const struct {
        const char* value;
        WebRendering mode;
    } rows[] = {{"software", WebRendering::Software},
                {" OpenGL ", WebRendering::OpenGl},
                {"AUTO", WebRendering::Automatic},
                {"gpu", WebRendering::Automatic},
                {"", WebRendering::Automatic}};
    for (const auto& row : rows) {
        const ProgramData data =
            parse(QStringLiteral("webrendering=%1\r\npanelname=P\r\n").arg(row.value));
        EXPECT_EQ(data.webRendering, row.mode) << row.value;
        EXPECT_EQ(data.strPanelName, "P");
    }
    // The renderers that are software rasterisers, and some that are not.
    for (const char* software : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe",
                                 "Software Rasterizer", "Mesa swrast", "lavapipe"}) {
        EXPECT_TRUE(IsSoftwareRenderer(software)) << software;
    }
    for (const char* hardware : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                                 "NVIDIA GeForce RTX 3060/PCIe/SSE2", "AMD Radeon RX 580", ""}) {
        EXPECT_FALSE(IsSoftwareRenderer(hardware)) << hardware;
    }
}

TEST(ProgramConfig, AlwaysOnTopOnlyForTheWordTrue) {
    int calls = 0;
    parse("alwaysontop=TRUE\r\nalwaysontop=yes\r\nalwaysontop= true \r\n", &calls);
    EXPECT_EQ(calls, 2);
}

TEST(ProgramConfig, FileOutcomes) {
    QTemporaryDir dir;
    ProgramData data;
    EXPECT_EQ(LoadProgramData(dir.filePath("none.txt"), data), ConfigOutcome::Missing);
    EXPECT_EQ(data.strPrimaryHost, "127.0.0.1");
    EXPECT_EQ(data.intPrimaryPort, 5200);

    QFile empty(dir.filePath("empty.txt"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(LoadProgramData(empty.fileName(), data), ConfigOutcome::Empty);

    // Latin-1 text (not valid UTF-8) still reads.
    QFile latin(dir.filePath("latin.txt"));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write("panelname=Caf\xe9\r\n");
    latin.close();
    EXPECT_EQ(LoadProgramData(latin.fileName(), data), ConfigOutcome::Loaded);
    EXPECT_EQ(data.strPanelName, QString::fromUtf8("Caf\xc3\xa9"));
}

TEST(ServerTable, EveryHostWithEveryPortAndThePreferredRowFirst) {
    const QStringList entries{"A|||5200", "B|||5200"};
    EXPECT_EQ(HuntHosts(PrepareConnectList(entries, "A", "5200"), 5200), QStringList({"A", "B"}));

    const auto table = PrepareConnectList({"a,b|||5200,5300|||Studio"}, "", "");
    ASSERT_EQ(table.size(), 4);
    EXPECT_EQ(table[0], (ServerRow{"a", "5200", "Studio"}));
    EXPECT_EQ(table[1], (ServerRow{"a", "5300", "Studio"}));
    EXPECT_EQ(table[2], (ServerRow{"b", "5200", "Studio"}));
    EXPECT_EQ(table[3], (ServerRow{"b", "5300", "Studio"}));

    // The backup preferred: moved to the front, the rest keep their order.
    EXPECT_EQ(HuntHosts(PrepareConnectList({"A|||5200", "B|||5300"}, "B", "5300"), 5300),
              QStringList({"B", "A:5200"}));
}

TEST(ServerTable, RowsOnAnotherPortThanTheCorePortAreHuntedAsHostAndPort) {
    const QList<ServerRow> table{
        {"A", "5200", ""},
        {"B", "5300", ""},
        {"C", "05200", ""},
        {"fe80::1", "5300", ""},
        {"[fe80::2]", "5300", ""},
        {"D:6000", "5300", ""},
        {"[fe80::3]:6000", "5300", ""},
        {"E", "none", ""},
        {"F", "70000", ""},
        {"G", "0", ""},
        {"", "5300", ""},
    };
    EXPECT_EQ(HuntHosts(table, 5200),
              QStringList({"A", "B:5300", "C", "[fe80::1]:5300", "[fe80::2]:5300", "D:6000",
                           "[fe80::3]:6000", "E", "F", "G", ""}));
}

TEST(ServerTable, AnUnmatchedPreferenceIsAddedAsUnknownInFront) {
    // Port written 05200 in the file: the preferred port text is 5200 and matches no row.
    const auto table = PrepareConnectList({"A|||05200"}, "A", "5200");
    ASSERT_EQ(table.size(), 2);
    EXPECT_EQ(table[0], (ServerRow{"A", "5200", "Unknown"}));
    EXPECT_EQ(table[1], (ServerRow{"A", "05200", ""}));

    // A host list as primary host: the whole text is the first host hunted.
    const auto list = PrepareConnectList({"a,b|||5200"}, "a,b", "5200");
    EXPECT_EQ(HuntHosts(list, 5200), QStringList({"a,b", "a", "b"}));

    // No configuration at all: the local machine.
    EXPECT_EQ(PrepareConnectList({}, "127.0.0.1", "5200"),
              QList<ServerRow>({ServerRow{"127.0.0.1", "5200", "Unknown"}}));
    EXPECT_TRUE(PrepareConnectList({"broken"}, "", "").isEmpty());
}

TEST(ServerTable, LongHostAndPortListsMakeABoundedTable) {
    // Every host with every port of two long lists would not fit in memory: the table keeps
    // its first rows, and the preferred row still comes first.
    QStringList hosts;
    QStringList ports;
    for (int i = 0; i < 2000; ++i) {
        hosts << QStringLiteral("h%1").arg(i);
        ports << QString::number(1000 + i);
    }
    const QStringList entries{hosts.join(',') + "|||" + ports.join(','), "late|||5200"};
    const auto outside = PrepareConnectList(entries, "h1999", "2999");
    ASSERT_EQ(outside.size(), kMaxServerRows + 1);
    EXPECT_EQ(outside[0], (ServerRow{"h1999", "2999", "Unknown"}));
    EXPECT_EQ(outside[1], (ServerRow{"h0", "1000", ""}));
    EXPECT_EQ(outside.last(), (ServerRow{"h0", QString::number(999 + kMaxServerRows), ""}));

    const auto inside = PrepareConnectList(entries, "h0", "1001");
    ASSERT_EQ(inside.size(), kMaxServerRows);
    EXPECT_EQ(inside[0], (ServerRow{"h0", "1001", ""}));
    EXPECT_EQ(HuntHosts(inside, 5200).size(), kMaxServerRows);
}

TEST(CommandLine, OnlyASingleExactSwitchCounts) {
    EXPECT_TRUE(ParseCommandLine("-d").showDebugWindow);
    EXPECT_FALSE(ParseCommandLine("-d").coreMeterMode);
    EXPECT_TRUE(ParseCommandLine("-m").coreMeterMode);
    EXPECT_TRUE(ParseCommandLine("-M").coreMeterMode);
    for (const QString& none : {QString(), QString("-D"), QString("-d -m"), QString("m")}) {
        const auto switches = ParseCommandLine(none);
        EXPECT_FALSE(switches.showDebugWindow || switches.coreMeterMode) << none.toStdString();
    }
    EXPECT_EQ(ArgumentText({"-d", "-m"}), "-d -m");
}
