// The panel scaled as a whole and shown full screen, on the real main window: every control
// is placed from its twips at the scale, fonts follow, and what the Core reads back stays the
// definition's twips.

#include "app/DeskView.h"
#include "components/LedMeter.h"
#include "panel/ControlProperties.h"
#include "runtime/LivePanel.h"
#include "support/PanelFont.h"
#include "support/Twips.h"
#include "support/Wait.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace corvane;
using namespace corvane::test;
namespace CP = corvane::ControlProperties;

namespace {

const char* const kPanel =
    "<panel><name>Studio</name><width>9000</width><height>6000</height><controllist>"
    "<c><type>button</type><name>Go</name><left>300</left><top>600</top><width>1500</width>"
    "<height>450</height><fontsize>12</fontsize></c>"
    "<c><type>button</type><name>Next</name><left>1800</left><top>600</top><width>1500</width>"
    "<height>450</height></c>"
    "<c><type>label</type><name>Title</name><left>1510</left><top>150</top><width>3000</width>"
    "<height>300</height></c>"
    "<c><type>dropdown</type><name>Source</name><left>300</left><top>1500</top>"
    "<width>1800</width></c>"
    "<c><type>textbox</type><name>Note</name><left>300</left><top>2100</top><width>1800</width>"
    "<height>900</height></c>"
    "<c><type>meter</type><name>Pgm</name><left>6000</left><top>600</top><width>360</width>"
    "<height>3000</height></c>"
    "<c><type>meterfader</type><name>Mic</name><left>7000</left><top>600</top>"
    "<width>1350</width><height>4500</height></c>"
    "<c><type>tsclock</type><name>Clock</name><left>300</left><top>4500</top><width>1800</width>"
    "<height>720</height></c>"
    "</controllist></panel>";

// Where a control of these twips lies at a mapping: its edges rounded where they lie.
QRect expectedPlace(const PanelMapping& mapping, const QRectF& twips) {
    const int x = mapping.xToPixels(twips.left());
    const int y = mapping.yToPixels(twips.top());
    const int right = mapping.xToPixels(twips.right());
    return QRect(x, y, right - x, mapping.yToPixels(twips.bottom()) - y);
}

QString readBack(LivePanel& panel) {
    return panel.readCommand(
        "$$Go.left$$,$$Go.top$$,$$Go.width$$,$$Go.height$$|$$Clock.left$$,$$Clock.width$$|"
        "$$Source.height$$|$$Studio.width$$,$$Studio.height$$");
}

class DeskViewTest : public ::testing::Test {
protected:
    LivePanel m_panel{kPanel};
    frmCVMini& m_window = m_panel.window();
    DeskView& m_view = *m_window.findChild<DeskView*>();
};

} // namespace

TEST_F(DeskViewTest, EveryControlScalesFromItsTwipsAndReadsBackTheDefinitionsTwips) {
    const QStringList names{"Go", "Next", "Title", "Source", "Note", "Pgm", "Mic", "Clock"};
    QHash<QString, QRectF> twips;
    QHash<QString, QRect> atOne;
    for (const QString& name : names) {
        QWidget* control = m_panel.control(name);
        ASSERT_NE(control, nullptr) << name.toStdString();
        twips[name] =
            QRectF(CP::Left(control), CP::Top(control), CP::Width(control), CP::Height(control));
        atOne[name] = control->geometry();
    }
    const QString definitionTwips = readBack(m_panel);
    EXPECT_EQ(definitionTwips, "300,600,1500,450|300,1800|330|9000,6200");
    const double applicationPoints = QApplication::font().pointSizeF();
    const QSize windowAtOne = m_window.frameGeometry().size();

    for (const double factor : {0.5, 1.5, 2.0, 0.25}) {
        SCOPED_TRACE(factor);
        m_view.configure(ScaleChoice{false, factor}, false);
        const PanelMapping mapping = PanelMapping::of(&m_window);
        EXPECT_EQ(mapping.scale(), factor);
        for (const QString& name : names) {
            EXPECT_EQ(m_panel.control(name)->geometry(), expectedPlace(mapping, twips[name]))
                << name.toStdString();
        }
        // Controls that share an edge in the definition share it on the screen.
        EXPECT_EQ(m_panel.control("Go")->geometry().right() + 1,
                  m_panel.control("Next")->geometry().left());
        // The definition's font size, the inherited one and a meter's small print all scale.
        const double inherited = applicationPoints * factor;
        EXPECT_DOUBLE_EQ(m_panel.control("Go")->font().pointSizeF(), 12 * factor);
        EXPECT_DOUBLE_EQ(m_panel.control("Title")->font().pointSizeF(), inherited);
        EXPECT_DOUBLE_EQ(m_panel.control("Pgm")->font().pointSizeF(), inherited);
        EXPECT_EQ(m_window.frameGeometry().size(),
                  QSize(mapping.lengthToPixels(9000), mapping.lengthToPixels(6200)));
        // The Core never sees the scale, in what it reads and in what it sets.
        EXPECT_EQ(readBack(m_panel), definitionTwips);
        m_panel.change("Studio.Next.Left=4500");
        EXPECT_EQ(m_panel.control("Next")->x(), mapping.xToPixels(4500));
        EXPECT_EQ(m_panel.readCommand("$$Next.left$$"), "4500");
        m_panel.change("Studio.Next.Left=1800");
    }
    m_view.configure(std::nullopt, false);
    for (const QString& name : names) {
        EXPECT_EQ(m_panel.control(name)->geometry(), atOne[name]) << name.toStdString();
    }
    EXPECT_EQ(m_window.frameGeometry().size(), windowAtOne);
    EXPECT_DOUBLE_EQ(m_panel.control("Go")->font().pointSizeF(), 12);
}

