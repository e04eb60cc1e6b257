// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

namespace quillby {

// A widget that paints content a screen reader must reach (rows of facts, a level bar, the
// sectors of a chart) describes it through this interface; the accessible object of such a
// widget then lists one child per part after its real child widgets, with the part's role,
// texts, value and press action.
class PaintedParts {
  public:
    struct Part {
        QAccessible::Role role = QAccessible::StaticText;
        QString name;
        QString description;
        QRect rect;                   // in the widget's coordinates
        std::optional<double> value;  // a bar's or a sector's figure, between 0 and `maximum`
        double maximum = 100;
        bool pressable = false;  // offers the press action (pressPart)
    };

    virtual ~PaintedParts() = default;
    // The role of the widget itself and its description: for widgets that move a focus among
    // their parts, the focused part's name and description ("Videos, 2.10 GB").
    virtual QAccessible::Role paintedRole() const = 0;
    virtual QString paintedDescription() const;
    virtual int paintedPartCount() const = 0;
    virtual Part paintedPart(int index) const = 0;
    // The part under the keyboard focus, or -1.
    virtual int focusedPart() const { return -1; }
    virtual void pressPart(int) {}

    // Gives `self` (a widget that implements this interface) the accessible object above, in
    // place of one Qt may have made already (setting a name makes one). Called from the
    // widget's constructor.
    static void enableAccessibility(QWidget* self);
    // Tells assistive technology that the focus moved to `index` among the parts of `widget`.
    static void announceFocus(QObject* widget, int index);
};

}  // namespace quillby
