#pragma once

#include <QString>

namespace corvane {

struct clsUPControl;
struct PanelState;

// The picture names a button shows for its state, before they are looked up on disk: the first
// non-empty name of each fallback chain, or empty when the chain has none.
struct ButtonPictureChoice {
    QString up;
    QString down;
};
ButtonPictureChoice ChooseButtonPictures(const clsUPControl& record);

// Shows the pictures that fit the record on its visible control: the up and down pictures of a
// button for its state, the background picture of the panel window. A picture that is not
// chosen or not found leaves the control's picture as it was; a file that is found but cannot
// be loaded ends the work silently, keeping what was set before.
void SetControlGraphic(clsUPControl& record, const PanelState& state);

} // namespace corvane
