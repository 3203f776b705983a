#include "app/platform.h"

#include "app/instancelock.h"
#include "spelling/spelling.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QTranslator>
#include <QUrl>

namespace quelora {

QString Platform::computer() {
    return thisComputer();
}

QDateTime QtPlatform::now() {
    return QDateTime::currentDateTime();
}

std::unique_ptr<QMessageBox> messageBox(QWidget* owner, const QString& text) {
    auto box =
        std::make_unique<QMessageBox>(QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, owner);
    // Texts carry what the user wrote (a card field, a group name): never read as markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtPlatform::message(QWidget* owner, const QString& text) {
    messageBox(owner, text)->exec();
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
    // Started detached with the path as one argument: no shell ever parses it, and the
    // program goes on at once.
#if defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(path)});
#elif defined(Q_OS_MACOS)
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#else
    // xdg-open starts the desktop's own program for text files. Where it is missing
    // (or in a sandbox that only has the portal) Qt finds the desktop's launcher itself.
    if (QProcess::startDetached(QStringLiteral("xdg-open"), {path})) return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

bool installSpanishTranslations() {
    static QTranslator qt;
    if (!qt.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&qt);
}

void QtPlatform::endProgram() {
    QApplication::exit(0);
}

QStringList QtPlatform::dictionaryFolders() {
    return spelling::systemDictionaryFolders();
}

} // namespace quelora
