#include "gui/results/result_window.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <filesystem>

#include "core/app/connection_settings.hpp"
#include "core/app/store_compaction.hpp"
#include "core/common/civil_time.hpp"
#include "core/common/utf8_path.hpp"
#include "core/common/messages.hpp"
#include "core/common/prompter.hpp"
#include "core/results/exposure_messages.hpp"
#include "core/results/mass_balance_messages.hpp"
#include "core/results/mass_balance_series.hpp"
#include "core/results/result_columns.hpp"
#include "core/results/result_csv.hpp"
#include "core/results/result_messages.hpp"
#include "core/results/result_search.hpp"
#include "core/results/scenario_records.hpp"
#include "gui/common/korean_interface.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/common/qt_prompter.hpp"
#include "gui/controls/busy_message_window.hpp"
#include "gui/controls/color_picker_button.hpp"
#include "gui/controls/dialog_units.hpp"
#include "gui/controls/name_combo_box.hpp"
#include "gui/controls/tab_pages_control.hpp"
#include "gui/results/chart_view.hpp"
#include "gui/results/exposure_page.hpp"
#include "gui/results/mass_balance_page.hpp"
#include "gui/results/result_pages.hpp"
#include "gui/results/window_picture.hpp"
#include "gui/scenario/scenario_window.hpp"

