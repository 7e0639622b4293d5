// The browse-and-open dialog. The search runs on a worker thread; a timer of the dialog
// takes its hits every few milliseconds, so the list grows while the dialog stays
// responsive, and "Abbrechen" stops the worker between two chunks of a file.
#include "search/qt/BrowseOpenDialog.h"

#include "platform/qt/DialogControls.h"
#include "platform/Messages.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"
#include "search/RegexSearch.h"
#include "search/SearchEngine.h"
#include "textutil/CodeTables.h"

#include "textutil/Utf8.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varlin {
namespace {

// String ids of the texts; the controls are named by them (the fields by 3320 on).
constexpr int kCaption = 3300;
constexpr int kTextLabel = 3301;
constexpr int kPatternLabel = 3302;
constexpr int kFolderLabel = 3303;
constexpr int kBrowseButton = 3304;
constexpr int kSubfoldersBox = 3305;
constexpr int kCapsSensBox = 3306;
constexpr int kEscapesBox = 3307;
constexpr int kRegexBox = 3318;
constexpr int kSearchButton = 3308;
constexpr int kOpenButton = 3309;
constexpr int kCloseButton = 3310;
constexpr int kCancelButton = 3311;
constexpr int kFileColumn = 3312;
constexpr int kLineColumn = 3313;
constexpr int kSearchingText = 3314;
constexpr int kCancelledText = 3315;
constexpr int kSkippedText = 3316;
constexpr int kCutOffText = 3319;
constexpr int kFolderTitle = 3317;
constexpr int kTextField = 3320;
constexpr int kPatternBox = 3321;
constexpr int kFolderField = 3322;
constexpr int kHitList = 3323;
constexpr int kStatusLabel = 3324;
constexpr int kNoSearchTextMessage = 1102;
constexpr int kNoFolderMessage = 1031;
constexpr int kNoFilesMessage = 1207;
constexpr int kFilesFoundMessage = 1208;
constexpr int kPollMilliseconds = 25;

// The line as the documents show it: a UTF-8 line as UTF-8 (a damaged byte, or a
// character cut at the end, shown as the replacement mark), else bytes of the ANSI
// table, OEM ones converted.
QString LineText(std::string bytes, int codeTable) {
    if (LooksLikeUtf8(bytes.data(), bytes.size())) return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    if (codeTable == 1) OemToAnsiBytes(bytes);
    return BytesToWindows1252(bytes);
}

// The entries of FileNameFilter ("Desc|pattern|...") as the list shows them.
QStringList FilterEntries(const std::string& filter) {
    const QStringList tokens = QString::fromStdString(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < tokens.size(); i += 2) {
        const QString description = tokens[i].trimmed();
        const QString pattern = tokens[i + 1].trimmed();
        if (pattern.isEmpty()) continue;
        const QString shown = "(" + pattern + ")";
        entries << (description.endsWith(shown) ? description : description + " " + shown);
    }
    return entries;
}

// The patterns of the list's text joined as the path keeps them ("*.c;*.h").
std::string PatternsOf(const QString& text) {
    std::string joined;
    for (const std::string& p : ParseNamePatterns(text.toStdString())) {
        if (!joined.empty()) joined += ';';
        joined += p;
    }
    return joined;
}

}  // namespace

