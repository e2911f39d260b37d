#include "PanelCheck.h"

#include "CheckContext.h"
#include "PanelChecks.h"
#include "panel/DefinitionXml.h"
#include "panel/PanelDefinitionReader.h"
#include "runtime/PicturePaths.h"

#include <QFile>

namespace corvane::check {

namespace {

// The most of a file that is read: one character more than a definition may have, so that a
// larger one is reported as such.
constexpr qint64 kMaxFileBytes = 4 * (DefinitionLimits::kMaxCharacters + 1);

// The XML parser's message as a clause: "Opening and ending tag mismatch." reads "opening and
// ending tag mismatch".
QString asClause(QString message) {
    message = message.trimmed();
    if (message.endsWith(QLatin1Char('.'))) {
        message.chop(1);
    }
    if (message.size() > 1 && message[1].isLower()) {
        message[0] = message[0].toLower();
    }
    return message;
}

bool reportReading(CheckContext& context) {
    if (const auto& failure = context.read.unreadableFailure()) {
        context.reportAt(Severity::Error, failure->line, failure->column, {},
                         failure->beyondLimits
                             ? QStringLiteral("beyond the client's limits: %1; the client reads "
                                              "none of this panel")
                                   .arg(failure->reason)
                             : QStringLiteral("not well-formed XML: %1; the client reads none of "
                                              "this panel")
                                   .arg(asClause(failure->reason)));
        return false;
    }
    if (const auto& failure = context.read.conversionFailure()) {
        ReadEntry at; // the field, of the control named as written
        at.place = ElementPlace{failure->key, failure->line, failure->column};
        at.record = std::make_shared<clsUPControl>();
        at.record->ControlType = failure->controlType;
        at.record->Name = failure->controlName;
        const QString what = failure->panelKey ? QStringLiteral("panel") : Describe(*at.record);
        if (failure->panelKey) {
            at.record.reset();
        }
        context.report(
            Severity::Error, at, {},
            QStringLiteral("%1: %2; nothing is built from this panel").arg(what, failure->reason));
        return false;
    }
    return true;
}

} // namespace

PanelCheck::PanelCheck(const QString& picturesFolder) : m_picturesFolder(picturesFolder) {}

QList<PanelProblem> PanelCheck::checkText(const QString& file, const QString& text) const {
    CheckContext context(file, text);
    context.state.strGraphicsPath = NormalizePictureFolder(m_picturesFolder);
    PanelDefinitionReader(context.state, &context.read).AnalyzeXML(text);
    if (reportReading(context)) {
        CheckBuilding(context);
        CheckPictures(context);
        CheckPlaceholders(context);
        CheckMeters(context);
        CheckLayout(context);
    }
    return context.takeSortedProblems();
}

QList<PanelProblem> PanelCheck::checkFile(const QString& file) const {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        return {PanelProblem{file,
                             1,
                             1,
                             Severity::Error,
                             {},
                             QStringLiteral("cannot be read: %1").arg(input.errorString())}};
    }
    return checkText(file, QString::fromUtf8(input.read(kMaxFileBytes)));
}

} // namespace corvane::check
