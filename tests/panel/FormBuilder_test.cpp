#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "panel/ControlArrays.h"
#include "panel/ControlProperties.h"
#include "panel/FormBuilder.h"
#include "panel/PanelButton.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelLabel.h"
#include "panel/PanelLimits.h"
#include "panel/PanelState.h"
#include "panel/PanelTextBox.h"
#include "panel/PanelTiles.h"
#include "support/LogCapture.h"
#include "support/NumberRules.h"
#include "support/Twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvane;
namespace CP = corvane::ControlProperties;

namespace {

struct Subscription {
    qint32 router;
    qint32 io;
    bool isSource;
    bool operator==(const Subscription&) const = default;
};

// A panel window with its records and arrays, built the way the main window builds it.
class FormBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 200);
        m_arrays.createTemplates(m_window.get());
        m_window->show();
    }

    bool deliver(const QString& definition) {
        PanelDefinitionReader reader(m_state);
        if (!reader.AnalyzeXML(definition)) {
            return false;
        }
        FormBuilder(m_state, m_arrays, m_window.get(), &m_events).BuildForm();
        return true;
    }

    clsUPControl* record(const QString& key) {
        auto* found = m_state.collControls.find(key);
        return found ? found->get() : nullptr;
    }

    static QString panel(const QString& keys, const QString& controls) {
        return "<panel>" + keys + "<controllist>" + controls + "</controllist></panel>";
    }

    std::unique_ptr<QWidget> m_window;
    PanelState m_state;
    ControlArrays m_arrays;
    // What the window hears of the building.
    struct Events : FormBuilder::Events {
        explicit Events(FormBuilderTest& test) : m_test(test) {}
        void SendMeterSubscription(qint32 router, qint32 io, bool isSource) override {
            m_test.m_subscriptions.push_back({router, io, isSource});
        }
        void EnableUPPing() override { ++m_test.m_upPingEnabled; }
        FormBuilderTest& m_test;
    };

    std::vector<Subscription> m_subscriptions;
    int m_upPingEnabled = 0;
    Events m_events{*this};
};

int pixels(int twips) {
    return twipsToPixels(twips);
}

} // namespace

TEST_F(FormBuilderTest, ButtonsGetIndicesNamesPlacesAndStateColours) {
    ASSERT_TRUE(deliver(panel("<name>Studio</name>",
                              "<c><type>button</type><name>Take</name><left>300</left>"
                              "<top>600</top><width>1500</width><height>450</height>"
                              "<state> On </state><backcoloron>red</backcoloron></c>"
                              "<c><type>button</type><name>Hold</name><buttonstate>1</buttonstate>"
                              "<backcoloroff>green</backcoloroff></c>"
                              "<c><type>button</type></c>")));
    ASSERT_EQ(m_arrays.butCommand.count(), 4); // the template and three buttons
    PanelButton* take = m_arrays.butCommand.at(1);
    PanelButton* hold = m_arrays.butCommand.at(2);
    PanelButton* unnamed = m_arrays.butCommand.at(3);
    ASSERT_TRUE(take && hold && unnamed);
    EXPECT_EQ(record("take")->pntrControl, take);
    EXPECT_EQ(CP::Tag(take), "Take");
    EXPECT_EQ(take->geometry(), QRect(pixels(300), pixels(600), pixels(1500), pixels(450)));
    EXPECT_EQ(CP::Left(take), 300); // the twips read back as set
    EXPECT_EQ(CP::BackColor(take), 255);
    EXPECT_EQ(take->backColor(), QColor(255, 0, 0));
    EXPECT_EQ(CP::BackColor(hold), 65280); // state "1" is not "on"
    EXPECT_EQ(hold->size(), m_arrays.butCommand.templateElement()->size());
    // A nameless control is named after its index, but stays registered under the empty key.
    EXPECT_EQ(CP::Tag(unnamed), "Unknown3");
    EXPECT_EQ(record("")->Name, "Unknown3");
    EXPECT_TRUE(take->isVisible());
    EXPECT_EQ(m_upPingEnabled, 1);
}

