#include "store/recovery.h"

#include <gtest/gtest.h>

using namespace quelora;
using recovery::Entry;
using recovery::Kind;

TEST(RecoveryFile, EveryKindOfTextComesBackAsItWasKept) {
    Entry page{Kind::Page, QStringLiteral("JUEVES, 15 de MARZO de 2007"), 0, {}, {QString::fromUtf8("línea\n€ ő \"x\" \\")}, store::versionOf("uno")};
    Entry note{Kind::Note, QString(), 0, {}, {QStringLiteral("nota")}, {}};
    Entry day{Kind::DayText, QStringLiteral("15 de MARZO.txt"), 1, {}, {QStringLiteral("flores")}, store::absentVersion()};
    Entry card{Kind::Card, QStringLiteral("Amigos"), 0, QStringLiteral("Ruiz"), {"Ruiz", "Ana", "", "", "", "", "ref\r\nmás"}, {}};
    const QList<Entry> kept = {page, note, day, card};
    const auto back = recovery::decode(recovery::encode(kept, QDateTime(QDate(2007, 3, 15), QTime(10, 0))));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, kept);
    EXPECT_TRUE(back->at(0).base.sameContent(store::versionOf("uno")));
    EXPECT_FALSE(back->at(0).base.sameContent(store::versionOf("dos")));
}

TEST(RecoveryFile, AnythingElseIsNoneAndAnUnknownKindIsLeftOut) {
    for (const char* bad : {"", "{", "[]", "{\"version\": 2, \"textos\": []}", "no es json"})
        EXPECT_FALSE(recovery::decode(QByteArray(bad)).has_value()) << bad;
    const auto some = recovery::decode(
        "{\"version\": 1, \"textos\": [{\"tipo\": \"otro\"}, {\"tipo\": \"ficha\", \"textos\": [\"a\"]},"
        " {\"tipo\": \"nota\", \"textos\": [\"n\"]}]}");
    ASSERT_TRUE(some.has_value());
    ASSERT_EQ(some->size(), 1); // a card needs its seven fields
    EXPECT_EQ(some->at(0).texts, QStringList{QStringLiteral("n")});
}
