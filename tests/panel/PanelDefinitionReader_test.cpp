#include "components/TSClockInterop.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelLimits.h"
#include "panel/PanelReadLog.h"
#include "panel/PanelState.h"
#include "panel/QtPrinting.h"
#include "support/LogCapture.h"

#include <QDomDocument>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

QStringList keysInOrder(const PanelState& state) {
    QStringList keys;
    for (const auto& entry : state.collControls) {
        keys << entry.key;
    }
    return keys;
}

QStringList meterPoints(const PanelState& state) {
    QStringList points;
    for (const auto& entry : state.collMeterPointers) {
        EXPECT_EQ(entry.value.point.key(), entry.key) << "the point listed under the key";
        points << entry.key + QLatin1Char('=') + entry.value.names;
    }
    return points;
}

const clsUPControl& record(const PanelState& state, const QString& key) {
    static const clsUPControl missing;
    const ControlRecordPtr* found = state.collControls.find(key);
    EXPECT_TRUE(found != nullptr) << "no record " << key.toStdString();
    return found ? **found : missing;
}

const QString kControls = QStringLiteral(R"(
  <controllist>
    <button><type>button</type><name>Take</name><left>100</left><mousedown>Go</mousedown></button>
    <label><type>label</type><name>Title</name><caption>Studio &amp; 1</caption></label>
  </controllist>)");

const QString kPanelKeys = QStringLiteral(R"(
  <Name>Studio1</Name><WIDTH>9000</WIDTH><height>6000</height><backcolor>Grey</backcolor>
  <ForeColor>&amp;HFF</ForeColor><caption>A &amp; B\nC</caption><buttonstate> on </buttonstate>
  <picture>back.bmp</picture><onload>Panel.Loaded</onload><enabled>false</enabled>
  <backcoloron>red</backcoloron>)");

} // namespace

TEST(AnalyzeXML, PanelKeysBeforeOrAfterTheControlsReadTheSame) {
    for (const QString& definition :
         {QStringLiteral("<panel>") + kPanelKeys + kControls + QStringLiteral("</panel>"),
          QStringLiteral("<Whatever>") + kControls + kPanelKeys + QStringLiteral("</Whatever>")}) {
        PanelState state;
        ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(definition));
        // Controls in document order, the form record last, under its name in lower case.
        EXPECT_EQ(keysInOrder(state), QStringList({"take", "title", "studio1"}));
        const clsUPControl& form = record(state, "Studio1");
        EXPECT_EQ(form.ControlType, "Form");
        EXPECT_EQ(form.Name, "Studio1");
        EXPECT_EQ(form.Width, 9000);
        EXPECT_EQ(form.Height, 6000);
        EXPECT_EQ(form.BackColor, 14737632);
        EXPECT_EQ(form.ForeColor, 255);
        EXPECT_EQ(form.Caption, "A & B\\nC"); // the window caption is taken as written
        EXPECT_EQ(form.strState, " on ");
        EXPECT_EQ(form.PictureUpOff, "back.bmp");
        EXPECT_EQ(form.OnLoad, "Panel.Loaded");
        EXPECT_FALSE(form.Enabled);
        EXPECT_EQ(form.BackColorOn, "255");
        EXPECT_EQ(form.BackColorOff, ""); // no default for the window
        EXPECT_EQ(record(state, "take").MouseDown, "Go");
        EXPECT_EQ(record(state, "title").Caption, "Studio & 1");
    }
}

TEST(AnalyzeXML, FormRecordDefaultsAndLaterKeysWin) {
    PanelState state;
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(QStringLiteral(
        "<p><name>A</name><width>abc</width><name>B</name><backcolor>nonsense</backcolor>"
        "<unknown>1</unknown><!-- comment --><Caption></Caption></p>")));
    const clsUPControl& form = record(state, "b");
    EXPECT_EQ(form.ControlType, "Form");
    EXPECT_TRUE(form.Enabled);
    EXPECT_EQ(form.Width, 0);
    EXPECT_EQ(form.BackColor, 0);
    EXPECT_EQ(form.FontName, "Arial");
    EXPECT_FALSE(state.collControls.contains("a"));
}

