#include "FrameTrace.h"
#include "StudioCore.h"
#include "StudioJournal.h"
#include "common/DemoPoints.h"
#include "common/ListenAddress.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/QtPrinters.h"
#include "support/TestFrame.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::demo;
using corvane::test::TestFrame;

namespace {

const QString US(QChar(31));
const QString& kNoAddress = modClientProtocolConsts::strNoAddress;

const char* const kStudioPanel = R"(<panel><name>Studio</name><caption>Studio A</caption>
<controllist>
  <c><type>button</type><name>Mic1</name><state>on</state></c>
  <c><type>button</type><name>Mic2</name><buttonstate>0</buttonstate></c>
  <c><type>button</type><name>Talkback</name></c>
  <c><type>label</type><name>Status</name></c>
</controllist></panel>)";

struct Sent {
    int connection;
    TestFrame frame;
};

class RecordingOutput : public StudioOutput {
public:
    void send(int connection, const QString& frame) override {
        sent.push_back({connection, TestFrame{frame.chopped(2)}});
    }
    void close(int connection) override { closed << connection; }
    void note(const QString& text) override { notes << text; }

    // "connection:command:payload" for each frame sent, in order.
    QStringList summary() const {
        QStringList lines;
        for (const Sent& s : sent) {
            lines << QStringLiteral("%1:%2:%3")
                         .arg(s.connection)
                         .arg(s.frame.command())
                         .arg(s.frame.payload());
        }
        return lines;
    }
    void clear() {
        sent.clear();
        notes.clear();
    }

    std::vector<Sent> sent;
    QList<int> closed;
    QStringList notes;
};

class StudioCoreTest : public ::testing::Test {
protected:
    StudioCoreTest() {
        QDir(m_dir.path()).mkdir("panels");
        writePanel("Studio.xml", kStudioPanel);
        writePanel("Other.xml", "<panel><name>Other</name></panel>");
    }

    void writePanel(const QString& file, const QByteArray& text) {
        QFile out(m_dir.filePath("panels/" + file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    }

    void frame(int connection, int command, const QString& address, const QString& payload) {
        m_studio.handle(connection,
                        BuildFrame(command, address, payload).chopped(2)); // cut at frame end
    }

    // Opens a connection, logs it in and loads a panel; forgets what that sent.
    void joinPanel(int connection, const QString& panel) {
        m_studio.open(connection);
        frame(connection, Command::Login, kNoAddress, "LOGIN" + US + "operator" + US + "demo");
        frame(connection, Command::PanelDefinition, kNoAddress, panel);
        m_output.clear();
    }

    QTemporaryDir m_dir;
    PanelCatalog m_catalog{QDir(m_dir.filePath("panels"))};
    StudioState m_state;
    RecordingOutput m_output;
    StudioCore m_studio{m_catalog, m_state, {"operator", "demo"}, m_output};
};

TEST_F(StudioCoreTest, LogsInOnlyWithTheConfiguredCredentials) {
    struct Row {
        QString payload;
        bool accepted;
    };
    const Row rows[] = {
        {"LOGIN" + US + "operator" + US + "demo", true},
        {"LOGIN" + US + "operator" + US + "wrong", false},
        {"LOGIN" + US + "Operator" + US + "demo", false},
        {"LOGIN" + US + "operator" + US + "demo" + US, false}, // the password is all the rest
        {"LOGIN" + US + "operator", false},
        {"login" + US + "operator" + US + "demo", false},
        {"", false},
    };
    int connection = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.payload.toStdString());
        m_output.clear();
        m_studio.open(++connection);
        // Nothing is heard before a login.
        frame(connection, Command::PanelDefinition, kNoAddress, "Studio");
        EXPECT_TRUE(m_output.sent.empty());
        frame(connection, Command::Login, kNoAddress, row.payload);
        ASSERT_EQ(m_output.sent.size(), 1u);
        EXPECT_EQ(m_output.sent[0].frame.command(), Command::Login);
        EXPECT_EQ(m_output.sent[0].frame.payload(), row.accepted ? "Yes" : "No");
        EXPECT_EQ(m_studio.isLoggedIn(connection), row.accepted);
        EXPECT_EQ(m_output.closed.contains(connection), !row.accepted);
    }
}

