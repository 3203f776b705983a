#include "support/formfixture.h"

#include "store/codepage.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

namespace quelora::test {

void FormFixture::SetUp() {
    ASSERT_TRUE(dir.isValid());
    store::setWriteFaults(&writeFaults);
}

void FormFixture::TearDown() {
    if (form) {
        form->hide();
        form.reset();
    }
    QApplication::processEvents();
    store::setWriteFaults(nullptr);
}

void FormFixture::start(const QDate& today, const QTime& time) {
    form = openWindow(dataFolder(), platform, today, time);
}

void FormFixture::startShown(const QDate& today, const QTime& time) {
    platform.clock = QDateTime(today, time);
    form = std::make_unique<Form1>(dataFolder(), platform);
    form->setRecoveryDelay(recoveryDelay);
    form->Form_Load();
    form->show();
}

std::unique_ptr<Form1> FormFixture::openWindow(const QString& folder, FakePlatform& p, const QDate& today,
                                               const QTime& time) {
    p.clock = QDateTime(today, time);
    auto window = std::make_unique<Form1>(folder, p);
    window->setRecoveryDelay(recoveryDelay);
    window->Form_Load();
    window->show();
    activate(window.get());
    // The panels the first paint leaves out come just after it, as they do for the user.
    EXPECT_TRUE(waitUntil([&window] {
        for (int i = 0; i < 6; ++i)
            if (!window->panelBuilt(static_cast<Form1::Panel>(i))) return false;
        return true;
    }));
    return window;
}

void FormFixture::activate(QWidget* window) {
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    settle();
}

void FormFixture::settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    // A query still running on the search's thread is waited for, as a user waits to see
    // its results; its answer comes through the event loop.
    if (form && form->SearchBusy()) ASSERT_TRUE(waitUntil([this] { return !form->SearchBusy(); }, 30000));
}

void FormFixture::crashAndRestart() {
    // Beside a folder of its own, named as the data folder was, so that anything the new
    // window writes beside its data folder shows as before.
    const QString parent = crashes.path() + QStringLiteral("/%1").arg(++crashCount);
    QDir().mkpath(parent);
    const QString copy = parent + QLatin1Char('/') + QFileInfo(dataFolder()).fileName();
    // cp -a keeps hidden files, links and modes as they are.
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), dataFolder(), copy}), 0);
    const QDateTime clock = platform.clock;
    form->hide();
    form.reset();
    settle();
    dataFolder_ = copy;
    start(clock.date(), clock.time());
}

bool FormFixture::waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms) return false;
        QTest::qWait(10);
    }
    return true;
}

QString FormFixture::path(const QString& relative) const {
    return dataFolder() + QLatin1Char('/') + relative;
}

void FormFixture::nestDataFolder() {
    dataFolder_ = dir.path() + QStringLiteral("/Quelora");
    QDir().mkpath(dataFolder_);
}

void FormFixture::writeBytes(const QString& relative, const QByteArray& bytes) const {
    const QString p = path(relative);
    QDir().mkpath(QFileInfo(p).path());
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << p.toStdString();
    f.write(bytes);
}

QByteArray FormFixture::readBytes(const QString& relative) const {
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

bool FormFixture::exists(const QString& relative) const {
    return QFileInfo::exists(path(relative));
}

QStringList FormFixture::filesIn(const QString& relative) const {
    return QDir(path(relative)).entryList(QDir::Files, QDir::Name);
}

void FormFixture::makeFolder(const QString& relative) const {
    QDir().mkpath(path(relative));
}

void FormFixture::clickAt(QWidget* w, const QPoint& p) {
    // Through the window, as the window system delivers it: Qt finds the widget under
    // the pointer, moves the focus on the press and clicks on the release.
    QWidget* window = w->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, w->mapTo(window, p));
    settle();
}

void FormFixture::click(QWidget* w) {
    clickAt(w, w->rect().center());
}

void FormFixture::clickInto(TextBox* box) {
    clickAt(box->viewport(), QPoint(5, 5));
}

