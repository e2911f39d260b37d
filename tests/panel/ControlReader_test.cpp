#include "panel/ControlReader.h"
#include "panel/DefinitionElement.h"

#include "panel/QtPrinting.h"

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// One control element holding a single property element.
clsUPControl readOne(const QString& key, const QString& value) {
    const auto record = GetControl(QStringLiteral("<button><%1>%2</%1></button>").arg(key, value));
    if (!record) {
        ADD_FAILURE() << "conversion error for " << key.toStdString() << "=" << value.toStdString();
        return {};
    }
    return *record;
}

bool endsReading(const QString& key, const QString& value) {
    return !GetControl(QStringLiteral("<c><%1>%2</%1></c>").arg(key, value)).has_value();
}

} // namespace

TEST(GetControl, ReadsAWholeButtonAsTheCoreSendsIt) {
    const auto record = GetControl(QStringLiteral(R"(<Button>
        <TYPE>button</TYPE><Name>Mic1On</Name>
        <left>120</left><top>240.5</top><width>1200</width><height>495px</height>
        <caption>Mic 1 &amp; 2\nOn</caption>
        <backcoloron>Red</backcoloron><backcoloroff>&amp;H00FF00</backcoloroff>
        <forecolor>16777215</forecolor><state>on</state>
        <picture>up.bmp</picture><pictureupon>upon.bmp</pictureupon>
        <picturedownoff>downoff.bmp</picturedownoff><picturedownon>downon.bmp</picturedownon>
        <mousedown>Mic1.Toggle</mousedown><mouseup>Mic1.Release</mouseup>
        <onload>ignored</onload><unknownkey>7</unknownkey>
        <fontname>  Courier New </fontname><fontsize>12.5</fontsize><fontbold>no</fontbold>
        <fontunderline>FALSE</fontunderline><fontitalic>yes</fontitalic>
        <flash> ON </flash><flashpicture>f.bmp</flashpicture>
        <change>c</change><click>k</click><weburl>http://x</weburl>
        <list>a,b</list><listindex>1</listindex><enabled>0</enabled>
    </Button>)"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->ControlType, "button");
    EXPECT_EQ(record->Name, "Mic1On");
    EXPECT_EQ(record->Left, 120);
    EXPECT_EQ(record->Top, 240); // half to even
    EXPECT_EQ(record->Width, 1200);
    EXPECT_EQ(record->Height, 495);
    EXPECT_EQ(record->Caption, "Mic 1 & 2\r\nOn");
    EXPECT_EQ(record->BackColorOn, "255");
    EXPECT_EQ(record->BackColorOff, "65280");
    EXPECT_EQ(record->ForeColor, 16777215);
    EXPECT_EQ(record->strState, "on");
    EXPECT_EQ(record->PictureUpOff, "up.bmp");
    EXPECT_EQ(record->PictureUpOn, "upon.bmp");
    EXPECT_EQ(record->PictureDownOff, "downoff.bmp");
    EXPECT_EQ(record->PictureDownOn, "downon.bmp");
    EXPECT_EQ(record->MouseDown, "Mic1.Toggle");
    EXPECT_EQ(record->MouseUp, "Mic1.Release");
    EXPECT_EQ(record->OnLoad, ""); // a panel key only
    EXPECT_EQ(record->FontName, "Courier New");
    EXPECT_EQ(record->FontSize, 12);
    EXPECT_TRUE(record->FontBold);
    EXPECT_FALSE(record->FontUnderline);
    EXPECT_TRUE(record->FontItalic);
    EXPECT_TRUE(record->Flash);
    EXPECT_EQ(record->FlashPicture, "f.bmp");
    EXPECT_EQ(record->Change, "c");
    EXPECT_EQ(record->Click, "k");
    EXPECT_EQ(record->strURL, "http://x");
    EXPECT_EQ(record->List, "a,b");
    EXPECT_EQ(record->ListIndex, 1);
    EXPECT_FALSE(record->Enabled);
}

TEST(GetControl, DefaultsOfARecordReadFromADefinition) {
    const auto record = GetControl(QStringLiteral("<label><type>label</type></label>"));
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->Enabled);
    EXPECT_EQ(record->BackColorOn, "65535");     // yellow even without the key
    EXPECT_EQ(record->BackColorOff, "14737632"); // grey even without the key
    EXPECT_EQ(record->BackColor, 0);
    EXPECT_EQ(record->lngLevelLineColor, 0);
    EXPECT_EQ(record->FontName, "Arial");
    EXPECT_EQ(record->FontSize, 9);
    EXPECT_TRUE(record->FontBold);
    EXPECT_EQ(record->Name, "");

    // Text that is not well-formed gives the same defaults, with nothing read.
    const auto broken = GetControl(QStringLiteral("<label><type>label</type>"));
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->ControlType, "");
    EXPECT_TRUE(broken->Enabled);
    EXPECT_EQ(broken->BackColorOn, "65535");
}

