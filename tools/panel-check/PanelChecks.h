#pragma once

namespace corvane::check {

class CheckContext;

// The checks of a definition that the client's reader has read, each adding what it finds.

// What building the panel meets: controls skipped or dropped, caps, and failures that stop the
// building. Decides which records get a control (CheckContext::built); run it first.
void CheckBuilding(CheckContext& context);
// Pictures of buttons and of the window that are not found, or only in other letter case.
void CheckPictures(CheckContext& context);
// Placeholders in commands that name no control or a value that cannot be read.
void CheckPlaceholders(CheckContext& context);
// Meters and strips whose point is never subscribed or cannot be carried by level lines.
void CheckMeters(CheckContext& context);
// Controls wholly outside the window, and controls of a kind lying exactly on one another.
void CheckLayout(CheckContext& context);

} // namespace corvane::check
