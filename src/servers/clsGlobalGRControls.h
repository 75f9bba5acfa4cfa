#pragma once

#include <QObject>

#include <optional>

class clsGRQuorvel;

// The pool of query slots. A slot is what a server record queries its server through; the
// lowest free slot is handed out first and the pool only grows.
class clsGlobalGRControls : public QObject {
    Q_OBJECT
public:
    explicit clsGlobalGRControls(clsGRQuorvel *root, QObject *parent = nullptr);
    ~clsGlobalGRControls() override;

    // The index of a free slot (the lowest), growing the pool when every slot is taken.
    std::optional<int> fnNextTimerAndWinsock();

    int slotCount() const;

private:
    clsGRQuorvel *m_root;
    int m_slots = 0;
};
