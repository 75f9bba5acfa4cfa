#pragma once

#include "watch/ServerWatch.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

// "Watch Server": what to be told about one server.
class WatchDialog : public QDialog {
    Q_OBJECT
public:
    // `server` names the server as the player knows it.
    WatchDialog(const QString &server, const ServerWatch &watch, QWidget *parent = nullptr);

    // The watch as the boxes now stand.
    ServerWatch watch() const;

private:
    ServerWatch m_watch;
    QCheckBox *m_answers;
    QCheckBox *m_players;
    QSpinBox *m_count;
    QCheckBox *m_slot;
    QCheckBox *m_join = nullptr;
};