TEST_F(StudioCoreTest, ServesPanelsByFileNameAndRefusesNamesOutsideItsFolder) {
    QFile secret(m_dir.filePath("secret.xml")); // beside the panel folder, not in it
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("<panel><name>Secret</name></panel>");
    secret.close();

    joinPanel(1, "Other");
    frame(1, Command::PanelDefinition, kNoAddress, " studio ");
    ASSERT_EQ(m_output.sent.size(), 1u);
    EXPECT_EQ(m_output.sent[0].frame.fields().value(0), "Studio A");
    EXPECT_EQ(m_output.sent[0].frame.fields().value(1), kStudioPanel);
    EXPECT_EQ(m_studio.panelOf(1), "Studio");

    for (const QString name : {"../secret", "/etc/passwd", ".hidden", "a\\b", "c:x", "", "None"}) {
        SCOPED_TRACE(name.toStdString());
        m_output.clear();
        frame(1, Command::PanelDefinition, kNoAddress, name);
        ASSERT_EQ(m_output.sent.size(), 1u);
        EXPECT_EQ(m_output.sent[0].frame.command(), Command::OperatorMessage);
        EXPECT_TRUE(m_output.sent[0].frame.payload().contains("no panel named"));
    }
}

TEST_F(StudioCoreTest, ButtonsLatchOrLightWhileHeldAndEveryViewerOfThePanelSeesIt) {
    joinPanel(1, "Studio");
    joinPanel(2, "studio");
    joinPanel(3, "Other");
    struct Row {
        QString push;
        QString change; // sent to connections 1 and 2; empty: nothing sent
    };
    const Row rows[] = {
        {"TStudio.Mic1", "Studio.Mic1.state=off"}, // starts on, latches
        {"FStudio.Mic1", ""},
        {"TStudio.MIC1", "Studio.Mic1.state=on"},         // named as the definition writes it
        {"TStudio.Mic2", "Studio.Mic2.state=on"},         // a button state of 0 is off, and latches
        {"TStudio.Talkback", "Studio.Talkback.state=on"}, // no state: momentary
        {"FStudio.Talkback", "Studio.Talkback.state=off"},
        {"TStudio.Unknown", "Studio.Unknown.state=on"},
        {"XStudio.Mic1", ""},
        {"TStudio", ""},
        {"T", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.push.toStdString());
        m_output.clear();
        frame(1, Command::PropertyChange, kNoAddress, row.push);
        const QStringList expected = row.change.isEmpty()
                                         ? QStringList()
                                         : QStringList{"1:35:" + row.change, "2:35:" + row.change};
        QStringList got = m_output.summary();
        got.sort();
        EXPECT_EQ(got, expected);
    }

    // A client that loads the panel later sees the studio as it is now, after the definition.
    joinPanel(4, "Other");
    frame(4, Command::PanelDefinition, kNoAddress, "Studio");
    const QStringList got = m_output.summary();
    ASSERT_EQ(got.size(), 5);
    EXPECT_TRUE(got[0].startsWith("4:43:"));
    // In the order of their last change.
    EXPECT_EQ(got.mid(1),
              QStringList({"4:35:Studio.Mic1.state=on", "4:35:Studio.Mic2.state=on",
                           "4:35:Studio.Talkback.state=off", "4:35:Studio.Unknown.state=on"}));
}

