#pragma once
// Two real Syncthing daemons keeping two data folders in step, as on two computers, inside
// a network of this process's own where nothing can leave the machine: only its loopback
// exists there. Each is configured before its first start to talk to the other alone (no
// discovery, relays, NAT, reports or upgrades), and is told what to do, and asked how far
// it is, through its REST API.
#include <QByteArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QString>
#include <array>
#include <functional>
#include <memory>

namespace quelora::test {

class SyncthingPair {
public:
    // Moves this process (and what it starts from now on) into a network namespace of its
    // own with only the loopback up. False, and why, where none can be made (not root,
    // no unshare, no ip).
    static bool enterPrivateNetwork(QString* why);

    // Side 0 keeps folders[0] in step with side 1's folders[1]; scratch holds their homes.
    SyncthingPair(const QString& scratch, const std::array<QString, 2>& folders);
    ~SyncthingPair(); // both shut down through the API
    SyncthingPair(const SyncthingPair&) = delete;
    SyncthingPair& operator=(const SyncthingPair&) = delete;

    // Writes both configurations, starts both daemons and waits until they are connected.
    bool start(QString* why);
    // Side 0 stops talking to side 1 (it pauses that device) until resume(): each side goes
    // on seeing its own changes; neither receives the other's.
    bool pause(QString* why);
    bool resume(QString* why);
    // Until both folders hold the same files: both scan now, each has everything the other
    // has, and a further scan finds nothing new (a conflict copy is itself a new file).
    bool settle(QString* why);
    // The first block of a device's id, as the engine puts it into a conflict copy's name.
    QString shortId(int side) const { return ids_[side].left(7); }
    // The end of a daemon's log, for a failure's message.
    QString logTail(int side) const;

private:
    struct Reply {
        bool ok = false;
        QJsonObject json;
        QString error;
    };
    Reply call(int side, const QByteArray& verb, const QString& path, int ms = 30000);
    // Until both engines see each other connected (or both apart).
    bool waitConnected(bool connected, const QString& what, QString* why);
    bool waitFor(int side, const QString& path, const std::function<bool(const QJsonObject&)>& done,
                 const QString& what, QString* why, int ms = 60000);
    QString home(int side) const;
    bool configure(int side, QString* why);

    QString scratch_;
    std::array<QString, 2> folders_;
    std::array<QString, 2> ids_;
    std::array<std::unique_ptr<QProcess>, 2> daemons_;
    QNetworkAccessManager net_;
};

} // namespace quelora::test
