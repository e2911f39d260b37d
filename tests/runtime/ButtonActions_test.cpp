#include "app/frmCVMini.h"
#include "connection/clsCVCoreConnection.h"
#include "panel/ControlProperties.h"
#include "panel/PanelButton.h"
#include "panel/PanelDropDown.h"
#include "panel/QtPrinting.h"
#include "protocol/ClientProtocolConsts.h"
#include "runtime/ConnectionMarks.h"
#include "runtime/CoreLostBanner.h"
#include "support/AnsweringPrompt.h"
#include "support/TestCore.h"
#include "support/Wait.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kSep(QChar(31));

const char* const kPanel =
    "<panel><name>Studio</name><onload>$$PanelName$$.Loaded src=$$Source.list$$</onload>"
    "<controllist>"
    "<c><type>button</type><name>Take</name><caption>Take &amp; Go</caption>"
    "<mousedown>$$PanelName$$.Take src=$$Source.listindex$$ cap=$$Take.caption$$ "
    "$$Gone.caption$$</mousedown><mouseup> $$PanelName$$.Release </mouseup></c>"
    "<c><type>button</type><name>Plain</name></c>"
    "<c><type>button</type><name>Blank</name><mousedown>  </mousedown></c>"
    "<c><type>dropdown</type><name>Source</name><list>Studio A,Studio B</list></c>"
    "</controllist></panel>";

// The real main window, started from its configuration in a folder of its own, connected over
// loopback to a test Core that has delivered the panel above.
class ButtonPressTest : public testing::Test {
protected:
    void SetUp() override {
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        QFile config(m_dir.filePath("CVMiniConfig.txt"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("primaryserverip=127.0.0.1\r\nprimaryserverport=" +
                     QByteArray::number(m_core.port()) + "\r\npanelname=Studio\r\n");
        config.close();

        m_window = std::make_unique<frmCVMini>(RuntimeTimings{}, &m_prompt);
        ASSERT_TRUE(m_window->Form_Load({}));
        ASSERT_TRUE(waitUntil(
            [&] { return !m_core.framesWithCommand(Command::PanelDefinition).isEmpty(); }));
        m_core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                         "Studio" + kSep + kPanel);
        ASSERT_TRUE(waitUntil(
            [&] { return !m_core.framesWithCommand(Command::ControlCommand).isEmpty(); }));
    }
    void TearDown() override {
        m_window->close();
        m_window.reset();
        QDir::setCurrent(m_previousDir);
    }

    PanelButton* button(int index) { return m_window->controlArrays().butCommand.at(index); }

    // Runs the operator's action and returns the frames the Core received for it, as
    // "command|address block|payload".
    QStringList framesFor(const std::function<void()>& action, int expected) {
        m_core.clearFrames();
        action();
        waitUntil([&] { return m_core.frames().size() >= expected; });
        pumpEvents(50); // anything more would show up now
        QStringList seen;
        for (const TestFrame& frame : m_core.frames()) {
            seen << QStringLiteral("%1|%2|%3")
                        .arg(frame.command())
                        .arg(frame.addressBlock(), frame.payload());
        }
        return seen;
    }
    static QString frame(int command, const QString& payload) {
        return QStringLiteral("%1|000000000000|%2").arg(command).arg(payload);
    }
    void click(PanelButton* target, Qt::MouseButton mouseButton) {
        QTest::mousePress(target, mouseButton);
        QTest::mouseRelease(target, mouseButton);
    }

    QTemporaryDir m_dir;
    QString m_previousDir;
    TestCore m_core;
    AnsweringPrompt m_prompt;
    std::unique_ptr<frmCVMini> m_window;
};

} // namespace

