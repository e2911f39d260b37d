#include "panel/ControlReader.h"
#include "panel/ControlTypes.h"
#include "panel/DefinitionXml.h"
#include "panel/FormBuilder.h"
#include "panel/PanelDefinitionReader.h"
#include "panel/PanelLimits.h"
#include "runtime/CommandValues.h"
#include "runtime/PropertyChanges.h"
#include "support/ColorRules.h"

#include <QFile>
#include <QHash>

#include <gtest/gtest.h>

using namespace corvane;

namespace {

// The sections of the panel authors' reference by their "## " headings, in lower case.
QHash<QString, QString> referenceSections() {
    QFile file(QStringLiteral(CORVANE_SOURCE_DIR "/docs/panel-format.md"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QHash<QString, QString> sections;
    QString heading;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith(QLatin1String("## "))) {
            heading = line.mid(3).trimmed().toLower();
        } else {
            sections[heading] += line.toLower() + '\n';
        }
    }
    return sections;
}

} // namespace

// Every key, type and property that the reader and the runtime know is in the reference, in
// its own section and written as code, so that the two cannot drift apart.
TEST(PanelFormatReference, NamesEverythingTheClientKnows) {
    const QHash<QString, QString> sections = referenceSections();
    const struct {
        const char* section;
        QStringList names;
    } tables[] = {
        {"panel keys", PanelKeyNames()},
        {"control types", FormBuilder::BuiltTypes() + KeptUnshownTypes()},
        {"control fields", ControlFieldKeys()},
        {"colours", ColorWords()},
        {"commands and placeholders", CommandPropertyNames()},
        {"what the core can change", ChangeablePropertyNames()},
    };
    for (const auto& table : tables) {
        SCOPED_TRACE(table.section);
        ASSERT_TRUE(sections.contains(table.section)) << "no section";
        ASSERT_FALSE(table.names.isEmpty());
        for (const QString& name : table.names) {
            EXPECT_TRUE(sections[table.section].contains('`' + name.toLower() + '`'))
                << name.toStdString();
        }
    }
}

TEST(PanelFormatReference, GivesTheLimitsTheClientHolds) {
    const QString limits = referenceSections().value("limits");
    const qint64 numbers[] = {
        PanelLimits::kMaxWebViews,
        PanelLimits::kMaxListItems,
        PanelLimits::kMaxControlsPerDelivery,
        DefinitionLimits::kMaxCharacters,
        DefinitionLimits::kMaxMarkup,
        DefinitionLimits::kMaxDepth,
        DefinitionLimits::kMaxAttributesPerTag,
        32767 - FormBuilder::kTitleBarTwips,
    };
    for (const qint64 number : numbers) {
        EXPECT_TRUE(limits.contains(QString::number(number))) << number;
    }
}
