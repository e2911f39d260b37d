#pragma once

#include <QString>

namespace corvane {

struct PanelState;

// Picture file names from the Core may be written Windows-style. A relative name is looked up
// in the panel's picture folder, then in the program's PanelGraphics folder; its "\" separators
// are read as "/". A network name ("\\..."), a drive name (second character ":") or an absolute
// POSIX path is used unchanged without looking at the disk. When no folder holds the name as
// written, it is looked for in the same order without regard to letter case. Empty text:
// nothing found (also for names of two characters or fewer).
QString FindPicturePath(const QString& name, const PanelState& state);

// The same lookup, telling how the name was found.
struct PictureLookup {
    QString path;           // empty: not found
    bool otherCase = false; // found only by ignoring letter case
    bool unchecked = false; // a name used unchanged, without looking at the disk
};
PictureLookup LookUpPicture(const QString& name, const PanelState& state);

// Whether the path names an existing file (a folder does not count). Never fails.
bool SeeIfFileExists(const QString& path);

// A picture folder as the panel keeps it: empty stays empty (no folder); otherwise it ends in a
// separator, "\" separators of a relative folder read as "/".
QString NormalizePictureFolder(const QString& folder);

} // namespace corvane
