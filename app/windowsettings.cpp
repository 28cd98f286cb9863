#include "app/windowsettings.h"

#include "ui/frontend.h"
#include "ui/statsoverlay.h"

#include <optional> // std::optional
#include <string>   // std::string
#include <utility>  // std::move

WindowSettings::WindowSettings(FrontEnd &frontEnd, WindowFiles &prompt, WindowFiles::Say say)
    : frontEnd(frontEnd), prompt(prompt), say(std::move(say)) {}

bool WindowSettings::key(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        panel.choose(key == Qt::Key_Up ? -1 : 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!frontEnd.refusedDuringReplay())
            prompt.ask(
                QString::fromStdString(panel.question()),
                QString::fromStdString(panel.value(frontEnd.session()->sandbox().settings())),
                [this](const QString &typed) { change(typed); });
        return true;
    case Qt::Key_Escape:
        panel.close();
        return true;
    default:
        return false;
    }
}

QStringList WindowSettings::lines() const {
    return qtLines(panel.lines(frontEnd.session()->sandbox().settings()));
}

void WindowSettings::change(const QString &typed) {
    Session &session = *frontEnd.session();
    std::string fault;
    if (const std::optional<SandboxSettings> changed =
            panel.withValue(session.sandbox().settings(), typed.toStdString(), fault))
        session.changeSettings(*changed);
    else
        say(QString::fromStdString(fault));
}
