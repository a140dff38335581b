#include "desktop/case_series/series_table_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

#include "analysis/worksheet/pasted_block.h"

namespace {

// A cell that sorts numbers by value, before any text or empty cell.
class SeriesItem : public QTableWidgetItem {
public:
    explicit SeriesItem(const SeriesCell& cell)
        : QTableWidgetItem(QString::fromStdString(cell.text)), isNumber_(cell.isNumber), number_(cell.number)
    {
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        if (isNumber_) setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    bool operator<(const QTableWidgetItem& other) const override
    {
        const auto* o = dynamic_cast<const SeriesItem*>(&other);
        if (!o) return QTableWidgetItem::operator<(other);
        if (isNumber_ != o->isNumber_) return isNumber_;
        if (isNumber_) return number_ < o->number_;
        // Empty cells (a refused row's) after text.
        if (text().isEmpty() != o->text().isEmpty()) return o->text().isEmpty();
        return text() < o->text();
    }

private:
    bool isNumber_;
    double number_;
};

// The table that copies its selection with the copy keys, instead of the
// current cell alone.
class CopyingTable : public QTableWidget {
public:
    CopyingTable(QWidget* parent, TSeriesTableWindow* window) : QTableWidget(parent), window_(window) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            window_->CopySelection();
            event->accept();
            return;
        }
        QTableWidget::keyPressEvent(event);
    }

private:
    TSeriesTableWindow* window_;
};

}  // namespace

TSeriesTableWindow::TSeriesTableWindow(QWidget* parent, const SeriesTable& table, const std::string& savedTo)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QString::fromLatin1(ObjectName));
    setWindowTitle(QStringLiteral("Case series results"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);

    lblSaved = new QLabel(QStringLiteral("Saved in \"%1\". Click a column's header to sort by it.")
                              .arg(QString::fromStdString(savedTo)),
                          this);
    lblSaved->setObjectName(QStringLiteral("lblSaved"));
    lblSaved->setWordWrap(true);
    layout->addWidget(lblSaved);

    tblResults = new CopyingTable(this, this);
    tblResults->setObjectName(QStringLiteral("tblResults"));
    tblResults->setAccessibleName(QStringLiteral("Case series results"));
    tblResults->setColumnCount(static_cast<int>(table.header.size()));
    tblResults->setRowCount(static_cast<int>(table.rows.size()));
    QStringList header;
    for (const std::string& key : table.header) header << QString::fromStdString(key);
    tblResults->setHorizontalHeaderLabels(header);
    for (int r = 0; r < static_cast<int>(table.rows.size()); ++r) {
        const std::vector<SeriesCell>& row = table.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.size()); ++c)
            tblResults->setItem(r, c, new SeriesItem(row[static_cast<std::size_t>(c)]));
    }
    tblResults->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblResults->verticalHeader()->setVisible(false);
    tblResults->resizeColumnsToContents();
    tblResults->setSortingEnabled(true);
    tblResults->horizontalHeader()->setSortIndicatorShown(true);
    tblResults->horizontalHeader()->setStretchLastSection(true);  // the error texts take the room left
    layout->addWidget(tblResults, 1);

    auto* buttons = new QHBoxLayout;
    cmdCopy = new QPushButton(QStringLiteral("&Copy"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdCopy->setAccessibleName(QStringLiteral("Copy"));
    cmdCopy->setToolTip(QStringLiteral("Copy the selected cells with their header (Ctrl+C)"));
    cmdClose = new QPushButton(QStringLiteral("C&lose"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);
    connect(cmdCopy, &QPushButton::clicked, this, &TSeriesTableWindow::CopySelection);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    resize(900, 420);
}

QString TSeriesTableWindow::SelectionText() const
{
    // Rows and columns in the order the table shows them now.
    std::set<int> rows, columns;
    for (const QModelIndex& index : tblResults->selectionModel()->selectedIndexes()) {
        rows.insert(index.row());
        columns.insert(index.column());
    }
    if (rows.empty()) return QString();
    PastedBlock block(1);
    for (int c : columns) block[0].push_back(tblResults->horizontalHeaderItem(c)->text().toStdString());
    for (int r : rows) {
        block.emplace_back();
        for (int c : columns) {
            const QTableWidgetItem* item = tblResults->item(r, c);
            block.back().push_back(item && item->isSelected() ? item->text().toStdString() : std::string());
        }
    }
    return QString::fromStdString(BlockText(block));
}

void TSeriesTableWindow::CopySelection()
{
    const QString text = SelectionText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}
