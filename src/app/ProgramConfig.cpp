#include "app/ProgramConfig.h"

#include "app/TextFile.h"
#include "support/LogCategories.h"
#include "support/NumberRules.h"

#include <cmath>

namespace corvane {

namespace {

void readMeterServerPort(const QString& value, ProgramData& data) {
    const auto number = ReadsAsNumber(value);
    if (number && *number >= 1 && *number <= 65535 && *number == std::floor(*number)) {
        data.intMeterServerPort = static_cast<quint16>(*number);
    }
}

void readPanelScale(const QString& value, ProgramData& data) {
    if (const auto scale = ScaleChoice::fromText(value)) {
        data.panelScale = scale;
    } else {
        qCWarning(lcPanel).noquote()
            << "panelscale" << value << "is neither fit nor a factor from 0.25 to 4: ignored";
    }
}

} // namespace

ConfigOutcome LoadProgramData(const QString& path, ProgramData& data,
                              const std::function<void()>& onAlwaysOnTop) {
    const auto text = ReadTextFile(path);
    if (!text) {
        return ConfigOutcome::Missing;
    }
    if (text->isEmpty()) {
        return ConfigOutcome::Empty;
    }
    ParseProgramData(*text, data, onAlwaysOnTop);
    return ConfigOutcome::Loaded;
}

void ParseProgramData(const QString& text, ProgramData& data,
                      const std::function<void()>& onAlwaysOnTop) {
    QString primaryHost;
    QString primaryPort;
    QString backupHost;
    QString backupPort;
    data.collServerEntries.clear();

    for (const QString& line : SplitTextLines(text)) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            continue;
        }
        // The value is everything after the first "=": a password may well contain one, and a
        // cut one would be refused by the Core for ever without a word to the operator.
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("primaryserverip")) {
            primaryHost = value;
        } else if (key == QLatin1String("primaryserverport")) {
            primaryPort = value;
        } else if (key == QLatin1String("backupserverip")) {
            backupHost = value;
        } else if (key == QLatin1String("backupserverport")) {
            backupPort = value;
        } else if (key == QLatin1String("panelname")) {
            data.strPanelName = value;
        } else if (key == QLatin1String("username")) {
            data.strUserName = value;
        } else if (key == QLatin1String("userpassword")) {
            data.strUserPassword = value;
        } else if (key == QLatin1String("meterserverport")) {
            readMeterServerPort(value, data);
        } else if (key == QLatin1String("webrendering")) {
            if (const auto mode = WebRenderingFromText(value)) {
                data.webRendering = *mode;
            } else {
                qCWarning(lcPanel).noquote()
                    << "webrendering" << value << "is not auto, software or opengl: auto is used";
            }
        } else if (key == QLatin1String("fullscreen")) {
            data.boolFullScreen = value.toLower() == QLatin1String("true");
        } else if (key == QLatin1String("panelscale")) {
            readPanelScale(value, data);
        } else if (key == QLatin1String("alwaysontop")) {
            if (value.toLower() == QLatin1String("true") && onAlwaysOnTop) {
                onAlwaysOnTop();
            }
        }
    }

    const QString separator = QStringLiteral("|||");
    if (!primaryHost.isEmpty() && !primaryPort.isEmpty()) {
        data.collServerEntries.append(primaryHost + separator + primaryPort);
    }
    if (!backupHost.isEmpty() && !backupPort.isEmpty()) {
        data.collServerEntries.append(backupHost + separator + backupPort);
    }
    data.strPrimaryHost = primaryHost;
    try {
        const qint32 port = ToInt32(NumericPrefix(primaryPort));
        if (port < 0 || port > 65535) {
            throw ConversionError("not a TCP port");
        }
        data.intPrimaryPort = port;
    } catch (const ConversionError&) {
        // A port out of range ends the reading; the host and entries read so far stay.
    }
}

} // namespace corvane
