#include "store/watch.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <map>
#include <mutex>
#include <set>
#include <utility>

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

// ---- Notices ------------------------------------------------------------------------

struct Watcher::Client {
    std::function<void()> woken;
    std::set<int> ids;           // the watches this Watcher holds
    std::vector<Notice> pending; // taken from the system for it, not yet by it
    bool lost = false;
};

class WatchHub {
public:
    WatchHub();
    ~WatchHub();
    int fd() const { return fd_; }
    int add(Watcher::Client* c, const QString& folder);
    void remove(Watcher::Client* c, int id);
    void join(const std::shared_ptr<Watcher::Client>& c);
    void leave(Watcher::Client* c);
    std::vector<Watcher::Notice> take(Watcher::Client* c, bool* lost);

private:
    std::vector<Watcher::Notice> read(bool* lost); // what the system has pending
    void release(int id);
    int fd_ = -1;
    std::mutex lock_;
    std::vector<std::weak_ptr<Watcher::Client>> clients_;
    std::map<int, int> holders_; // watch id -> how many Watchers hold it
};

void WatchHub::join(const std::shared_ptr<Watcher::Client>& c) {
    std::lock_guard<std::mutex> hold(lock_);
    clients_.push_back(c);
}

// One Watcher less on the watch; the last lets the system's watch go. Under lock_.
void WatchHub::release(int id) {
    if (--holders_[id] > 0) return; // another Watcher still follows that folder
    holders_.erase(id);
#ifdef Q_OS_LINUX
    if (fd_ >= 0) ::inotify_rm_watch(fd_, id);
#endif
}

void WatchHub::leave(Watcher::Client* c) {
    std::lock_guard<std::mutex> hold(lock_);
    for (int id : c->ids)
        release(id);
    c->ids.clear();
    std::erase_if(clients_, [c](const std::weak_ptr<Watcher::Client>& w) {
        const auto p = w.lock();
        return !p || p.get() == c;
    });
}

void WatchHub::remove(Watcher::Client* c, int id) {
    std::lock_guard<std::mutex> hold(lock_);
    if (id < 0 || !c->ids.erase(id)) return;
    release(id);
}

std::vector<Watcher::Notice> WatchHub::take(Watcher::Client* c, bool* lost) {
    std::vector<std::function<void()>> wake; // called once the lock is let go
    std::vector<Watcher::Notice> mine;
    {
        std::lock_guard<std::mutex> hold(lock_);
        bool dropped = false;
        const std::vector<Watcher::Notice> notices = read(&dropped);
        for (const auto& weak : clients_) {
            const auto other = weak.lock();
            if (!other) continue;
            bool any = dropped;
            other->lost = other->lost || dropped;
            for (const Watcher::Notice& n : notices)
                if (other->ids.contains(n.id)) {
                    other->pending.push_back(n);
                    any = true;
                }
            if (any && other.get() != c && other->woken) wake.push_back(other->woken);
        }
        // A folder gone ends its watch for every Watcher.
        for (const Watcher::Notice& n : notices)
            if (n.folderGone && holders_.erase(n.id))
                for (const auto& weak : clients_)
                    if (const auto other = weak.lock()) other->ids.erase(n.id);
        mine.swap(c->pending);
        *lost = std::exchange(c->lost, false);
    }
    for (const auto& w : wake)
        w();
    return mine;
}

Watcher::Watcher() : Watcher(makeHub()) {}

Watcher::Watcher(std::shared_ptr<WatchHub> hub, std::function<void()> woken)
    : hub_(std::move(hub)), me_(std::make_shared<Client>()) {
    me_->woken = std::move(woken);
    hub_->join(me_);
}

Watcher::~Watcher() {
    hub_->leave(me_.get());
}

std::shared_ptr<WatchHub> Watcher::makeHub() {
    return std::make_shared<WatchHub>();
}

bool Watcher::active() const {
    return hub_->fd() >= 0;
}

int Watcher::handle() const {
    return hub_->fd();
}

int Watcher::add(const QString& folder) {
    return hub_->add(me_.get(), folder);
}

void Watcher::remove(int id) {
    hub_->remove(me_.get(), id);
}

std::vector<Watcher::Notice> Watcher::take(bool* lost) {
    return hub_->take(me_.get(), lost);
}

#ifdef Q_OS_LINUX

WatchHub::WatchHub() {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

WatchHub::~WatchHub() {
    if (fd_ >= 0) ::close(fd_);
}

int WatchHub::add(Watcher::Client* c, const QString& folder) {
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
    std::lock_guard<std::mutex> hold(lock_);
    const int id = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), mask);
    if (id >= 0 && c->ids.insert(id).second) ++holders_[id];
    return id;
}

std::vector<Watcher::Notice> WatchHub::read(bool* lost) {
    std::vector<Watcher::Notice> notices;
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

WatchHub::WatchHub() = default;
WatchHub::~WatchHub() = default;
int WatchHub::add(Watcher::Client*, const QString&) {
    return -1;
}
std::vector<Watcher::Notice> WatchHub::read(bool* lost) {
    *lost = false;
    return {};
}

#endif

} // namespace quelora::store
