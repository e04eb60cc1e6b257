// SPDX-License-Identifier: GPL-3.0-or-later
#include "clean/ui/CleanSysWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/CutTextLabel.h"
#include "ui/WindowModalAsker.h"

namespace quillby {

namespace {

constexpr int kPathCharacters = 60;

}  // namespace

CleanSysWindow::CleanSysWindow(CleanSysController::Options options,
                               std::function<void(const std::vector<std::string>&, bool)> balloon)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      asker_(std::make_unique<WindowModalAsker>(this)),
      status_(new QLabel),
      path_(new CutTextLabel(kPathCharacters)),
      bar_(new QProgressBar),
      cancel_(new QPushButton(tr("Cancel"))),
      failures_(new QPushButton(tr("Show Failed Items"))),
      close_(new QPushButton(tr("Close"))) {
    setWindowTitle(tr("Fast Clean"));
    setAccessibleName(tr("Fast Clean"));
    status_->setAccessibleName(tr("Status"));
    path_->setAccessibleName(tr("Current item"));
    bar_->setAccessibleName(tr("Progress"));
    bar_->setTextVisible(false);
    cancel_->setAccessibleName(tr("Cancel"));
    failures_->setAccessibleName(tr("Show Failed Items"));
    close_->setAccessibleName(tr("Close"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(failures_);
    buttons->addWidget(close_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(path_);
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * (kPathCharacters + 4));

    options.asker = asker_.get();
    controller_ = std::make_unique<CleanSysController>(std::move(options));
    controller_->showBubble = std::move(balloon);
    controller_->changed = [this] { refresh(); };
    connect(cancel_, &QPushButton::clicked, this, [this] { controller_->cancel(); });
    connect(failures_, &QPushButton::clicked, this, [this] { controller_->showFailures(); });
    connect(close_, &QPushButton::clicked, this, [this] { controller_->close(); });
}

CleanSysWindow::~CleanSysWindow() = default;

void CleanSysWindow::resetStatus() {
    closeScheduled_ = false;
    if (!controller_->resetStatus()) return;
    refresh();
    adjustSize();
    centre();
    show();
    raise();
}

void CleanSysWindow::centre() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void CleanSysWindow::refresh() {
    const CleanSysController& model = *controller_;
    using Phase = CleanSysController::Phase;
    status_->setText(QString::fromStdString(model.statusText()));
    path_->setFullText(QString::fromStdString(model.curDeleteFile()));
    if (model.progressIndeterminate()) {
        bar_->setRange(0, 0);
    } else {
        bar_->setRange(0, 100);
        bar_->setValue(static_cast<int>(model.progressVal()));
    }
    bool closing = model.phase() == Phase::Closing;
    cancel_->setVisible(!closing);
    cancel_->setEnabled(model.canCancel());
    bool showsFailures = closing && !model.failures().empty();
    // The failed items are what the user reads next: Return or Space shows them.
    if (showsFailures && !failures_->isVisible()) {
        failures_->setVisible(true);
        failures_->setAutoDefault(true);
        failures_->setFocus();
    }
    failures_->setVisible(showsFailures);
    close_->setVisible(closing && !model.closesByItself());
    if (closing && model.closesByItself() && !closeScheduled_) {
        closeScheduled_ = true;
        QTimer::singleShot(CleanSysController::kCloseDelayMs, this,
                           [this] { controller_->close(); });
    }
}

void CleanSysWindow::closeEvent(QCloseEvent* event) {
    // The owner releases the window once it hears "ShouldCloseWindow"; a running clean stops
    // first and closes when it has.
    event->ignore();
    if (controller_->canCancel()) {
        controller_->cancel();
    } else if (controller_->phase() == CleanSysController::Phase::Closing) {
        controller_->close();
    }
}

}  // namespace quillby
