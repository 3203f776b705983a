// Two computers, one diary: the data folder kept in step by two real Syncthing daemons, a
// Quelora window on each copy where the user acts, in a network of the test's own. One
// table: what one computer writes and the other shows; both writing the same file while
// apart; what one computer leaves in the folder (its lock, its copy of unsaved text). The
// files are checked byte for byte in both folders: no word is lost.
#include "app/flatbutton.h"
#include "app/instancelock.h"
#include "app/versionsview.h"
#include "reliability/syncthing.h"
#include "store/recovery.h"
#include "support/formfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <iostream>

using namespace quelora;
using namespace quelora::test;

namespace {

class TwoComputers;

// One computer: its copy of the data folder and its window.
struct Side {
    QString folder;
    QString words; // what its user types
    FakePlatform platform;
    std::unique_ptr<Form1> form;
};

// A kind of file both computers write, reached as a person reaches it on 15 March 2007.
struct Kind {
    const char* name;
    QStringList files; // what its save writes: a card's group and the all-cards copy
    QByteArray (*bytes)(const QString& text);
    void (*open)(TwoComputers&, Side&); // brings its box on screen, filled from its file
    TextBox* (*box)(Form1&);
    void (*leave)(TwoComputers&, Side&); // saves it: leaving the box, or its button
};

enum class Meeting {
    OneWritesTheOtherFollows, // A writes and leaves; B has the file open and its box follows
    BothWriteWhileApart,      // A's engine stops, both write, the engines meet again
    LockAndUnsavedTextArrive  // A's lock and copy of unsaved text reach B, then B's Quelora starts
};

struct Row {
    const char* name;
    Meeting meeting;
    const Kind* kind;
    // Once the engines met after both wrote: what each window shows of the other version,
    // and the user keeping both.
    void (*afterMeet)(TwoComputers&, const Kind&) = nullptr;
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.name;
}

class TwoComputers : public FormFixture, public ::testing::WithParamInterface<Row> {
public:
    using FormFixture::click;
    using FormFixture::clickRow;
    using FormFixture::dayButton;
    using FormFixture::waitUntil;

    static void SetUpTestSuite() { privateNetwork = SyncthingPair::enterPrivateNetwork(&noNetwork); }

    void SetUp() override {
        FormFixture::SetUp();
        if (!privateNetwork) GTEST_SKIP() << "Skipped: " << noNetwork.toStdString();
        a.folder = dir.path() + QStringLiteral("/portatil");
        b.folder = dir.path() + QStringLiteral("/sobremesa");
        a.words = u(" escrito en el portátil");
        b.words = u(" escrito en el sobremesa");
        for (Side* s : {&a, &b})
            QDir().mkpath(s->folder);
        engines = std::make_unique<SyncthingPair>(dir.path(), std::array<QString, 2>{a.folder, b.folder});
    }
    void TearDown() override {
        for (Side* s : {&a, &b})
            s->form.reset();
        engines.reset();
        FormFixture::TearDown();
    }