TEST_F(FormBuilderTest, CaptionsShowAmpersandsAndLineBreaksAsWritten) {
    ASSERT_TRUE(deliver(panel("", "<c><type>button</type><name>b</name>"
                                  "<caption>Save &amp; Exit</caption></c>"
                                  "<c><type>label</type><name>l</name>"
                                  "<caption>Save &amp; Exit\\nNow</caption></c>"
                                  "<c><type>textbox</type><name>t</name>"
                                  "<caption>A &amp; B\\nC</caption></c>")));
    EXPECT_EQ(m_arrays.butCommand.at(1)->caption(), "Save & Exit");
    EXPECT_EQ(m_arrays.butCommand.at(1)->text(), "Save && Exit"); // no access key
    EXPECT_EQ(m_arrays.lblBox.at(1)->text(), "Save & Exit\nNow");
    EXPECT_EQ(m_arrays.lblBox.at(1)->textFormat(), Qt::PlainText);
    EXPECT_EQ(m_arrays.txtBox.at(1)->text(), "A & B\nC");
}

// A text box draws its text itself until the operator reaches it; then an editor takes the
// typing. It must look the same either way, keep its text, and have no scroll bars (in a box
// of the usual single-line height one would stand over the text like a spin box).
TEST_F(FormBuilderTest, TextBoxTakesItsEditorWhenTheOperatorReachesIt) {
    ASSERT_TRUE(deliver(panel("", "<c><type>textbox</type><name>small</name><height>330</height>"
                                  "<width>1500</width><backcoloroff>cyan</backcoloroff>"
                                  "<caption>Line one\nLine two\nLine three</caption></c>"
                                  "<c><type>textbox</type><name>tabbed</name><top>600</top>"
                                  "<caption>x</caption></c>")));
    PanelTextBox* box = m_arrays.txtBox.at(1);
    ASSERT_EQ(box->editor(), nullptr);
    const QImage drawn = box->grab().toImage();

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
    QPlainTextEdit* editor = box->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->toPlainText(), "Line one\nLine two\nLine three");
    EXPECT_EQ(editor->geometry(), box->rect());
    QCoreApplication::processEvents();
    EXPECT_FALSE(editor->verticalScrollBar()->isVisible());
    EXPECT_FALSE(editor->horizontalScrollBar()->isVisible());

    // Same frame, ground and text: only the caret may differ, so compare with it hidden.
    editor->setCursorWidth(0);
    const QImage edited = box->grab().toImage();
    ASSERT_EQ(edited.size(), drawn.size());
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            differing += drawn.pixel(x, y) != edited.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_LE(differing, 20); // a few edge pixels of anti-aliased glyphs

    // What the operator types is the box's text; the Core's captions go into the editor.
    QTest::keyClicks(editor, "!");
    EXPECT_EQ(CP::Caption(box).remove(QLatin1Char('!')), "Line one\nLine two\nLine three");
    EXPECT_EQ(CP::Caption(box).count(QLatin1Char('!')), 1);
    CP::SetCaption(box, "new\ntext");
    EXPECT_EQ(editor->toPlainText(), "new\ntext");

    // Tabbing into a box gives it its editor too, with the focus.
    PanelTextBox* tabbed = m_arrays.txtBox.at(2);
    tabbed->setFocus(Qt::TabFocusReason);
    ASSERT_NE(tabbed->editor(), nullptr);
    EXPECT_EQ(tabbed->editor()->toPlainText(), "x");
}

