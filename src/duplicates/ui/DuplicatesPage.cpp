// SPDX-License-Identifier: GPL-3.0-or-later
#include "duplicates/ui/DuplicatesPage.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeView>
#include <optional>

#include "core/text/UtilityFunction.h"
#include "core/work/Asker.h"
#include "core/work/BackgroundJob.h"
#include "duplicates/DuplicateCategory.h"
#include "duplicates/DuplicateCopyLinker.h"
#include "duplicates/DuplicateCopyRemover.h"
#include "duplicates/DuplicateResultsModel.h"
#include "duplicates/ui/DuplicateOptionsView.h"
#include "duplicates/ui/DuplicateOutlineModel.h"
#include "duplicates/ui/DuplicateResultsView.h"
#include "duplicates/ui/DuplicateScanningView.h"
#include "duplicates/ui/DuplicateStartView.h"
#include "platform/FileViewer.h"
#include "platform/Services.h"
#include "ui/BusySpinner.h"
#include "ui/CutTextLabel.h"
#include "ui/ImageProvider.h"
#include "ui/PageHost.h"
#include "ui/RemovalSteps.h"
#include "ui/RichStatusLine.h"
#include "ui/ThreeStateCheckDelegate.h"
#include "ui/WindowModalAsker.h"
#include "ui/WindowStyle.h"
#include "ui/WorkRunner.h"
#include "ui/model/RemovalConversation.h"

namespace quillby {

namespace {

const QString kViewIdentifiers[] = {QStringLiteral("duplicates_file"),
                                    QStringLiteral("QC_Duplicates"),
                                    QStringLiteral("DATA_Duplicates")};

constexpr int kPollMs = 100;
// The progress shows only from this value on (the first 5 stand for the start).
constexpr std::uint32_t kFirstShownProgress = 6;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

DuplicatesPage::DuplicatesPage(const PageNeeds& needs, QObject* parent)
    : QObject(parent),
      viewer_(needs.viewer ? needs.viewer : Services::get<FileViewer>()),
      session_(std::make_unique<DuplicateSearchSession>(*needs.queue)),
      choices_(std::make_unique<DuplicateSearchChoices>()),
      settings_([this] { return choices_->settings(); }),
      start_(new DuplicateStartView),
      scanning_(new DuplicateScanningView),
      results_(new DuplicateResultsView),
      options_(new DuplicateOptionsView(*choices_, start_)),
      outline_(new DuplicateOutlineModel(this)),
      poll_(new QTimer(this)),
      work_(new WorkRunner(this)) {
    asker_ = needs.asker ? needs.asker : std::make_shared<WindowModalAsker>(results_);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, [this] {
        std::uint32_t percent = session_->pollProgress();
        scanning_->showProgress(percent >= kFirstShownProgress ? static_cast<int>(percent) : 5,
                                text(session_->currentPath()));
    });
    start_->addOptions(options_);
    connect(start_->chooseButton(), &QPushButton::clicked, this, &DuplicatesPage::chooseFolder);
    connect(start_, &DuplicateStartView::folderDropped, this,
            [this](const QString& folder) { searchFolder(folder.toStdString()); });
    connect(scanning_->stopButton(), &QPushButton::clicked, this, &DuplicatesPage::stopSearch);

