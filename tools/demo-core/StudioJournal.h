#pragma once

#include "StudioState.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <optional>

namespace corvane::demo {

// The studio's changes in a file that several Cores share, one line a change: each Core
// appends its own changes and reads those of the others, so that whichever Core serves a
// client serves the same studio, and a Core started again finds the studio as it was. Lines
// carry the writer's mark, so that a Core skips its own. The file is bounded: beyond its limit
// changes are no longer written.
class StudioJournal {
public:
    static constexpr qint64 kMaxBytes = 512LL * 1024 * 1024;
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;

    // writer: this Core's mark, different for every run of every Core.
    StudioJournal(const QString& path, const QString& writer);

    bool open();
    QString errorString() const { return m_file.errorString(); }

    // Appends one change of this Core's.
    void append(const StudioChange& change);
    // The changes other writers added since the last read, oldest first; the first read gives
    // everything in the file.
    QList<StudioChange> readOthers();

    static QByteArray encode(const QString& writer, const StudioChange& change);
    // The writer and the change of one line (without its end); nothing for a damaged line.
    static std::optional<std::pair<QString, StudioChange>> decode(const QByteArray& line);

private:
    QString m_writer;
    QFile m_file;   // appended to
    QFile m_reader; // read from where the last read stopped
    QByteArray m_partial;
    bool m_full = false;
};

} // namespace corvane::demo
