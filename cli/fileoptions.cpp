#include "cli/fileoptions.h"

#include "cli/fileargument.h"

#include <QCommandLineParser>

#include <string> // std::string
#include <vector> // std::vector

QString emptyFileName(const QCommandLineParser &parser, const QStringList &options) {
    for (const QString &option : options) {
        if (parser.isSet(option) && parser.value(option).isEmpty())
            return QString::fromStdString(emptyFileNameMessage(option.toStdString()));
    }
    return QString();
}

QString sceneFromFileConflict(const QCommandLineParser &parser, const QString &option,
                              const QStringList &others) {
    if (!parser.isSet(option))
        return QString();
    bool conflict = false;
    std::vector<std::string> named;
    for (const QString &other : others) {
        conflict = conflict || parser.isSet(other);
        named.push_back(other.toStdString());
    }
    if (!conflict)
        return QString();
    return QString::fromStdString(sceneFromFileMessage(option.toStdString(), named));
}