TEST_F(FormBuilderTest, FontsAndColoursOfLabelsAndTextBoxes) {
    ASSERT_TRUE(
        deliver(panel("", "<c><type>label</type><name>l</name><fontname>DejaVu Serif"
                          "</fontname><fontsize>14</fontsize><fontbold>false</fontbold>"
                          "<fontitalic>yes</fontitalic><forecolor>blue</forecolor><caption>On air"
                          "</caption>"
                          "<backcoloroff>yellow</backcoloroff></c>"
                          "<c><type>textbox</type><name>t</name><enabled>false</enabled>"
                          "</c>"
                          "<c><type>textbox</type><name>t2</name><backcoloroff>cyan"
                          "</backcoloroff></c>"
                          "<c><type>dropdown</type><name>d</name><fontname>DejaVu Serif"
                          "</fontname><fontsize>30</fontsize></c>")));
    QLabel* label = m_arrays.lblBox.at(1);
    EXPECT_EQ(label->font().family(), "DejaVu Serif");
    EXPECT_EQ(label->font().pointSize(), 14);
    EXPECT_FALSE(label->font().bold());
    EXPECT_TRUE(label->font().italic());
    EXPECT_EQ(qobject_cast<PanelLabel*>(label)->foreColor(), QColor(0, 0, 255));
    EXPECT_EQ(qobject_cast<PanelLabel*>(label)->backColor(), QColor(255, 255, 0));
    EXPECT_EQ(CP::ForeColor(label), 16711680);
    EXPECT_TRUE(m_arrays.txtBox.at(1)->font().bold()); // records default to bold Arial 9
    EXPECT_FALSE(m_arrays.txtBox.at(1)->isEnabled());
    // A drop-down list keeps its template's font.
    EXPECT_EQ(m_arrays.cmbBox.at(1)->font(), m_arrays.cmbBox.templateElement()->font());

    // The back colours show: below the label's text, and in the text box's empty lower part.
    const QImage labelShown = label->grab().toImage();
    EXPECT_EQ(labelShown.pixelColor(2, labelShown.height() - 3), QColor(255, 255, 0));
    // Its text in its own colour, placed as QLabel places it: the same picture as a QLabel of
    // that text colour on that ground.
    QLabel plain(label->text());
    plain.setFont(label->font());
    plain.setWordWrap(true);
    plain.setAlignment(label->alignment());
    plain.setAutoFillBackground(true);
    QPalette colours = plain.palette();
    colours.setColor(QPalette::Window, QColor(255, 255, 0));
    colours.setColor(QPalette::WindowText, QColor(0, 0, 255));
    plain.setPalette(colours);
    plain.resize(label->size());
    EXPECT_EQ(labelShown.convertToFormat(QImage::Format_RGB32),
              plain.grab().toImage().convertToFormat(QImage::Format_RGB32));
    const QImage textShown = m_arrays.txtBox.at(2)->grab().toImage();
    EXPECT_EQ(textShown.pixelColor(textShown.width() - 3, textShown.height() - 3),
              QColor(0, 255, 255));
}

TEST_F(FormBuilderTest, DropDownItemsAndSelection) {
    ASSERT_TRUE(
        deliver(panel("", "<c><type>dropdown</type><name>a</name><list>a,,b,</list>"
                          "<listindex>0</listindex><backcoloroff>cyan</backcoloroff>"
                          "<forecolor>red</forecolor></c>"
                          "<c><type>dropdown</type><name>b</name><list>a,b</list>"
                          "<listindex>5</listindex></c>"
                          "<c><type>dropdown</type><name>c</name><listindex>3</listindex></c>"
                          "<c><type>dropdown</type><name>d</name><list> x , y</list>"
                          "<listindex>-1</listindex></c>")));
    PanelDropDown* first = m_arrays.cmbBox.at(1);
    ASSERT_EQ(first->count(), 2);
    EXPECT_EQ(first->itemText(0), "a");
    EXPECT_EQ(first->itemText(1), "b");
    EXPECT_EQ(first->currentIndex(), 0);
    EXPECT_EQ(m_arrays.cmbBox.at(2)->currentIndex(), -1);
    EXPECT_EQ(m_arrays.cmbBox.at(3)->count(), 0);
    EXPECT_EQ(m_arrays.cmbBox.at(4)->itemText(0), " x "); // pieces are not trimmed
    EXPECT_EQ(m_arrays.cmbBox.at(4)->currentIndex(), -1);

    // The list itself is made when the operator reaches the control: it shows the same (in the
    // panel's colours), holds the same items and selection, and what the operator picks is the
    // control's selection.
    EXPECT_EQ(first->list(), nullptr);
    const QImage coloured = first->grab().toImage();
    int cyanish = 0;
    int reddish = 0; // the text
    for (int x = 0; x < coloured.width(); ++x) {
        for (int y = 0; y < coloured.height(); ++y) {
            const QColor pixel = coloured.pixelColor(x, y);
            cyanish += pixel.green() - pixel.red() > 100 && pixel.blue() - pixel.red() > 100;
            reddish += pixel.red() - pixel.green() > 100 && pixel.red() - pixel.blue() > 100;
        }
    }
    EXPECT_GT(reddish, 5);
    EXPECT_GT(cyanish, coloured.width() * coloured.height() / 2);
    for (PanelDropDown* list : {first, m_arrays.cmbBox.at(4)}) {
        ASSERT_EQ(list->list(), nullptr);
        const int items = list->count();
        const int selected = list->currentIndex();
        const QImage drawn = list->grab().toImage();
        QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(4, list->height() / 2));
        QComboBox* opened = list->list();
        ASSERT_NE(opened, nullptr);
        opened->hidePopup();
        EXPECT_EQ(opened->geometry(), list->rect());
        EXPECT_EQ(opened->count(), items);
        EXPECT_EQ(opened->currentIndex(), selected);
        EXPECT_EQ(list->currentText(), opened->currentText());
        QCoreApplication::processEvents();
        const QImage shown = list->grab().toImage();
        ASSERT_EQ(shown.size(), drawn.size());
        int differing = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                differing += drawn.pixel(x, y) != shown.pixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_LE(differing, drawn.width() * 2); // the focus ring of the opened list
        QTest::keyClick(opened, Qt::Key_Down);
        EXPECT_EQ(list->currentIndex(), std::min(selected + 1, items - 1));
    }
    // A Core's list for an opened control goes into its list.
    first->clear();
    first->addItems({"p", "q"});
    EXPECT_EQ(first->list()->count(), 2);
    EXPECT_EQ(first->currentIndex(), 0);

    // A broken Core asking for more items than a list may hold: the rest is skipped and logged.
    test::LogCapture log;
    ASSERT_TRUE(deliver(panel("", "<c><type>dropdown</type><name>huge</name><list>" +
                                      QString("a,,").repeated(PanelLimits::kMaxListItems + 5) +
                                      "</list><listindex>9999</listindex></c>")));
    PanelDropDown* huge = m_arrays.cmbBox.at(5);
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->count(), PanelLimits::kMaxListItems);
    EXPECT_EQ(huge->currentIndex(), 9999);
    EXPECT_EQ(log.warnings("corvane.panel", "5 skipped"), 1);
}