TEST_F(StudioCoreTest, ControlCommandsAreLoggedAndMessagesAndSetsAct) {
    joinPanel(1, "Studio");
    joinPanel(2, "Studio");
    struct Row {
        QString command;
        QStringList sent;
    };
    const Row rows[] = {
        {"Studio.Mic1.Toggle", {}},
        {"message Call the producer" + US + "now", {"1:13:Call the producer" + US + "now"}},
        {"  MESSAGE  spaced  ", {"1:13:spaced"}},
        {"messages are not", {}},
        {"set Studio.Status.caption=ON AIR",
         {"1:35:Studio.Status.caption=ON AIR", "2:35:Studio.Status.caption=ON AIR"}},
        {"set Studio.Status.caption=a=b",
         {"1:35:Studio.Status.caption=a", "2:35:Studio.Status.caption=a"}},
        {"set Other.Status.caption=x", {}}, // nobody shows that panel
        {"set Studio.Status=x", {}},
        {"set Studio..caption=x", {}},
        {"set nothing", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command.toStdString());
        m_output.clear();
        frame(1, Command::ControlCommand, kNoAddress, "Studio.Button" + US + row.command);
        QStringList got = m_output.summary();
        got.sort();
        EXPECT_EQ(got, row.sent);
        ASSERT_FALSE(m_output.notes.isEmpty());
        EXPECT_TRUE(m_output.notes[0].endsWith("command from Studio.Button: " + row.command));
    }
    EXPECT_EQ(m_state.propertyChanges("Studio"), QStringList{"Studio.Status.caption=a"});
    EXPECT_EQ(m_state.propertyChanges("Other"), QStringList{"Other.Status.caption=x"});
}

