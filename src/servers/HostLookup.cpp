#include "servers/HostLookup.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QObject>

namespace {
HostLookup::Resolver &replacement() {
    static HostLookup::Resolver resolver;
    return resolver;
}
} // namespace

void HostLookup::lookup(const QString &name, QObject *context, Done done) {
    if (const Resolver &other = replacement()) {
        other(name, context, std::move(done));
        return;
    }
    QHostInfo::lookupHost(name, context, [done = std::move(done)](const QHostInfo &info) {
        if (info.error() == QHostInfo::NoError) {
            for (const QHostAddress &address : info.addresses()) {
                bool ipv4 = false;
                const quint32 v4 = address.toIPv4Address(&ipv4);
                if (ipv4) {
                    done(v4);
                    return;
                }
            }
        }
        done(std::nullopt);
    });
}

void HostLookup::setResolver(Resolver resolver) {
    replacement() = std::move(resolver);
}