namespace verdanel::gui {

namespace {

using W = ResultWindow;

// Object names of the read-only fields.
QString fieldName(int f) {
    if (f == W::Chemical) return QStringLiteral("chemicalField");
    if (f == W::PeriodStart) return QStringLiteral("periodStartField");
    if (f == W::PeriodEnd) return QStringLiteral("periodEndField");
    return QString::fromLatin1(kScenarioParameters[static_cast<std::size_t>(f - 1)].key) + QStringLiteral("Field");
}

// Titles of the group boxes.
constexpr const char* kScenarioGroup = "Scenario info";
constexpr const char* kQueryGroup = "조회 옵션";
constexpr const char* kDateGroup = "날짜";
constexpr const char* kSeriesGroup = "항목 선택";
// Buttons and labels.
constexpr const char* kDeleteButton = "삭제";
constexpr const char* kModelingButton = "모델링";
constexpr const char* kCloseButton = "종료";
constexpr const char* kStartDateLabel = "시작 날짜";
constexpr const char* kEndDateLabel = "종료 날짜";
constexpr const char* kSearchButton = "search";
constexpr const char* kCsvButton = "export to data file...";
constexpr const char* kApplyButton = "apply";
constexpr const char* kImageButton = "export to image file...";
// The picture's save dialog: a file name pattern rather than a name.
constexpr const char* kImageDefaultName = "*.bmp";
constexpr const char* kImageFilter = "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||";

// Colours of the tab titles: unselected, selected, under the mouse.
const QColor kTabNormalColor(0, 0, 0);
const QColor kTabSelectedColor(72, 129, 194);
const QColor kTabHotColor(230, 50, 0);
// Every series starts in pure red.
const QColor kInitialSeriesColor(255, 0, 0);

// The chart's frame, at least 517 x 140 dialog units.
constexpr int kChartFrameWidth = 517;
constexpr int kChartFrameHeight = 140;
// A result page: 569 x 113 dialog units.
constexpr int kPageWidth = 569;
constexpr int kPageHeight = 113;

// "Name (*.a)|*.a|Other (*.*)|*.*||", as the save dialogs of the results
// are described, in Qt's form: "Name (*.a);;Other (*.*)".
QString qtFilter(const char* described) {
    const QStringList parts = QString::fromUtf8(described).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        const QString& patterns = parts[i + 1];
        if (name.isEmpty()) break;
        filters << (name.contains(patterns) ? name : name + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

// The platform's save dialog. The first filter's extension is added to a
// name typed without one; overwriting an existing file is asked about.
QString platformSaveDialog(QWidget* parent, const QString& caption, const QString& defaultName,
                           const QString& filter) {
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        const QString first = filters.first();
        const qsizetype dot = first.indexOf(QStringLiteral("*."));
        if (dot >= 0) {
            const QString rest = first.mid(dot + 2);
            const qsizetype end = rest.indexOf(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
            dialog.setDefaultSuffix(end < 0 ? rest : rest.left(end));
        }
    }
    // A pattern such as "*.bmp" is what the filter already does, not a name.
    if (!defaultName.contains(QLatin1Char('*'))) dialog.selectFile(defaultName);
    if (dialog.exec() != QDialog::Accepted) return QString();
    return dialog.selectedFiles().value(0);
}

std::filesystem::path localPath(const QString& path) {
    return pathFromUtf8(path.toStdString());
}

QDate toDate(const CivilTime& t) { return QDate(t.year, t.month, t.day); }

// The wait cursor for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QPushButton* makeButton(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(b->sizeHint().width() + 12);
    return b;
}

}  // namespace

ResultWindow::ResultWindow(ModelKind kind, StoreConnection& connection, Prompter& prompter,
                           const std::string& baseFolder, QWidget* parent)
    : QDialog(parent),
      kind_(kind),
      connection_(connection),
      prompter_(prompter),
      baseFolder_(baseFolder),
      saveFileDialog_(platformSaveDialog),
      rows_(kind) {
    setObjectName(QStringLiteral("resultWindow"));
    setWindowTitle(QString::fromUtf8(resultWindowTitle(kind)));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    const CivilTime now = localNow();
    start_ = end_ = QDate(now.year, now.month, now.day);
    openScenarioWindow_ = [this](ModelKind model, QWidget* owner) {
        ScenarioWindow window(model, connection_, prompter_, baseFolder_, owner);
        window.exec();
        return window.lastStartedScenarioName();
    };

    buildControls();
    fillScenarioList();
    startPicker_->setDate(start_);
    endPicker_->setDate(end_);
    apply_->setEnabled(false);
}

ResultWindow::~ResultWindow() {
    // The rows go before the child windows: nothing may still point at them.
    clearPages();
    chart_->clear();
}

void ResultWindow::buildControls() {
    auto* top = new QHBoxLayout;
    top->addWidget(buildScenarioGroup());

    // The query and the two result pages.
    tabs_ = new TabPagesControl(this);
    tabs_->setObjectName(QStringLiteral("resultTabs"));
    finalPage_ = new FinalResultsPage(kind_, tabs_);
    detailPage_ = new DetailedResultsPage(kind_, tabs_);
    tabs_->addPage(finalPage_, QString::fromUtf8(msg::kFinalResultsTab));
    tabs_->addPage(detailPage_, QString::fromUtf8(msg::kDetailedResultsTab));
    // Exposure endpoints of the rows; its export asks through the window's save dialog.
    exposurePage_ = new ExposurePage(
        kind_, prompter_,
        [this](const QString& caption, const QString& name) {
            if (searching_ || !saveFileDialog_) return QString();
            return saveFileDialog_(this, caption, name, qtFilter(msg::kCsvFilter));
        },
        tabs_);
    tabs_->addPage(exposurePage_, QString::fromUtf8(msg::kExposureTab));
    // Where the sprayed chemical went over the same period.
    massBalancePage_ = new MassBalancePage(tabs_);
    tabs_->addPage(massBalancePage_, QString::fromUtf8(msg::kMassBalanceTab));
    // Every page added stays shown until another is selected: each is
    // selected once, the last first, so that only the first stays shown.
    for (int page = tabs_->count() - 1; page >= 0; --page) tabs_->selectPage(page);
    tabs_->setNormalTextColor(kTabNormalColor);
    tabs_->setSelectedTextColor(kTabSelectedColor);
    tabs_->setHotTextColor(kTabHotColor);
    const QSize pageSize = finalPage_->sizeHint().expandedTo(dluSize(kPageWidth, kPageHeight));
    tabs_->setMinimumSize(pageSize + QSize(TabPagesControl::kPageWidthLess, TabPagesControl::kPageHeightLess));

    auto* right = new QVBoxLayout;
    right->addWidget(buildQueryGroup());
    right->addWidget(tabs_, 1);
    top->addLayout(right, 1);

    // The series beside the chart. The chart's labels lie around its frame,
    // so the frame keeps that much room free.
    chartFrame_ = new QFrame(this);
    chartFrame_->setObjectName(QStringLiteral("chartFrame"));
    chartFrame_->setFrameShape(QFrame::NoFrame);
    chartFrame_->setMinimumSize(dluSize(kChartFrameWidth, kChartFrameHeight));
    chartFrame_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    chartFrame_->installEventFilter(this);
    auto* chartRoom = new QHBoxLayout;
    chartRoom->setContentsMargins(ChartView::labelMargins() + QMargins(4, 6, 0, 4));
    chartRoom->addWidget(chartFrame_);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildSeriesGroup());
    bottom->addLayout(chartRoom, 1);

