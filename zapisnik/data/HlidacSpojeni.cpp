#include "data/HlidacSpojeni.h"

#include <QThread>

namespace qx {

HlidacSpojeni::HlidacSpojeni(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(2500);
    connect(&timer_, &QTimer::timeout, this, &HlidacSpojeni::zkus);
}

HlidacSpojeni::~HlidacSpojeni() {
    // A try under way ends within the connection's bounded waits.
    if (pokus_) {
        pokus_->disconnect(this);
        pokus_->wait();
        delete pokus_;
    }
}

void HlidacSpojeni::sleduj(const ConnectionSettings& settings) {
    settings_ = settings;
    bezi_ = true;
    if (!pokus_ && !timer_.isActive()) timer_.start();
}

void HlidacSpojeni::zastav() {
    bezi_ = false;
    timer_.stop();
}

void HlidacSpojeni::zkus() {
    if (!bezi_ || pokus_) return;
    auto vysledek = std::make_shared<std::optional<DbError>>();
    auto ok = std::make_shared<bool>(false);
    const ConnectionSettings s = settings_;
    pokus_ = QThread::create([s, vysledek, ok] { *ok = zkusSpojeni(s, vysledek.get()); });
    connect(pokus_, &QThread::finished, this, [this, vysledek, ok] {
        pokus_->deleteLater();
        pokus_ = nullptr;
        if (!bezi_) return;
        if (*ok) {
            bezi_ = false;
            emit obnoveno();
            return;
        }
        if (*vysledek) emit nezdar(**vysledek);
        if (bezi_) timer_.start();
    });
    pokus_->start();
}

} // namespace qx
