#include "support/formfixture.h"

#include "store/codepage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace quelora::test {

QByteArray cp1252(const char* utf8) {
    return store::encode(QString::fromUtf8(utf8));
}

void FormFixture::SetUp() {
    ASSERT_TRUE(dir.isValid());
}

void FormFixture::TearDown() {
    if (form) {
        form->hide();
        form.reset();
    }
    QApplication::processEvents();
}

void FormFixture::start(const QDate& today, const QTime& time) {
    platform.clock = QDateTime(today, time);
    form = std::make_unique<Form1>(dataFolder(), platform);
    form->Form_Load();
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    settle();
}

void FormFixture::settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
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

void FormFixture::makeFolder(const QString& relative) const {
    QDir().mkpath(path(relative));
}

void FormFixture::click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    settle();
}

void FormFixture::clickInto(TextBox* box) {
    QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    settle();
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

void FormFixture::pressKey(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(w, key, mods);
    settle();
}

void FormFixture::pickFromList(QComboBox* combo, int index) {
    combo->setFocus(Qt::MouseFocusReason);
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
    settle();
}

FlatButton* FormFixture::dayButton(int d) const {
    for (FlatButton* b : form->Command1)
        if (!b->isHidden() && b->text() == QString::number(d)) return b;
    return nullptr;
}

} // namespace quelora::test
