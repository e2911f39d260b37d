#pragma once

#include "panel/clsUPControl.h"

#include <QDir>
#include <QHash>
#include <QString>

#include <optional>

namespace corvane::demo {

// A button as the studio drives it. A button given a state in its definition latches: each
// push toggles it. Any other button is momentary: lit while it is held.
struct StudioButton {
    QString name; // as the definition writes it
    bool latching = false;
    bool startsOn = false;
};

// One panel definition, read for a panel request.
struct StudioPanel {
    QString name;                         // the panel's own name, by which the client addresses it
    QString title;                        // the window caption the panel asks for, or its name
    QString definition;                   // the file's text, sent as it stands
    QHash<QString, StudioButton> buttons; // keyed by lower-case name
    QList<clsUPControl> records;          // as the client reads them, without their controls
};

// The panels a Core serves: one file "<name>.xml" per panel in one folder. A request names
// the file; letters may differ in case. Files are read at every request, so an edited panel
// is served as it is now.
class PanelCatalog {
public:
    static constexpr qint64 kMaxDefinitionBytes = 32 * 1024 * 1024;

    explicit PanelCatalog(const QDir& folder) : m_folder(folder) {}

    // Nothing for a name that is not a plain file name, for a missing, unreadable or oversize
    // file.
    std::optional<StudioPanel> load(const QString& requestedName) const;

    // A request may name a file in the folder and nothing else: no separators, no leading
    // dot, no control characters.
    static bool isPlainName(const QString& name);

    const QDir& folder() const { return m_folder; }

private:
    QString findFile(const QString& name) const;

    QDir m_folder;
};

} // namespace corvane::demo
