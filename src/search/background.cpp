#include "search/background.h"

#include <QMetaObject>
#include <chrono>

namespace quelora::search {

BackgroundSearch::BackgroundSearch(QString dataFolder, QObject* receiver,
                                   std::function<void(const Answer&)> answered,
                                   std::shared_ptr<store::WatchHub> hub, qint64 budgetBytes,
                                   bool watchFolders, int recheckMs)
    : data_(std::move(dataFolder)), hub_(std::move(hub)), budget_(budgetBytes), watch_(watchFolders),
      recheckMs_(recheckMs), relay_(std::make_unique<QObject>()), answeredBy_(std::move(answered)) {
    relay_->moveToThread(receiver->thread());
    thread_ = std::thread([this] { run(); });
}

BackgroundSearch::~BackgroundSearch() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
        newest_ = ~quint64(0); // what runs gives up
    }
    wake_.notify_one();
    thread_.join();
}

quint64 BackgroundSearch::find(const QString& query, int limit) {
    return post({0, false, query, QDate(), limit});
}

quint64 BackgroundSearch::otherYears(const QDate& date, int limit) {
    return post({0, true, QString(), date, limit});
}

void BackgroundSearch::fileWritten(const QString& path) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        written_ << path;
    }
    wake_.notify_one();
}

void BackgroundSearch::keepUp(bool on) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        keepUp_ = on;
    }
    wake_.notify_one();
}

quint64 BackgroundSearch::post(Request r) {
    r.number = ++latest_;
    {
        std::lock_guard<std::mutex> hold(lock_);
        newest_ = r.number;
        waiting_ = std::move(r);
    }
    wake_.notify_one();
    return latest_;
}

void BackgroundSearch::run() {
    std::unique_ptr<Searcher> searcher;
    for (;;) {
        Request r;
        QStringList written;
        bool check = false;
        {
            std::unique_lock<std::mutex> hold(lock_);
            for (;;) {
                if (stopping_) return;
                if (waiting_ || !written_.isEmpty()) break;
                const int due = keepUp_ && searcher ? searcher->msUntilRecheck() : -1;
                if (due == 0) {
                    // Given up as a request is, by any request posted from now on.
                    current_ = newest_.load();
                    check = true;
                    break;
                }
                if (due > 0)
                    wake_.wait_for(hold, std::chrono::milliseconds(due));
                else
                    wake_.wait(hold);
            }
            written.swap(written_);
            if (waiting_) {
                r = std::move(*waiting_);
                waiting_.reset();
            }
        }
        if (!searcher) {
            searcher = std::make_unique<Searcher>(data_, budget_, watch_);
            searcher->setRecheckInterval(recheckMs_);
            searcher->shareWatch(hub_);
            searcher->setCancel([this] {
                return newest_.load(std::memory_order_relaxed) != current_.load(std::memory_order_relaxed);
            });
        }
        for (const QString& path : std::as_const(written))
            searcher->fileWritten(path);
        if (r.number == 0) {
            if (check) searcher->recheckAhead();
            continue; // only files told, or the folders checked
        }
        current_ = r.number;
        Answer a;
        a.request = r.number;
        a.otherYears = r.otherYears;
        a.hits = r.otherYears ? searcher->otherYears(r.date, r.limit) : searcher->find(r.query, r.limit);
        a.stats = searcher->lastStats();
        if (a.stats.cancelled) continue; // a newer request is waiting
        QMetaObject::invokeMethod(
            relay_.get(),
            [this, a] {
                // A request made since is answered later; this one is of no more use.
                if (a.request != latest_) return;
                answered_ = a.request;
                answeredBy_(a);
            },
            Qt::QueuedConnection);
    }
}

} // namespace quelora::search
