#include "LivePanel.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "components/TSClockInterop.h"
#include "panel/PanelButton.h"
#include "panel/PanelDropDown.h"
#include "panel/PanelLabel.h"
#include "panel/PanelTextBox.h"
#include "panel/QtPrinting.h"
#include "runtime/WindowPicture.h"
#include "support/Twips.h"
#include "support/Wait.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;
namespace CP = corvane::ControlProperties;

namespace {

const QString kRed = QString::number(255);
const QString kGreen = QString::number(65280);
const QString kBlue = QString::number(16711680);
const QString kYellow = QString::number(65535);
const QString kGrey = QString::number(14737632);

// Every kind of control the Core may change, and two it may not.
QString definition(const QString& pictureFolder) {
    return "<panel><name>Studio</name><defaultpicturepath>" + pictureFolder +
           "</defaultpicturepath><controllist>"
           "<c><type>knob</type><name>U1</name></c>" // a kind this client does not build
           "<c><type>button</type><name>B1</name><caption>One</caption>"
           "<backcoloron>red</backcoloron><backcoloroff>grey</backcoloroff>"
           "<pictureupoff>up_off.png</pictureupoff><pictureupon>up_on.png</pictureupon></c>"
           "<c><type>button</type><name>B2</name><caption>Two</caption></c>"
           "<c><type>label</type><name>L1</name><caption>Label</caption></c>"
           "<c><type>textbox</type><name>T1</name></c>"
           "<c><type>dropdown</type><name>D1</name><list>a,b,c</list><listindex>1</listindex></c>"
           "<c><type>meter</type><name>M1</name></c>"
           "<c><type>meterfader</type><name>F1</name></c>"
           "<c><type>tsclock</type><name>C1</name></c>"
           "<c><type>codeccontrol</type><name>X1</name></c>"
           "<c><type>label</type><name>Studio.L2</name><caption>Prefixed</caption></c>"
           "</controllist></panel>";
}

class PropertyChangeTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_pictures.isValid());
        writePicture("up_off.png", Qt::red);
        writePicture("up_on.png", Qt::green);
        writePicture("back.png", Qt::magenta);
    }
    void writePicture(const QString& name, const QColor& colour) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(m_pictures.filePath(name)));
    }
    QString pictureFolder() const { return QDir::toNativeSeparators(m_pictures.path()); }

    QTemporaryDir m_pictures;
};

QString pictureColour(const QPixmap& picture) {
    return picture.isNull() ? QStringLiteral("none") : picture.toImage().pixelColor(0, 0).name();
}

