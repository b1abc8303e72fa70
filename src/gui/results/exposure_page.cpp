#include "gui/results/exposure_page.hpp"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>

#include "core/common/prompter.hpp"
#include "core/common/utf8_path.hpp"
#include "core/results/exposure_messages.hpp"
#include "core/results/result_columns.hpp"

namespace verdanel::gui {

namespace {

// Lines of endpointLines: the peak and its time, the means, then the five threshold lines.
constexpr int kFirstMeanLine = 2;
constexpr int kMeanLines = static_cast<int>(kAveragingDays.size());
constexpr int kFirstThresholdLine = kFirstMeanLine + kMeanLines;
constexpr int kThresholdLines = 5;
constexpr int kPeakTableRows = kFirstMeanLine + kThresholdLines;

QTableWidget* endpointsTable(int rows, const char* name, QWidget* parent) {
    auto* table = new QTableWidget(rows, 3, parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels({QString::fromUtf8(msg::kEndpointsNameHeader),
                                      QString::fromUtf8(msg::kEndpointsValueHeader),
                                      QString::fromUtf8(msg::kEndpointsUnitHeader)});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(false);
    table->setCornerButtonEnabled(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 3);
    table->horizontalHeader()->setHighlightSections(false);
    const QFontMetrics metrics = table->fontMetrics();
    table->setColumnWidth(0, metrics.horizontalAdvance(QString::fromUtf8(msg::kEndpointPeakToThreshold)) + 14);
    table->setColumnWidth(1, metrics.horizontalAdvance(QStringLiteral("-0.000000e+000")) + 14);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(c == 1 ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
            table->setItem(r, c, item);
        }
    // Every row in sight without scrolling.
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() +
                            rows * table->verticalHeader()->defaultSectionSize() + 2 * table->frameWidth());
    int width = 2 * table->frameWidth();
    for (int c = 0; c < 3; ++c) width += table->columnWidth(c);
    table->setMinimumWidth(width + metrics.horizontalAdvance(QString::fromUtf8(msg::kEndpointsUnitHeader)) + 8);
    return table;
}

}  // namespace

ExposurePage::ExposurePage(ModelKind kind, Prompter& prompter, AskSavePath askSavePath, QWidget* parent)
    : QWidget(parent), kind_(kind), prompter_(prompter), askSavePath_(std::move(askSavePath)) {
    setObjectName(QStringLiteral("exposurePage"));

    column_ = new QComboBox(this);
    column_->setObjectName(QStringLiteral("exposureColumn"));
    for (const ResultColumn& c : detailColumns(kind))
        if (c.field == ColumnField::Value) column_->addItem(QString::fromLatin1(c.header), c.valueIndex);
    column_->setCurrentIndex(column_->findData(resultValueCount(kind) - 1));

    threshold_ = new QLineEdit(this);
    threshold_->setObjectName(QStringLiteral("exposureThreshold"));
    threshold_->setAlignment(Qt::AlignRight);
    threshold_->setToolTip(QString::fromUtf8(msg::kExposureThresholdTooltip));
    threshold_->setMinimumWidth(threshold_->fontMetrics().horizontalAdvance(QStringLiteral("0.000000e-000")) + 16);
    unit_ = new QLabel(this);
    unit_->setObjectName(QStringLiteral("exposureUnit"));
    export_ = new QPushButton(QString::fromUtf8(msg::kExposureCsvButton), this);
    export_->setObjectName(QStringLiteral("exposureCsvButton"));
    export_->setAutoDefault(false);

    peakTable_ = endpointsTable(kPeakTableRows, "exposurePeakTable", this);
    meansTable_ = endpointsTable(kMeanLines, "exposureMeansTable", this);

    auto* choices = new QGridLayout;
    choices->setVerticalSpacing(6);
    choices->addWidget(new QLabel(QString::fromUtf8(msg::kExposureColumnLabel), this), 0, 0);
    choices->addWidget(column_, 0, 1, 1, 2);
    auto* thresholdLabel = new QLabel(QString::fromUtf8(msg::kExposureThresholdLabel), this);
    thresholdLabel->setBuddy(threshold_);
    choices->addWidget(thresholdLabel, 1, 0);
    choices->addWidget(threshold_, 1, 1);
    choices->addWidget(unit_, 1, 2);
    choices->setRowStretch(2, 1);
    choices->addWidget(export_, 3, 0, 1, 3);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(10);
    layout->addLayout(choices);
    layout->addWidget(peakTable_, 1);
    layout->addWidget(meansTable_, 1);

    connect(column_, &QComboBox::currentIndexChanged, this, [this] { recompute(); });
    connect(threshold_, &QLineEdit::textChanged, this, [this] { recompute(); });
    connect(export_, &QPushButton::clicked, this, &ExposurePage::exportCsv);
    recompute();
}

void ExposurePage::showRows(const ResultBuffer* rows, int year, const QString& scenario, int startMonth,
                            int startDay, int endMonth, int endDay) {
    rows_ = rows;
    runStarts_ = rows ? minuteRunStarts(*rows, year) : std::vector<std::size_t>{};
    scenario_ = scenario;
    range_[0] = startMonth;
    range_[1] = startDay;
    range_[2] = endMonth;
    range_[3] = endDay;
    recompute();
}

void ExposurePage::clear() { showRows(nullptr, 0, QString(), 0, 0, 0, 0); }

int ExposurePage::valueIndex() const { return column_->currentData().toInt(); }

std::optional<double> ExposurePage::threshold() const { return parseThreshold(threshold_->text().toStdString()); }

QString ExposurePage::columnHeader() const { return column_->currentText(); }

void ExposurePage::recompute() {
    const std::optional<double> t = threshold();
    // Text that is not (yet) a threshold shows red; no message while typing.
    threshold_->setStyleSheet(t || threshold_->text().trimmed().isEmpty() ? QString()
                                                                          : QStringLiteral("color: rgb(200, 0, 0);"));
    unit_->setText(QString::fromUtf8(valueUnit(kind_, valueIndex())));
    if (rows_ != nullptr && !rows_->empty()) {
        endpoints_ = columnEndpoints(*rows_, valueIndex(), runStarts_, t);
    } else {
        endpoints_ = ColumnEndpoints{};
        endpoints_.valueIndex = valueIndex();
    }
    showEndpoints();
    emit thresholdChanged(t, columnHeader());
}

std::pair<QTableWidget*, int> ExposurePage::placeOf(int line) const {
    if (line < kFirstMeanLine) return {peakTable_, line};
    if (line < kFirstThresholdLine) return {meansTable_, line - kFirstMeanLine};
    return {peakTable_, line - kFirstThresholdLine + kFirstMeanLine};
}

void ExposurePage::showEndpoints() {
    const bool withRows = rows_ != nullptr && !rows_->empty();
    const std::vector<EndpointLine> lines = endpointLines(endpoints_, kind_);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const EndpointLine& line = lines[static_cast<std::size_t>(i)];
        const auto [table, row] = placeOf(i);
        table->item(row, 0)->setText(QString::fromUtf8(line.label));
        // Without rows there are no values, not even "-".
        table->item(row, 1)->setText(withRows ? QString::fromUtf8(line.value) : QString());
        table->item(row, 2)->setText(QString::fromUtf8(line.unit));
    }
}

QString ExposurePage::shownValue(int line) const {
    const auto [table, row] = placeOf(line);
    return table->item(row, 1)->text();
}

void ExposurePage::exportCsv() {
    if (rows_ == nullptr || rows_->empty()) {
        prompter_.inform(msg::kNoModellingData, msg::kProgramTitle, PromptIcon::Warning);
        return;
    }
    if (!askSavePath_) return;
    const QString name = QString::fromStdString(
        defaultEndpointsCsvFileName(kind_, valueIndex(), range_[0], range_[1], range_[2], range_[3]));
    const QString path = askSavePath_(QString::fromUtf8(msg::kExposureCsvSaveTitle), name);
    if (path.isEmpty()) return;
    char range[32];
    std::snprintf(range, sizeof range, "%02d-%02d ~ %02d-%02d", range_[0], range_[1], range_[2], range_[3]);
    exportEndpointsCsv(pathFromUtf8(path.toStdString()), endpoints_, kind_,
                       scenario_.toStdString(), range, prompter_);
}

}  // namespace verdanel::gui
