#pragma once

#include "PanelProblem.h"

#include <QList>
#include <QString>

namespace corvane::check {

// Checks panel definitions as the client would meet them: each is read by the client's own
// reader into a panel state, then the building, the pictures, the commands, the meters and the
// layout are checked against the client's own rules.
class PanelCheck {
public:
    // The program's picture folder (PanelGraphics); relative folders are taken from the
    // current folder, as the client takes them.
    explicit PanelCheck(const QString& picturesFolder);

    // The problems of one definition text, in the order of their places; file names them.
    QList<PanelProblem> checkText(const QString& file, const QString& text) const;
    // The same for a file, read as the Core sends it (UTF-8). A file that cannot be read is
    // one error.
    QList<PanelProblem> checkFile(const QString& file) const;

private:
    QString m_picturesFolder;
};

} // namespace corvane::check
