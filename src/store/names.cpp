#include "store/names.h"

namespace quelora::store {

bool isSafeName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0) return false;
    return true;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

} // namespace quelora::store
