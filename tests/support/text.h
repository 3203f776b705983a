#pragma once
// Texts in tests and in their failures, for the tests of the core and of the window alike.
#include "store/codepage.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <ostream>

// Readable failures: texts as text, not as arrays of 16-bit units.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QDate& d, std::ostream* os) {
    *os << d.toString(Qt::ISODate).toStdString();
}

namespace quelora::test {

// A text written here in UTF-8.
inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}
// Windows-1252 bytes of a text written here in UTF-8.
inline QByteArray cp1252(const char* utf8) {
    return store::encode(QString::fromUtf8(utf8));
}

} // namespace quelora::test