TEST_F(ButtonPressTest, PressesSendTheFilledCommandsThenPushAndRelease) {
    // The load command went out filled in, under the name "MainForm".
    EXPECT_EQ(m_core.framesWithCommand(Command::ControlCommand).first().fields(),
              QStringList({"Studio.MainForm", "Studio.Loaded src=Studio A,Studio B"}));

    // The Core selects a source; the press reads the selection at that moment.
    m_core.sendFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress,
                     "Studio.Source.ListIndex=1");
    auto* source = m_window->controlArrays().cmbBox.at(1);
    ASSERT_TRUE(waitUntil([&] { return source->currentIndex() == 1; }));

    ASSERT_EQ(ControlProperties::Tag(button(1)), "Take");
    EXPECT_EQ(
        framesFor([&] { click(button(1), Qt::LeftButton); }, 4),
        QStringList({frame(44, "Studio.Take" + kSep + "Studio.Take src=1 cap=Take && Go "),
                     frame(35, "TStudio.Take"), frame(44, "Studio.Take" + kSep + "Studio.Release"),
                     frame(35, "FStudio.Take")}));

    // Without a command, or with only blanks, only the push and the release go; any mouse
    // button acts.
    EXPECT_EQ(framesFor([&] { click(button(2), Qt::RightButton); }, 2),
              QStringList({frame(35, "TStudio.Plain"), frame(35, "FStudio.Plain")}));
    EXPECT_EQ(framesFor([&] { click(button(3), Qt::MiddleButton); }, 2),
              QStringList({frame(35, "TStudio.Blank"), frame(35, "FStudio.Blank")}));

    // After the Core renames the button, its presses carry the new name.
    m_core.sendFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress,
                     "Studio.Take.Name=Studio.Go");
    ASSERT_TRUE(waitUntil([&] { return ControlProperties::Tag(button(1)) == "Go"; }));
    EXPECT_EQ(framesFor([&] { QTest::mousePress(button(1), Qt::LeftButton); }, 2),
              QStringList({frame(44, "Studio.Go" + kSep + "Studio.Take src=1 cap= "),
                           frame(35, "TStudio.Go")}));
    QTest::mouseRelease(button(1), Qt::LeftButton);
}

TEST_F(ButtonPressTest, AHeldButtonsReleaseReachesTheCoreOnceWhateverHappensToIt) {
    struct Row {
        const char* what;
        std::function<void()> happen;
        bool releaseArrives; // whether the operator's release still reaches the button
    };
    const auto change = [this](const QString& payload) {
        m_core.sendFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress, payload);
    };
    std::unique_ptr<QDialog> modal;
    const QList<Row> rows{
        // The Core answers the push by disabling the button: Qt hands it no more mouse events.
        {"disabled by the Core (an interlock)",
         [&] {
             change("Studio.Plain.Enabled=False");
             ASSERT_TRUE(waitUntil([&] { return !button(2)->isEnabled(); }));
         },
         true},
        {"moved by the Core",
         [&] {
             const QPoint before = button(2)->pos();
             change("Studio.Plain.Left=3000");
             ASSERT_TRUE(waitUntil([&] { return button(2)->pos() != before; }));
         },
         true},
        // A modal window over the panel takes the mouse: Qt drops the release.
        {"a modal window opens over the panel",
         [&] {
             modal = std::make_unique<QDialog>();
             modal->setModal(true);
             modal->show();
             ASSERT_TRUE(
                 waitUntil([&] { return QApplication::activeModalWidget() == modal.get(); }));
         },
         false},
        // The panel is delivered again: the release goes before the panel is rebuilt.
        {"the panel is delivered again",
         [&] {
             m_core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                              "Studio" + kSep + kPanel);
             ASSERT_TRUE(waitUntil(
                 [&] { return !m_core.framesWithCommand(Command::ControlCommand).isEmpty(); }));
         },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        m_core.clearFrames();
        QTest::mousePress(button(2), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return m_core.frames().size() == 1; }));
        row.happen();
        if (row.releaseArrives) {
            QTest::mouseRelease(button(2), Qt::LeftButton);
        }
        ASSERT_TRUE(waitUntil([&] { return m_core.framesWithCommand(35).size() >= 2; }));
        pumpEvents(50); // a second release would show up now
        QStringList seen;
        for (const TestFrame& sent : m_core.frames()) {
            seen << QStringLiteral("%1|%2").arg(sent.command()).arg(sent.payload());
        }
        EXPECT_EQ(seen.filter(QRegularExpression("^35\\|")),
                  QStringList({"35|TStudio.Plain", "35|FStudio.Plain"}));
        if (QString(row.what).contains("delivered again")) {
            // Reported before the rebuilt panel's load command.
            EXPECT_LT(seen.indexOf("35|FStudio.Plain"),
                      seen.indexOf(QRegularExpression("44\\|.*")));
        }
        // Back as it was for the next row.
        modal.reset();
        change("Studio.Plain.Enabled=True");
        ASSERT_TRUE(waitUntil([&] { return button(2)->isEnabled(); }));
    }
}

