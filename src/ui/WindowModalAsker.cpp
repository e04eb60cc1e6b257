// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowModalAsker.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>

namespace quillby {

namespace {

// Shows `box` modal to its window and gives the button it was closed with.
QAbstractButton* runWindowModal(QMessageBox& box) {
    box.setWindowModality(Qt::WindowModal);
    QEventLoop loop;
    QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    box.open();
    loop.exec();
    return box.clickedButton();
}

// How many lines of details a box shows; longer details (lists of items) show their first
// lines, with the whole text behind the box's "Show Details..." button.
constexpr int kShownDetailLines = 12;

void setDetails(QMessageBox& box, const std::string& text) {
    QString details = QString::fromStdString(text);
    QStringList lines = details.split(QLatin1Char('\n'));
    if (lines.size() <= kShownDetailLines) {
        box.setInformativeText(details);
    } else {
        QStringList shown = lines.mid(0, kShownDetailLines);
        shown << QStringLiteral("…");
        box.setInformativeText(shown.join(QLatin1Char('\n')));
        box.setDetailedText(details);
    }
    // Details name paths and reasons a user may want to paste elsewhere: every text can be
    // selected, with the mouse or from the keyboard (once its labels exist).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

}  // namespace

bool WindowModalAsker::askYesNo(const std::string& message, const std::string& details) {
    return askWithButtons(message, details, QObject::tr("Yes").toStdString(),
                          QObject::tr("No").toStdString());
}

bool WindowModalAsker::askWithButtons(const std::string& message, const std::string& details,
                                      const std::string& accept, const std::string& reject) {
    return choose(message, details, {accept, reject}, 1) == 0;
}

std::size_t WindowModalAsker::choose(const std::string& message, const std::string& details,
                                     const std::vector<std::string>& buttons, std::size_t safe) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quillby Pro"),
                    QString::fromStdString(message), QMessageBox::NoButton, page_);
    setDetails(box, details);
    std::vector<QPushButton*> added;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        added.push_back(
            box.addButton(QString::fromStdString(buttons[i]),
                          i == safe ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    box.setDefaultButton(added.at(safe));
    box.setEscapeButton(added.at(safe));
    QAbstractButton* chosen = runWindowModal(box);
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (added[i] == chosen) return i;
    }
    return safe;
}

void WindowModalAsker::tell(const std::string& message, const std::string& details) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillby Pro"),
                    QString::fromStdString(message), QMessageBox::NoButton, page_);
    setDetails(box, details);
    box.addButton(QObject::tr("OK"), QMessageBox::AcceptRole);
    runWindowModal(box);
}

}  // namespace quillby