TEST_F(StudioCoreTest, ChannelsAnswerSubscriptionsRequestsAndQueriesOfEveryListener) {
    joinPanel(1, "Studio");
    joinPanel(2, "Studio");                               // listens to the same strip
    joinPanel(3, "Studio");                               // listens to nothing
    const QString strip = PointAddressBlock(2, 11, true); // source 2/11: buses 1 and 2
    const QString output = PointAddressBlock(1, 3, false);
    frame(2, Command::MeterSubscription, strip, "");
    const QString record = "0002" + US + "11" + US + "False" + US + "FFA0:FFA0:FFA0:FFA0:";
    struct Row {
        int from;
        int command;
        QString address;
        QString payload;
        QStringList sent; // "connection:command:payload", sorted
    };
    const Row rows[] = {
        {1,
         Command::MeterSubscription,
         strip,
         "",
         {"1:19:gainmin=-800,gainmax=100,hasonoff=True,pgm1=True,pgm2=True,pgm3=False,"
          "pgm4=False",
          "1:20:TTFFF", "1:22:" + record + "-6"}},
        {1,
         Command::LevelData,
         strip,
         "-12.5",
         {"1:22:" + record + "-12.5", "2:22:" + record + "-12.5"}},
        {1, Command::LevelData, strip, "99", {"1:22:" + record + "10", "2:22:" + record + "10"}},
        {1, Command::LevelData, strip, "-3.04", {"1:22:" + record + "-3", "2:22:" + record + "-3"}},
        {1, Command::LevelData, strip, "loud", {}},
        {1, Command::LevelData, strip, "nan", {}},
        {1, Command::ChannelRequest, strip, "ChannelOn=False", {"1:20:FTFFF", "2:20:FTFFF"}},
        {1, Command::ChannelRequest, strip, "PGM2On=True", {"1:20:FTTFF", "2:20:FTTFF"}},
        {1, Command::ChannelRequest, strip, "PGM3On=True", {}}, // no bus 3 on this channel
        {1, Command::ChannelRequest, strip, "PGM1On=maybe", {}},
        {3, Command::ChannelRequest, output, "ChannelOn=False", {"3:20:FFFFF"}},
        {1, Command::IoAddress, strip, "", {"1:46:rtr2-in.studio.lan/11"}},
        {1, Command::IoAddress, output, "", {"1:46:rtr1-out.studio.lan/3"}},
        {1, Command::IoAddress, kNoAddress, "", {}},
        {1,
         Command::FaderGainQuery,
         kNoAddress,
         "tcp://rtr2-in.studio.lan:4010_GET FaCH#11 Fader_Gain",
         {"1:22:" + record + "-3"}},
        {1, Command::FaderGainQuery, kNoAddress, "tcp://elsewhere:4010_GET FaCH#11 Fader_Gain", {}},
        {1, Command::KeepAlive, kNoAddress, "Studio", {}},
        {1, Command::MeterAddOns, strip, "", {}}, // 1 stops listening, but still hears its own
        {1, Command::LevelData, strip, "-1", {"1:22:" + record + "-1", "2:22:" + record + "-1"}},
        {2, Command::MeterAddOns, strip, "", {}},
        {3, Command::LevelData, strip, "-2", {"3:22:" + record + "-2"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE((QString::number(row.command) + " " + row.payload).toStdString());
        m_output.clear();
        frame(row.from, row.command, row.address, row.payload);
        QStringList got = m_output.summary();
        got.sort();
        EXPECT_EQ(got, row.sent);
    }
}

TEST_F(StudioCoreTest, ChurnTakesButtonsFadersChannelsAndCaptionsInTurnToTheirViewers) {
    m_studio.churn(); // nobody shows a panel: nothing to change
    EXPECT_TRUE(m_output.sent.empty());
    EXPECT_EQ(m_studio.churnCount(), 0);

    joinPanel(1, "Studio");
    joinPanel(2, "Other"); // no buttons, no points: only its caption changes
    const QString strip = PointAddressBlock(2, 11, true);
    frame(1, Command::MeterSubscription, strip, "");
    const QString record = "0002" + US + "11" + US + "False" + US + "FFA0:FFA0:FFA0:FFA0:";
    const QStringList expected = {
        "1:35:Studio.Mic1.state=off", // starts on
        "1:22:" + record + "-1",
        "1:20:FTFFF",
        "2:35:Other.Other.caption=Other (0)",
        "1:35:Studio.Mic2.state=on",
        "1:22:" + record + "-8",
        "1:20:TTFFF",
        "1:35:Studio.Studio.caption=Studio (1)",
        "1:35:Studio.Talkback.state=on",
    };
    for (const QString& change : expected) {
        SCOPED_TRACE(change.toStdString());
        m_output.clear();
        m_studio.churn();
        EXPECT_EQ(m_output.summary(), QStringList{change});
    }
    EXPECT_EQ(m_studio.churnCount(), expected.size());

    // The studio remembers what changed: a client loading the panel now sees it.
    joinPanel(3, "Other");
    frame(3, Command::PanelDefinition, kNoAddress, "Studio");
    EXPECT_EQ(
        m_output.summary().mid(1),
        QStringList({"3:35:Studio.Mic1.state=off", "3:35:Studio.Mic2.state=on",
                     "3:35:Studio.Studio.caption=Studio (1)", "3:35:Studio.Talkback.state=on"}));
}

TEST_F(StudioCoreTest, ChangesGoToTheOtherCoresAndTheirChangesToTheClients) {
    QList<StudioChange> shared;
    m_state.setChangeSink([&](const StudioChange& change) { shared << change; });
    joinPanel(1, "Studio");
    const QString strip = PointAddressBlock(2, 11, true);
    const DemoPoint point{2, 11, false};
    frame(1, Command::MeterSubscription, strip, "");
    m_output.clear();

    // What the studio changes for its clients is handed on.
    frame(1, Command::PropertyChange, kNoAddress, "TStudio.Mic2");
    frame(1, Command::LevelData, strip, "-12.5");
    ChannelState channel = m_state.channel(point);
    ASSERT_EQ(channel.gainDb, -12.5);
    EXPECT_EQ(shared, (QList<StudioChange>{PropertySetting{"Studio", "Mic2", "state", "on"},
                                           ChannelSetting{point, channel}}));

    // What another Core changed reaches the clients it concerns, and is not handed back.
    shared.clear();
    m_output.clear();
    channel.on = false;
    channel.gainDb = -30;
    m_studio.applyShared(PropertySetting{"Studio", "Status", "caption", "From the backup"});
    m_studio.applyShared(PropertySetting{"Other", "Label", "caption", "Not shown here"});
    m_studio.applyShared(ChannelSetting{point, channel});
    m_studio.applyShared(ChannelSetting{{5, 5, true}, ChannelState{}}); // nobody listens
    const QString record = "0002" + US + "11" + US + "False" + US + "FFA0:FFA0:FFA0:FFA0:";
    EXPECT_EQ(m_output.summary(), QStringList({"1:35:Studio.Status.caption=From the backup",
                                               "1:20:FTFFF", "1:22:" + record + "-30"}));
    EXPECT_TRUE(shared.isEmpty());
    EXPECT_EQ(m_state.property("Other", "label", "CAPTION")->value, "Not shown here");
    EXPECT_EQ(m_state.channel(point), channel);

    // Keep-alives are logged, so that their timing can be checked.
    frame(1, Command::KeepAlive, kNoAddress, "Studio");
    EXPECT_TRUE(m_output.notes.contains("#1 keep-alive from panel Studio"));
}

TEST_F(StudioCoreTest, AChecksReadbackIsTheAnswerToTheDeliveryItCausedAndDifferencesAreListed) {
    m_studio.setReadback(true);
    joinPanel(1, "Studio");
    joinPanel(2, "Studio");
    m_studio.open(3); // shows no panel: not checked
    const auto answer = [&](int connection, const QString& text) {
        frame(connection, Command::ControlCommand, kNoAddress, "Studio.MainForm" + US + text);
    };
    answer(1, "readback"); // the first deliveries' readbacks
    answer(2, "readback");
    frame(1, Command::PanelDefinition, kNoAddress, "Studio");
    EXPECT_TRUE(m_output.sent.back().frame.payload().contains("<onload>readback\tMic1.caption="));
    m_output.clear();

    EXPECT_EQ(m_studio.check(), 2);
    EXPECT_EQ(m_output.summary().filter(":43:").size(), 2);
    answer(1, "readback\tMic1.caption=MIC 1"); // the readback of the delivery before the check
    answer(2, "readback\tMic1.caption=$$Mic1.caption$$");
    answer(1, "readback\tMic1.caption=MIC 2\tMic2.caption=x");
    answer(1, "readback\tMic1.caption=late"); // nothing checks this one
    const QStringList checks = m_output.notes.filter("check:");
    ASSERT_GE(checks.size(), 3);
    EXPECT_EQ(checks[0], "check: #2 panel Studio: failed: the client could not read its controls");
    EXPECT_TRUE(checks[1].startsWith("check: #1 panel Studio: "));
    EXPECT_TRUE(checks[1].contains(" values of 5 controls compared, "))
        << checks.join("\n").toStdString();
    EXPECT_TRUE(checks.contains(
        "check: #1 panel Studio: difference Mic1.caption: studio \"\", client \"MIC 2\""));
    EXPECT_TRUE(checks.contains(
        "check: #1 panel Studio: difference Mic2.backcolor: studio \"14737632\", client none"))
        << checks.join("\n").toStdString();
    EXPECT_TRUE(m_output.notes.filter("late").isEmpty());

    m_studio.close(1);
    m_studio.close(2);
    m_output.clear();
    EXPECT_EQ(m_studio.check(), 0);
    EXPECT_EQ(m_output.notes, QStringList{"check: no client shows a panel"});
}

TEST(StudioJournal, CarriesChangesBetweenCoresAndToACoreStartedAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath("studio.journal");
    StudioJournal primary(path, "primary");
    StudioJournal backup(path, "backup");
    ASSERT_TRUE(primary.open());
    ASSERT_TRUE(backup.open());
    ChannelState channel;
    channel.on = false;
    channel.pgmBusOn = {true, false, true, true};
    channel.gainDb = -12.345678901234;
    const QList<StudioChange> changes{
        PropertySetting{"Studio", "Mic1", "state", "on"},
        PropertySetting{"Stu\\dio", "Note", "caption", "tab\\there\\nand\tthere\r\nend\\"},
        PropertySetting{"Studio", "Empty", "caption", ""},
        ChannelSetting{{2, 11, false}, channel},
        ChannelSetting{{65535, 1, true}, ChannelState{}},
    };
    for (const StudioChange& change : changes) {
        primary.append(change);
    }
    EXPECT_EQ(backup.readOthers(), changes);
    EXPECT_TRUE(backup.readOthers().isEmpty());
    EXPECT_TRUE(primary.readOthers().isEmpty()) << "a Core skips its own changes";

    // Half a line waits for its end; damaged lines are passed over.
    backup.append(changes[0]);
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::Append));
    const QByteArray line = StudioJournal::encode("other", changes[3]);
    raw.write(line.left(10));
    raw.flush();
    EXPECT_EQ(primary.readOthers(), QList<StudioChange>{changes[0]});
    raw.write(line.mid(10) + "other\tP\tshort\n" + "x\tC\t0\t1\tS\tTTTTT\t0\n" +
              "x\tC\t1\t1\tS\tTT\t0\n\n");
    raw.flush();
    EXPECT_EQ(primary.readOthers(), QList<StudioChange>{changes[3]});

    // A Core started again takes over everything, its own earlier changes included.
    StudioJournal restarted(path, "primary-again");
    ASSERT_TRUE(restarted.open());
    const QList<StudioChange> everything = changes + QList<StudioChange>{changes[0], changes[3]};
    EXPECT_EQ(restarted.readOthers(), everything);
    StudioState state;
    for (const StudioChange& change : changes) {
        state.apply(change);
    }
    EXPECT_EQ(state.property("Studio", "MIC1", "state")->value, "on");
    EXPECT_EQ(state.channel({2, 11, false}), channel);
}