TEST_F(FormBuilderTest, ARejectedSelectionEndsTheBuildingThere) {
    test::LogCapture log;
    const QString definition =
        panel("<name>P</name>", "<c><type>label</type><name>first</name></c>"
                                "<c><type>dropdown</type><name>bad</name><list>a</list>"
                                "<listindex>-2</listindex></c>"
                                "<c><type>label</type><name>after</name></c>");
    ASSERT_TRUE(deliver(definition));
    EXPECT_TRUE(record("first")->pntrControl);
    EXPECT_FALSE(record("bad")->pntrControl);
    EXPECT_FALSE(m_arrays.cmbBox.at(1)->isVisible()); // the half-loaded element stays hidden
    EXPECT_FALSE(record("after")->pntrControl);
    EXPECT_EQ(m_state.windowTag, ""); // the window, built last, was not reached
    EXPECT_EQ(m_upPingEnabled, 0);
    EXPECT_EQ(log.lines("corvane.panel"),
              QStringList({"warning: Building the panel stopped at dropdown \"bad\": the list "
                           "takes no selection index below -1; the controls after it are not "
                           "built"}));

    // Delivered again, the failed record is not built a second time: it keeps its one hidden
    // element, and the records after it are built.
    for (int delivery = 2; delivery <= 4; ++delivery) {
        SCOPED_TRACE(delivery);
        ASSERT_TRUE(deliver(definition));
        EXPECT_EQ(m_arrays.cmbBox.count(), 2); // the template and the half-loaded element
        EXPECT_EQ(m_arrays.lblBox.count(), 3);
        EXPECT_FALSE(record("bad")->pntrControl);
        EXPECT_FALSE(m_arrays.cmbBox.at(1)->isVisible());
        EXPECT_TRUE(record("after")->pntrControl);
        EXPECT_EQ(m_state.windowTag, "P");
    }
}

