#include "protocol/ClientProtocolParser.h"

#include "QtPrinters.h"
#include "RecordingHandlers.h"
#include "protocol/ClientProtocolConsts.h"
#include "protocol/FrameBuilder.h"

#include <gtest/gtest.h>

using namespace corvane;
using corvane::test::RecordingHandlers;

namespace {

// Written out: a copy of the shared constant made during static start-up could be empty.
const QString kNoAddress = QStringLiteral("000000000000");

class Dispatch : public testing::Test {
protected:
    // Sends whole frames, as the Core would, and returns what the window was asked to do.
    QStringList receive(const QString& text) {
        handlers.calls.clear();
        parser.receive(text);
        return handlers.calls;
    }
    QStringList frame(int command, const QString& payload, const QString& address = kNoAddress) {
        return receive(BuildFrame(command, address, payload));
    }

    RecordingHandlers handlers;
    ClientProtocolParser parser{handlers};
};

TEST_F(Dispatch, PropertyChangeNeedsPanelControlAndProperty) {
    EXPECT_EQ(frame(35, "Studio1.butMic.Caption=Mic on"),
              QStringList{"ChangePanelProperty(Studio1.butMic.Caption=Mic on)"});
    EXPECT_EQ(frame(35, "Studio1.lbl.Caption=1.5 dB"),
              QStringList{"ChangePanelProperty(Studio1.lbl.Caption=1.5 dB)"});
    EXPECT_TRUE(frame(35, "Studio1.butMic").isEmpty());
    EXPECT_TRUE(frame(35, "").isEmpty());
}

TEST_F(Dispatch, IoAddressReplyStoresThenChecksThePoint) {
    EXPECT_EQ(
        frame(46, "10.0.0.7/3", "00030000000A"),
        (QStringList{"UpdateAddressLookup(3,10,dest,10.0.0.7/3)", "CheckMeterConnection(3,10)"}));
    // A source I/O wins over a destination I/O; digits may be lower case.
    EXPECT_EQ(frame(46, "x", "00ff0005000a"),
              (QStringList{"UpdateAddressLookup(255,5,source,x)", "CheckMeterConnection(255,5)"}));
    EXPECT_TRUE(frame(46, "x", kNoAddress).isEmpty());
}

TEST_F(Dispatch, AddressFieldsReadAsUnsignedAndNonHexAsZero) {
    EXPECT_EQ(frame(19, "caps", "FFFFFFFF0000"),
              QStringList{"CheckUPMeterAbilities(65535,65535,source,caps)"});
    // A source field that is not hexadecimal reads as 0, so the destination is addressed.
    EXPECT_EQ(frame(19, "caps", "00020-010007"),
              QStringList{"CheckUPMeterAbilities(2,7,dest,caps)"});
    EXPECT_EQ(frame(19, "caps", " 1 2 zzz0003"),
              QStringList{"CheckUPMeterAbilities(0,3,dest,caps)"});
}

TEST_F(Dispatch, MeterCapabilitiesAndAddOnsGoToTheAddressedPoint) {
    EXPECT_EQ(frame(19, "", "000100020000"), QStringList{"CheckUPMeterAbilities(1,2,source,)"});
    EXPECT_EQ(frame(20, "on", "00010000000C"), QStringList{"CheckUPMeterAddOns(1,12,dest,on)"});
    EXPECT_TRUE(frame(20, "on", "000100000000").isEmpty());
}

TEST_F(Dispatch, LevelDataAndOperatorMessagesPassThePayloadUnchanged) {
    const QString records = QStringLiteral("1") + QChar(31) + "-12.5" +
                            modClientProtocolConsts::strRecordSeparator + "2";
    EXPECT_EQ(frame(22, records), QStringList{"CheckUserFormMeters(" + records + ")"});
    EXPECT_EQ(frame(13, " Line 1 "), QStringList{"AppendPendingMessage( Line 1 )"});
}

TEST_F(Dispatch, PanelDefinitionRunsEveryStepInOrderEvenWhenEmpty) {
    handlers.remoteHost = "core-b.example";
    const QStringList steps{"SetConnectingLabelLoading()", "UpdateUserPanel()",
                            "MasterRemoteHost()", "MeteringStart(core-b.example)",
                            "HideConnecting()"};
    EXPECT_EQ(frame(43, ""), steps);
}

TEST_F(Dispatch, StatusReplyOneStopsMeteringUnlessItIsAPlainAnswer) {
    for (const char* quiet : {"no", "YES", "  No  ", "no0", "NO1"}) {
        EXPECT_TRUE(frame(1, quiet).isEmpty()) << quiet;
    }
    for (const char* notice : {"", "10.0.0.9|||9501", "no2", "yes please"}) {
        EXPECT_EQ(frame(1, notice), QStringList{"StopMetering()"}) << notice;
    }
}

TEST_F(Dispatch, StatusReplyFortyStopsMeteringOnlyForLongerRefusals) {
    for (const char* quiet : {"", "ok", "no", "  no  ", "Yes", "Yes, logged in", "Yesterday"}) {
        EXPECT_TRUE(frame(40, quiet).isEmpty()) << quiet;
    }
    // "Yes" is compared exactly: another case or a leading blank is a refusal.
    for (const char* refusal : {"No such user", "yes", " Yes", "NO!"}) {
        EXPECT_EQ(frame(40, refusal), QStringList{"StopMetering()"}) << refusal;
    }
}

TEST_F(Dispatch, OtherCommandsAreIgnored) {
    for (int command : {0, 2, 37, 39, 44, 47, 0x263A}) {
        EXPECT_TRUE(frame(command, "a.b.c", "000100010001").isEmpty()) << command;
    }
}

TEST_F(Dispatch, PiecesWithoutAWholeHeaderOrFrameStartAreSkipped) {
    const QString end = modClientProtocolConsts::strFrameEnd;
    const QString start = modClientProtocolConsts::strFrameStart;
    // 15 characters before the frame end is the shortest frame: a status reply without text.
    EXPECT_EQ(receive(start + QChar(1) + kNoAddress + end), QStringList{"StopMetering()"});
    EXPECT_TRUE(receive(start + QChar(1) + kNoAddress.left(11) + end).isEmpty());
    EXPECT_TRUE(receive("x" + BuildFrame(1, kNoAddress, {})).isEmpty());
    EXPECT_TRUE(receive(QChar(2) + BuildFrame(1, kNoAddress, {}).mid(2)).isEmpty());
    // Garbage spoils only its own piece.
    const QString twoFrames = BuildFrame(13, kNoAddress, u"a") + BuildFrame(13, kNoAddress, u"b");
    EXPECT_EQ(receive("junk" + twoFrames), QStringList{"AppendPendingMessage(b)"});
}

TEST_F(Dispatch, AFailingHandlerEndsOnlyItsOwnFrame) {
    handlers.throwOn = "UpdateUserPanel";
    EXPECT_EQ(receive(BuildFrame(43, kNoAddress, u"Panel") + BuildFrame(13, kNoAddress, u"next")),
              (QStringList{"SetConnectingLabelLoading()", "UpdateUserPanel(Panel)",
                           "AppendPendingMessage(next)"}));
    handlers.throwOn = "UpdateAddressLookup";
    EXPECT_EQ(receive(BuildFrame(46, u"000100020000", u"a") + BuildFrame(1, kNoAddress, u"x")),
              (QStringList{"UpdateAddressLookup(1,2,source,a)", "StopMetering()"}));
}

TEST_F(Dispatch, AfterAStopTheFrameBeingHandledEndsAndNothingElseIsHandled) {
    // The program's end is asked for while a panel definition is being handled: that frame
    // runs to its end, the frames behind it in the same arrival and all later text are dropped.
    handlers.afterCall = [this](const QString& call) {
        if (call.startsWith("UpdateUserPanel")) {
            parser.stop();
        }
    };
    const QString arrival =
        BuildFrame(43, kNoAddress, u"Panel") + BuildFrame(13, kNoAddress, u"late") +
        BuildFrame(35, kNoAddress, u"P.c.p") + BuildFrame(13, kNoAddress, u"un");
    EXPECT_EQ(
        receive(arrival.chopped(5)),
        (QStringList{"SetConnectingLabelLoading()", "UpdateUserPanel(Panel)", "MasterRemoteHost()",
                     "MeteringStart(core-a.example)", "HideConnecting()"}));
    EXPECT_TRUE(parser.buffer().buffered().isEmpty());
    EXPECT_TRUE(receive(arrival.right(5) + BuildFrame(13, kNoAddress, u"after")).isEmpty());
    parser.clear(); // a new connection does not start it again
    EXPECT_TRUE(frame(13, "after a reconnect").isEmpty());
}

TEST_F(Dispatch, FramesInPiecesAreHandledWhenComplete) {
    const QString text =
        BuildFrame(13, kNoAddress, u"first") + BuildFrame(35, kNoAddress, u"P.c.p");
    QStringList all;
    for (qsizetype at = 0; at < text.size(); at += 3) {
        all += receive(text.mid(at, 3));
    }
    EXPECT_EQ(all, (QStringList{"AppendPendingMessage(first)", "ChangePanelProperty(P.c.p)"}));
    EXPECT_TRUE(parser.buffer().buffered().isEmpty());
}

} // namespace
