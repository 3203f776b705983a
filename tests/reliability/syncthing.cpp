#include "reliability/syncthing.h"

#include <QDir>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sched.h>

namespace quelora::test {

namespace {

const QByteArray kApiKey = "quelora-prueba-de-sincronizacion";
const QString kFolderId = QStringLiteral("quelora");
constexpr int kListenPort[] = {22001, 22002};
constexpr int kApiPort[] = {8385, 8386};

QDomElement child(const QDomElement& e, const QString& name) {
    return e.firstChildElement(name);
}

void setText(QDomElement e, const QString& text) {
    while (e.hasChildNodes())
        e.removeChild(e.firstChild());
    e.appendChild(e.ownerDocument().createTextNode(text));
}

} // namespace

bool SyncthingPair::enterPrivateNetwork(QString* why) {
    if (unshare(CLONE_NEWNET) != 0) {
        *why = QStringLiteral("no private network namespace can be made here (unshare: %1); it needs root")
                   .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    QProcess ip;
    ip.start(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"),
                                    QStringLiteral("up")});
    if (!ip.waitForFinished(10000) || ip.exitStatus() != QProcess::NormalExit || ip.exitCode() != 0) {
        *why = QStringLiteral("the loopback of the private network cannot be brought up (ip link set lo up: %1)")
                   .arg(ip.errorString() + QString::fromLocal8Bit(ip.readAllStandardError()));
        return false;
    }
    return true;
}

SyncthingPair::SyncthingPair(const QString& scratch, const std::array<QString, 2>& folders)
    : scratch_(scratch), folders_(folders) {
    net_.setProxy(QNetworkProxy::NoProxy); // the engines are on this machine, whatever the environment says
}

SyncthingPair::~SyncthingPair() {
    for (int side : {0, 1})
        if (daemons_[side] && daemons_[side]->state() != QProcess::NotRunning)
            call(side, "POST", QStringLiteral("/rest/system/shutdown"), 5000);
    for (auto& d : daemons_)
        if (d && !d->waitForFinished(15000)) {
            d->kill(); // ours alone, and only when it would not end as asked
            d->waitForFinished(5000);
        }
}

QString SyncthingPair::home(int side) const {
    return scratch_ + QStringLiteral("/syncthing-%1").arg(side);
}

QString SyncthingPair::logTail(int side) const {
    QFile f(home(side) + QStringLiteral("/registro.txt"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = f.readAll();
    return QString::fromUtf8(all.right(3000));
}

bool SyncthingPair::configure(int side, QString* why) {
    // The configuration both read: each device's id comes from its own, as generated.
    QFile f(home(side) + QStringLiteral("/config.xml"));
    QDomDocument doc;
    if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f)) {
        *why = QStringLiteral("no readable config.xml in ") + home(side);
        return false;
    }
    f.close();
    QDomElement root = doc.documentElement();
    const int other = 1 - side;
    QDomElement options = child(root, QStringLiteral("options"));
    setText(child(options, QStringLiteral("listenAddress")),
            QStringLiteral("tcp://127.0.0.1:%1").arg(kListenPort[side]));
    for (const char* off : {"globalAnnounceEnabled", "localAnnounceEnabled", "relaysEnabled", "natEnabled",
                            "crashReportingEnabled", "startBrowser"})
        setText(child(options, QString::fromLatin1(off)), QStringLiteral("false"));
    setText(child(options, QStringLiteral("urAccepted")), QStringLiteral("-1"));
    setText(child(options, QStringLiteral("autoUpgradeIntervalH")), QStringLiteral("0"));
    setText(child(options, QStringLiteral("stunKeepaliveStartS")), QStringLiteral("0"));
    QDomElement gui = child(root, QStringLiteral("gui"));
    setText(child(gui, QStringLiteral("address")), QStringLiteral("127.0.0.1:%1").arg(kApiPort[side]));
    setText(child(gui, QStringLiteral("apikey")), QString::fromLatin1(kApiKey));

    // The other device, at its one address; the folder shared by both, from the defaults
    // the engine wrote (among them maxConflicts: without it no conflict copy is kept).
    const QDomElement defaults = child(root, QStringLiteral("defaults"));
    QDomElement device = child(defaults, QStringLiteral("device")).cloneNode().toElement();
    device.setAttribute(QStringLiteral("id"), ids_[other]);
    device.setAttribute(QStringLiteral("name"), QStringLiteral("otro-%1").arg(other));
    setText(child(device, QStringLiteral("address")), QStringLiteral("tcp://127.0.0.1:%1").arg(kListenPort[other]));
    root.insertAfter(device, child(root, QStringLiteral("device")));
    QDomElement folder = child(defaults, QStringLiteral("folder")).cloneNode().toElement();
    folder.setAttribute(QStringLiteral("id"), kFolderId);
    folder.setAttribute(QStringLiteral("label"), QStringLiteral("Quelora"));
    folder.setAttribute(QStringLiteral("path"), folders_[side]);
    folder.setAttribute(QStringLiteral("type"), QStringLiteral("sendreceive"));
    folder.setAttribute(QStringLiteral("fsWatcherEnabled"), QStringLiteral("true"));
    folder.setAttribute(QStringLiteral("fsWatcherDelayS"), QStringLiteral("1"));
    setText(child(folder, QStringLiteral("maxConflicts")), QStringLiteral("10"));
    QDomElement shared = child(folder, QStringLiteral("device")).cloneNode().toElement();
    shared.setAttribute(QStringLiteral("id"), ids_[other]);
    folder.insertAfter(shared, child(folder, QStringLiteral("device")));
    root.insertBefore(folder, root.firstChild());

    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(doc.toByteArray(4)) < 0) {
        *why = QStringLiteral("config.xml cannot be written in ") + home(side);
        return false;
    }
    // The folder's marker, which the engine looks for before it touches a folder.
    QDir().mkpath(folders_[side] + QStringLiteral("/.stfolder"));
    return true;
}

