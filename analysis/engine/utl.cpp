// Allocators of the analysis engine; failures become the engine's pending fatal error.
#include "analysis/engine/utl.h"

#include "analysis/engine/fem.h"

#include <cstdlib>

namespace kestrel::engine {

UtlState g_utl;

void utl_reset() {
    g_utl = UtlState{};
}

namespace {

// calloc that honours the test limit and never returns null for a zero-sized request.
void* raw_calloc(std::size_t count, std::size_t size) {
    if (count == 0) count = 1;
    if (size == 0) size = 1;
    if (count > g_utl.fail_above / size) return nullptr;
    return std::calloc(count, size);
}

template <typename T>
T** matalloc(int rows, int columns, const char* rows_msg, const char* cols_msg) {
    if (rows < 0 || columns < 0) {
        fem_fail(rows_msg);
        return nullptr;
    }
    T** r = static_cast<T**>(raw_calloc(static_cast<std::size_t>(rows), sizeof(T*)));
    if (!r) {
        fem_fail(rows_msg);
        return nullptr;
    }
    T* block = static_cast<T*>(
        raw_calloc(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), sizeof(T)));
    if (!block) {
        std::free(r);
        fem_fail(cols_msg);
        return nullptr;
    }
    for (int i = 0; i < rows; ++i) r[i] = block + static_cast<std::size_t>(i) * columns;
    // Row 0 always points at the block (raw_calloc gives one slot even when rows == 0).
    r[0] = block;
    return r;
}

template <typename T> void matfree(T** m) {
    if (!m) return;
    std::free(m[0]);
    std::free(m);
}

} // namespace

void* utl_calloc(std::size_t count, std::size_t size) {
    void* p = raw_calloc(count, size);
    if (!p) fem_fail("Allocation failure in utl_calloc !!!\n");
    return p;
}

void utl_free(void* block) {
    std::free(block);
}

int** utl_imatalloc(int rows, int columns) {
    return matalloc<int>(rows, columns, "Allocation failure (rows) in utl_imatalloc !!!\n",
                         "Allocation failure (columns) in utl_imatalloc !!!\n");
}

void utl_imatfree(int** matrix) {
    matfree(matrix);
}

double** utl_dmatalloc(int rows, int columns) {
    return matalloc<double>(rows, columns, "Allocation failure (rows) in utl_dmatalloc !!!\n",
                            "Allocation failure (columns) in utl_dmatalloc !!!\n");
}

void utl_dmatfree(double** matrix) {
    matfree(matrix);
}

bool utl_profilealloc(int n, const int* first, std::size_t element_size, ProfileMatrix* out) {
    *out = ProfileMatrix{};
    const char* msg = "Allocation failure in utl_profilealloc !!!\n";
    if (n < 0 || element_size != sizeof(double)) return fem_fail(msg);
    auto* offset = static_cast<std::ptrdiff_t*>(
        raw_calloc(static_cast<std::size_t>(n), sizeof(std::ptrdiff_t)));
    if (!offset) return fem_fail(msg);
    std::size_t size = 0;
    for (int i = 0; i < n; ++i) {
        offset[i] = static_cast<std::ptrdiff_t>(size) - first[i];
        size += static_cast<std::size_t>(i - first[i] + 1);
    }
    auto* data = static_cast<double*>(raw_calloc(size, element_size));
    if (!data) {
        std::free(offset);
        return fem_fail(msg);
    }
    out->n = n;
    out->first = first;
    out->offset = offset;
    out->data = data;
    out->size = size;
    return true;
}

void utl_profilefree(ProfileMatrix* matrix) {
    std::free(matrix->offset);
    std::free(matrix->data);
    *matrix = ProfileMatrix{};
}

} // namespace kestrel::engine