BrowseOpenDialog::BrowseOpenDialog(BrowseOpenRecord& record, QWidget* parent)
    : QDialog(parent), record_(record) {
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    text_ = Named(new QLineEdit(BytesToWindows1252(record.searchText), this), kTextField);
    text_->setMaxLength(255);
    text_->selectAll();
    pattern_ = Named(new QComboBox(this), kPatternBox);
    pattern_->setEditable(true);
    pattern_->setInsertPolicy(QComboBox::NoInsert);
    pattern_->addItems(FilterEntries(record.filter));
    std::string folder, pattern;
    SplitBrowsePath(record.path, folder, pattern);
    if (folder.empty()) folder = QDir::currentPath().toStdString();
    const int known = pattern_->findText(QStringLiteral("(%1)").arg(QString::fromStdString(pattern)),
                                         Qt::MatchEndsWith);
    if (known >= 0) pattern_->setCurrentIndex(known);
    else pattern_->setEditText(QString::fromStdString(pattern));
    folder_ = Named(new QLineEdit(QDir::toNativeSeparators(QString::fromStdString(folder)), this), kFolderField);
    browse_ = Named(new QPushButton(this), kBrowseButton);
    textLabel_ = Named(new QLabel(this), kTextLabel);
    patternLabel_ = Named(new QLabel(this), kPatternLabel);
    folderLabel_ = Named(new QLabel(this), kFolderLabel);
    textLabel_->setBuddy(text_);
    patternLabel_->setBuddy(pattern_);
    folderLabel_->setBuddy(folder_);
    fields->addWidget(textLabel_, 0, 0);
    fields->addWidget(text_, 0, 1, 1, 2);
    fields->addWidget(patternLabel_, 1, 0);
    fields->addWidget(pattern_, 1, 1, 1, 2);
    fields->addWidget(folderLabel_, 2, 0);
    fields->addWidget(folder_, 2, 1);
    fields->addWidget(browse_, 2, 2);
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);

    auto* boxes = new QHBoxLayout;
    subfolders_ = Named(new QCheckBox(this), kSubfoldersBox);
    capsSens_ = Named(new QCheckBox(this), kCapsSensBox);
    escapes_ = Named(new QCheckBox(this), kEscapesBox);
    subfolders_->setChecked(record.subfolders != 0);
    capsSens_->setChecked(record.capsSens != 0);
    escapes_->setChecked(record.expandEscapes != 0);
    regex_ = Named(new QCheckBox(this), kRegexBox);
    regex_->setChecked(record.regex != 0);
    escapes_->setEnabled(!regex_->isChecked());
    connect(regex_, &QCheckBox::toggled, escapes_, [this](bool on) { escapes_->setEnabled(!on); });
    boxes->addWidget(subfolders_);
    boxes->addWidget(capsSens_);
    boxes->addWidget(escapes_);
    boxes->addWidget(regex_);
    boxes->addStretch();
    layout->addLayout(boxes);

    hits_ = Named(new QTreeWidget(this), kHitList);
    hits_->setColumnCount(2);
    hits_->setRootIsDecorated(false);
    hits_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    hits_->setUniformRowHeights(true);
    hits_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    hits_->setColumnWidth(0, 340);
    hits_->setMinimumSize(640, 260);
    layout->addWidget(hits_, 1);

    auto* statusRow = new QHBoxLayout;
    status_ = Named(new QLabel(this), kStatusLabel);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 0);  // the number of files is not known ahead: a busy bar
    progress_->setMaximumWidth(160);
    cancel_ = Named(new QPushButton(this), kCancelButton);
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(progress_);
    statusRow->addWidget(cancel_);
    layout->addLayout(statusRow);

    auto* buttons = new QHBoxLayout;
    search_ = Named(new QPushButton(this), kSearchButton);
    open_ = Named(new QPushButton(this), kOpenButton);
    close_ = Named(new QPushButton(this), kCloseButton);
    search_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(search_);
    buttons->addWidget(open_);
    buttons->addWidget(close_);
    layout->addLayout(buttons);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollMilliseconds);
    connect(poll_, &QTimer::timeout, this, &BrowseOpenDialog::TakeResults);
    connect(search_, &QPushButton::clicked, this, [this] { StartSearch(); });
    connect(cancel_, &QPushButton::clicked, this, &BrowseOpenDialog::CancelSearch);
    connect(open_, &QPushButton::clicked, this, &BrowseOpenDialog::OpenChosen);
    connect(close_, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connect(browse_, &QPushButton::clicked, this, &BrowseOpenDialog::ChooseFolder);
    connect(hits_, &QTreeWidget::itemSelectionChanged, this, &BrowseOpenDialog::UpdateButtons);
    connect(hits_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (!item->isSelected()) hits_->setCurrentItem(item);
        OpenChosen();
    });
    Retranslate();
    UpdateButtons();
    text_->setFocus();
}

BrowseOpenDialog::~BrowseOpenDialog() { run_.Cancel(); }

void BrowseOpenDialog::Retranslate() {
    setWindowTitle(AppText(kCaption));
    textLabel_->setText(AppText(kTextLabel));
    patternLabel_->setText(AppText(kPatternLabel));
    folderLabel_->setText(AppText(kFolderLabel));
    browse_->setText(AppText(kBrowseButton));
    subfolders_->setText(AppText(kSubfoldersBox));
    capsSens_->setText(AppText(kCapsSensBox));
    escapes_->setText(AppText(kEscapesBox));
    regex_->setText(AppText(kRegexBox));
    search_->setText(AppText(kSearchButton));
    open_->setText(AppText(kOpenButton));
    close_->setText(AppText(kCloseButton));
    cancel_->setText(AppText(kCancelButton));
    hits_->setHeaderLabels({AppText(kFileColumn), AppText(kLineColumn)});
    // The patterns' descriptions follow FileNameFilter, which the user keeps in one language.
    if (searching()) status_->setText(StatusText(run_.FilesSearched()));
    else if (!endText_.isEmpty()) SearchEnded();
}

void BrowseOpenDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) Retranslate();
}

bool BrowseOpenDialog::searching() const { return poll_->isActive(); }

QString BrowseOpenDialog::StatusText(int filesSearched) const {
    return AppText(kSearchingText).replace(QStringLiteral("%s"), QString::number(filesSearched));
}

