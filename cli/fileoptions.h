#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

// The checks every program makes of its options that name files, each program in its own order.

// "--OPTION: expects a file name" for the first of options given an empty value; else empty.
QString emptyFileName(const QCommandLineParser &parser, const QStringList &options);

// The file of option brings the scene, so none of others may come with it: "--OPTION: the scene
// comes from the file, so --A, --B and --C do not go with it" when they do; else empty.
QString sceneFromFileConflict(const QCommandLineParser &parser, const QString &option,
                              const QStringList &others);
