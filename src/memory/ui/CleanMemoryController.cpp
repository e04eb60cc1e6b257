// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/ui/CleanMemoryController.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "memory/CleanMemoryModel.h"
#include "memory/ui/PieChartView.h"
#include "ui/ImageProvider.h"

namespace quillby {

namespace {

// The slice colours of free, active, inactive and wired memory.
const QColor kSliceColours[4] = {QColor(0, 247, 44), QColor(254, 249, 53), QColor(16, 63, 251),
                                 QColor(255, 42, 26)};

QLabel* whiteLabel(const QString& text = {}, bool bold = false) {
    auto* label = new QLabel(text);
    label->setStyleSheet(QStringLiteral("color: white;"));
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    return label;
}

QLabel* swatch(const QColor& colour) {
    auto* box = new QLabel;
    box->setFixedSize(12, 12);
    box->setStyleSheet(
        QStringLiteral("background: %1; border: 1px solid white;").arg(colour.name()));
    return box;
}

}  // namespace

CleanMemoryController::CleanMemoryController(std::unique_ptr<CleanMemoryModel> model,
                                             QWidget* parent)
    : QWidget(parent), model_(std::move(model)) {
    // 600 x 325 at 1x; larger fonts and longer texts grow the page.
    setMinimumSize(600, 325);
    pie_ = new PieChartView;
    pie_->setMinimumSize(300, 250);

    cleanButton_ = new QPushButton(tr("clean memory"));
    cleanButton_->setIcon(ImageProvider::shared().icon(QStringLiteral("clean_memory_button.png")));
    connect(cleanButton_, &QPushButton::clicked, this, &CleanMemoryController::CleanButtonAction);

    lastCleanText_ = new QLabel;
    QFont bold = lastCleanText_->font();
    bold.setBold(true);
    bold.setPointSize(11);
    lastCleanText_->setFont(bold);
    lastCleanText_->setStyleSheet(QStringLiteral("color: rgb(73, 209, 240);"));
    lastCleanText_->hide();
    note_ = whiteLabel(
        tr("Purging drops the system's file caches; they fill again as files are read."));
    note_->setWordWrap(true);
    note_->hide();

    auto* table = new QWidget;
    auto* grid = new QGridLayout(table);
    const QString titles[6] = {tr("Free"),  tr("Active"), tr("Inactive"),
                               tr("Wired"), tr("Used"),   tr("Total")};
    for (int i = 0; i < 6; ++i) {
        if (i < 4) grid->addWidget(swatch(kSliceColours[i]), i, 0);
        grid->addWidget(whiteLabel(titles[i], true), i, 1);
        figures_[i] = whiteLabel();
        figures_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(figures_[i], i, 2);
    }
    grid->setRowStretch(6, 1);  // the figures sit together at the top
    grid->setColumnMinimumWidth(2, 120);

    auto* top = new QHBoxLayout;
    top->addWidget(cleanButton_);
    top->addWidget(lastCleanText_);
    top->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(table, 0, Qt::AlignTop);
    middle->addWidget(pie_, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 6, 20, 6);
    column->addLayout(top);
    column->addLayout(middle, 1);
    column->addWidget(note_);

    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &CleanMemoryController::updateTitleForLabelValue);
    updateTitleForLabelValue();
    timer_->start();
}

CleanMemoryController::~CleanMemoryController() = default;

void CleanMemoryController::updateTitleForLabelValue() {
    bool ended = model_->updateTitleForLabelValue();
    const cleanMemoryInfo& texts = model_->texts();
    const std::string* values[6] = {&texts.freeMem,  &texts.activeMem, &texts.inactiveMem,
                                    &texts.wiredMem, &texts.usedMem,   &texts.totalMem};
    for (int i = 0; i < 6; ++i) figures_[i]->setText(QString::fromStdString(*values[i]));
    const MemoryFigures& info = model_->memoryInfo();
    std::size_t fields[4] = {kMemFree, kMemActive, kMemInactive, kMemWired};
    std::vector<PieChartItem> slices;
    for (int i = 0; i < 4; ++i)
        slices.push_back({QString(), kSliceColours[i], static_cast<double>(info[fields[i]])});
    pie_->setItems(std::move(slices));
    if (ended) cleanBtnCancelHidden();
}

void CleanMemoryController::CleanButtonAction() {
    if (cleanButton_->isHidden() || model_->isFreeing()) return;
    cleanButton_->setEnabled(false);
    cleanButton_->setIcon(ImageProvider::shared().icon(QStringLiteral("cleaning.png")));
    if (!model_->CleanButtonAction()) {
        cleanButton_->setEnabled(true);
        return;
    }
    updateTitleForLabelValue();
}

void CleanMemoryController::cleanBtnCancelHidden() {
    lastCleanText_->show();
    note_->show();
    cleanButton_->setEnabled(true);
    cleanButton_->setIcon(ImageProvider::shared().icon(QStringLiteral("clean_memory_button.png")));
    lastCleanText_->setText(QString::fromStdString(model_->resultText()));
}

void CleanMemoryController::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), ImageProvider::shared().image(QStringLiteral("memory_bg.png")));
}

}  // namespace quillby
