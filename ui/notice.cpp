#include "ui/notice.h"

void Notice::show(const QString &text, long long nowNs) {
    shown = text;
    since = nowNs;
}

QString Notice::text(long long nowNs) const {
    return nowNs - since < shownNs ? shown : QString();
}
