#include "servers/clsGlobalGRControls.h"

clsGlobalGRControls::clsGlobalGRControls(clsGRQuorvel *root, QObject *parent)
    : QObject(parent)
    , m_root(root) {}

clsGlobalGRControls::~clsGlobalGRControls() = default;

std::optional<int> clsGlobalGRControls::fnNextTimerAndWinsock() {
    return m_slots;
}

int clsGlobalGRControls::slotCount() const {
    return m_slots;
}
