// SPDX-License-Identifier: GPL-3.0-or-later
#include "loginitems/ui/LoginItemsPage.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/work/Asker.h"
#include "loginitems/LoginItemAddition.h"
#include "loginitems/LoginItemController.h"
#include "loginitems/ui/LoginItemsTableModel.h"
#include "platform/FileViewer.h"
#include "platform/Services.h"
#include "ui/AppItemCellDelegate.h"
#include "ui/BusySpinner.h"
#include "ui/ImageButton.h"
#include "ui/ImageProvider.h"
#include "ui/PageHost.h"
#include "ui/RichStatusLine.h"
#include "ui/RowTable.h"
#include "ui/ThreeStateCheckDelegate.h"
#include "ui/WindowModalAsker.h"
#include "ui/WorkRunner.h"
#include "ui/model/RemovalConversation.h"

namespace quillby {

namespace {

// Where the open panel starts: the user's applications, else the system's.
QString applicationsFolder() {
    const auto& context = Services::context();
    std::filesystem::path user = context.xdgDataHome / "applications";
    std::error_code error;
    if (std::filesystem::is_directory(user, error)) return QString::fromStdString(user.string());
    return QStringLiteral("/usr/share/applications");
}

}  // namespace

LoginItemsPage::LoginItemsPage(const PageNeeds& needs, QWidget* parent)
    : GradientPage(parent),
      controller_(std::make_unique<LoginItemController>(*needs.queue)),
      asker_(needs.asker ? needs.asker : std::make_shared<WindowModalAsker>(this)),
      viewer_(needs.viewer ? needs.viewer : Services::get<FileViewer>()),
      model_(new LoginItemsTableModel(this)),
      table_(new QTableView(this)),
      add_(new QPushButton(tr("Add login item"), this)),
      spinner_(new BusySpinner(this)),
      status_(new RichStatusLine(this)),
      work_(new WorkRunner(this)) {
    setAccessibleName(tr("Login Items"));

    auto* title = new QLabel(tr("Login Items"), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title->setFont(titleFont);
    auto* note = new QLabel(
        tr("Programs and documents that start when you log in. Untick \"Start at login\" to keep "
           "an item without starting it."),
        this);
    note->setWordWrap(true);

    RowTable::setUp(*table_);
    table_->setModel(model_);
    table_->setAccessibleName(tr("Login items"));
    table_->setItemDelegateForColumn(LoginItemsTableModel::StartColumn,
                                     new ThreeStateCheckDelegate(table_));
    table_->setItemDelegateForColumn(LoginItemsTableModel::ItemColumn,
                                     new AppItemCellDelegate(table_));
    table_->horizontalHeader()->setSectionResizeMode(LoginItemsTableModel::StartColumn,
                                                     QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(LoginItemsTableModel::ItemColumn,
                                                     QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(LoginItemsTableModel::ButtonsColumn,
                                                     QHeaderView::ResizeToContents);
    table_->setDragEnabled(true);
    table_->setAcceptDrops(true);
    table_->setDropIndicatorShown(true);
    table_->setDragDropMode(QAbstractItemView::DragDrop);
    table_->setDefaultDropAction(Qt::CopyAction);
    table_->installEventFilter(this);

    add_->setIcon(ImageProvider::shared().icon(QStringLiteral("add.png")));
    add_->setToolTip(tr("Choose programs, documents or application entries to start at login"));
    connect(add_, &QPushButton::clicked, this, &LoginItemsPage::chooseLoginItems);
    work_->setSpinner(spinner_);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(add_);
    bottom->addWidget(spinner_);
    bottom->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(title);
    layout->addWidget(note);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);

    // A toggle rebuilds the table, so it runs after the view has finished with the click.
    model_->toggleRequested = [this](int row) {
        QMetaObject::invokeMethod(
            this, [this, row] { toggle(row); }, Qt::QueuedConnection);
    };
    model_->dropRequested = [this](const LoginItemDrop& drop, int row) {
        return this->drop(drop, row);
    };
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                controller_->selectRow(current.isValid() ? current.row() : -1);
                model_->setHighlightedRow(controller_->highlightedRow());
                table_->resizeRowsToContents();
            });
    itemsChanged_ = controller_->allLoginItemsInfo.observe([this](const std::vector<AppItems>&) {
        showItems();  // the controller sets its records on the main thread only
    });
    showItems();
}

LoginItemsPage::~LoginItemsPage() {
    itemsChanged_.reset();
}

QSize LoginItemsPage::sizeHint() const {
    return {704, 475};
}

void LoginItemsPage::showItems() {
    int current = table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
    auto items = controller_->allLoginItemsInfo.get();
    int started = 0;
    for (const auto& item : items) started += item.bIsSelected ? 0 : 1;
    int total = static_cast<int>(items.size());
    model_->setItems(std::move(items));
    buildRowButtons();
    if (current >= 0 && current < total) {
        table_->setCurrentIndex(model_->index(current, LoginItemsTableModel::ItemColumn));
    }
    table_->resizeRowsToContents();
    status_->showCount(started, total, tr("start at login."));
}

void LoginItemsPage::buildRowButtons() {
    for (int row = 0; row < model_->rowCount(); ++row) {
        const AppItems& item = model_->items()[static_cast<std::size_t>(row)];
        QString name = QString::fromStdString(item.name);
        std::string path = item.path;
        auto* buttons = new QWidget;
        auto* layout = new QHBoxLayout(buttons);
        layout->setContentsMargins(4, 0, 4, 0);
        layout->setSpacing(2);
        auto* reveal = tableRowButton(QStringLiteral("search_file.png"), tr("Show in its folder"),
                                      tr("Show %1 in its folder").arg(name));
        auto* open =
            tableRowButton(QStringLiteral("open.png"), tr("Open"), tr("Open %1").arg(name));
        auto* remove = tableRowButton(QStringLiteral("delete_loginitem.png"),
                                      tr("Remove from the login items"), tr("Remove %1").arg(name));
        if (item.isSystemApp) {
            remove->setEnabled(false);
            remove->setToolTip(tr("%1 comes with the system and cannot be removed. Untick \"Start "
                                  "at login\" to keep it from starting.")
                                   .arg(name));
        }
        connect(reveal, &QToolButton::clicked, this, [this, path, name] {
            askViewer(&FileViewer::revealItem, path, tr("\"%1\" could not be shown.").arg(name));
        });
        connect(open, &QToolButton::clicked, this, [this, path, name] {
            askViewer(&FileViewer::openFile, path, tr("\"%1\" could not be opened.").arg(name));
        });
        connect(remove, &QToolButton::clicked, this, [this, row] { this->remove(row); });
        for (auto* button : {reveal, open, remove}) layout->addWidget(button);
        buttons->setAccessibleName(tr("Actions for %1").arg(name));
        table_->setIndexWidget(model_->index(row, LoginItemsTableModel::ButtonsColumn), buttons);
    }
}

QToolButton* LoginItemsPage::rowButton(int row, int which) const {
    QWidget* cell = table_->indexWidget(model_->index(row, LoginItemsTableModel::ButtonsColumn));
    if (!cell) return nullptr;
    auto buttons = cell->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly);
    return which >= 0 && which < buttons.size() ? buttons[which] : nullptr;
}

