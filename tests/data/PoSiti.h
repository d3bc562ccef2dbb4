#pragma once

// The test server as another computer reaches it: over TCP on 127.0.0.1 at the port the test
// command gave the server (QX_DB_TCP_PORT), so that several clients meet as on a network; without
// that port, over its socket.

#include "data/Tdm_QX.h"

namespace testdb {

inline qx::ConnectionSettings poSiti() {
    qx::ConnectionSettings s = qx::ConnectionSettings::fromEnvironment();
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("QX_DB_TCP_PORT", &ok);
    if (ok && port > 0 && port < 65536) {
        s.host = "127.0.0.1";
        s.port = unsigned(port);
    }
    return s;
}

} // namespace testdb
