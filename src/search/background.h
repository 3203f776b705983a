#pragma once
// The search run on a thread of its own, so that no query ever holds the window. Each
// request is numbered; a request still waiting or running is given up as soon as a newer
// one comes (typing on), and only the newest request's answer is handed back, on the
// thread of the receiver given, through its event loop.
//
// Where no notices come, the folders must be checked file by file at most a second before
// each query (Searcher::setRecheckInterval). While told to keep up (the search is open),
// the thread does that between requests, when Searcher::msUntilRecheck says, so that no
// request pays the check; a request that comes meanwhile gives the check up between files
// as it would give up an older request, and the check goes on after it.
#include "search/search.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quelora::search {

// What a request found.
struct SearchAnswer {
    quint64 request = 0;
    bool otherYears = false; // the day's pages of other years, not a query
    QList<Hit> hits;
    Searcher::Stats stats;
};

class BackgroundSearch {
public:
    using Answer = SearchAnswer;
    // answered runs on receiver's thread, never after this is gone. The
    // Searcher is made on the search's thread at the first request.
    // hub: the program's one watch of the system, shared with the window (none: one of its own).
    BackgroundSearch(QString dataFolder, QObject* receiver, std::function<void(const Answer&)> answered,
                     std::shared_ptr<store::WatchHub> hub = nullptr, qint64 budgetBytes = kDefaultBudgetBytes,
                     bool watchFolders = true, int recheckMs = kRecheckMs);
    ~BackgroundSearch(); // gives up what runs and waits for the thread
    BackgroundSearch(const BackgroundSearch&) = delete;
    BackgroundSearch& operator=(const BackgroundSearch&) = delete;

    // Each returns the request's number; the answer carries it.
    quint64 find(const QString& query, int limit = kDefaultLimit);
    quint64 otherYears(const QDate& date, int limit = 0);
    // As Searcher::fileWritten, taken before the next request runs.
    void fileWritten(const QString& path);
    // Whether the folders are checked between requests (see above); off to begin with.
    void keepUp(bool on);
    // The newest request has not been answered yet.
    bool busy() const { return answered_ != latest_; }
    quint64 latest() const { return latest_; }

private:
    struct Request {
        quint64 number = 0;
        bool otherYears = false;
        QString query;
        QDate date;
        int limit = 0;
    };
    quint64 post(Request r);
    void run();

    const QString data_;
    std::shared_ptr<store::WatchHub> hub_;
    const qint64 budget_;
    const bool watch_;
    const int recheckMs_;
    std::unique_ptr<QObject> relay_; // on the receiver's thread: gone with this, and its answers with it
    std::function<void(const Answer&)> answeredBy_;
    quint64 latest_ = 0;              // on the receiver's thread
    quint64 answered_ = 0;            // the same
    std::atomic<quint64> newest_{0};  // what the search's thread compares against
    std::atomic<quint64> current_{0}; // the request running
    std::mutex lock_;
    std::condition_variable wake_;
    std::optional<Request> waiting_; // the newest request not yet taken
    QStringList written_;            // paths for fileWritten, in order
    bool stopping_ = false;
    bool keepUp_ = false;
    std::thread thread_;
};

} // namespace quelora::search