TEST_F(FormBuilderTest, TheWindowIsSizedColouredAndCaptionedLast) {
    ASSERT_TRUE(deliver(panel("<name>Studio</name><width>6000</width><height>1000</height>"
                              "<backcolor>darkgrey</backcolor><caption>  </caption>",
                              "<c><type>label</type><name>l</name></c>")));
    // The height with 200 for the title bar, and the width, are the window's outer size.
    ASSERT_GT(m_window->frameGeometry().height(), m_window->height()); // a framed window
    EXPECT_EQ(m_window->frameGeometry().size(), QSize(pixels(6000), pixels(1200)));
    EXPECT_EQ(CP::Height(m_window.get()), 1200);
    EXPECT_EQ(m_window->windowTitle(), "Studio"); // a blank caption shows the name
    EXPECT_EQ(m_state.windowTag, "Studio");
    EXPECT_EQ(CP::BackColor(m_window.get()), 8421504);
    EXPECT_EQ(record("studio")->pntrControl, m_window.get());
}

TEST_F(FormBuilderTest, AWindowWithoutAFrameTakesTheSizeInside) {
    m_window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    m_arrays.createTemplates(m_window.get());
    m_window->show();
    ASSERT_TRUE(deliver(panel("<name>P</name><width>3000</width><height>1000</height>", "")));
    EXPECT_EQ(m_window->size(), QSize(pixels(3000), pixels(1200)));
    EXPECT_EQ(m_window->frameGeometry().size(), m_window->size());
}

TEST_F(FormBuilderTest, AWindowOfZeroSizeKeepsItsSizeAndShowsItsCaptionAsWritten) {
    const QSize before = m_window->size();
    ASSERT_TRUE(deliver(panel("<name>P</name><caption>A &amp; B</caption>", "")));
    EXPECT_EQ(m_window->size(), before);
    EXPECT_EQ(m_window->windowTitle(), "A & B");

    // "[*]" is no modified mark to a panel: the title shows it as written.
    for (const QString caption : {"Mix [*] A", "[*][*]", "[*]"}) {
        CP::SetCaption(m_window.get(), caption);
        EXPECT_EQ(CP::Caption(m_window.get()), caption);
        ASSERT_NE(m_window->windowHandle(), nullptr);
        EXPECT_EQ(m_window->windowHandle()->title(), caption);
    }
}

TEST_F(FormBuilderTest, AWindowTooHighEndsTheBuildingWithoutItsName) {
    test::LogCapture log;
    ASSERT_TRUE(deliver(panel("<name>P</name><height>32600</height>", "")));
    EXPECT_EQ(m_state.windowTag, "");
    EXPECT_FALSE(record("p")->pntrControl);
    EXPECT_EQ(log.warnings("corvane.panel", "stopped at Form \"P\": the window's height with "
                                            "its title bar is beyond 32767 twips"),
              1);
    // 32567 and the title bar still fit.
    EXPECT_EQ(FormBuilder::WindowHeight(32567), 32767);
    EXPECT_THROW(FormBuilder::WindowHeight(32568), ConversionError);
}