TEST(GetControl, EmptyColourValuesTakeTheirOwnDefaults) {
    EXPECT_EQ(readOne("backcolor", "").BackColor, 14737632);
    EXPECT_EQ(readOne("backcoloron", "").BackColorOn, "65535");
    EXPECT_EQ(readOne("backcoloroff", "").BackColorOff, "14737632");
    EXPECT_EQ(readOne("forecolor", "").ForeColor, 0);
    EXPECT_EQ(readOne("levellinecolor", "").lngLevelLineColor, 14737632);
    EXPECT_EQ(readOne("levellinecolor", "Blue").lngLevelLineColor, 16711680);
    EXPECT_EQ(readOne("backcolor", "nonsense").BackColor, 0);
}

TEST(GetControl, StateTexts) {
    EXPECT_EQ(readOne("buttonstate", "1").strState, "1");
    EXPECT_EQ(readOne("buttonstate", "on").strState, "0");
    EXPECT_EQ(readOne("buttonstate", "2.5").strState, "2.5");
    EXPECT_EQ(readOne("buttonstate", "  -3xyz").strState, "-3");
    EXPECT_EQ(readOne("state", " On ").strState, " On ");
    // The later of two keys wins.
    EXPECT_EQ(GetControl(QStringLiteral("<c><state>on</state><buttonstate>1</buttonstate></c>"))
                  ->strState,
              "1");
}

// The lower-case type is kept between calls; it must follow every way the type is written.
TEST(GetControl, TypeKeyFollowsTheTypeAsItIsWritten) {
    clsUPControl record = readOne("type", "Button");
    EXPECT_EQ(record.typeKey(), "button");
    record.ControlType = QStringLiteral("LABEL");
    EXPECT_EQ(record.typeKey(), "label");
    record.ControlType.append(QLatin1String("X"));
    EXPECT_EQ(record.typeKey(), "labelx");
    clsUPControl copy = record;
    copy.ControlType[0] = QLatin1Char('T');
    EXPECT_EQ(copy.typeKey(), "tabelx");
    EXPECT_EQ(record.typeKey(), "labelx");
    record.ControlType.clear();
    EXPECT_EQ(record.typeKey(), "");
}

TEST(GetControl, CaptionKeepsAmpersandsAndMakesLineBreaks) {
    EXPECT_EQ(readOne("caption", "Save\\nNow").Caption, "Save\r\nNow");
    EXPECT_EQ(readOne("caption", "Save &amp; Exit").Caption, "Save & Exit");
    EXPECT_EQ(readOne("caption", "a\\\\nb").Caption, "a\\\r\nb");
    EXPECT_EQ(readOne("caption", "\\N stays").Caption, "\\N stays");
}

TEST(GetControl, FlashOnlyKnowsOnAndOff) {
    EXPECT_TRUE(readOne("flash", " ON ").Flash);
    EXPECT_FALSE(readOne("flash", "yes").Flash);
    EXPECT_FALSE(GetControl(QStringLiteral("<c><flash>on</flash><flash>off</flash></c>"))->Flash);
    EXPECT_TRUE(GetControl(QStringLiteral("<c><flash>on</flash><flash>maybe</flash></c>"))->Flash);
}

