#include "watch/WatchDialog.h"

#include "widgets/NamedWidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
QCheckBox *namedCheck(QWidget *parent, const char *name, const QString &caption) {
    auto *box = named(new QCheckBox(caption, parent), QLatin1String(name));
    box->setAccessibleName(box->text());
    return box;
}
} // namespace

WatchDialog::WatchDialog(const QString &server, const ServerWatch &watch, QWidget *parent)
    : QDialog(parent)
    , m_watch(watch) {
    setObjectName(QStringLiteral("frmWatchServer"));
    setWindowTitle(tr("Watch Server"));
    setModal(true);

    QLabel *label = namedLabel(this, "lblWatchServer", server);
    label->setAccessibleName(tr("Server"));
    m_answers = namedCheck(this, "chkWatchAnswers", tr("Tell me when it answers again"));
    m_players = namedCheck(this, "chkWatchPlayers", tr("Tell me when players reach"));
    m_count = named(new QSpinBox(this), u"spnWatchPlayers");
    m_count->setRange(1, 255);
    m_count->setAccessibleName(tr("Players to reach"));
    // A screen reader announces the text field inside the box, not the box.
    if (auto *edit = m_count->findChild<QLineEdit *>())
        edit->setAccessibleName(m_count->accessibleName());
    m_slot = namedCheck(this, "chkWatchSlot", tr("Tell me when a slot frees up"));

    m_answers->setChecked(watch.answersAgain);
    m_players->setChecked(watch.playersReach);
    m_count->setValue(qBound(1, watch.players, 255));
    m_slot->setChecked(watch.slotFrees);
    m_join = namedCheck(this, "chkWatchJoin", tr("Join automatically when a slot frees up"));
    m_join->setChecked(watch.slotFrees && watch.joinWhenFree);
    m_join->setEnabled(watch.slotFrees);
    connect(m_slot, &QCheckBox::toggled, m_join, [this](bool on) {
        m_join->setEnabled(on);
        if (!on)
            m_join->setChecked(false);
    });

    QPushButton *ok = namedButton(this, "cmdOK", tr("OK"));
    QPushButton *cancel = namedButton(this, "cmdCancel", tr("Cancel"));
    ok->setAccessibleName(ok->text());
    cancel->setAccessibleName(cancel->text());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_answers);
    auto *players = new QHBoxLayout;
    players->addWidget(m_players);
    players->addWidget(m_count);
    players->addStretch(1);
    layout->addLayout(players);
    layout->addWidget(m_slot);
    auto *join = new QHBoxLayout;
    join->addSpacing(20);
    join->addWidget(m_join);
    layout->addLayout(join);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

ServerWatch WatchDialog::watch() const {
    ServerWatch result = m_watch;
    result.answersAgain = m_answers->isChecked();
    result.playersReach = m_players->isChecked();
    result.players = m_count->value();
    result.slotFrees = m_slot->isChecked();
    result.joinWhenFree = result.slotFrees && m_join->isChecked();
    return result;
}
