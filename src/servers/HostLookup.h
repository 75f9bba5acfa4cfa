#pragma once

#include <QString>

#include <functional>
#include <optional>

class QObject;

// Finds the IPv4 address of a host name without blocking. Both the status query and the ping
// ask here, so a name is looked up the same way wherever the program needs its address.
class HostLookup {
public:
    // Runs with the first IPv4 address of the name, or with nothing when it has none.
    using Done = std::function<void(std::optional<quint32>)>;
    using Resolver = std::function<void(const QString &name, QObject *context, Done done)>;

    // `done` runs later, from the event loop of `context`'s thread, and never once `context`
    // is gone.
    static void lookup(const QString &name, QObject *context, Done done);

    // Puts another resolver in place of the system's (an empty one brings the system's back):
    // for tests, which must never ask a name server outside this machine.
    static void setResolver(Resolver resolver);
};
