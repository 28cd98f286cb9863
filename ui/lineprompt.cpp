#include "ui/lineprompt.h"

#include <Qt>

void LinePrompt::open(const QString &asked, const QString &text) {
    opened = true;
    question = asked;
    typed = text;
}

LinePrompt::Outcome LinePrompt::key(int key, bool control, const QString &text) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        opened = false;
        return Outcome::Accepted;
    case Qt::Key_Escape:
        opened = false;
        return Outcome::Cancelled;
    case Qt::Key_Backspace:
        typed.chop(1);
        return Outcome::Editing;
    default:
        break;
    }
    if (control) {
        // As in a shell.
        if (key == Qt::Key_U)
            typed.clear();
        return Outcome::Editing;
    }
    // Printable characters only: nothing of Tab or Delete.
    for (const QChar c : text) {
        if (c.isPrint())
            typed += c;
    }
    return Outcome::Editing;
}

QString LinePrompt::line() const {
    return question + QStringLiteral(": ") + typed + QStringLiteral("_");
}
