#include "CheckContext.h"
#include "PanelChecks.h"
#include "runtime/PicturePaths.h"

#include <QDir>
#include <QFileInfo>

namespace corvane::check {

namespace {

struct PictureField {
    QString clsUPControl::*field;
    const char* key; // the keys that set it, for its place
    const char* otherKey = nullptr;
};

// Where a relative name is looked for, as the message tells it.
QString folders(const PanelState& state) {
    QStringList names;
    for (const QString* folder : {&state.strDefaultPicturePath, &state.strGraphicsPath}) {
        if (!folder->isEmpty()) {
            names.append(QDir::toNativeSeparators(*folder));
        }
    }
    return names.isEmpty() ? QStringLiteral("no picture folder") : names.join(QStringLiteral(", "));
}

void checkPicture(CheckContext& context, const clsUPControl& record, const PictureField& field) {
    const QString& name = record.*field.field;
    if (name.isEmpty()) {
        return;
    }
    const QString what = context.form == &record ? QStringLiteral("panel") : Describe(record);
    const ReadEntry& entry = context.entryOf(&record);
    const PictureLookup found = LookUpPicture(name, context.state);
    const auto keys = {field.key, field.otherKey != nullptr ? field.otherKey : field.key};
    if (found.path.isEmpty() || (found.unchecked && !SeeIfFileExists(found.path))) {
        const QString where = found.unchecked
                                  ? QStringLiteral("no such file on this system")
                                  : QStringLiteral("looked for in ") + folders(context.state);
        context.report(Severity::Warning, entry, keys,
                       QStringLiteral("%1: picture \"%2\" is not found (%3); it is not shown")
                           .arg(what, name, where));
    } else if (found.otherCase) {
        context.report(Severity::Warning, entry, keys,
                       QStringLiteral("%1: picture \"%2\" is found only with other letter case, "
                                      "as \"%3\"")
                           .arg(what, name, QFileInfo(found.path).fileName()));
    }
}

} // namespace

void CheckPictures(CheckContext& context) {
    static const PictureField kButton[] = {
        {&clsUPControl::PictureUpOff, "picture", "pictureupoff"},
        {&clsUPControl::PictureUpOn, "pictureupon"},
        {&clsUPControl::PictureDownOff, "picturedownoff"},
        {&clsUPControl::PictureDownOn, "picturedownon"},
    };
    static const PictureField kWindow{&clsUPControl::PictureUpOff, "picture"};
    for (const auto& item : context.state.collControls) {
        const clsUPControl* record = item.value.get();
        if (record == nullptr || !context.isBuilt(record)) {
            continue;
        }
        if (record == context.form) {
            checkPicture(context, *record, kWindow);
        } else if (record->typeKey() == QLatin1String("button")) {
            for (const PictureField& field : kButton) {
                checkPicture(context, *record, field);
            }
        }
    }
}

} // namespace corvane::check
