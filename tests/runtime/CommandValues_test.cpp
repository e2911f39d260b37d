#include "LivePanel.h"

#include "components/MeterFader.h"
#include "panel/QtPrinting.h"
#include "runtime/CommandValues.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

const char* const kPanel =
    "<panel><name>Studio</name><controllist>"
    "<c><type>button</type><name>Go</name><caption>Save &amp; Exit\\nNow</caption>"
    "<left>300</left><top>600</top><width>1500</width><height>450</height>"
    "<backcoloron>red</backcoloron><pictureupoff>go.png</pictureupoff>"
    "<flashpicture>fl.png</flashpicture></c>"
    "<c><type>label</type><name>Title</name><caption>$$Title.caption$$</caption>"
    "<forecolor>yellow</forecolor></c>"
    "<c><type>textbox</type><name>Note</name><caption>x\\ny</caption></c>"
    "<c><type>dropdown</type><name>Source</name><list>a,b,c</list><listindex>-1</listindex></c>"
    "<c><type>dropdown</type><name>Empty</name></c>"
    "<c><type>meter</type><name>Pgm</name></c>"
    "<c><type>meterfader</type><name>Strip</name></c>"
    "</controllist></panel>";

struct Row {
    const char* command;
    const char* expected;
};

} // namespace

TEST(CommandValues, PlaceholdersAreFilledFromTheLivePanel) {
    LivePanel panel(kPanel);
    panel.change("Studio.Go.Enabled=false");
    const QList<Row> rows{
        {"Mic1.On", "Mic1.On"},
        {"a $$ b", "a  b"},
        {"$$PanelName$$.x $$panelname$$ $$PANELNAME$$", "Studio.x Studio Studio"},
        {"$$$PanelName$$ $$PanelName$$$$Go.name$$", "$Studio StudioGo"},
        {"$$Pan $$PanelName$ $$Go.name$$$", "PanelName$ Go$"},
        {"", ""},
        {"[$$Go.caption.x$$][$$Go$$][$$Nobody.caption$$][$$$]", "[][][][]"},
        {"$$Go.controltype$$ $$go.NAME$$ $$Go.state$$ $$Go.bogus$$", "button Go  "},
        {"$$Go.left$$,$$Go.top$$,$$Go.width$$,$$Go.height$$", "300,600,1500,450"},
        {"$$Go.backcolor$$ $$Go.backcoloron$$ $$Go.backcoloroff$$", "14737632 255 14737632"},
        {"$$Go.forecolor$$|$$Title.forecolor$$", "|65535"},
        {"$$Go.picture$$|$$Title.picture$$|$$Go.flashpicture$$", "go.png||fl.png"},
        {"$$Go.caption$$|$$Note.caption$$", "Save && Exit\r\nNow|x\r\ny"},
        {"$$Go.enabled$$ $$Title.enabled$$ $$Go.flash$$", "False True Off"},
        {"$$Source.list$$|$$Source.listindex$$|$$Empty.list$$|$$Go.list$$", "a,b,c|-1||"},
        {"$$Pgm.backcolor$$", "1315860"}, // the meter's own near-black ground
        // A strip shows its channel; before the Core has sent a gain it has none to give.
        {"$$Strip.channelon$$ $$Strip.pgm1on$$ $$Strip.pgm4on$$ [$$Strip.faderlevel$$]",
         "False False False []"},
        {"[$$Go.channelon$$][$$Go.pgm2on$$][$$Pgm.faderlevel$$][$$Strip.pgm5on$$]", "[][][][]"},
        // A value holding a placeholder is sent as it is, not scanned again.
        {"$$Title.caption$$ and $$Go.name$$", "$$Title.caption$$ and Go"},
        // A list has no caption: nothing is filled in, not even the panel's name.
        {"$$PanelName$$ $$Source.caption$$ $$Go.name$$",
         "$$PanelName$$ $$Source.caption$$ $$Go.name$$"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(panel.readCommand(row.command), QString(row.expected))
            << "command: " << row.command;
    }

    // Values are read at the moment of sending.
    panel.change("Studio.Source.ListIndex=2");
    panel.change("Studio.Go.Left=900");
    panel.change("Studio.Go.Flash=on");
    EXPECT_EQ(panel.readCommand("$$Source.listindex$$ $$Go.left$$ $$Go.flash$$"), "2 900 On");
    auto* strip = panel.control<MeterFader>("Strip");
    ASSERT_NE(strip, nullptr);
    strip->setChannelOn(true);
    strip->setPGMBusOn(3, true);
    strip->setFaderActive(true);
    strip->setFaderLevel(-12.3f);
    EXPECT_EQ(panel.readCommand(
                  "$$Strip.channelon$$ $$Strip.pgm2on$$ $$Strip.pgm3on$$ $$Strip.faderlevel$$"),
              "True False True -12.3");
    // A position beyond what 16 bits hold abandons the substitution.
    ControlProperties::SetLeft(panel.control("Go"), 40000);
    EXPECT_EQ(panel.readCommand("$$PanelName$$ $$Go.left$$"), "$$PanelName$$ $$Go.left$$");
}

// The panel checker judges placeholders by CommandReadOf without a live panel; it must agree
// with what reading each property of each kind of control really does.
TEST(CommandValues, WhatAPropertyGivesAgreesWithReadingIt) {
    const QStringList types{"form",     "button",       "label", "textbox",
                            "dropdown", "webbrowser",   "meter", "meterfader",
                            "tsclock",  "codeccontrol", "slider"};
    QString controls;
    for (const QString& type : types.mid(1)) {
        // Every value a record can hold is set, so that a value that is given is not empty.
        controls += QStringLiteral("<c><type>%1</type><name>%1</name><caption>c</caption>"
                                   "<list>a,b</list><picture>p.png</picture><flashpicture>f.png"
                                   "</flashpicture></c>")
                        .arg(type);
    }
    LivePanel panel("<panel><name>form</name><picture>p.png</picture><backcoloron>red"
                    "</backcoloron><backcoloroff>blue</backcoloroff><controllist>" +
                    controls + "</controllist></panel>");
    panel.record("form")->FlashPicture = "f.png"; // a change can give the window one
    // A strip gives its gain once the Core has sent one.
    panel.control<MeterFader>("meterfader")->setFaderActive(true);

    const QStringList properties = CommandPropertyNames() + QStringList{"state", "bogus"};
    for (const QString& type : types) {
        const clsUPControl* record = panel.record(type);
        ASSERT_NE(record, nullptr) << type.toStdString();
        const bool onPanel = !record->pntrControl.isNull();
        EXPECT_EQ(onPanel, type != "codeccontrol" && type != "slider") << type.toStdString();
        for (const QString& property : properties) {
            SCOPED_TRACE((type + '.' + property).toStdString());
            std::optional<QString> value;
            try {
                value = CommandValue(*record, property);
            } catch (const std::exception&) {
            }
            switch (CommandReadOf(type, property, onPanel)) {
            case CommandRead::Value:
                EXPECT_TRUE(value && !value->isEmpty());
                break;
            case CommandRead::Nothing:
                EXPECT_EQ(value, QString());
                break;
            case CommandRead::Fails:
                EXPECT_FALSE(value);
                break;
            }
        }
    }
}