    QTreeView* tree = results_->outline();
    tree->setModel(outline_);
    tree->setItemDelegateForColumn(DuplicateOutlineModel::CheckColumn,
                                   new ThreeStateCheckDelegate(tree));
    tree->header()->setSectionResizeMode(DuplicateOutlineModel::NameColumn, QHeaderView::Stretch);
    tree->header()->setStretchLastSection(false);
    // Fixed widths: sizing columns to their contents would read every row of a large result.
    const int character = tree->fontMetrics().averageCharWidth();
    tree->header()->resizeSection(DuplicateOutlineModel::CheckColumn, character * 9);
    tree->header()->resizeSection(DuplicateOutlineModel::CountColumn, character * 9);
    tree->header()->resizeSection(DuplicateOutlineModel::SizeColumn, character * 13);
    tree->header()->resizeSection(DuplicateOutlineModel::DateColumn, character * 26);
    outline_->setCheckHandler([this](const TreeNode::Ptr& node) { clickCheck(node); });
    outline_->setSharedFileRule([this](const TreeNode& member) {
        return model_ && model_->review().isNameOfSharedFile(member);
    });
    connect(tree->header(), &QHeaderView::sectionClicked, this, &DuplicatesPage::sortBy);
    connect(results_->categories(), &QListWidget::currentRowChanged, this,
            &DuplicatesPage::showCategory);
    connect(results_->filterField(), &QLineEdit::textChanged, this, &DuplicatesPage::filterGroups);
    connect(results_->headerBox(), &QCheckBox::clicked, this, &DuplicatesPage::clickHeaderBox);
    connect(results_->removeButton(), &QPushButton::clicked, this, &DuplicatesPage::removeSelected);
    connect(results_->linkButton(), &QPushButton::clicked, this, &DuplicatesPage::replaceSelected);
    connect(results_->stopDeletionButton(), &QPushButton::clicked, this,
            &DuplicatesPage::stopRemoval);
    connect(results_->openButton(), &QPushButton::clicked, this, &DuplicatesPage::openCurrentRow);
    connect(results_->revealButton(), &QPushButton::clicked, this,
            &DuplicatesPage::revealCurrentRow);
    connect(results_->chooseButton(), &QPushButton::clicked, this, &DuplicatesPage::chooseFolder);
    connect(results_->searchAgainButton(), &QPushButton::clicked, this,
            [this] { searchFolder(searchPath_); });
    connect(results_->backButton(), &QPushButton::clicked, this, [this] {
        showCategory(0);
        switchTo(StartView);
    });
    work_->addControl(results_->openButton());
    work_->addControl(results_->revealButton());
    for (const auto& category : duplicateCategories()) {
        auto* row = new QListWidgetItem(results_->categories());
        if (ImageProvider::shared().knows(text(std::string(category.icon)))) {
            row->setIcon(ImageProvider::shared().icon(text(std::string(category.icon))));
        }
    }
    refreshCategories();
    refreshSelection();
}

DuplicatesPage::~DuplicatesPage() {
    poll_->stop();
    // A removal still running stops at its next copy; it holds what it reads.
    stopRemoval();
    session_.reset();
    // The options read the page's choices: they go first, wherever the start view lives on.
    if (start_) delete options_;
    for (QWidget* view : {static_cast<QWidget*>(start_), static_cast<QWidget*>(scanning_),
                          static_cast<QWidget*>(results_)}) {
        if (view && !view->parent()) delete view;
    }
}

DuplicateStartView* DuplicatesPage::startView() const {
    return start_;
}

DuplicateScanningView* DuplicatesPage::scanningView() const {
    return scanning_;
}

DuplicateResultsView* DuplicatesPage::resultsView() const {
    return results_;
}

void DuplicatesPage::registerWith(PageHost& host) {
    for (int view = StartView; view <= ResultsView; ++view) {
        QWidget* widget = view == StartView      ? static_cast<QWidget*>(start_)
                          : view == ScanningView ? static_cast<QWidget*>(scanning_)
                                                 : static_cast<QWidget*>(results_);
        host.addPage(widget, kViewIdentifiers[view]);
    }
    switcher_ =
        host.featurePageSwitcher({kViewIdentifiers[StartView], kViewIdentifiers[ScanningView],
                                  kViewIdentifiers[ResultsView]});
}

void DuplicatesPage::switchTo(View view) {
    view_ = view;
    if (switcher_) switcher_(view);
}

void DuplicatesPage::chooseFolder() {
    if (isSearching() || removing_) return;
    QWidget* owner =
        view_ == ResultsView ? static_cast<QWidget*>(results_) : static_cast<QWidget*>(start_);
    // The dialog opens where the last search looked, so a related folder is one step away.
    QString start = searchPath_.empty() ? QDir::homePath() : text(searchPath_);
    auto* dialog = new QFileDialog(owner, tr("Choose a path to search"), start);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, tr("Choose"));
    dialog->setWindowModality(Qt::WindowModal);
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& folder) { searchFolder(QDir::cleanPath(folder).toStdString()); });
    dialog->open();
}

void DuplicatesPage::searchFolder(const std::string& folder) {
    if (removing_ || folder.empty()) return;
    searchPath_ = folder;
    {
        // A new search shows all it finds.
        QSignalBlocker quiet(results_->filterField());
        results_->filterField()->clear();
    }
    model_.reset();
    outline_->setTree(nullptr);
    refreshCategories();
    refreshSelection();
    scanning_->showStarted(5);
    switchTo(ScanningView);
    poll_->start();
    searchedWith_ = settings_();
    session_->start(folder, searchedWith_, [this](DuplicateSearchSession::Result result) {
        showSearchResult(std::move(result));
    });
}

