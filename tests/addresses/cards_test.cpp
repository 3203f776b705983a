#include "addresses/cards.h"
#include "store/codepage.h"
#include "support/text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelora;
using namespace quelora::addresses;

namespace {

using quelora::test::cp1252;

Card card(std::initializer_list<const char*> utf8) {
    Card c;
    int i = 0;
    for (const char* f : utf8)
        c[i++] = QString::fromUtf8(f);
    return c;
}

} // namespace

TEST(CardFile, SevenFieldsGiveSevenLinesEachEndingInCrLf) {
    const Card c = card({"García", "Ana", "C/ Mayor, 3", "León", "987 000 000", "ana@example.com", "prima"});
    EXPECT_EQ(cardFileBytes(c),
              cp1252("García\r\nAna\r\nC/ Mayor, 3\r\nLeón\r\n987 000 000\r\nana@example.com\r\nprima\r\n"));
    EXPECT_EQ(cardFileBytes(Card{}), QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
}

TEST(CardFile, CharactersOutsideTheCodePageAreToldApart) {
    bool lossy = true;
    cardFileBytes(card({"Núñez", "€"}), &lossy);
    EXPECT_FALSE(lossy);
    const QByteArray bytes = cardFileBytes(card({"Wałęsa"}), &lossy);
    EXPECT_TRUE(lossy);
    EXPECT_TRUE(bytes.startsWith("Wa??sa\r\n"));
}

TEST(CardFile, ASevenLineCardReadsExactlyAsWrittenAndSavesBackToTheSameBytes) {
    const QByteArray bytes = cp1252("Muñoz\r\n\r\nPlaza\r\n\r\n91\r\nm@x.es\r\nnota\r\n");
    const Card c = cardFromFile(bytes);
    EXPECT_EQ(c, card({"Muñoz", "", "Plaza", "", "91", "m@x.es", "nota"}));
    EXPECT_EQ(cardFileBytes(c), bytes);
}

TEST(CardFile, MissingLinesLeaveTheirFieldsEmpty) {
    EXPECT_EQ(cardFromFile("Ruiz\r\nLuis\r\n"), card({"Ruiz", "Luis", "", "", "", "", ""}));
    EXPECT_EQ(cardFromFile("Ruiz\r\nLuis"), card({"Ruiz", "Luis", "", "", "", "", ""}));
    EXPECT_EQ(cardFromFile(QByteArray()), Card{});
    EXPECT_EQ(cardFromFile("\r\n"), Card{});
}

TEST(CardFile, EverythingAfterTheSixthLineIsTheReference) {
    const QByteArray bytes("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nuno\r\ndos\r\n\r\ntres\r\n");
    const Card c = cardFromFile(bytes);
    EXPECT_EQ(c[5], QStringLiteral("f"));
    EXPECT_EQ(c[6], QStringLiteral("uno\r\ndos\r\n\r\ntres"));
    EXPECT_EQ(cardFileBytes(c), bytes);
    // A file whose last line has no CR LF keeps that line too.
    EXPECT_EQ(cardFromFile("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nuno\r\ndos")[6], QStringLiteral("uno\r\ndos"));
}

TEST(CopyAll, HeadingAndColumnsUseTabsAndNoLineEndOfTheirOwn) {
    EXPECT_EQ(copyAllHeading(QStringLiteral("Amigos")), QStringLiteral("\tAmigos\r\r"));
    EXPECT_EQ(copyAllColumns(card({"García", "Ana", "", "León", "", "", "prima"})),
              QString::fromUtf8("\tGarcía\tAna\t\tLeón\t\t\tprima"));
}

TEST(CopyAll, AReferenceOnSeveralLinesStaysOnTheCardsLine) {
    const Card c = cardFromFile("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nuno\r\ndos\r\n");
    EXPECT_EQ(copyAllColumns(c), QStringLiteral("\ta\tb\tc\td\te\tf\tuno dos"));
    Card stray;
    stray[6] = QStringLiteral("x\ry\nz");
    EXPECT_FALSE(copyAllColumns(stray).contains(QLatin1Char('\r')));
    EXPECT_FALSE(copyAllColumns(stray).contains(QLatin1Char('\n')));
}

TEST(GroupCommit, ADashCutsTheTextOneCharacterAtATime) {
    EXPECT_TRUE(groupCommitCuts(QStringLiteral("Amigos")).isEmpty());
    EXPECT_TRUE(groupCommitCuts(QString()).isEmpty());
    EXPECT_EQ(groupCommitCuts(QStringLiteral("Amigos-")), QStringList{QStringLiteral("Amigos")});
    EXPECT_EQ(groupCommitCuts(QStringLiteral("Pepe-Luis")),
              (QStringList{QStringLiteral("Pepe-Lui"), QStringLiteral("Pepe-Lu"), QStringLiteral("Pepe-L"),
                           QStringLiteral("Pepe-"), QStringLiteral("Pepe")}));
    EXPECT_EQ(groupCommitCuts(QStringLiteral("-ab")),
              (QStringList{QStringLiteral("-a"), QStringLiteral("-"), QString()}));
}

TEST(Search, PlainTextBecomesABeginsWithPatternAndHostileTextMatchesNothing) {
    EXPECT_EQ(searchPattern(QString()), QStringLiteral("*.*"));
    EXPECT_EQ(searchPattern(QStringLiteral("ga")), QStringLiteral("ga*.*"));
    EXPECT_EQ(searchPattern(QStringLiteral("g?r")), QStringLiteral("g?r*.*"));
    for (const QString& hostile : {QStringLiteral("."), QStringLiteral(".."), QStringLiteral("a/b"),
                                   QStringLiteral("..\\x"), QStringLiteral("a") + QChar(0)})
        EXPECT_TRUE(searchPattern(hostile).contains(QLatin1Char('/'))) << hostile.toStdString();
}

TEST(Mail, TheAddressIsPassedAsTypedWithAnEmptySubjectAndBody) {
    EXPECT_EQ(mailRequest(QString()), QStringLiteral("mailto:?Subject=&Body="));
    EXPECT_EQ(mailRequest(QStringLiteral("ana @x.es&cc=b")),
              QStringLiteral("mailto:ana @x.es&cc=b?Subject=&Body="));
}

TEST(Groups, AGroupFolderIsFoundWhateverItsLetterCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString book = dir.path();
    QDir(book).mkdir(QStringLiteral("Amigos"));
    QDir(book).mkdir(QStringLiteral("Todos"));
    QFile file(book + QStringLiteral("/Suelto"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_EQ(groupFolder(book, QStringLiteral("Amigos")), book + QStringLiteral("/Amigos"));
    EXPECT_EQ(groupFolder(book, QStringLiteral("AMIGOS")), book + QStringLiteral("/Amigos"));
    EXPECT_EQ(groupFolder(book, QStringLiteral("Trabajo")), QString());
    EXPECT_EQ(groupFolder(book, QStringLiteral("Suelto")), QString()); // a file is no group
    EXPECT_EQ(groupFolder(book, QStringLiteral("..")), QString());
    EXPECT_EQ(groupFolder(book, QStringLiteral(".")), QString());
    EXPECT_EQ(groupFolder(book, QStringLiteral("Amigos/../Todos")), QString());
    EXPECT_EQ(groupFolder(book, QString()), QString());

    EXPECT_TRUE(bookHasEntry(book, QStringLiteral("amigos")));
    EXPECT_TRUE(bookHasEntry(book, QStringLiteral("SUELTO")));
    EXPECT_FALSE(bookHasEntry(book, QStringLiteral("Trabajo")));
}

TEST(SavingCards, ThePlanFollowsTheNameAndTheGroupField) {
    const struct {
        const char* name;
        const char* group;
        const char* groupStored; // "" when the group has no folder
        const char* allStored;
        bool nothing, refused, intoGroup, intoAll;
    } rows[] = {
        {"Ruiz", "Amigos", "Amigos", "Todos", false, false, true, true},
        {"Ruiz", "AMIGOS", "Amigos", "TODOS", false, false, true, true},
        {"Ruiz", "Todos", "Todos", "Todos", false, false, true, false}, // one file, written once
        {"Ruiz", "todos", "TODOS", "TODOS", false, false, true, false},
        {"Ruiz", "Nuevo", "", "Todos", false, false, false, true},    // no folder: "Todos" only
        {"Ruiz", "Nuevo", "", "", false, false, false, true},         // "Todos" missing: tried and told
        {"", "Amigos", "Amigos", "Todos", true, false, false, false}, // no APELLIDOS: nothing
        {"a/b", "Amigos", "Amigos", "Todos", false, true, false, false},
        {"..", "Amigos", "Amigos", "Todos", false, true, false, false},
        {"Ruiz", "", "", "Todos", false, true, false, false},
        {"Ruiz", "../x", "", "Todos", false, true, false, false},
    };
    for (const auto& r : rows) {
        const CardSavePlan plan =
            planCardSave(QString::fromUtf8(r.name), QString::fromUtf8(r.group),
                         QString::fromUtf8(r.groupStored), QString::fromUtf8(r.allStored));
        const std::string row = std::string(r.name) + " / " + r.group;
        EXPECT_EQ(plan.nothing, r.nothing) << row;
        EXPECT_EQ(!plan.refusal.isEmpty(), r.refused) << row;
        EXPECT_EQ(plan.intoGroup, r.intoGroup) << row;
        EXPECT_EQ(plan.intoAll, r.intoAll) << row;
    }
    EXPECT_TRUE(
        groupWithoutFolderMessage(QStringLiteral("Nuevo"), true).contains(QStringLiteral("solo en «Todos»")));
    EXPECT_FALSE(
        groupWithoutFolderMessage(QStringLiteral("Nuevo"), false).contains(QStringLiteral("solo en")));
}

TEST(SavingCards, ACardIsKeptAsItsFileHoldsIt) {
    bool lossy = false;
    const Card stored =
        storedCard(card({"Wałęsa", "Lech", "", "Gdańsk", "", "", "línea 1\r\nlínea 2"}), &lossy);
    EXPECT_TRUE(lossy);
    EXPECT_EQ(stored[0], QStringLiteral("Wa??sa"));
    EXPECT_EQ(stored[3], QStringLiteral("Gda?sk"));
    EXPECT_EQ(stored[6], QString::fromUtf8("línea 1\r\nlínea 2"));
    storedCard(card({"García", "", "", "", "", "", ""}), &lossy);
    EXPECT_FALSE(lossy);
}
