// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ItemViewAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QPointer>
#include <QTableView>
#include <map>

namespace quillby {

namespace {

constexpr char kEnabled[] = "quillbyItemViewAccessible";

// One of Qt's item cells, read through as it is, with the widget it holds as its child and a
// partly checked item's state as partly checked.
class CellAccessible : public QAccessibleInterface {
  public:
    CellAccessible(QAccessible::Id cell, QAbstractItemView* view, QAccessibleInterface* owner,
                   QWidget* widget)
        : cell_(cell), view_(view), owner_(owner), widget_(widget) {}

    QAccessibleInterface* cell() const { return QAccessible::accessibleInterface(cell_); }
    QWidget* widget() const { return widget_; }

    bool isValid() const override { return cell() && cell()->isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return cell() ? cell()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return owner_; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && widget_ ? QAccessible::queryAccessibleInterface(widget_.data())
                                     : nullptr;
    }
    int childCount() const override { return widget_ ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return widget_ && child && child->object() == widget_ ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* held = child(0);
        return held && held->rect().contains(x, y) ? held : nullptr;
    }
    QAccessible::Role role() const override { return cell() ? cell()->role() : QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessibleInterface* inner = cell();
        if (!inner) return {};
        QAccessible::State state = inner->state();
        QAccessibleTableCellInterface* place = inner->tableCellInterface();
        if (place && view_ && view_->model()) {
            QModelIndex index =
                view_->model()->index(place->rowIndex(), place->columnIndex(), view_->rootIndex());
            if (index.data(Qt::CheckStateRole).toInt() == Qt::PartiallyChecked) {
                state.checked = false;
                state.checkStateMixed = true;
            }
        }
        return state;
    }
    QRect rect() const override { return cell() ? cell()->rect() : QRect(); }
    QString text(QAccessible::Text kind) const override {
        return cell() ? cell()->text(kind) : QString();
    }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (cell()) cell()->setText(kind, text);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return cell() ? cell()->interface_cast(type) : nullptr;
    }

  private:
    QAccessible::Id cell_;
    QPointer<QAbstractItemView> view_;
    QAccessibleInterface* owner_;  // the view's wrapper, which outlives its cells
    QPointer<QWidget> widget_;
};

// Qt's own interface of the view, with its cells answered by CellAccessible.
class ViewAccessible : public QAccessibleInterface, public QAccessibleTableInterface {
  public:
    ViewAccessible(QAbstractItemView* view, QAccessibleInterface* inner)
        : view_(view), table_(QAccessible::uniqueId(inner)) {}
    ~ViewAccessible() override {
        forgetCells();
        QAccessible::deleteAccessibleInterface(table_);
    }

