#include "runtime/FolderIndex.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace corvane {

namespace {

// Folders kept at most; a panel names its pictures in a handful.
constexpr qsizetype kMaxFolders = 64;

class FolderListings {
public:
    // The entry of the folder whose name matches without regard to case: the exact name
    // when present, else the first in sorted order. Empty when none.
    QString entry(const QString& folder, const QString& name) {
        const QMutexLocker lock(&m_mutex);
        const QDateTime stamp = QFileInfo(folder).lastModified();
        auto found = m_folders.find(folder);
        if (found == m_folders.end() || found->stamp != stamp) {
            if (m_folders.size() >= kMaxFolders) {
                m_folders.clear();
            }
            found = m_folders.insert(folder, list(folder, stamp));
        }
        return found->byFoldedName.value(name.toCaseFolded());
    }

private:
    struct Listing {
        QDateTime stamp;
        QHash<QString, QString> byFoldedName;
    };

    static Listing list(const QString& folder, const QDateTime& stamp) {
        Listing listing{stamp, {}};
        const QStringList names = QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        // Several names that differ only in case: the first in sorted order answers.
        for (auto it = names.crbegin(); it != names.crend(); ++it) {
            listing.byFoldedName.insert(it->toCaseFolded(), *it);
        }
        return listing;
    }

    QMutex m_mutex;
    QHash<QString, Listing> m_folders;
};

FolderListings& listings() {
    static FolderListings instance;
    return instance;
}

} // namespace

QString FindFileIgnoringCase(const QString& folder, const QString& relativeName) {
    const QStringList parts = relativeName.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (folder.isEmpty() || parts.isEmpty()) {
        return {};
    }
    QString path = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        QString name = parts[i];
        const QFileInfo exact(path + name);
        if (!(last ? exact.isFile() : exact.isDir())) {
            name = listings().entry(path, name);
            if (name.isEmpty()) {
                return {};
            }
        }
        path += name;
        if (!last) {
            path += QLatin1Char('/');
        }
    }
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace corvane