TEST(GetControl, BooleanWords) {
    EXPECT_FALSE(readOne("meterissource", "False").boolMeterIsSource);
    EXPECT_TRUE(readOne("meterissource", "no").boolMeterIsSource);
    EXPECT_TRUE(readOne("meterissource", " false ").boolMeterIsSource); // not trimmed
    EXPECT_TRUE(readOne("fontbold", "no").FontBold);
    EXPECT_FALSE(readOne("fontitalic", "FaLsE").FontItalic);
    EXPECT_FALSE(readOne("enabled", "false").Enabled);
    EXPECT_FALSE(readOne("enabled", "0.0").Enabled);
    EXPECT_TRUE(readOne("enabled", "true").Enabled);
    EXPECT_TRUE(readOne("enabled", "-1").Enabled);
    EXPECT_TRUE(readOne("enabled", "").Enabled);
    EXPECT_TRUE(readOne("hidegainvalue", "7").boolHideGainValue);
    EXPECT_FALSE(readOne("hidegainvalue", "False").boolHideGainValue);
}

TEST(GetControl, MeterScaleAndStyleWords) {
    EXPECT_EQ(readOne("meterscale", "British").mtrScale, MeterScaleBritish);
    EXPECT_EQ(readOne("meterscale", "STANDARD").mtrScale, MeterScaleStandard);
    EXPECT_EQ(readOne("meterscale", "log").mtrScale, MeterScaleLinear);
    EXPECT_EQ(GetControl(QStringLiteral(
                             "<c><meterscale>british</meterscale><meterscale>log</meterscale></c>"))
                  ->mtrScale,
              MeterScaleBritish);
    EXPECT_EQ(readOne("meterscale", " british").mtrScale, MeterScaleLinear); // no trimming
    EXPECT_EQ(readOne("meterstyle", "Gradient").mtrStyle, MeterStyleGradient);
    EXPECT_EQ(
        GetControl(
            QStringLiteral("<c><meterstyle>gradient</meterstyle><meterstyle>led</meterstyle></c>"))
            ->mtrStyle,
        MeterStyleLed);
}

TEST(GetControl, MeterPointNumbersMustBeNumbers) {
    EXPECT_EQ(readOne("meterrouternumber", " 2 ").lngMeterRTRNum, 2);
    EXPECT_EQ(readOne("meterionumber", "&amp;H10").lngMeterIONum, 16);
    EXPECT_EQ(readOne("meterionumber", "14.5").lngMeterIONum, 14);
    EXPECT_EQ(readOne("meterionumber", "2147483647").lngMeterIONum, 2147483647);
    EXPECT_TRUE(endsReading("meterrouternumber", "abc"));
    EXPECT_TRUE(endsReading("meterrouternumber", ""));
    EXPECT_TRUE(endsReading("meterionumber", "12a"));
    EXPECT_TRUE(endsReading("meterionumber", "2147483648"));
}

TEST(GetControl, DecayRateCenterPadAndFaderNominal) {
    EXPECT_EQ(readOne("decayrate", "fast").intDecayRate, 0);
    EXPECT_EQ(readOne("decayrate", "").intDecayRate, 0);
    EXPECT_EQ(readOne("decayrate", "12").intDecayRate, 12);
    EXPECT_EQ(readOne("decayrate", "12abc").intDecayRate, 0); // not a number as a whole
    EXPECT_EQ(readOne("centerpad", "-4").intCenterPad, -4);
    EXPECT_TRUE(endsReading("decayrate", "40000"));
    EXPECT_TRUE(endsReading("centerpad", "-32769"));
    EXPECT_FLOAT_EQ(readOne("fadernominal", "2.5").sngFaderNominal, 2);
    EXPECT_FLOAT_EQ(readOne("fadernominal", "-10.5").sngFaderNominal, -10);
    EXPECT_FLOAT_EQ(readOne("fadernominal", "3.7").sngFaderNominal, 4);
    EXPECT_FLOAT_EQ(readOne("fadernominal", "loud").sngFaderNominal, 0);
    EXPECT_TRUE(endsReading("fadernominal", "99999"));
}

TEST(GetControl, SizesAndPositionsAreSixteenBit) {
    EXPECT_EQ(readOne("width", "abc").Width, 0);
    EXPECT_EQ(readOne("width", "32767").Width, 32767);
    EXPECT_EQ(readOne("left", "-32768").Left, -32768);
    EXPECT_EQ(readOne("height", "&amp;H7FFF").Height, 32767);
    EXPECT_EQ(readOne("listindex", "-1").ListIndex, -1);
    EXPECT_EQ(readOne("left", "\n    1500\n  ").Left, 1500); // pretty-printed
    EXPECT_EQ(readOne("top", "\r\n\t-30\r\n").Top, -30);
    EXPECT_TRUE(endsReading("height", "40000"));
    EXPECT_TRUE(endsReading("width", "32767.5")); // rounds to 32768
    EXPECT_TRUE(endsReading("top", "-40000"));
    EXPECT_TRUE(endsReading("left", "1e10"));
    EXPECT_TRUE(endsReading("listindex", "65536"));
}

