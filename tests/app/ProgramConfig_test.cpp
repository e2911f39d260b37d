#include "app/CommandLine.h"
#include "app/ProgramConfig.h"
#include "app/ServerTable.h"
#include "connection/CoreConnector.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

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

// Full screen for the word true only; a scale that is neither fit nor in range is ignored
// (and a later good line still counts), without ending the reading.
TEST(ProgramConfig, FullScreenAndPanelScale) {
    const ProgramData none = parse("panelname=P\r\n");
    EXPECT_FALSE(none.boolFullScreen);
    EXPECT_FALSE(none.panelScale.has_value());
    const struct {
        const char* lines;
        bool fullScreen;
        std::optional<ScaleChoice> scale;
    } rows[] = {
        {"fullscreen=TRUE\r\npanelscale=FIT\r\n", true, ScaleChoice{true, 1.0}},
        {"FullScreen = true \r\nPanelScale = 1.5 \r\n", true, ScaleChoice{false, 1.5}},
        {"fullscreen=yes\r\npanelscale=0.25\r\n", false, ScaleChoice{false, 0.25}},
        {"fullscreen=1\r\npanelscale=4\r\n", false, ScaleChoice{false, 4.0}},
        {"panelscale=0.2\r\n", false, std::nullopt},
        {"panelscale=4.01\r\n", false, std::nullopt},
        {"panelscale=1,5\r\n", false, std::nullopt},
        {"panelscale=150%\r\n", false, std::nullopt},
        {"panelscale=\r\n", false, std::nullopt},
        {"panelscale=2\r\npanelscale=big\r\n", false, ScaleChoice{false, 2.0}},
    };
    for (const auto& row : rows) {
        const ProgramData data = parse(QString(row.lines) + "panelname=P\r\n");
        EXPECT_EQ(data.boolFullScreen, row.fullScreen) << row.lines;
        EXPECT_EQ(data.panelScale, row.scale) << row.lines;
        EXPECT_EQ(data.strPanelName, "P") << row.lines;
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

    // From the configuration: the primary port is the port of plain hosts; without one, the
    // Core's own.
    const CoreHunt hunt = HuntForConfiguration({"A|||5200", "B|||5300"}, "B", 5300);
    EXPECT_EQ(hunt.corePort, 5300);
    EXPECT_EQ(hunt.hosts, QStringList({"B", "A:5200"}));
    EXPECT_EQ(HuntForConfiguration({}, "A", 0).corePort, CoreConnector::kDefaultCorePort);
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

// The program's arguments as an operator, a desktop entry or a service gives them.
TEST(CommandLine, ReadsOptionsAndRefusesMistakesWithStatusTwo) {
    QTemporaryDir dir;
    QFile config(dir.filePath("site.txt"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.close();
    const QString file = config.fileName();

    struct Row {
        QStringList arguments;
        int status;        // -1: the program runs
        QString firstLine; // of the output (help, version) or of the error
        std::function<void(const ProgramOptions&)> check = {};
    };
    const QList<Row> rows{
        {{},
         -1,
         {},
         [](const ProgramOptions& o) {
             EXPECT_FALSE(o.switches.showDebugWindow || o.switches.coreMeterMode);
             EXPECT_TRUE(o.configFile.isEmpty());
             EXPECT_FALSE(o.panelName || o.scale || o.fullScreen);
         }},
        {{"--help"}, 0, "Usage: corvane-mini [options]"},
        {{"-h"}, 0, "Usage: corvane-mini [options]"},
        {{"--version"}, 0, "corvane-mini " CORVANE_TEST_VERSION},
        {{"-d"}, -1, {}, [](const ProgramOptions& o) { EXPECT_TRUE(o.switches.showDebugWindow); }},
        {{"-M"}, -1, {}, [](const ProgramOptions& o) { EXPECT_TRUE(o.switches.coreMeterMode); }},
        {{"-m", "--fullscreen"},
         -1,
         {},
         [](const ProgramOptions& o) {
             EXPECT_TRUE(o.switches.coreMeterMode);
             EXPECT_TRUE(o.fullScreen);
         }},
        // Together they select nothing, as they always did.
        {{"-d", "-m"},
         -1,
         {},
         [](const ProgramOptions& o) {
             EXPECT_FALSE(o.switches.showDebugWindow || o.switches.coreMeterMode);
         }},
        {{"-d", "-d"},
         -1,
         {},
         [](const ProgramOptions& o) { EXPECT_FALSE(o.switches.showDebugWindow); }},
        {{"--config", file, "--panel", "Studio B", "--scale", "fit"},
         -1,
         {},
         [&](const ProgramOptions& o) {
             EXPECT_EQ(o.configFile, file);
             EXPECT_EQ(o.panelName, "Studio B");
             EXPECT_EQ(o.scale, (ScaleChoice{true, 1.0}));
         }},
        {{"--scale=0.75"},
         -1,
         {},
         [](const ProgramOptions& o) {
             EXPECT_EQ(o.scale, (ScaleChoice{false, 0.75}));
         }},
        {{"--scale", "5"},
         2,
         "corvane-mini: --scale: '5' is neither fit nor a factor from 0.25 to 4"},
        {{"--scale", "wide"},
         2,
         "corvane-mini: --scale: 'wide' is neither fit nor a factor from 0.25 to 4"},
        {{"--scale"}, 2, "corvane-mini: Missing value after '--scale'."},
        {{"--config", dir.filePath("none.txt")},
         2,
         "corvane-mini: --config: there is no configuration file '" + dir.filePath("none.txt") +
             "'"},
        {{"--config", dir.path()},
         2,
         "corvane-mini: --config: there is no configuration file '" + dir.path() + "'"},
        {{"--panel", " "}, 2, "corvane-mini: --panel: the panel's name is empty"},
        {{"--full-screen"}, 2, "corvane-mini: Unknown option 'full-screen'."},
        {{"-D"}, 2, "corvane-mini: Unknown option 'D'."},
        {{"-dm"}, 2, "corvane-mini: Unknown option 'dm'."},
        {{"Studio"}, 2, "corvane-mini: unexpected argument 'Studio'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const CommandLineOutcome outcome =
            ParseProgramArguments(QStringList("/usr/bin/corvane-mini") + row.arguments);
        EXPECT_FALSE(outcome.qtOptions);
        if (row.status < 0) {
            EXPECT_TRUE(outcome.run);
            EXPECT_TRUE(outcome.output.isEmpty() && outcome.error.isEmpty());
            row.check(outcome.options);
            continue;
        }
        EXPECT_FALSE(outcome.run);
        EXPECT_EQ(outcome.exitStatus, row.status);
        const QString& text = row.status == 0 ? outcome.output : outcome.error;
        EXPECT_EQ(text.section('\n', 0, 0), row.firstLine);
        EXPECT_TRUE((row.status == 0 ? outcome.error : outcome.output).isEmpty());
        if (row.status == 2) {
            // The mistake, then the usage, which names every option.
            EXPECT_EQ(text.section('\n', 1, 1), "Usage: corvane-mini [options]");
            for (const char* option : {"--config", "--panel", "--fullscreen", "--scale", "-d",
                                       "-m, -M", "--help", "--version"}) {
                EXPECT_TRUE(text.contains(option)) << option;
            }
        }
    }
}

// The command line goes over the configuration file; full screen from either stays.
TEST(CommandLine, OptionsGoOverTheConfiguration) {
    ProgramData data;
    data.strPanelName = "FromFile";
    data.boolFullScreen = true;
    ApplyProgramOptions(
        ParseProgramArguments({"corvane-mini", "--panel", "Studio", "--scale", "2"}).options, data);
    EXPECT_EQ(data.strPanelName, "Studio");
    ASSERT_TRUE(data.panelScale);
    EXPECT_TRUE(data.boolFullScreen);
    ProgramData untouched;
    ApplyProgramOptions(ParseProgramArguments({"corvane-mini", "--fullscreen"}).options, untouched);
    EXPECT_EQ(untouched.strPanelName, ProgramData().strPanelName);
    EXPECT_FALSE(untouched.panelScale);
    EXPECT_TRUE(untouched.boolFullScreen);
}

// Qt's own options are Qt's: read again once the application object has taken them out.
TEST(CommandLine, QtsOwnOptionsAreLeftToQt) {
    const auto withQt = ParseProgramArguments({"corvane-mini", "-platform", "xcb", "-d"});
    EXPECT_TRUE(withQt.qtOptions);
    EXPECT_FALSE(withQt.run);
    const auto mixed = ParseProgramArguments({"corvane-mini", "-style", "x", "--bogus"});
    EXPECT_FALSE(mixed.qtOptions);
    EXPECT_EQ(mixed.exitStatus, 2);
}

TEST(ScaleChoice, FitOrAFactorInRange) {
    const struct {
        const char* text;
        std::optional<ScaleChoice> choice;
    } rows[] = {{"fit", ScaleChoice{true, 1.0}},
                {" FIT ", ScaleChoice{true, 1.0}},
                {"1", ScaleChoice{false, 1.0}},
                {"0.25", ScaleChoice{false, 0.25}},
                {"4", ScaleChoice{false, 4.0}},
                {"1.75", ScaleChoice{false, 1.75}},
                {"0.249", std::nullopt},
                {"4.5", std::nullopt},
                {"-1", std::nullopt},
                {"nan", std::nullopt},
                {"inf", std::nullopt},
                {"1,5", std::nullopt},
                {"fits", std::nullopt},
                {"", std::nullopt}};
    for (const auto& row : rows) {
        EXPECT_EQ(ScaleChoice::fromText(row.text), row.choice) << row.text;
    }
}

TEST(ScaleChoice, FitStepsAndCentring) {
    // The largest factor at which the panel fits, within range, never a pixel too large.
    const struct {
        QSize panel;
        QSize area;
        double factor;
    } fits[] = {{{1250, 800}, {1920, 1040}, 1.3},
                {{2560, 1600}, {1280, 800}, 0.5},
                {{3840, 2160}, {1280, 720}, 1.0 / 3},
                {{100, 50}, {1920, 1080}, 4.0},
                {{10000, 100}, {1000, 1000}, 0.25},
                {{0, 0}, {1920, 1080}, 1.0},
                {{800, 600}, {0, 0}, 1.0}};
    for (const auto& row : fits) {
        const double factor = PanelScale::fit(row.panel, row.area);
        EXPECT_NEAR(factor, row.factor, 0.001) << row.panel.width() << "x" << row.panel.height();
        if (!row.area.isEmpty() && factor > ScaleChoice::kMinFactor &&
            factor < ScaleChoice::kMaxFactor) {
            EXPECT_LE(row.panel.width() * factor, row.area.width());
            EXPECT_LE(row.panel.height() * factor, row.area.height());
        }
    }
    // Steps from a step, from between two steps, and at the ends.
    const struct {
        double from;
        double up;
        double down;
    } steps[] = {{1.0, 1.1, 0.9},       {0.87, 0.9, 0.8}, {1.3, 1.5, 1.25},
                 {0.25, 1.0 / 3, 0.25}, {4.0, 4.0, 3.0},  {1.0 / 3, 0.5, 0.25}};
    for (const auto& row : steps) {
        EXPECT_DOUBLE_EQ(PanelScale::stepUp(row.from), row.up) << row.from;
        EXPECT_DOUBLE_EQ(PanelScale::stepDown(row.from), row.down) << row.from;
    }
    EXPECT_EQ(PanelScale::centred({1000, 500}, {1920, 1080}), QPoint(460, 290));
    EXPECT_EQ(PanelScale::centred({2000, 500}, {1920, 1080}), QPoint(0, 290));
}
