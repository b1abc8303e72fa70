#include "gui/results/result_pages.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include "core/results/result_columns.hpp"
#include "core/results/result_messages.hpp"
#include "gui/results/result_table_models.hpp"

namespace verdanel::gui {

namespace {

using P = FinalResultsPage;

constexpr std::array<const char*, P::kSummaryFieldCount> kFieldNames{
    "waterMaximum", "waterTimeToMaximum", "waterResidence", "airMaximum",
    "airTimeToMaximum", "soilMaximum", "soilTimeToMaximum",
};

std::string SummaryTexts::*const kTextOf[P::kSummaryFieldCount] = {
    &SummaryTexts::waterMaximum, &SummaryTexts::waterTimeToMaximum, &SummaryTexts::waterResidence,
    &SummaryTexts::airMaximum,   &SummaryTexts::airTimeToMaximum,   &SummaryTexts::soilMaximum,
    &SummaryTexts::soilTimeToMaximum,
};

QLabel* centredLabel(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

FinalResultsPage::FinalResultsPage(ModelKind kind, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("finalResultsPage"));

    // Wide enough for the longest text each field can hold.
    const QFontMetrics metrics = fontMetrics();
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("0.000000e-000")) + 18;
    const int timeWidth = metrics.horizontalAdvance(QString::fromUtf8("00일 00시간 00분")) + 18;
    for (int f = 0; f < kSummaryFieldCount; ++f) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(kFieldNames[static_cast<std::size_t>(f)]));
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFocusPolicy(Qt::ClickFocus);
        const bool isMaximum = f == WaterMaximum || f == AirMaximum || f == SoilMaximum;
        edit->setMinimumWidth(isMaximum ? valueWidth : timeWidth);
        fields_[static_cast<std::size_t>(f)] = edit;
    }

    // Water: maximum, time to it and residence; then air and soil: maximum and time to it.
    auto* summary = new QGridLayout;
    summary->setHorizontalSpacing(6);
    summary->setVerticalSpacing(4);
    summary->addWidget(centredLabel(msg::kMaximumPpbHeader, this), 0, 1);
    summary->addWidget(centredLabel(msg::kTimeToMaximumHeader, this), 0, 2);
    summary->addWidget(centredLabel(msg::kResidenceHeader, this), 0, 3);
    summary->addWidget(new QLabel(QString::fromUtf8(msg::kWaterRow), this), 1, 0);
    summary->addWidget(fields_[WaterMaximum], 1, 1);
    summary->addWidget(fields_[WaterTimeToMaximum], 1, 2);
    summary->addWidget(fields_[WaterResidence], 1, 3);
    summary->setRowMinimumHeight(2, 10);
    summary->addWidget(centredLabel(msg::kMaximumAirSoilHeader, this), 3, 1);
    summary->addWidget(centredLabel(msg::kTimeToMaximumHeader, this), 3, 2);
    summary->addWidget(new QLabel(QString::fromUtf8(msg::kAirRow), this), 4, 0);
    summary->addWidget(fields_[AirMaximum], 4, 1);
    summary->addWidget(fields_[AirTimeToMaximum], 4, 2);
    summary->addWidget(new QLabel(QString::fromUtf8(msg::kSoilRow), this), 5, 0);
    summary->addWidget(fields_[SoilMaximum], 5, 1);
    summary->addWidget(fields_[SoilTimeToMaximum], 5, 2);
    summary->setRowStretch(6, 1);

    model_ = new ResultTableModel(briefColumns(kind), this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("briefResults"));
    setUpResultTable(table_, model_);
    // The five columns side by side, with room for the scroll bar.
    int columnsWidth = 0;
    for (const ResultColumn& c : model_->columns()) columnsWidth += c.width;
    table_->setMinimumWidth(columnsWidth + table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                            2 * table_->frameWidth() + 2);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(12);
    layout->addLayout(summary);
    layout->addWidget(table_, 1);
}

void FinalResultsPage::showRows(const ResultBuffer* rows) { model_->setBuffer(rows); }

void FinalResultsPage::setSummary(const SummaryTexts& texts) {
    for (int f = 0; f < kSummaryFieldCount; ++f)
        fields_[static_cast<std::size_t>(f)]->setText(QString::fromStdString(texts.*kTextOf[f]));
}

void FinalResultsPage::clear() {
    model_->clear();
    setSummary(SummaryTexts{});
}

SummaryTexts FinalResultsPage::summary() const {
    SummaryTexts texts;
    for (int f = 0; f < kSummaryFieldCount; ++f)
        texts.*kTextOf[f] = fields_[static_cast<std::size_t>(f)]->text().toStdString();
    return texts;
}

DetailedResultsPage::DetailedResultsPage(ModelKind kind, QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("detailedResults"));
    model_ = new ResultTableModel(detailColumns(kind), this);
    setUpResultTable(this, model_);
}

void DetailedResultsPage::showRows(const ResultBuffer* rows) { model_->setBuffer(rows); }

void DetailedResultsPage::clear() { model_->clear(); }

}  // namespace verdanel::gui
