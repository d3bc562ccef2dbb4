#pragma once

// The console's journal: everything the device sent after its greeting and every result set as the
// console listed and sent it, in a plain text file per day that a person can read. It is written
// before a set goes on to zapisnik, so no time the device delivered is lost when the program, the
// channel or zapisnik fails; at start-up the times list is filled again from today's file, and a
// console restarted while the device kept running takes the last settings from it.
//
// One line per event, oldest first:
//   12:01:02.345 468 pozdrav: 01 0a a1 ae          the greeting's bytes
//   12:01:02.345 468 nastavení: 0a a1 ae           settings in force (greeting or settings frame)
//   12:01:05.100 468 bajty: aa ab ba 00 00 12 34   bytes as they came, in hex
//   12:01:07.001 468 čas: 12,34L 13,45             an entry of the times list
//   12:01:07.001 468 chyba převodu: ...            its conversion error, when it had one
//   12:01:09.000 468 port: ...                     port events (opened, lost, resumed)
// The time is the local time of arrival, the number the device version in force.
//
// Writing costs one buffered append per event; flush() hands the buffer to the system in one
// write, sync() also waits for the disk (fdatasync), once per completed set. A file that cannot be
// written is reported through onError once, until writing works again; the caller goes on.

#include "link/Settings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace stopky {

// The journal's folder: beside the settings when QX_CONFIG_DIR is set, else $XDG_STATE_HOME/qx,
// else ~/.local/state/qx.
QString journalDir();
// "stopky-2026-06-14.log"
QString journalFileName(const QDate& day);

// The settings of the last greeting or settings frame a journal holds.
struct JournalSettings {
    int verze = 0;
    Nast nast{};
    friend bool operator==(const JournalSettings&, const JournalSettings&) = default;
};

class Journal {
public:
    explicit Journal(QString dir = journalDir());
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    QString dir() const { return m_dir; }
    // The file written now (today's).
    QString currentPath() const;

    // Buffered appends, stamped with the current time.
    void greeting(int verze, QByteArrayView bytes);
    void settings(int verze, const Nast& nast);
    void bytes(int verze, QByteArrayView bytes);
    void entry(int verze, const QString& text, const QString& error = {});
    void port(int verze, const QString& text);

    // The buffer to the system (one write). False when the file cannot be written.
    bool flush();
    // flush() and then the data to the disk (fdatasync).
    bool sync();

    bool failing() const { return m_failing; }
    QString errorString() const { return m_error; }
    // Called when writing fails after having worked (or at the first failure), with the reason.
    std::function<void(const QString& error)> onError;

    // The clock; tests set a fixed one.
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // The times-list entries of one file, in order.
    static QStringList entries(const QString& path);
    // The entries of today's file.
    QStringList todaysEntries() const;
    // The settings of the last greeting or settings frame in the newest file that has one.
    std::optional<JournalSettings> lastSettings() const;

private:
    void line(int verze, const char* kind, QByteArrayView text);
    bool fail(const QString& error);

    QString m_dir;
    QFile m_file;
    QDate m_fileDay;
    QByteArray m_buf;
    bool m_failing = false;
    QString m_error;
};

} // namespace stopky