TEST_F(ButtonPressTest, AButtonHeldWhenTheProgramEndsHasItsReleaseSentBeforeTheConnectionCloses) {
    m_core.clearFrames();
    QTest::mousePress(button(1), Qt::LeftButton);
    m_window->close();
    ASSERT_TRUE(m_window->programEnded());
    ASSERT_TRUE(waitUntil([&] { return m_core.openConnections() == 0; }));
    QStringList pushes;
    for (const TestFrame& sent : m_core.framesWithCommand(Command::PropertyChange)) {
        pushes << sent.payload();
    }
    EXPECT_EQ(pushes, QStringList({"TStudio.Take", "FStudio.Take"}));
    EXPECT_EQ(m_core.framesWithCommand(Command::ControlCommand).last().fields(),
              QStringList({"Studio.Take", "Studio.Release"}));
    QTest::mouseRelease(button(1), Qt::LeftButton);
}

// While the Core is lost the banner says so and the panel takes no presses, since they would be
// lost without a word. A button held through the loss keeps its release: the panel that comes
// with the Core found again reports it first, to that Core.
TEST_F(ButtonPressTest, WhileTheCoreIsLostThePanelTakesNoPressesAndAHeldButtonKeepsItsRelease) {
    QWindow* window = m_window->windowHandle();
    ASSERT_NE(window, nullptr);
    const auto centre = [&](PanelButton* target) {
        return target->mapTo(m_window.get(), target->rect().center());
    };
    const QString server = "127.0.0.1:" + QString::number(m_core.port());
    ConnectionMarks& marks = *m_window->findChild<ConnectionMarks*>();
    // Side by side, where the definition stacks them all in the corner.
    const auto layOut = [&] {
        for (const char* change : {"Plain.Left=1500", "Blank.Left=3000", "Source.Top=900"}) {
            m_core.sendFrame(Command::PropertyChange, modClientProtocolConsts::strNoAddress,
                             QStringLiteral("Studio.") + change);
        }
        return waitUntil([&] { return m_window->controlArrays().cmbBox.at(1)->y() > 0; });
    };
    ASSERT_TRUE(layOut());
    EXPECT_FALSE(marks.bannerShown());

    // Held from before the loss, pressed as the operator presses: through the window.
    m_core.clearFrames();
    QTest::mousePress(window, Qt::LeftButton, {}, centre(button(2)));
    ASSERT_TRUE(waitUntil([&] { return m_core.framesWithCommand(35).size() == 1; }));
    m_core.dropConnection();
    ASSERT_TRUE(waitUntil([&] { return marks.bannerShown(); }));
    EXPECT_EQ(marks.bannerText(), "Core connection lost: trying " + server + "\u2026");
    const QRect band = marks.banner()->geometry();
    EXPECT_EQ(band, m_window->rect()); // over the whole panel

    QSignalSpy pressed(button(1), &PanelButton::pressedByOperator);
    QTest::mouseClick(window, Qt::LeftButton, {}, centre(button(1)));
    QTest::mouseClick(window, Qt::RightButton, {}, centre(button(3)));
    EXPECT_EQ(pressed.count(), 0);

    // Found again: the held button's release goes first, then the banner goes with the panel.
    m_core.clearFrames();
    ASSERT_TRUE(waitUntil(
        [&] { return !m_core.framesWithCommand(Command::PanelDefinition).isEmpty(); }, 10000));
    EXPECT_TRUE(marks.bannerShown()) << "the panel is not current yet";
    m_core.sendFrame(Command::PanelDefinition, modClientProtocolConsts::strNoAddress,
                     "Studio" + kSep + kPanel);
    ASSERT_TRUE(waitUntil([&] { return !marks.bannerShown(); }));
    ASSERT_TRUE(layOut());
    QStringList pushes;
    for (const TestFrame& sent : m_core.framesWithCommand(Command::PropertyChange)) {
        pushes << sent.payload();
    }
    EXPECT_EQ(pushes, QStringList({"FStudio.Plain"}));
    QTest::mouseRelease(window, Qt::LeftButton, {}, centre(button(2)));

    // The operator's release reported nothing more; presses are taken again.
    EXPECT_EQ(
        framesFor([&] { QTest::mouseClick(window, Qt::LeftButton, {}, centre(button(2))); }, 2),
        QStringList({frame(35, "TStudio.Plain"), frame(35, "FStudio.Plain")}));
}
