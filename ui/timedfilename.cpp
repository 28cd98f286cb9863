#include "ui/timedfilename.h"

QString timedFileName(const QDir &folder, const QDateTime &time, const QString &extension) {
    const QString stem =
        QStringLiteral("rigid2d-") + time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem + extension;
    for (int n = 2; folder.exists(name); ++n)
        name = stem + QStringLiteral("-%1").arg(n) + extension;
    return folder.filePath(name);
}
