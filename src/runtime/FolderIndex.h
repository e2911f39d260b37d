#pragma once

#include <QString>

namespace corvane {

// Finds a file under a folder by a relative name ("/"-separated) without regard to letter case,
// for panels made on a system that ignores it ("BTN.BMP" for btn.bmp). Each folder on the way
// is listed once and the listing kept; a folder whose modification time has changed since is
// listed again. Empty text when nothing matches. Only a few dozen folders are kept at a time.
QString FindFileIgnoringCase(const QString& folder, const QString& relativeName);

} // namespace corvane
