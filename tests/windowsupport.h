// Shared by the window tests: message boxes answered from a script, and text put into an editor.
#pragma once

#include "ui/windowhooks.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCursor>

#include <deque>
#include <vector>

// A message-box hook that records each request in `asked` (and its parent window in `parents`, when
// given) and answers with the next of `answers`. A message beyond the script fails the test and is
// cancelled. The containers must outlive the hook.
inline auto AnswerFromScript(std::deque<QMessageBox::StandardButton>& answers,
                             std::vector<MessageRequest>& asked, std::vector<QWidget*>* parents = nullptr) {
    return [&answers, &asked, parents](QWidget* parent, const MessageRequest& request) {
        asked.push_back(request);
        if (parents != nullptr) parents->push_back(parent);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected message: " << request.Text.toStdString();
            return QMessageBox::Cancel;
        }
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        return answer;
    };
}

// Gives the editor `text` and selects from `start` to `end`; with `end` -1 the caret stands at `start`.
inline void SetTextAndSelection(QPlainTextEdit& editor, const QString& text, int start, int end = -1) {
    editor.setPlainText(text);
    QTextCursor cursor(editor.document());
    cursor.setPosition(start);
    if (end >= 0) cursor.setPosition(end, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}
