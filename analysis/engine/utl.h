// Allocators of the analysis engine: zero-filled blocks, integer and double matrices held as
// arrays of rows, and the profile (skyline) matrix of the global equations. A failed allocation
// returns null and leaves its fixed message as the engine's pending fatal error (fem.h); the
// caller returns the error code and the engine's entry point decides what to do with it.
// Used only inside analysis/engine.
#pragma once

#include <cstddef>

namespace kestrel::engine {

// Test hook: any single request above this many bytes fails as if memory were exhausted.
struct UtlState {
    std::size_t fail_above = static_cast<std::size_t>(-1);
};
extern UtlState g_utl;
void utl_reset();

// Zero-filled block; a large one is mapped on its own, aligned for huge pages and advised to
// use them. Only utl_free releases it.
void* utl_calloc(std::size_t count, std::size_t size);
void utl_free(void* block);

int** utl_imatalloc(int rows, int columns);
void utl_imatfree(int** matrix);
double** utl_dmatalloc(int rows, int columns);
void utl_dmatfree(double** matrix);

// Lower triangle of a symmetric n x n matrix held within its profile: row i stores the columns
// first[i] to i contiguously. Entry (i, j) with first[i] <= j <= i is data[offset[i] + j].
struct ProfileMatrix {
    int n = 0;
    const int* first = nullptr; // not owned
    std::ptrdiff_t* offset = nullptr;
    double* data = nullptr;
    std::size_t size = 0; // number of stored entries
    double& at(int i, int j) { return data[offset[i] + j]; }
    double* row_start(int i) { return data + (offset[i] + first[i]); } // entry (i, first[i])
};

// Allocates and zeroes the profile of order n whose row i starts at column first[i]; the
// element size must be sizeof(double). Returns false and records the failure message.
bool utl_profilealloc(int n, const int* first, std::size_t element_size, ProfileMatrix* out);
void utl_profilefree(ProfileMatrix* matrix);

} // namespace kestrel::engine