    csv_ = makeButton(kCsvButton, "csvButton", this);
    image_ = makeButton(kImageButton, "imageButton", this);
    close_ = makeButton(kCloseButton, "closeButton", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(csv_);
    buttons->addWidget(image_);
    buttons->addSpacing(16);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom, 1);
    layout->addLayout(buttons);
    // Laid out once from what the texts need; the chart's scales are set for that size.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Painted over the frame, above everything the labels may reach.
    chart_ = new ChartView(this);
    chart_->setObjectName(QStringLiteral("chart"));
    chart_->setCheckedSource([this](int k) {
        return k >= 0 && k < seriesCount() && seriesBoxes_[static_cast<std::size_t>(k)]->isChecked();
    });
    for (int k = 0; k < seriesCount(); ++k) chart_->setSeriesColor(k, kInitialSeriesColor);
    chart_->raise();
    // The chart's options: its value axis and the exposure page's threshold.
    connect(logScale_, &QCheckBox::toggled, chart_, &ChartView::setLogarithmic);
    connect(exposurePage_, &ExposurePage::thresholdChanged, chart_, &ChartView::setThreshold);

    connect(scenarios_, &QComboBox::currentIndexChanged, this, &ResultWindow::loadSelectedScenario);
    connect(delete_, &QPushButton::clicked, this, &ResultWindow::deleteSelectedScenario);
    connect(modeling_, &QPushButton::clicked, this, &ResultWindow::openScenarioWindow);
    connect(close_, &QPushButton::clicked, this, &ResultWindow::reject);
    connect(search_, &QPushButton::clicked, this, &ResultWindow::search);
    connect(csv_, &QPushButton::clicked, this, &ResultWindow::exportCsv);
    connect(apply_, &QPushButton::clicked, this, &ResultWindow::applyChart);
    connect(image_, &QPushButton::clicked, this, &ResultWindow::exportImage);
}

QWidget* ResultWindow::buildScenarioGroup() {
    auto* box = new QGroupBox(QString::fromUtf8(kScenarioGroup), this);
    box->setObjectName(QStringLiteral("scenarioGroup"));

    scenarios_ = new NameComboBox(this);
    scenarios_->setObjectName(QStringLiteral("scenarioList"));
    scenarios_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    scenarios_->setMinimumContentsLength(18);
    delete_ = makeButton(kDeleteButton, "deleteButton", this);
    delete_->setToolTip(QString::fromUtf8(msg::kDeleteTooltip));

    const int numberWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000.0000")) + 16;
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 18;
    for (int f = 0; f < kFieldCount; ++f) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(fieldName(f));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
        if (f != Chemical) {
            edit->setAlignment(f >= PeriodStart ? Qt::AlignCenter : Qt::AlignRight);
            edit->setMinimumWidth(f >= PeriodStart ? dateWidth : numberWidth);
        }
        fields_[static_cast<std::size_t>(f)] = edit;
    }

    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(scenarios_, 1);
    listRow->addWidget(delete_);
    grid->addLayout(listRow, 0, 0, 1, 4);
    grid->setRowMinimumHeight(1, 4);
    grid->addWidget(new QLabel(QString::fromUtf8(msg::kChemicalLabel), this), 2, 0);
    grid->addWidget(fields_[Chemical], 2, 1, 1, 3);
    // The parameters two by two, in stored order; units in the tooltips.
    for (int p = 0; p < kScenarioParameterCount; ++p) {
        const ScenarioParameter& entry = kScenarioParameters[static_cast<std::size_t>(p)];
        QLineEdit* edit = parameterField(p);
        auto* label = new QLabel(QString::fromUtf8(entry.shortLabel), this);
        label->setBuddy(edit);
        if (const QString unit = QString::fromUtf8(entry.resultTooltip); !unit.isEmpty()) {
            edit->setToolTip(unit);
            label->setToolTip(unit);
        }
        const int row = 3 + p / 2;
        const int column = 2 * (p % 2);
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1);
    }
    // Rows below the parameters follow however many there are.
    const int gap = 3 + (kScenarioParameterCount + 1) / 2;
    grid->setRowMinimumHeight(gap, 4);
    auto* period = new QHBoxLayout;
    period->addWidget(fields_[PeriodStart], 1);
    auto* separator = new QLabel(QString::fromUtf8(msg::kPeriodSeparator), this);
    separator->setAlignment(Qt::AlignCenter);
    separator->setMinimumWidth(separator->sizeHint().width() + 8);
    period->addWidget(separator);
    period->addWidget(fields_[PeriodEnd], 1);
    grid->addWidget(new QLabel(QString::fromUtf8(msg::kPeriodLabel), this), gap + 1, 0);
    grid->addLayout(period, gap + 1, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(gap + 2, 1);
    // A new scenario is defined and run from here.
    modeling_ = makeButton(kModelingButton, "modelingButton", this);
    grid->addWidget(modeling_, gap + 3, 2, 1, 2);
    return box;
}

