#pragma once

#include "PanelProblem.h"

#include <QList>
#include <QWidget>

class QLabel;
class QListWidget;

namespace corvane::demo {

// A window beside the previewed panel that lists the problems the panel checker reports for
// it, errors first in red. Selecting a problem asks for its control to be shown.
class ProblemList : public QWidget {
    Q_OBJECT
public:
    explicit ProblemList(QWidget* parent = nullptr);

    void setProblems(const QList<check::PanelProblem>& problems);
    const QList<check::PanelProblem>& problems() const { return m_problems; }
    // Selects the row (-1: none), as a click on it does.
    void select(int row);
    // A line under the list: what the selection shows.
    void setNote(const QString& note);
    QString note() const;

signals:
    // The control a selected problem is about; empty when it is about no control or nothing is
    // selected.
    void controlChosen(const QString& name);

private:
    void onRowChanged(int row);

    QListWidget* m_list;
    QLabel* m_note;
    QList<check::PanelProblem> m_problems;
};

} // namespace corvane::demo
