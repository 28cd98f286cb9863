#include "ui/imagefile.h"

#include "text/wholefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QList>

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
    // The whole picture first, then the file replaced in one go: QSaveFile would rename a file cut
    // short by a full disk over the old one, as it misses a failure of its last flush.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        return QStringLiteral("cannot be written: %1").arg(writer.errorString());
    FileFault fault;
    if (!writeWholeFile(QFile::encodeName(path).toStdString(), bytes.toStdString(), fault))
        return QString::fromStdString(fault.what);
    return QString();
}
