#pragma once
// The results of a case series as a table, beside the saved file: the same
// cells the file holds (MakeSeriesTable), a click on a column's header sorts
// by it (numbers by value, refused rows' empty cells last), and Ctrl+C or
// "Copy" puts the selected cells on the clipboard as tab-separated text with
// their columns' header, ready for a spreadsheet.
#include <string>

#include <QWidget>

#include "analysis/case_series/case_series.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TSeriesTableWindow : public QWidget {
    Q_OBJECT

public:
    // savedTo: where the results file was saved (shown above the table).
    TSeriesTableWindow(QWidget* parent, const SeriesTable& table, const std::string& savedTo);

    // The selected cells as the clipboard gets them: the header of their
    // columns, then one line per row, in the table's present order.
    QString SelectionText() const;

    static constexpr char ObjectName[] = "frmSeriesTable";

    QLabel* lblSaved = nullptr;
    QTableWidget* tblResults = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    void CopySelection();
};
