#include "gui/sweep/sweep_dialog.hpp"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

#include "core/common/utf8_path.hpp"
#include "core/common/number_text.hpp"
#include "core/common/prompter.hpp"
#include "core/common/text_format.hpp"
#include "core/results/result_columns.hpp"
#include "core/sweep/sweep_csv.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "core/sweep/sweep_summary.hpp"
#include "core/weather/weather_reader.hpp"
#include "gui/common/program_pictures.hpp"
#include "gui/sweep/sweep_chart_widget.hpp"
#include "plot/sweep_chart_image.hpp"
#include "plot/sweep_chart_painter.hpp"

namespace verdanel::gui {

namespace {

// The shift of the spray dates in the list of what to vary.
constexpr int kShiftItem = -1;

QString u(const char* text) { return QString::fromUtf8(text); }
QString u(const std::string& text) { return QString::fromStdString(text); }

QString shortNumber(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return QString::fromLatin1(text);
}

// The variant's progress into two atomics the dialog reads on its own thread.
class AtomicProgress final : public ProgressSink {
public:
    AtomicProgress(std::atomic<int>& percent, const std::atomic<bool>& cancel) : percent_(percent), cancel_(cancel) {}
    void progress(int percent) override { percent_.store(percent); }
    bool abandoned() override { return cancel_.load(); }

private:
    std::atomic<int>& percent_;
    const std::atomic<bool>& cancel_;
};

QString defaultSaveDialog(QWidget* parent, const QString& title, const QString& fileName, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, fileName, filter);
}

QTableWidgetItem* cell(const QString& text, bool number = true) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QString optionalText(const std::optional<double>& v) { return v ? u(formatE(*v)) : u(msg::kNoValue); }

}  // namespace

SweepDialog::SweepDialog(const ScenarioDefinition& scenario, const WeatherSet& weather, Prompter& prompter,
                         QWidget* parent)
    : QDialog(parent), scenario_(scenario), weather_(weather), prompter_(prompter), chooseSave_(defaultSaveDialog) {
    setObjectName(QStringLiteral("sweepDialog"));
    QString title = u(msg::kSweepDialogTitle);
    if (!scenario_.name.empty()) title += QStringLiteral(" - ") + u(scenario_.name);
    setWindowTitle(title);
    setWindowIcon(programIcon());
    buildControls();
    proposeRange();
}

SweepDialog::~SweepDialog() {
    if (thread_) {
        cancelRequested_ = true;
        thread_->wait();
    }
}

