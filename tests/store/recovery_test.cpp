#include "store/recovery.h"

#include <gtest/gtest.h>

using namespace quelora;
using recovery::Entry;

TEST(RecoveryFile, EveryKindOfTextComesBackAsItWasKept) {
    Entry page{QStringLiteral("pagina"),
               QStringLiteral("JUEVES, 15 de MARZO de 2007"),
               0,
               {},
               {QString::fromUtf8("línea\n€ ő \"x\" \\")},
               store::versionOf("uno")};
    Entry note{QStringLiteral("nota"), QString(), 0, {}, {QStringLiteral("nota")}, {}};
    Entry day{QStringLiteral("dia"), QStringLiteral("15 de MARZO.txt"), 1, {}, {QStringLiteral("flores")},
              store::absentVersion()};
    Entry card{QStringLiteral("ficha"),
               QStringLiteral("Amigos"),
               0,
               QStringLiteral("Ruiz"),
               {"Ruiz", "Ana", "", "", "", "", "ref\r\nmás"},
               {}};
    const QList<Entry> kept = {page, note, day, card};
    const auto back = recovery::decode(recovery::encode(kept, QDateTime(QDate(2007, 3, 15), QTime(10, 0))));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, kept);
    EXPECT_TRUE(back->at(0).base.sameContent(store::versionOf("uno")));
    EXPECT_FALSE(back->at(0).base.sameContent(store::versionOf("dos")));
}

TEST(RecoveryFile, AnythingElseIsNoneAndAnEntryWithoutKindOrTextIsLeftOut) {
    for (const char* bad : {"", "{", "[]", "{\"version\": 2, \"textos\": []}", "no es json"})
        EXPECT_FALSE(recovery::decode(QByteArray(bad)).has_value()) << bad;
    const auto some =
        recovery::decode("{\"version\": 1, \"textos\": [{\"tipo\": \"otro\"}, {\"textos\": [\"a\"]},"
                         " {\"tipo\": \"nota\", \"textos\": [\"n\"]}]}");
    ASSERT_TRUE(some.has_value());
    ASSERT_EQ(some->size(), 1);
    EXPECT_EQ(some->at(0).texts, QStringList{QStringLiteral("n")});
}
