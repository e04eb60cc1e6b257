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
        return;
    }
    QStringList shown = lines.mid(0, kShownDetailLines);
    shown << QStringLiteral("…");
    box.setInformativeText(shown.join(QLatin1Char('\n')));
    box.setDetailedText(details);
}

}  // namespace

bool WindowModalAsker::askYesNo(const std::string& message, const std::string& details) {
    return askWithButtons(message, details, QObject::tr("Yes").toStdString(),
                          QObject::tr("No").toStdString());
}

bool WindowModalAsker::askWithButtons(const std::string& message, const std::string& details,
                                      const std::string& accept, const std::string& reject) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quillby Pro"),
                    QString::fromStdString(message), QMessageBox::NoButton, page_);
    setDetails(box, details);
    QPushButton* yes = box.addButton(QString::fromStdString(accept), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromStdString(reject), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    return runWindowModal(box) == yes;
}

void WindowModalAsker::tell(const std::string& message, const std::string& details) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillby Pro"),
                    QString::fromStdString(message), QMessageBox::NoButton, page_);
    setDetails(box, details);
    box.addButton(QObject::tr("OK"), QMessageBox::AcceptRole);
    runWindowModal(box);
}

}  // namespace quillby
