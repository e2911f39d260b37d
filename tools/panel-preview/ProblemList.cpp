#include "ProblemList.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace corvane::demo {

using check::PanelProblem;
using check::Severity;

ProblemList::ProblemList(QWidget* parent)
    : QWidget(parent), m_list(new QListWidget(this)), m_note(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Panel problems"));
    m_list->setWordWrap(true);
    m_list->setAlternatingRowColors(true);
    m_note->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_note);
    connect(m_list, &QListWidget::currentRowChanged, this, &ProblemList::onRowChanged);
    resize(520, 420);
}

void ProblemList::setProblems(const QList<PanelProblem>& problems) {
    m_problems = problems;
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const PanelProblem& problem : problems) {
        const bool error = problem.severity == Severity::Error;
        auto* item = new QListWidgetItem(
            QStringLiteral("%1:%2  %3: %4")
                .arg(problem.line)
                .arg(problem.column)
                .arg(error ? QStringLiteral("error") : QStringLiteral("warning"), problem.message),
            m_list);
        item->setForeground(error ? QColor(190, 0, 0) : QColor(150, 90, 0));
    }
    if (problems.isEmpty()) {
        setNote(QStringLiteral("No problems: the client builds this panel as written."));
    } else {
        setNote(QStringLiteral("%1 %2. Select one to see its control.")
                    .arg(problems.size())
                    .arg(problems.size() == 1 ? QStringLiteral("problem")
                                              : QStringLiteral("problems")));
    }
    emit controlChosen({});
}

void ProblemList::select(int row) {
    m_list->setCurrentRow(row);
}

void ProblemList::setNote(const QString& note) {
    m_note->setText(note);
}

QString ProblemList::note() const {
    return m_note->text();
}

void ProblemList::onRowChanged(int row) {
    emit controlChosen(row >= 0 && row < m_problems.size() ? m_problems[row].control : QString());
}

} // namespace corvane::demo