TEST(AnalyzeXML, DefaultPicturePathGoesToThePanelState) {
    const auto pathAfter = [](const QString& keys) {
        PanelState state;
        state.strDefaultPicturePath = QStringLiteral("earlier/");
        PanelDefinitionReader(state).AnalyzeXML("<p>" + keys + "</p>");
        return state.strDefaultPicturePath;
    };
    EXPECT_EQ(pathAfter("<DefaultPicturePath>pics</DefaultPicturePath>"), "pics/");
    EXPECT_EQ(pathAfter("<defaultpicturepath>pics/</defaultpicturepath>"), "pics/");
    EXPECT_EQ(pathAfter("<defaultpicturepath>pics\\studio</defaultpicturepath>"), "pics/studio/");
    EXPECT_EQ(pathAfter("<defaultpicturepath>C:\\Panels</defaultpicturepath>"), "C:\\Panels\\");
    EXPECT_EQ(pathAfter("<defaultpicturepath></defaultpicturepath>"), "");
    EXPECT_EQ(pathAfter("<name>x</name>"), "earlier/");
}

TEST(AnalyzeXML, ListsCommentsNamelessAndDuplicateControls) {
    PanelState state;
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(QStringLiteral(R"(<panel>
      <controllist>
        <c><type>button</type><name>First</name><caption>one</caption></c>
        <!-- a comment is a control of its own -->
        <c><type>label</type><name>FIRST</name><caption>two</caption></c>
      </controllist>
      <name>P</name>
      <ControlList>
        <c><type>textbox</type><name>Second</name></c>
        <c><type>label</type></c>
        <c><type>mystery</type><name>Odd</name></c>
      </ControlList>
    </panel>)")));
    EXPECT_EQ(keysInOrder(state), QStringList({"first", "", "second", "odd", "p"}));
    EXPECT_EQ(record(state, "first").Caption, "one"); // the second "first" was dropped
    // The comment registered first under the empty key: no type, no name; the nameless
    // label after it was dropped.
    EXPECT_EQ(record(state, "").ControlType, "");
    EXPECT_EQ(record(state, "").Name, "");
    EXPECT_EQ(record(state, "odd").ControlType, "mystery");
}

TEST(AnalyzeXML, ControlsBeyondTheBoundOfOneDeliveryAreSkipped) {
    // Over two control lists, so that the bound holds for the delivery, not for one list.
    const int half = PanelLimits::kMaxControlsPerDelivery / 2;
    const auto list = [](int from, int count) {
        QString xml = QStringLiteral("<controllist>");
        for (int i = from; i < from + count; ++i) {
            xml += QStringLiteral("<c><name>c%1</name></c>").arg(i);
        }
        return xml + QStringLiteral("</controllist>");
    };
    PanelState state;
    test::LogCapture log;
    const QString lastMeter = QStringLiteral("<controllist><c><name>m</name><type>meter</type>"
                                             "</c></controllist>");
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(
        "<panel><name>P</name>" + list(0, half) + list(half, half + 2) + lastMeter + "</panel>"));
    EXPECT_EQ(state.collControls.size(), PanelLimits::kMaxControlsPerDelivery + 1); // and form
    EXPECT_TRUE(state.collControls.contains(QStringLiteral("c%1").arg(2 * half - 1)));
    EXPECT_FALSE(state.collControls.contains(QStringLiteral("c%1").arg(2 * half)));
    EXPECT_TRUE(state.collControls.contains("p"));
    EXPECT_EQ(log.warnings("corvane.panel", "3 skipped"), 1);
    // A skipped meter does not join a meter point either.
    EXPECT_FALSE(state.collControls.contains("m"));
    EXPECT_EQ(state.collMeterPointers.size(), 0);
}