bool SyncthingPair::start(QString* why) {
    for (int side : {0, 1}) {
        QProcess gen;
        gen.start(QStringLiteral("syncthing"), {QStringLiteral("generate"), QStringLiteral("--home=") + home(side),
                                                QStringLiteral("--no-default-folder")});
        if (!gen.waitForFinished(60000) || gen.exitCode() != 0) {
            *why = QStringLiteral("syncthing generate failed (%1); the test command installs Debian's syncthing")
                       .arg(gen.errorString());
            return false;
        }
        QFile f(home(side) + QStringLiteral("/config.xml"));
        QDomDocument doc;
        if (!f.open(QIODevice::ReadOnly) || !doc.setContent(&f)) {
            *why = QStringLiteral("syncthing generate wrote no readable config.xml");
            return false;
        }
        ids_[side] = child(doc.documentElement(), QStringLiteral("device")).attribute(QStringLiteral("id"));
    }
    for (int side : {0, 1}) {
        if (!configure(side, why)) return false;
        auto& d = daemons_[side];
        d = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
        d->setProcessEnvironment(env);
        d->setProcessChannelMode(QProcess::MergedChannels);
        d->setStandardOutputFile(home(side) + QStringLiteral("/registro.txt"));
        d->start(QStringLiteral("syncthing"),
                 {QStringLiteral("serve"), QStringLiteral("--home=") + home(side), QStringLiteral("--no-browser"),
                  QStringLiteral("--no-upgrade"), QStringLiteral("--no-restart")});
        if (!d->waitForStarted(30000)) {
            *why = QStringLiteral("syncthing serve did not start: ") + d->errorString();
            return false;
        }
    }
    return waitConnected(true, QStringLiteral("the two engines to connect"), why);
}

