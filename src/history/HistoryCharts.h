#pragma once

#include <QDateTime>
#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class HistoryStore;

// The history part of the details window: when the server last had players, how often it
// answered this week, its players over the last day and its busy hours of the last four weeks.
class HistoryCharts : public QWidget {
    Q_OBJECT
public:
    explicit HistoryCharts(QWidget *parent = nullptr);

    // Shows what `store` knows of `address` as of `now`; a store that is off (or none) is
    // said in one line instead.
    void showServer(const HistoryStore *store, const QString &address,
                    const QDateTime &now = QDateTime::currentDateTimeUtc());

    QChartView *playersView() const { return m_players; }
    QChartView *busyHoursView() const { return m_busyHours; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void showDay(const HistoryStore &store, const QString &address, const QDateTime &now);
    void showBusyHours(const HistoryStore &store, const QString &address, const QDateTime &now);
    void applyPalette(QChart *chart) const;

    QLabel *m_lblHistoryOff;
    QWidget *m_figures;
    QLabel *m_lblLastSeenData;
    QLabel *m_lblAnsweredData;
    QChartView *m_players;
    QChartView *m_busyHours;
};
