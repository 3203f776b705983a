#pragma once
// Text in files is Windows-1252 with CR LF line ends; the widgets hold QStrings with LF.
#include <QByteArray>
#include <QString>

namespace quelora::store {

// Every byte decodes to exactly one character; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
// as Windows does, so any file decodes and encodes back to its own bytes.
QString decode(const QByteArray& bytes);

// The text of a file as its writer meant it: a file from another program or system may
// be UTF-8 (with or without the byte-order mark) among the Windows-1252 ones. A file
// with a byte-order mark, or whose bytes above 127 all form UTF-8 sequences, is read as
// UTF-8 (no Spanish text in Windows-1252 does: "Ã©" would have to stand in it) when the
// code page holds all its characters and its code-page bytes read back the same; every
// other file as decode() reads it, so that nothing read is lost when it is saved again.
bool isUtf8Text(const QByteArray& bytes);
QString decodeText(const QByteArray& bytes);
// The same text in the code page's bytes, for what compares bytes (the search): a
// Windows-1252 file is returned as it is.
QByteArray codePageBytes(const QByteArray& bytes);

// Characters the code page cannot hold become '?'; *lossy (if given) tells whether any did.
QByteArray encode(const QString& text, bool* lossy = nullptr);

// What a text is once it has gone through a file: characters the code page cannot hold
// are '?' there, and a box shows what was kept.
QString storedForm(const QString& text);

// True when every character of text has a byte in the code page.
bool fitsCodePage(const QString& text);

// A file's CR LF pairs become the widgets' line breaks, and back.
QString fileToBox(const QString& fileText);
QString boxToFile(const QString& boxText);

} // namespace quelora::store
