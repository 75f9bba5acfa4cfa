#include "servers_tab/frmPingAll.h"

#include "root/AppRoot.h"
#include "servers/clsGRServers.h"
#include "servers/clsPing.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

frmPingAll::frmPingAll(AppRoot &root, QWidget *parent)
    : QDialog(parent)
    , m_root(root)
    , m_lblPingStatus(new QLabel(QStringLiteral("..."), this))
    , m_lblPingNote(new QLabel(this))
    , m_pbrPingedServers(new QProgressBar(this))
    , m_cmdCancel(new QPushButton(tr("Cancel"), this)) {
    setObjectName(QStringLiteral("frmPingAll"));
    setWindowTitle(tr("Pinging Servers"));
    m_lblPingStatus->setObjectName(QStringLiteral("lblPingStatus"));
    m_lblPingNote->setObjectName(QStringLiteral("lblPingNote"));
    m_lblPingNote->setWordWrap(true);
    m_lblPingNote->hide();
    m_pbrPingedServers->setObjectName(QStringLiteral("pbrPingedServers"));
    m_pbrPingedServers->setAccessibleName(tr("Servers pinged"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblPingStatus);
    layout->addWidget(m_pbrPingedServers);
    layout->addWidget(m_lblPingNote);
    layout->addWidget(m_cmdCancel, 0, Qt::AlignHCenter);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmPingAll::cmdCancel_Click);
    resize(320, sizeHint().height());
}

frmPingAll::~frmPingAll() = default;

void frmPingAll::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &frmPingAll::activate);
    }
}

void frmPingAll::activate() {
    if (m_cancelRequested || !isVisible())
        return; // cancelled before the work began
    m_cancelRequested = false;
    clsGRServers *servers = m_root.GRServers();
    if (!servers || servers->Count() == 0 || !m_root.Ping()) {
        accept();
        return;
    }
    for (const auto &record : *servers)
        m_keys << record.IP();
    m_lblPingStatus->setText(tr("Pinging %1 servers...").arg(m_keys.size()));
    m_pbrPingedServers->setRange(0, static_cast<int>(m_keys.size()));
    m_pbrPingedServers->setValue(0);
    const QString note = m_root.Ping()->fallbackNote();
    if (!note.isEmpty()) {
        // Said once, here, rather than in a box per server.
        m_lblPingNote->setText(note);
        m_lblPingNote->show();
    }
    startMore();
}

void frmPingAll::startMore() {
    clsGRServers *servers = m_root.GRServers();
    while (!m_cancelRequested && servers && m_inFlight < window && m_next < m_keys.size()) {
        clsGRServer *record = servers->Item(m_keys.at(m_next++));
        if (!record) {
            // Removed while the window was up: counts as done.
            m_pbrPingedServers->setValue(m_pbrPingedServers->value() + 1);
            continue;
        }
        ++m_inFlight;
        QPointer<frmPingAll> self(this);
        m_root.Ping()->RefreshPing(*record, [self] {
            if (!self)
                return; // the record got its ping; the window has gone
            --self->m_inFlight;
            self->m_pbrPingedServers->setValue(self->m_pbrPingedServers->value() + 1);
            self->startMore();
        });
    }
    if (m_inFlight == 0 && m_next >= m_keys.size() && isVisible())
        accept();
}

void frmPingAll::cmdCancel_Click() {
    // No new echoes; those under way still reach their records.
    m_cancelRequested = true;
    reject();
}
