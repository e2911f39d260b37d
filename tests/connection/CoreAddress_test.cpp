#include "connection/CoreAddress.h"
#include "connection/LoginReplyReader.h"
#include "protocol/ClientProtocolConsts.h"

#include "support/TestFrame.h"

#include <gtest/gtest.h>

using namespace corvane;

TEST(CoreAddress, ReadsHostAndPortForms) {
    struct Row {
        QString text;
        QString host;
        quint16 port;
    };
    const Row rows[] = {
        {"core1", "core1", 5200},       {" 10.1.2.3 ", "10.1.2.3", 5200},
        {"core1:6000", "core1", 6000},  {"[::1]:6001", "::1", 6001},
        {"[fe80::1]", "fe80::1", 5200}, {"::1", "::1", 5200},
    };
    for (const Row& row : rows) {
        const auto address = CoreAddress::parse(row.text, 5200);
        ASSERT_TRUE(address.has_value()) << row.text.toStdString();
        EXPECT_EQ(address->host, row.host) << row.text.toStdString();
        EXPECT_EQ(address->port, row.port) << row.text.toStdString();
    }
    for (const char* bad : {"", "  ", "core:", ":5200", "core:0", "core:70000", "core:+5",
                            "core:12x", "[::1", "[]:5", "[::1]5200", "a host"}) {
        EXPECT_FALSE(CoreAddress::parse(bad, 5200).has_value()) << bad;
    }
}

TEST(LoginReplyReader, ReplyFedByteByByteKeepsWhatFollows) {
    const QByteArray input =
        test::TestFrame::build(Command::Login, modClientProtocolConsts::strNoAddress, "Yes, ok") +
        QByteArray("\x02\x02#rest");
    LoginReplyReader reader;
    for (qsizetype i = 0; i < input.size(); ++i) {
        reader.feed(input.mid(i, 1));
    }
    EXPECT_EQ(reader.result(), LoginReplyReader::Result::Accepted);
    // Bytes after the reply that came in the same piece are kept; later ones are not ours.
    LoginReplyReader whole;
    EXPECT_EQ(whole.feed(input), LoginReplyReader::Result::Accepted);
    EXPECT_EQ(whole.takeRemainder(), QByteArray("\x02\x02#rest"));
}

TEST(LoginReplyReader, RefusesAnythingButAYesReply) {
    const QString noAddress = modClientProtocolConsts::strNoAddress;
    const QByteArray refusals[] = {
        test::TestFrame::build(Command::Login, noAddress, "No"),
        test::TestFrame::build(Command::Login, noAddress, "yes"),
        test::TestFrame::build(Command::Login, noAddress, ""),
        test::TestFrame::build(Command::PropertyChange, noAddress, "Yes"),
        QByteArray("Yes\x03\x03"),
        QByteArray("\x02\x02(000\x03\x03"),
    };
    for (const QByteArray& input : refusals) {
        LoginReplyReader reader;
        EXPECT_EQ(reader.feed(input), LoginReplyReader::Result::Refused) << input.toStdString();
        EXPECT_TRUE(reader.takeRemainder().isEmpty());
    }
    LoginReplyReader bounded(100);
    EXPECT_EQ(bounded.feed(QByteArray(100, 'x')), LoginReplyReader::Result::Pending);
    EXPECT_EQ(bounded.feed("x"), LoginReplyReader::Result::Refused);
}
