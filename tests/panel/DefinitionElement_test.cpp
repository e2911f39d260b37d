#include "panel/DefinitionElement.h"

#include "panel/QtPrinting.h"

#include <QDomDocument>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// Qt's DOM over the same parser is the reference: what the definition's element tree gives
// (success, the parser's error and where, names, text, places, which nodes stand in a list)
// must be what the DOM gives, node for node.
void expectSameNode(const QDomNode& dom, const DefinitionElement& ours, bool standsAlone) {
    ASSERT_FALSE(ours.isNull());
    EXPECT_EQ(ours.isElement(), dom.isElement());
    EXPECT_EQ(ours.line(), dom.lineNumber());
    EXPECT_EQ(ours.column(), dom.columnNumber());
    if (!dom.isElement()) {
        EXPECT_EQ(ours.text(), dom.isText() ? dom.nodeValue() : QString());
        EXPECT_EQ(ours.key(), "");
        return;
    }
    EXPECT_EQ(ours.name(), dom.nodeName());
    EXPECT_EQ(ours.key(), dom.nodeName().toLower().trimmed());
    EXPECT_EQ(ours.text(), dom.toElement().text());
    // The element's own text, read on its own, is the same element; unless it refers to
    // entities that only its document's type declares.
    EXPECT_TRUE(ours.source().startsWith(u'<' + dom.nodeName()));
    EXPECT_TRUE(ours.source().endsWith(u'>'));
    if (standsAlone) {
        QDomDocument alone;
        EXPECT_TRUE(alone.setContent(ours.source().toString()))
            << ours.source().toString().toStdString();
        EXPECT_EQ(alone.documentElement().nodeName(), dom.nodeName());
        EXPECT_EQ(alone.documentElement().text(), dom.toElement().text());
    }

    DefinitionElement child = ours.firstChild();
    for (QDomNode node = dom.firstChild(); !node.isNull(); node = node.nextSibling()) {
        SCOPED_TRACE(dom.nodeName().toStdString() + "/" + node.nodeName().toStdString());
        ASSERT_FALSE(child.isNull()) << "fewer children than the DOM has";
        expectSameNode(node, child, standsAlone);
        child = child.nextSibling();
    }
    EXPECT_TRUE(child.isNull()) << "more children than the DOM has";

    DefinitionElement element = ours.firstChildElement();
    for (QDomElement node = dom.firstChildElement(); !node.isNull();
         node = node.nextSiblingElement()) {
        ASSERT_FALSE(element.isNull());
        EXPECT_EQ(element.name(), node.nodeName());
        element = element.nextSiblingElement();
    }
    EXPECT_TRUE(element.isNull());
}

// Whether the text was read.
bool expectAsTheDom(const QString& xml) {
    SCOPED_TRACE(xml.left(200).toStdString());
    QDomDocument dom;
    QString message;
    int line = 0;
    int column = 0;
    const bool domRead = dom.setContent(xml, &message, &line, &column);

    DefinitionDocument ours;
    DefinitionParseError error;
    EXPECT_EQ(ours.setContent(xml, &error), domRead);
    if (!domRead) {
        EXPECT_EQ(error.message, message);
        EXPECT_EQ(error.line, line);
        EXPECT_EQ(error.column, column);
        EXPECT_TRUE(ours.root().isNull());
        return false;
    }
    expectSameNode(dom.documentElement(), ours.root(), !xml.contains(QLatin1String("<!DOCTYPE")));
    EXPECT_TRUE(ours.root().nextSibling().isNull());
    return true;
}

