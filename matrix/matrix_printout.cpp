// Text printout of a matrix for the report.
#include "matrix/matrix_handling.h"

#include <cstdio>

void WriteMatrixLines(const tMatrix& A, int n, const std::string& title, std::vector<std::string>& target)
{
    target.push_back(title);
    for (int i = 1; i <= n; ++i) {
        std::string line = "   ";
        for (int j = 1; j <= n; ++j) {
            char entry[64];
            const int length = std::snprintf(entry, sizeof entry, "%5.5Lf   ", A[i][j]);
            if (length < static_cast<int>(sizeof entry)) {
                line += entry;
            } else {  // a huge entry: fixed notation needs every integer digit
                std::string wide(static_cast<std::size_t>(length) + 1, '\0');
                std::snprintf(&wide[0], wide.size(), "%5.5Lf   ", A[i][j]);
                wide.resize(static_cast<std::size_t>(length));
                line += wide;
            }
        }
        target.push_back(line);
    }
    target.push_back("");
}
