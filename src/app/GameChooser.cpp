#include "app/GameChooser.h"

#include "widgets/NamedWidgets.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

GameChooser::GameChooser(const QStringList &gameDirectories, QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this)) {
    setObjectName(QStringLiteral("gameChooser"));
    setWindowTitle(tr("Choose Ghost Recon"));

    auto *label =
        new QLabel(tr("Ghost Recon was found in more than one place. &Use the one in:"), this);
    label->setBuddy(m_list);
    m_list->setAccessibleName(tr("Ghost Recon directories found"));
    m_list->setObjectName(QStringLiteral("games"));
    m_list->addItems(gameDirectories);
    m_list->setCurrentRow(0);
    m_list->setMinimumWidth(m_list->sizeHintForColumn(0) + 40);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
}

QString GameChooser::chosen() const {
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->text() : QString();
}
