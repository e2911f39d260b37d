#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace corvane::bench {

// The program's working folder: a configuration naming a Core nobody listens on, so that the
// window starts up as it does on a site and frames come in as if from the Core.
class ProgramFolder {
public:
    ProgramFolder() : m_previous(QDir::currentPath()) {
        QFile config(m_dir.filePath(QStringLiteral("CVMiniConfig.txt")));
        if (config.open(QIODevice::WriteOnly)) {
            config.write("primaryserverip=127.0.0.1\r\nprimaryserverport=9\r\npanelname=Bench\r\n");
        }
        config.close();
        QDir::setCurrent(m_dir.path());
    }
    ~ProgramFolder() { QDir::setCurrent(m_previous); }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace corvane::bench
