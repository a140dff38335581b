#pragma once
// A worksheet filled for an analysis with two covariates (task 100 (SD 15),
// case 70; covariates 40 (SD 10) and 12 (SD 3)), with the two field texts
// given, so that a test can also try counts the fields refuse.
#include "analysis/worksheet/worksheet_data.h"

inline WorksheetData FilledWorksheet(const char* k = "2", const char* n = "30")
{
    WorksheetData d;
    d.WriteDefaultNames();
    d.fields[CovariatesField] = k;
    d.fields[SampleSizeField] = n;
    d.SetGridRows(3);
    const char* rows[3][3] = {{"100", "15", "70"}, {"40", "10", "45"}, {"12", "3", "10"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) d.Cell(r, MeanColumn + c) = rows[r][c];
    auto& s = d.StoredCorrelations;
    s[1][2] = s[2][1] = 0.5;
    s[1][3] = s[3][1] = 0.4;
    s[2][3] = s[3][2] = 0.3;
    return d;
}