TEST_F(FormBuilderTest, MetersAreStyledAndSubscribed) {
    ASSERT_TRUE(deliver(panel("<name>P</name>",
                              "<m><type>meter</type><name>M1</name><meterrouternumber>2"
                              "</meterrouternumber><meterionumber>15</meterionumber>"
                              "<meterissource>true</meterissource><meterstyle>gradient"
                              "</meterstyle><meterscale>british</meterscale><levellinecolor>red"
                              "</levellinecolor><decayrate>12</decayrate><centerpad>4"
                              "</centerpad><width>300</width><height>2400</height></m>"
                              "<m><type>meterfader</type><name>F1</name><meterrouternumber>2"
                              "</meterrouternumber><meterionumber>15</meterionumber>"
                              "<meterissource>false</meterissource>"
                              "<fadernominal>-10</fadernominal><hidegainvalue>true"
                              "</hidegainvalue></m>"
                              "<m><type>meter</type><name>M0</name><meterionumber>3"
                              "</meterionumber></m>")));
    LedMeter* meter = m_arrays.TesselLED.at(1);
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->MeterStyle(), 1);
    EXPECT_EQ(meter->MeterScale(), 2);
    EXPECT_EQ(meter->LevelLineColor(), 255);
    EXPECT_EQ(meter->DecayRate(), 12);
    EXPECT_EQ(meter->CenterPad(), 4);
    EXPECT_EQ(meter->size(), QSize(pixels(300), pixels(2400)));
    MeterFader* strip = m_arrays.TesselMeterFader.at(1);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->ChannelName(), "F1");
    EXPECT_EQ(strip->index(), 1);
    EXPECT_FLOAT_EQ(strip->FaderNominal(), -10.0f);
    EXPECT_TRUE(strip->HideGainValue());
    EXPECT_TRUE(m_arrays.TesselLED.at(2)->isVisible()); // router 0: shown, not subscribed
    EXPECT_EQ(m_subscriptions, (std::vector<Subscription>{{2, 15, true}, {2, 15, false}}));
    // Each meter was sent behind all others as it was built: the last one built lowest, all
    // below the templates; nothing else is left on the window.
    const QList<QWidget*> stack = PanelTiles::stackingOrder(m_window.get());
    EXPECT_LT(stack.indexOf(m_arrays.TesselLED.at(2)), stack.indexOf(strip));
    EXPECT_LT(stack.indexOf(strip), stack.indexOf(meter));
    EXPECT_LT(stack.indexOf(meter), stack.indexOf(m_arrays.txtBox.templateElement()));
    EXPECT_EQ(stack.size(), 8 + 3);

    // A second delivery builds nothing new and subscribes the placed meters again.
    m_subscriptions.clear();
    ASSERT_TRUE(deliver(panel("<name>P</name>", "<m><type>meter</type><name>M1</name></m>")));
    EXPECT_EQ(m_arrays.TesselLED.count(), 3);
    EXPECT_EQ(m_arrays.TesselMeterFader.count(), 2);
    EXPECT_EQ(m_subscriptions, (std::vector<Subscription>{{2, 15, true}, {2, 15, false}}));
    EXPECT_EQ(m_upPingEnabled, 2);
}

TEST_F(FormBuilderTest, ClocksWebViewsAndSkippedTypes) {
    ASSERT_TRUE(deliver(panel("<name>P</name>",
                              "<c><type>tsclock</type><name>Clock</name><left>1500</left>"
                              "<top>150</top><width>3000</width><height>900</height></c>"
                              "<c><type>codeccontrol</type><name>codec</name></c>"
                              "<c><type>spaceship</type><name>odd</name></c>"
                              "<c><name>untyped</name></c>"
                              "<c><type>webbrowser</type><name>web</name><width>3000</width>"
                              "<height>3000</height></c>")));
    TSClockInterop* clock = m_arrays.TSClockInterop.at(1);
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(CP::Tag(clock), "Clock");
    EXPECT_EQ(clock->geometry(), QRect(pixels(1500), pixels(150), pixels(3000), pixels(900)));
    EXPECT_TRUE(clock->isVisible());
    EXPECT_FALSE(record("codec")->pntrControl);
    EXPECT_FALSE(record("odd")->pntrControl);
    EXPECT_FALSE(record("untyped")->pntrControl);
    QWidget* web = m_arrays.WebControl.at(1);
    ASSERT_NE(web, nullptr);
    EXPECT_TRUE(web->isVisible());
    EXPECT_EQ(web->size(), QSize(pixels(3000), pixels(3000)));
    // Web views sit behind every other control.
    const QList<QWidget*> stack = PanelTiles::stackingOrder(m_window.get());
    EXPECT_LT(stack.indexOf(web), stack.indexOf(clock));
    EXPECT_EQ(m_state.windowTag, "P");
}

TEST_F(FormBuilderTest, APanelHasAtMostSixteenWebViews) {
    // Stand-ins for views built before, so that the test starts no browser engines.
    while (m_arrays.WebControl.count() <= PanelLimits::kMaxWebViews - 1) {
        m_arrays.WebControl.load(new QWidget(m_window.get()));
    }
    test::LogCapture log;
    ASSERT_TRUE(deliver(panel("<name>P</name>", "<c><type>webbrowser</type><name>w16</name></c>"
                                                "<c><type>webbrowser</type><name>w17</name></c>"
                                                "<c><type>label</type><name>after</name></c>")));
    EXPECT_EQ(m_arrays.WebControl.count(), PanelLimits::kMaxWebViews + 1); // the template too
    EXPECT_TRUE(record("w16")->pntrControl);
    EXPECT_FALSE(record("w17")->pntrControl);
    EXPECT_TRUE(record("after")->pntrControl); // building goes on
    EXPECT_EQ(log.warnings("corvane.panel", "w17"), 1);
}