void FormFixture::typeText(QWidget* w, const QString& text) {
    QWidget* target = w;
    if (auto* box = qobject_cast<TextBox*>(w)) target = box->viewport()->parentWidget();
    for (QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(target, Qt::Key_Return);
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    settle();
}

void FormFixture::typeInto(TextBox* box, const QString& text) {
    clickInto(box);
    typeText(box, text);
}

void FormFixture::retype(QWidget* w, const QString& text) {
    QWidget* target = w;
    if (auto* box = qobject_cast<TextBox*>(w)) {
        clickInto(box);
    } else {
        if (auto* combo = qobject_cast<QComboBox*>(w)) target = combo->lineEdit();
        click(target);
    }
    pressKey(target, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        pressKey(target, Qt::Key_Delete);
    else
        typeText(target, text);
}

void FormFixture::clickRow(QListWidget* list, int row) {
    ASSERT_TRUE(row >= 0 && row < list->count()) << "no row " << row;
    list->scrollToItem(list->item(row)); // as the user scrolls to it first
    clickAt(list->viewport(), list->visualItemRect(list->item(row)).center());
}

void FormFixture::clickRow(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    clickRow(list, list->row(found[0]));
}

void FormFixture::pressKey(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(w, key, mods);
    settle();
}

void FormFixture::paste(QWidget* w, const QString& text) {
    QWidget* target = w;
    if (auto* combo = qobject_cast<QComboBox*>(w)) target = combo->lineEdit();
    if (auto* box = qobject_cast<TextBox*>(w))
        clickInto(box);
    else
        click(target);
    QApplication::clipboard()->setText(text);
    pressKey(target, Qt::Key_A, Qt::ControlModifier);
    pressKey(target, Qt::Key_V, Qt::ControlModifier);
}

void FormFixture::pickFromList(QComboBox* combo, int index) {
    clickAt(combo, QPoint(combo->width() - 6, combo->height() / 2)); // the arrow
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(view->isVisible()) << "the drop-down did not open";
    const QModelIndex entry = combo->model()->index(index, combo->modelColumn());
    view->scrollTo(entry); // as the user scrolls the open list to the entry
    QWidget* popup = view->window();
    const QPoint at = view->viewport()->mapTo(popup, view->visualRect(entry).center());
    // The pointer travels to the entry: two moves, so that one is always a real move.
    QTest::mouseMove(popup->windowHandle(), at + QPoint(0, 1));
    QTest::mouseMove(popup->windowHandle(), at);
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    settle();
}

void FormFixture::whileMenuOpen(QWidget* w, const std::function<bool(QMenu*)>& act,
                                const std::function<void()>& open) {
    auto* poll = new QTimer(w);
    QObject::connect(poll, &QTimer::timeout, poll, [&act, poll] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()); menu && act(menu)) poll->stop();
    });
    poll->start(10);
    open();
    delete poll;
    settle();
}

QStringList FormFixture::contextMenu(QWidget* w, const QPoint& p, const QString& pick) {
    QStringList shown;
    QElapsedTimer waited;
    waited.start();
    whileMenuOpen(
        w,
        [&](QMenu* menu) {
            QStringList texts;
            for (QAction* a : menu->actions())
                if (!a->isSeparator()) texts << a->text();
            if (texts.contains(QStringLiteral("Buscando sugerencias…")) && waited.elapsed() < 5000) return false;
            shown = texts;
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions())
                if (!pick.isEmpty() && a->text() == pick) chosen = a;
            if (chosen) {
                const QPoint at = menu->actionGeometry(chosen).center();
                QTest::mouseMove(menu->windowHandle(), at);
                QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
            } else {
                QTest::keyClick(menu, Qt::Key_Escape);
            }
            return true;
        },
        [&] {
            QWidget* window = w->window();
            // Through the window: Qt turns the right press into the context menu's event.
            QTest::mouseClick(window->windowHandle(), Qt::RightButton, Qt::NoModifier, w->mapTo(window, p));
        });
    return shown;
}

void FormFixture::wheel(QWidget* w, int notches) {
    QWidget* window = w->window();
    const QPointF local = w->mapTo(window, w->rect().center());
    QWheelEvent e(local, window->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    // As from the window system: the window finds the widget under the pointer and
    // Qt passes the turn on to its parents while they ignore it.
    QSpontaneKeyEvent::setSpontaneous(&e);
    QApplication::instance()->notify(window->windowHandle(), &e);
    settle();
}

QWidget* FormFixture::focused() {
    QWidget* w = QApplication::focusWidget();
    if (w && qobject_cast<QComboBox*>(w->parentWidget())) return w->parentWidget();
    return w;
}

FlatButton* FormFixture::dayButton(const Form1& f, int d) {
    for (FlatButton* b : f.Command1)
        if (!b->isHidden() && b->text() == QString::number(d)) return b;
    return nullptr;
}

} // namespace quelora::test
