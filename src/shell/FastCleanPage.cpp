// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FastCleanPage.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <any>

#include "clean/CleanHistory.h"
#include "core/events/EventBus.h"
#include "core/events/Events.h"
#include "core/events/Log.h"
#include "core/settings/PreferenceViewController.h"
#include "core/text/LocalizedText.h"
#include "core/text/UtilityFunction.h"
#include "ui/ItemViewAccessible.h"

namespace quillby {

namespace {

// The note keys of each row of the feature list.
std::pair<const char*, const char*> noteKeys(int row) {
    switch (row) {
        case 0:
            return {"TITLE_CLEAN_SYS_MYMAC", nullptr};
        case 1:
            return {"TITLE_CLEAN_SYS_CACHES", "DESC_CLEAN_SYS_CACHES"};
        case 2:
            return {"TITLE_CLEAN_USR_CACHES", "DESC_CLEAN_USR_CACHES"};
        case 3:
            return {"TITLE_CLEAN_SYS_LOGS", "DESC_CLEAN_SYS_LOGS"};
        case 4:
            return {"TITLE_CLEAN_USR_LOGS", "DESC_CLEAN_USR_LOGS"};
        case 5:
            return {"TITLE_CLEAN_TRASH", "DESC_CLEAN_TRASH"};
        case 6:
            return {"TITLE_CLEAN_DOWNLOADS", "DESC_CLEAN_DOWNLOADS"};
        case 8:
            return {"TITLE_UNINSTALL", "DESC_UNINSTALL"};
        case 9:
            return {"TITLE_FREESPACE_MONITOR", "DESC_FREESPACE_MONITOR"};
        default:
            return {nullptr, nullptr};
    }
}

// A row drawn by its own widget draws its own check box: the item's mirrored check state is
// there for assistive technology and the keyboard, not to be drawn a second time.
class WidgetRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
    }
};

}  // namespace

FastCleanPage::FastCleanPage(QWidget* parent) : QWidget(parent) {
    setMinimumSize(904, 559);  // the size at 1x; larger fonts grow the page
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    list_ = new QListWidget;
    ItemViewAccessible::enableOn(*list_);
    list_->setAccessibleName(tr("Features"));
    list_->setFixedWidth(200);
    list_->setIconSize(QSize(24, 24));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setItemDelegate(new WidgetRowDelegate(list_));
    list_->installEventFilter(this);
    layout->addWidget(list_);
    auto* right = new QWidget;
    auto* column = new QVBoxLayout(right);
    column_ = column;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* note = new QWidget;
    note->setMinimumHeight(84);
    note->setStyleSheet(QStringLiteral("background: #2b313c;"));
    auto* noteLayout = new QVBoxLayout(note);
    noteTitle_ = new QLabel;
    noteTitle_->setStyleSheet(QStringLiteral("color: white; font-weight: bold; font-size: 15px;"));
    noteText_ = new QLabel;
    noteText_->setWordWrap(true);
    noteText_->setTextFormat(Qt::RichText);
    noteText_->setStyleSheet(QStringLiteral("color: white;"));
    noteLayout->addWidget(noteTitle_);
    noteLayout->addWidget(noteText_);
    column->addWidget(note);
    pages_ = new QStackedWidget;
    column->addWidget(pages_);
    layout->addWidget(right);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int index) {
        if (index < 0) return;
        int row = list_->item(index)->data(Qt::UserRole).toInt();
        pages_->setCurrentWidget(features_.at(row));
        PreferenceViewController::setLastClickRow(row);
        changeNoteText(row);
        emit rowSelected(row);
    });

    auto& bus = EventBus::defaultCenter();
    subscriptions_.push_back(bus.observe(Events::shouldSelectRow, [this](const Event& event) {
        const auto* request = std::any_cast<std::vector<std::any>>(&event.object);
        if (!request || request->size() < 2) return;
        const auto* row = std::any_cast<std::int32_t>(&(*request)[1]);
        if (row) selectRow(*row);
    }));
    subscriptions_.push_back(bus.observe(Events::FreeTotleArr, [this](const Event& event) {
        const auto* pair = std::any_cast<std::vector<std::any>>(&event.object);
        if (!pair || pair->size() < 2) return;
        const auto* total = std::any_cast<std::string>(&(*pair)[0]);
        const auto* free = std::any_cast<std::string>(&(*pair)[1]);
        if (total && free) {
            bootTotal_ = *total;
            bootFree_ = *free;
            if (selectedRow() == 0) changeNoteText(0);
        }
    }));
    // A clean may end on a worker: the note is redrawn on this page's thread.
    subscriptions_.push_back(bus.observe(Events::CleanRecorded, [this](const Event&) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (selectedRow() == 0) changeNoteText(0);
            },
            Qt::QueuedConnection);
    }));
}

