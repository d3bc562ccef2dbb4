#pragma once

// The journal of the entries the time box's list collects: every entry built from the timer
// console's times is written here before it is shown, and leaves when a save takes it, so the
// list survives a crash or restart of zapisnik (and a database outage: it is a plain file, not a
// table). One file, "zapisnik-prijate.txt", in the folder of the programs' journals, that a
// person can read; one line per event, oldest first:
//   2026-06-14T09:05:07.311 #12 přijato: 17,532L 18,014     an entry of the list, as it arrived
//   2026-06-14T09:06:40.002 #12 uloženo                    the entry left the list with a save
// The time is the local time of arrival (of the save), the number the entry's own.
//
// An entry is appended with one write and synced to the disk (fdatasync) before it is returned.
// A last line without its line end (torn by a crash mid-write) is skipped on reading. Reading
// rewrites the file whole or not at all (a temporary file renamed over it) when it held saved
// entries or a torn line; so does a save that empties the list, and the first write that works
// after a failure (what arrived in between was only in memory). A file that cannot be written is
// reported through onError once, until writing works again; receiving goes on in memory.

#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>

#include <functional>

namespace qx {

struct PrijatyCas {
    qint64 id = 0;     // the entry's number in the journal
    QDateTime prijato; // local time of arrival
    QString text;      // the entry as the list shows it ("17,532L 18,014", "1 18,23")
    friend bool operator==(const PrijatyCas&, const PrijatyCas&) = default;
};

class ZaznamPrijatych {
public:
    // The journal in `dir` (created when the first entry is written).
    explicit ZaznamPrijatych(QString dir);
    ~ZaznamPrijatych();
    ZaznamPrijatych(const ZaznamPrijatych&) = delete;
    ZaznamPrijatych& operator=(const ZaznamPrijatych&) = delete;

    static QString nazevSouboru() { return QStringLiteral("zapisnik-prijate.txt"); }
    QString cesta() const;

    // Reads the file: the entries not yet saved, in order of arrival; they become the waiting
    // entries. Repairs the file as described above.
    QList<PrijatyCas> nacti();

    // A new entry, stamped with now(), written and synced before it is returned. When the file
    // cannot be written it is kept in memory only (onError tells why).
    PrijatyCas pridej(const QString& text);
    // The entry `id` was saved: it leaves the journal. An unknown id does nothing.
    void odeber(qint64 id);

    // The entries not yet saved, in order of arrival.
    const QList<PrijatyCas>& cekajici() const { return cekajici_; }

    bool selhava() const { return selhava_; }
    QString chyba() const { return chyba_; }
    // Called when writing fails after having worked (or at the first failure), with the reason.
    std::function<void(const QString& chyba)> onError;
    // The clock; tests set a fixed one.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // The text of one line (without its line end).
    static QByteArray radekPrijato(const PrijatyCas& c);

private:
    bool pripoj(const QByteArray& radky);
    bool prepis();
    bool otevri();
    bool selhani(const QString& chyba);
    void funguje();

    QString dir_;
    QFile soubor_;
    QList<PrijatyCas> cekajici_;
    qint64 dalsiId_ = 1;
    bool selhava_ = false;
    bool celyZnovu_ = false; // the file misses entries: the next write rewrites it whole
    QString chyba_;
};

} // namespace qx