QWidget* ResultWindow::buildQueryGroup() {
    auto* box = new QGroupBox(QString::fromUtf8(kQueryGroup), this);
    box->setObjectName(QStringLiteral("queryGroup"));
    auto* dates = new QGroupBox(QString::fromUtf8(kDateGroup), box);
    dates->setObjectName(QStringLiteral("dateGroup"));

    auto picker = [this](const char* name) {
        auto* edit = new QDateEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        // Its calendar shows Korean month and day names.
        edit->setLocale(koreanLocale());
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setMinimumWidth(edit->sizeHint().width() + 12);
        return edit;
    };
    startPicker_ = picker("startPicker");
    endPicker_ = picker("endPicker");
    auto* dateRow = new QHBoxLayout(dates);
    dateRow->addWidget(new QLabel(QString::fromUtf8(kStartDateLabel), this));
    dateRow->addWidget(startPicker_);
    dateRow->addSpacing(16);
    dateRow->addWidget(new QLabel(QString::fromUtf8(kEndDateLabel), this));
    dateRow->addWidget(endPicker_);
    dateRow->addStretch(1);

    search_ = makeButton(kSearchButton, "searchButton", this);
    search_->setMinimumWidth(search_->sizeHint().width() + 40);
    // Enter in the window runs the search.
    search_->setDefault(true);
    // The button stands level with the pickers.
    auto* searchColumn = new QVBoxLayout;
    searchColumn->addStretch(1);
    searchColumn->addWidget(search_);
    searchColumn->addSpacing(dateRow->contentsMargins().bottom() + dates->contentsMargins().bottom());
    auto* row = new QHBoxLayout(box);
    row->addWidget(dates, 1);
    row->addSpacing(8);
    row->addLayout(searchColumn);
    return box;
}

QWidget* ResultWindow::buildSeriesGroup() {
    auto* box = new QGroupBox(QString::fromUtf8(kSeriesGroup), this);
    box->setObjectName(QStringLiteral("seriesGroup"));
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(10);

    // Every series has its box and colour button; those the model does not
    // offer stay hidden and out of the layout.
    const std::vector<ResultSeries>& series = resultSeries(kind_);
    int row = 0;
    for (int k = 0; k < seriesCount(); ++k) {
        const ResultSeries& s = series[static_cast<std::size_t>(k)];
        auto* check = new QCheckBox(QString::fromLatin1(s.caption), this);
        check->setObjectName(QStringLiteral("seriesBox%1").arg(kFirstSeriesBoxId + k));
        auto* color = new ColorPickerButton(this, kFirstColorButtonId + k);
        color->setObjectName(QStringLiteral("colorButton%1").arg(kFirstColorButtonId + k));
        color->setColor(kInitialSeriesColor);
        seriesBoxes_[static_cast<std::size_t>(k)] = check;
        colorButtons_[static_cast<std::size_t>(k)] = color;
        connect(color, &ColorPickerButton::colorChanged, this, [this](int id, const QColor& c) {
            chart_->setSeriesColor(id - kFirstColorButtonId, c);
        });
        // A series checked or unchecked shows at once, with the scales of the last apply.
        connect(check, &QCheckBox::toggled, this, [this] {
            if (chart_) chart_->checkedSourceChanged();
        });
        if (!s.shown) {
            check->hide();
            color->hide();
            continue;
        }
        grid->addWidget(check, row, 0);
        grid->addWidget(color, row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    logScale_ = new QCheckBox(QString::fromUtf8(msg::kLogScaleBox), this);
    logScale_->setObjectName(QStringLiteral("logScaleBox"));
    grid->addWidget(logScale_, row + 1, 0, 1, 2);
    apply_ = makeButton(kApplyButton, "applyButton", this);
    grid->addWidget(apply_, row + 2, 0, 1, 2);
    return box;
}

QCheckBox* ResultWindow::seriesBox(int k) const {
    return k >= 0 && k < seriesCount() ? seriesBoxes_[static_cast<std::size_t>(k)] : nullptr;
}

ColorPickerButton* ResultWindow::colorButton(int k) const {
    return k >= 0 && k < seriesCount() ? colorButtons_[static_cast<std::size_t>(k)] : nullptr;
}

SummaryTexts ResultWindow::summary() const { return finalPage_->summary(); }

void ResultWindow::inform(const QString& text) {
    prompter_.inform(text.toStdString(), msg::kProgramTitle, PromptIcon::Warning);
}

std::vector<std::string> ResultWindow::fillScenarioList() {
    const std::vector<std::string> names = scenarioNames(connection_, prompter_, kind_);
    const QSignalBlocker quiet(scenarios_);
    scenarios_->clear();
    for (const std::string& name : names) scenarios_->addItem(QString::fromStdString(name));
    scenarios_->setCurrentIndex(-1);
    return names;
}

void ResultWindow::emptyFields() {
    for (QLineEdit* edit : fields_) edit->clear();
}

void ResultWindow::clearPages() {
    finalPage_->clear();
    detailPage_->clear();
    exposurePage_->clear();
    massBalancePage_->clear();
}

void ResultWindow::uncheckAllSeries() {
    for (int k = 0; k < seriesCount(); ++k) seriesBoxes_[static_cast<std::size_t>(k)]->setChecked(false);
}

void ResultWindow::setCommandsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{search_, delete_, csv_, image_, modeling_,
                                                      exposurePage_->exportButton()})
        w->setEnabled(enabled);
}