SyncthingPair::Reply SyncthingPair::call(int side, const QByteArray& verb, const QString& path, int ms) {
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(kApiPort[side]).arg(path)));
    request.setRawHeader("X-API-Key", kApiKey);
    request.setTransferTimeout(ms);
    std::unique_ptr<QNetworkReply> reply(net_.sendCustomRequest(request, verb));
    QEventLoop loop; // the windows go on living while the engine answers
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Reply r;
    r.ok = reply->error() == QNetworkReply::NoError;
    r.error = reply->errorString();
    r.json = QJsonDocument::fromJson(reply->readAll()).object();
    return r;
}

bool SyncthingPair::waitFor(int side, const QString& path, const std::function<bool(const QJsonObject&)>& done,
                            const QString& what, QString* why, int ms) {
    QElapsedTimer waited;
    waited.start();
    Reply last;
    while (waited.elapsed() < ms) {
        last = call(side, "GET", path);
        if (last.ok && done(last.json)) return true;
        QTest::qWait(50);
    }
    *why = QStringLiteral("waited %1 s for %2; side %3 last said %4 %5\n%6")
               .arg(ms / 1000)
               .arg(what)
               .arg(side)
               .arg(last.error, QString::fromUtf8(QJsonDocument(last.json).toJson(QJsonDocument::Compact)),
                    logTail(side));
    return false;
}

bool SyncthingPair::waitConnected(bool connected, const QString& what, QString* why) {
    for (int side : {0, 1})
        if (!waitFor(side, QStringLiteral("/rest/system/connections"),
                     [&](const QJsonObject& o) {
                         return o[QStringLiteral("connections")][ids_[1 - side]][QStringLiteral("connected")]
                                    .toBool() == connected;
                     },
                     what, why))
            return false;
    return true;
}

bool SyncthingPair::pause(QString* why) {
    if (!call(0, "POST", QStringLiteral("/rest/system/pause?device=") + ids_[1]).ok) {
        *why = QStringLiteral("the engine refused to pause");
        return false;
    }
    return waitConnected(false, QStringLiteral("the engines to part"), why);
}

bool SyncthingPair::resume(QString* why) {
    if (!call(0, "POST", QStringLiteral("/rest/system/resume?device=") + ids_[1]).ok) {
        *why = QStringLiteral("the engine refused to resume");
        return false;
    }
    return waitConnected(true, QStringLiteral("the engines to meet again"), why);
}

bool SyncthingPair::settle(QString* why) {
    qint64 before[2] = {-1, -1};
    for (int round = 0; round < 20; ++round) {
        for (int side : {0, 1})
            if (const Reply r = call(side, "POST", QStringLiteral("/rest/db/scan?folder=") + kFolderId, 60000);
                !r.ok) {
                *why = QStringLiteral("side %1 could not scan: %2").arg(side).arg(r.error);
                return false;
            }
        qint64 now[2];
        for (int side : {0, 1}) {
            // What this side sees of the other: all it has, nothing it still needs.
            if (!waitFor(side,
                         QStringLiteral("/rest/db/completion?folder=%1&device=%2").arg(kFolderId, ids_[1 - side]),
                         [](const QJsonObject& o) {
                             return o[QStringLiteral("completion")].toDouble() == 100 &&
                                    o[QStringLiteral("needItems")].toInt() == 0 &&
                                    o[QStringLiteral("needDeletes")].toInt() == 0;
                         },
                         QStringLiteral("the other side to have everything"), why))
                return false;
            if (!waitFor(side, QStringLiteral("/rest/db/status?folder=") + kFolderId,
                         [](const QJsonObject& o) {
                             return o[QStringLiteral("state")].toString() == QLatin1String("idle") &&
                                    o[QStringLiteral("needTotalItems")].toInt() == 0;
                         },
                         QStringLiteral("this side to need nothing"), why))
                return false;
            now[side] = call(side, "GET", QStringLiteral("/rest/db/status?folder=") + kFolderId)
                            .json[QStringLiteral("sequence")]
                            .toInteger();
        }
        if (now[0] == before[0] && now[1] == before[1]) return true;
        before[0] = now[0];
        before[1] = now[1];
    }
    *why = QStringLiteral("the two folders kept changing");
    return false;
}

} // namespace quelora::test
