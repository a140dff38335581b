#include "analysis/worksheet/worksheet_description.h"

#include <cstring>

namespace {

// __DATE__ ("Mmm dd yyyy") as "dd Mmm yyyy".
std::string BuildDate()
{
    const char* date = __DATE__;
    if (std::strlen(date) != 11) return date;
    std::string day(date + 4, 2);
    if (day[0] == ' ') day.erase(0, 1);
    return day + " " + std::string(date, 3) + " " + std::string(date + 7, 4);
}

}  // namespace

std::string WorksheetDescription()
{
    return "This is Harrow. It tests whether a single case shows a deficit on a task of interest when "
           "compared with a control sample, while controlling for the effects of up to five covariates "
           "(for example, years of education), or of none. The method is Bayesian: under the null hypothesis, the case's "
           "score on the task, conditioned on the covariates, is an observation from the distribution of "
           "conditional scores in the control population. The program provides a significance test (the "
           "one-tailed and two-tailed probability that the case's conditional score comes from the control "
           "population), a point estimate of the effect size for the difference between the case and the "
           "controls together with an interval estimate, and a point estimate of the percentage of the "
           "control population that would obtain a more extreme conditional score than the case, again with "
           "an interval estimate. Credible intervals may be two-sided or one-sided. On request the report adds "
           "the frequentist test with its exact values. The worksheet takes summary data: the means and "
           "standard deviations of the task and of each covariate in the control sample, the correlations "
           "between these variables in the control sample, and the case's scores; \"Raw data...\" takes the "
           "controls' own scores from a CSV, SPSS or Stata file instead, and \"Case series...\" analyses every "
           "case of a CSV file against the control sample and saves the results as a CSV file. To use it, enter the number of covariates and the size of the control sample in the two "
           "boxes on the left. Then fill in the grid below them, one row per variable, with the task of "
           "interest in the first row and the covariates in the rows after it: a name for each variable "
           "(optional, as default names are supplied), the control mean, the control SD and the case's "
           "score. Choose the kind of credible limit you want and, if you wish, type notes to be kept with "
           "the results. Then click \"Continue\" to enter the correlation matrix in the window that opens; "
           "the task of interest is the first variable of the matrix and the covariates follow in the order "
           "of the grid. The computation draws one million samples and takes some seconds (typically less "
           "than 30). The results can then be viewed, printed or saved to a text file or a PDF, with a figure "
           "of the effect size's posterior distribution, and further analyses are added after them. The two numbers, the grid and the correlations are kept and shown again the next "
           "time the program starts; the notes and the choice of credible limit are not. To keep a set of "
           "norms under a name of its own, use Save As... in the File menu; Open... brings it back. "
           "(Built " +
           BuildDate() + ")";
}