TEST(AnalyzeXML, MetersOnOnePointAreJoined) {
    PanelState state;
    const QString definition = QStringLiteral(R"(<panel><controllist>
      <m><type>meter</type><name>M1</name><meterrouternumber>2</meterrouternumber>
         <meterionumber>15</meterionumber><meterissource>true</meterissource></m>
      <m><type>Meter</type><name>M2</name><meterrouternumber>2</meterrouternumber>
         <meterionumber>15</meterionumber><meterissource>false</meterissource></m>
      <m><type>meter</type><name>NoPoint</name></m>
      <m><type>meterfader</type><name>F1</name><meterrouternumber>2</meterrouternumber>
         <meterionumber>15</meterionumber><meterissource>yes</meterissource></m>
      <m><type>meter</type><name>m1</name><meterrouternumber>2</meterrouternumber>
         <meterionumber>15</meterionumber></m>
      <m><type>meterhold</type><name>Hold</name><meterrouternumber>9</meterrouternumber></m>
    </controllist></panel>)");
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(definition));
    // A point moves to the end when a name joins it. The duplicate m1 (a destination by
    // default) is dropped as a record but still joins its point.
    const QStringList joined({"0_0_True=NoPoint", "2_15_False=M1||F1", "2_15_True=M2||m1"});
    EXPECT_EQ(meterPoints(state), joined);
    EXPECT_EQ(record(state, "m1").Name, "M1");
    EXPECT_TRUE(record(state, "m1").boolMeterIsSource);

    // Every reconnection delivers the panel again: each name stays listed once per point.
    for (int delivery = 2; delivery <= 5; ++delivery) {
        ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(definition));
    }
    EXPECT_EQ(meterPoints(state), joined);
}

TEST(AnalyzeXML, ClockAndCodecControlKeepTheirWholeElement) {
    PanelState state;
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(QStringLiteral(R"(<panel><controllist>
      <clock><type>TSClock</type><name>Clock</name>
        <face mode="digital">24h &amp; date</face></clock>
      <codec><type>codeccontrol</type><name>Codec</name></codec>
      <b><type>button</type><name>B</name></b>
    </controllist></panel>)")));
    QDomDocument clock;
    ASSERT_TRUE(clock.setContent(record(state, "clock").strIngestXML));
    EXPECT_EQ(clock.documentElement().tagName(), "clock");
    EXPECT_EQ(clock.documentElement().firstChildElement("face").attribute("mode"), "digital");
    EXPECT_EQ(clock.documentElement().firstChildElement("face").text(), "24h & date");
    EXPECT_TRUE(record(state, "codec").strIngestXML.startsWith("<codec>"));
    EXPECT_EQ(record(state, "b").strIngestXML, "");
}

// A clock built from a definition takes the settings read with it; they must set it up exactly
// as the clock reading its own element does.
TEST(AnalyzeXML, ClockSettingsReadWithTheDefinitionEqualTheClocksOwnReading) {
    const char* clocks[] = {
        "<Clock><Type>TSClock</Type><Name>c</Name><LEFT> 1500 </LEFT><Top>300</Top>"
        "<Width>2880</Width><height>1440</height><Style>Analogue</Style>"
        "<BackColor>&amp;HFF0000</BackColor><forecolor>Yellow</forecolor>"
        "<ShowSeconds>False</ShowSeconds></Clock>",
        "<c><type>tsclock</type><name>c</name><face><![CDATA[ digital ]]></face>"
        "<forecolor>2<!-- a note -->55</forecolor><showseconds> <x>1</x> </showseconds>"
        "<width>0</width></c>",
        "<c><type>tsclock</type><name>c</name><clockface>1</clockface><face>sundial</face>"
        "<p:backcolor>Red</p:backcolor><backcolor>  </backcolor></c>",
    };
    for (const char* clockXml : clocks) {
        PanelState state;
        ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(
            QStringLiteral("<panel><controllist>%1</controllist></panel>").arg(clockXml)));
        const clsUPControl& read = record(state, "c");
        TSClockInterop fromDefinition;
        fromDefinition.Ingest(read.ingestSettings);
        TSClockInterop fromOwnText;
        ASSERT_TRUE(fromOwnText.IngestXML(read.strIngestXML));
        EXPECT_EQ(fromDefinition.geometry(), fromOwnText.geometry()) << clockXml;
        EXPECT_EQ(fromDefinition.face(), fromOwnText.face()) << clockXml;
        EXPECT_EQ(fromDefinition.backColor(), fromOwnText.backColor()) << clockXml;
        EXPECT_EQ(fromDefinition.foreColor(), fromOwnText.foreColor()) << clockXml;
        EXPECT_EQ(fromDefinition.showSeconds(), fromOwnText.showSeconds()) << clockXml;
    }
}

