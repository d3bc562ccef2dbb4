#include "data/HlidacSpojeni.h"

#include <QThread>

#include <memory>

namespace qx {

HlidacSpojeni::HlidacSpojeni(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(2500);
    connect(&timer_, &QTimer::timeout, this, &HlidacSpojeni::zkus);
}

PokusOSpojeni::~PokusOSpojeni() {
    if (vlakno_) {
        vlakno_->disconnect(this);
        vlakno_->wait();
        delete vlakno_;
    }
}

bool PokusOSpojeni::zkus(const ConnectionSettings& settings, Hotovo hotovo) {
    if (vlakno_) return false;
    auto chyba = std::make_shared<std::optional<DbError>>();
    auto ok = std::make_shared<bool>(false);
    vlakno_ = QThread::create([settings, chyba, ok] { *ok = zkusSpojeni(settings, chyba.get()); });
    connect(vlakno_, &QThread::finished, this, [this, chyba, ok, hotovo = std::move(hotovo)] {
        vlakno_->deleteLater();
        vlakno_ = nullptr;
        hotovo(*ok, *chyba);
    });
    vlakno_->start();
    return true;
}

void HlidacSpojeni::sleduj(const ConnectionSettings& settings) {
    settings_ = settings;
    bezi_ = true;
    if (!pokus_.bezi() && !timer_.isActive()) timer_.start();
}

void HlidacSpojeni::zastav() {
    bezi_ = false;
    timer_.stop();
}

void HlidacSpojeni::zkus() {
    if (!bezi_) return;
    pokus_.zkus(settings_, [this](bool ok, const std::optional<DbError>& chyba) {
        if (!bezi_) return;
        if (ok) {
            bezi_ = false;
            emit obnoveno();
            return;
        }
        if (chyba) emit nezdar(*chyba);
        if (bezi_) timer_.start();
    });
}

} // namespace qx
