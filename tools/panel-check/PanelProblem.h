#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace corvane::check {

enum class Severity { Warning, Error };

// One problem the client would meet with a panel definition, where it stands in the file.
struct PanelProblem {
    QString file;
    int line = 1; // 1-based
    int column = 1;
    Severity severity = Severity::Warning;
    QString control; // the control's name, empty where the problem is not one control's
    QString message; // names the control where there is one
};

// "FILE:LINE:COLUMN: error|warning: MESSAGE", as compilers and editors read it.
QString FormatProblem(const PanelProblem& problem);
// One JSON object on one line: file, line, column, severity, control (null when none),
// message.
QByteArray ProblemJson(const PanelProblem& problem);

// 0 when there is no problem, 1 for warnings only, 2 when any is an error.
int ExitStatus(const QList<PanelProblem>& problems);

} // namespace corvane::check