void LoginItemsPage::toggle(int row) {
    if (row < 0) return;
    auto identifier = controller_->identifierAt(static_cast<std::size_t>(row));
    if (!identifier) return;
    // Showing an entry again may delete the user's override: the change runs on the worker.
    work_->run<std::optional<bool>>(
        [identifier = *identifier] {
            return LoginItemController::flipHiddenWithIdentifier(identifier);
        },
        [this, identifier = *identifier](std::optional<bool> hidden) {
            if (hidden) {
                controller_->hiddenChanged(identifier, *hidden);
            } else {
                status_->showMessage(tr("The login item could not be changed."), true);
            }
        });
}

void LoginItemsPage::remove(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    const AppItems& item = model_->items()[static_cast<std::size_t>(row)];
    if (item.isSystemApp) return;
    std::string name = item.name;
    RemovalConversation::Plan plan;
    plan.items.push_back({name, 0, static_cast<std::size_t>(row)});
    // The entry is the login item's own file: nothing of the program goes with it.
    plan.disposal = RemovalConversation::Disposal::Delete;
    plan.mayDeleteForGood = false;
    plan.question = "Remove \"" + name + "\" from the login items?";
    plan.details = "It will no longer start when you log in.";
    plan.goAhead = tr("Remove").toStdString();
    if (!RemovalConversation(std::move(plan)).confirm(*asker_)) return;
    auto identifier = controller_->identifierAt(static_cast<std::size_t>(row));
    if (!identifier) return;
    work_->run<bool>(
        [identifier = *identifier] {
            return LoginItemController::removeLoginItemWithIdentifier(identifier);
        },
        [this, identifier = *identifier, name](bool removed) {
            if (removed) {
                controller_->loginItemRemoved(identifier);
            } else {
                status_->showMessage(
                    tr("\"%1\" could not be removed.").arg(QString::fromStdString(name)), true);
            }
        });
}

bool LoginItemsPage::drop(const LoginItemDrop& drop, int row) {
    if (drop.type == LoginItemDragType::fileNames) {
        // The questions wait for the user; the program the files came from must not wait with
        // them, so the drop ends first and the files are added right after.
        QMetaObject::invokeMethod(
            this,
            [this, paths = drop.paths] {
                if (paths.empty()) {
                    asker_->tell("Nothing was added to the login items.",
                                 "Only files on this computer can be added.");
                    return;
                }
                LoginItemAddition::add(paths, true, *controller_, *asker_);
            },
            Qt::QueuedConnection);
        return true;
    }
    return controller_->acceptDrop(drop, static_cast<std::size_t>(std::max(row, 0)));
}

void LoginItemsPage::addChosenItems(const std::vector<std::string>& paths) {
    LoginItemAddition::add(paths, false, *controller_, *asker_);
}

void LoginItemsPage::chooseLoginItems() {
    auto* dialog = new QFileDialog(this, tr("Choose a login item"), applicationsFolder());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setLabelText(QFileDialog::Accept, tr("Choose"));
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::filesSelected, this, [this](const QStringList& files) {
        std::vector<std::string> paths;
        for (const QString& file : files) paths.push_back(QDir::cleanPath(file).toStdString());
        addChosenItems(paths);
    });
    dialog->open();
}

void LoginItemsPage::askViewer(bool (FileViewer::*request)(const std::string&),
                               const std::string& path, const QString& failure) {
    auto viewer = viewer_;
    work_->run<bool>([viewer, request, path] { return viewer && ((*viewer).*request)(path); },
                     [this, failure](bool done) {
                         if (!done) status_->showMessage(failure, true);
                     });
}

bool LoginItemsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        int row = table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
        if (key->key() == Qt::Key_Space && row >= 0) {
            toggle(row);
            return true;
        }
        if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) && row >= 0) {
            remove(row);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillby
