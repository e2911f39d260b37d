#pragma once

#include <QString>

#include <optional>

namespace corvane {

class MeterRoutes;
struct AppGlobals;

// What the Core sends about meter points: the abilities of a channel strip (command 19), its
// on/off and programme-bus states (command 20) and level and fader records (command 22).
// Each goes to the controls that show the point.
class CoreMeterData {
public:
    // globals: whether levels come from the Core (core metering mode).
    CoreMeterData(MeterRoutes& routes, const AppGlobals& globals)
        : m_routes(routes), m_globals(globals) {}

    // Items "key=value" separated by ",": gainmin and gainmax in tenths of a dB (the range is
    // set when both came in this message), hasonoff, and pgm1 to pgm4.
    void CheckUPMeterAbilities(qint32 router, qint32 io, bool isDest, const QString& payload);
    // One character a state, "T" meaning on: the channel, then buses 1 to 4. The position just
    // past the end reads as off; positions beyond it keep their state.
    void CheckUPMeterAddOns(qint32 lngBayNum, qint32 intIO, bool boolIsDest,
                            const QString& strData);
    // Records "router (hex) · I/O · True|False · values" separated by the record separator;
    // values are peak left:peak right[:RMS left:RMS right[:fader gain]], levels in hexadecimal.
    // Levels reach the meters only in core metering mode; gains always reach the faders that
    // the operator is neither holding nor has moved in the last seconds. Each record stands
    // alone: one that cannot be read costs only its own readings.
    void CheckUserFormMeters(const QString& payload);

    // A level value of a record: hexadecimal digits; four digits from 8000 up are the negative
    // 16-bit numbers (levels below full scale), longer texts a 32-bit pattern.
    static std::optional<qint32> HexLevel(QStringView digits);
    // A decimal text with "." or "," as its separator, as a single-precision number.
    static std::optional<float> DecimalGain(QStringView text);

private:
    void applyRecord(QStringView record);

    MeterRoutes& m_routes;
    const AppGlobals& m_globals;
};

} // namespace corvane
