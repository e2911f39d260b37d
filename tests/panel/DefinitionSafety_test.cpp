#include "panel/ControlReader.h"
#include "panel/DefinitionXml.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"

#include <QDomDocument>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// Whatever the definition, reading it ends quickly and leaves at most the form record. Over a
// panel that is up it leaves nothing: a nameless form record would take the panel's name away.
void expectFormRecordOnly(const QString& definition, qint64 withinMs = 2000) {
    PanelState state;
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(PanelDefinitionReader(state).AnalyzeXML(definition));
    EXPECT_LT(timer.elapsed(), withinMs);
    ASSERT_EQ(state.collControls.size(), 1);
    EXPECT_EQ(state.collControls.begin()->value->ControlType, "Form");
    EXPECT_EQ(state.collControls.begin()->value->Name, "");

    PanelState up;
    ASSERT_TRUE(PanelDefinitionReader(up).AnalyzeXML(
        QStringLiteral("<p><name>Desk</name><controllist><c><type>label</type><name>L</name></c>"
                       "</controllist></p>")));
    up.windowTag = QStringLiteral("Desk"); // as building the panel sets it
    EXPECT_TRUE(PanelDefinitionReader(up).AnalyzeXML(definition));
    EXPECT_EQ(up.collControls.size(), 2);
    EXPECT_EQ(up.collControls.find(QString()), nullptr);
}

QString entityBomb() {
    QString xml = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY l0 \"lol\">");
    for (int i = 1; i <= 9; ++i) {
        xml += QStringLiteral("<!ENTITY l%1 \"").arg(i);
        for (int j = 0; j < 10; ++j) {
            xml += QStringLiteral("&l%1;").arg(i - 1);
        }
        xml += QStringLiteral("\">");
    }
    return xml + QStringLiteral("]><p><name>&l9;</name><controllist><c><name>&l9;</name></c>"
                                "</controllist></p>");
}

QString nested(int levels, const QString& inner) {
    return QStringLiteral("<a>").repeated(levels) + inner + QStringLiteral("</a>").repeated(levels);
}

} // namespace

TEST(DefinitionSafety, TheParserAloneBoundsEachEntityButNotTheirSum) {
    // Why definitions with entity declarations are refused before parsing: the parser stops
    // the classic nested expansion, but a flat entity just under its per-entity limit,
    // referenced many times, grows without bound (here 1,000 times to 4 million characters).
    QDomDocument document;
    EXPECT_FALSE(document.setContent(entityBomb()));
    const QString flat = QStringLiteral("<!DOCTYPE p [<!ENTITY e '") + QString(4000, 'x') +
                         QStringLiteral("'>]><p>") + QStringLiteral("&e;").repeated(1000) +
                         QStringLiteral("</p>");
    ASSERT_TRUE(document.setContent(flat));
    EXPECT_EQ(document.documentElement().text().size(), 4000 * 1000);
    EXPECT_FALSE(IsWithinDefinitionLimits(flat));
}

TEST(DefinitionSafety, EntityExpansionIsRefused) {
    expectFormRecordOnly(entityBomb());
    // Many references to one entity just under the parser's own expansion limit would grow a
    // small text into hundreds of megabytes.
    const QString wide = QStringLiteral("<!DOCTYPE p [<!ENTITY e '") + QString(4000, 'x') +
                         QStringLiteral("'>]><p><caption>") +
                         QStringLiteral("&e;").repeated(100000) + QStringLiteral("</caption></p>");
    expectFormRecordOnly(wide);
    const auto control = GetControl(entityBomb());
    ASSERT_TRUE(control);
    EXPECT_EQ(control->Name, "");
}

TEST(DefinitionSafety, ADocumentTypeWithoutDeclarationsIsRead) {
    PanelState state;
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(
        QStringLiteral("<!DOCTYPE panel SYSTEM \"a[b].dtd\"><panel><name>P</name></panel>")));
    EXPECT_TRUE(state.collControls.contains("p"));
}

TEST(DefinitionSafety, DeepNestingAndManyAttributesAreRefused) {
    expectFormRecordOnly("<p><name>P</name><controllist>" + nested(1000, "<c/>") +
                         "</controllist></p>");
    expectFormRecordOnly("<p><name>P</name>" + nested(200000, "") + "</p>");
    QString tag = QStringLiteral("<p");
    for (int i = 0; i < 300; ++i) {
        tag += QStringLiteral(" a%1='=x'").arg(i);
    }
    expectFormRecordOnly(tag + QStringLiteral("><name>P</name></p>"));

    // Within the limits everything is read, deep as it may be.
    PanelState state;
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(
        "<p><controllist><c><name>C</name><caption>" + nested(200, "deep") +
        "</caption></c></controllist></p>"));
    EXPECT_EQ((*state.collControls.find("c"))->Caption, "deep");
}

TEST(DefinitionSafety, AHugeDefinitionIsRefusedAndALargeCaptionIsRead) {
    const QString huge = QStringLiteral("<p><name>P</name><caption>") +
                         QString(50 * 1000 * 1000, QLatin1Char('x')) +
                         QStringLiteral("</caption></p>");
    expectFormRecordOnly(huge);

    PanelState state;
    const QString caption(4 * 1000 * 1000, QLatin1Char('y'));
    ASSERT_TRUE(PanelDefinitionReader(state).AnalyzeXML(
        "<p><controllist><c><name>C</name><caption>" + caption +
        "</caption></c>"
        "</controllist></p>"));
    EXPECT_EQ((*state.collControls.find("c"))->Caption.size(), caption.size());
}

TEST(DefinitionSafety, RandomBytesEndQuietly) {
    QRandomGenerator random(20240611);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(static_cast<int>(random.bounded(1, 20000)), Qt::Uninitialized);
        for (char& b : bytes) {
            b = static_cast<char>(random.bounded(256));
        }
        if (round % 2 == 1) {
            bytes.prepend("<p><controllist><c>"); // garbage after a plausible start
        }
        expectFormRecordOnly(QString::fromUtf8(bytes));
    }
}

TEST(DefinitionSafety, LimitsScanCountsOnlyRealMarkup) {
    // Quoted ">" and "=" and markup inside comments or character data do not count.
    QString quoted = QStringLiteral("<p a='>' b=\"=>\">");
    EXPECT_TRUE(IsWithinDefinitionLimits(quoted + QStringLiteral("</p>")));
    const QString commented = QStringLiteral("<p><!--") + QStringLiteral("<a>").repeated(300) +
                              QStringLiteral("--><![CDATA[") + QStringLiteral("<b>").repeated(300) +
                              QStringLiteral("]]></p>");
    EXPECT_TRUE(IsWithinDefinitionLimits(commented));
    EXPECT_TRUE(IsWithinDefinitionLimits(nested(DefinitionLimits::kMaxDepth, "")));
    EXPECT_FALSE(IsWithinDefinitionLimits(nested(DefinitionLimits::kMaxDepth + 1, "")));
    EXPECT_TRUE(IsWithinDefinitionLimits(QStringLiteral("<a/>").repeated(1000)));
}
