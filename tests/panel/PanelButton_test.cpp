#include "panel/PanelButton.h"

#include <QCoreApplication>
#include <QProxyStyle>
#include <QSet>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include "panel/QtPrinting.h"

#include <gtest/gtest.h>

#include <functional>

using namespace corvane;

namespace {
QPixmap filled(const QColor& colour) {
    QPixmap picture(4, 4);
    picture.fill(colour);
    return picture;
}
// Notes the palette every push button is drawn with, as a caching style sees it.
class PaletteWatch : public QProxyStyle {
public:
    PaletteWatch() : QProxyStyle(QStyleFactory::create("Fusion")) {}
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_PushButton || element == CE_PushButtonBevel) {
            identities.insert(option->palette.cacheKey());
            last = option->palette;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable QSet<qint64> identities;
    mutable QPalette last;
};

} // namespace

TEST(PanelButton, PaintsEachGroundColourWithOnePaletteSoTheStylesCacheStaysSmall) {
    // The Core switches a button on and off, or it flashes, all day long: each colour must come
    // to the style as the same palette every time, or the style caches a new drawing under a
    // new name each time and the client grows without end.
    PaletteWatch style;
    PanelButton button;
    button.setStyle(&style);
    button.resize(80, 30);
    button.show();
    for (int i = 0; i < 50; ++i) {
        button.setBackColor(i % 2 == 0 ? Qt::red : Qt::gray);
        button.grab();
        button.setPicture(i % 4 == 0 ? filled(Qt::blue) : QPixmap());
        button.grab();
    }
    EXPECT_LE(style.identities.size(), 3) << "the style saw a new palette per change";
    EXPECT_EQ(style.last.color(QPalette::Button), QColor(Qt::gray));

    // A new palette for the button (the panel's colours) is taken in with the ground colour.
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, Qt::darkGreen);
    button.setPalette(palette);
    button.grab();
    EXPECT_EQ(style.last.color(QPalette::ButtonText), QColor(Qt::darkGreen));
    EXPECT_EQ(style.last.color(QPalette::Button), QColor(Qt::gray));

    // Many colours in turn are painted right, whatever the button keeps of them.
    for (int hue = 0; hue < 360; hue += 10) {
        button.setBackColor(QColor::fromHsv(hue, 255, 255));
        button.grab();
        ASSERT_EQ(style.last.color(QPalette::Button), QColor::fromHsv(hue, 255, 255));
    }
    button.setStyle(nullptr);
}

TEST(PanelButton, ReportsPressAndReleaseOfEveryMouseButton) {
    PanelButton button;
    button.resize(80, 30);
    button.show();
    QSignalSpy pressed(&button, &PanelButton::pressedByOperator);
    QSignalSpy released(&button, &PanelButton::releasedByOperator);
    for (Qt::MouseButton which : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(&button, which, {}, QPoint(10, 10));
        EXPECT_TRUE(button.isDown()) << which;
        QTest::mouseRelease(&button, which, {}, QPoint(10, 10));
        EXPECT_FALSE(button.isDown()) << which;
    }
    EXPECT_EQ(pressed.count(), 3);
    EXPECT_EQ(released.count(), 3);

    // A release away from the button still reports, as the press captured the mouse.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(500, 500));
    EXPECT_EQ(released.count(), 4);
}

TEST(PanelButton, AHeldButtonReportsItsReleaseExactlyOnceWhateverHappensToIt) {
    struct Row {
        const char* what;
        std::function<void(PanelButton&, QWidget& window)> happen;
        bool releaseArrives; // whether the operator's release still reaches the button
    };
    const QList<Row> rows{
        {"nothing", [](PanelButton&, QWidget&) {}, true},
        // Qt hands no mouse events to a disabled button: the release would be lost.
        {"disabled (an interlock)", [](PanelButton& b, QWidget&) { b.setEnabled(false); }, true},
        {"disabled and enabled again",
         [](PanelButton& b, QWidget&) {
             b.setEnabled(false);
             b.setEnabled(true);
         },
         true},
        {"hidden", [](PanelButton& b, QWidget&) { b.hide(); }, true},
        {"its window hidden", [](PanelButton&, QWidget& w) { w.hide(); }, false},
        {"moved away from the pointer", [](PanelButton& b, QWidget&) { b.move(150, 150); }, true},
        {"its window deactivated",
         [](PanelButton&, QWidget& w) {
             QEvent deactivate(QEvent::WindowDeactivate);
             QCoreApplication::sendEvent(&w, &deactivate);
         },
         true},
        // A modal box opening over the window takes its mouse: the release never comes.
        {"its window blocked by a modal box",
         [](PanelButton&, QWidget& w) {
             QEvent blocked(QEvent::WindowBlocked);
             QCoreApplication::sendEvent(&w, &blocked);
         },
         false},
        {"ended by the program", [](PanelButton& b, QWidget&) { b.releaseHold(); }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QWidget window;
        window.resize(300, 300);
        auto* button = new PanelButton(&window);
        button->setGeometry(10, 10, 80, 30);
        window.show();
        QSignalSpy pressed(button, &PanelButton::pressedByOperator);
        QSignalSpy released(button, &PanelButton::releasedByOperator);
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
        row.happen(*button, window);
        if (row.releaseArrives) {
            QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
        }
        EXPECT_EQ(pressed.count(), 1);
        EXPECT_EQ(released.count(), 1);
        EXPECT_FALSE(button->isDown());
        button->releaseHold(); // nothing is held any more
        EXPECT_EQ(released.count(), 1);

        // The next press and release are reported as usual.
        button->setEnabled(true);
        button->show();
        window.show();
        QTest::mousePress(button, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(10, 10));
        EXPECT_EQ(pressed.count(), 2);
        EXPECT_EQ(released.count(), 2);
    }
}

TEST(PanelButton, ShowsItsCaptionLiterally) {
    PanelButton button;
    button.setCaption("Save & Exit");
    EXPECT_EQ(button.caption(), "Save & Exit");
    EXPECT_EQ(button.text(), "Save && Exit");
    EXPECT_TRUE(button.shortcut().isEmpty()); // no access key
    button.setCaption("Save\r\nNow");
    EXPECT_EQ(button.caption(), "Save\r\nNow");
    EXPECT_EQ(button.text(), "Save\nNow");
}

TEST(PanelButton, UpPictureNormallyDownPictureWhileHeld) {
    PanelButton button;
    button.resize(60, 30);
    button.show();
    EXPECT_TRUE(button.shownPicture().isNull());
    button.setPicture(filled(Qt::red));
    button.setDownPicture(filled(Qt::blue));
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::red));
    // Scaled to the whole button when painted.
    EXPECT_EQ(button.grab().toImage().pixelColor(30, 15), QColor(Qt::red));

    QTest::mousePress(&button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(button.grab().toImage().pixelColor(55, 25), QColor(Qt::blue));
    QTest::mouseRelease(&button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::red));

    // Without a down picture the up picture stays while held.
    button.setDownPicture(QPixmap());
    button.setDown(true);
    EXPECT_EQ(button.shownPicture().toImage().pixelColor(0, 0), QColor(Qt::red));
}
