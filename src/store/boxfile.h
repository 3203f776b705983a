#pragma once
// The file a box's text goes to, and what that file held when the box was filled from it
// or last saved into it: a later save can tell whether another program has changed it.
#include "store/files.h"

#include <QString>

namespace quelora::store {

struct BoxFile {
    QString folder;
    QString name; // as the program names it; a variant in another letter case is the one used
    Version base;
    bool fromFile = false; // the box shows the file's own text (no held or recovered text)
    QString path() const;  // the file itself, in the letter case it is stored
};

} // namespace quelora::store
