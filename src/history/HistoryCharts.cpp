#include "history/HistoryCharts.h"

#include "history/HistoryStore.h"

#include <QBarCategoryAxis>
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
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 170);
    return view;
}

// A step higher than the busiest moment, so a line at the top stays visible.
int axisTop(double highest) {
    return qMax(4, static_cast<int>(std::ceil(highest)) + 1);
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
    auto *form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    m_lblLastSeenData =
        figure(form, m_figures, "lblLastSeenData", QStringLiteral("Last seen with players:"));
    m_lblAnsweredData = figure(form, m_figures, "lblAnsweredData", QStringLiteral("Answered:"));
    m_players = chartView(m_figures, "chtPlayers", QStringLiteral("Players, last 24 hours"));
    m_busyHours = chartView(m_figures, "chtBusyHours", QStringLiteral("Busy hours"));
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
        m_lblHistoryOff->setText(reason.isEmpty() ? QStringLiteral("History is off") : reason);
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
                 : QStringLiteral("never"));
    m_lblAnsweredData->setText(
        summary.answeredPercent7d
            ? QStringLiteral("%1% (last 7 days)").arg(std::round(*summary.answeredPercent7d))
            : QStringLiteral("n/a"));
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
    const QList<HistorySample> samples = store.samples(address, from);
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
    for (const HistorySample &s : samples) {
        const qint64 atMs = qMax(fromMs, s.time.toMSecsSinceEpoch());
        if (line && atMs - lastMs > gapMs) {
            line->append(double(lastMs + gapMs / 2), previous);
            line = nullptr;
        }
        if (!line) {
            line = new QLineSeries;
            line->setColor(colour);
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
    auto *y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(0, axisTop(highest));
    y->setTickCount(qMin(axisTop(highest), 4) + 1);
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
    auto *set = new QBarSet(QStringLiteral("Average players"));
    set->setColor(palette().color(QPalette::Highlight));
    set->setBorderColor(palette().color(QPalette::Highlight));
    QStringList labels;
    double highest = 0;
    for (int h = 0; h < 24; ++h) {
        const double value = hours[static_cast<size_t>(h)].value_or(0.0);
        set->append(value);
        highest = qMax(highest, value);
        // Every third hour is labelled: 24 labels do not fit the window's first size.
        labels << (h % 3 == 0 ? QString::number(h) : QString(h, u' '));
    }
    auto *series = new QBarSeries;
    series->setBarWidth(0.8);
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(labels);
    auto *y = new QValueAxis;
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(0, axisTop(highest));
    y->setTickCount(qMin(axisTop(highest), 4) + 1);
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