void SweepDialog::buildControls() {
    auto button = [this](const char* text, const char* name) {
        auto* b = new QPushButton(u(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    auto field = [this](const char* name) {
        auto* f = new QLineEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setAlignment(Qt::AlignRight);
        f->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0.000000e+00")) + 12);
        return f;
    };

    varied_ = new QComboBox(this);
    varied_->setObjectName(QStringLiteral("variedList"));
    for (int p = 0; p < kScenarioParameterCount; ++p) {
        const ScenarioParameter& entry = kScenarioParameters[static_cast<std::size_t>(p)];
        if (parameterFixedFor(scenario_.kind, entry)) continue;
        QString label = u(entry.label);
        if (*entry.unit) label += QStringLiteral(" (") + u(entry.unit) + QStringLiteral(")");
        varied_->addItem(label, p);
    }
    varied_->addItem(u(msg::kShiftDaysLabel), kShiftItem);
    from_ = field("sweepFrom");
    to_ = field("sweepTo");
    step_ = field("sweepStep");
    threshold_ = field("sweepThreshold");
    threshold_->setToolTip(u(msg::kSweepThresholdTooltip));
    char thresholdLabel[96];
    std::snprintf(thresholdLabel, sizeof thresholdLabel, msg::kSweepThresholdLabelFormat,
                  valueUnit(scenario_.kind, resultValueCount(scenario_.kind) - 1));

    run_ = button(msg::kSweepRunButton, "sweepRunButton");
    cancel_ = button(msg::kSweepCancelButton, "sweepCancelButton");
    cancel_->setEnabled(false);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("sweepProgress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("sweepStatus"));
    csv_ = button(msg::kSweepCsvButton, "sweepCsvButton");
    image_ = button(msg::kSweepImageButton, "sweepImageButton");
    csv_->setEnabled(false);
    image_->setEnabled(false);
    auto* close = button(msg::kSweepCloseButton, "sweepCloseButton");

    auto* inputs = new QGridLayout;
    inputs->addWidget(new QLabel(u(msg::kSweepVaryLabel), this), 0, 0);
    inputs->addWidget(varied_, 0, 1, 1, 5);
    inputs->addWidget(new QLabel(u(msg::kSweepFromLabel), this), 1, 0);
    inputs->addWidget(from_, 1, 1);
    inputs->addWidget(new QLabel(u(msg::kSweepToLabel), this), 1, 2);
    inputs->addWidget(to_, 1, 3);
    inputs->addWidget(new QLabel(u(msg::kSweepStepLabel), this), 1, 4);
    inputs->addWidget(step_, 1, 5);
    inputs->addWidget(new QLabel(u(thresholdLabel), this), 2, 0);
    inputs->addWidget(threshold_, 2, 1);
    inputs->setColumnStretch(6, 1);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(progress_, 1);
    runRow->addWidget(run_);
    runRow->addWidget(cancel_);

    chart_ = new SweepChartWidget(this);
    variants_ = new QTableWidget(this);
    variants_->setObjectName(QStringLiteral("sweepVariants"));
    summary_ = new QTableWidget(this);
    summary_->setObjectName(QStringLiteral("sweepSummary"));
    for (QTableWidget* t : {variants_, summary_}) {
        t->verticalHeader()->setVisible(false);
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->horizontalHeader()->setStretchLastSection(true);
    }
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("sweepTabs"));
    tabs->addTab(variants_, u(msg::kSweepVariantsTab));
    tabs->addTab(summary_, u(msg::kSweepSummaryTab));
    tabs->setCurrentIndex(1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(chart_);
    splitter->addWidget(tabs);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(csv_);
    bottom->addWidget(image_);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addLayout(runRow);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    resize(980, 860);

    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, [this] { progress_->setValue(percent_.load()); });
    connect(varied_, &QComboBox::currentIndexChanged, this, [this] { proposeRange(); });
    connect(run_, &QPushButton::clicked, this, &SweepDialog::startSweep);
    connect(cancel_, &QPushButton::clicked, this, &SweepDialog::cancelSweep);
    connect(csv_, &QPushButton::clicked, this, &SweepDialog::exportCsv);
    connect(image_, &QPushButton::clicked, this, &SweepDialog::exportImage);
    connect(close, &QPushButton::clicked, this, &SweepDialog::reject);
}

void SweepDialog::proposeRange() {
    const int p = varied_->currentData().toInt();
    if (p == kShiftItem) {
        // A season around the programme: a month earlier to two months later.
        from_->setText(QStringLiteral("-30"));
        to_->setText(QStringLiteral("60"));
        step_->setText(QStringLiteral("1"));
        return;
    }
    const double v = parameterValue(scenario_.parameters, kScenarioParameters[static_cast<std::size_t>(p)]);
    // Half to one and a half times the scenario's value, in eleven steps.
    const double base = v > 0 ? v : 1.0;
    from_->setText(shortNumber(v > 0 ? base * 0.5 : 0.0));
    to_->setText(shortNumber(v > 0 ? base * 1.5 : 1.0));
    step_->setText(shortNumber(base * 0.1));
}

void SweepDialog::setInputsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{varied_, from_, to_, step_, threshold_, run_, csv_, image_})
        w->setEnabled(enabled);
    if (enabled) {
        csv_->setEnabled(outcome_.has_value());
        image_->setEnabled(outcome_.has_value());
    }
    cancel_->setEnabled(!enabled);
}

void SweepDialog::startSweep() {
    if (thread_) return;
    const QString range = from_->text().trimmed() + QLatin1Char(':') + to_->text().trimmed() + QLatin1Char(':') +
                          step_->text().trimmed();
    const int p = varied_->currentData().toInt();
    const SweepPlanOutcome planned =
        p == kShiftItem ? shiftSweep(range.toStdString())
                        : parameterSweep(kScenarioParameters[static_cast<std::size_t>(p)].name, range.toStdString());
    if (!planned.plan) {
        prompter_.inform(planned.error, msg::kProgramTitle, PromptIcon::Warning);
        return;
    }
    std::optional<double> threshold;
    if (!threshold_->text().trimmed().isEmpty()) {
        threshold = parseThreshold(threshold_->text().toStdString());
        if (!threshold) {
            prompter_.inform(msg::kSweepBadThreshold, msg::kProgramTitle, PromptIcon::Warning);
            threshold_->setFocus();
            return;
        }
    }
    // The files are read here, once, with their messages; the variants share the tables.
    WeatherSet weather = weather_;
    if (!readWeatherSet(weather, scenario_.weather, prompter_).opened) return;

    SweepOptions options;
    options.thresholds.assign(static_cast<std::size_t>(resultValueCount(scenario_.kind)), std::nullopt);
    options.thresholds.back() = threshold;
    shownThreshold_ = threshold;
    percent_ = 0;
    cancelRequested_ = false;
    progress_->setValue(0);
    status_->setText(u(fillMessage(msg::kSweepRunningFormat, std::to_string(planned.plan->values.size()))));
    running_ = std::make_unique<SweepOutcome>();
    setInputsEnabled(false);
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    thread_ = QThread::create([this, plan = *planned.plan, options, weather, timer] {
        AtomicProgress sink(percent_, cancelRequested_);
        *running_ = runSweep(scenario_, plan, weather, sink, options);
        seconds_ = static_cast<double>(timer->nsecsElapsed()) / 1e9;
    });
    connect(thread_, &QThread::finished, this, &SweepDialog::sweepEnded);
    poll_->start(50);
    thread_->start();
}

void SweepDialog::cancelSweep() { cancelRequested_ = true; }

void SweepDialog::sweepEnded() {
    if (!thread_) return;
    thread_->wait();
    thread_->deleteLater();
    thread_ = nullptr;
    poll_->stop();
    outcome_ = std::move(*running_);
    running_.reset();
    progress_->setValue(outcome_->status == SweepStatus::Completed ? 100 : percent_.load());
    setInputsEnabled(true);
    showOutcome();
    emit sweepFinished();
}

void SweepDialog::showOutcome() {
    const SweepOutcome& sweep = *outcome_;
    const int water = resultValueCount(sweep.kind) - 1;
    chart_->setSweep(outcome_, shownThreshold_);

    // The variants: Cwater's endpoints, the threshold's, and why a variant did not run.
    const QStringList headers{u(msg::kSweepVariantHeader),      u(msg::kSweepStatusHeader),
                              u(msg::kEndpointPeak),            u(endpointLabel({water, EndpointMeasure::HighestMean, 0})),
                              u(endpointLabel({water, EndpointMeasure::HighestMean, 2})),
                              u(endpointLabel({water, EndpointMeasure::HighestMean, 5})),
                              u(msg::kEndpointMinutesAbove),    u(msg::kSweepMeetsHeader),
                              u(msg::kSweepMessageHeader)};
    variants_->clear();
    variants_->setColumnCount(static_cast<int>(headers.size()));
    variants_->setHorizontalHeaderLabels(headers);
    variants_->setRowCount(static_cast<int>(sweep.variants.size()));
    int finished = 0;
    for (int row = 0; row < static_cast<int>(sweep.variants.size()); ++row) {
        const VariantOutcome& v = sweep.variants[static_cast<std::size_t>(row)];
        variants_->setItem(row, 0, cell(u(variantText(sweep.plan, v.value))));
        variants_->setItem(row, 1, cell(u(variantStatusText(v.status)), false));
        variants_->setItem(row, 8, cell(u(v.message), false));
        if (v.status != VariantStatus::Finished) continue;
        ++finished;
        const ColumnEndpoints& e = v.endpoints[static_cast<std::size_t>(water)];
        variants_->setItem(row, 2, cell(u(formatE(e.peak))));
        variants_->setItem(row, 3, cell(optionalText(e.highestMean[0])));
        variants_->setItem(row, 4, cell(optionalText(e.highestMean[2])));
        variants_->setItem(row, 5, cell(optionalText(e.highestMean[5])));
        if (e.threshold) {
            variants_->setItem(row, 6, cell(QString::number(e.threshold->minutesAbove)));
            const bool meets = printedKey(e.peak) <= printedKey(e.threshold->threshold);
            variants_->setItem(row, 7, cell(u(meets ? msg::kSweepYes : msg::kSweepNo), false));
        }
    }
    variants_->resizeColumnsToContents();

    // The distribution of Cwater's endpoints over the variants that ran.
    const QStringList summaryHeaders{u(msg::kSweepEndpointHeader), u(msg::kSweepMinimumHeader),
                                     u(msg::kSweepMedianHeader),   u(msg::kSweepP90Header),
                                     u(msg::kSweepMaximumHeader),  u(msg::kSweepMaximumVariantHeader)};
    summary_->clear();
    summary_->setColumnCount(static_cast<int>(summaryHeaders.size()));
    summary_->setHorizontalHeaderLabels(summaryHeaders);
    summary_->setRowCount(0);
    for (const EndpointDistribution& d : summarizeSweep(sweep)) {
        if (d.key.valueIndex != water) continue;
        const int row = summary_->rowCount();
        summary_->insertRow(row);
        summary_->setItem(row, 0, cell(u(endpointLabel(d.key)), false));
        summary_->setItem(row, 1, cell(u(endpointValueText(d.key.measure, d.distribution.minimum))));
        summary_->setItem(row, 2, cell(u(endpointValueText(d.key.measure, d.distribution.median))));
        summary_->setItem(row, 3, cell(u(endpointValueText(d.key.measure, d.distribution.p90))));
        summary_->setItem(row, 4, cell(u(endpointValueText(d.key.measure, d.distribution.maximum))));
        summary_->setItem(row, 5, cell(u(variantText(sweep.plan, sweep.variants[d.maximumVariant].value))));
    }
    summary_->resizeColumnsToContents();

    if (sweep.status == SweepStatus::Cancelled) {
        status_->setText(u(msg::kSweepCancelled));
        return;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", seconds_);
    status_->setText(u(fillMessage(msg::kSweepDoneFormat, {std::to_string(sweep.variants.size()),
                                                           std::to_string(finished), seconds,
                                                           std::to_string(sweep.jobs)})));
    // Nothing ran: the first variant's reason is worth a message of its own.
    if (finished == 0 && !sweep.variants.empty() && !sweep.variants.front().message.empty())
        prompter_.inform(fillMessage(msg::kSweepNoVariantRan, sweep.variants.front().message), msg::kProgramTitle,
                         PromptIcon::Warning);
}

void SweepDialog::exportCsv() {
    if (!outcome_ || !chooseSave_) return;
    const QString path = chooseSave_(this, u(msg::kSweepCsvSaveTitle),
                                      u(outcome_->plan.name()) + QStringLiteral(".csv"), u(msg::kSweepCsvFilter));
    if (path.isEmpty()) return;
    exportSweepCsv(pathFromUtf8(path.toStdString()), *outcome_, scenario_.name, prompter_);
}

void SweepDialog::exportImage() {
    if (!outcome_ || !chooseSave_) return;
    const QString path = chooseSave_(this, u(msg::kSweepImageSaveTitle),
                                     u(outcome_->plan.name()) + QStringLiteral(".png"), u(msg::kSweepImageFilter));
    if (path.isEmpty()) return;
    const QImage image =
        sweepChartImage(*outcome_, shownThreshold_, QSize(kSweepImageWidth, kSweepImageHeight));
    if (!image.save(path, "PNG"))
        prompter_.inform(fillMessage(msg::kSweepImageWriteFailedFormat, path.toStdString()), msg::kProgramTitle,
                         PromptIcon::Warning);
}

void SweepDialog::reject() {
    // Closing during a sweep stops it first; nothing is kept anywhere.
    if (thread_) {
        cancelRequested_ = true;
        thread_->wait();
        sweepEnded();
    }
    QDialog::reject();
}

}  // namespace verdanel::gui
