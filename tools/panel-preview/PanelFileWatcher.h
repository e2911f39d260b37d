#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace corvane::demo {

// Watches one panel definition file and reports its new content each time it is saved.
// Editors save either in place or by writing a new file and renaming it over the old one
// (which ends a watch on the file itself), so the folder is watched too and the file is
// watched again whenever it reappears. Bursts of changes are gathered into one report, and a
// save that leaves the content as it was reports nothing.
class PanelFileWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 150;

    explicit PanelFileWatcher(const QString& path, QObject* parent = nullptr);

    QString path() const { return m_path; }
    // The content last read (at construction, then at every report).
    const QByteArray& content() const { return m_content; }

signals:
    void changed(const QByteArray& content);

private:
    void onSomethingChanged();
    void check();
    void watchFile();
    bool readFile(QByteArray& content) const;

    QString m_path;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QByteArray m_content;
};

} // namespace corvane::demo