void ResultWindow::loadSelectedScenario() {
    if (scenarios_->currentIndex() < 0) {
        emptyFields();
        return;
    }
    const ScenarioQueryOutcome outcome =
        queryScenario(connection_, prompter_, kind_, scenarios_->currentText().toStdString());
    switch (outcome.status) {
        case ScenarioLookup::Duplicate: return;  // the core has said so; the fields stay
        case ScenarioLookup::NotFound:
        case ScenarioLookup::Failed: emptyFields(); return;
        case ScenarioLookup::Found: break;
    }
    const ScenarioInfo& info = outcome.info;
    fields_[Chemical]->setText(QString::fromStdString(info.chemical));
    for (int p = 0; p < kScenarioParameterCount; ++p)
        parameterField(p)->setText(QString::fromStdString(info.parameterTexts[static_cast<std::size_t>(p)]));
    fields_[PeriodStart]->setText(QString::fromStdString(info.startDate));
    fields_[PeriodEnd]->setText(QString::fromStdString(info.endDate));
    // A date the pickers cannot show leaves them and the window's range as they were.
    if (const QDate d = toDate(info.start); d.isValid()) start_ = d;
    if (const QDate d = toDate(info.end); d.isValid()) end_ = d;
    startPicker_->setDate(start_);
    endPicker_->setDate(end_);
}

void ResultWindow::search() {
    if (searching_) return;
    start_ = startPicker_->date();
    end_ = endPicker_->date();
    if (scenarios_->currentIndex() < 0) {
        inform(QString::fromUtf8(msg::kSelectScenario));
        return;
    }
    const std::string name = scenarios_->currentText().toStdString();

    // From here until the rows are in, the windows get a turn now and then
    // (the busy window's painting, the load's progress); meanwhile nothing
    // may start that would read or replace the rows.
    searching_ = true;
    setCommandsEnabled(false);
    QtProgressSink progress(nullptr);
    progress_ = &progress;
    BusyMessageWindow busy;
    busy.open(this, QString::fromUtf8(msg::kSearching));
    WaitCursor wait;
    clearPages();
    ResultBuffer found = closeAfterSearch_ ? ResultBuffer(kind_)
                                           : ResultSearch::search(connection_, prompter_, kind_, name, start_.month(),
                                                                  start_.day(), end_.month(), end_.day(), &progress);
    progress_ = nullptr;

    // Nothing found: the core has said so; the rows and the chart of the
    // previous search stay.
    if (!closeAfterSearch_ && !found.empty()) {
        apply_->setEnabled(false);
        rows_ = std::move(found);
        finalPage_->showRows(&rows_);
        detailPage_->showRows(&rows_);
        finalPage_->setSummary(summarize(rows_, start_.year()));
        exposurePage_->showRows(&rows_, start_.year(), QString::fromStdString(name), start_.month(), start_.day(),
                                end_.month(), end_.day());
        massBalancePage_->showRows(searchMassBalance(connection_, kind_, name, start_.month(), start_.day(),
                                                     end_.month(), end_.day()));

        uncheckAllSeries();
        seriesBoxes_[static_cast<std::size_t>(rows_.waterIndex())]->setChecked(true);
        chart_->setBuffer(&rows_);
        applyChart();
        apply_->setEnabled(true);
    }

    // Clicks and keys that came in while the rows were loaded and shown
    // reach the window now, while its commands are still off: a press on
    // "삭제" queued during the search must not act once it is over.
    QCoreApplication::processEvents();
    searching_ = false;
    setCommandsEnabled(true);

    if (closeAfterSearch_) {
        busy.close();
        done(closeResult_);
    }
}

