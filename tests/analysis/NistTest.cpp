// The least-squares engine against the certified results of the NIST StRD linear least-squares
// data sets (public domain, https://www.itl.nist.gov/div898/strd/). The .dat files in nist/ hold
// x and y per line; the certified estimates and residual standard deviations are below.

#include "analysis/LeastSquares.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

using analysis::PowerSeries;

namespace {

struct CertifiedSet
{
    const char* name;
    PowerSeries form;
    std::vector<double> estimates; // B0 ... Bk, or B1 alone without an intercept
    double residualSd;
};

// The report prints 6 significant digits: the relative error must stay below 5e-7.
const double reportDigits = -std::log10(5e-7);

void PrintTo(const CertifiedSet& set, std::ostream* out)
{
    *out << set.name;
}

const std::vector<double> ones(6, 1.0);

const CertifiedSet sets[] = {
    {"Norris",
     PowerSeries::WithConstant,
     {-0.262323073774029, 1.00211681802045},
     0.884796396144373},
    {"Pontius",
     PowerSeries::WithConstant,
     {0.673565789473684E-03, 0.732059160401003E-06, -0.316081871345029E-14},
     0.205177424076185E-03},
    {"NoInt1", PowerSeries::WithoutConstant, {2.07438016528926}, 3.56753034006338},
    {"NoInt2", PowerSeries::WithoutConstant, {0.727272727272727}, 0.369274472937998},
    {"Filip",
     PowerSeries::WithConstant,
     {-1467.48961422980, -2772.17959193342, -2316.37108160893, -1127.97394098372, -354.478233703349,
      -75.1242017393757, -10.8753180355343, -1.06221498588947, -0.670191154593408E-01,
      -0.246781078275479E-02, -0.402962525080404E-04},
     0.334801051324544E-02},
    {"Wampler1", PowerSeries::WithConstant, ones, 0.0},
    {"Wampler2", PowerSeries::WithConstant, {1.0, 0.1, 0.01, 0.001, 1e-4, 1e-5}, 0.0},
    {"Wampler3", PowerSeries::WithConstant, ones, 2360.14502379268},
    {"Wampler4", PowerSeries::WithConstant, ones, 236014.502379268},
    {"Wampler5", PowerSeries::WithConstant, ones, 23601450.2379268},
};

// Correct significant digits (log relative error), capped at the 15 the certificates carry.
double correctDigits(double computed, double certified)
{
    const double error = std::fabs(computed - certified) / std::fabs(certified);
    return error == 0.0 ? 15.0 : std::clamp(-std::log10(error), 0.0, 15.0);
}

} // namespace

class Nist : public testing::TestWithParam<CertifiedSet>
{};

TEST_P(Nist, MatchesTheCertifiedEstimatesAndResiduals)
{
    const CertifiedSet& set = GetParam();
    std::ifstream file(std::string(PLOTVANE_NIST "/") + set.name + ".dat");
    ASSERT_TRUE(file) << set.name;
    std::string header;
    std::getline(file, header);
    std::vector<double> x;
    std::vector<double> y;
    for (double xi = 0, yi = 0; file >> xi >> yi;) {
        x.push_back(xi);
        y.push_back(yi);
    }

    const auto fit = analysis::fitPowerSeries(x, y, set.estimates.size(), set.form);
    ASSERT_EQ(fit.coefficients.size(), set.estimates.size());
    std::string table;
    for (std::size_t k = 0; k < set.estimates.size(); ++k) {
        const double digits = correctDigits(fit.coefficients[k], set.estimates[k]);
        EXPECT_GE(digits, reportDigits) << set.name << " B" << k << " = " << fit.coefficients[k];
        char cell[16];
        std::snprintf(cell, sizeof cell, " %5.1f", digits);
        table += cell;
    }
    std::printf("%-9s digits:%s\n", set.name, table.c_str());

    // Chi-square is the residual sum of squares, s^2 (n - p).
    const double dof = static_cast<double>(x.size() - set.estimates.size());
    const double rss = set.residualSd * set.residualSd * dof;
    if (rss == 0.0) {
        double sumSquares = 0.0;
        for (const double value : y)
            sumSquares += value * value;
        EXPECT_LT(fit.chiSquare, 1e-24 * sumSquares) << set.name;
    } else {
        EXPECT_GE(correctDigits(fit.chiSquare, rss), reportDigits) << set.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, Nist, testing::ValuesIn(sets),
                         [](const auto& info) { return std::string(info.param.name); });
