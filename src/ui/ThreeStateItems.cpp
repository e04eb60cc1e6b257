// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThreeStateItems.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QPointer>
#include <map>

namespace quillby {

namespace {

constexpr char kProperty[] = "quillbyThreeStateItems";

// One of Qt's item cells, read through as it is but for a partly checked state.
class ThreeStateCellAccessible : public QAccessibleInterface {
  public:
    ThreeStateCellAccessible(QAccessible::Id cell, QAbstractItemView* view,
                             QAccessibleInterface* list)
        : cell_(cell), view_(view), list_(list) {}

    QAccessibleInterface* cell() const { return QAccessible::accessibleInterface(cell_); }

    bool isValid() const override { return cell() && cell()->isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return cell() ? cell()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return list_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override {
        return cell() ? cell()->role() : QAccessible::ListItem;
    }
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
    QAccessibleInterface* list_;  // outlives its cells: it deletes them
};

// Qt's own interface of the view, with its cells answered by ThreeStateCellAccessible.
class ThreeStateViewAccessible : public QAccessibleInterface, public QAccessibleTableInterface {
  public:
    ThreeStateViewAccessible(QAbstractItemView* view, QAccessibleInterface* inner)
        : view_(view), inner_(QAccessible::uniqueId(inner)) {}
    ~ThreeStateViewAccessible() override {
        forgetCells();
        QAccessible::deleteAccessibleInterface(inner_);
    }

    // QAccessibleInterface
    bool isValid() const override { return inner() && inner()->isValid(); }
    QObject* object() const override { return view_; }
    QWindow* window() const override { return inner()->window(); }
    QAccessibleInterface* parent() const override { return inner()->parent(); }
    QAccessibleInterface* child(int index) const override { return wrap(inner()->child(index)); }
    int childCount() const override { return inner()->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [cell, wrapper] : cells_) {
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
        if (type == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
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
        // Qt's view drops its cells on a change; their wrappers go with them.
        forgetCells();
        table()->modelChange(event);
    }

  private:
    QAccessibleInterface* inner() const { return QAccessible::accessibleInterface(inner_); }
    QAccessibleTableInterface* table() const { return inner()->tableInterface(); }

    QAccessibleInterface* wrap(QAccessibleInterface* cell) const {
        if (!cell || !cell->tableCellInterface()) return cell;
        QAccessible::Id id = QAccessible::uniqueId(cell);
        auto found = cells_.find(id);
        if (found == cells_.end()) {
            auto* self = const_cast<ThreeStateViewAccessible*>(this);
            auto* wrapper = new ThreeStateCellAccessible(id, view_, self);
            found = cells_.emplace(id, QAccessible::registerAccessibleInterface(wrapper)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    void forgetCells() {
        for (auto& [cell, wrapper] : cells_) QAccessible::deleteAccessibleInterface(wrapper);
        cells_.clear();
    }

    QPointer<QAbstractItemView> view_;
    QAccessible::Id inner_;
    mutable std::map<QAccessible::Id, QAccessible::Id> cells_;  // Qt's cell → its wrapper
};

QAccessibleInterface* threeStateFactory(const QString&, QObject* object) {
    static QObject* building = nullptr;
    auto* view = qobject_cast<QAbstractItemView*>(object);
    if (!view || view == building || !view->property(kProperty).toBool()) return nullptr;
    // Qt's own interface is made by asking again while this factory stands aside; the wrapper
    // then takes its place as the view's interface and owns it.
    building = view;
    QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(view);
    building = nullptr;
    if (!inner || !inner->tableInterface()) return nullptr;
    return new ThreeStateViewAccessible(view, inner);
}

}  // namespace

void ThreeStateItems::enableOn(QAbstractItemView& view) {
    static const bool installed = [] {
        QAccessible::installFactory(threeStateFactory);
        return true;
    }();
    (void)installed;
    view.setProperty(kProperty, true);
}

}  // namespace quillby
