#include "PanelCatalog.h"

#include "panel/PanelDefinitionReader.h"
#include "panel/PanelState.h"

#include <QFile>
#include <QFileInfo>

namespace corvane::demo {

namespace {

constexpr qsizetype kMaxNameLength = 200;

void readButtons(const QString& definition, StudioPanel& panel) {
    // Read as the client reads it, so that names and states mean the same on both sides.
    PanelState state;
    PanelDefinitionReader(state).AnalyzeXML(definition);
    for (const auto& entry : state.collControls) {
        const clsUPControl& record = *entry.value;
        panel.records.append(record);
        const QString type = record.ControlType.toLower();
        if (type == QLatin1String("form")) {
            if (panel.name.isEmpty()) {
                panel.name = record.Name;
                panel.title = record.Caption.trimmed().isEmpty() ? record.Name : record.Caption;
            }
        } else if (type == QLatin1String("button") && !record.Name.isEmpty()) {
            const QString state = record.strState.trimmed().toLower();
            panel.buttons.insert(record.Name.toLower(),
                                 StudioButton{record.Name, !record.strState.isEmpty(),
                                              state == QLatin1String("on")});
        }
    }
}

} // namespace

bool PanelCatalog::isPlainName(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxNameLength || name.startsWith(QLatin1Char('.'))) {
        return false;
    }
    for (QChar c : name) {
        if (c.unicode() < 32 || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c == QLatin1Char(':')) {
            return false;
        }
    }
    return true;
}

QString PanelCatalog::findFile(const QString& name) const {
    const QString wanted = name + QStringLiteral(".xml");
    if (QFileInfo(m_folder.filePath(wanted)).isFile()) {
        return m_folder.filePath(wanted);
    }
    const QStringList files = m_folder.entryList({QStringLiteral("*.xml")}, QDir::Files);
    for (const QString& file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0) {
            return m_folder.filePath(file);
        }
    }
    return {};
}

std::optional<StudioPanel> PanelCatalog::load(const QString& requestedName) const {
    const QString name = requestedName.trimmed();
    if (!isPlainName(name)) {
        return std::nullopt;
    }
    const QString path = findFile(name);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    QFile file(path);
    if (file.size() > kMaxDefinitionBytes || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    StudioPanel panel;
    panel.definition = QString::fromUtf8(file.read(kMaxDefinitionBytes));
    readButtons(panel.definition, panel);
    if (panel.name.isEmpty()) {
        panel.name = name;
        panel.title = name;
    }
    return panel;
}

} // namespace corvane::demo
