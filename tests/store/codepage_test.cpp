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
