#include "runtime/PicturePaths.h"

#include "panel/PanelState.h"
#include "runtime/FolderIndex.h"

#include <QFileInfo>

namespace corvane {

namespace {

// Network and drive names: they only mean something on the Core's side of the world.
bool isWindowsName(const QString& name) {
    return name.startsWith(QLatin1String("\\\\")) ||
           (name.size() >= 2 && name[1] == QLatin1Char(':'));
}

// Names passed on exactly as written.
bool isUsedUnchanged(const QString& name) {
    return isWindowsName(name) || name.startsWith(QLatin1Char('/'));
}

bool endsWithSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'));
}

} // namespace

QString NormalizePictureFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return {};
    }
    const bool windows = isWindowsName(folder);
    QString normal = folder;
    if (!windows) {
        normal.replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    if (!endsWithSeparator(normal)) {
        normal += windows ? QLatin1Char('\\') : QLatin1Char('/');
    }
    return normal;
}

bool SeeIfFileExists(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0))) {
        return false;
    }
    return QFileInfo(path).isFile();
}

QString FindPicturePath(const QString& name, const PanelState& state) {
    return LookUpPicture(name, state).path;
}

PictureLookup LookUpPicture(const QString& name, const PanelState& state) {
    if (name.size() <= 2) {
        return {};
    }
    if (isUsedUnchanged(name)) {
        return {name, false, true};
    }
    QString relative = name;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString* folders[] = {&state.strDefaultPicturePath, &state.strGraphicsPath};
    for (const QString* folder : folders) {
        if (folder->isEmpty()) {
            continue;
        }
        const QString candidate = NormalizePictureFolder(*folder) + relative;
        if (SeeIfFileExists(candidate)) {
            return {candidate};
        }
    }
    // Not there as written: a panel made where letter case does not count may name "BTN.BMP"
    // for btn.bmp.
    for (const QString* folder : folders) {
        if (folder->isEmpty() || relative.contains(QChar(0))) {
            continue;
        }
        const QString found = FindFileIgnoringCase(NormalizePictureFolder(*folder), relative);
        if (!found.isEmpty()) {
            return {found, true};
        }
    }
    return {};
}

} // namespace corvane
