#include "ui/imagefile.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QList>
#include <QSaveFile>

QByteArray imageFormatFor(const QString &path) {
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix.isEmpty())
        return QByteArrayLiteral("png");
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

QString writableImageFormats() {
    const QList<QByteArray> formats = QImageWriter::supportedImageFormats();
    QString text;
    for (int i = 0; i < formats.size(); ++i) {
        if (i > 0)
            text += i + 1 == formats.size() ? QStringLiteral(" or ") : QStringLiteral(", ");
        text += QString::fromLatin1(formats[i]);
    }
    return text;
}

QString saveImageFile(const QImage &image, const QString &path) {
    const QByteArray format = imageFormatFor(path);
    if (format.isEmpty())
        return QStringLiteral("Qt cannot write that format; it writes %1")
            .arg(writableImageFormats());
    // QSaveFile writes beside the file and, on commit, flushes it to disk and renames it over.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        file.cancelWriting();
        return writer.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
