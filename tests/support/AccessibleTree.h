// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QObject>
#include <QString>
#include <QTest>
#include <functional>
#include <vector>

// Reads the accessibility tree as a screen reader does, through Qt's own interfaces.

// Every interface below `root`'s (not itself) with `role`, and with `name` when one is given,
// depth first.
inline std::vector<QAccessibleInterface*> accessibleDescendants(QObject* root,
                                                                QAccessible::Role role,
                                                                const QString& name = {}) {
    std::vector<QAccessibleInterface*> found;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; node && i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (!child) continue;
            if (child->role() == role &&
                (name.isNull() || child->text(QAccessible::Name) == name)) {
                found.push_back(child);
            }
            walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(root));
    return found;
}

// The one interface below `root` with that role and name; nullptr when there is none or more.
inline QAccessibleInterface* accessibleDescendant(QObject* root, QAccessible::Role role,
                                                  const QString& name) {
    auto found = accessibleDescendants(root, role, name);
    return found.size() == 1 ? found.front() : nullptr;
}

// Records the accessibility events of `object` (all objects when null) while it lives. Qt
// hands them out only while the platform's accessibility is on (a screen reader listens on
// AT-SPI), never on the offscreen platform: `listening()` says whether a recording means
// anything.
class AccessibleEventRecorder {
  public:
    struct Entry {
        QAccessible::Event type;
        QString text;  // the value a value change carries
    };

    explicit AccessibleEventRecorder(QObject* object = nullptr) {
        // Where the desktop's accessibility bus is up, Qt's bridge to it comes up once the event
        // loop has run: events sent before that would be lost.
        if (qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")) {
            (void)QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000);
        }
        watched() = object;
        entries().clear();
        previous_ = QAccessible::installUpdateHandler(&AccessibleEventRecorder::record);
    }
    ~AccessibleEventRecorder() { QAccessible::installUpdateHandler(previous_); }
    AccessibleEventRecorder(const AccessibleEventRecorder&) = delete;
    AccessibleEventRecorder& operator=(const AccessibleEventRecorder&) = delete;

    static bool listening() { return QAccessible::isActive(); }
    const std::vector<Entry>& recorded() const { return entries(); }
    int count(QAccessible::Event type) const {
        int n = 0;
        for (const Entry& entry : entries()) n += entry.type == type ? 1 : 0;
        return n;
    }

  private:
    static QObject*& watched() {
        static QObject* object = nullptr;
        return object;
    }
    static std::vector<Entry>& entries() {
        static std::vector<Entry> list;
        return list;
    }
    static void record(QAccessibleEvent* event) {
        if (watched() && event->object() != watched()) return;
        QString text;
        if (event->type() == QAccessible::ValueChanged) {
            text = static_cast<QAccessibleValueChangeEvent*>(event)->value().toString();
        }
        entries().push_back({event->type(), text});
    }

    QAccessible::UpdateHandler previous_;
};