TEST(AnalyzeXML, NotWellFormedRegistersTheFormRecordOnly) {
    for (const QString& definition : {QStringLiteral(""), QStringLiteral("<panel><name>X</name>"),
                                      QStringLiteral("plain text"), QStringLiteral("<a></b>")}) {
        PanelState state;
        EXPECT_TRUE(PanelDefinitionReader(state).AnalyzeXML(definition));
        ASSERT_EQ(keysInOrder(state), QStringList({""}));
        EXPECT_EQ(record(state, "").ControlType, "Form");
        EXPECT_TRUE(record(state, "").Enabled);
    }
}

TEST(AnalyzeXML, AConversionErrorStopsTheDelivery) {
    const struct {
        const char* name;
        QString definition;
        QStringList keys;
    } cases[] = {
        {"panel height",
         "<p><name>P</name><controllist><c><name>A</name></c></controllist>"
         "<height>40000</height><controllist><c><name>B</name></c></controllist></p>",
         {"a"}},
        {"control height",
         "<p><name>P</name><controllist><c><name>A</name></c><c><name>B</name><height>40000"
         "</height></c><c><name>C</name></c></controllist></p>",
         {"a"}},
        {"decay rate",
         "<p><controllist><c><name>A</name></c><c><decayrate>40000</decayrate></c></controllist>"
         "</p>",
         {"a"}},
        {"meter router",
         "<p><controllist><c><type>meter</type><name>M</name><meterrouternumber>1"
         "</meterrouternumber></c><c><type>meter</type><name>N</name><meterrouternumber>abc"
         "</meterrouternumber></c></controllist></p>",
         {"m"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelState state;
        EXPECT_FALSE(PanelDefinitionReader(state).AnalyzeXML(c.definition));
        EXPECT_EQ(keysInOrder(state), c.keys); // no form record
    }
    PanelState state;
    PanelDefinitionReader(state).AnalyzeXML(cases[3].definition);
    EXPECT_EQ(meterPoints(state), QStringList({"1_0_True=M"}));
}

TEST(AnalyzeXML, ASecondDeliveryMergesIntoThePanel) {
    PanelState state;
    PanelDefinitionReader reader(state);
    ASSERT_TRUE(reader.AnalyzeXML(QStringLiteral(
        "<p><name>P</name><width>100</width><controllist>"
        "<c><type>meter</type><name>M</name><meterrouternumber>1</meterrouternumber>"
        "<meterionumber>2</meterionumber></c><c><name>A</name><caption>old</caption></c>"
        "</controllist></p>")));
    ASSERT_TRUE(reader.AnalyzeXML(QStringLiteral(
        "<p><name>p</name><width>200</width><controllist>"
        "<c><type>meter</type><name>M</name><meterrouternumber>1</meterrouternumber>"
        "<meterionumber>2</meterionumber></c><c><name>A</name><caption>new</caption></c>"
        "<c><name>B</name></c></controllist></p>")));
    EXPECT_EQ(keysInOrder(state), QStringList({"m", "a", "p", "b"}));
    EXPECT_EQ(record(state, "a").Caption, "old");
    EXPECT_EQ(record(state, "p").Width, 100);
    EXPECT_EQ(meterPoints(state), QStringList({"1_2_True=M"})); // listed once per point
}

// An engineer at the desk sees in the log why a delivered panel is empty or lacks a control:
// which field of which control, at which line of the definition.
TEST(AnalyzeXML, TheLogTellsWhyAPanelIsEmptyOrLacksAControl) {
    const struct {
        const char* name;
        QString definition;
        QStringList log;
    } cases[] = {
        {"a control field out of range",
         "<p><name>P</name>\n<controllist>\n<c><type>button</type><name>Mic1</name>\n"
         "<left>40000</left></c>\n</controllist></p>",
         {"warning: Nothing is built from a panel definition: button \"Mic1\", line 4: left "
          "40000 is beyond 32767 twips"}},
        {"a panel key out of range",
         "<p>\n<name>P</name>\n<height>-40000</height></p>",
         {"warning: Nothing is built from a panel definition: the panel, line 3: height "
          "-40000 is below -32768 twips"}},
        {"a number that is none",
         "<p><controllist>\n<c><type>meter</type><meterrouternumber>two</meterrouternumber>"
         "</c></controllist></p>",
         {"warning: Nothing is built from a panel definition: meter \"\", line 2: "
          "meterrouternumber \"two\" is not a number"}},
        {"a selection index out of range",
         "<p><controllist><c><type>dropdown</type><name>L</name><listindex>99999.5</listindex>"
         "</c></controllist></p>",
         {"warning: Nothing is built from a panel definition: dropdown \"L\", line 1: "
          "listindex 99999.5 is beyond 32767"}},
        {"a whole number out of range",
         "<p><controllist><c><decayrate> -40000 </decayrate></c></controllist></p>",
         {"warning: Nothing is built from a panel definition: control \"\", line 1: decayrate "
          "-40000 is below -32768"}},
        {"not well-formed",
         "<p>\n<name>P</nam></p>",
         {"warning: A panel definition that is not well-formed XML (line 2, column 13: Opening "
          "and ending tag mismatch.): none of it is read"}},
        {"beyond the limits",
         "<!DOCTYPE p [<!ENTITY x 'y'>]>\n<p/>",
         {"warning: A panel definition beyond the client's limits (line 1, column 1: a document "
          "type declaration with an internal subset, where entities would be declared): none "
          "of it is read"}},
        {"skipped and dropped controls",
         "<p><name>P</name><controllist>\n<c><type>slider</type><name>Gain</name></c>\n"
         "<c><name>Untyped</name></c>\n<c><type>codeccontrol</type><name>Codec</name></c>\n"
         "<c><type>button</type><name>Mic1</name></c>\n<c><type>label</type><name>MIC1</name>"
         "</c>\n<!-- nameless -->\n<c><type>label</type></c>\n<c><type>label</type><name>p"
         "</name></c>\n</controllist></p>",
         {"info: Control \"Gain\" at line 2 is not shown: its type \"slider\" is unknown",
          "info: Control \"Untyped\" at line 3 is not shown: it has no type",
          "info: label \"MIC1\" at line 6 is dropped: its name is taken by the control at line 5",
          "info: label \"\" at line 8 is dropped: its name is taken by the control at line 7",
          "warning: The panel's name \"P\" is taken by what stands at line 9: the window is not "
          "sized, coloured or named from this definition"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelState state;
        test::LogCapture log;
        PanelDefinitionReader(state).AnalyzeXML(c.definition);
        EXPECT_EQ(log.lines("corvane.panel"), c.log);
    }
}

TEST(AnalyzeXML, ASecondDeliveryLogsNoNamesAsTaken) {
    // A reconnection delivers the whole panel again: every name is held since the first, and
    // that is how a delivery merges, not a fault of the definition.
    const QString definition =
        "<p><name>P</name><controllist><c><type>button</type><name>Mic1</name></c>"
        "<c><type>slider</type><name>Gain</name></c></controllist></p>";
    PanelState state;
    {
        test::LogCapture first;
        PanelDefinitionReader(state).AnalyzeXML(definition);
        EXPECT_EQ(first.lines("corvane.panel").size(), 1); // the unknown type
    }
    test::LogCapture log;
    PanelDefinitionReader(state).AnalyzeXML(definition);
    EXPECT_EQ(log.lines("corvane.panel"), QStringList());
}

TEST(AnalyzeXML, TheLogListsAFewDozenSkippedControlsAtMost) {
    QString definition = "<p><controllist>";
    for (int i = 0; i < 100; ++i) {
        definition += QStringLiteral("<c><type>slider</type><name>s%1</name></c>").arg(i);
    }
    PanelState state;
    test::LogCapture log;
    PanelDefinitionReader(state).AnalyzeXML(definition + "</controllist></p>");
    const QStringList lines = log.lines("corvane.panel");
    ASSERT_EQ(lines.size(), PanelReadLog::kMaxControlLines + 1);
    EXPECT_TRUE(lines.last().contains("go unlisted"));
}
