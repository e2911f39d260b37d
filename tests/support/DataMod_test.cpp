#include "support/AddressLookup.h"
#include "support/DataMod.h"
#include "support/LogCapture.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace corvane;

namespace {

// Updates the table as the main window does, noting the points whose waiting subscription it
// then checks: those whose address was stored.
class AddressTable : public testing::Test {
protected:
    void update(qint32 router, qint32 io, bool isDest, const QString& address) {
        if (table.UpdateAddressLookup(router, io, isDest, address)) {
            checked.append(QStringLiteral("%1_%2_%3")
                               .arg(router)
                               .arg(io)
                               .arg(isDest ? QStringLiteral("True") : QStringLiteral("False")));
        }
    }
    AddressLookup table;
    QStringList checked;
};

TEST_F(AddressTable, StoresByPointAndReportsMissingAsEmpty) {
    EXPECT_EQ(table.GetAddress(3, 10, true), QString());
    update(3, 10, true, "host-a/4");
    EXPECT_EQ(table.GetAddress(3, 10, true), "host-a/4");
    EXPECT_EQ(table.GetAddress(3, 10, false), QString()); // the source is another point
    EXPECT_EQ(table.GetAddress(10, 3, true), QString());
    EXPECT_EQ(checked, QStringList{"3_10_True"});
}

TEST_F(AddressTable, SameAddressTwiceIsStoredOnceAndCheckedTwice) {
    update(5, 12, false, "a/1");
    update(5, 12, false, "a/1");
    EXPECT_EQ(table.entries().size(), 1);
    EXPECT_EQ(checked, (QStringList{"5_12_False", "5_12_False"}));
}

TEST_F(AddressTable, AChangedAddressReplacesTheOldOneAndMovesLast) {
    update(1, 1, false, "old/1");
    update(2, 2, false, "b/2");
    update(1, 1, false, " new/1 ");
    EXPECT_EQ(table.GetAddress(1, 1, false), " new/1 "); // exactly as the Core sent it
    ASSERT_EQ(table.entries().size(), 2);
    EXPECT_EQ(std::prev(table.entries().end())->key, "1_1_False");
}

// An empty reply is the Core saying it knows no address: nothing is stored, a stored
// address stands, and no subscription is checked, which would only ask again at once.
TEST_F(AddressTable, AnEmptyReplyStoresNothingAndChecksNothing) {
    update(4, 4, false, "");
    EXPECT_TRUE(table.entries().isEmpty());
    update(4, 5, false, "a/5");
    update(4, 5, false, "");
    EXPECT_EQ(table.GetAddress(4, 5, false), "a/5");
    EXPECT_EQ(checked, QStringList{"4_5_False"});
}

// A Core that names point after point, or sends an endless address, cannot grow the table
// without limit; points already stored still take their new addresses.
TEST_F(AddressTable, IsBoundedInPointsAndInAddressLength) {
    test::LogCapture log;
    update(1, 1, true, QString(AddressLookup::kMaxAddressLength + 1, 'x'));
    EXPECT_EQ(table.GetAddress(1, 1, true), QString());
    for (qint32 io = 1; table.entries().size() < AddressLookup::kMaxEntries; ++io) {
        update(2, io, false, "a");
    }
    update(3, 1, false, "over/1");
    update(3, 2, false, "over/2");
    EXPECT_EQ(table.GetAddress(3, 1, false), QString());
    EXPECT_EQ(table.entries().size(), AddressLookup::kMaxEntries);
    update(2, 1, false, "changed/1");
    EXPECT_EQ(table.GetAddress(2, 1, false), "changed/1");
    EXPECT_EQ(log.warnings("corvane.meters", "full"), 1);
    EXPECT_EQ(log.warnings("corvane.meters", "characters"), 1);
    // Only what is stored is checked: the refused replies would be asked for again at once.
    EXPECT_EQ(checked.size(), AddressLookup::kMaxEntries + 1);
    EXPECT_EQ(checked.last(), "2_1_False");
}

TEST(GetHex4, WritesFourUpperCaseDigitsOrError) {
    EXPECT_EQ(GetHex4(0), "0000");
    EXPECT_EQ(GetHex4(46), "002E");
    EXPECT_EQ(GetHex4(65535), "FFFF");
    EXPECT_EQ(GetHex4(65536), "Error");
    EXPECT_EQ(GetHex4(-1), "Error");
}

TEST(DecimalSeparator, FollowsTheLocale) {
    EXPECT_TRUE(CheckUseComma(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_FALSE(CheckUseComma(QLocale::c()));
    EXPECT_FALSE(CheckUseComma(QLocale(QLocale::English, QLocale::UnitedKingdom)));
    EXPECT_EQ(CheckUseComma(), CheckUseComma(QLocale::system()));
}

TEST(DecimalSeparator, EverySeparatorIsRewritten) {
    EXPECT_EQ(ConvertStringNumToInternat("12.5", true), "12,5");
    EXPECT_EQ(ConvertStringNumToInternat("12,5", true), "12,5");
    EXPECT_EQ(ConvertStringNumToInternat("1.000,5", true), "1,000,5");
    EXPECT_EQ(ConvertStringNumToInternat("12,5", false), "12.5");
    EXPECT_EQ(ConvertStringNumToInternat("-0,5,1", false), "-0.5.1");
    EXPECT_EQ(ConvertStringNumToInternat("", false), "");
}

TEST(DoesFormExist, FindsLoadedWindowsByNameInAnyCase) {
    auto about = std::make_unique<QWidget>();
    about->setObjectName("AboutBox");
    EXPECT_TRUE(DoesFormExist("AboutBox"));
    EXPECT_TRUE(DoesFormExist("aBOUTbOX")); // loaded, even though never shown
    EXPECT_FALSE(DoesFormExist("AboutBo"));

    auto* child = new QWidget(about.get());
    child->setObjectName("frmConnecting");
    EXPECT_FALSE(DoesFormExist("frmConnecting")); // a child is not a window

    about.reset();
    EXPECT_FALSE(DoesFormExist("aboutbox"));
}

TEST(CenterForm, CentresAcrossAndWithinTheUpperPartOfTheScreen) {
    EXPECT_EQ(CenterFormPosition(QSize(1024, 768), QSize(400, 300)), QPoint(312, 176));
    // Halves are truncated: 1023 / 2 = 511, 401 / 2 = 200; 767 * 0.85 = 651.95 -> 652 -> 326.
    EXPECT_EQ(CenterFormPosition(QSize(1023, 767), QSize(401, 301)), QPoint(311, 176));
    // A window larger than the screen goes past its top-left corner.
    EXPECT_EQ(CenterFormPosition(QSize(800, 600), QSize(1000, 700)), QPoint(-100, -95));
}

TEST(CenterForm, MovesTheWindowOnItsScreen) {
    QWidget window;
    window.resize(400, 300);
    CenterForm(&window);
    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(window.pos(), screen.topLeft() + CenterFormPosition(screen.size(), QSize(400, 300)));
    EXPECT_NO_THROW(CenterForm(nullptr));
}

} // namespace
