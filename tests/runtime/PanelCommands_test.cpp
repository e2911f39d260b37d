#include "panel/PanelState.h"
#include "panel/QtPrinting.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"
#include "runtime/PanelCommands.h"
#include "support/LogCapture.h"
#include "support/RecordingSender.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

ControlRecordPtr makeRecord(const QString& type, const QString& name, const QString& onLoad) {
    auto record = std::make_shared<clsUPControl>();
    record->ControlType = type;
    record->Name = name;
    record->OnLoad = onLoad;
    return record;
}

QString controlFrame(const QString& payload) {
    return BuildFrame(Command::ControlCommand, modClientProtocolConsts::strNoAddress, payload);
}

const QString kSep(QChar(31));

} // namespace

TEST(PanelCommands, SendControlCommandAddressesPanelAndControl) {
    PanelState state;
    state.windowTag = "Studio1";
    RecordingSender sender;
    PanelCommands(state, sender).SendControlCommand("Mic1", "Mic1.On");
    ASSERT_EQ(sender.frames.size(), 1);
    EXPECT_EQ(sender.frames[0], controlFrame("Studio1.Mic1" + kSep + "Mic1.On"));
    EXPECT_TRUE(sender.frames[0].startsWith(QString(2, QChar(2)) + QChar(44) + "000000000000"));
}

TEST(PanelCommands, RunLoadScriptSendsThePanelsLoadCommandFilledIn) {
    PanelState state;
    state.windowTag = "Studio1";
    // A control's own load text is never sent; the first form record counts.
    state.collControls.add("b", makeRecord("button", "B", "Button.Load"));
    state.collControls.add("studio1", makeRecord("FORM", "Studio1", "  $$panelname$$.Loaded  "));
    state.collControls.add("other", makeRecord("form", "Other", "Other.Loaded"));
    RecordingSender sender;
    PanelCommands(state, sender).RunLoadScript();
    EXPECT_EQ(sender.frames,
              QStringList({controlFrame("Studio1.MainForm" + kSep + "Studio1.Loaded")}));
}

TEST(PanelCommands, RunLoadScriptWithoutLoadCommandSendsNothing) {
    RecordingSender sender;
    PanelState state;
    PanelCommands(state, sender).RunLoadScript(); // no form record at all
    state.collControls.add("p", makeRecord("Form", "P", " \t "));
    state.collControls.add("q", makeRecord("Form", "Q", "Q.Loaded"));
    PanelCommands(state, sender).RunLoadScript();
    EXPECT_TRUE(sender.frames.isEmpty());
}

TEST(PanelCommands, TextHoldingTheFrameEndCharacterCannotBreakTheFrame) {
    // Pasted text reaches a command through a text box's caption; a character of code 3 in it
    // would end the frame early at the Core, and the rest would be read as a frame of its own.
    const QString etx(QChar(3));
    struct Row {
        QString command;
        QString sent;
        int removed;
    };
    const QList<Row> rows{
        {"on" + etx + etx + "air", "onair", 2},
        {etx, "", 1},
        {"Note " + etx + kSep + "x" + etx, "Note " + kSep + "x", 2},
        {"plain", "plain", 0},
    };
    PanelState state;
    state.windowTag = "Studio1";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sent.toStdString());
        corvane::test::LogCapture log;
        RecordingSender sender;
        PanelCommands(state, sender).SendControlCommand("Note", row.command);
        ASSERT_EQ(sender.frames.size(), 1);
        const QString& frame = sender.frames[0];
        EXPECT_EQ(frame.count(etx), 2);
        EXPECT_TRUE(frame.endsWith(etx + etx));
        EXPECT_TRUE(frame.endsWith("Studio1.Note" + kSep + row.sent + etx + etx));
        const QStringList warned = log.linesContaining("corvane.protocol", "code 3");
        if (row.removed == 0) {
            EXPECT_TRUE(warned.isEmpty());
        } else {
            ASSERT_EQ(warned.size(), 1);
            EXPECT_TRUE(warned[0].startsWith("warning: "));
            EXPECT_TRUE(warned[0].contains(QStringLiteral("removed %1 ").arg(row.removed)));
            EXPECT_TRUE(warned[0].contains("command 44"));
        }
    }
}
