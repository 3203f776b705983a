#include "store/watch.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#include <sys/vfs.h>
#endif

namespace quelora::store {

qint64 nowNs() {
    return QDateTime::currentMSecsSinceEpoch() * 1000000;
}

#ifdef Q_OS_UNIX

Stamp stampOfStat(const struct stat& st) {
    Stamp s;
    s.size = st.st_size;
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    return s;
}

Stamp stampOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return stampOfStat(st);
}

#else

Stamp stampOf(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.isFile()) return {};
    Stamp s;
    s.size = fi.size();
    s.modifiedNs = fi.lastModified().toMSecsSinceEpoch() * 1000000;
    s.changedNs = fi.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
    return s;
}

#endif

#ifdef Q_OS_LINUX

Watcher::Watcher() {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

Watcher::~Watcher() {
    if (fd_ >= 0) ::close(fd_);
}

int Watcher::add(const QString& folder) {
    if (fd_ < 0) return -1;
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) == 0) {
        switch (static_cast<unsigned long>(fs.f_type)) {
        case 0x6969:     // NFS
        case 0x517B:     // SMB
        case 0xFF534D42: // CIFS
        case 0xFE534D42: // SMB2
        case 0x65735546: // FUSE
        case 0x01021997: // 9P
        case 0x00C36400: // Ceph
        case 0x5346414F: // AFS
            return -1;
        default:
            break;
        }
    }
    // IN_MODIFY too: a program that writes into a file and keeps it open is seen at once.
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO |
                          IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    return ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), mask);
}

void Watcher::remove(int id) {
    if (fd_ >= 0 && id >= 0) ::inotify_rm_watch(fd_, id);
}

std::vector<Watcher::Notice> Watcher::take(bool* lost) {
    std::vector<Notice> notices;
    *lost = false;
    if (fd_ < 0) return notices;
    alignas(struct inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // EAGAIN: nothing more pending
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const struct inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                *lost = true;
                continue;
            }
            if (e->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
                notices.push_back({e->wd, QString(), true});
                continue;
            }
            if (e->len > 0) notices.push_back({e->wd, QFile::decodeName(e->name), false});
        }
    }
    return notices;
}

#else

Watcher::Watcher() = default;
Watcher::~Watcher() = default;
int Watcher::add(const QString&) {
    return -1;
}
void Watcher::remove(int) {}
std::vector<Watcher::Notice> Watcher::take(bool* lost) {
    *lost = false;
    return {};
}

#endif

} // namespace quelora::store
