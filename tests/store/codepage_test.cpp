#include "store/codepage.h"

#include <gtest/gtest.h>

using namespace quelora::store;

TEST(CodePage, EveryByteDecodesToOneCharacterAndEncodesBackToItself) {
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = decode(all);
    ASSERT_EQ(text.size(), 256);
    bool lossy = true;
    EXPECT_EQ(encode(text, &lossy), all);
    EXPECT_FALSE(lossy);
}

TEST(CodePage, SpanishLettersAndTheEuroHaveTheirWindowsBytes) {
    EXPECT_EQ(encode(QString::fromUtf8("MIÉRCOLES")), QByteArray("MI\xC9RCOLES"));
    EXPECT_EQ(encode(QString::fromUtf8("SÁBADO ñÑ¿¡")), QByteArray("S\xC1"
                                                                   "BADO \xF1\xD1\xBF\xA1"));
    EXPECT_EQ(encode(QString::fromUtf8("€ “x” …")), QByteArray("\x80 \x93x\x94 \x85"));
    EXPECT_EQ(decode(QByteArray("\x80\x8A\x9F")), QString::fromUtf8("€ŠŸ"));
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    bool lossy = false;
    EXPECT_EQ(encode(QString::fromUtf8("a€b→c😀d"), &lossy), QByteArray("a\x80"
                                                                       "b?c?d"));
    EXPECT_TRUE(lossy);
    EXPECT_FALSE(fitsCodePage(QString::fromUtf8("日本")));
    EXPECT_TRUE(fitsCodePage(QString::fromUtf8("Año Nuevo")));
}

TEST(CodePage, LineEndsBecomeBoxBreaksAndComeBackAsCrLf) {
    EXPECT_EQ(fileToBox(QStringLiteral("a\r\nb\r\n")), QStringLiteral("a\nb\n"));
    EXPECT_EQ(boxToFile(QStringLiteral("a\nb\n")), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(boxToFile(QStringLiteral("a\r\nb")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(boxToFile(fileToBox(QStringLiteral("uno\r\ndos"))), QStringLiteral("uno\r\ndos"));
}

// A file from elsewhere in UTF-8 reads with its accents, but only where saving what is read
// loses nothing and reads back the same; otherwise byte for byte, as any file.
TEST(CodePage, Utf8FromElsewhereReadsAsWrittenOnlyWhereSavingItLosesNothing) {
    const struct {
        QByteArray file;
        QString read;
    } rows[] = {
        {"Caf\xC3\xA9", QString::fromUtf8("Café")},
        {"\xEF\xBB\xBF" "Espa\xC3\xB1" "a", QString::fromUtf8("España")},
        {"Caf\xE9", QString::fromUtf8("Café")},                      // Windows-1252
        {"\xC5\x91", decode("\xC5\x91")},                              // "ő": no byte for it
        {"\xC3\x83\xC2\xA9", decode("\xC3\x83\xC2\xA9")},              // "Ã©" would save as "é"
    };
    for (const auto& r : rows) {
        EXPECT_EQ(decodeText(r.file), r.read) << r.file.toStdString();
        bool lossy = true;
        EXPECT_EQ(decodeText(encode(r.read, &lossy)), r.read);
        EXPECT_FALSE(lossy);
    }
}
