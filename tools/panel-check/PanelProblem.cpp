#include "PanelProblem.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>

namespace corvane::check {

namespace {

QString severityWord(Severity severity) {
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

} // namespace

QString FormatProblem(const PanelProblem& problem) {
    return QStringLiteral("%1:%2:%3: %4: %5")
        .arg(problem.file)
        .arg(problem.line)
        .arg(problem.column)
        .arg(severityWord(problem.severity), problem.message);
}

QByteArray ProblemJson(const PanelProblem& problem) {
    const QJsonObject object{
        {QStringLiteral("file"), problem.file},
        {QStringLiteral("line"), problem.line},
        {QStringLiteral("column"), problem.column},
        {QStringLiteral("severity"), severityWord(problem.severity)},
        {QStringLiteral("control"),
         problem.control.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(problem.control)},
        {QStringLiteral("message"), problem.message},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

int ExitStatus(const QList<PanelProblem>& problems) {
    if (problems.isEmpty()) {
        return 0;
    }
    const bool anyError = std::any_of(problems.cbegin(), problems.cend(), [](const auto& problem) {
        return problem.severity == Severity::Error;
    });
    return anyError ? 2 : 1;
}

} // namespace corvane::check
