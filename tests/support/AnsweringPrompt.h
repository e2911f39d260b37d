#pragma once

#include "support/UserPrompt.h"

#include <QStringList>

#include <functional>

namespace corvane::test {

// A message-box prompt that shows nothing: each box is noted as "title|text" and answered at
// once, or by onShow when one is set.
class AnsweringPrompt : public UserPrompt {
public:
    QStringList shown;
    std::function<void(const QString& text)> onShow;

protected:
    void answer(QWidget*, const QString& title, const QString& text) override {
        shown << title + QLatin1Char('|') + text;
        if (onShow) {
            onShow(text);
        }
    }
};

} // namespace corvane::test
