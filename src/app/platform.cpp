#include "app/platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace quelora {

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

void QtPlatform::message(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, owner);
    box.exec();
}

void QtPlatform::setClipboardText(const QString& text) {
    QClipboard* cb = QApplication::clipboard();
    cb->clear();
    cb->setText(text);
}

bool QtPlatform::openMail(const QString& request) {
    // One argument, handed over as it stands; no shell sees it.
    return QDesktopServices::openUrl(QUrl(request, QUrl::TolerantMode));
}

bool QtPlatform::openTextEditor(const QString& path) {
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(path)});
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

void QtPlatform::endProgram() { QApplication::exit(0); }

} // namespace quelora