void DuplicatesPage::stopSearch() {
    if (!isSearching()) return;
    scanning_->showStopping();
    session_->stop();
}

void DuplicatesPage::showSearchResult(DuplicateSearchSession::Result result) {
    poll_->stop();
    if (result.stopped) {
        switchTo(StartView);
        emit searchFinished();
        return;
    }
    model_ = std::make_shared<DuplicateResultsModel>(
        result.tree, result.folder, std::move(result.identities), std::move(result.notSearched),
        searchedWith_, std::move(result.keptFirst));
    results_->categories()->blockSignals(true);
    results_->categories()->setCurrentRow(0);
    results_->categories()->blockSignals(false);
    refreshOutline();
    refreshCategories();
    refreshSelection();
    switchTo(ResultsView);
    RichStatusLine::announce(*results_->selection());
    emit searchFinished();
}

void DuplicatesPage::refreshOutline() {
    if (model_) {
        outline_->setGroups(model_->review().displayedGroups());
    } else {
        outline_->setTree(nullptr);
    }
    if (outline_->rowCount() > 0) results_->outline()->expand(outline_->index(0, 0));
    results_->title()->setFullText(model_ ? text(model_->titleTooltip()) : QString());
}

void DuplicatesPage::showCategory(int row) {
    if (!model_ || row < 0 || removing_) return;
    model_->showCategory(row);
    refreshOutline();
    refreshCategories();
    refreshSelection();
}

void DuplicatesPage::filterGroups(const QString& text) {
    if (!model_ || removing_) return;
    model_->filterGroups(text.toStdString());
    refreshOutline();
    refreshSelection();
}

void DuplicatesPage::refreshCategories() {
    QListWidget* list = results_->categories();
    int shown = model_ ? model_->review().shownCategory() : 0;
    for (const auto& category : duplicateCategories()) {
        QListWidgetItem* row = list->item(category.row);
        QString size = model_ ? text(model_->review().categorySizeText(category.row))
                              : QStringLiteral("0.00K");
        row->setText(text(std::string(category.title)) + QLatin1Char('\n') + size);
        row->setData(Qt::AccessibleTextRole,
                     text(std::string(category.title)) + QStringLiteral(", ") + size);
        row->setBackground(category.row == shown ? WindowStyle::accent().darker(160)
                                                 : QColor(Qt::transparent));
    }
}

void DuplicatesPage::refreshSelection() {
    const bool any = model_ && model_->review().removeEnabled();
    results_->removeButton()->setEnabled(any && !removing_);
    results_->linkButton()->setEnabled(any && !removing_);
    if (!model_) {
        results_->selection()->showSelection(0, 0);
        RichStatusLine::showPlain(*results_->freeLine(), {});
        results_->headerBox()->setCheckState(Qt::Unchecked);
        return;
    }
    const DuplicateReview& review = model_->review();
    results_->selection()->showSelection(static_cast<int>(review.tickedMembers().size()),
                                         static_cast<int>(review.filesInShownCategory()));
    QStringList lines;
    if (!model_->emptyResultLine().empty()) lines << text(model_->emptyResultLine());
    if (!model_->notice().empty()) lines << text(model_->notice());
    if (!model_->freeLine().empty()) lines << text(model_->freeLine());
    auto missed = model_->notSearchedLines();
    if (!missed.empty()) {
        lines << tr("%n folder(s) could not be searched.", nullptr,
                    static_cast<int>(missed.size()));
        QStringList all;
        for (const auto& line : missed) all << text(line);
        results_->freeLine()->setToolTip(all.join(QLatin1Char('\n')));
    }
    RichStatusLine::showPlain(*results_->freeLine(), lines.join(QLatin1Char(' ')));
    switch (review.headerState()) {
        case DuplicateReview::HeaderState::Off:
            results_->headerBox()->setCheckState(Qt::Unchecked);
            break;
        case DuplicateReview::HeaderState::All:
            results_->headerBox()->setCheckState(Qt::Checked);
            break;
        case DuplicateReview::HeaderState::Some:
            results_->headerBox()->setCheckState(Qt::PartiallyChecked);
            break;
    }
    outline_->refreshChecks();
    results_->outline()->viewport()->update();
}

