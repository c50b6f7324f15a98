#include "cellchartaccess.h"

#include "cellchart.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <utility>

namespace {

// One cell: its texts are read from the chart when asked, so that they follow
// the chart's figures.
class CellAccess : public QAccessibleInterface {
public:
    CellAccess(CellChart* chart, int index) : m_chart(chart), m_index(index) {}

    bool isValid() const override { return m_chart && m_index < m_chart->cells().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_chart ? m_chart->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_chart);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text kind) const override {
        if (!isValid())
            return {};
        const ChartCell& cell = m_chart->cells()[m_index];
        if (kind == QAccessible::Name)
            return cell.mark.isEmpty() ? cell.label : cell.label + u' ' + cell.mark;
        return kind == QAccessible::Description ? cell.detail : QString();
    }

    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect shown = m_chart->cellRect(m_index).toAlignedRect();
        return {m_chart->mapToGlobal(shown.topLeft()), shown.size()};
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && m_chart->current() == m_index;
        state.focused = state.selected && m_chart->hasFocus();
        state.invisible = !isValid() || !m_chart->isVisible();
        return state;
    }

private:
    QPointer<CellChart> m_chart;
    int m_index;
};

// The chart: a list of its cells, each made once when first asked for and
// kept in the accessibility cache until the chart goes.
class CellChartAccess : public QAccessibleWidget {
public:
    explicit CellChartAccess(CellChart* chart) : QAccessibleWidget(chart, QAccessible::List) {}
    ~CellChartAccess() override {
        for (const QAccessible::Id id : std::as_const(m_cells))
            QAccessible::deleteAccessibleInterface(id);
    }
    CellChartAccess(const CellChartAccess&) = delete;
    CellChartAccess& operator=(const CellChartAccess&) = delete;

    int childCount() const override { return int(chart()->cells().size()); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto id = m_cells.find(index);
        if (id == m_cells.end())
            id = m_cells.insert(
                index, QAccessible::registerAccessibleInterface(new CellAccess(chart(), index)));
        return QAccessible::accessibleInterface(*id);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto id = m_cells.begin(); id != m_cells.end(); ++id) {
            if (QAccessible::accessibleInterface(*id) == child)
                return id.key();
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* cell = child(i);
            if (cell->rect().contains(x, y))
                return cell;
        }
        return nullptr;
    }

private:
    CellChart* chart() const { return static_cast<CellChart*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* CellChartFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("CellChart"))
        return new CellChartAccess(static_cast<CellChart*>(object));
    return nullptr;
}

} // namespace

void InstallCellChartAccess() {
    QAccessible::installFactory(CellChartFactory); // once, however often asked
}
