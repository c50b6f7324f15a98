#pragma once
// A chart of one figure over time, drawn with QPainter: each game or day a
// point, and a line through the moving average of the last few points. The
// first and last point's labels stand under the axis; hovering shows a point's
// label and value.

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

class TrendChart : public QWidget {
    Q_OBJECT

public:
    enum class Scale {
        Kpm,     // keys per minute, from 0
        Percent, // a share 0..1 shown as a percentage, up to 100%
    };
    TrendChart(const QString& name, const QString& title, Scale scale, QWidget* parent = nullptr);

    // The label of the point at an index, made only when shown.
    using LabelOf = std::function<QString(qsizetype index)>;
    // One value per point, oldest first; the line averages the last
    // averageOver points (fewer at the start).
    void setSeries(const QList<double>& values, LabelOf labelOf, int averageOver);
    const QList<double>& average() const { return m_average; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect plotArea() const;
    void paintPoints(QPainter& painter, const QRect& area) const;
    void paintColumns(QPainter& painter, const QRect& area) const;
    QString valueText(double value) const;
    QString axisText(double value) const;
    QString label(qsizetype index) const;
    double xOf(qsizetype index, const QRect& area) const;
    double yOf(double value, const QRect& area) const;

    QString m_title;
    Scale m_scale;
    QList<double> m_values;
    LabelOf m_labelOf;
    QList<double> m_average;
    double m_low = 0;
    double m_high = 1;
    double m_step = 0.25;
};