FastCleanPage::~FastCleanPage() = default;

void FastCleanPage::addFeature(int row, const QString& title, QWidget* page, QWidget* rowWidget) {
    features_[row] = page;
    pages_->addWidget(page);
    auto* item = new QListWidgetItem(rowWidget ? QString() : title);
    item->setData(Qt::AccessibleTextRole, title);
    item->setSizeHint(QSize(200, 36));
    insertRow(row, item);
    if (rowWidget) list_->setItemWidget(item, rowWidget);
    if (auto* box = rowWidget ? rowWidget->findChild<QCheckBox*>() : nullptr) {
        mirrorCheckBox(item, box);
    }
    if (list_->count() == 1) list_->setCurrentRow(0);
}

bool FastCleanPage::eventFilter(QObject* watched, QEvent* event) {
    QListWidgetItem* item = list_->currentItem();
    if (watched == list_ && event->type() == QEvent::KeyPress && item &&
        (item->flags() & Qt::ItemIsUserCheckable)) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Select) {
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FastCleanPage::mirrorCheckBox(QListWidgetItem* item, QCheckBox* box) {
    // A row widget is outside the list's accessibility tree: its box's state is copied onto the
    // item, so a screen reader reads a checkable item; a change of the item clicks the box.
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    auto copy = [item, box] { item->setCheckState(box->checkState()); };
    copy();
    connect(box, &QCheckBox::stateChanged, list_, copy);
    connect(list_, &QListWidget::itemChanged, box, [item, box, copy](QListWidgetItem* changed) {
        if (changed != item || item->checkState() == box->checkState()) return;
        if (box->isEnabled()) box->click();
        copy();  // the box's owner decides the state a click leaves, or refuses it
    });
}

bool FastCleanPage::setRowWidget(int row, QWidget* widget) {
    for (int index = 0; index < list_->count(); ++index) {
        if (list_->item(index)->data(Qt::UserRole).toInt() == row) {
            list_->setItemWidget(list_->item(index), widget);
            return true;
        }
    }
    return false;
}

void FastCleanPage::addSeparator(int row) {
    auto* item = new QListWidgetItem;
    item->setFlags(Qt::NoItemFlags);
    item->setData(Qt::AccessibleTextRole, tr("Separator"));
    item->setSizeHint(QSize(200, 9));
    insertRow(row, item);
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setAccessibleName(tr("Separator"));
    list_->setItemWidget(item, line);
}

void FastCleanPage::insertRow(int row, QListWidgetItem* item) {
    int index = 0;
    while (index < list_->count() && list_->item(index)->data(Qt::UserRole).toInt() < row) ++index;
    item->setData(Qt::UserRole, row);
    list_->insertItem(index, item);
}

void FastCleanPage::setBottomBar(QWidget* bar) {
    column_->addWidget(bar);
}

bool FastCleanPage::selectRow(int row) {
    for (int index = 0; index < list_->count(); ++index) {
        if (list_->item(index)->data(Qt::UserRole).toInt() == row) {
            list_->setCurrentRow(index);
            return true;
        }
    }
    return false;
}

int FastCleanPage::selectedRow() const {
    auto* item = list_->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void FastCleanPage::changeNoteText(int row) {
    auto [titleKey, textKey] = noteKeys(row);
    if (!titleKey || !hasLocalizedString(titleKey)) {
        QWLog("No note text for the feature row %d", row);
        return;
    }
    noteTitle_->setText(QString::fromStdString(localizedString(titleKey)));
    if (row != 0) {
        noteText_->setText(QString::fromStdString(localizedString(textKey)).toHtmlEscaped());
        return;
    }
    QString disk = QStringLiteral("The capacity of startup disk is %1, and %2 is available.")
                       .arg(QString::fromStdString(bootTotal_).toHtmlEscaped(),
                            QString::fromStdString(bootFree_).toHtmlEscaped());
    std::optional<RecordedClean> last = lastRecordedClean();
    if (!last) {
        noteText_->setText(QStringLiteral("No clean has been recorded yet. ") + disk);
        return;
    }
    std::string when =
        last->ended ? " " + UtilityFunction::parseDateTime(dateDescription(*last->ended)) : "";
    // The recovered size stands out; the rest is plain text.
    noteText_->setText(
        QStringLiteral("<span style='color:#ffd23c; font-size:18px; font-weight:bold'>%1</span> "
                       "space has been recovered since last clean%2. %3")
            .arg(QString::fromStdString(UtilityFunction::convertVolSpace(last->freedBytes))
                     .toHtmlEscaped(),
                 QString::fromStdString(when).toHtmlEscaped(), disk));
}

}  // namespace quillby
