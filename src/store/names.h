#pragma once
#include <QString>

namespace quelora::store {

// A name that comes from the user may only ever name an entry of its own folder:
// it is refused when empty, when it holds a path separator or a NUL, or is "." or "..".
bool isSafeName(const QString& name);

// folder + "/" + name, without doubling a separator already at the end of folder.
QString joinPath(const QString& folder, const QString& name);

} // namespace quelora::store
