#include "PanelFileWatcher.h"

#include <QFile>
#include <QFileInfo>

namespace corvane::demo {

PanelFileWatcher::PanelFileWatcher(const QString& path, QObject* parent)
    : QObject(parent), m_path(QFileInfo(path).absoluteFilePath()) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PanelFileWatcher::check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this,
            &PanelFileWatcher::onSomethingChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &PanelFileWatcher::onSomethingChanged);
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    watchFile();
    readFile(m_content);
}

void PanelFileWatcher::onSomethingChanged() {
    // An editor may still be writing; read once things have been quiet for a moment.
    m_settle.start();
}

void PanelFileWatcher::watchFile() {
    if (!m_watcher.files().contains(m_path) && QFileInfo::exists(m_path)) {
        m_watcher.addPath(m_path);
    }
}

bool PanelFileWatcher::readFile(QByteArray& content) const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    content = file.readAll();
    return true;
}

void PanelFileWatcher::check() {
    watchFile();
    QByteArray content;
    if (!readFile(content) || content == m_content) {
        return; // gone for the moment (the folder tells when it is back), or unchanged
    }
    m_content = content;
    emit changed(m_content);
}

} // namespace corvane::demo
