#pragma once

#include <QString>

// A line a person types into the window, for a file to open or a number of circles: a question
// and the text typed so far, which the keys edit (a character appends, Backspace takes the last
// one back, Ctrl+U clears the line) until Enter accepts it or Escape gives up. While it is open
// every key goes to it.
class LinePrompt {
public:
    enum class Outcome { Editing, Accepted, Cancelled };

    // Opens it with the question asked and text already typed (a suggestion to edit).
    void open(const QString &question, const QString &text);
    bool isOpen() const { return opened; }
    // A key pressed while it is open, with Ctrl held or not, and the text the key types
    // (QKeyEvent::text()). On Accepted or Cancelled the prompt closes, and text() is what was
    // typed.
    Outcome key(int key, bool control, const QString &typed);
    const QString &text() const { return typed; }
    // As it is drawn: the question, the text and a cursor.
    QString line() const;

private:
    bool opened = false;
    QString question;
    QString typed;
};