    // QAccessibleInterface
    bool isValid() const override { return view_ && inner(); }
    QObject* object() const override { return view_; }
    QWindow* window() const override { return inner()->window(); }
    QAccessibleInterface* parent() const override { return inner()->parent(); }
    QAccessibleInterface* child(int index) const override { return wrap(inner()->child(index)); }
    int childCount() const override { return inner()->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto& [cell, wrapper] : cells_) {
            if (QAccessible::accessibleInterface(wrapper) == child) {
                return inner()->indexOfChild(QAccessible::accessibleInterface(cell));
            }
        }
        return inner()->indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return wrap(inner()->childAt(x, y));
    }
    QAccessibleInterface* focusChild() const override { return wrap(inner()->focusChild()); }
    QAccessible::Role role() const override { return inner()->role(); }
    QAccessible::State state() const override { return inner()->state(); }
    QRect rect() const override { return inner()->rect(); }
    QString text(QAccessible::Text kind) const override { return inner()->text(kind); }
    void setText(QAccessible::Text kind, const QString& text) override {
        inner()->setText(kind, text);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return inner()->interface_cast(type);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return table()->caption(); }
    QAccessibleInterface* summary() const override { return table()->summary(); }
    QAccessibleInterface* cellAt(int row, int column) const override {
        return wrap(table()->cellAt(row, column));
    }
    int selectedCellCount() const override { return table()->selectedCellCount(); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells = table()->selectedCells();
        for (auto& cell : cells) cell = wrap(cell);
        return cells;
    }
    QString columnDescription(int column) const override {
        return table()->columnDescription(column);
    }
    QString rowDescription(int row) const override { return table()->rowDescription(row); }
    int selectedColumnCount() const override { return table()->selectedColumnCount(); }
    int selectedRowCount() const override { return table()->selectedRowCount(); }
    int columnCount() const override { return table()->columnCount(); }
    int rowCount() const override { return table()->rowCount(); }
    QList<int> selectedColumns() const override { return table()->selectedColumns(); }
    QList<int> selectedRows() const override { return table()->selectedRows(); }
    bool isColumnSelected(int column) const override { return table()->isColumnSelected(column); }
    bool isRowSelected(int row) const override { return table()->isRowSelected(row); }
    bool selectRow(int row) override { return table()->selectRow(row); }
    bool selectColumn(int column) override { return table()->selectColumn(column); }
    bool unselectRow(int row) override { return table()->unselectRow(row); }
    bool unselectColumn(int column) override { return table()->unselectColumn(column); }
    void modelChange(QAccessibleTableModelChangeEvent* event) override {
        // Qt's table drops or moves its cells when rows or columns come and go; the wrappers go
        // then. A change of data keeps every cell, so a screen reader keeps its place (a box
        // ticked in a row stays the cell it was reading).
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged) {
            forgetCells();
        }
        table()->modelChange(event);
    }

  private:
    QAccessibleInterface* inner() const { return QAccessible::accessibleInterface(table_); }
    QAccessibleTableInterface* table() const { return inner()->tableInterface(); }

    QAccessibleInterface* wrap(QAccessibleInterface* cell) const {
        QAccessibleTableCellInterface* place = cell ? cell->tableCellInterface() : nullptr;
        if (!place || !view_ || !view_->model()) return cell;
        QModelIndex index =
            view_->model()->index(place->rowIndex(), place->columnIndex(), view_->rootIndex());
        QWidget* held = view_->indexWidget(index);
        QAccessible::Id id = QAccessible::uniqueId(cell);
        auto found = cells_.find(id);
        if (found != cells_.end() && heldBy(found->second) != held) {
            QAccessible::deleteAccessibleInterface(found->second);  // the row was built anew
            cells_.erase(found);
            found = cells_.end();
        }
        if (found == cells_.end()) {
            auto* self = const_cast<ViewAccessible*>(this);
            auto* wrapper = new CellAccessible(id, view_, self, held);
            found = cells_.emplace(id, QAccessible::registerAccessibleInterface(wrapper)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    static QWidget* heldBy(QAccessible::Id wrapper) {
        auto* cell = static_cast<CellAccessible*>(QAccessible::accessibleInterface(wrapper));
        return cell ? cell->widget() : nullptr;
    }
    void forgetCells() {
        for (auto& [cell, wrapper] : cells_) QAccessible::deleteAccessibleInterface(wrapper);
        cells_.clear();
    }

    QPointer<QAbstractItemView> view_;
    QAccessible::Id table_;
    mutable std::map<QAccessible::Id, QAccessible::Id> cells_;  // Qt's cell → its wrapper
};

QAccessibleInterface* viewFactory(const QString&, QObject* object) {
    static QObject* building = nullptr;
    auto* view = qobject_cast<QAbstractItemView*>(object);
    if (!view || view == building) return nullptr;
    if (!qobject_cast<QTableView*>(view) && !view->property(kEnabled).toBool()) return nullptr;
    // Qt's own interface is made by asking again while this factory stands aside; the wrapper
    // then takes its place as the view's interface and owns it.
    building = view;
    QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(view);
    building = nullptr;
    if (!inner || !inner->tableInterface()) return nullptr;
    return new ViewAccessible(view, inner);
}

}  // namespace

namespace ItemViewAccessible {

void enableOnTables() {
    static const bool installed = [] {
        QAccessible::installFactory(viewFactory);
        return true;
    }();
    (void)installed;
}

void enableOn(QAbstractItemView& view) {
    enableOnTables();
    view.setProperty(kEnabled, true);
    // An interface Qt made before (a name set early makes one) gives way to the wrapper.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&view);
    if (made && !dynamic_cast<ViewAccessible*>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

}  // namespace ItemViewAccessible

}  // namespace quillby
