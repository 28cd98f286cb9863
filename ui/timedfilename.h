#pragma once

#include <QDateTime>
#include <QDir>
#include <QString>

// A name for a new file in folder, from the time: "rigid2d-20261208-171500.png", with "-2", "-3"
// ... before the extension when a file of that name exists already.
QString timedFileName(const QDir &folder, const QDateTime &time, const QString &extension);
