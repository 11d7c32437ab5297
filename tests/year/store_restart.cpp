#include "store_restart.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>

#include "pg_cluster.h"

namespace vrn::test {
namespace {

constexpr int kPollMs = 10;

}  // namespace

StoreRestart::~StoreRestart() {
    if (thread_.joinable()) thread_.join();
}

void StoreRestart::storeBegins() {
    thread_ = std::thread([this] { holdAndRestart(); });
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(kWaitMs), [this] { return locking_; });
}

bool StoreRestart::finish(std::string& what) {
    if (thread_.joinable()) thread_.join();
    what = what_;
    return storeWaited_ && restarted_;
}

void StoreRestart::holdAndRestart() {
    const QString name = QStringLiteral("store-restart");
    {
        const QString url = QString::fromStdString(pg_.url());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(url.section(QStringLiteral("host="), 1).section('&', 0, 0));
        db.setUserName(url.section(QStringLiteral("user="), 1).section('&', 0, 0));
        db.setDatabaseName(QStringLiteral("postgres"));
        QSqlQuery q(db);
        const bool locked = db.open() && db.transaction() &&
                            q.exec(QStringLiteral("LOCK TABLE vrn_stations IN EXCLUSIVE MODE"));
        if (!locked)
            what_ = "the stations' table could not be locked: " + db.lastError().text().toStdString();
        {
            const std::lock_guard guard(mutex_);
            locking_ = true;
        }
        changed_.notify_all();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (locked && !storeWaited_ && std::chrono::steady_clock::now() < deadline) {
            storeWaited_ =
                q.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = "
                                      "'Lock' AND pid <> pg_backend_pid()")) &&
                q.next() && q.value(0).toInt() > 0;
            if (!storeWaited_) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        }
        if (locked && !storeWaited_) what_ = "no store waited on the lock";
        q.finish();
        restarted_ = pg_.restart();
        if (!restarted_) what_ += "the server did not come back: " + pg_.error();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace vrn::test
