#include "runtime/ControlGraphics.h"

#include "panel/PanelButton.h"
#include "panel/PanelState.h"
#include "runtime/PicturePaths.h"
#include "runtime/WindowPicture.h"

#include <QPixmap>

#include <initializer_list>

namespace corvane {

namespace {

QString firstNonEmpty(std::initializer_list<const QString*> names) {
    for (const QString* name : names) {
        if (!name->isEmpty()) {
            return *name;
        }
    }
    return {};
}

enum class Loaded { Nothing, Picture, Failed };

// Finds and loads the named picture. Nothing: no name, or no file by that name.
Loaded loadPicture(const QString& name, const PanelState& state, QPixmap& picture) {
    const QString path = name.isEmpty() ? QString() : FindPicturePath(name, state);
    if (path.isEmpty()) {
        return Loaded::Nothing;
    }
    return picture.load(path) ? Loaded::Picture : Loaded::Failed;
}

void setButtonGraphic(const clsUPControl& record, const PanelState& state) {
    auto* button = qobject_cast<PanelButton*>(record.pntrControl.data());
    if (button == nullptr) {
        return;
    }
    const ButtonPictureChoice choice = ChooseButtonPictures(record);
    QPixmap picture;
    switch (loadPicture(choice.up, state, picture)) {
    case Loaded::Failed:
        return;
    case Loaded::Picture:
        button->setPicture(picture);
        break;
    case Loaded::Nothing:
        break;
    }
    if (loadPicture(choice.down, state, picture) == Loaded::Picture) {
        button->setDownPicture(picture);
    }
}

void setFormGraphic(const clsUPControl& record, const PanelState& state) {
    QPixmap picture;
    if (record.pntrControl && loadPicture(record.PictureUpOff, state, picture) == Loaded::Picture) {
        WindowPicture::set(record.pntrControl.data(), picture);
    }
}

} // namespace

ButtonPictureChoice ChooseButtonPictures(const clsUPControl& record) {
    if (record.isStateOn()) {
        return {firstNonEmpty({&record.PictureUpOn, &record.PictureUpOff}),
                firstNonEmpty({&record.PictureDownOn, &record.PictureUpOn, &record.PictureDownOff,
                               &record.PictureUpOff})};
    }
    return {record.PictureUpOff, firstNonEmpty({&record.PictureDownOff, &record.PictureUpOff})};
}

void SetControlGraphic(clsUPControl& record, const PanelState& state) {
    const QString type = record.typeKey();
    if (type == QLatin1String("button")) {
        setButtonGraphic(record, state);
    } else if (type == QLatin1String("form")) {
        setFormGraphic(record, state);
    }
}

} // namespace corvane