TEST(GetControl, FontSizeNeverFails) {
    EXPECT_EQ(readOne("fontsize", "12.5").FontSize, 12);
    EXPECT_EQ(readOne("fontsize", "13.5").FontSize, 14);
    EXPECT_EQ(readOne("fontsize", "abc").FontSize, 0);
    EXPECT_EQ(readOne("fontsize", "99999999999").FontSize, 9);
    EXPECT_EQ(readOne("fontsize", "1e400").FontSize, 9);
}

TEST(GetControl, KeyNamesAreCaseInsensitiveAndCommentsAreSkipped) {
    const auto record =
        GetControl(QStringLiteral("<c><!-- note --><NAME>A</NAME>text<?pi x?><MeterRouterNumber>3"
                                  "</MeterRouterNumber><caption>x<!-- c -->y</caption></c>"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Name, "A");
    EXPECT_EQ(record->lngMeterRTRNum, 3);
    EXPECT_EQ(record->Caption, "xy");
}

namespace {

// Every field that reading can set, as text, to compare two records as a whole.
QStringList fields(const clsUPControl& r) {
    return {r.ControlType,
            r.Name,
            QString::number(r.Width),
            QString::number(r.Height),
            QString::number(r.Left),
            QString::number(r.Top),
            QString::number(r.BackColor),
            QString::number(r.ForeColor),
            r.PictureUpOff,
            r.PictureUpOn,
            r.PictureDownOff,
            r.PictureDownOn,
            r.Caption,
            r.FlashPicture,
            QString::number(r.Flash),
            r.List,
            QString::number(r.ListIndex),
            r.Change,
            r.Click,
            r.MouseDown,
            r.MouseUp,
            r.OnLoad,
            QString::number(r.Enabled),
            r.BackColorOn,
            r.BackColorOff,
            r.strState,
            r.strURL,
            QString::number(r.lngMeterIONum),
            QString::number(r.boolMeterIsSource),
            QString::number(r.lngMeterRTRNum),
            QString::number(r.mtrScale),
            QString::number(r.mtrStyle),
            QString::number(r.lngLevelLineColor),
            QString::number(r.intDecayRate),
            QString::number(r.intCenterPad),
            QString::number(r.sngFaderNominal),
            QString::number(r.boolHideGainValue),
            r.FontName,
            QString::number(r.FontSize),
            QString::number(r.FontBold),
            QString::number(r.FontUnderline),
            QString::number(r.FontItalic)};
}

} // namespace

TEST(GetControl, ReadingInPlaceEqualsReadingTheNodesOwnText) {
    const QString definition = QStringLiteral(R"(<p><controllist>
      <b><type>button</type><name>B &amp; C</name><caption>one&#13;two\nthree]]&gt;</caption>
         <width> 12.5 </width><backcoloron>&amp;HFF</backcoloron><flash>on</flash>
         <fontsize>99999999999</fontsize><!-- note --><state><![CDATA[<on>]]></state></b>
      <!-- a comment -->
      <?instruction data?>
      stray text
      <m><type>meter</type><meterrouternumber>7</meterrouternumber><meterscale>standard</meterscale>
         <levellinecolor/><fadernominal>3.7</fadernominal><meterissource>no</meterissource></m>
      <x:c xmlns:x="urn:x"><x:name>prefixed</x:name><name>plain</name></x:c>
    </controllist></p>)");
    DefinitionDocument document;
    ASSERT_TRUE(document.setContent(definition));
    const DefinitionElement list = document.root().firstChildElement();
    int compared = 0;
    for (DefinitionElement node = list.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QString text = node.source().toString();
        const auto inPlace = ReadControlNode(node);
        const auto fromText = GetControl(text);
        ASSERT_TRUE(inPlace && fromText);
        EXPECT_EQ(fields(*inPlace), fields(*fromText)) << text.toStdString();
        ++compared;
    }
    EXPECT_EQ(compared, 6);
}
