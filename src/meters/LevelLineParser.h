#pragma once

#include "meters/clsMeterData.h"

#include <QByteArrayView>

#include <optional>

namespace corvane {

// Reads one line from the meter server (CR LF removed). Only level lines are understood:
//   MTR SRC|DST router io path PEEK:left:right [RMS:left:right] ...
// with tokens separated by single spaces. The router and I/O must read as numbers; a line of
// another type, with fewer than six tokens, or whose numbers do not fit 16 bits gives nothing.
// A PEEK or RMS token that does not have exactly that form is marked as not read.
std::optional<clsMeterData> ParseLevelLine(QByteArrayView line);

// A token of a level line as the meter server's numbers are read: a decimal number (sign,
// fraction and exponent allowed) or "&H" hexadecimal, rounded half to even into 16 bits.
// Nothing when it is not a number or does not fit.
std::optional<qint16> LevelLineNumber(QByteArrayView token);

} // namespace corvane
