// The profile LDLT against a dense LDLT of the same matrix, for both kernels, on profiles that
// exercise the blocks of eight rows: fewer rows than a block, a partial last block, rows that
// start inside their block or keep only their diagonal, and ragged starts within a block of
// four finished rows; the operation count, the first bad pivot and a workspace that cannot be
// allocated.
#include "analysis/engine/fem.h"
#include "analysis/engine/ldlt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace kestrel::engine {
namespace {

class Ldlt : public ::testing::TestWithParam<bool> { // the parameter: force the baseline kernel
protected:
    void SetUp() override {
        utl_reset();
        fem_release();
        ldlt_force_baseline(GetParam());
    }
    void TearDown() override {
        ldlt_force_baseline(false);
        utl_reset();
        fem_release();
    }
};

// Row starts of the test profiles.
std::vector<int> band(int n, int width) {
    std::vector<int> first(n);
    for (int i = 0; i < n; ++i) first[i] = std::max(0, i - width);
    return first;
}

std::vector<int> ragged(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<int> first(n);
    for (int i = 0; i < n; ++i) {
        const int reach = static_cast<int>(gen() % 23); // 0: the diagonal alone
        first[i] = std::max(0, i - reach);
    }
    return first;
}

// A symmetric, diagonally dominant matrix on the profile, filled densely as well.
void fill(const std::vector<int>& first, ProfileMatrix* K, std::vector<double>* dense,
          unsigned seed) {
    const int n = static_cast<int>(first.size());
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> entry(-1.0, 1.0);
    dense->assign(static_cast<std::size_t>(n) * n, 0.0);
    auto at = [&](int i, int j) -> double& {
        return (*dense)[static_cast<std::size_t>(i) * n + j];
    };
    for (int i = 0; i < n; ++i)
        for (int j = first[i]; j < i; ++j) at(i, j) = at(j, i) = entry(gen);
    for (int i = 0; i < n; ++i) {
        double sum = 1.0;
        for (int j = 0; j < n; ++j) sum += std::fabs(at(i, j));
        at(i, i) = sum;
    }
    for (int i = 0; i < n; ++i)
        for (int j = first[i]; j <= i; ++j) K->at(i, j) = at(i, j);
}

// Dense LDLT in place (L below the diagonal, D on it), column by column.
void dense_ldlt(std::vector<double>& a, int n) {
    auto at = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(i) * n + j]; };
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < j; ++k) at(j, j) -= at(j, k) * at(j, k) * at(k, k);
        for (int i = j + 1; i < n; ++i) {
            for (int k = 0; k < j; ++k) at(i, j) -= at(i, k) * at(j, k) * at(k, k);
            at(i, j) /= at(j, j);
        }
    }
}

TEST_P(Ldlt, ProfileFactorsEqualTheDenseOnes) {
    const struct {
        const char* name;
        std::vector<int> first;
    } cases[] = {
        {"no rows", {}},
        {"one row", band(1, 0)},
        {"fewer rows than a block", band(5, 5)},
        {"one dense block", band(8, 8)},
        {"dense with a partial block", band(13, 13)},
        {"band of three", band(41, 3)},
        {"band of twenty", band(67, 20)},
        {"diagonal only", band(19, 0)},
        {"ragged starts", ragged(90, 1)},
        {"ragged starts again", ragged(77, 2)},
        {"rows starting in their block", {0, 0, 2, 3, 3, 5, 1, 7, 8, 8, 10, 9, 12, 3, 14, 15, 16}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = static_cast<int>(c.first.size());
        ProfileMatrix K;
        ASSERT_TRUE(utl_profilealloc(n, c.first.data(), sizeof(double), &K));
        std::vector<double> dense;
        fill(c.first, &K, &dense, 7);
        std::vector<double> b(n), x(n);
        for (int i = 0; i < n; ++i) x[i] = b[i] = 1.0 + i % 5;
        double flops = 0;
        ASSERT_EQ(ldlt_factor(K, 1e-12, x.data(), &flops), -1);
        ldlt_solve(K, x.data());
        // The operations of a profile LDLT: each K(i, j) reduced over the columns that rows i
        // and j share, then scaled, with the diagonal.
        long long expected = 0;
        for (int i = 0; i < n; ++i) {
            expected += 3LL * (i - c.first[i]);
            for (int j = c.first[i] + 1; j < i; ++j)
                expected += 2LL * (j - std::max(c.first[i], c.first[j]));
        }
        EXPECT_EQ(flops, static_cast<double>(expected));
        // The residual of the solution against the original matrix.
        for (int i = 0; i < n; ++i) {
            double r = -b[i];
            for (int j = 0; j < n; ++j) r += dense[static_cast<std::size_t>(i) * n + j] * x[j];
            EXPECT_NEAR(r, 0.0, 1e-12 * n) << "row " << i;
        }
        dense_ldlt(dense, n);
        for (int i = 0; i < n; ++i)
            for (int j = c.first[i]; j <= i; ++j)
                EXPECT_NEAR(K.at(i, j), dense[static_cast<std::size_t>(i) * n + j],
                            1e-13 * std::fabs(dense[static_cast<std::size_t>(i) * n + j]) + 1e-15)
                    << i << ", " << j;
        utl_profilefree(&K);
    }
}

TEST_P(Ldlt, FirstBadPivotAndNoWorkspaceAreReported) {
    // Rows 9 and 10 are [1 1; 1 d], coupled with nothing else: D(10) = d - 1.
    const struct {
        double d;
        double tol;
        int expected;
    } cases[] = {{1.0, 1e-12, 10},
                 {1.0 + 1e-14, 1e-12, 10},
                 {1.0 + 1e-9, 1e-12, -1},
                 {NAN, 1e-12, 10},
                 {2.0, 0.0, -1}};
    std::vector<int> first = band(20, 2);
    first[9] = 9;
    first[10] = 9;
    first[11] = 11;
    first[12] = 11;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.d);
        ProfileMatrix K;
        ASSERT_TRUE(utl_profilealloc(20, first.data(), sizeof(double), &K));
        std::vector<double> dense;
        fill(first, &K, &dense, 3);
        K.at(9, 9) = K.at(10, 9) = 1.0;
        K.at(10, 10) = c.d;
        std::vector<double> u(20, 1.0);
        double flops = 0;
        EXPECT_EQ(ldlt_factor(K, c.tol, u.data(), &flops), c.expected);
        utl_profilefree(&K);
    }
    // A workspace that cannot be allocated: the matrix is there, the workspace larger than the
    // limit.
    ProfileMatrix K;
    ASSERT_TRUE(utl_profilealloc(20, first.data(), sizeof(double), &K));
    std::vector<double> dense, u(20, 1.0);
    fill(first, &K, &dense, 3);
    g_utl.fail_above = 100;
    double flops = 0;
    EXPECT_EQ(ldlt_factor(K, 1e-12, u.data(), &flops), kLdltNoMemory);
    EXPECT_EQ(g_fem.error, "Allocation failure in utl_calloc !!!\n");
    utl_profilefree(&K);
}

INSTANTIATE_TEST_SUITE_P(Kernels, Ldlt, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Baseline" : "Native";
                         });

} // namespace
} // namespace kestrel::engine
