#pragma once

#include <QString>
#include <QStringView>

namespace corvane {

// One outgoing frame: frame start, the command character, the 12-character address block,
// the payload and the frame end. Characters of code 3 are left out of the payload (and a
// warning logged), so that no text can end the frame early.
QString BuildFrame(int command, QStringView addressBlock, QStringView payload = {});

// Whether the text is a frame whose address block is twelve hexadecimal digits. A number out
// of the four-digit range becomes "Error" in its field, and the Core would misread the frame.
bool HasValidAddressBlock(QStringView frame);

// The address block of a meter point: router, then the I/O number in the source field for a
// source point or in the destination field for a destination point, "0000" in the other.
QString PointAddressBlock(qint32 router, qint32 io, bool isSource);

// The client's frames about a meter point: subscribing and unsubscribing it at the Core.
QString MeterSubscriptionFrame(qint32 router, qint32 io, bool isSource);
QString MeterUnsubscriptionFrame(qint32 router, qint32 io, bool isSource);

// A button pushed ("T") or released ("F"), with its panel-qualified name ("Studio.Take").
QString ButtonPushFrame(const QString& qualifiedName, bool pushed);

} // namespace corvane
