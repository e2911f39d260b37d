// The studio's readback against the real client: the demo Core's frames go straight into a
// live panel, and what the panel answers to the readback must match what the studio expects.

#include "PanelReadback.h"
#include "StudioCore.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "protocol/QtPrinters.h"
#include "runtime/LivePanel.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::demo;

namespace {

const QString US(QChar(31));
const QString& kNoAddress = modClientProtocolConsts::strNoAddress;

// The studio's output fed to a live panel. Like the client, the panel reads itself back as
// soon as a delivery of its panel is built, before the changes that follow it.
class LoopToPanel : public StudioOutput {
public:
    explicit LoopToPanel(const StudioPanel& panel) : m_command(PanelReadback::LoadCommand(panel)) {}

    void send(int, const QString& frame) override {
        m_panel.receive(frame);
        if (frame.at(2).unicode() == Command::PanelDefinition) {
            answers << m_panel.readCommand(m_command);
        }
    }
    void close(int) override {}
    void note(const QString& text) override { notes << text; }

    test::LivePanel& panel() { return m_panel; }

    QStringList answers;
    QStringList notes;

private:
    QString m_command;
    test::LivePanel m_panel;
};

class PanelReadbackTest : public ::testing::TestWithParam<const char*> {
protected:
    void frame(int command, const QString& address, const QString& payload) {
        m_studio.handle(1, BuildFrame(command, address, payload).chopped(2));
    }

    PanelCatalog m_catalog{QDir(CORVANE_SOURCE_DIR "/demo/panels")};
    StudioPanel m_panel = *m_catalog.load(GetParam());
    StudioState m_state;
    LoopToPanel m_loop{m_panel};
    StudioCore m_studio{m_catalog, m_state, {"operator", "demo"}, m_loop};
};

TEST_P(PanelReadbackTest, AClientThatFollowedTheStudioReadsBackAsTheStudioExpects) {
    m_studio.setReadback(true);
    m_studio.open(1);
    frame(Command::Login, kNoAddress, "LOGIN" + US + "operator" + US + "demo");
    frame(Command::PanelDefinition, kNoAddress, GetParam());
    ASSERT_EQ(m_loop.answers.size(), 1);
    EXPECT_FALSE(PanelReadback::IsUnfilled(m_loop.answers[0]))
        << m_loop.answers[0].left(300).toStdString();
    const QString name = m_panel.name;
    // The readback of a delivery nobody checks is taken without a word.
    frame(Command::ControlCommand, kNoAddress, name + ".MainForm" + US + m_loop.answers[0]);
    EXPECT_TRUE(m_loop.notes.filter("check:").isEmpty());
    // The client subscribes its strips and meters at the Core as it builds them.
    for (const clsUPControl& record : m_panel.records) {
        if (record.lngMeterRTRNum > 0 && record.lngMeterIONum > 0) {
            frame(Command::MeterSubscription,
                  PointAddressBlock(record.lngMeterRTRNum, record.lngMeterIONum,
                                    record.boolMeterIsSource),
                  "");
        }
    }
    // A busy studio, and settings of every kind the readback covers.
    for (int i = 0; i < 400; ++i) {
        m_studio.churn();
    }
    for (const clsUPControl& record : m_panel.records) {
        const QString type = record.typeKey();
        const QString set = "set " + name + "." + record.Name + ".";
        const auto command = [&](const QString& text) {
            frame(Command::ControlCommand, kNoAddress, name + ".x" + US + text);
        };
        if (type == "label" || type == "textbox") {
            command(set + "caption=A & B\\nthen C");
            command(set + "forecolor=&H123456");
            command(set + "backcoloroff=green");
        } else if (type == "button") {
            command(set + "backcoloron=blue");
            command(set + "state=on");
            command(set + "enabled=false");
        } else if (type == "dropdown") {
            command(set + "listindex=2");
            command(set + "left=333.5");
        } else if (type == "meterfader") {
            command(set + "top=1234");
        }
    }

    m_studio.check();
    ASSERT_GE(m_loop.answers.size(), 2);
    frame(Command::ControlCommand, kNoAddress, name + ".MainForm" + US + m_loop.answers.last());
    const QString verdict = QString("%1 values of %2 controls compared, 0 differences")
                                .arg(PanelReadback::Expected(m_panel, m_state).size())
                                .arg(PanelReadback::ControlCount(m_panel));
    ASSERT_FALSE(m_loop.notes.filter("check:").isEmpty());
    EXPECT_TRUE(m_loop.notes.filter("check:").last().endsWith(verdict))
        << m_loop.notes.filter("check:").join("\n").toStdString();

    // A client that went its own way is caught, value by value.
    const clsUPControl& first = m_panel.records.first();
    m_loop.panel().change(name + "." + first.Name + ".left=77");
    m_loop.panel().change(name + "." + first.Name + ".enabled=false");
    m_studio.redeliver(); // the check's way: keeps what the panel shows, captions the window
    const QString answer = m_loop.answers.last();
    const auto differences = PanelReadback::Compare(PanelReadback::Expected(m_panel, m_state),
                                                    PanelReadback::ParseAnswer(answer));
    ASSERT_EQ(differences.size(), 2);
    EXPECT_EQ(differences[0].key, first.Name + ".enabled");
    EXPECT_EQ(differences[0].client, "False");
    EXPECT_EQ(differences[1].key, first.Name + ".left");
    EXPECT_EQ(differences[1].client, "77");
}

INSTANTIATE_TEST_SUITE_P(DemoPanels, PanelReadbackTest, ::testing::Values("studio", "load"));

TEST(PanelReadback, AnswersAreReadAndComparedValueByValue) {
    const QList<PanelReadback::Value> expected{
        {"A.caption", "x"}, {"B.left", "10"}, {"C.enabled", "True"}};
    struct Row {
        QString answer;
        QStringList differences; // key=client, "missing" for none
    };
    const Row rows[] = {
        {"readback\tA.caption=x\tb.LEFT=10\tC.enabled=True", {}},
        {"readback\tA.caption=x=y\tB.left=10\tC.enabled=True", {"A.caption=x=y"}},
        {"readback\tA.caption=\tB.left=11", {"A.caption=", "B.left=11", "C.enabled=missing"}},
        {"readback", {"A.caption=missing", "B.left=missing", "C.enabled=missing"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer.toStdString());
        EXPECT_TRUE(PanelReadback::IsAnswer(row.answer));
        QStringList got;
        for (const auto& d :
             PanelReadback::Compare(expected, PanelReadback::ParseAnswer(row.answer))) {
            got << d.key + "=" + (d.missing ? "missing" : d.client);
        }
        EXPECT_EQ(got, row.differences);
    }
    EXPECT_FALSE(PanelReadback::IsAnswer("readbacks\tA.caption=x"));
    EXPECT_FALSE(PanelReadback::IsAnswer("message readback"));
    EXPECT_TRUE(PanelReadback::IsUnfilled("readback\tA.caption=$$A.caption$$"));

    // The load command goes in as the definition's last panel key, escaped for XML.
    EXPECT_EQ(PanelReadback::WithLoadCommand("<panel><name>P</name></panel>", "readback\ta<b&c"),
              "<panel><name>P</name><onload>readback\ta&lt;b&amp;c</onload></panel>");
    EXPECT_EQ(PanelReadback::WithLoadCommand("not xml", "readback"), "not xml");
}

} // namespace
