#pragma once

#include "text/linetext.h"

#include <string> // std::string

// Writes text as the whole of the file at path, or leaves the file as it was: the text goes into
// a new file beside it, which is flushed to the disk and only then renamed over path. A crash or
// a full disk in the middle leaves the old file whole, and no reader ever sees half of the new
// one. False, with fault set ("cannot be written: No space left on device"), when it fails; the
// temporary file is then removed.
bool writeWholeFile(const std::string &path, const std::string &text, FileFault &fault);
