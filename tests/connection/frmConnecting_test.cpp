#include "connection/clsCVCoreConnection.h"
#include "connection/frmConnecting.h"
#include "support/ColorNumber.h"

#include "support/Wait.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

int loadedConnectingWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += widget->objectName() == QLatin1String("frmConnecting") ? 1 : 0;
    }
    return count;
}

// One tick of the animation, as its timer gives it.
void advance(frmConnecting& form) {
    QMetaObject::invokeMethod(form.timConnecting(), "timeout");
}

QColor labelBack(const frmConnecting& form) {
    return form.lblConnecting()->palette().color(QPalette::Window);
}

} // namespace

TEST(frmConnecting, TicksCycleThroughFourStepsOfTextAndColour) {
    frmConnecting form;
    EXPECT_EQ(form.lblConnecting()->text(), QStringLiteral("Connecting"));
    EXPECT_EQ(form.timConnecting()->interval(), 500);
    EXPECT_FALSE(form.timConnecting()->isActive());
    form.setStrToAddress(QStringLiteral("10.0.0.5"));

    const QString expected[] = {"Connecting.\r\n10.0.0.5", "Connecting. .\r\n10.0.0.5",
                                "Connecting. . .\r\n10.0.0.5", "Connecting\r\n10.0.0.5",
                                "Connecting.\r\n10.0.0.5"};
    const QColor yellow(255, 255, 0);
    const QColor buttonFace = colorFromNumber(kSystemButtonFace);
    ASSERT_NE(yellow, buttonFace);
    for (int tick = 0; tick < 5; ++tick) {
        advance(form);
        const bool odd = tick % 2 == 0;
        EXPECT_EQ(form.step(), tick % 4 + 1);
        EXPECT_EQ(form.lblConnecting()->text(), expected[tick]);
        EXPECT_EQ(labelBack(form), odd ? yellow : buttonFace) << tick;
    }
}

TEST(frmConnecting, WordFollowsACaseSensitiveLoadingInTheLabel) {
    frmConnecting form;
    form.setStrToAddress(QStringLiteral("core1"));
    form.lblConnecting()->setText(QStringLiteral("Loading panel"));
    advance(form);
    EXPECT_EQ(form.lblConnecting()->text(), QStringLiteral("Loading.\r\ncore1"));
    for (int i = 0; i < 3; ++i) {
        advance(form);
    }
    EXPECT_EQ(form.lblConnecting()->text(), QStringLiteral("Loading\r\ncore1"));

    form.lblConnecting()->setText(QStringLiteral("loading"));
    advance(form);
    EXPECT_EQ(form.lblConnecting()->text(), QStringLiteral("Connecting.\r\ncore1"));
}

TEST(frmConnecting, ShowTwiceKeepsOneAnimatedWindowAndHideRemovesIt) {
    clsCVCoreConnection connection;
    ASSERT_EQ(loadedConnectingWindows(), 0);
    connection.ShowConnecting(QStringLiteral("core1"));
    frmConnecting* form = connection.connectingWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->timConnecting()->isActive());
    // The real timer drives the animation.
    ASSERT_TRUE(waitUntil([&] { return form->step() >= 1; }, 3000));
    EXPECT_EQ(form->lblConnecting()->text().section("\r\n", 1), QStringLiteral("core1"));

    // Loading survives a new address; only hiding brings "Connecting" back.
    form->lblConnecting()->setText(QStringLiteral("Loading"));
    connection.ShowConnecting(QStringLiteral("core2"));
    EXPECT_EQ(loadedConnectingWindows(), 1);
    EXPECT_EQ(connection.connectingWindow(), form);
    EXPECT_EQ(form->strToAddress(), QStringLiteral("core2"));
    advance(*form);
    EXPECT_TRUE(form->lblConnecting()->text().startsWith(QStringLiteral("Loading")));
    EXPECT_TRUE(form->lblConnecting()->text().endsWith(QStringLiteral("\r\ncore2")));

    // Closed by the operator, it is still loaded and comes back on the next attempt.
    form->close();
    EXPECT_FALSE(form->timConnecting()->isActive());
    connection.ShowConnecting(QStringLiteral("core3"));
    EXPECT_EQ(connection.connectingWindow(), form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->timConnecting()->isActive());

    connection.HideConnecting();
    EXPECT_EQ(loadedConnectingWindows(), 0);
    connection.HideConnecting(); // nothing left to hide
    connection.ShowConnecting(QStringLiteral("core4"));
    ASSERT_NE(connection.connectingWindow(), nullptr);
    EXPECT_EQ(connection.connectingWindow()->lblConnecting()->text(), QStringLiteral("Connecting"));
    connection.HideConnecting();
}

TEST(frmConnecting, StaysInFrontOfThePanelOnlyAsItsToolWindow) {
    // In front of the panel it belongs to, not of every other application on the desk.
    QWidget panel;
    panel.show();
    clsCVCoreConnection connection;
    connection.setMainWindow(&panel);
    connection.ShowConnecting(QStringLiteral("core1"));
    frmConnecting* form = connection.connectingWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_EQ(form->parentWidget(), &panel);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->isWindow());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->timConnecting()->isActive());
    connection.HideConnecting();
    EXPECT_EQ(loadedConnectingWindows(), 0);
}
