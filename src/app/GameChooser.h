#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// Asks which Ghost Recon to use when more than one was found.
class GameChooser : public QDialog {
    Q_OBJECT
public:
    explicit GameChooser(const QStringList &gameDirectories, QWidget *parent = nullptr);

    // The directory chosen (the first one until the player picks another).
    QString chosen() const;

private:
    QListWidget *m_list;
};