TEST(DemoPoints, AddressBlocksAndIoAddressesNameThePointsTheyShould) {
    struct Row {
        QString block;
        std::optional<DemoPoint> point;
    };
    const Row rows[] = {
        {"0002000B0000", DemoPoint{2, 11, false}},
        {"00030000000a", DemoPoint{3, 10, true}},
        {"0003000C000A", DemoPoint{3, 12, false}}, // a source field wins
        {"000000010000", std::nullopt},            // no router
        {"000300000000", std::nullopt},
        {"00G3000C0000", std::nullopt},
        {"0003000C000", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.block.toStdString());
        EXPECT_EQ(PointOfAddressBlock(row.block), row.point);
        if (row.point) {
            const QStringList parts = IoAddressOf(*row.point).split('/');
            ASSERT_EQ(parts.size(), 2);
            EXPECT_EQ(PointOfIoAddress(parts[0], parts[1]), row.point);
        }
    }
    EXPECT_EQ(PointOfIoAddress(u"rtr2-in.studio.lan", u"011"), std::nullopt);
    EXPECT_EQ(PointOfIoAddress(u"rtr2-sideways.studio.lan", u"11"), std::nullopt);
    EXPECT_EQ(PointOfIoAddress(u"rtr70000-in.studio.lan", u"11"), std::nullopt);
}

