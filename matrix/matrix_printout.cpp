// Text printout of a matrix for the report.
#include "matrix/matrix_handling.h"

#include "foundation/c_locale_format.h"

void WriteMatrixLines(const tMatrix& A, int n, const std::string& title, std::vector<std::string>& target)
{
    target.push_back(title);
    for (int i = 1; i <= n; ++i) {
        std::string line = "   ";
        for (int j = 1; j <= n; ++j) {
            line += FormatC("%5.5Lf   ", A[i][j]);
        }
        target.push_back(line);
    }
    target.push_back("");
}