    void startEngines() {
        QString why;
        ASSERT_TRUE(engines->start(&why)) << why.toStdString();
    }
    // Until both folders hold the same files.
    void meet() {
        QString why;
        ASSERT_TRUE(engines->settle(&why)) << why.toStdString();
    }
    void openWindow(Side& s) { s.form = FormFixture::openWindow(s.folder, s.platform); }
    void use(Side& s) { activate(s.form.get()); }
    void type(Side& s, TextBox* box, const QString& text) {
        use(s);
        clickInto(box);
        pressKey(box, Qt::Key_End, Qt::ControlModifier);
        typeText(box, text);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QByteArray read(const Side& s, const QString& file) { return read(s.folder + QLatin1Char('/') + file); }
    static void write(const Side& s, const QString& file, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(s.folder + QLatin1Char('/') + file).path());
        QFile f(s.folder + QLatin1Char('/') + file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    // What a file holds and, after it, what each conflict copy the engine made of it holds:
    // "<name>.sync-conflict-<date>-<time>-<device>[.<ext>]".
    static QList<QByteArray> versions(const Side& s, const QString& file) {
        const QFileInfo fi(s.folder + QLatin1Char('/') + file);
        const QString ext = fi.suffix().isEmpty() ? QString() : QLatin1Char('.') + fi.suffix();
        const QRegularExpression copy(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(fi.completeBaseName().isEmpty() ? fi.fileName() : fi.completeBaseName()) +
            QStringLiteral("\\.sync-conflict-\\d{8}-\\d{6}-[A-Z0-9]{7}") + QRegularExpression::escape(ext)));
        QList<QByteArray> out{read(s, file)};
        for (const QString& name : QDir(fi.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            if (copy.match(name).hasMatch()) out << read(fi.path() + QLatin1Char('/') + name);
        return out;
    }

    static inline bool privateNetwork = false;
    static inline QString noNetwork;
    std::unique_ptr<SyncthingPair> engines;
    Side a, b;
};

QByteArray pageBytes(const QString& text) {
    return store::encode(text);
}
QByteArray cardBytes(const QString& name) {
    return "Ruiz\r\n" + store::encode(name) + "\r\n\r\n\r\n\r\n\r\n\r\n";
}

const Kind kPage{"Page",
                 {u("dias/MIÉRCOLES, 14 de MARZO de 2007.txt")},
                 pageBytes,
                 [](TwoComputers& t, Side& s) {
                     t.use(s);
                     t.click(TwoComputers::dayButton(*s.form, 14));
                 },
                 [](Form1& f) { return f.Text1; },
                 [](TwoComputers& t, Side& s) {
                     t.use(s);
                     t.click(TwoComputers::dayButton(*s.form, 15));
                 }};
const Kind kNote{"Note",
                 {u("notas/2007-3-15--10-0")},
                 pageBytes,
                 [](TwoComputers& t, Side& s) {
                     t.use(s);
                     t.click(s.form->Command6[4]);
                     t.clickRow(s.form->File1, u("2007-3-15--10-0"));
                 },
                 [](Form1& f) { return f.Text6; },
                 [](TwoComputers& t, Side& s) {
                     t.use(s);
                     t.click(s.form->Command6[0]);
                 }};
const Kind kCard{"Card",
                 {u("direcciones/Amigos/Ruiz"), u("direcciones/Todos/Ruiz")},
                 cardBytes,
                 [](TwoComputers& t, Side& s) {
                     t.use(s);
                     t.click(s.form->Command6[5]);
                     t.clickRow(s.form->File2, u("Ruiz"));
                 },
                 [](Form1& f) { return f.Text7[1]; },
                 [](TwoComputers& t, Side& s) {
                     t.use(s);
                     t.click(s.form->Command7[0]);
                 }};

// Another computer's lock, as Qt writes one: a real lock taken here, its process, host,
// machine id and boot id replaced.
QByteArray otherComputersLock(const QString& host) {
    QTemporaryDir scratch;
    QLockFile real(scratch.filePath(QStringLiteral("x.lock")));
    EXPECT_TRUE(real.tryLock(0));
    QFile f(scratch.filePath(QStringLiteral("x.lock")));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = f.readAll().split('\n');
    EXPECT_GE(lines.size(), 5);
    lines[0] = "4242";
    lines[2] = host.toUtf8();
    lines[3] = "5f0c3a9e2b7d4e81a6c4f2d09b1e7a53";
    lines[4] = "c2a41e7f-8b3d-4f60-9a15-3e7d0b6c4f28";
    return lines.join('\n');
}

// Each window shows the other computer's version under the box (and a page on its day);
// A keeps both; once the engines meet again, both folders hold both texts in the file
// itself and no conflict copy is left beside it.
// The line under a box (under a card's last field) that names its other versions.
FlatButton* versionsLine(Form1& f, const Kind& k) {
    const QString under = k.box(f) == f.Text7[1] ? f.Text7[6]->objectName() : k.box(f)->objectName();
    return f.findChild<FlatButton*>(u("Versiones_") + under);
}

void keepBoth(TwoComputers& t, const Kind& k) {
    for (Side* s : {&t.a, &t.b}) {
        k.open(t, *s);
        FlatButton* bar = nullptr;
        ASSERT_TRUE(TwoComputers::waitUntil([&] { return (bar = versionsLine(*s->form, k)) && bar->isVisible(); }, 15000))
            << k.name << (s == &t.a ? " on A" : " on B");
        EXPECT_TRUE(bar->text().contains(u("Syncthing, dispositivo"))) << bar->text().toStdString();
        if (k.files[0].startsWith(u("dias/"))) EXPECT_TRUE(TwoComputers::dayButton(*s->form, 14)->versionMark());
    }
    t.use(t.a);
    t.click(versionsLine(*t.a.form, k));
    ASSERT_TRUE(t.a.form->Versions);
    t.click(t.a.form->Versions->keepBoth);
    t.meet();
    for (const Side* s : {&t.a, &t.b})
        for (const QString& f : k.files) {
            const QList<QByteArray> v = TwoComputers::versions(*s, f);
            EXPECT_EQ(v.size(), 1) << f.toStdString() << ": a conflict copy is left";
            for (const QString& words : {t.a.words, t.b.words})
                EXPECT_TRUE(v[0].contains(store::encode(words.trimmed())))
                    << f.toStdString() << (s == &t.a ? " on A: " : " on B: ") << v[0].toStdString();
        }
}

TEST_P(TwoComputers, KeepEveryWord) {
    const Row& row = GetParam();
    const Kind& k = *row.kind;
    TextBox* (*box)(Form1&) = k.box;
    switch (row.meeting) {
    case Meeting::OneWritesTheOtherFollows: {
        startEngines();
        openWindow(a);
        openWindow(b);
        k.open(*this, b); // open on B, nothing written yet
        ASSERT_EQ(box(*b.form)->text(), QString());
        k.open(*this, a);
        type(a, box(*a.form), a.words);
        k.leave(*this, a);
        ASSERT_EQ(read(a, k.files[0]), k.bytes(a.words));
        meet();
        EXPECT_EQ(read(b, k.files[0]), k.bytes(a.words));
        // B's box, untouched there, shows the page as it is now.
        EXPECT_TRUE(waitUntil([&] { return box(*b.form)->text() == a.words; }, 15000))
            << box(*b.form)->text().toStdString();
        break;
    }
    case Meeting::BothWriteWhileApart: {
        for (const QString& f : k.files)
            write(a, f, k.bytes(u("antes")));
        startEngines();
        meet();
        for (Side* s : {&a, &b}) {
            openWindow(*s);
            k.open(*this, *s);
            ASSERT_EQ(box(*s->form)->text(), u("antes"));
        }
        QString why;
        ASSERT_TRUE(engines->pause(&why)) << why.toStdString();
        for (Side* s : {&a, &b}) {
            type(*s, box(*s->form), s->words);
            k.leave(*this, *s);
            for (const QString& f : k.files)
                ASSERT_EQ(read(*s, f), k.bytes(u("antes") + s->words)) << f.toStdString();
        }
        ASSERT_TRUE(engines->resume(&why)) << why.toStdString();
        meet();
        // Both folders end with both texts: one as the file, the other as the engine's
        // conflict copy beside it (compared as text, for a readable failure).
        QStringList both{store::decode(k.bytes(u("antes") + a.words)), store::decode(k.bytes(u("antes") + b.words))};
        both.sort();
        int copies = 0;
        for (const Side* s : {&a, &b})
            for (const QString& f : k.files) {
                QStringList found;
                for (const QByteArray& v : versions(*s, f))
                    found << store::decode(v);
                copies += int(found.size()) - 1;
                found.sort();
                EXPECT_EQ(found, both) << f.toStdString() << (s == &a ? " on A" : " on B");
            }
        std::cout << "[ FIGURES  ] conflict copies in the two folders: " << copies << std::endl;
        if (row.afterMeet) row.afterMeet(*this, k);
        break;
    }
    case Meeting::LockAndUnsavedTextArrive: {
        // A is another computer, "portatil", where Quelora runs with a page typed and unsaved.
        write(a, k.files[0], k.bytes(u("antes")));
        const QByteArray lock = otherComputersLock(u("portatil"));
        write(a, kLockFileName, lock);
        write(a, u(".quelora-portatil-5f0c3a9e.lock"), lock);
        startEngines();
        a.platform.computerName = u("portatil-5f0c3a9e");
        openWindow(a);
        k.open(*this, a);
        type(a, box(*a.form), a.words);
        a.form->KeepUnsavedTexts(); // the typing pauses
        const QString unsavedName = recovery::fileNameOf(a.platform.computer());
        const QByteArray unsaved = read(a, unsavedName);
        ASSERT_NE(unsaved, QByteArray("<missing>"));
        meet();
        for (const QString& f : {kLockFileName, unsavedName})
            ASSERT_EQ(read(b, f), read(a, f)) << f.toStdString();

        // B's Quelora starts as the program does: the folder's lock first, then the window.
        DataFolderLock held(b.folder);
        ASSERT_TRUE(takeDataFolder(held, b.folder, b.platform)); // not shut out
        EXPECT_EQ(b.platform.messages, QStringList());
        const QString notice = otherComputerNotice(held, b.folder);
        EXPECT_TRUE(notice.contains(u("«portatil»"))) << notice.toStdString();
        openWindow(b);
        b.form->ReportNotice(notice);
        settle();
        EXPECT_TRUE(b.platform.messages.contains(notice)) << b.platform.messages.join(u'\n').toStdString();
        k.open(*this, b);
        // If B took A's unsaved words, it did not take them silently: a message names the page.
        if (box(*b.form)->text().contains(a.words) || read(b, k.files[0]).contains(store::encode(a.words))) {
            const QString page = QFileInfo(k.files[0]).completeBaseName();
            EXPECT_EQ(b.platform.messages.filter(page).size(), 1) << b.platform.messages.join(u'\n').toStdString();
        }
        // A leaves its box: its words are saved, and reach B; nothing of either is lost.
        k.leave(*this, a);
        meet();
        for (const Side* s : {&a, &b})
            EXPECT_EQ(read(*s, k.files[0]), k.bytes(u("antes") + a.words)) << (s == &a ? "on A" : "on B");
        EXPECT_TRUE(waitUntil([&] { return box(*b.form)->text() == u("antes") + a.words; }, 15000))
            << box(*b.form)->text().toStdString();
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SyncthingBetween, TwoComputers,
    ::testing::Values(Row{"APageWrittenOnOneIsFollowedOnTheOther", Meeting::OneWritesTheOtherFollows, &kPage},
                      Row{"APageWrittenOnBothWhileApart", Meeting::BothWriteWhileApart, &kPage, keepBoth},
                      Row{"ANoteWrittenOnBothWhileApart", Meeting::BothWriteWhileApart, &kNote, keepBoth},
                      Row{"ACardWrittenOnBothWhileApart", Meeting::BothWriteWhileApart, &kCard, keepBoth},
                      Row{"AnotherComputersLockAndUnsavedTextArrive", Meeting::LockAndUnsavedTextArrive, &kPage}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
