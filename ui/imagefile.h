#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures saved as files, in the format their name asks for.

// The format Qt writes for a file of this name: its extension in lower case ("png", "jpg"), PNG
// for a name without one; empty when Qt cannot write that format.
QByteArray imageFormatFor(const QString &path);
// The extensions Qt writes, for messages: "bmp, jpeg, jpg, png, ppm, xbm or xpm".
QString writableImageFormats();
// Writes image into a temporary file beside path and renames it over path once it is complete
// and on disk, so path holds either what it held before or the whole new picture. Returns what
// went wrong ("cannot be written: No space left on device"), or an empty string.
QString saveImageFile(const QImage &image, const QString &path);
