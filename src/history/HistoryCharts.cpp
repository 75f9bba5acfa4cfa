#include "history/HistoryCharts.h"

#include "history/HistoryStore.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPen>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>

namespace {
QLabel *figure(QFormLayout *form, QWidget *parent, const char *name, const QString &caption) {
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(caption, label);
    return label;
}

QChartView *chartView(QWidget *parent, const char *name, const QString &title) {
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setAccessibleName(title);
    view->viewport()->setAccessibleName(title);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 170);
    return view;
}

// A player axis above the busiest moment (so a line at the top stays visible) with four
// whole-numbered steps.
QValueAxis *playersAxis(double highest) {
    const int top = (static_cast<int>(std::ceil(highest)) + 1 + 3) / 4 * 4;
    auto *axis = new QValueAxis;
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setRange(0, qMax(4, top));
    axis->setTickCount(5);
    return axis;
}
} // namespace

HistoryCharts::HistoryCharts(QWidget *parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("HistoryCharts"));
    m_lblHistoryOff = new QLabel(this);
    m_lblHistoryOff->setObjectName(QStringLiteral("lblHistoryOff"));
    // One line whatever it says: a long path is cut rather than widening the window.
    m_lblHistoryOff->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblHistoryOff->hide();

    m_figures = new QWidget(this);
    m_figures->setObjectName(QStringLiteral("fraHistory"));
    m_figures->setAccessibleName(tr("Server history"));
    auto *form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    m_lblLastSeenData = figure(form, m_figures, "lblLastSeenData", tr("Last seen with players:"));
    m_lblAnsweredData = figure(form, m_figures, "lblAnsweredData", tr("Answered:"));
    m_players = chartView(m_figures, "chtPlayers", tr("Players, last 24 hours"));
    m_busyHours = chartView(m_figures, "chtBusyHours", tr("Busy hours"));
    auto *charts = new QHBoxLayout;
    charts->setContentsMargins(0, 0, 0, 0);
    charts->addWidget(m_players, 1);
    charts->addWidget(m_busyHours, 1);
    auto *figures = new QVBoxLayout(m_figures);
    figures->setContentsMargins(0, 0, 0, 0);
    figures->addLayout(form);
    figures->addLayout(charts, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblHistoryOff);
    layout->addWidget(m_figures, 1);
}

void HistoryCharts::showServer(const HistoryStore *store, const QString &address,
                               const QDateTime &now) {
    if (!store || !store->isOn()) {
        const QString reason = store ? store->offReason() : QString();
        m_lblHistoryOff->setText(reason.isEmpty() ? tr("History is off for this run") : reason);
        m_lblHistoryOff->setToolTip(m_lblHistoryOff->text());
        m_lblHistoryOff->show();
        m_figures->hide();
        return;
    }
    m_lblHistoryOff->hide();
    m_figures->show();
    const HistorySummary summary = store->summary(address, now);
    std::optional<QDateTime> lastSeen = store->lastSeenWithPlayers(address);
    if (summary.lastSeenWithPlayers && (!lastSeen || *lastSeen < *summary.lastSeenWithPlayers))
        lastSeen = summary.lastSeenWithPlayers;
    m_lblLastSeenData->setText(
        lastSeen ? lastSeen->toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                 : tr("never"));
    m_lblAnsweredData->setText(
        summary.answeredPercent7d
            ? tr("%1% (last 7 days)").arg(std::round(*summary.answeredPercent7d))
            : tr("n/a"));
    showDay(*store, address, now);
    showBusyHours(*store, address, now);
}

void HistoryCharts::showDay(const HistoryStore &store, const QString &address,
                            const QDateTime &now) {
    QChart *chart = m_players->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const QDateTime from = now.addSecs(-24 * 3600);
    const QList<HistoryObservation> samples = store.samples(address, from);
    // A gap longer than two missed keep-alive rows means nobody was looking: no line there.
    const qint64 gapMs = 2 * HistoryStore::heartbeatSeconds * 1000;
    const qint64 fromMs = from.toMSecsSinceEpoch();
    const qint64 nowMs = now.toMSecsSinceEpoch();
    QList<QLineSeries *> lines;
    QLineSeries *line = nullptr;
    qint64 lastMs = 0;
    int previous = 0;
    double highest = 0;
    const QColor colour = palette().color(QPalette::Highlight);
    for (const HistoryObservation &s : samples) {
        const qint64 atMs = qMax(fromMs, s.time * 1000);
        if (line && atMs - lastMs > gapMs) {
            line->append(double(lastMs + gapMs / 2), previous);
            line = nullptr;
        }
        if (!line) {
            line = new QLineSeries;
            line->setPen(QPen(colour, 2));
            lines << line;
        } else {
            line->append(double(atMs), previous); // a step, not a slope
        }
        line->append(double(atMs), s.players);
        previous = s.players;
        lastMs = atMs;
        highest = qMax<double>(highest, s.players);
    }
    if (line)
        line->append(double(qMin(nowMs, lastMs + gapMs / 2)), previous);

    auto *x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("HH:mm"));
    x->setTickCount(5);
    x->setRange(from.toLocalTime(), now.toLocalTime());
    QValueAxis *y = playersAxis(highest);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries *l : std::as_const(lines)) {
        chart->addSeries(l);
        l->attachAxis(x);
        l->attachAxis(y);
    }
    applyPalette(chart);
}

void HistoryCharts::showBusyHours(const HistoryStore &store, const QString &address,
                                  const QDateTime &now) {
    QChart *chart = m_busyHours->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    const auto hours = store.busyHours(address, now);
    auto *set = new QBarSet(tr("Average players"));
    set->setColor(palette().color(QPalette::Highlight));
    set->setBorderColor(palette().color(QPalette::Highlight));
    double highest = 0;
    for (int h = 0; h < 24; ++h) {
        const double value = hours[static_cast<size_t>(h)].value_or(0.0);
        set->append(value);
        highest = qMax(highest, value);
    }
    auto *series = new QBarSeries;
    series->setBarWidth(0.8);
    series->append(set);
    chart->addSeries(series);
    // The hours as numbers, every third one labelled: 24 labels do not fit the first size.
    auto *x = new QValueAxis;
    x->setRange(-0.5, 23.5);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(3);
    x->setLabelFormat(QStringLiteral("%d"));
    QValueAxis *y = playersAxis(highest);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    applyPalette(chart);
}

void HistoryCharts::applyPalette(QChart *chart) const {
    const QPalette p = palette();
    chart->setBackgroundBrush(p.color(QPalette::Window));
    chart->setPlotAreaBackgroundVisible(false);
    chart->setTitleBrush(p.color(QPalette::WindowText));
    for (QAbstractAxis *axis : chart->axes()) {
        axis->setLabelsColor(p.color(QPalette::WindowText));
        axis->setLinePenColor(p.color(QPalette::Mid));
        axis->setGridLineColor(p.color(QPalette::Midlight));
    }
}

void HistoryCharts::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange) {
        applyPalette(m_players->chart());
        applyPalette(m_busyHours->chart());
    }
    QWidget::changeEvent(event);
}