void DuplicatesPage::clickCheck(const TreeNode::Ptr& node) {
    if (!model_ || !node || removing_) return;
    if (node->nodeData()->isGroup()) {
        model_->review().clickGroupBox(node);
    } else {
        auto asker = asker_;
        // The question names the copy that stays, so a yes never keeps a copy the user did not see.
        TreeNode::Ptr stays = model_->review().copyKeptIfTicked(node);
        std::string detail = stays ? "\"" + stays->nodeData()->name +
                                         "\" stays: the last copy of a file is never removed."
                                   : " ";
        model_->clickMemberBox(node, [asker, detail] {
            return asker->askYesNo("Are you sure you want to delete all the duplicate files?",
                                   detail);
        });
    }
    refreshSelection();
}

void DuplicatesPage::clickHeaderBox() {
    if (!model_ || removing_) return;
    model_->review().clickHeaderBox(model_->review().headerState() ==
                                    DuplicateReview::HeaderState::Off);
    refreshSelection();
}

void DuplicatesPage::sortBy(int column) {
    using Column = DuplicateResultsModel::SortColumn;
    Column sort = column == DuplicateOutlineModel::NameColumn   ? Column::Name
                  : column == DuplicateOutlineModel::SizeColumn ? Column::Size
                  : column == DuplicateOutlineModel::DateColumn ? Column::Date
                                                                : Column::None;
    if (!model_ || sort == Column::None || removing_) return;
    model_->clickSortHeader(sort);
    refreshOutline();
    QHeaderView* header = results_->outline()->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column,
                             model_->sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void DuplicatesPage::openCurrentRow() {
    actOnCurrentRow(false);
}

void DuplicatesPage::revealCurrentRow() {
    actOnCurrentRow(true);
}

void DuplicatesPage::actOnCurrentRow(bool reveal) {
    if (isSearching() || removing_) return;
    TreeNode::Ptr target =
        DuplicateResultsModel::actionTarget(outline_->nodeAt(results_->outline()->currentIndex()));
    if (!target) return;
    std::string path = target->nodeData()->name;
    auto viewer = viewer_;
    QString failure = reveal ? tr("\"%1\" could not be shown.").arg(text(path))
                             : tr("\"%1\" could not be opened.").arg(text(path));
    work_->run<bool>(
        [viewer, path, reveal] {
            return viewer && (reveal ? viewer->revealItem(path) : viewer->openFile(path));
        },
        [this, failure](bool done) {
            if (!done) results_->selection()->showMessage(failure, true);
        });
}

// One removal as it goes through its steps: the conversation, the members it removes (item i
// is members[i]) and the results it reads them from, kept alive while a worker uses them.
struct DuplicatesPage::Removal {
    Removal(std::shared_ptr<DuplicateResultsModel> results, std::string searched)
        : model(std::move(results)),
          members(model->review().tickedMembers()),
          conversation({.items = DuplicateCopyRemover::itemsFor<RemovalItem>(members)}),
          remover(std::move(searched)) {}

    RemovalConversation::Remover asUser() {
        return [this](const RemovalItem& item, RemovalConversation::Disposal disposal) {
            return remover.remove(members[item.tag], disposal);
        };
    }
    RemovalConversation::PrivilegedRemover withRights() {
        return [this](const RemovalItem& item) {
            return remover.removeWithRights(members[item.tag], DuplicateCopyRemover::byHelper());
        };
    }

    std::shared_ptr<DuplicateResultsModel> model;
    std::vector<TreeNode::Ptr> members;
    RemovalConversation conversation;
    DuplicateCopyRemover remover;
};

void DuplicatesPage::removeSelected() {
    if (!model_ || removing_ || isSearching() || model_->review().tickedMembers().empty()) return;
    auto removal = std::make_shared<Removal>(model_, searchPath_);
    if (!removal->conversation.confirm(*asker_)) return;
    // The conversation lives as long as the removal that holds it.
    runConversation(
        std::shared_ptr<RemovalConversation>(removal, &removal->conversation), removal->model,
        removal->members, removal->asUser(), [removal] { return removal->withRights(); },
        [](const RemovalConversation& conversation) { return conversation.closingLine(); });
}

// One replacement with links: the conversation, the members it replaces (item i is
// members[i]), and the linker made once the user chose the kind of link.
struct DuplicatesPage::Linking {
    Linking(std::shared_ptr<DuplicateResultsModel> results, std::string searchedFolder)
        : model(std::move(results)),
          members(model->review().tickedMembers()),
          conversation(planFor(members, model->review())),
          searched(std::move(searchedFolder)) {}

    static RemovalConversation::Plan planFor(const std::vector<TreeNode::Ptr>& members,
                                             const DuplicateReview& review) {
        RemovalConversation::Plan plan;
        plan.items = DuplicateCopyRemover::itemsFor<RemovalItem>(members);
        plan.disposal = RemovalConversation::Disposal::Delete;
        plan.question =
            "Replace " +
            RemovalConversation::countAndSize(members.size(), review.bytesFreedByTicked()) +
            " with links to the copies that stay?";
        plan.details =
            "Each path keeps its content. Hard links make it another name of the copy that "
            "stays, so a later change shows under every name (same disk, owner and "
            "permissions only). Reflinks keep it a file of its own that shares the blocks of "
            "the copy that stays (Btrfs, XFS).";
        plan.choices = {"Hard Links", "Reflinks"};
        plan.deletedVerb = "Replaced";
        plan.notDoneWord = "replaced";
        plan.offersRights = false;
        return plan;
    }
    RemovalConversation::Remover asUser() {
        return [this](const RemovalItem& item, RemovalConversation::Disposal) {
            return linker->link(members[item.tag]);
        };
    }

    std::shared_ptr<DuplicateResultsModel> model;
    std::vector<TreeNode::Ptr> members;
    RemovalConversation conversation;
    std::string searched;
    std::optional<DuplicateCopyLinker> linker;
};

void DuplicatesPage::replaceSelected() {
    if (!model_ || removing_ || isSearching() || model_->review().tickedMembers().empty()) return;
    auto linking = std::make_shared<Linking>(model_, searchPath_);
    if (!linking->conversation.confirm(*asker_)) return;
    DuplicateCopyLinker::Options options;
    options.kind = linking->conversation.chosen() == 0 ? LinkKind::Hard : LinkKind::Reflink;
    linking->linker.emplace(linking->searched, options, model_->review().memberIdentities());
    runConversation(std::shared_ptr<RemovalConversation>(linking, &linking->conversation),
                    linking->model, linking->members, linking->asUser(), {},
                    [linking](const RemovalConversation& conversation) {
                        // Read once the worker is done with the linker.
                        return conversation.closingLine() + " Freed " +
                               UtilityFunction::convertVolSpace(linking->linker->bytesFreed()) +
                               ".";
                    });
}

void DuplicatesPage::runConversation(
    std::shared_ptr<RemovalConversation> conversation, std::shared_ptr<DuplicateResultsModel> model,
    const std::vector<TreeNode::Ptr>& members, RemovalConversation::Remover remover,
    RemovalSteps::RightsRemoval rights,
    std::function<std::string(const RemovalConversation&)> closing) {
    showRemoving(true);
    RemovalSteps steps;
    steps.work = work_;
    steps.asker = asker_;
    steps.remover = std::move(remover);
    steps.rights = std::move(rights);
    QPointer<QLabel> name(results_->deletingName());
    steps.progress = [name](const JobProgress& progress) {
        if (name) name->setText(QString::fromStdString(progress.currentPath));
    };
    // The trees change once, from the outcomes, when every step is over.
    steps.finished = [this, model, members,
                      closing = std::move(closing)](const RemovalConversation& done) {
        model->review().finishDeletion(DuplicateReview::reportOf(members, done.outcomes()));
        showRemoving(false);
        refreshOutline();
        refreshCategories();
        refreshSelection();
        RichStatusLine::showPlain(*results_->freeLine(), text(closing(done)));
        RichStatusLine::announce(*results_->freeLine());
        emit removalFinished();
    };
    steps.start(std::move(conversation));
}

void DuplicatesPage::showRemoving(bool removing) {
    removing_ = removing;
    for (QWidget* control : std::initializer_list<QWidget*>{
             results_->openButton(), results_->revealButton(), results_->chooseButton(),
             results_->backButton(), results_->categories(), results_->headerBox(),
             results_->filterField()}) {
        control->setEnabled(!removing);
    }
    if (removing) {
        results_->removeButton()->setEnabled(false);
        results_->linkButton()->setEnabled(false);
        // The rows leave the tree at the end; the outline is bound again then.
        outline_->setTree(nullptr);
    }
    results_->showDeletion(removing);
    results_->spinner()->setRunning(removing);
}

void DuplicatesPage::stopRemoval() {
    if (removing_) work_->stop();
}

}  // namespace quillby