TEST(ListenAddress, ReadsTheFormsTheOptionTakes) {
    struct Row {
        QString text;
        QString described; // empty: refused
    };
    const Row rows[] = {
        {"127.0.0.1:5200", "127.0.0.1:5200"},
        {"0.0.0.0:9501", "0.0.0.0:9501"},
        {"localhost:1", "127.0.0.1:1"},
        {"[::1]:5200", "[::1]:5200"},
        {"::1", "[::1]:7"},
        {"6000", "127.0.0.1:6000"},
        {":6000", "127.0.0.1:6000"},
        {"10.0.0.2", "10.0.0.2:7"},
        {"127.0.0.1:0", "127.0.0.1:0"},
        {"127.0.0.1:65536", ""},
        {"127.0.0.1:+5", ""},
        {"example.org:80", ""},
        {"[::1:80", ""},
        {"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const auto parsed = ListenAddress::parse(row.text, 7);
        EXPECT_EQ(parsed ? ListenAddress::describe(parsed->address, parsed->port) : QString(),
                  row.described);
    }
}

TEST(FrameTrace, ShowsDirectionCommandAddressAndAVisiblePayload) {
    struct Row {
        bool received;
        QString frame;
        QString line;
    };
    const Row rows[] = {
        {true, BuildFrame(35, kNoAddress, u"TStudio.Mic1"), "#7 <- 35 000000000000 TStudio.Mic1"},
        {false, BuildFrame(22, u"0002000B0000", "0002" + US + "11" + QChar(30) + "\r\n\t"),
         "#7 -> 22 0002000B0000 0002<US>11<RS>\\r\\n\\t"},
        {true, BuildFrame(37, kNoAddress), "#7 <- 37 000000000000 "},
        {true, "noise" + QString(QChar(1)), "#7 <- ?? noise<x01>"},
        {true, QString(2, QChar(2)) + "+0000", "#7 <- ?? <STX><STX>+0000"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TraceLine(7, row.received, row.frame), row.line);
    }
    EXPECT_EQ(VisibleText(QString(10, 'a'), 4), "aaaa ... (6 more characters)");
}

} // namespace