bool BrowseOpenDialog::StartSearch() {
    CancelSearch();
    FolderSearchRequest request;
    request.find.FindString = Windows1252ToBytes(text_->text());
    request.find.CapsSens = capsSens_->isChecked() ? 1 : 0;
    request.find.ExpandEscapes = escapes_->isChecked() ? 1 : 0;
    request.find.Regex = regex_->isChecked() ? 1 : 0;
    request.codeTable = record_.codeTable;
    request.subfolders = subfolders_->isChecked();
    request.patterns = ParseNamePatterns(pattern_->currentText().toStdString());
    request.folder = QDir::fromNativeSeparators(folder_->text().trimmed()).toStdString();
    SearchPattern probe;
    if (request.find.Regex && !request.find.FindString.empty()) {
        RegexSearcher expression;  // a bad expression gets its message here
        if (!expression.Compile(request.find, request.codeTable)) {
            text_->setFocus();
            return false;
        }
    } else if (!CompilePattern(request.find, request.codeTable, probe)) {
        ShowMessage(kNoSearchTextMessage);
        text_->setFocus();
        return false;
    }
    if (!QFileInfo(QString::fromStdString(request.folder)).isDir()) {
        ShowMessage(kNoFolderMessage, request.folder);
        folder_->setFocus();
        return false;
    }
    StoreFields();
    hits_->clear();
    endText_.clear();
    run_.Start(request);
    poll_->start();
    status_->setText(StatusText(0));
    UpdateButtons();
    return true;
}

void BrowseOpenDialog::CancelSearch() {
    if (!searching()) return;
    run_.Cancel();
    TakeResults();
}

void BrowseOpenDialog::TakeResults() {
    // Asked first: once the worker has ended, every hit it found is in the next take.
    const bool stillRunning = run_.Running();
    for (const FolderSearchHit& hit : run_.TakeHits()) {
        auto* item = new QTreeWidgetItem(hits_);
        const QString path = QDir::toNativeSeparators(QString::fromStdString(hit.path));
        item->setText(0, path);
        item->setToolTip(0, path);
        item->setText(1, QStringLiteral("%1: %2").arg(hit.line).arg(LineText(hit.lineText, record_.codeTable)));
        item->setData(0, Qt::UserRole, QString::fromStdString(hit.path));
    }
    if (stillRunning) {
        status_->setText(StatusText(run_.FilesSearched()));
        return;
    }
    poll_->stop();
    SearchEnded();
}

void BrowseOpenDialog::SearchEnded() {
    const FolderSearchCounts counts = run_.counts();
    QString text;
    if (run_.status() == FolderSearchStatus::Cancelled) {
        text = AppText(kCancelledText).replace(QStringLiteral("%s"), QString::number(run_.FilesSearched()));
    } else {
        const std::string number = std::to_string(counts.hits);
        text = QString::fromStdString(
            BuildMessageRequest(counts.hits == 0 ? kNoFilesMessage : kFilesFoundMessage, number.c_str()).text);
    }
    if (counts.unreadable + counts.binary + counts.loops > 0) {
        text += "  " + AppText(kSkippedText)
                           .arg(counts.unreadable)
                           .arg(counts.binary)
                           .arg(counts.loops);
    }
    // Files where an expression gave up were not searched to their end.
    if (counts.cutOff > 0) text += "  " + AppText(kCutOffText).arg(counts.cutOff);
    endText_ = text;
    status_->setText(text);
    UpdateButtons();
}

void BrowseOpenDialog::UpdateButtons() {
    const bool running = searching();
    progress_->setVisible(running);
    cancel_->setVisible(running);
    open_->setEnabled(!hits_->selectedItems().isEmpty());
}

void BrowseOpenDialog::ChooseFolder() {
    const QString chosen = QFileDialog::getExistingDirectory(this, AppText(kFolderTitle), folder_->text(),
                                                             QFileDialog::DontUseNativeDialog);
    if (!chosen.isEmpty()) folder_->setText(QDir::toNativeSeparators(chosen));
}

void BrowseOpenDialog::OpenChosen() {
    CancelSearch();
    record_.chosen.clear();
    // The order of the list, not the order of clicking.
    for (int i = 0; i < hits_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = hits_->topLevelItem(i);
        if (item->isSelected()) record_.chosen.push_back(item->data(0, Qt::UserRole).toString().toStdString());
    }
    if (record_.chosen.empty()) return;
    accept();
}

void BrowseOpenDialog::StoreFields() {
    record_.searchText = Windows1252ToBytes(text_->text());
    record_.subfolders = subfolders_->isChecked() ? 1 : 0;
    record_.capsSens = capsSens_->isChecked() ? 1 : 0;
    record_.expandEscapes = escapes_->isChecked() ? 1 : 0;
    record_.regex = regex_->isChecked() ? 1 : 0;
    const QString folder = QDir::fromNativeSeparators(folder_->text().trimmed());
    record_.path = JoinBrowsePath(folder.toStdString(), PatternsOf(pattern_->currentText()));
}

void BrowseOpenDialog::reject() {
    // Escape while the search runs stops the search; the dialog stays.
    if (searching()) {
        CancelSearch();
        return;
    }
    QDialog::reject();
}

void BrowseOpenDialog::done(int result) {
    CancelSearch();
    StoreFields();
    QDialog::done(result);
}

void RegisterBrowseOpenDialog() {
    RegisterQtDialog(DialogId::BrowseOpen, [](QWidget* parent, void* record) {
        BrowseOpenDialog dialog(*static_cast<BrowseOpenRecord*>(record), parent);
        return dialog.exec() == QDialog::Accepted ? 1 : 2;
    });
}

}  // namespace varlin