void ResultWindow::applyChart() {
    if (const QString message = chart_->apply(); !message.isEmpty()) inform(message);
}

void ResultWindow::deleteSelectedScenario() {
    if (searching_) return;
    if (scenarios_->currentIndex() < 0) {
        inform(QString::fromUtf8(msg::kSelectScenarioToDelete));
        return;
    }
    const std::string name = scenarios_->currentText().toStdString();
    // A scenario and all its rows go for good: the user confirms first.
    if (!prompter_.confirm(msg::kDeleteScenarioQuestion, msg::kDeleteScenarioCaption)) return;

    BusyMessageWindow busy;
    busy.open(this, QString::fromUtf8(msg::kDeletingScenario));
    WaitCursor wait;
    // A refused delete has been reported by the core and leaves the store as it was.
    deleteScenario(connection_, prompter_, kind_, name);

    emptyFields();
    fillScenarioList();
    clearPages();
    chart_->clear();
    rows_ = ResultBuffer(kind_);
    uncheckAllSeries();
    update();
    // The delete gave its pages back already; a store made before that was
    // possible is rewritten (and switched) when enough lies free.
    compactIfWorthwhile(connection_, buildConnectionText(baseFolder_), prompter_);
    busy.close();
}

void ResultWindow::openScenarioWindow() {
    if (searching_ || !openScenarioWindow_) return;
    const QString started = openScenarioWindow_(kind_, this);
    if (started.isEmpty()) return;

    const std::vector<std::string> names = fillScenarioList();
    {
        const QSignalBlocker quiet(scenarios_);
        scenarios_->setCurrentIndex(scenarioEntryStartingWith(names, started.toStdString()));
    }
    loadSelectedScenario();
    search();
}

void ResultWindow::exportCsv() {
    if (searching_ || !saveFileDialog_) return;
    const QString name =
        QString::fromStdString(defaultCsvFileName(start_.month(), start_.day(), end_.month(), end_.day()));
    const QString path =
        saveFileDialog_(this, QString::fromUtf8(msg::kCsvSaveTitle), name, qtFilter(msg::kCsvFilter));
    if (path.isEmpty()) return;
    exportResultsCsv(localPath(path), rows_, finalPage_->summary(), prompter_);
}

void ResultWindow::exportImage() {
    if (searching_ || !saveFileDialog_) return;
    const QString path =
        saveFileDialog_(this, QString(), QString::fromLatin1(kImageDefaultName), qtFilter(kImageFilter));
    if (path.isEmpty()) return;
    // Let the window repaint where the dialog lay before its picture is taken.
    QCoreApplication::processEvents();
    const QString message = windowBitmapMessage(exportWindowBitmap(this, path));
    if (!message.isEmpty()) prompter_.inform(message.toStdString(), msg::kProgramTitle, PromptIcon::Information);
}

void ResultWindow::done(int result) {
    if (searching_) {
        // The load is below this call on the stack: it gives up at its next
        // turn and the window closes once it has returned.
        closeAfterSearch_ = true;
        closeResult_ = result;
        if (progress_) progress_->abandon();
        return;
    }
    closeAfterSearch_ = false;
    clearPages();
    chart_->clear();
    rows_ = ResultBuffer(kind_);
    QDialog::done(result);
}

bool ResultWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chartFrame_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) placeChart();
    return QDialog::eventFilter(watched, event);
}

void ResultWindow::placeChart() {
    if (!chart_ || !chartFrame_) return;
    chart_->setFrameGeometry(QRect(chartFrame_->mapTo(this, QPoint(0, 0)), chartFrame_->size()));
    chart_->raise();
}

}  // namespace verdanel::gui
