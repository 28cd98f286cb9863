#pragma once

#include "app/windowfiles.h"
#include "ui/settingspanel.h"

#include <QStringList>

class FrontEnd;

// The window's settings panel (F2): the live settings with their values, in the help's place while
// it is open. Up and Down choose a line, Enter asks for its value at the prompt, Escape closes it.
// A value typed changes the settings through the session, as the settings keys do: an input,
// recorded, refused while a replay plays, undone by going back before it.
class WindowSettings {
public:
    WindowSettings(FrontEnd &frontEnd, WindowFiles &prompt, WindowFiles::Say say);

    bool isOpen() const { return panel.isOpen(); }
    void toggle() { panel.toggle(); }
    // A key (Qt's code) while the panel is open; false when it is none of the panel's.
    bool key(int key);
    QStringList lines() const;

private:
    void change(const QString &typed);

    FrontEnd &frontEnd;
    WindowFiles &prompt;
    WindowFiles::Say say;
    SettingsPanel panel;
};