const QString kPanel = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!-- before the root -->\r\n"
    "<Panel a='1 > 0' b=\"x\">\r\n"
    "\t<Name>Studio&#32;1</Name><width> 9000 </width>\r\n"
    "  <caption>A &amp; B <![CDATA[<C>]]> &#x44;&lt;E</caption>\r\n"
    "  <controllist>\r\n"
    "    <c><type>button</type><name>Mic &#13;1</name><left>\n  120\n</left>\r\n"
    "       <caption>x<!-- c -->y<?pi z?>w</caption><empty/><blank>  </blank></c>\r\n"
    "    <!-- a comment -->\r\n"
    "    <?instruction data?>\r\n"
    "    stray text\r\n"
    "    <![CDATA[   ]]><![CDATA[ data ]]>\r\n"
    "    <clock><type>tsclock</type><face mode=\"a\"><f>HH</f>:<f>mm</f></face></clock>\r\n"
    "    <x:c xmlns:x=\"urn:x\"><x:name>prefixed</x:name><Ä>ümlaut 😀</Ä></x:c>\r\n"
    "    <c>\u00a0</c><c>\u00a0x\u2003</c>\r\n"
    "  </controllist>\r\n"
    "</Panel>\r\n"
    "<!-- after the root -->\r\n");

} // namespace

TEST(DefinitionElement, ReadsAsQtsDomReadsTheSameText) {
    const QString cases[] = {
        kPanel,
        QChar(0xfeff) + kPanel, // a byte-order mark
        // A lone surrogate, which the parser reads as a replacement character.
        QStringLiteral("<a><b>x") + QChar(0xd800) + QStringLiteral("y</b><c>z</c></a>"),
        QStringLiteral("<a/>"),
        QStringLiteral("<a>text</a>"),
        QStringLiteral("<a><b/><c></c>  <d>1</d></a>"),
        QStringLiteral("<!DOCTYPE p SYSTEM \"p.dtd\"><p><n>&unknown;</n><n>a&amp;b</n></p>"),
        QStringLiteral("<a><b><c><d>deep</d>er</c></b></a>"),
        // Not well-formed: the parser's message, line and column.
        QStringLiteral(""),
        QStringLiteral("plain text"),
        QStringLiteral("<a></b>"),
        QStringLiteral("<p>\n<name>P</nam></p>"),
        QStringLiteral("<a>"),
        QStringLiteral("<a/><b/>"),
        QStringLiteral("<a>&unknown;</a>"),
        QStringLiteral("<a>\n<b x='1' x='2'/></a>"),
        QStringLiteral("<!DOCTYPE a><!DOCTYPE a><a/>"),
        QStringLiteral("<a>\x01</a>"),
        QStringLiteral("<a><![CDATA[x]]]></a>"),
        QStringLiteral("<x:a><x:b/></x:a>"),
    };
    for (const QString& xml : cases) {
        expectAsTheDom(xml);
    }
}

TEST(DefinitionElement, DamagedDefinitionsReadAsQtsDomReadsThem) {
    // Cuts, doubled markup and stray characters anywhere in a definition.
    QRandomGenerator random(20261208);
    const QString inserts[] = {"<", ">", "&", "</c>", "<c>", "]]>", "<!--", "\n", "&amp;", "x"};
    int read = 0;
    for (int round = 0; round < 300; ++round) {
        QString xml = kPanel;
        for (int change = 0; change < 1 + round % 3; ++change) {
            const auto at = qsizetype(random.bounded(int(xml.size())));
            switch (random.bounded(3)) {
            case 0:
                xml.remove(at, random.bounded(1, 8));
                break;
            case 1:
                xml.insert(at, inserts[random.bounded(int(std::size(inserts)))]);
                break;
            default:
                xml.truncate(at);
                break;
            }
        }
        read += expectAsTheDom(xml) ? 1 : 0;
    }
    // Both kinds are met often enough to compare.
    EXPECT_GT(read, 20);
    EXPECT_LT(read, 280);
}

TEST(DefinitionElement, EmptyAndNullNodesAnswerQuietly) {
    DefinitionDocument document;
    EXPECT_TRUE(document.root().isNull());
    const DefinitionElement null;
    EXPECT_FALSE(null.isElement());
    EXPECT_EQ(null.name(), "");
    EXPECT_EQ(null.text(), "");
    EXPECT_EQ(null.line(), 0);
    EXPECT_TRUE(null.source().isEmpty());
    EXPECT_TRUE(null.firstChild().isNull());
    EXPECT_TRUE(null.nextSiblingElement().isNull());

    // A failed parse leaves nothing of an earlier one.
    ASSERT_TRUE(document.setContent(u"<a><b/></a>"));
    EXPECT_FALSE(document.setContent(u"<a>"));
    EXPECT_TRUE(document.root().isNull());
}
