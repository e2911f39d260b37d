#include "runtime/CoreMeterData.h"

#include "components/LedMeter.h"
#include "components/MeterFader.h"
#include "meters/MeterRoutes.h"
#include "protocol/ClientProtocolConsts.h"
#include "support/AppGlobals.h"
#include "support/DataMod.h"
#include "support/NumberRules.h"

#include <QStringList>

#include <array>

#include <cmath>
#include <exception>
#include <limits>

namespace corvane {

namespace {

// A gain of -1001 or below says that the Core knows no gain for the fader.
constexpr double kNoGainAtOrBelow = -1001;

// The channel strips of a point.
template <typename Action>
void forEachStrip(MeterRoutes& routes, qint32 router, qint32 io, bool isDest, Action&& action) {
    const MeterRoutes::Route* route = routes.find({router, io, isDest});
    if (route == nullptr) {
        return;
    }
    for (const MeterRoutes::Target& target : *route) {
        if (target.kind != MeterRoutes::Kind::MeterFader) {
            continue;
        }
        if (MeterFader* strip = target.strip()) {
            try {
                action(*strip);
            } catch (const std::exception&) {
                // This strip keeps what it had; the others are handled as usual.
            }
        }
    }
}

bool isTrueWord(const QString& value) {
    return value.toLower() == QLatin1String("true");
}

qint32 requireHexLevel(QStringView digits) {
    const auto level = CoreMeterData::HexLevel(digits);
    if (!level) {
        throw ConversionError("not a hexadecimal level");
    }
    return *level;
}

// The operator has the fader: in the hand, or moved within the lock time.
bool operatorHasFader(const MeterFader& strip) {
    return strip.UserAdjusting() || strip.operatorHolding();
}

// Cuts a text at a separator into views, without copying: up to N pieces, the count found.
template <std::size_t N>
qsizetype splitInto(QStringView text, QChar separator, std::array<QStringView, N>& pieces) {
    qsizetype count = 0;
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text.indexOf(separator, start);
        if (count < qsizetype(N)) {
            pieces[count] = text.sliced(start, (end < 0 ? text.size() : end) - start);
        }
        ++count;
        if (end < 0) {
            return count;
        }
        start = end + 1;
    }
}

} // namespace

std::optional<qint32> CoreMeterData::HexLevel(QStringView digits) {
    const auto value = ParseHexDigits(digits);
    if (!value) {
        return std::nullopt;
    }
    if (digits.size() == 4 && *value >= 0x8000) {
        return static_cast<qint32>(*value - 0x10000);
    }
    return static_cast<qint32>(*value);
}

