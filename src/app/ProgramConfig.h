#pragma once

#include "app/ScaleChoice.h"
#include "support/WebRendering.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace corvane {

// What CVMiniConfig.txt gives the program. The defaults are those in force when the file is
// missing: the client then hunts for a Core on the local machine.
struct ProgramData {
    QString strPanelName;
    QString strUserName;
    QString strUserPassword;
    QString strPrimaryHost = QStringLiteral("127.0.0.1");
    // Any TCP port: ports above 32767 are as valid as lower ones, so the number is not held
    // in 16 bits (a high port would otherwise be ignored and the client would hunt elsewhere).
    qint32 intPrimaryPort = 5200;
    // Server entries: host list + "|||" + port list, primary first.
    QStringList collServerEntries;
    // The meter server's port on the Core's host ("meterserverport"); a value that is not a
    // port from 1 to 65535 leaves the usual 9501.
    quint16 intMeterServerPort = 9501;
    // How web views draw ("webrendering": auto, software or opengl).
    WebRendering webRendering = WebRendering::Automatic;
    // "fullscreen=true": the panel starts full screen.
    bool boolFullScreen = false;
    // "panelscale": fit or a factor; none configured leaves the panel at its size in a window.
    std::optional<ScaleChoice> panelScale;
};

enum class ConfigOutcome {
    Loaded,  // read (a bad value may have ended the reading early; what was read stays)
    Missing, // no file or unreadable: the defaults stay
    Empty,   // the file exists but holds nothing: the program must tell the operator and end
};

inline const QString kConfigFileName = QStringLiteral("CVMiniConfig.txt");

// Reads the configuration file into data. onAlwaysOnTop is called for every "alwaysontop=true"
// line at the moment it is read.
ConfigOutcome LoadProgramData(const QString& path, ProgramData& data,
                              const std::function<void()>& onAlwaysOnTop = {});

// The parsing of the file's text, without the file.
void ParseProgramData(const QString& text, ProgramData& data,
                      const std::function<void()>& onAlwaysOnTop = {});

} // namespace corvane
