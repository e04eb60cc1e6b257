// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PaintedParts.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <map>

namespace quillby {

QString PaintedParts::paintedDescription() const {
    int focused = focusedPart();
    if (focused < 0) return {};
    Part part = paintedPart(focused);
    return QStringLiteral("%1, %2").arg(part.name, part.description);
}

namespace {

PaintedParts* partsOf(QWidget* widget) {
    return dynamic_cast<PaintedParts*>(widget);
}

// One painted part. It reads the part afresh on every question, so a widget that repaints
// other figures needs no notice to keep its parts true.
class PartAccessible : public QAccessibleInterface,
                       public QAccessibleValueInterface,
                       public QAccessibleActionInterface {
  public:
    using Part = PaintedParts::Part;

    PartAccessible(QWidget* widget, int index) : widget_(widget), index_(index) {}

    bool isValid() const override {
        return widget_ && index_ < partsOf(widget_)->paintedPartCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return widget_ ? widget_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(widget_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return part().role; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!widget_ || !widget_->isVisible()) state.invisible = true;
        if (!isValid()) return state;
        PaintedParts* parts = partsOf(widget_);
        if (widget_->focusPolicy() != Qt::NoFocus && parts->paintedPart(index_).pressable) {
            state.focusable = true;
            state.focused = widget_->hasFocus() && parts->focusedPart() == index_;
        }
        state.readOnly = true;
        return state;
    }
    QRect rect() const override {
        if (!isValid()) return {};
        QRect local = part().rect;
        return QRect(widget_->mapToGlobal(local.topLeft()), local.size());
    }
    QString text(QAccessible::Text kind) const override {
        if (!isValid()) return {};
        Part shown = part();
        if (kind == QAccessible::Name) return shown.name;
        if (kind == QAccessible::Description) return shown.description;
        if (kind == QAccessible::Value && shown.value) return QString::number(*shown.value);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (!isValid()) return nullptr;
        Part shown = part();
        if (type == QAccessible::ValueInterface && shown.value) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        if (type == QAccessible::ActionInterface && shown.pressable) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }

    QVariant currentValue() const override { return part().value.value_or(0); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return part().maximum; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction() && isValid()) partsOf(widget_)->pressPart(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    Part part() const { return partsOf(widget_)->paintedPart(index_); }

    QPointer<QWidget> widget_;
    int index_;
};

// The widget with its parts as children after its child widgets. The parts' objects live as
// long as this one; each is registered so assistive technology can address it.
class PaintedWidgetAccessible : public QAccessibleWidget {
  public:
    explicit PaintedWidgetAccessible(QWidget* widget)
        : QAccessibleWidget(widget, partsOf(widget)->paintedRole()) {}
    ~PaintedWidgetAccessible() override {
        for (auto& [index, id] : ids_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + partsOf(widget())->paintedPartCount();
    }
    QAccessibleInterface* child(int index) const override {
        int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        int part = index - widgets;
        if (part < 0 || part >= partsOf(widget())->paintedPartCount()) return nullptr;
        return partInterface(part);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto& [index, id] : ids_) {
            if (QAccessible::accessibleInterface(id) == child) {
                return QAccessibleWidget::childCount() + index;
            }
        }
        return QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QPoint local = widget()->mapFromGlobal(QPoint(x, y));
        PaintedParts* parts = partsOf(widget());
        for (int i = 0; i < parts->paintedPartCount(); ++i) {
            if (parts->paintedPart(i).rect.contains(local)) return partInterface(i);
        }
        return QAccessibleWidget::childAt(x, y);
    }
    QAccessibleInterface* focusChild() const override {
        int focused = partsOf(widget())->focusedPart();
        return focused >= 0 && widget()->hasFocus() ? partInterface(focused) : nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Description) {
            QString described = partsOf(widget())->paintedDescription();
            if (!described.isEmpty()) return described;
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessibleInterface* partInterface(int index) const {
        auto found = ids_.find(index);
        if (found == ids_.end()) {
            auto* made = new PartAccessible(widget(), index);
            found = ids_.emplace(index, QAccessible::registerAccessibleInterface(made)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }

  private:
    mutable std::map<int, QAccessible::Id> ids_;
};

QAccessibleInterface* paintedPartsFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !partsOf(widget)) return nullptr;
    return new PaintedWidgetAccessible(widget);
}

}  // namespace

void PaintedParts::enableAccessibility(QWidget* self) {
    static const bool installed = [] {
        QAccessible::installFactory(paintedPartsFactory);
        return true;
    }();
    (void)installed;
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(self);
    if (made && !dynamic_cast<PaintedWidgetAccessible*>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void PaintedParts::announceFocus(QObject* widget, int index) {
    auto* face =
        dynamic_cast<PaintedWidgetAccessible*>(QAccessible::queryAccessibleInterface(widget));
    if (!face || index < 0) return;
    QAccessibleEvent focus(face->partInterface(index), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
    QAccessibleEvent described(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

}  // namespace quillby