// What a person (or the Core, for record fields) would see of one aspect of a control.
QString observe(LivePanel& panel, const QString& name, const QString& aspect) {
    if (aspect == "lookup") {
        return panel.record(name) ? "found" : "missing";
    }
    const clsUPControl* r = panel.record(name);
    if (r == nullptr) {
        return "no record";
    }
    if (aspect.startsWith("record.")) {
        const QString field = aspect.mid(7);
        const QHash<QString, QString> fields{
            {"name", r->Name},
            {"caption", r->Caption},
            {"state", r->strState},
            {"backcolor", QString::number(r->BackColor)},
            {"forecolor", QString::number(r->ForeColor)},
            {"backcoloroff", r->BackColorOff},
            {"flash", r->Flash ? "true" : "false"},
            {"left", QString::number(r->Left)},
            {"top", QString::number(r->Top)},
            {"pictureupoff", r->PictureUpOff},
            {"type", r->ControlType},
        };
        return fields.value(field, "unknown field");
    }
    QWidget* control = r->pntrControl.data();
    if (control == nullptr) {
        return "no control";
    }
    if (aspect == "caption") {
        return CP::Caption(control);
    }
    if (aspect == "shown") {
        return qobject_cast<PanelButton*>(control)->text();
    }
    if (aspect == "lines") {
        return QString::number(qobject_cast<PanelTextBox*>(control)->text().split('\n').size());
    }
    if (aspect == "backcolor") {
        return QString::number(CP::BackColor(control));
    }
    if (aspect == "forecolor") {
        return QString::number(CP::ForeColor(control));
    }
    if (aspect == "groundhue") { // the style shades a button's ground, but keeps its hue
        const QImage shown = control->grab().toImage();
        return QString::number(shown.pixelColor(shown.width() - 4, shown.height() - 4).hue());
    }
    if (aspect == "textcolour") { // a label paints its text in a colour of its own
        const auto* label = qobject_cast<PanelLabel*>(control);
        return (label != nullptr ? label->foreColor()
                                 : control->palette().color(QPalette::WindowText))
            .name();
    }
    if (aspect == "picture") {
        return pictureColour(qobject_cast<PanelButton*>(control)->picture());
    }
    if (aspect == "windowpicture") {
        return pictureColour(WindowPicture::current(control));
    }
    if (auto* list = qobject_cast<PanelDropDown*>(control)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        if (aspect == "list") {
            return items.join('|');
        }
        if (aspect == "count") {
            return QString::number(list->count());
        }
        if (aspect == "listindex") {
            return QString::number(list->currentIndex());
        }
    }
    if (aspect == "twips") {
        return QStringList{QString::number(CP::Left(control)), QString::number(CP::Top(control)),
                           QString::number(CP::Width(control)),
                           QString::number(CP::Height(control))}
            .join(',');
    }
    if (aspect == "geometry") {
        const QRect g = control->geometry();
        return QStringLiteral("%1,%2,%3,%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    }
    if (aspect == "enabled") {
        return control->isEnabled() ? "true" : "false";
    }
    if (aspect == "tag") {
        return CP::Tag(control);
    }
    return "unknown aspect";
}

struct Check {
    QString control;
    QString aspect;
    QString expected;
};

// Payloads are sent as command-35 frames in order; "tick" is one tick of the flash timer.
struct Row {
    const char* what;
    QStringList payloads;
    QList<Check> checks;
};

QString pixels(double twips) {
    return QString::number(twipsToPixels(twips));
}

} // namespace

TEST_F(PropertyChangeTest, FramesFromTheCoreChangeTheBuiltPanel) {
    const QString tooManyItems = "Studio.D1.List=" + QString("x,").repeated(10001);
    const QList<Row> rows{
        {"a button caption shows one ampersand and a line break; the record keeps the value",
         {"Studio.B1.Caption=Save & Exit\\nNow"},
         {{"B1", "record.caption", "Save & Exit\\nNow"},
          {"B1", "caption", "Save & Exit\r\nNow"},
          {"B1", "shown", "Save && Exit\nNow"}}},
        {"a label caption", {"Studio.L1.Caption=A & B\\nC"}, {{"L1", "caption", "A & B\nC"}}},
        {"a text box shows two lines",
         {"Studio.T1.caption=one\\ntwo"},
         {{"T1", "lines", "2"}, {"T1", "caption", "one\ntwo"}}},
        {"messages for another panel are ignored; the panel's name in any case is not",
         {"Other.B1.Caption=X", "Studio2.B1.Caption=Y", "sTUDIO.b1.CAPTION=Z"},
         {{"B1", "caption", "Z"}}},
        {"state on: on colour, then on picture",
         {"Studio.B1.State= On "},
         {{"B1", "record.state", "On"}, {"B1", "backcolor", kRed}, {"B1", "picture", "#00ff00"}}},
        {"state off again: off colour and off picture",
         {"Studio.B1.State=on", "Studio.B1.State=1"},
         {{"B1", "backcolor", kGrey}, {"B1", "picture", "#ff0000"}}},
        {"an off colour while on is stored but not shown",
         {"Studio.B1.State=on", "Studio.B1.backcoloroff=green"},
         {{"B1", "record.backcoloroff", kGreen}, {"B1", "backcolor", kRed}}},
        {"an on colour while on is shown",
         {"Studio.B1.State=on", "Studio.B1.BackColorOn=&HFF0000"},
         {{"B1", "backcolor", kBlue}}},
        {"backcolor and forecolor of a label",
         {"Studio.L1.BackColor=blue", "Studio.L1.ForeColor=yellow"},
         {{"L1", "record.backcolor", kBlue},
          {"L1", "backcolor", kBlue},
          {"L1", "groundhue", "240"},
          {"L1", "forecolor", kYellow},
          {"L1", "textcolour", "#ffff00"}}},
        {"a button takes no text colour",
         {"Studio.B1.ForeColor=red"},
         {{"B1", "record.forecolor", "0"}}},
        {"a list skips empty pieces and shows no selection",
         {"Studio.D1.List=a,,b,"},
         {{"D1", "list", "a|b"}, {"D1", "listindex", "-1"}}},
        {"a list index past the end is ignored",
         {"Studio.D1.List=1,2,3,4,5", "Studio.D1.ListIndex=4", "Studio.D1.ListIndex=5"},
         {{"D1", "listindex", "4"}}},
        {"list index -1 clears the selection",
         {"Studio.D1.ListIndex=2", "Studio.D1.ListIndex=-1"},
         {{"D1", "listindex", "-1"}}},
        {"a list is bounded", {tooManyItems}, {{"D1", "count", "10000"}}},
        {"positions: the record rounds to 16 bits, the control takes the number",
         {"Studio.L1.Left=1500", "Studio.L1.Top=300.5", "Studio.L1.Width=3000",
          "Studio.L1.Height=abc"},
         {{"L1", "record.top", "300"},
          {"L1", "twips", "1500,300.5,3000,0"},
          {"L1", "geometry", pixels(1500) + "," + pixels(300.5) + "," + pixels(3000) + ",0"}}},
        {"a position beyond 16 bits changes nothing",
         {"Studio.L1.Left=40000"},
         {{"L1", "record.left", "0"}, {"L1", "twips", "0,0,1200,300"}}}, // the template size
        {"a button paints its off colour",
         {"Studio.B2.BackColorOff=&H0000C0"},
         {{"B2", "backcolor", QString::number(0xC0)}, {"B2", "groundhue", "0"}}},
        {"only false disables", {"Studio.B2.Enabled=FALSE"}, {{"B2", "enabled", "false"}}},
        {"anything else enables",
         {"Studio.B2.Enabled=false", "Studio.B2.enabled=0"},
         {{"B2", "enabled", "true"}}},
        {"indexed references: five characters choose the array, index 1 and up",
         {"Studio.$button(2).Caption=Second", "Studio.$Labelxyz(1).Caption=L",
          "Studio.$drop(1).List=x,y", "Studio.$TEXTBOX(1).Caption=t",
          "Studio.$butt(0).Caption=zero", "Studio.$butt(9).Caption=nine",
          "Studio.$butt((1).Caption=two", "Studio.$knob(1).Caption=k"},
         {{"B2", "caption", "Second"},
          {"L1", "caption", "L"},
          {"D1", "list", "x|y"},
          {"T1", "caption", "t"},
          {"B1", "caption", "One"}}},
        {"panel.control is the second choice of key",
         {"Studio.L2.Caption=Found"},
         {{"Studio.L2", "caption", "Found"}}},
        {"a new name, given with the panel's name, is used by later messages",
         {"Studio.B1.Name=Studio.Take", "Studio.Take.Caption=New", "Studio.B1.Caption=Old"},
         {{"Take", "caption", "New"},
          {"Take", "tag", "Take"},
          {"Take", "record.name", "Take"},
          {"B1", "lookup", "missing"}}},
        {"indexed references follow a renamed control",
         {"Studio.B1.Name=Take", "Studio.$butt(1).Caption=ByIndex"},
         {{"Take", "caption", "ByIndex"}}},
        {"a name another control has is refused; the control keeps its own",
         {"Studio.B1.Name=b2", "Studio.B1.Caption=Still"},
         {{"B1", "caption", "Still"}, {"B1", "record.name", "B1"}, {"B2", "caption", "Two"}}},
        {"clocks and codec controls are never changed",
         {"Studio.C1.BackColor=255", "Studio.C1.Name=Clock", "Studio.X1.Caption=c"},
         {{"C1", "backcolor", "0"}, {"C1", "record.name", "C1"}, {"X1", "record.caption", ""}}},
        {"a second = cuts the value", {"Studio.L1.Caption=a=b"}, {{"L1", "caption", "a"}}},
        {"meters and channel strips take colours and states",
         {"Studio.M1.BackColor=255", "Studio.M1.ForeColor=green", "Studio.F1.ForeColor=yellow",
          "Studio.F1.State=on"},
         {{"M1", "backcolor", kRed},
          {"M1", "forecolor", kGreen},
          {"F1", "forecolor", kYellow},
          {"F1", "backcolor", kYellow}}},
        {"flashing starts at the on colour",
         {"Studio.B1.Flash=on", "tick"},
         {{"B1", "record.flash", "true"}, {"B1", "backcolor", kRed}}},
        {"flashing stops at the state's colour, not the last tick's",
         {"Studio.B1.State=on", "Studio.B1.Flash=ON", "tick", "Studio.B1.Flash=off"},
         {{"B1", "record.flash", "false"}, {"B1", "backcolor", kRed}}},
        {"the window's own colour and picture",
         {"Studio.Studio.BackColor=blue", "Studio.Studio.Picture=back.png"},
         {{"Studio", "backcolor", kBlue}, {"Studio", "windowpicture", "#ff00ff"}}},
        {"pictures: buttons and the window only",
         {"Studio.B2.PictureUpOff=up_on.png", "Studio.L1.Picture=up_on.png"},
         {{"B2", "picture", "#00ff00"}, {"L1", "record.pictureupoff", ""}}},
        {"a list has no caption: only the record takes it",
         {"Studio.D1.Caption=x"},
         {{"D1", "record.caption", "x"}, {"D1", "list", "a|b|c"}}},
        {"a control's type never changes; unknown properties are ignored",
         {"Studio.B1.ControlType=label", "Studio.B1.Bogus=1", "Studio.B1.Caption"},
         {{"B1", "record.type", "button"}, {"B1", "caption", "One"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LivePanel panel(definition(pictureFolder()));
        for (const QString& payload : row.payloads) {
            if (payload == "tick") {
                panel.tick("timFlash");
            } else {
                panel.change(payload);
            }
        }
        for (const Check& check : row.checks) {
            EXPECT_EQ(observe(panel, check.control, check.aspect), check.expected)
                << check.control.toStdString() << " " << check.aspect.toStdString();
        }
    }
}

TEST_F(PropertyChangeTest, FlashingAlternatesWithGreyWhenBothColoursAreEqual) {
    LivePanel panel(definition(pictureFolder()));
    // The control the client could not build flashes too, without stopping the others.
    panel.change("Studio.U1.Flash=on");
    panel.change("Studio.B1.BackColorOff=255");
    panel.change("Studio.B1.Flash=on");
    QStringList shown;
    for (int tick = 0; tick < 4; ++tick) {
        panel.tick("timFlash");
        shown << observe(panel, "B1", "backcolor");
    }
    EXPECT_EQ(shown, QStringList({kGrey, kRed, kGrey, kRed}));
    EXPECT_EQ(panel.record("B1")->BackColorOff, kGrey);

    // The window's own timer does the same, every 490 ms from the start.
    EXPECT_TRUE(panel.timer("timFlash").isActive());
    EXPECT_EQ(panel.timer("timFlash").interval(), 490);
    EXPECT_TRUE(waitUntil([&] { return observe(panel, "B1", "backcolor") == kGrey; }, 3000));
    EXPECT_TRUE(waitUntil([&] { return observe(panel, "B1", "backcolor") == kRed; }, 3000));
}