TEST_F(DeskViewTest, ControlsBuiltAtAScaleAreBuiltAtIt) {
    m_view.configure(ScaleChoice{false, 1.5}, false);
    m_window.AnalyzeXML(QStringLiteral(
        "<panel><name>Studio</name><controllist><c><type>label</type><name>Late</name>"
        "<left>600</left><top>300</top><width>1200</width><height>300</height>"
        "<fontsize>10</fontsize></c></controllist></panel>"));
    const PanelMapping mapping = PanelMapping::of(&m_window);
    EXPECT_EQ(m_panel.control("Late")->geometry(),
              expectedPlace(mapping, QRectF(600, 300, 1200, 300)));
    EXPECT_DOUBLE_EQ(m_panel.control("Late")->font().pointSizeF(), 15);
    EXPECT_EQ(m_panel.readCommand("$$Late.left$$,$$Late.width$$"), "600,1200");
}

TEST_F(DeskViewTest, FitTakesTheLargestScaleAtWhichTheWindowFitsTheScreen) {
    const QSize area = m_window.screen()->availableGeometry().size();
    const PanelMapping one;
    const double fit =
        PanelScale::fit(QSize(one.lengthToPixels(9000), one.lengthToPixels(6200)), area);
    m_view.configure(ScaleChoice{true, 1.0}, false);
    EXPECT_DOUBLE_EQ(m_view.scale(), fit);
    EXPECT_LE(m_window.frameGeometry().width(), area.width());
    EXPECT_LE(m_window.frameGeometry().height(), area.height());
    // As large as it can be: one side reaches the edge of the area.
    EXPECT_TRUE(m_window.frameGeometry().width() >= area.width() - 2 ||
                m_window.frameGeometry().height() >= area.height() - 2);
}

// Full screen: the window covers its screen, the panel is fitted and centred, Escape changes
// nothing, and the keys step the scale and leave full screen for the window as it was.
TEST_F(DeskViewTest, FullScreenFitsAndCentresThePanelAndTheKeysWork) {
    const QRect normal = m_window.geometry();
    m_window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    m_view.configure(std::nullopt, true);
    const QRect screen = m_window.screen()->geometry();
    ASSERT_TRUE(waitUntil([&] { return m_window.geometry() == screen; }));
    EXPECT_TRUE(m_window.windowState() & Qt::WindowFullScreen);
    EXPECT_TRUE(m_window.windowFlags() & Qt::FramelessWindowHint);
    const PanelMapping one;
    const QSize panelAtOne(one.lengthToPixels(9000), one.lengthToPixels(6200));
    const double fit = PanelScale::fit(panelAtOne, screen.size());
    EXPECT_DOUBLE_EQ(m_view.scale(), fit);
    const PanelMapping mapping = PanelMapping::of(&m_window);
    const QSize panel(mapping.lengthToPixels(9000), mapping.lengthToPixels(6200));
    EXPECT_EQ(mapping.origin(), PanelScale::centred(panel, screen.size()));
    const QPoint goAt(mapping.xToPixels(300), mapping.yToPixels(600));
    EXPECT_EQ(m_panel.control("Go")->pos(), goAt);
    EXPECT_EQ(m_panel.readCommand("$$Go.left$$,$$Studio.width$$"), "300,9000");
    // A width from the Core is remembered, but the screen keeps the window's size.
    m_panel.change("Studio.Studio.Width=4500");
    EXPECT_EQ(m_window.geometry(), screen);
    m_panel.change("Studio.Studio.Width=9000");

    QTest::keyClick(&m_window, Qt::Key_Escape);
    EXPECT_TRUE(m_view.isFullScreen());
    EXPECT_EQ(m_window.geometry(), screen);

    const struct {
        QKeyCombination key;
        double scale;
    } steps[] = {{Qt::CTRL | Qt::Key_Plus, PanelScale::stepUp(fit)},
                 {Qt::CTRL | Qt::Key_Equal, PanelScale::stepUp(PanelScale::stepUp(fit))},
                 {Qt::CTRL | Qt::Key_Minus, PanelScale::stepUp(fit)},
                 {Qt::CTRL | Qt::Key_0, fit}};
    for (const auto& step : steps) {
        QTest::keyClick(&m_window, step.key.key(), step.key.keyboardModifiers());
        EXPECT_DOUBLE_EQ(m_view.scale(), step.scale) << step.key.key();
    }

    QTest::keyClick(&m_window, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(m_view.isFullScreen());
    ASSERT_TRUE(waitUntil([&] { return !(m_window.windowState() & Qt::WindowFullScreen); }));
    EXPECT_FALSE(m_window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_DOUBLE_EQ(m_view.scale(), 1.0); // in a window, nothing configured
    EXPECT_EQ(PanelMapping::of(&m_window).origin(), QPoint(0, 0));
    EXPECT_EQ(m_window.pos(), normal.topLeft());
    EXPECT_EQ(m_window.frameGeometry().size(), panelAtOne);
}