std::optional<float> CoreMeterData::DecimalGain(QStringView text) {
    // A comma is read as the decimal point; most gains have none, and are read where they lie.
    const auto value = text.contains(QLatin1Char(','))
                           ? ReadsAsNumber(ConvertStringNumToInternat(text.toString(), false))
                           : ReadsAsNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

void CoreMeterData::CheckUPMeterAbilities(qint32 router, qint32 io, bool isDest,
                                          const QString& payload) {
    const QStringList items = payload.split(QLatin1Char(','));
    forEachStrip(m_routes, router, io, isDest, [&items](MeterFader& strip) {
        std::optional<float> minimum;
        std::optional<float> maximum;
        for (const QString& item : items) {
            const QStringList parts = item.split(QLatin1Char('='));
            if (parts.size() != 2) {
                continue;
            }
            const QString key = parts[0].toLower();
            const QString& value = parts[1];
            if (key == QLatin1String("gainmin") || key == QLatin1String("gainmax")) {
                // The Core sends tenths of a dB.
                if (const auto tenths = ReadsAsNumber(value)) {
                    (key == QLatin1String("gainmin") ? minimum : maximum) = float(*tenths / 10);
                }
            } else if (key == QLatin1String("hasonoff")) {
                strip.setHasOnOff(isTrueWord(value));
            } else if (key.size() > 3 && key.startsWith(QLatin1String("pgm"))) {
                const auto bus = ReadsAsNumber(QStringView(key).mid(3));
                if (bus && std::fabs(*bus) < 32768) {
                    strip.setHasPGMBus(ToInt16(*bus), isTrueWord(value));
                }
            }
        }
        if (minimum && maximum) {
            strip.SetGainRange(*minimum, *maximum);
        }
    });
}

void CoreMeterData::CheckUPMeterAddOns(qint32 lngBayNum, qint32 intIO, bool boolIsDest,
                                       const QString& strData) {
    forEachStrip(m_routes, lngBayNum, intIO, boolIsDest, [&strData](MeterFader& strip) {
        const qsizetype last = std::min<qsizetype>(strData.size() + 1, 5);
        for (qsizetype p = 1; p <= last; ++p) {
            const bool on = p <= strData.size() && strData[p - 1] == QLatin1Char('T');
            if (p == 1) {
                strip.setChannelOn(on);
            } else {
                strip.setPGMBusOn(int(p - 1), on);
            }
        }
    });
}

void CoreMeterData::CheckUserFormMeters(const QString& payload) {
    const QChar separator = modClientProtocolConsts::strRecordSeparator.at(0);
    QStringView rest(payload);
    while (true) {
        const qsizetype end = rest.indexOf(separator);
        try {
            applyRecord(end < 0 ? rest : rest.first(end));
        } catch (const std::exception&) {
            // This record only: the readings and gains of the others still count.
        }
        if (end < 0) {
            return;
        }
        rest = rest.sliced(end + 1);
    }
}

void CoreMeterData::applyRecord(QStringView record) {
    std::array<QStringView, 4> fields;
    if (splitInto(record, modClientProtocolConsts::strFieldSeparator.at(0), fields) != 4) {
        return;
    }
    const auto router = ParseHexDigits(fields[0]);
    const auto io = ReadsAsNumber(fields[1]);
    if (!router || !io) {
        return;
    }
    // The third field completes the point's key as it stands, so only True and False (in any
    // letter case) name a point.
    const bool isDest = fields[2].compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    if (!isDest && fields[2].compare(QLatin1String("False"), Qt::CaseInsensitive) != 0) {
        return;
    }
    const MeterRoutes::Route* route = m_routes.find({qint32(*router), ToInt32(*io), isDest});
    if (route == nullptr) {
        return;
    }
    // Peak left, peak right, RMS left, RMS right, gain; more values are ignored.
    std::array<QStringView, 5> values;
    const qsizetype valueCount = splitInto(fields[3], QChar(u':'), values);
    const bool coreMetering = m_globals.boolCoreMeterMode;
    for (const MeterRoutes::Target& target : *route) {
        if (target.kind == MeterRoutes::Kind::Meter) {
            LedMeter* meter = target.meter();
            if (meter && coreMetering) {
                meter->SetPeakLevels(requireHexLevel(values[0]), valueCount > 1
                                                                     ? requireHexLevel(values[1])
                                                                     : requireHexLevel({}));
            }
            continue;
        }
        MeterFader* strip = target.strip();
        if (strip == nullptr) {
            continue;
        }
        if (valueCount < 5) {
            if (coreMetering) {
                strip->SetMeterLevels(
                    requireHexLevel(values[0]),
                    valueCount > 1 ? requireHexLevel(values[1]) : requireHexLevel({}), 0, 0);
            }
            continue;
        }
        if (coreMetering) {
            strip->SetMeterLevels(requireHexLevel(values[0]), requireHexLevel(values[1]),
                                  requireHexLevel(values[2]), requireHexLevel(values[3]));
        }
        if (NumericPrefix(values[4]) > kNoGainAtOrBelow) {
            if (!strip->FaderActive()) {
                strip->setFaderActive(true);
            }
            if (!operatorHasFader(*strip)) {
                const auto gain = DecimalGain(values[4]);
                if (!gain) {
                    throw ConversionError("not a fader gain");
                }
                strip->setFaderLevel(*gain);
            }
        }
    }
}

} // namespace corvane
