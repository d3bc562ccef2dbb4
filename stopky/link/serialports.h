#pragma once

// The serial ports the console offers, found without opening them.

#include <QString>
#include <QStringList>

namespace stopky {

// The machine's serial devices: /dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*, in that order and by number
// within each kind (ttyS2 before ttyS10), at most `limit` of them. Nothing is opened: opening a port
// raises DTR, the device's start signal. Left out are
//  - a ttyS whose UART the kernel reports as absent (type 0 in /sys/class/tty/<name>/type),
//  - a device locked by another program through a lock file with a live owner in the lock folder
//    (/run/lock, /var/lock, /tmp; the QSerialPort convention "LCK..<name>").
// A port held by a program without a lock file is listed; its open then fails.
// The folders are parameters for tests.
QStringList scanSerialPorts(int limit = 10, const QString& devDir = QStringLiteral("/dev"),
                            const QString& sysTtyDir = QStringLiteral("/sys/class/tty"),
                            const QStringList& lockDirs = {QStringLiteral("/run/lock"),
                                                           QStringLiteral("/var/lock"),
                                                           QStringLiteral("/tmp")});

// The port list of the port-choice panel: `extraFirst` (a device named on the command line, e.g. a
// pseudo-terminal of the simulator) first when not empty, then scanSerialPorts() without it; at most
// ten entries in all.
QStringList portList(const QString& extraFirst = {});

// The device of the command-line option "--port DEVICE" (or "--port=DEVICE"), or an empty text.
// `arguments` as QCoreApplication::arguments() gives them (program name first).
QString portArgument(const QStringList& arguments);

} // namespace stopky
