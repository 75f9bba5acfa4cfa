#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class WatchEngine;

// "Buddies": the player name patterns to look out for. Every change is kept at once.
class BuddiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit BuddiesDialog(WatchEngine &watches, QWidget *parent = nullptr);

private:
    void fill();
    void add();
    void remove();
    void updateButtons();

    WatchEngine &m_watches;
    QListWidget *m_list;
    QLineEdit *m_pattern;
    QPushButton *m_add;
    QPushButton *m_remove;
};
