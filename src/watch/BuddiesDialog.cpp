#include "watch/BuddiesDialog.h"

#include "watch/WatchEngine.h"
#include "widgets/NamedWidgets.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

BuddiesDialog::BuddiesDialog(WatchEngine &watches, QWidget *parent)
    : QDialog(parent)
    , m_watches(watches) {
    setObjectName(QStringLiteral("frmBuddies"));
    setWindowTitle(tr("Buddies"));
    setModal(true);

    m_list = named(new QListWidget(this), u"lstBuddies");
    m_list->setAccessibleName(tr("Buddies"));
    m_list->setToolTip(tr("Player names to look out for; * and ? stand for any "
                          "characters and any one character"));
    m_pattern = namedEdit(this, "txtBuddy", tr("A player name; * and ? may stand in for letters"));
    m_pattern->setAccessibleName(tr("Player name"));
    m_add = namedButton(this, "cmdAdd", tr("Add"));
    m_remove = namedButton(this, "cmdRemove", tr("Remove"));
    QPushButton *close = namedButton(this, "cmdClose", tr("Close"));
    for (QPushButton *b : {m_add, m_remove, close}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
    }

    // Return in the name box adds the name, as the Add button does.
    connect(m_pattern, &QLineEdit::returnPressed, this, &BuddiesDialog::add);
    connect(m_pattern, &QLineEdit::textChanged, this, &BuddiesDialog::updateButtons);
    connect(m_add, &QPushButton::clicked, this, &BuddiesDialog::add);
    connect(m_remove, &QPushButton::clicked, this, &BuddiesDialog::remove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &BuddiesDialog::updateButtons);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 4, 1);
    layout->addWidget(m_pattern, 4, 0);
    layout->addWidget(m_add, 4, 1);
    layout->addWidget(m_remove, 0, 1);
    layout->addWidget(close, 5, 1);
    layout->setRowStretch(3, 1);
    fill();
    m_pattern->setFocus();
}

void BuddiesDialog::fill() {
    m_list->clear();
    m_list->addItems(m_watches.buddies());
    updateButtons();
}

void BuddiesDialog::add() {
    const QString pattern = m_pattern->text().trimmed();
    if (pattern.isEmpty())
        return;
    m_watches.addBuddy(pattern);
    fill();
    const QList<QListWidgetItem *> found = m_list->findItems(pattern, Qt::MatchFixedString);
    if (!found.isEmpty())
        m_list->setCurrentItem(found.first());
    m_pattern->clear();
}

void BuddiesDialog::remove() {
    const QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected())
        return;
    const int row = m_list->row(item);
    m_watches.removeBuddy(item->text());
    fill();
    if (m_list->count() > 0)
        m_list->setCurrentRow(qMin(row, m_list->count() - 1));
}

void BuddiesDialog::updateButtons() {
    m_add->setEnabled(!m_pattern->text().trimmed().isEmpty());
    const QListWidgetItem *item = m_list->currentItem();
    m_remove->setEnabled(item && item->isSelected());
}
