#include "support/AboutBox.h"
#include "support/DataMod.h"
#include "support/Wait.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_splash = new AboutBox();
        m_splash->show();
        m_other.setWindowTitle("other");
        m_other.show();
    }
    void TearDown() override { delete m_splash.data(); }
    bool gone() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_splash.isNull();
    }
    void activate(QWidget* window) {
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }

    QPointer<AboutBox> m_splash;
    QWidget m_other;
};

} // namespace

TEST_F(AboutBoxTest, ShowsItsCaptionLabelsAndPictureCentredAboveTheMiddle) {
    EXPECT_EQ(m_splash->windowTitle(), "Verrick Control");
    EXPECT_EQ(m_splash->Label1()->text(), "M I N I");
    EXPECT_TRUE(m_splash->Label1()->font().bold());
    EXPECT_EQ(m_splash->Label2()->text(), "Ver. 5.80_Core");
    EXPECT_EQ(m_splash->SetFocusTimer()->interval(), 25);
    EXPECT_EQ(m_splash->UnloadTimer()->interval(), 2000);
    EXPECT_FALSE(m_splash->SetFocusTimer()->isActive()); // start-up starts them
    EXPECT_FALSE(m_splash->UnloadTimer()->isActive());
    const QRect screen = m_splash->screen()->geometry();
    // Placed when loaded, before the window system gives it a frame.
    EXPECT_EQ(m_splash->pos(),
              screen.topLeft() + CenterFormPosition(screen.size(), m_splash->size()));

    // The background is a picture, not a plain fill.
    const QImage picture = m_splash->grab().toImage();
    EXPECT_NE(picture.pixelColor(5, 5), picture.pixelColor(picture.width() / 2, 100));
}

TEST_F(AboutBoxTest, AClickOnThePictureOrTheUnloadTimerClosesItAClickOnALabelDoesNot) {
    QTest::mouseClick(m_splash->Label1(), Qt::LeftButton);
    EXPECT_FALSE(gone());
    QTest::mouseClick(m_splash, Qt::LeftButton, {}, QPoint(5, m_splash->height() - 5));
    EXPECT_TRUE(waitUntil([&] { return gone(); }));

    m_splash = new AboutBox();
    m_splash->show();
    // The unload timer fires once: it stops itself and closes the splash.
    QPointer<QTimer> unload = m_splash->UnloadTimer();
    int unloadTicks = 0;
    QObject::connect(unload, &QTimer::timeout, [&] { ++unloadTicks; });
    unload->setInterval(1);
    unload->start();
    ASSERT_TRUE(waitUntil([&] { return !m_splash || !m_splash->isVisible(); }));
    pumpEvents(50);
    EXPECT_EQ(unloadTicks, 1);
    EXPECT_TRUE(!unload || !unload->isActive());
    EXPECT_TRUE(waitUntil([&] { return gone(); }));
}

TEST_F(AboutBoxTest, HoldsTheFocusWhileItsTimerRunsUnlessShuttingDownAndLosingItAfterwardsCloses) {
    m_splash->SetFocusTimer()->start();
    activate(&m_other);
    ASSERT_TRUE(waitUntil([&] { return m_splash->isActiveWindow(); }));

    // Once the timer is off, losing the focus closes the splash.
    m_splash->SetFocusTimer()->stop();
    activate(m_splash);
    ASSERT_TRUE(waitUntil([&] { return m_splash->isActiveWindow(); }));
    activate(&m_other);
    EXPECT_TRUE(waitUntil([&] { return gone(); }));

    // The program ending: the timer no longer pulls the focus, and losing it does not close.
    m_splash = new AboutBox();
    m_splash->show();
    m_splash->SetFocusTimer()->start();
    ASSERT_TRUE(waitUntil([&] { return m_splash->isActiveWindow(); }));
    m_splash->programEnding();
    activate(&m_other);
    pumpEvents(150);
    EXPECT_TRUE(m_other.isActiveWindow());
    EXPECT_FALSE(gone());
}
